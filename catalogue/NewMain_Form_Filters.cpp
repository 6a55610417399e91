// Selection filters: the View menu narrows SectionRecords to the records
// of one artist, category, label/studio, format or tape number of the
// section; the tape sort re-orders the video tapes.
#include <QAction>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>

#include "catalogue/MenuHooks.h"
#include "catalogue/NewMain_Form.h"
#include "catalogue/SectionRules.h"
#include "core/AppState.h"
#include "core/SortForm.h"
#include "core/Windows.h"
#include "platform/runtime/Functions.h"
#include "platform/runtime/Prompter.h"

namespace tvn {

namespace {




const char kNothingFoundTitle[] = "No records found";

}  // namespace

void NewMain_Form::EnableRecordFrames(bool on) {
  const TVNDATA* d = AVData();
  if (On(d->MusicOn())) Music_Data_Frame->setEnabled(on);
  if (On(d->VideoOn())) Video_Data_Frame->setEnabled(on);
  if (On(d->SCD_On())) SCD_Data_Frame->setEnabled(on);
}

std::vector<QAction*> NewMain_Form::SelectionMenuEntries() const {
  return {Artist_Select_Menu, View_All_Artists_Menu, Category_Select_Menu, Format_Select_Menu,
          Label_Select_Menu,  Tape_Select_Menu,      SortSelectmenu};
}

void NewMain_Form::ClearSelectionMenuChecks() {
  for (QAction* a : SelectionMenuEntries()) a->setChecked(false);
}

void NewMain_Form::FillArtistSelectionList() {
  SortForm& chooser = win::SortForm.Get();
  chooser.Choice_List->clear();
  ListHasItems = false;
  const std::string flag = SectionLookupColumn();
  dao::RecordsetPtr rs = App().CollectionDB->OpenRecordset("Artists");
  rs->SetIndex("artist_name");
  QStringList names;
  if (!flag.empty() && rs->RecordCount() > 0) {
    rs->MoveFirst();
    while (!rs->Eof()) {
      if (FlagSet(rs->GetField(flag))) {
        names << QString::fromStdString(vb::NzStr(rs->GetField("artist_name")));
        ListHasItems = true;
      }
      rs->MoveNext();
    }
  }
  rs->Close();
  chooser.Choice_List->addItems(names);
}

void NewMain_Form::RunSelectionCommand(QAction* entry, const char* prompt,
                                       const std::function<void(QComboBox*)>& fill, int mode,
                                       bool emptyFirstArtist) {
  if (!SectionHasRows()) return;
  // Typed changes are asked about before the list and the record change.
  if (!ConfirmLeaveRecord()) return;
  LeaveScope leaving(*this);
  // The View entries as they were, for a chooser closed without a pick.
  std::vector<std::pair<QAction*, bool>> checks;
  for (QAction* a : SelectionMenuEntries()) checks.emplace_back(a, a->isChecked());
  ClearSelectionMenuChecks();
  entry->setChecked(true);
  EnableRecordFrames(false);

  SortForm& chooser = win::SortForm.Get();
  chooser.Select_Label->setText(QString::fromUtf8(prompt));
  chooser.Choice_List->clear();
  fill(chooser.Choice_List);
  if (ListHasItems) {
    // Nothing is chosen until the user picks an entry: closing the chooser
    // without a pick selects nothing.
    chooser.Choice_List->setCurrentIndex(-1);
    MenuHooks::Get().showChooser(chooser);
    // A chooser closed by its window's close button is unloaded; one that
    // comes back without a current entry had no pick either. Either way the
    // selection stays as it was.
    const SortForm* picked = win::SortForm.Peek();
    if (!picked || picked->Choice_List->currentIndex() < 0) {
      for (const auto& [action, on] : checks) action->setChecked(on);
      EnableRecordFrames(true);
      return;
    }
    if (emptyFirstArtist) SetTextOf(Artist[0], "");
    SelectionMode = mode;
    RunSelectionQuery(true);
  } else {
    vb::MsgBox("No items for selection", vb::vbOKOnly, kNothingFoundTitle);
    View_All_Artists_Menu_Click();
  }
}

void NewMain_Form::Artist_Select_Menu_Click() {
  RunSelectionCommand(Artist_Select_Menu, "Pick the desired Artist from the list above",
                      [this](QComboBox*) { FillArtistSelectionList(); }, 1, false);
}

void NewMain_Form::Category_Select_Menu_Click() {
  RunSelectionCommand(Category_Select_Menu, "Pick the desired Category from the list above",
                      [this](QComboBox* list) { FillCategoryList(list); }, 2, true);
}

void NewMain_Form::Label_Select_Menu_Click() {
  RunSelectionCommand(Label_Select_Menu, "Pick the desired Label from the list above",
                      [this](QComboBox* list) { FillLabelStudioList(list); }, 3, true);
}

void NewMain_Form::Format_Select_Menu_Click() {
  RunSelectionCommand(Format_Select_Menu, "Pick the desired Format from the list above",
                      [this](QComboBox* list) {
                        // The format fill does not say whether it added
                        // anything; the list itself does.
                        FillFormatLists(list);
                        ListHasItems = list->count() > 0;
                      },
                      4, true);
}

void NewMain_Form::Tape_Select_Menu_Click() {
  RunSelectionCommand(Tape_Select_Menu, "Pick the desired Tape # from the list above",
                      [this](QComboBox* list) { FillCatalogNumberList(list); }, 5, true);
}

void NewMain_Form::RunSelectionQuery(bool show) {
  EnableRecordFrames(true);
  // The chooser's pick; a chooser without one leaves the value as it was.
  if (SortForm* chooser = win::SortForm.Peek(); chooser && chooser->Choice_List->currentIndex() >= 0)
    SelectionValue = chooser->Choice_List->currentText().toStdString();
  // The value is quoted for the statement: it is compared, never read as SQL.
  const std::string v = dao::SqlEscape(vb::UCase(SelectionValue));
  const std::string n = vb::Trim(std::to_string(int(AVData()->SectionNumber())));
  const std::string head = "select * from mediadata where sectionnumber = " + n + " and ";

  std::string query;
  switch (SelectionMode) {
    case 1:
      query = head + "(ucase(artist1) = '" + v + "' or ucase(artist2) = '" + v + "' or ucase(artist3) = '" + v +
              "' or ucase(artist4) = '" + v + "') order by name";
      break;
    case 2: query = head + "ucase(category) = '" + v + "' order by name"; break;
    case 3: query = head + "ucase(labelstudio) = '" + v + "' order by name"; break;
    case 4: query = head + "ucase(format_type) = '" + v + "' order by name"; break;
    default: break;
  }

  bool found = false;
  if (!query.empty()) {
    if (SectionRecords) SectionRecords->Close();
    SectionRecords = App().CollectionDB->OpenRecordset(query);
    found = SectionHasRows();
  } else if (SelectionMode == 5) {
    // The title list keeps only the chosen tape's records; no tape chosen
    // (the chooser closed without a pick) finds nothing.
    found = !SelectionValue.empty();
  } else {
    // While the tape sort is checked, the whole section stays in tape order.
    if (SortSelectmenu->isChecked() && AVData()->SectionNumber() == 6)
      OpenVideoTapeRecordset();
    else
      OpenSectionRecordset();
    found = SectionHasRows();
  }

  if (!show) return;
  if (found) {
    ActiveLetterButton = 1;
    PreviousLetterButton = 51;
    SelectedLetter.assign(1, 'A');  // not = "A": GCC 12 warns falsely there
    AVData()->CSEnter(vb::False);
    RefreshTitleList();
  } else {
    if (SelectionMode != 0) vb::MsgBox("No records found for selection", vb::vbOKOnly, kNothingFoundTitle);
    View_All_Artists_Menu_Click();
  }
}

void NewMain_Form::ShowRecordsAfterEditor() {
  // A lookup editor may have renamed or deleted the value the selection
  // stands on: the selection runs again, and when it finds nothing the
  // whole section is shown, with the word a selection without records gets.
  if (SelectionMode >= 1 && SelectionMode <= 4) {
    RunSelectionQuery(false);
    // The titles read before hold the names as they were.
    InvalidateTitleRows();
    if (!SectionHasRows()) {
      RunSelectionQuery(true);
      return;
    }
  }
  ShowRecordAgain();
}

void NewMain_Form::View_All_Artists_Menu_Click() {
  // Typed changes are asked about before the list and the record change.
  if (!ConfirmLeaveRecord()) return;
  LeaveScope leaving(*this);
  SelectionValue.clear();
  SelectionMode = 0;
  ClearSelectionMenuChecks();
  View_All_Artists_Menu->setChecked(true);
  EnableRecordFrames(true);
  AVData()->CSEnter(vb::True);
  Form_Activate();
  SwitchSection();
}

void NewMain_Form::OpenVideoTapeRecordset() {
  if (SectionRecords) SectionRecords->Close();
  SectionRecords = App().CollectionDB->OpenRecordset(
      "select * from mediadata where sectionnumber = 6 order by cat_number, tapeindex");
  tapeOrderedSet_ = SectionRecords;
}

void NewMain_Form::ReopenKeptSelectionSet() {
  // A set holds the rows it was opened with: a new row is missing from it
  // and a deleted one would still be listed.
  if (SectionRecords && tapeOrderedSet_.lock() == SectionRecords)
    OpenVideoTapeRecordset();
  else
    OpenSectionRecordset();
  InvalidateTitleRows();
}

void NewMain_Form::RefreshSort(bool allowFallBack) {
  OpenVideoTapeRecordset();
  ClearSelectionMenuChecks();
  bool showFirst = true;
  if (!allowFallBack || SectionHasRows()) {
    SortSelectmenu->setChecked(true);
  } else {
    // No video tapes: the section by name again.
    OpenSectionRecordset();
    View_All_Artists_Menu->setChecked(true);
    showFirst = false;
  }
  // An empty set has no first row to go to.
  if (SectionHasRows()) SectionRecords->MoveFirst();
  if (showFirst) {
    ClearRecordForm();
    if (SectionHasRows()) CS_Load_Data(vb::NzStr(SectionRecords->GetField("Name")));
  } else {
    RefreshTitleList();
  }
}

}  // namespace tvn
