// The game window's menus: the settings of the File menu, the quick
// display, the lookup editors and the collection manager, compaction, the
// report wizard and help. Each command reaches a window of its own; this
// file only says what the game window does before and after it.
#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QMenu>
#include <QTextEdit>
#include <filesystem>

#include "core/Compaction.h"
#include "core/OpenFailure.h"
#include "core/TavolinModule.h"
#include "core/Windows.h"
#include "games/PLCollection_Form.h"
#include "games/PLLookupEditors.h"
#include "games/PLMain_Form.h"
#include "games/PLModule.h"
#include "games/PLQDForm.h"
#include "games/reports/R00Module.h"
#include "platform/forms/Spelling.h"
#include "platform/runtime/Errors.h"
#include "platform/runtime/Functions.h"
#include "platform/runtime/Guard.h"
#include "platform/runtime/Prompter.h"
#include "platform/runtime/Settings.h"

namespace pl {

namespace {

std::string GameFilePath() { return PLData().APath + "/" + PLData().LastDB; }

}  // namespace

void PLMain_Form::ConnectMenuCommands() {
  auto wire = [this](QAction* action, void (PLMain_Form::*handler)()) {
    connect(action, &QAction::triggered, this, [this, action, handler](bool checked) {
      // A checkable entry has toggled itself already; its command sets the
      // mark as it needs.
      if (action->isCheckable()) action->setChecked(!checked);
      RunCommand([this, handler] { (this->*handler)(); });
    });
  };
  wire(SmartComboMenu, &PLMain_Form::SmartComboMenu_Click);
  wire(menuAutoSpell, &PLMain_Form::menuAutoSpell_Click);
  wire(Exit_Menu, &PLMain_Form::Exit_Menu_Click);
  wire(qdmenu, &PLMain_Form::qdmenu_Click);
  wire(CollectionMenu, &PLMain_Form::CollectionMenu_Click);
  wire(ArtistManagerMenu, &PLMain_Form::ArtistManagerMenu_Click);
  wire(CategoryMMenu, &PLMain_Form::CategoryMMenu_Click);
  wire(LSMenu, &PLMain_Form::LSMenu_Click);
  wire(menuSysType, &PLMain_Form::menuSysType_Click);
  wire(menuSupports, &PLMain_Form::menuSupports_Click);
  wire(Compact_Menu, &PLMain_Form::Compact_Menu_Click);
  wire(ReportMenu, &PLMain_Form::ReportMenu_Click);
  wire(Content_Menu, &PLMain_Form::Content_Menu_Click);

  connect(txtHints, &QTextEdit::textChanged, this, [this] { txtHints_Change(); });
  connect(txtInstructions, &QTextEdit::textChanged, this, [this] { txtInstructions_Change(); });
  connect(txtNotes, &QTextEdit::textChanged, this, [this] { txtNotes_Change(); });

  // The quick display reaches this window through these while it exists.
  tvn::QuickDisplayHooks& h = GameQuickDisplayHooks();
  h.AddingRecord = [this] { return AddMode; };
  h.CancelAdd = [this] { Toolbar1_ButtonClick(2); };
  h.ItemClickProcess = [this](std::uint8_t section) {
    std::uint8_t s = section;
    ItemClickProcessPL(s);
  };
  h.CS_Load_Data = [this](const std::string& name) { LoadData_PL(name); };
  h.BringForward = [this] {
    show();
    raise();
    activateWindow();
  };
}

// ---------------------------------------------------------------- File

void PLMain_Form::SmartComboMenu_Click() { SmartComboMenu->setChecked(!SmartComboMenu->isChecked()); }

void PLMain_Form::menuAutoSpell_Click() {
  menuAutoSpell->setChecked(!menuAutoSpell->isChecked());
  if (menuAutoSpell->isChecked()) forms::StopCheckingTyping(this);
}

void PLMain_Form::txtHints_Change() {
  if (!menuAutoSpell->isChecked()) tvn::CheckTyping(txtHints);
}
void PLMain_Form::txtInstructions_Change() {
  if (!menuAutoSpell->isChecked()) tvn::CheckTyping(txtInstructions);
}
void PLMain_Form::txtNotes_Change() {
  if (!menuAutoSpell->isChecked()) tvn::CheckTyping(txtNotes);
}

// As the close box: the game on show is asked about first.
void PLMain_Form::Exit_Menu_Click() { close(); }

// ---------------------------------------------------------------- View

void PLMain_Form::qdmenu_Click() { ShowGameQuickDisplay(this); }

// ---------------------------------------------------------------- Utilities

void PLMain_Form::CollectionMenu_Click() {
  // The game on show belongs to the collection that is about to close.
  if (!ConfirmLeaveRecord()) return;
  LeaveScope leaving(*this);
  for (dao::RecordsetPtr* rs : {&rsCaption, &rsRecord, &rsSection}) {
    if (*rs && (*rs)->IsOpen()) (*rs)->Close();
    rs->reset();
  }
  // The window reads the new collection as part of opening it: when that
  // fails, the collection that was open comes back.
  const bool opened = ShowGameCollectionManager(this, [this] {
    ShowWithoutCollection(false, {vmenu, UtilitiesMenu}, CollectionMenu);
    Form_Load();
    PLData().SectionNumber = 0;
    int last = tvn::ReadStartupByte("LPL", 1);
    if (last < 1 || last > 6) last = 1;
    std::uint8_t section = std::uint8_t(last);
    ItemClickProcessPL(section);
  });
  if (!opened) {
    // No collection is open: nothing may read through it until the user
    // opens one from the manager again.
    setWindowTitle(QStringLiteral("The Pellion"));
    ShowWithoutCollection(true, {vmenu, UtilitiesMenu}, CollectionMenu);
    return;
  }
  // The activation that follows has nothing left to do.
  FirstActivate = false;
  if (GameQuickDisplayWindow()) GameListReport();
}

void PLMain_Form::RefreshAfterEditor() {
  if (ShowTitlesFromA()) return;
  if (rsSection && rsSection->IsOpen() && !rsSection->Eof() && !rsSection->BOF())
    LoadData_PL(vb::NzStr(rsSection->GetField("Name")));
}

void PLMain_Form::ArtistManagerMenu_Click() {
  // The editor may rename what the record on show names: typed changes are asked about first.
  if (!ConfirmLeaveRecord()) return;
  LeaveScope leaving(*this);
  ShowGameLookupEditor(GameList::Developer, this);
  FillDeveloperCombo(CurrentFlagName());
  RefreshAfterEditor();
}

void PLMain_Form::CategoryMMenu_Click() {
  // The editor may rename what the record on show names: typed changes are asked about first.
  if (!ConfirmLeaveRecord()) return;
  LeaveScope leaving(*this);
  ShowGameLookupEditor(GameList::Genre, this);
  FillGenreCombo(CurrentFlagName());
  RefreshAfterEditor();
}

void PLMain_Form::LSMenu_Click() {
  // The editor may rename what the record on show names: typed changes are asked about first.
  if (!ConfirmLeaveRecord()) return;
  LeaveScope leaving(*this);
  ShowGameLookupEditor(GameList::Publisher, this);
  FillPublisherCombo(CurrentFlagName());
  RefreshAfterEditor();
}

void PLMain_Form::menuSysType_Click() {
  // The editor may rename what the record on show names: typed changes are asked about first.
  if (!ConfirmLeaveRecord()) return;
  LeaveScope leaving(*this);
  ShowGameLookupEditor(GameList::SysType, this);
  FillSysTypeGrid();
  RefreshAfterEditor();
}

void PLMain_Form::menuSupports_Click() {
  // The editor may rename what the record on show names: typed changes are asked about first.
  if (!ConfirmLeaveRecord()) return;
  LeaveScope leaving(*this);
  ShowGameLookupEditor(GameList::Supports, this);
  FillSupportsGrid();
  RefreshAfterEditor();
}

void PLMain_Form::Compact_Menu_Click() {
  // The game on show belongs to the file that is about to be rewritten.
  if (!ConfirmLeaveRecord()) return;
  LeaveScope leaving(*this);
  CompactGameDatabase();
}

void PLMain_Form::CompactGameDatabase() {
  const std::string file = GameFilePath();
  const std::string shown = std::filesystem::absolute(file).lexically_normal().string();
  CompactAnswer = tvn::AskCompaction(shown) ? vb::vbYes : vb::vbNo;
  if (CompactAnswer != vb::vbYes) return;

  tvn::BusyWindow busy(this);
  // Only the game collection is closed: the media collection the program
  // keeps in the same workspace stays open and usable.
  for (dao::RecordsetPtr* rs : {&rsCaption, &rsRecord, &rsSection}) {
    if (*rs && (*rs)->IsOpen()) (*rs)->Close();
    rs->reset();
  }
  PLGlobals& g = PL();
  if (g.GameDB && g.GameDB->IsOpen()) g.GameDB->Close();
  g.GameDB.reset();
  const bool failed = tvn::CompactInPlace(file) == tvn::CompactionResult::Failed;

  // The collection is opened again whatever happened: compacted, or as it was.
  try {
    OpenLastGameDatabase();
  } catch (const vb::RuntimeError& e) {
    busy.Done();
    if (failed) CompactAnswer = vb::MsgBox("There was an error compacting Database", vb::vbOKOnly);
    vb::MsgBox(tvn::CannotUseText("game collection", shown, tvn::DescribeOpenFailure(e)),
               vb::vbOKOnly | vb::vbExclamation);
    EnableWindowControls(false);
    return;
  }
  busy.Done();
  if (failed) CompactAnswer = vb::MsgBox("There was an error compacting Database", vb::vbOKOnly);
  // The window starts afresh on the section it was on, as the media window
  // does after its compaction.
  if (PLData().SectionNumber != 0)
    vb::SaveSetting("TVN", "Startup", "LPL", std::to_string(int(PLData().SectionNumber)));
  Form_Load();
  Form_Activate();
}

void PLMain_Form::ReportMenu_Click() { StartGameReports(this); }

// ---------------------------------------------------------------- Help

void PLMain_Form::Content_Menu_Click() { tvn::ShowHelpTopic(1); }

}  // namespace pl
