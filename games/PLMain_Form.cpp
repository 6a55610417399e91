// Life of the game window: its place, the load that fills the fixed lists,
// the first activation that picks the section, the unload that keeps the
// settings and tells the launcher; the text helpers every routine uses.
#include "games/PLMain_Form.h"

#include <QAction>
#include <QComboBox>
#include <QCoreApplication>
#include <QEvent>
#include <QLineEdit>
#include <QTextEdit>
#include <QTreeWidget>

#include "core/FieldCaptions.h"
#include "core/TavolinModule.h"
#include "core/Windows.h"
#include "games/PLCollection_Form.h"
#include "games/PLModule.h"
#include "games/PLQDForm.h"
#include "platform/forms/Controls.h"
#include "platform/runtime/Errors.h"
#include "platform/runtime/Guard.h"
#include "platform/runtime/Prompter.h"
#include "platform/runtime/Settings.h"

namespace pl {

const std::array<GameSection, 6>& GameSections() {
  static const std::array<GameSection, 6> sections = {{
      {"Gameboy", "gbon", ": Gameboy", "gbcaption"},
      {"Nintendo", "nton", ": Nintendo", "ncaption"},
      {"Sony", "pson", ": Sony", "pscaption"},
      {"Sega", "segaon", ": Sega", "segacaption"},
      {"Microsoft", "xon", ": Microsoft", "xcaption"},
      {"Other", "otheron", ": Other", "ocaption"},
  }};
  return sections;
}

PLMain_Form::PLMain_Form() {
  BuildWindow();
  ConnectControls();
  ConnectMenuCommands();
  ConnectRecordEditing();
  Form_Initialize();
  Form_Load();
}

PLMain_Form::~PLMain_Form() {
  if (!unloaded_) {
    unloaded_ = true;
    Form_Unload();
  }
}

void PLMain_Form::Form_Initialize() { tvn::RestoreWindowPlace(*this, "PL_T", "PL_L"); }

void PLMain_Form::Form_Load() {
  avplDataclass& d = PLData();
  d.QDOpen = false;
  tvn::SetHelpFile(this, d.APath);
  FirstActivate = true;
  setWindowTitle(QString::fromStdString("The Pellion - " + d.CurCollection));
  FillRatingFormatCombos();
  FillSysTypeGrid();
  FillSupportsGrid();
}

void PLMain_Form::Form_Activate() {
  if (!FirstActivate) return;
  FirstActivate = false;
  try {
    SetLateBound(PL().Launcher, "MousePointer", 0);
  } catch (const vb::RuntimeError& e) {
    vb::TellError(e);
  }
  auto readLastSection = [this] {
    PLData().SectionNumber = 0;
    int last = tvn::ReadStartupByte("LPL", 1);
    if (last < 1 || last > 6) last = 1;  // a damaged setting must still show a section
    std::uint8_t section = std::uint8_t(last);
    ItemClickProcessPL(section);
  };
  // A damaged row the window shows first (the check at opening reads keys
  // and name indexes only) leaves nothing of that file on screen.
  const bool read = ReadGameCollectionFirst(readLastSection, [&] {
    Form_Load();
    FirstActivate = false;
    readLastSection();
  });
  if (!read) {
    setWindowTitle(QStringLiteral("The Pellion"));
    ShowWithoutCollection(true, {vmenu, UtilitiesMenu}, CollectionMenu);
  }
  QCoreApplication::processEvents();
}

void PLMain_Form::Form_Unload() {
  // Every step runs, whatever the one before did: the window closes regardless.
  auto step = [](auto&& f) {
    try {
      f();
    } catch (...) {
    }
  };
  avplDataclass& d = PLData();
  step([&] {
    if (d.SectionNumber != 0) vb::SaveSetting("TVN", "Startup", "LPL", std::to_string(int(d.SectionNumber)));
  });
  step([&] {
    for (dao::RecordsetPtr* rs : {&rsCaption, &rsRecord, &rsSection}) {
      if (*rs && (*rs)->IsOpen()) (*rs)->Close();
      rs->reset();
    }
  });
  step([&] {
    if (d.QDOpen) CloseGameQuickDisplay();
  });
  step([&] { SetLateBound(LateBoundChild(PL().Launcher, "plrunning"), "Value", 0); });
  step([&] { tvn::SaveWindowPlace(*this, "PL_T", "PL_L"); });
}

void PLMain_Form::UnloadWindow() {
  if (unloaded_) return;
  unloaded_ = true;
  Form_Unload();
  hide();
  if (PL().MainWindow == this) PL().MainWindow = nullptr;
  deleteLater();
}

bool PLMain_Form::event(QEvent* event) {
  const QEvent::Type type = event->type();
  // A deferred delete ends the window inside the base's handler: nothing
  // of it may be touched after.
  if (type == QEvent::DeferredDelete) return QMainWindow::event(event);
  const bool handled = QMainWindow::event(event);
  // The first showing counts as the first activation even where no window
  // manager activates the window; it runs after the event was delivered.
  if (unloaded_) return handled;
  if (type == QEvent::WindowActivate)
    vb::Guarded([this] { Form_Activate(); });
  else if (type == QEvent::Show && FirstActivate)
    QMetaObject::invokeMethod(this, [this] { if (!unloaded_) vb::Guarded([this] { Form_Activate(); }); },
                              Qt::QueuedConnection);
  return handled;
}

void PLMain_Form::ConnectControls() {
  ConnectFrame();
  connect(tGrid, &forms::FlexGrid::Click, this, [this] { tGrid_Click(); });
  connect(sGrid, &forms::FlexGrid::Click, this, [this] { sGrid_Click(); });
  // The combos complete from their lists while "Use Smart Combo boxes" is
  // checked; every text field knows the spelling and thesaurus keys.
  for (QComboBox* combo : {cmbPublisher, cmbDeveloper, cmbGenre, cmbRating, cmbFormat})
    GiveInput(combo, tvn::kComplete);
  for (QWidget* field : std::initializer_list<QWidget*>{txtName, txtBestFeature, txtWorstFeature, txtHomepage,
                                                        txtPlayers, txtHints, txtInstructions, txtNotes})
    GiveInput(field, tvn::kSpellKeys);
  for (QLineEdit* field : fText) GiveInput(field, tvn::kSpellKeys);
}

}  // namespace pl
