#pragma once
// The game window over a real game collection made from the template,
// with a stand-in launcher that exposes what the window sets on it (its
// pointer and the "PLRunning" flag), and helpers that read the screen.
#include <QAction>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPointer>
#include <QTabWidget>
#include <QTest>
#include <QTreeWidget>

#include <string>
#include <vector>

#include "core/MainForm.h"
#include "core/Windows.h"
#include "games/PLMain_Form.h"
#include "games/tests/CollectionFixture.h"

namespace pl::testing {

using Strings = std::vector<std::string>;

class GameWindowTest : public GameCollectionTest {
 protected:
  void SetUp() override {
    GameCollectionTest::SetUp();
    launcher_ = new tvn::Form;
    running_ = new tvn::FlagCheckBox(launcher_);
    running_->setObjectName("PLRunning");
    running_->setValue(1);
    launcher_->setMousePointer(tvn::vbHourglass);
    PL().Launcher = launcher_;
  }
  void TearDown() override {
    if (window_) window_->Unload();
    tvn::testing::Pump();
    delete launcher_.data();
    PL().Launcher = nullptr;
    PL().MainWindow = nullptr;
    GameCollectionTest::TearDown();
  }

  // The window as the library opens it: made (initialise and load), then
  // its first activation chooses the section saved in "LPL".
  PLMain_Form& Open(int section = 1) {
    SetSetting("LPL", std::to_string(section));
    window_ = new PLMain_Form;
    PL().MainWindow = window_;
    window_->Form_Activate();
    return *window_;
  }
  PLMain_Form& W() { return *window_; }
  // Opened and shown, as the user sees it.
  PLMain_Form& Showing(int section) {
    PLMain_Form& w = Open(section);
    w.show();
    EXPECT_TRUE(QTest::qWaitForWindowExposed(&w));
    return w;
  }

  // A section chosen on the section bar, as the user clicks it.
  void Choose(const std::string& caption) {
    const auto items = W().SSListBar1->findItems(QString::fromStdString(caption), Qt::MatchExactly);
    ASSERT_EQ(items.size(), 1) << caption;
    emit W().SSListBar1->itemClicked(items.first(), 0);
  }

  // Which face letter ('A'..'Z') shows: 0 has titles, 1 active, 2 no
  // titles; -1 when not exactly one of its three buttons shows.
  int Face(char letter) {
    const int k = letter - 'A';
    int face = -1, shown = 0;
    for (int i = 0; i < 3; ++i)
      if (W().LetterButtons[size_t(3 * k + 1 + i)]->isVisible()) {
        face = i;
        ++shown;
      }
    return shown == 1 ? face : -1;
  }
  // The letters showing a face, as one string per face ("AB" ...).
  std::string LettersWithFace(int face) {
    std::string out;
    for (char c = 'A'; c <= 'Z'; ++c)
      if (Face(c) == face) out += c;
    return out;
  }
  static Strings Items(const QComboBox* combo) {
    Strings v;
    for (int i = 0; i < combo->count(); ++i) v.push_back(combo->itemText(i).toStdString());
    return v;
  }
  // The record toolbar's visible buttons among 1 to 6, as "1 3 4 5 6".
  std::string VisibleButtons() {
    std::string out;
    for (int i = 1; i <= 6; ++i)
      if (W().Toolbar1Buttons[size_t(i)]->isVisible()) out += (out.empty() ? "" : " ") + std::to_string(i);
    return out;
  }
  std::string Name() { return W().txtName->text().toStdString(); }
  std::string Title() { return W().windowTitle().toStdString(); }
  std::string ListText() { return W().List_Combo->currentText().toStdString(); }
  // The names of the ticked rows of a link grid.
  static Strings Ticked(const forms::FlexGrid* grid) {
    Strings v;
    for (int r = 1; r < grid->Rows(); ++r)
      if (grid->CellCheckedAt(r, 1) == forms::FlexGrid::flexChecked) v.push_back(grid->TextMatrix(r, 1).toStdString());
    return v;
  }
  // Ticks or unticks the grid row of that name with a click, as the user does.
  static void ClickRow(forms::FlexGrid* grid, const std::string& name) {
    for (int r = 1; r < grid->Rows(); ++r) {
      if (grid->TextMatrix(r, 1).toStdString() == name) {
        grid->SetRow(r);
        grid->SetCol(1);
        emit grid->Click();
        return;
      }
    }
    ADD_FAILURE() << "no row " << name;
  }
  void Press(int button) { W().Toolbar1Buttons[size_t(button)]->trigger(); }
  void Type(QLineEdit* box, const std::string& text) { box->setText(QString::fromStdString(text)); }
  void Type(QComboBox* box, const std::string& text) { box->setEditText(QString::fromStdString(text)); }
  // A new game typed in and filed through the toolbar.
  void AddGame(const std::string& name) {
    Press(1);
    Type(W().txtName, name);
    Press(3);
  }
  long Number(const std::string& name) {
    return Long("select systemnumber from mediadata where name = " + dao::SqlQuote(name), "systemnumber");
  }

  QPointer<tvn::Form> launcher_;
  tvn::FlagCheckBox* running_ = nullptr;
  QPointer<PLMain_Form> window_;
};

}  // namespace pl::testing
