// The menu commands of the catalogue window: input options, the lookup
// editors, quick display, reports, help, and the two commands that close
// and reopen the collection (switching it and compacting it).
#include <filesystem>
#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QCursor>
#include <QPlainTextEdit>
#include <QPointer>
#include <QProgressDialog>
#include <QTextEdit>

#include <cstdio>

#include "catalogue/MenuHooks.h"
#include "catalogue/NewMain_Form.h"
#include "catalogue/SectionRules.h"
#include "core/AVCollection_Form.h"
#include "core/Start_Form.h"
#include "core/AppState.h"
#include "core/CommonDataTable.h"
#include "core/Compaction.h"
#include "core/OpenFailure.h"
#include "core/ConversionModule32.h"
#include "core/TavolinModule.h"
#include "platform/forms/Spelling.h"
#include "platform/runtime/Files.h"
#include "platform/runtime/Functions.h"
#include "platform/runtime/Guard.h"
#include "platform/runtime/Prompter.h"
#include "platform/runtime/Settings.h"
#include "reports/TVNInit.h"

#ifndef TVN_WEB_PAGE
#define TVN_WEB_PAGE "help:index.html"
#endif
#ifndef TVN_SUPPORT_MAIL
#define TVN_SUPPORT_MAIL "support@example.invalid"
#endif

namespace tvn {

namespace {

// The full path of a collection file of the program folder.
std::string CollectionPath(const std::string& file) {
  return std::filesystem::absolute(vb::ResolvePath(file)).lexically_normal().string();
}


// The progress of a conversion, shown from its first copied row on.
class ConversionProgressDialog {
 public:
  explicit ConversionProgressDialog(QWidget* owner) : owner_(owner) {
    SetConversionProgress([this](long rows) { Show(rows); });
  }
  ~ConversionProgressDialog() {
    SetConversionProgress({});
    delete dialog_;
  }

 private:
  void Show(long rows) {
    if (!dialog_) {
      dialog_ = new QProgressDialog(owner_);
      dialog_->setObjectName("ConversionProgress");
      dialog_->setWindowTitle(QString::fromStdString(vb::AppTitle()));
      dialog_->setCancelButton(nullptr);
      dialog_->setRange(0, 0);  // the number of rows to come is not known
      dialog_->setMinimumDuration(0);
      dialog_->setWindowModality(Qt::WindowModal);
      dialog_->show();
    }
    dialog_->setLabelText(QString("Converting the collection: %1 rows copied").arg(rows));
    // Repaint now and then only: a collection may hold many thousand rows.
    if (rows % 50 == 1) QApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
    MenuHooks::Get().conversionProgress(owner_, rows);
  }

  QWidget* owner_;
  QPointer<QProgressDialog> dialog_;
};

// The support address as a "mailto:" address.
std::string SupportMailAddress() {
  const std::string address = TVN_SUPPORT_MAIL;
  if (vb::LCase(vb::Left(address, 7)) == "mailto:") return address;
  return "mailto:" + address;
}

}  // namespace

void NewMain_Form::ConnectMenuCommands() {
  auto wire = [this](QAction* action, void (NewMain_Form::*handler)()) {
    connect(action, &QAction::triggered, this, [this, action, handler](bool checked) {
      // A checkable entry has toggled itself already; its command sets the
      // mark as it needs.
      if (action->isCheckable()) action->setChecked(!checked);
      RunCommand([this, handler] { (this->*handler)(); });
    });
  };
  wire(SmartComboMenu, &NewMain_Form::SmartComboMenu_Click);
  wire(menuAutoSpell, &NewMain_Form::menuAutoSpell_Click);
  wire(Exit_Menu, &NewMain_Form::Exit_Menu_Click);
  wire(menuQD, &NewMain_Form::menuQD_Click);
  wire(View_All_Artists_Menu, &NewMain_Form::View_All_Artists_Menu_Click);
  wire(Artist_Select_Menu, &NewMain_Form::Artist_Select_Menu_Click);
  wire(Category_Select_Menu, &NewMain_Form::Category_Select_Menu_Click);
  wire(Label_Select_Menu, &NewMain_Form::Label_Select_Menu_Click);
  wire(Format_Select_Menu, &NewMain_Form::Format_Select_Menu_Click);
  wire(Tape_Select_Menu, &NewMain_Form::Tape_Select_Menu_Click);
  wire(SortSelectmenu, &NewMain_Form::SortSelectmenu_Click);
  wire(CollectionMenu, &NewMain_Form::CollectionMenu_Click);
  wire(ArtistManagerMenu, &NewMain_Form::ArtistManagerMenu_Click);
  wire(CategoryMMenu, &NewMain_Form::CategoryMMenu_Click);
  wire(LSMenu, &NewMain_Form::LSMenu_Click);
  wire(Compact_Menu, &NewMain_Form::Compact_Menu_Click);
  wire(ReportMenu, &NewMain_Form::ReportMenu_Click);
  wire(RWStandardmenu, &NewMain_Form::RWStandardmenu_Click);
  wire(Content_Menu, &NewMain_Form::Content_Menu_Click);
  wire(MenuAbout, &NewMain_Form::MenuAbout_Click);
  wire(TipMenu, &NewMain_Form::TipMenu_Click);
  wire(WebMenu, &NewMain_Form::WebMenu_Click);
  wire(EmailMenu, &NewMain_Form::EmailMenu_Click);
}

// ---------------------------------------------------------------- File

void NewMain_Form::SmartComboMenu_Click() {
  // The combos' completion reads the mark as the user types.
  SmartComboMenu->setChecked(!SmartComboMenu->isChecked());
}

void NewMain_Form::menuAutoSpell_Click() {
  menuAutoSpell->setChecked(!menuAutoSpell->isChecked());
  if (!menuAutoSpell->isChecked()) return;
  // Checking as the user types ends for every text box of the window.
  forms::StopCheckingTyping(this);
}

void NewMain_Form::Exit_Menu_Click() { close(); }

// ---------------------------------------------------------------- View

void NewMain_Form::menuQD_Click() { MenuHooks::Get().showQuickDisplay(this); }

void NewMain_Form::SortSelectmenu_Click() {
  // Typed changes are asked about before the list and the record change.
  if (!ConfirmLeaveRecord()) return;
  LeaveScope leaving(*this);
  RefreshSort(true);
}

// ---------------------------------------------------------------- Utilities

void NewMain_Form::CloseWindowRecordsets() {
  for (dao::RecordsetPtr* rs : {&RecordRow, &SectionRecords, &CaptionRecords, &PublisherRecords}) {
    if (*rs && (*rs)->IsOpen()) (*rs)->Close();
    rs->reset();
  }
  InvalidateTitleRows();
}

void NewMain_Form::OpenCollectionAtLastDB() {
  auto& app = App();
  app.CollectionDB = AVCollection_Form::OpenCollection(AVCollection_Form::MediaCollections(), AppWorkspace(),
                                                       CollectionPath(AVData()->LastDB()));
  CommonDataTable().CheckTable();
  ConversionProgressDialog progress(this);
  OpenMediaData();
}

void NewMain_Form::ReadFirstSection(Byte section) {
  raiseSectionErrors_ = true;
  try {
    ItemClickProcess(section);
  } catch (...) {
    raiseSectionErrors_ = false;
    throw;
  }
  raiseSectionErrors_ = false;
}

void NewMain_Form::ReadLastSection() {
  AVData()->SectionNumber(0);
  int last = ReadStartupByte("LG", 6);
  if (last < 1 || last > 9) last = 6;  // a damaged setting must still open a section
  ReadFirstSection(Byte(last));
}

void NewMain_Form::CloseCollection() {
  CloseWindowRecordsets();
  auto& app = App();
  if (app.CollectionDB && app.CollectionDB->IsOpen()) app.CollectionDB->Close();
  app.CollectionDB.reset();
}

void NewMain_Form::ReadCollectionFirst() {
  // The check at opening reads the collection's keys and indexes, not every
  // row: a damaged row the window shows first is met here, and then the
  // user chooses the way on as at the start, with nothing of the damaged
  // file on screen.
  const CollectionManagerConfig& config = AVCollection_Form::MediaCollections();
  TVNDATA* d = AVData();
  CurrentCollectionOpening how;
  how.giveUp = "go on without a collection and open one in the Collection Manager (Utilities menu).";
  how.gaveUp = "The window goes on without a collection; open one in the Collection Manager (Utilities menu).";
  how.defaultFile = DefaultCollectionFile;
  how.defaultPath = CollectionPath(DefaultCollectionFile);
  how.path = [d] { return CollectionPath(d->LastDB()); };
  how.open = [this] {
    try {
      OpenCollectionAtLastDB();
      Form_Load();
      ReadLastSection();
    } catch (...) {
      CloseCollection();
      throw;
    }
  };
  how.canUseDefault = [] { return vb::FileExists(CollectionPath(DefaultCollectionFile)); };
  how.useDefault = [&config, d] {
    d->LastDB(DefaultCollectionFile);
    vb::SaveSetting("TVN", "Startup", config.settingKey, DefaultCollectionFile);
    d->CurCollection(AVCollection_Form::ListedName(config, DefaultCollectionFile));
  };
  if (AVCollection_Form::FirstReadOrWayOn(config, [this] { ReadLastSection(); }, [this] { CloseCollection(); },
                                          how))
    return;
  setWindowTitle(QStringLiteral("Tavolin"));
  ShowWithoutCollection(true, {View_Menu, UtilitiesMenu}, CollectionMenu);
}

void NewMain_Form::CollectionMenu_Click() {
  // The record on show belongs to the collection that is about to close.
  if (!ConfirmLeaveRecord()) return;
  LeaveScope leaving(*this);
  auto& app = App();
  TVNDATA* d = AVData();
  const std::string previousFile = d->LastDB();
  const std::string previousName = d->CurCollection();

  CloseWindowRecordsets();
  if (app.CollectionDB && app.CollectionDB->IsOpen()) app.CollectionDB->Close();
  MenuHooks::Get().showCollectionManager(this);

  // The window reads the new collection as part of opening it: when that
  // fails, the collection that was open comes back. A damaged file met by
  // the section's first read is raised here, not told and passed over.
  auto openAndRead = [this] {
    try {
      BusyWindow busy(this);
      OpenCollectionAtLastDB();
      Form_Load();
      ReadLastSection();
      if (On(AVData()->QDOpen())) FillQuickDisplayGrid();
    } catch (...) {
      CloseCollection();
      throw;
    }
  };
  if (AVCollection_Form::TakeChosenCollection(AVCollection_Form::MediaCollections(), previousFile, previousName,
                                              openAndRead)) {
    ShowWithoutCollection(false, {View_Menu, UtilitiesMenu}, CollectionMenu);
    return;
  }
  setWindowTitle(QStringLiteral("Tavolin"));
  ShowWithoutCollection(true, {View_Menu, UtilitiesMenu}, CollectionMenu);
}

// The title list from "A" when the section starts afresh (or is empty),
// else the record the section's set stands on.
void NewMain_Form::ShowRecordAgain() {
  TVNDATA* d = AVData();
  if (!SectionHasRows()) d->LoadFirstRec(vb::True);
  if (On(d->LoadFirstRec())) {
    ActiveLetterButton = 1;
    PreviousLetterButton = 51;
    SelectedLetter = "A";
    RefreshTitleList();
  } else {
    if (SectionRecords->Eof() || SectionRecords->BOF()) SectionRecords->MoveFirst();
    CS_Load_Data(vb::NzStr(SectionRecords->GetField("Name")));
  }
}

void NewMain_Form::ArtistManagerMenu_Click() {
  // The editor may rename what the record on show names: typed changes are asked about first.
  if (!ConfirmLeaveRecord()) return;
  LeaveScope leaving(*this);
  MenuHooks::Get().showArtistManager(this);
  FillArtistCombos(false);
  ShowRecordsAfterEditor();
}

void NewMain_Form::CategoryMMenu_Click() {
  // The editor may rename what the record on show names: typed changes are asked about first.
  if (!ConfirmLeaveRecord()) return;
  LeaveScope leaving(*this);
  MenuHooks::Get().showCategoryManager(this);
  FillArtistCombos(true);
  ShowRecordsAfterEditor();
}

void NewMain_Form::LSMenu_Click() {
  // The editor may rename what the record on show names: typed changes are asked about first.
  if (!ConfirmLeaveRecord()) return;
  LeaveScope leaving(*this);
  MenuHooks::Get().showLabelManager(this);
  FillArtistCombos(true);
  ShowRecordsAfterEditor();
}

void NewMain_Form::Compact_Menu_Click() {
  // The record on show belongs to the file that is about to be rewritten.
  if (!ConfirmLeaveRecord()) return;
  LeaveScope leaving(*this);
  auto& app = App();
  const std::string lastDB = AVData()->LastDB();
  // The question names the file itself, so the user copies the right one.
  vb::ChDir(vb::ProgramFolder());
  const std::string fullPath = std::filesystem::absolute(vb::ResolvePath(lastDB)).lexically_normal().string();
  if (!AskCompaction(fullPath)) return;

  BusyWindow busy(this);
  CloseWindowRecordsets();
  if (app.CollectionDB && app.CollectionDB->IsOpen()) app.CollectionDB->Close();
  vb::ChDir(vb::ProgramFolder());
  // The engine rewrites the file itself: another program that has it open
  // keeps working on it.
  const CompactionResult result = CompactInPlace(vb::ResolvePath(lastDB));
  const bool failed = result == CompactionResult::Failed;

  try {
    app.CollectionDB = AppWorkspace().OpenDatabase(lastDB);
  } catch (const vb::RuntimeError& e) {
    busy.Done();
    if (failed) vb::MsgBox("There was an error compacting Database", vb::vbInformation | vb::vbOKOnly, vb::AppTitle());
    vb::MsgBox(CannotUseText("collection", fullPath, DescribeOpenFailure(e)), vb::vbOKOnly | vb::vbExclamation,
               vb::AppTitle());
    return;
  }
  busy.Done();
  if (failed) vb::MsgBox("There was an error compacting Database", vb::vbInformation | vb::vbOKOnly, vb::AppTitle());
  // The window starts afresh on the section it was on, as if it had been
  // closed and opened again.
  if (AVData()->SectionNumber() != 0)
    vb::SaveSetting("TVN", "Startup", "LG", std::to_string(int(AVData()->SectionNumber())));
  Form_Load();
  Form_Activate();
}

void NewMain_Form::RunReportLibrary(bool runStandard) {
  auto& app = App();
  const std::string folder = vb::ProgramFolder();
  if (!app.ReportLibrary) app.ReportLibrary = std::make_shared<TVNInit>();
  std::shared_ptr<TVNDATA> state = AVDataRef();
  app.ReportLibrary->StartStandardReport(app.CollectionDB, state, folder, runStandard);
  if (state) SetAVData(state);
}

void NewMain_Form::ReportMenu_Click() { RunReportLibrary(false); }

void NewMain_Form::RWStandardmenu_Click() { RunReportLibrary(true); }

// ---------------------------------------------------------------- Help

void NewMain_Form::Content_Menu_Click() { ShowHelp(HelpContents); }

void NewMain_Form::MenuAbout_Click() {
  App().AboutMode = true;
  struct AboutModeBack {
    ~AboutModeBack() { App().AboutMode = false; }
  } back;
  MenuHooks::Get().showAbout(this);
}

void NewMain_Form::TipMenu_Click() {
  App().TipNum = 1000;
  Form_Activate();
}

void NewMain_Form::WebMenu_Click() { MenuHooks::Get().openWithShell(TVN_WEB_PAGE); }

void NewMain_Form::EmailMenu_Click() { MenuHooks::Get().openWithShell(SupportMailAddress()); }

}  // namespace tvn
