// The record commands: add, cancel, file, delete and the report wizard on
// the record toolbar, and the smaller commands of the editor's tabs
// (titles, picture, clear date, play).
#include <QAction>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTabWidget>
#include <QToolBar>

#include "catalogue/NewMain_Form.h"
#include "catalogue/SectionRules.h"
#include "core/AddTitleForm.h"
#include "core/AppState.h"
#include "core/TavolinModule.h"
#include "core/Windows.h"
#include "platform/runtime/Files.h"
#include "platform/runtime/Functions.h"
#include "platform/runtime/Guard.h"
#include "platform/runtime/Prompter.h"
#include "platform/runtime/TextControl.h"
#include "reports/TVNInit.h"

namespace tvn {

namespace {

constexpr int kPictureTab = 4;

// The report library's entry object, made on first use and kept.
TVNInit& ReportLibrary() {
  auto& library = App().ReportLibrary;
  if (!library) library = std::make_shared<TVNInit>();
  return *library;
}

}  // namespace

void NewMain_Form::AddRecord() {
  // The record on show makes way for a blank one: a typed change to it is
  // asked about before anything changes.
  if (!ConfirmLeaveRecord()) return;
  LeaveScope leaving(*this);
  EnableUi(false);
  // A record that is not filed yet gets no picture.
  SSTab1->setTabEnabled(kPictureTab, false);
  AddingRecord = true;
  if (!SectionHasRows()) SetEditFieldsEnabled(kEditableColour, true);
  ClearRecordForm();
  ToolbarAddMode(Toolbar1);
  const TVNDATA* d = AVData();
  if (On(d->MusicOn()))
    CS_Name_Text->setFocus();
  else if (On(d->VideoOn()))
    Video_Name_Text->setFocus();
  else if (On(d->SCD_On()))
    SCD_Name_Text->setFocus();
  TakeRecordSnapshot();
}

void NewMain_Form::CancelAdd() {
  // The add is over: a File after this edits the record shown, and what
  // was typed for the new record is dropped without a question. Outside an
  // add the record on show is left like any other.
  if (!AddingRecord && !ConfirmLeaveRecord()) return;
  AddingRecord = false;
  LeaveScope dropped(*this);
  if (SectionHasRows()) {
    SectionRecords->MoveFirst();
    ShowCurrentTitle();
    ToolbarBrowseMode(Toolbar1);
  } else {
    ClearRecordForm();
    SetEditFieldsEnabled(kLockedColour, false);
    ToolbarEmptyMode(Toolbar1);
  }
  EnableUi(true);
}

bool NewMain_Form::FileRecord() {
  if (!ValidateNameEntered()) return false;
  // Another program may have changed or removed the record since it was shown.
  bool goOn = false;
  if (!vb::Guarded([this, &goOn] { goOn = ConfirmStoredRecord(); }) || !goOn) return false;
  // A failure stored nothing; the editor keeps its contents for another try.
  if (!vb::Guarded([this] { SaveRecordFromForm(); })) return false;
  ToolbarBrowseMode(Toolbar1);
  EnableUi(true);
  SSTab1->setTabEnabled(kPictureTab, true);
  return true;
}

void NewMain_Form::DeleteRecord() {
  if (vb::MsgBox("Delete the displayed record??", vb::vbYesNo, "Delete Warning") != vb::vbYes) return;
  if (!RecordRow || !RecordRow->IsOpen() || RecordRow->Eof() || RecordRow->BOF()) return;
  vb::Guarded([this] {
    RecordRow->Delete();
    // The record is gone; what was typed into it goes with it.
    LeaveScope gone(*this);
    ActiveLetterButton = 1;
    PreviousLetterButton = 51;
    if (SelectionMode == 5) ReopenKeptSelectionSet();
    RunSelectionQuery(true);
    RefreshTitleList();
    ShowActiveLetter(1, 51);
    // An open quick display must not go on listing the deleted record.
    if (On(AVData()->QDOpen())) FillQuickDisplayGrid();
  });
}

void NewMain_Form::ReportButton_Click() {
  // The same as the report wizard of the menu.
  vb::Guarded([this] { RunReportLibrary(false); });
}

// ---------------------------------------------------------------- titles

void NewMain_Form::AddButton_Click() {
  tvn::AddTitleForm& form = win::AddTitleForm.Get();
  form.TGrid = TGrid;
  form.ShowModal();
  UpdateAddTitleButton();
}

void NewMain_Form::ModifyButton_Click() {
  if (TGrid->Text().isEmpty() || TGrid->Row() == 0) return;
  vb::TextControlAdapter cell([this] { return TGrid->Text().toStdString(); },
                              [this](const std::string& t) { TGrid->SetText(QString::fromStdString(t)); });
  ReportLibrary().EditTitleRoutine(cell, vb::ProgramFolder());
}

void NewMain_Form::DeleteButton_Click() {
  if (TGrid->Text().isEmpty() || TGrid->Row() == 0) return;
  // The titles below move up by one; the last row is then free.
  for (int r = TGrid->Row(); r < kTitleRows; ++r) TGrid->SetTextMatrix(r, 1, TGrid->TextMatrix(r + 1, 1));
  TGrid->SetTextMatrix(kTitleRows, 1, QString());
  TGrid->SetRow(kTitleRows - 1);
  TGrid->SetTopRow(1);  // the list is read from its first title again
  UpdateAddTitleButton();
}

// ---------------------------------------------------------------- picture, dates, play

void NewMain_Form::Add_Picture_Click() {
  if (!RecordRow || !RecordRow->IsOpen() || RecordRow->Eof() || RecordRow->BOF()) return;
  ChangeRowOnShow([this] { LoadPictureForRecord(this, *RecordRow); });
}

void NewMain_Form::Delete_Picture_Click() {
  // The row shown, whatever row the title list stands on.
  if (!RecordRow || !RecordRow->IsOpen() || RecordRow->Eof() || RecordRow->BOF()) return;
  ChangeRowOnShow([this] {
    DeletePictureOfRecord(*RecordRow);
    Picture_Box->clear();
  });
}

void NewMain_Form::btnbdm_Click() { CS_Date_Text->ClearDate(); }
void NewMain_Form::btnbdv_Click() { Video_Date_Text->ClearDate(); }
void NewMain_Form::btnBlankADate_Click() { SCD_Date_Text->ClearDate(); }

void NewMain_Form::PlayButton_Click() {
  const std::string file = TextOf(FileLocationText);
  if (!file.empty()) OpenWithShell(file);
}

// ---------------------------------------------------------------- after a lookup editor

void NewMain_Form::LoadNameField() { ShowRecordAgain(); }

}  // namespace tvn
