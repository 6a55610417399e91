// The record toolbar of the game window: add, cancel the add, file,
// delete, previous and next, and the report wizard; the toolbar states
// (the media window's, over the same six buttons); the picture and
// date buttons of the editor.
#include <QAction>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTabWidget>
#include <QToolBar>

#include "core/TavolinModule.h"
#include "games/PLGameStore.h"
#include "games/PLMain_Form.h"
#include "games/PLModule.h"
#include "platform/forms/LetterBar.h"
#include "platform/runtime/Functions.h"
#include "platform/runtime/Guard.h"
#include "platform/runtime/Prompter.h"

namespace pl {

namespace {

bool HoldsRow(const dao::RecordsetPtr& rs) { return rs && rs->IsOpen() && !rs->Eof() && !rs->BOF(); }
bool HasRows(const dao::RecordsetPtr& rs) { return rs && rs->IsOpen() && !(rs->Eof() && rs->BOF()); }

// A picture belongs to a stored game only: its tab is off while one is added.
void EnablePictureTab(QTabWidget* tabs, bool enabled) {
  if (!tabs) return;
  for (int i = 0; i < tabs->count(); ++i)
    if (tabs->tabText(i).remove('&') == QStringLiteral("Picture")) tabs->setTabEnabled(i, enabled);
}

}  // namespace

void PLMain_Form::Toolbar1_ButtonClick(int index) {
  switch (index) {
    case 1: {  // add: a typed change to the game on show is asked about before anything changes
      if (!ConfirmLeaveRecord()) return;
      LeaveScope leaving(*this);
      EnableWindowControls(false);
      AddMode = true;
      EnablePictureTab(SSTab1, false);
      if (!HasRows(rsSection)) SetEditState(kEditableColour, true);
      ClearGameForm();
      SetToolbarVisible();
      txtName->setFocus();
      TakeRecordSnapshot();
      break;
    }
    case 2: {  // cancel the add: what was typed for the new game is dropped
      // Outside an add the game on show is left like any other.
      if (!AddMode && !ConfirmLeaveRecord()) return;
      AddMode = false;
      LeaveScope dropped(*this);
      if (HasRows(rsSection)) {
        vb::Guarded([this] {
          rsSection->MoveFirst();
          ShowCurrentRecord();
        });
        SetToolbarBrowse();
      } else {
        ClearGameForm();
        SetEditState(kLockedColour, false);
        SetToolbarEmpty();
      }
      EnableWindowControls(true);
      break;
    }
    case 3:  // file
      FileShownRecord();
      break;
    case 4: {  // delete
      if (vb::MsgBox("Delete the displayed record??", vb::vbYesNo, "Delete Warning") != vb::vbYes) return;
      if (!HoldsRow(rsRecord)) return;
      vb::Guarded([this] {
        const long number = vb::CLng(rsRecord->GetField("systemnumber"));
        rsRecord->Close();
        rsRecord.reset();
        // The game is gone; what was typed into it goes with it.
        LeaveScope gone(*this);
        // The game goes with its system-type and feature links.
        DeleteGame(*PL().GameDB, number);
        PreviousLetterButton = 51;
        ActiveLetterButton = 1;
        OpenSectionRecordset();
        RefreshTitleList();
        SwapLetterButtons(ActiveLetterButton, PreviousLetterButton);
      });
      break;
    }
    case 5:  // previous
    case 6:  // next
      if (!HasRows(rsSection)) return;
      if (!ConfirmLeaveRecord()) return;
      vb::Guarded([this, index] {
        const int direction = index == 5 ? 2 : 1;
        const std::string from = StoredNameShown();
        tvn::MoveRecord(rsSection.get(), direction);
        // A game another program removed is stepped over.
        if (!StepOverGoneRow(rsSection, from, direction)) ShowCurrentRecord();
      });
      break;
    case 8:  // report wizard, as the report menu opens it
      ReportMenu_Click();
      break;
    default:
      break;
  }
}

bool PLMain_Form::FileShownRecord() {
  if (!CheckNameEntered()) return false;
  // A date that does not read for sure is refused before anything is
  // written: filed as Null it would erase the stored date.
  if (!CheckDateToFile(DateAquired) || !CheckDateToFile(DateReleased)) return false;
  // Another program may have changed or removed the game since it was shown.
  bool goOn = false;
  if (!vb::Guarded([this, &goOn] { goOn = ConfirmStoredRecord(); }) || !goOn) return false;
  // A failure stored nothing; the editor keeps its contents for another try.
  if (!vb::Guarded([this] { SaveRecord(); })) return false;
  SetToolbarBrowse();
  EnableWindowControls(true);
  EnablePictureTab(SSTab1, true);
  return true;
}

void PLMain_Form::ShowCurrentRecord() {
  if (!HoldsRow(rsSection)) return;
  // Removed by another program: the next game that exists instead.
  if (StepOverGoneRow(rsSection, StoredNameShown(), 1)) return;
  const std::string name = vb::NzStr(rsSection->GetField("Name"));
  FollowLetterOf(name);
  LoadData_PL(name);
}

void PLMain_Form::FollowLetterOf(const std::string& name) {
  if (!HoldsRow(rsSection) || forms::TitleLetter(name) == CurrentLetter) return;
  // Another letter's game: that letter becomes active and its titles are listed.
  avplDataclass& d = PLData();
  d.P_Button = static_cast<std::int16_t>(PreviousLetterButton);
  d.A_Button = static_cast<std::int16_t>(ActiveLetterButton);
  ShowLetterButton(true, name);
  PreviousLetterButton = d.P_Button;
  ActiveLetterButton = d.A_Button;
  CurrentLetter = d.SLetterW;
  const auto mark = rsSection->Bookmark();
  FillTitleListByLetter(CurrentLetter);
  SwapLetterButtons(ActiveLetterButton, PreviousLetterButton);
  rsSection->SetBookmark(mark);
}

// The media window's toolbar states: the first six actions of Toolbar1.
void PLMain_Form::SetToolbarBrowse() { tvn::ToolbarBrowseMode(Toolbar1); }
void PLMain_Form::SetToolbarVisible() { tvn::ToolbarAddMode(Toolbar1); }
void PLMain_Form::SetToolbarEmpty() { tvn::ToolbarEmptyMode(Toolbar1); }

void PLMain_Form::Add_Picture_Click() {
  if (!HoldsRow(rsRecord)) return;
  ChangeRowOnShow([this] { tvn::LoadPictureForRecord(this, *rsRecord); });
}

void PLMain_Form::Delete_Picture_Click() {
  if (!HoldsRow(rsRecord)) return;
  ChangeRowOnShow([this] {
    tvn::DeletePictureOfRecord(*rsRecord);
    Picture_Box->clear();
  });
}

void PLMain_Form::btnBlankADate_Click() { DateAquired->ClearDate(); }
void PLMain_Form::btnBlankRDate_Click() { DateReleased->ClearDate(); }

void PLMain_Form::ConnectRecordEditing() {
  if (btnBlankADate) connect(btnBlankADate, &QPushButton::clicked, this, [this] { btnBlankADate_Click(); });
  if (btnBlankRDate) connect(btnBlankRDate, &QPushButton::clicked, this, [this] { btnBlankRDate_Click(); });
}

}  // namespace pl
