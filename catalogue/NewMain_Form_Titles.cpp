// The way to a record: the letter bar, the title list of one letter,
// previous/next with wrap-around, the catalogue-number list and the MP3
// file-location chooser.
#include <QAction>
#include <QComboBox>
#include <QLineEdit>
#include <QStringList>
#include <QToolBar>

#include "catalogue/NewMain_Form.h"
#include "platform/forms/LetterBar.h"
#include "core/AppState.h"
#include "core/TavolinModule.h"
#include "platform/runtime/Functions.h"
#include "platform/runtime/Prompter.h"

namespace tvn {

namespace {

const std::string kLetters = "ABCDEFGHIJKLMNOPQRSTUVWXYZ";

using forms::TitleLetter;

bool IsLetter(const std::string& s) { return forms::IsBarLetter(s); }

}  // namespace

NewMain_Form::TitleRow NewMain_Form::ReadTitleRow(const dao::Recordset& rs, dao::Recordset::BookmarkType mark) {
  auto text = [&rs](const char* field) { return vb::NzStr(rs.GetField(field)); };
  TitleRow row;
  row.name = text("Name");
  row.letter = TitleLetter(row.name);
  row.artists = {text("artist1"), text("artist2"), text("artist3"), text("artist4")};
  row.category = text("Category");
  row.labelstudio = text("labelstudio");
  row.format = text("format_type");
  row.catNumber = text("cat_number");
  row.mark = mark;
  return row;
}

const std::vector<NewMain_Form::TitleRow>& NewMain_Form::TitleRows() {
  const bool current = SectionRecords && !titleSource_.expired() && titleSource_.lock() == SectionRecords;
  if (current) return titleRows_;
  titleRows_.clear();
  letterCounts_.fill(0);
  titleSource_ = SectionRecords;
  if (!SectionHasRows()) return titleRows_;
  dao::Recordset& rs = *SectionRecords;
  // Reading the rows does not move the set for the caller.
  const bool wasBOF = rs.BOF();
  const bool onRow = !wasBOF && !rs.Eof();
  const auto mark = onRow ? rs.Bookmark() : dao::Recordset::BookmarkType{};
  rs.MoveFirst();
  while (!rs.Eof()) {
    TitleRow row = ReadTitleRow(rs, rs.Bookmark());
    ++letterCounts_[size_t(row.letter[0] - 'A')];
    titleRows_.push_back(std::move(row));
    TickLongWork();
    rs.MoveNext();
  }
  if (onRow) {
    rs.SetBookmark(mark);
  } else if (wasBOF) {
    rs.MoveFirst();
    rs.MovePrevious();
  }
  return titleRows_;
}

bool NewMain_Form::PlaceFiledTitleRow(dao::Recordset::BookmarkType mark, std::string& emptiedLetter) {
  emptiedLetter.clear();
  const bool tapeOrder = SectionRecords && tapeOrderedSet_.lock() == SectionRecords;
  const bool current = SectionRecords && !titleSource_.expired() && titleSource_.lock() == SectionRecords;
  if (SelectionMode != 0 || tapeOrder || !current || !RecordRow || !RecordRow->IsOpen() || RecordRow->Eof()) {
    InvalidateTitleRows();
    return false;
  }
  emptiedLetter = PlaceTitleRow(titleRows_, letterCounts_, ReadTitleRow(*RecordRow, mark), *SectionRecords);
  EnableRecordFrames(true);
  return true;
}

SectionTitles* NewMain_Form::SectionIndex() {
  // A selection filters by fields the index does not hold; rows read in
  // full are the ones kept in step with a record filed.
  const bool current = SectionRecords && !titleSource_.expired() && titleSource_.lock() == SectionRecords;
  if (SelectionMode != 0 || current || !SectionRecords || nameOrderedSet_.lock() != SectionRecords) return nullptr;
  if (!sectionIndex_ || sectionIndexSource_.lock() != SectionRecords) {
    sectionIndex_ = std::make_unique<SectionTitles>(App().CollectionDB, "mediadata",
                                                    "sectionnumber = " + std::to_string(int(AVData()->SectionNumber())),
                                                    [this] { TickLongWork(); });
    sectionIndexSource_ = SectionRecords;
  }
  return sectionIndex_.get();
}

bool NewMain_Form::FindNamedRow(const std::string& name) {
  if (SectionTitles* index = SectionIndex())
    return FindTitleRow(index->OfLetter(TitleLetter(name)), *SectionRecords, name);
  return FindTitleRow(TitleRows(), *SectionRecords, name);
}

void NewMain_Form::InvalidateTitleRows() {
  titleRows_.clear();
  titleSource_.reset();
}

bool NewMain_Form::RowPassesSelection(const TitleRow& row, int mode, const std::string& value) {
  switch (mode) {
    case 1:
      return row.artists[0] == value || row.artists[1] == value || row.artists[2] == value ||
             row.artists[3] == value;
    case 2: return row.category == value;
    case 3: return row.labelstudio == value;
    case 4: return row.format == value;
    case 5: return row.catNumber == value;
    default: return true;
  }
}

void NewMain_Form::MoveSectionToEnd() {
  if (!SectionHasRows()) return;
  SectionRecords->MoveLast();
  SectionRecords->MoveNext();
}

void NewMain_Form::ResetLetterBar() { forms::ResetLetterButtons(LetterButtons); }

void NewMain_Form::MarkLettersWithTitles(int mode, const std::string& value) {
  ResetLetterBar();
  if (!SectionHasRows()) return;
  if (SectionTitles* index = mode == 0 ? SectionIndex() : nullptr) {
    const std::array<bool, 26>& letters = index->Letters();
    for (size_t k = 0; k < letters.size(); ++k)
      if (letters[k]) forms::ShowLetterWithTitles(LetterButtons, 3 * int(k) + 1);
    MoveSectionToEnd();
    return;
  }
  std::string last;
  for (const TitleRow& row : TitleRows()) {
    if (!RowPassesSelection(row, mode, value)) continue;
    const std::string first = vb::Left(row.name, 1);
    if (!first.empty() && first != last) {
      LetterForTitle(false, row.name);
      last = first;
    }
  }
  MoveSectionToEnd();
}

std::string NewMain_Form::LetterForTitle(bool activate, const std::string& name) {
  const std::string letter = TitleLetter(name);
  const int index = 3 * int(kLetters.find(letter[0]) + 1) - 2;
  if (activate) {
    ActivateLetter(index);
  } else {
    forms::ShowLetterWithTitles(LetterButtons, index);
  }
  return letter;
}

void NewMain_Form::ActivateLetter(int buttonIndex) {
  if (buttonIndex < 1 || buttonIndex > 78) return;
  const int k = (buttonIndex - 1) / 3 + 1;
  TVNDATA* d = AVData();
  d->P_Button(d->A_Button());
  d->A_Button(Integer(3 * k - 2));
  d->SLetterW(std::string(1, kLetters[k - 1]));
}

void NewMain_Form::ShowActiveLetter(int active, int previous) {
  forms::SwapLetterButtons(LetterButtons, active, previous);
}

void NewMain_Form::FillTitleListForLetter(std::string& letter, int mode, const std::string& value) {
  if (!IsLetter(letter)) letter.assign(1, 'A');
  List_Combo->clear();
  if (!SectionHasRows()) return;
  const bool onRow = !SectionRecords->BOF() && !SectionRecords->Eof();
  QStringList names;
  if (SectionTitles* index = mode == 0 ? SectionIndex() : nullptr) {
    for (const TitleKey& title : index->OfLetter(letter)) names << QString::fromStdString(title.name);
  } else {
    for (const TitleRow& row : TitleRows())
      if (row.letter == letter && RowPassesSelection(row, mode, value)) names << QString::fromStdString(row.name);
  }
  List_Combo->addItems(names);
  if (!names.isEmpty()) {
    List_Combo->setCurrentIndex(0);
    List_Combo->setEditText(names.front());
  }
  // The walk ends where it began, or after the last row when it began off a row.
  if (!onRow) MoveSectionToEnd();
}

void NewMain_Form::RefreshTitleList() {
  TVNDATA* d = AVData();
  if (SectionHasRows()) {
    SetEditFieldsEnabled(kEditableColour, true);
    MarkLettersWithTitles(SelectionMode, SelectionValue);
    // The first title the selection lets through (a tape selection keeps
    // every row of the section in SectionRecords).
    std::string first;
    if (SelectionMode == 0 && SectionIndex()) {
      SectionRecords->MoveFirst();
      first = vb::NzStr(SectionRecords->GetField("Name"));
    } else {
      const std::vector<TitleRow>& rows = TitleRows();
      first = rows.empty() ? std::string() : rows.front().name;
      for (const TitleRow& row : rows) {
        if (RowPassesSelection(row, SelectionMode, SelectionValue)) {
          first = row.name;
          break;
        }
      }
    }
    SectionRecords->MoveFirst();
    d->P_Button(Integer(PreviousLetterButton));
    d->A_Button(Integer(ActiveLetterButton));
    LetterForTitle(true, first);
    PreviousLetterButton = d->P_Button();
    ActiveLetterButton = d->A_Button();
    SelectedLetter = d->SLetterW();
    SectionRecords->MoveFirst();
    std::string letter = d->SLetterW();
    FillTitleListForLetter(letter, SelectionMode, SelectionValue);
    d->SLetterW(letter);
    SectionRecords->MoveFirst();
    ShowActiveLetter(ActiveLetterButton, PreviousLetterButton);
    CS_Load_Data(first);
    ToolbarBrowseMode(Toolbar1);
  } else {
    List_Combo->clear();
    ClearRecordForm();
    ResetLetterBar();
    SetEditFieldsEnabled(kLockedColour, false);
    ToolbarEmptyMode(Toolbar1);
  }
}

void NewMain_Form::ShowCurrentTitle() {
  if (!SectionHasRows() || SectionRecords->Eof() || SectionRecords->BOF()) return;
  // Removed by another program: the next record that exists instead.
  if (StepOverGoneRow(SectionRecords, StoredNameShown(), 1)) return;
  const std::string name = vb::NzStr(SectionRecords->GetField("Name"));
  FollowLetterOf(name);
  CS_Load_Data(name);
}

void NewMain_Form::FollowLetterOf(const std::string& name) {
  TVNDATA* d = AVData();
  if (SectionHasRows() && !SectionRecords->Eof() && !SectionRecords->BOF() && TitleLetter(name) != SelectedLetter) {
    d->P_Button(Integer(PreviousLetterButton));
    d->A_Button(Integer(ActiveLetterButton));
    LetterForTitle(true, name);
    PreviousLetterButton = d->P_Button();
    ActiveLetterButton = d->A_Button();
    SelectedLetter = d->SLetterW();
    const auto mark = SectionRecords->Bookmark();
    std::string letter = d->SLetterW();
    FillTitleListForLetter(letter, SelectionMode, SelectionValue);
    ShowActiveLetter(ActiveLetterButton, PreviousLetterButton);
    SectionRecords->SetBookmark(mark);
  }
}

void NewMain_Form::StepRecord(int /*mode*/, int direction) { MoveRecord(SectionRecords.get(), direction); }

void NewMain_Form::MoveOnFromGoneRecord(const std::string& name, int direction) {
  LeaveScope gone(*this);
  // The set still lists the rows another program removed: it is read again.
  if (SelectionMode == 5)
    ReopenKeptSelectionSet();
  else
    RunSelectionQuery(false);
  InvalidateTitleRows();
  if (!SectionHasRows() && SelectionMode >= 1 && SelectionMode <= 4) {
    RunSelectionQuery(true);  // the selection is empty now: told so, the whole section shown
    return;
  }
  const std::vector<TitleRow>& rows = TitleRows();
  const size_t at = NearestTitleRow(rows, name, direction, [this](const TitleRow& row) {
    return RowPassesSelection(row, SelectionMode, SelectionValue);
  });
  if (at == rows.size()) {
    RefreshTitleList();
    return;
  }
  const auto mark = rows[at].mark;
  MarkLettersWithTitles(SelectionMode, SelectionValue);
  SectionRecords->SetBookmark(mark);
  // The title list is filled again for the letter of the record shown.
  SelectedLetter.clear();
  ShowCurrentTitle();
}

void NewMain_Form::Toolbar2_ButtonClick(int index) {
  if (index < 1 || index > 78) return;
  if (LetterButtons[index]->toolTip().startsWith('N')) return;  // "No Data for ..."
  if (!ConfirmLeaveRecord()) return;
  TVNDATA* d = AVData();
  d->P_Button(Integer(PreviousLetterButton));
  d->A_Button(Integer(ActiveLetterButton));
  ActivateLetter(index);
  PreviousLetterButton = d->P_Button();
  ActiveLetterButton = d->A_Button();
  SelectedLetter = d->SLetterW();
  std::string letter = d->SLetterW();
  FillTitleListForLetter(letter, SelectionMode, SelectionValue);
  // The letter showed titles that another program has removed since: the
  // window moves on as from a removed record, never to an empty editor.
  if (List_Combo->count() == 0) {
    MoveOnFromGoneRecord(letter, 1);
    return;
  }
  ShowActiveLetter(ActiveLetterButton, PreviousLetterButton);
  CS_Load_Data(List_Combo->currentText().toStdString());
}

void NewMain_Form::List_Combo_Click() {
  if (List_Combo->currentIndex() < 0) return;
  const std::string name = List_Combo->currentText().toStdString();
  // Cancel keeps the record on show, and the list shows it again.
  if (!ConfirmLeaveRecord()) {
    ShowTitleInList(RecordRow && RecordRow->IsOpen() && !RecordRow->Eof() ? vb::NzStr(RecordRow->GetField("Name"))
                                                                         : RecordNameShown());
    return;
  }
  CS_Load_Data(name);
}

void NewMain_Form::FillCatalogNumberList(QComboBox* list) {
  list->clear();
  ListHasItems = false;
  if (!SectionHasRows()) return;
  QStringList seen;
  for (const TitleRow& row : TitleRows()) {
    // A record without a catalogue number adds no entry.
    if (row.catNumber.empty()) continue;
    const QString number = QString::fromStdString(row.catNumber);
    if (!seen.contains(number)) {
      seen << number;
      ListHasItems = true;
    }
  }
  list->addItems(seen);
}

void NewMain_Form::Flocation_Click() {
  const std::string file = vb::GetOpenFileName("Open", "All files (*)");
  if (!file.empty()) FileLocationText->setText(QString::fromStdString(file));
}

void NewMain_Form::Toolbar1_ButtonClick(int index) {
  switch (index) {
    case 5:
    case 6: {
      if (!ConfirmLeaveRecord()) return;
      const int direction = index == 5 ? 2 : 1;
      const std::string from = StoredNameShown();
      StepRecord(SelectionMode, direction);
      // A row another program removed is stepped over.
      if (!StepOverGoneRow(SectionRecords, from, direction)) ShowCurrentTitle();
      break;
    }
    case 1: AddRecord(); break;
    case 2: CancelAdd(); break;
    case 3: FileRecord(); break;
    case 4: DeleteRecord(); break;
    case 8: ReportButton_Click(); break;
    default: break;
  }
}

}  // namespace tvn
