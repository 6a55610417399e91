// The way to a record: the letter bar, the title list of one letter,
// previous/next with wrap-around, the catalogue-number list and the MP3
// file-location chooser.
#include <QAction>
#include <QComboBox>
#include <QLineEdit>
#include <QStringList>
#include <QToolBar>

#include "catalogue/NewMain_Form.h"
#include "core/AppState.h"
#include "core/TavolinModule.h"
#include "platform/runtime/Functions.h"
#include "platform/runtime/Prompter.h"

namespace tvn {

namespace {

const std::string kLetters = "ABCDEFGHIJKLMNOPQRSTUVWXYZ";

// The upper-cased first character of a title; anything outside A-Z is "A".
std::string TitleLetter(const std::string& name) {
  const std::string first = vb::UCase(vb::Left(name, 1));
  if (first.size() == 1 && kLetters.find(first[0]) != std::string::npos) return first;
  return "A";
}

bool IsLetter(const std::string& s) { return s.size() == 1 && kLetters.find(s[0]) != std::string::npos; }

}  // namespace

bool NewMain_Form::RowPassesSelection(int mode, const std::string& value) const {
  const dao::Recordset& rs = *SectionRecords;
  auto is = [&](const char* field) { return vb::NzStr(rs.GetField(field)) == value; };
  switch (mode) {
    case 1: return is("artist1") || is("artist2") || is("artist3") || is("artist4");
    case 2: return is("Category");
    case 3: return is("labelstudio");
    case 4: return is("format_type");
    case 5: return is("cat_number");
    default: return true;
  }
}

void NewMain_Form::ResetLetterBar() {
  for (int i = 1; i <= 76; i += 3) {
    LetterButtons[i]->setVisible(false);
    LetterButtons[i + 1]->setVisible(false);
    LetterButtons[i + 2]->setVisible(true);
  }
}

void NewMain_Form::MarkLettersWithTitles(int mode, const std::string& value) {
  ResetLetterBar();
  if (!SectionHasRows()) return;
  dao::Recordset& rs = *SectionRecords;
  rs.MoveFirst();
  std::string last;
  while (!rs.Eof()) {
    if (RowPassesSelection(mode, value)) {
      const std::string name = vb::NzStr(rs.GetField("Name"));
      const std::string first = vb::Left(name, 1);
      if (!first.empty() && first != last) {
        LetterForTitle(false, name);
        last = first;
      }
    }
    rs.MoveNext();
  }
}

std::string NewMain_Form::LetterForTitle(bool activate, const std::string& name) {
  const std::string letter = TitleLetter(name);
  const int index = 3 * int(kLetters.find(letter[0]) + 1) - 2;
  if (activate) {
    ActivateLetter(index);
  } else {
    LetterButtons[index]->setVisible(true);
    LetterButtons[index + 1]->setVisible(false);
    LetterButtons[index + 2]->setVisible(false);
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
  auto button = [this](int i) -> QAction* { return i >= 1 && i <= 78 ? LetterButtons[i] : nullptr; };
  if (QAction* noData = button(previous + 2); noData && !noData->isVisible()) {
    button(previous + 1)->setVisible(false);
    button(previous)->setVisible(true);
  }
  if (QAction* noData = button(active + 2); noData && !noData->isVisible()) {
    button(active)->setVisible(false);
    button(active + 1)->setVisible(true);
  }
}

void NewMain_Form::FillTitleListForLetter(std::string& letter, int mode, const std::string& value) {
  if (!IsLetter(letter)) letter.assign(1, 'A');
  List_Combo->clear();
  if (!SectionHasRows()) return;
  dao::Recordset& rs = *SectionRecords;
  const bool onRow = !rs.BOF() && !rs.Eof();
  const auto mark = onRow ? rs.Bookmark() : dao::Recordset::BookmarkType{};
  QStringList names;
  rs.MoveFirst();
  while (!rs.Eof()) {
    if (RowPassesSelection(mode, value)) {
      const std::string name = vb::NzStr(rs.GetField("Name"));
      if (TitleLetter(name) == letter) names << QString::fromStdString(name);
    }
    rs.MoveNext();
  }
  List_Combo->addItems(names);
  if (!names.isEmpty()) {
    List_Combo->setCurrentIndex(0);
    List_Combo->setEditText(names.front());
  }
  if (onRow) rs.SetBookmark(mark);
}

void NewMain_Form::RefreshTitleList() {
  TVNDATA* d = AVData();
  if (SectionHasRows()) {
    SetEditFieldsEnabled(kEditableColour, true);
    MarkLettersWithTitles(SelectionMode, SelectionValue);
    SectionRecords->MoveFirst();
    d->P_Button(Integer(PreviousLetterButton));
    d->A_Button(Integer(ActiveLetterButton));
    LetterForTitle(true, vb::NzStr(SectionRecords->GetField("Name")));
    PreviousLetterButton = d->P_Button();
    ActiveLetterButton = d->A_Button();
    SelectedLetter = d->SLetterW();
    SectionRecords->MoveFirst();
    std::string letter = d->SLetterW();
    FillTitleListForLetter(letter, SelectionMode, SelectionValue);
    d->SLetterW(letter);
    SectionRecords->MoveFirst();
    ShowActiveLetter(ActiveLetterButton, PreviousLetterButton);
    CS_Load_Data(vb::NzStr(SectionRecords->GetField("Name")));
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
  TVNDATA* d = AVData();
  const std::string name = vb::NzStr(SectionRecords->GetField("Name"));
  if (TitleLetter(name) != SelectedLetter) {
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
  CS_Load_Data(name);
}

void NewMain_Form::StepRecord(int /*mode*/, int direction) {
  if (!SectionRecords) return;
  dao::Recordset& rs = *SectionRecords;
  // Errors of the moves (an empty or closed set) are of no consequence.
  auto attempt = [](auto&& f) {
    try {
      f();
    } catch (const vb::RuntimeError&) {
    }
  };
  if (direction == 1) attempt([&] { rs.MoveNext(); });
  if (direction == 2) attempt([&] { rs.MovePrevious(); });
  attempt([&] {
    if (rs.BOF()) rs.MoveLast();
  });
  attempt([&] {
    if (rs.Eof()) rs.MoveFirst();
  });
}

void NewMain_Form::Toolbar2_ButtonClick(int index) {
  if (index < 1 || index > 78) return;
  if (LetterButtons[index]->toolTip().startsWith('N')) return;  // "No Data for ..."
  TVNDATA* d = AVData();
  d->P_Button(Integer(PreviousLetterButton));
  d->A_Button(Integer(ActiveLetterButton));
  ActivateLetter(index);
  PreviousLetterButton = d->P_Button();
  ActiveLetterButton = d->A_Button();
  SelectedLetter = d->SLetterW();
  std::string letter = d->SLetterW();
  FillTitleListForLetter(letter, SelectionMode, SelectionValue);
  ShowActiveLetter(ActiveLetterButton, PreviousLetterButton);
  CS_Load_Data(List_Combo->currentText().toStdString());
}

void NewMain_Form::List_Combo_Click() {
  if (List_Combo->currentIndex() >= 0) CS_Load_Data(List_Combo->currentText().toStdString());
}

void NewMain_Form::FillCatalogNumberList(QComboBox* list) {
  list->clear();
  ListHasItems = false;
  if (!SectionHasRows()) return;
  dao::Recordset& rs = *SectionRecords;
  const bool onRow = !rs.BOF() && !rs.Eof();
  const auto mark = onRow ? rs.Bookmark() : dao::Recordset::BookmarkType{};
  QStringList seen;
  rs.MoveFirst();
  while (!rs.Eof()) {
    // A record without a catalogue number adds no entry.
    const vb::Variant v = rs.GetField("cat_number");
    if (!v.isNull() && !v.isEmpty()) {
      const QString number = QString::fromStdString(vb::NzStr(v));
      if (!seen.contains(number)) {
        seen << number;
        ListHasItems = true;
      }
    }
    rs.MoveNext();
  }
  list->addItems(seen);
  if (onRow) rs.SetBookmark(mark);
}

void NewMain_Form::Flocation_Click() {
  const std::string file = vb::GetOpenFileName("Open", "All files (*)");
  if (!file.empty()) FileLocationText->setText(QString::fromStdString(file));
}

void NewMain_Form::Toolbar1_ButtonClick(int index) {
  switch (index) {
    case 5:
      StepRecord(SelectionMode, 2);
      ShowCurrentTitle();
      break;
    case 6:
      StepRecord(SelectionMode, 1);
      ShowCurrentTitle();
      break;
    default:
      // Add, cancel, file, delete and the report wizard: the record commands.
      break;
  }
}

}  // namespace tvn
