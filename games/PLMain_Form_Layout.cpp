// Building the game window: the console bar, the toolbars, the seven tabs
// of the record editor and the menus. Only layout lives here; what the
// controls do is wired in the files of their concern.
#include <QAction>
#include <QComboBox>
#include <QFormLayout>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QMenuBar>
#include <QPushButton>
#include <QScrollArea>
#include <QSplitter>
#include <QStatusBar>
#include <QTabWidget>
#include <QTextEdit>
#include <QToolBar>
#include <QTreeWidget>
#include <QVBoxLayout>

#include "core/Schema.h"
#include "games/PLMain_Form.h"
#include "platform/forms/Controls.h"
#include "platform/forms/LetterBar.h"

namespace pl {

namespace {

using tvn::frame::MakeButton;
using tvn::frame::MakeCombo;
using tvn::frame::MakeDate;
using tvn::frame::MakeText;

// A box takes no more than its column holds (a game's own in mediadata, a
// lookup's name in its list), so nothing typed or pasted is cut unseen.
int Width(const char* column, const char* table = "mediadata") {
  return tvn::schema::GameTextWidth(table, column);
}

QTextEdit* MakeMemo(QWidget* parent, const char* name) {
  auto* t = new QTextEdit(parent);
  t->setObjectName(name);
  t->setAcceptRichText(false);
  return t;
}

// A tab holding one memo box.
QWidget* MemoTab(QTextEdit*& memo, const char* name) {
  auto* tab = new QWidget();
  auto* layout = new QVBoxLayout(tab);
  memo = MakeMemo(tab, name);
  layout->addWidget(memo);
  return tab;
}

forms::FlexGrid* MakeLinkGrid(QWidget* parent, const char* name) {
  auto* g = new forms::FlexGrid(parent);
  g->setObjectName(name);
  g->SetCols(2);
  g->SetFixedRows(1);
  g->SetRows(2);
  g->horizontalHeader()->setStretchLastSection(true);
  return g;
}

}  // namespace

void PLMain_Form::BuildWindow() {
  setObjectName("PLMain_Form");
  setWindowTitle("The Pellion");
  BuildMenus();
  BuildRecordToolbars();
  BuildFrame(120, 200);
  for (const GameSection& section : GameSections())
    new QTreeWidgetItem(SSListBar1, QStringList(QString::fromUtf8(section.caption)));

  SSTab1->addTab(BuildMainTab(), "Main");
  SSTab1->addTab(BuildPage2Tab(), "Page 2");
  SSTab1->addTab(BuildMyFieldsTab(Width("f1")), "My Fields");
  SSTab1->addTab(MemoTab(txtHints, "txtHints"), "Hints/Tips");
  SSTab1->addTab(MemoTab(txtInstructions, "txtInstructions"), "Instructions");
  SSTab1->addTab(MemoTab(txtNotes, "txtNotes"), "Notes");
  SSTab1->addTab(BuildPictureTab(&SSScroll1), "Picture");

  StatusBar1 = statusBar();
  StatusBar1->setObjectName("StatusBar1");
  resize(900, 600);
}

void PLMain_Form::BuildMenus() {
  auto add = [](QMenu* menu, QAction*& action, const char* name, const char* caption) {
    tvn::frame::AddMenuItem(menu, action, name, caption);
  };
  BuildFileMenu();

  vmenu = menuBar()->addMenu("&View");
  vmenu->setObjectName("vmenu");
  add(vmenu, qdmenu, "qdmenu", "Quick Display");

  UtilitiesMenu = menuBar()->addMenu("&Utilities ");
  UtilitiesMenu->setObjectName("UtilitiesMenu");
  add(UtilitiesMenu, CollectionMenu, "CollectionMenu", "Collection Manager");
  add(UtilitiesMenu, ArtistManagerMenu, "ArtistManagerMenu", "Developer Manager");
  add(UtilitiesMenu, CategoryMMenu, "CategoryMMenu", "Genre Manager");
  add(UtilitiesMenu, LSMenu, "LSMenu", "Publisher Manager");
  add(UtilitiesMenu, menuSysType, "menuSysType", "System Type Manager");
  add(UtilitiesMenu, menuSupports, "menuSupports", "Supports Manager");
  UtilitiesMenu->addSeparator();
  add(UtilitiesMenu, Compact_Menu, "Compact_Menu", "Compact Current Database");
  UtilitiesMenu->addSeparator();
  add(UtilitiesMenu, ReportMenu, "ReportMenu", "Report Wizard");

  Help_Menu = menuBar()->addMenu("&Help");
  Help_Menu->setObjectName("Help_Menu");
  add(Help_Menu, Content_Menu, "Content_Menu", "Contents");
}

QWidget* PLMain_Form::BuildMainTab() {
  auto* tab = new QWidget();
  auto* g = new QGridLayout(tab);
  txtName = MakeText(tab, "txtName", kNameLength);
  DateAquired = MakeDate(tab, "DateAquired");
  DateReleased = MakeDate(tab, "DateReleased");
  btnBlankADate = MakeButton(tab, "btnBlankADate", "Clear Date");
  btnBlankRDate = MakeButton(tab, "btnBlankRDate", "Clear Date");
  cmbPublisher = MakeCombo(tab, "cmbPublisher", Width("labelstudio_name", "publisher"));
  cmbDeveloper = MakeCombo(tab, "cmbDeveloper", Width("artist_name", "developer"));
  cmbGenre = MakeCombo(tab, "cmbGenre", Width("category", "genre"));
  txtBestFeature = MakeText(tab, "txtBestFeature", Width("bestfeature"));
  txtWorstFeature = MakeText(tab, "txtWorstFeature", Width("worstfeature"));
  cmbRating = MakeCombo(tab, "cmbRating", Width("rating"));
  cmbFormat = MakeCombo(tab, "cmbFormat", Width("Format"));
  txtPlayers = MakeText(tab, "txtPlayers", Width("players"));
  txtHomepage = MakeText(tab, "txtHomepage", Width("homepage"));
  auto dateRow = [tab](forms::DateBox* date, QPushButton* clear) {
    auto* row = new QHBoxLayout();
    row->addWidget(date);
    row->addWidget(clear);
    row->addStretch(1);
    return row;
  };
  int r = 0;
  g->addWidget(new QLabel("Name", tab), r, 0);
  g->addWidget(txtName, r++, 1, 1, 3);
  g->addWidget(new QLabel("Date Aquired", tab), r, 0);
  g->addLayout(dateRow(DateAquired, btnBlankADate), r, 1);
  g->addWidget(new QLabel("Date Released", tab), r, 2);
  g->addLayout(dateRow(DateReleased, btnBlankRDate), r++, 3);
  g->addWidget(new QLabel("Publisher", tab), r, 0);
  g->addWidget(cmbPublisher, r, 1);
  g->addWidget(new QLabel("Developer", tab), r, 2);
  g->addWidget(cmbDeveloper, r++, 3);
  g->addWidget(new QLabel("Genre", tab), r, 0);
  g->addWidget(cmbGenre, r, 1);
  g->addWidget(new QLabel("Rating", tab), r, 2);
  g->addWidget(cmbRating, r++, 3);
  g->addWidget(new QLabel("Best Feature", tab), r, 0);
  g->addWidget(txtBestFeature, r++, 1, 1, 3);
  g->addWidget(new QLabel("Worst Feature", tab), r, 0);
  g->addWidget(txtWorstFeature, r++, 1, 1, 3);
  g->addWidget(new QLabel("Format", tab), r, 0);
  g->addWidget(cmbFormat, r, 1);
  g->addWidget(new QLabel("# of Players", tab), r, 2);
  g->addWidget(txtPlayers, r++, 3);
  g->addWidget(new QLabel("Game Homepage", tab), r, 0);
  g->addWidget(txtHomepage, r++, 1, 1, 3);
  g->setColumnStretch(1, 1);
  g->setColumnStretch(3, 1);
  g->setRowStretch(r, 1);
  return tab;
}

QWidget* PLMain_Form::BuildPage2Tab() {
  auto* tab = new QWidget();
  auto* layout = new QHBoxLayout(tab);
  sGrid = MakeLinkGrid(tab, "sGrid");
  tGrid = MakeLinkGrid(tab, "tGrid");
  layout->addWidget(sGrid, 1);
  layout->addWidget(tGrid, 1);
  return tab;
}

}  // namespace pl
