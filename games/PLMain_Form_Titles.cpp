// The way to a game: the letter bar of the section's titles and the title
// list of the active letter. The letter routines pass the active and the
// previous letter through the state object, as the other game windows
// read them there.
#include <QAction>
#include <QComboBox>
#include <QStringList>
#include <QToolBar>

#include "games/PLMain_Form.h"
#include "games/PLModule.h"
#include "platform/forms/LetterBar.h"
#include "platform/runtime/Functions.h"

namespace pl {

void PLMain_Form::ResetLetterButtons() { forms::ResetLetterButtons(LetterButtons); }

std::string PLMain_Form::ShowLetterButton(bool activate, const std::string& name) {
  const std::string letter = forms::TitleLetter(name);
  const int number = forms::LetterButtonNumber(letter);
  if (activate) {
    SetActiveLetter(number);
  } else {
    forms::ShowLetterWithTitles(LetterButtons, number);
  }
  return letter;
}

void PLMain_Form::SwapLetterButtons(int active, int previous) {
  forms::SwapLetterButtons(LetterButtons, active, previous);
}

void PLMain_Form::SetActiveLetter(int buttonIndex) {
  if (buttonIndex < 1 || buttonIndex > 78) return;
  avplDataclass& d = PLData();
  d.P_Button = d.A_Button;
  d.A_Button = std::int16_t(forms::LetterButtonNumber(forms::LetterOfButton(buttonIndex)));
  d.SLetterW = forms::LetterOfButton(buttonIndex);
}

void PLMain_Form::Toolbar2_ButtonClick(int index) {
  if (index < 1 || index > 78) return;
  if (LetterButtons[size_t(index)]->toolTip().startsWith('N')) return;  // "No Data for ..."
  if (!ConfirmLeaveRecord()) return;
  avplDataclass& d = PLData();
  d.P_Button = std::int16_t(PreviousLetterButton);
  d.A_Button = std::int16_t(ActiveLetterButton);
  SetActiveLetter(index);
  PreviousLetterButton = d.P_Button;
  ActiveLetterButton = d.A_Button;
  CurrentLetter = d.SLetterW;
  FillTitleListByLetter(CurrentLetter);
  // The letter showed titles that another program has removed since: the
  // window moves on as from a removed game, never to an empty editor.
  if (List_Combo->count() == 0) {
    MoveOnFromGoneRecord(CurrentLetter, 1);
    return;
  }
  SwapLetterButtons(ActiveLetterButton, PreviousLetterButton);
  LoadData_PL(List_Combo->currentText().toStdString());
}

const std::vector<tvn::TitleKey>& PLMain_Form::Titles() {
  if (rsSection && titlesSource_.lock() == rsSection) return titles_;
  titles_.clear();
  letterCounts_.fill(0);
  titlesSource_ = rsSection;
  if (!SectionHasRows()) return titles_;
  dao::Recordset& rs = *rsSection;
  // Reading the titles does not move the set for the caller.
  const bool onRow = !rs.BOF() && !rs.Eof();
  const auto mark = onRow ? rs.Bookmark() : dao::Recordset::BookmarkType{};
  for (rs.MoveFirst(); !rs.Eof(); rs.MoveNext()) {
    tvn::TitleKey title;
    title.name = vb::NzStr(rs.GetField("Name"));
    title.letter = forms::TitleLetter(title.name);
    title.mark = rs.Bookmark();
    ++letterCounts_[size_t(title.letter[0] - 'A')];
    titles_.push_back(std::move(title));
    TickLongWork();
  }
  if (onRow) rs.SetBookmark(mark);
  return titles_;
}

bool PLMain_Form::TitlesRead() const { return rsSection && titlesSource_.lock() == rsSection; }

tvn::SectionTitles& PLMain_Form::SectionIndex() {
  if (!sectionIndex_ || sectionIndexSource_.lock() != rsSection) {
    sectionIndex_ = std::make_unique<tvn::SectionTitles>(
        PL().GameDB, "mediadata", "sectionnumber = " + std::to_string(int(PLData().SectionNumber)),
        [this] { TickLongWork(); });
    sectionIndexSource_ = rsSection;
  }
  return *sectionIndex_;
}

const std::vector<tvn::TitleKey>& PLMain_Form::TitlesNamed(const std::string& name) {
  // Once every title is read (a game gone, a game filed) the list of them
  // is the one kept in step with the set.
  if (TitlesRead()) return titles_;
  return SectionIndex().OfLetter(forms::TitleLetter(name));
}

void PLMain_Form::FillTitleListByLetter(const std::string& wanted) {
  const std::string letter = forms::IsBarLetter(wanted) ? wanted : std::string("A");
  List_Combo->clear();
  if (!SectionHasRows()) return;
  QStringList names;
  if (TitlesRead()) {
    for (const tvn::TitleKey& title : titles_)
      if (title.letter == letter) names << QString::fromStdString(title.name);
  } else {
    for (const tvn::TitleKey& title : SectionIndex().OfLetter(letter)) names << QString::fromStdString(title.name);
  }
  List_Combo->addItems(names);
  if (!names.isEmpty()) {
    List_Combo->setCurrentIndex(0);
    List_Combo->setEditText(names.front());
  }
}

void PLMain_Form::MarkLettersWithTitles() {
  ResetLetterButtons();
  if (!SectionHasRows()) return;
  const bool read = TitlesRead();
  const std::array<bool, 26>* letters = read ? nullptr : &SectionIndex().Letters();
  for (int k = 0; k < 26; ++k)
    if (read ? letterCounts_[size_t(k)] > 0 : (*letters)[size_t(k)])
      forms::ShowLetterWithTitles(LetterButtons, 3 * k + 1);
}

void PLMain_Form::RefreshTitleList() {
  if (!SectionHasRows()) {
    List_Combo->clear();
    ClearGameForm();
    ResetLetterButtons();
    SetEditState(kLockedColour, false);
    SetToolbarEmpty();
    return;
  }
  SetEditState(kEditableColour, true);
  MarkLettersWithTitles();
  avplDataclass& d = PLData();
  rsSection->MoveFirst();
  const std::string first = vb::NzStr(rsSection->GetField("Name"));
  d.P_Button = std::int16_t(PreviousLetterButton);
  d.A_Button = std::int16_t(ActiveLetterButton);
  ShowLetterButton(true, first);
  PreviousLetterButton = d.P_Button;
  ActiveLetterButton = d.A_Button;
  CurrentLetter = d.SLetterW;
  rsSection->MoveFirst();
  FillTitleListByLetter(CurrentLetter);
  rsSection->MoveFirst();
  SwapLetterButtons(ActiveLetterButton, PreviousLetterButton);
  LoadData_PL(first);
  SetToolbarBrowse();
}

void PLMain_Form::MoveOnFromGoneRecord(const std::string& name, int direction) {
  LeaveScope gone(*this);
  // The set still lists the games another program removed: it is read again.
  OpenSectionRecordset();
  if (!SectionHasRows()) {
    RefreshTitleList();
    return;
  }
  const std::vector<tvn::TitleKey>& titles = Titles();
  const size_t at = tvn::NearestTitleRow(titles, name, direction, [](const tvn::TitleKey&) { return true; });
  const auto mark = titles[at].mark;
  MarkLettersWithTitles();
  rsSection->SetBookmark(mark);
  // The title list is filled again for the letter of the game shown.
  CurrentLetter.clear();
  ShowCurrentRecord();
}

void PLMain_Form::List_Combo_Click() {
  if (List_Combo->currentIndex() < 0) return;
  const std::string name = List_Combo->currentText().toStdString();
  // Cancel keeps the game on show, and the list shows it again.
  if (!ConfirmLeaveRecord()) {
    const bool shown = rsRecord && rsRecord->IsOpen() && !rsRecord->Eof() && !rsRecord->BOF();
    List_Combo->setEditText(QString::fromStdString(shown ? vb::NzStr(rsRecord->GetField("Name")) : RecordNameShown()));
    return;
  }
  LoadData_PL(name);
}

}  // namespace pl
