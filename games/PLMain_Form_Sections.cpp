// The console sections of the game window: the switch from the section
// bar, the set-up that reopens the section's games and captions, the
// lookup lists filtered by the console flag, and the two check-box grids
// of system types and supported features with the links of one game.
#include <QAction>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QToolBar>
#include <QTreeWidget>

#include "games/PLGameStore.h"
#include "games/PLMain_Form.h"
#include "games/PLModule.h"
#include "platform/runtime/Functions.h"
#include "platform/runtime/Prompter.h"

namespace pl {

namespace {

// The console flags of the state object, in section order.
std::array<bool*, 6> ConsoleFlags(avplDataclass& d) {
  return {&d.GBOn, &d.NTOn, &d.PSOn, &d.SegaOn, &d.XOn, &d.OtherOn};
}

// Before a section is chosen: its lists and captions must be loaded, the
// title list starts from "A", and no console is on.
void ResetGameSectionFlags(avplDataclass& d) {
  d.CSEnter = true;
  d.LoadFirstRec = true;
  for (bool* flag : ConsoleFlags(d)) *flag = false;
}

// The flag names are the only text joined into the list queries; anything
// else is refused rather than run.
bool KnownFlag(const std::string& flag) {
  for (const GameSection& s : GameSections())
    if (flag == s.flag) return true;
  return false;
}

}  // namespace

std::string PLMain_Form::CurrentFlagName() { return ConsoleFilterWord(PLData()); }

void PLMain_Form::SSListBar1_ItemClick(const std::string& caption) {
  const auto& sections = GameSections();
  for (size_t i = 0; i < sections.size(); ++i) {
    if (caption == sections[i].caption) {
      std::uint8_t n = std::uint8_t(i + 1);
      ItemClickProcessPL(n);
      return;
    }
  }
}

void PLMain_Form::ItemClickProcessPL(std::uint8_t& section) {
  // Typed changes are asked about before the section goes; the quick
  // display's record load that follows takes the same answer.
  avplDataclass& d = PLData();
  if (!ConfirmLeaveRecord(true)) {
    // The section bar goes back to the section still on show.
    if (d.SectionNumber >= 1 && d.SectionNumber <= 6)
      SSListBar1->setCurrentItem(SSListBar1->topLevelItem(d.SectionNumber - 1));
    return;
  }
  LeaveScope leaving(*this);
  d.SectionNumber = section;
  ResetGameSectionFlags(d);
  if (section >= 1 && section <= 6) {
    *ConsoleFlags(d)[section - 1] = true;
    // The section bar shows which console is on, however it was chosen
    // (the bar itself, the stored section, the quick display).
    SSListBar1->setCurrentItem(SSListBar1->topLevelItem(section - 1));
  }
  LongWork busy(*this);
  SetupSection();
}

void PLMain_Form::OpenSectionRecordset() {
  const std::string sql = "select * from mediadata where sectionnumber = " +
                          std::to_string(int(PLData().SectionNumber)) + " order by name";
  dao::RecordsetPtr rs = PL().GameDB->OpenRecordset(sql);
  if (rsSection && rsSection != rs && rsSection->IsOpen()) rsSection->Close();
  rsSection = rs;
}

bool PLMain_Form::SectionHasRows() const {
  return rsSection && rsSection->IsOpen() && !(rsSection->BOF() && rsSection->Eof());
}

void PLMain_Form::SetupSection() {
  avplDataclass& d = PLData();
  if (!d.CSEnter) return;
  OpenSectionRecordset();
  AddMode = false;
  const auto flags = ConsoleFlags(d);
  for (size_t i = 0; i < flags.size(); ++i) {
    if (!*flags[i]) continue;
    const GameSection& s = GameSections()[i];
    WindowSection = std::uint8_t(i + 1);
    FillPublisherCombo(s.flag);
    FillDeveloperCombo(s.flag);
    FillGenreCombo(s.flag);
    setWindowTitle(QString::fromStdString("The Pellion - " + d.CurCollection + s.suffix));
    if (rsCaption && rsCaption->IsOpen()) rsCaption->Close();
    rsCaption = PL().GameDB->OpenRecordset(s.captionTable);
    break;
  }
  d.CSEnter = false;
  if (rsCaption && rsCaption->IsOpen()) {
    // A caption table without a row leaves the captions as they were.
    if (!(rsCaption->BOF() && rsCaption->Eof())) {
      rsCaption->MoveFirst();
      for (size_t i = 0; i < fCap.size(); ++i)
        fCap[i]->setText(QString::fromStdString(vb::NzStr(rsCaption->GetField("f" + std::to_string(i + 1)))));
    }
  }
  if (ShowTitlesFromA()) return;
  rsSection->MoveFirst();
  LoadData_PL(vb::NzStr(rsSection->GetField("Name")));
}

bool PLMain_Form::ShowTitlesFromA() {
  avplDataclass& d = PLData();
  if (!SectionHasRows()) d.LoadFirstRec = true;
  if (!d.LoadFirstRec) return false;
  ActiveLetterButton = 1;
  PreviousLetterButton = 51;
  CurrentLetter = "A";
  RefreshTitleList();
  return true;
}

void PLMain_Form::FillRatingFormatCombos() {
  cmbRating->clear();
  cmbRating->addItems({"E Everyone:", "M Mature", "RP Pending", "T Teen"});
  // Cleared too: a reload must not list the formats twice.
  cmbFormat->clear();
  cmbFormat->addItems({"Cartridge", "CD Rom", "DVD", "Other"});
}

bool PLMain_Form::CheckNameEntered() {
  if (txtName->text().trimmed().isEmpty()) {
    vb::MsgBox("The system requires that a name be entered.", vb::vbOKOnly, "");
    txtName->setFocus();
    return false;
  }
  return true;
}

void PLMain_Form::FillLookupCombo(QComboBox* combo, const char* table, const char* field, const std::string& flag) {
  combo->clear();
  if (!KnownFlag(flag)) return;
  const std::string f(field);
  dao::RecordsetPtr rs =
      PL().GameDB->OpenRecordset("select " + f + " from " + table + " where " + flag + " order by " + f);
  QStringList names;
  while (!rs->Eof()) {
    names << QString::fromStdString(vb::NzStr(rs->GetField(f)));
    rs->MoveNext();
  }
  rs->Close();
  combo->addItems(names);
  combo->setEditText(QString());
}

void PLMain_Form::FillPublisherCombo(const std::string& flag) {
  FillLookupCombo(cmbPublisher, "publisher", "labelstudio_name", flag);
}

void PLMain_Form::FillDeveloperCombo(const std::string& flag) {
  FillLookupCombo(cmbDeveloper, "developer", "artist_name", flag);
}

void PLMain_Form::FillGenreCombo(const std::string& flag) { FillLookupCombo(cmbGenre, "genre", "category", flag); }

void PLMain_Form::FillLinkGrid(forms::FlexGrid* grid, const char* heading, const char* sql, const char* keyField,
                               const char* nameField) {
  grid->SetRows(2);
  grid->Clear();
  grid->SetColWidth(0, 0);
  grid->SetTextMatrix(0, 1, heading);
  dao::RecordsetPtr rs = PL().GameDB->OpenRecordset(sql);
  if (!(rs->BOF() && rs->Eof())) {
    std::vector<std::pair<QString, QString>> rows;
    while (!rs->Eof()) {
      rows.emplace_back(QString::fromStdString(vb::NzStr(rs->GetField(keyField))),
                        QString::fromStdString(vb::NzStr(rs->GetField(nameField))));
      rs->MoveNext();
    }
    grid->SetRedraw(false);
    grid->SetRows(int(rows.size()) + 1);
    for (size_t i = 0; i < rows.size(); ++i) {
      const int r = int(i) + 1;
      grid->SetTextMatrix(r, 0, rows[i].first);
      grid->SetTextMatrix(r, 1, rows[i].second);
      grid->SetCellCheckedAt(r, 1, forms::FlexGrid::flexUnchecked);
    }
    grid->SetTopRow(1);
    grid->SetRedraw(true);
  }
  rs->Close();
}

void PLMain_Form::FillSysTypeGrid() {
  FillLinkGrid(tGrid, "System Types", "select * from systype order by systype", "systypeid", "systype");
}

void PLMain_Form::FillSupportsGrid() {
  FillLinkGrid(sGrid, "Supports", "select * from supports order by name", "supports", "Name");
}

void PLMain_Form::ToggleGridCheck(forms::FlexGrid* grid) {
  if (grid->Text().isEmpty() || grid->Row() == 0) return;
  const int state = grid->CellChecked();
  if (state == forms::FlexGrid::flexChecked) {
    grid->SetCellChecked(forms::FlexGrid::flexUnchecked);
  } else if (state == forms::FlexGrid::flexUnchecked) {
    grid->SetCellChecked(forms::FlexGrid::flexChecked);
  }
}

void PLMain_Form::tGrid_Click() { ToggleGridCheck(tGrid); }

void PLMain_Form::sGrid_Click() { ToggleGridCheck(sGrid); }

void PLMain_Form::EnableWindowControls(bool flag) { EnableFrame(flag, {UtilitiesMenu, Help_Menu}); }

// ---------------------------------------------------------------- links of a game

namespace {

bool NumericKey(const QString& text) {
  bool ok = false;
  text.trimmed().toLong(&ok);
  return ok;
}

}  // namespace

void PLMain_Form::LoadLinks(forms::FlexGrid* grid, const char* table, const char* entryField, long systemnumber) {
  if (systemnumber < 1) return;
  dao::RecordsetPtr rs = PL().GameDB->OpenRecordset(std::string("select * from ") + table +
                                                    " where systemnumber = " + std::to_string(systemnumber));
  if (rs->BOF() && rs->Eof()) {
    rs->Close();
    return;
  }
  grid->SetRedraw(false);
  while (!rs->Eof()) {
    const QString key = QString::fromStdString(vb::NzStr(rs->GetField(entryField)));
    for (int r = 1; r < grid->Rows(); ++r) {
      const QString cell = grid->TextMatrix(r, 0);
      if (!NumericKey(cell)) break;
      if (cell.trimmed().toLong() == key.toLong()) grid->SetCellCheckedAt(r, 1, forms::FlexGrid::flexChecked);
    }
    rs->MoveNext();
  }
  grid->SetCol(1);
  grid->SetRow(1);
  grid->SetTopRow(1);
  grid->SetRedraw(true);
  rs->Close();
}

void PLMain_Form::SaveLinks(forms::FlexGrid* grid, const char* table, const char* entryField, long systemnumber) {
  if (systemnumber < 1) return;
  const std::string number = std::to_string(systemnumber);
  PL().GameDB->Execute(std::string("delete * from ") + table + " where systemnumber = " + number);
  dao::RecordsetPtr rs =
      PL().GameDB->OpenRecordset(std::string("select * from ") + table + " where systemnumber = " + number);
  grid->SetRedraw(false);
  struct Redraw {
    forms::FlexGrid* g;
    ~Redraw() {
      g->SetCol(1);
      g->SetRow(1);
      g->SetTopRow(1);
      g->SetRedraw(true);
    }
  } redraw{grid};
  for (int r = 1; r < grid->Rows(); ++r) {
    const QString cell = grid->TextMatrix(r, 0);
    if (!NumericKey(cell)) break;
    if (grid->CellCheckedAt(r, 1) != forms::FlexGrid::flexChecked) continue;
    rs->AddNew();
    rs->SetField("systemnumber", vb::Variant(std::int32_t(systemnumber)));
    rs->SetField(entryField, vb::Variant(std::int32_t(cell.trimmed().toLong())));
    rs->Update();
  }
  rs->Close();
}

void PLMain_Form::LoadSysTypeMedia(long systemnumber) { LoadLinks(tGrid, "systypemedia", "systypeid", systemnumber); }

void PLMain_Form::LoadSupportsMedia(long systemnumber) { LoadLinks(sGrid, "supportsmedia", "supports", systemnumber); }

void PLMain_Form::SaveSysTypeMedia(long systemnumber) { SaveLinks(tGrid, "systypemedia", "systypeid", systemnumber); }

void PLMain_Form::SaveSupportsMedia(long systemnumber) { SaveLinks(sGrid, "supportsmedia", "supports", systemnumber); }

void PLMain_Form::ClearGridChecks(forms::FlexGrid* grid) {
  grid->SetRedraw(false);
  for (int r = 1; r < grid->Rows(); ++r)
    if (grid->CellCheckedAt(r, 1) == forms::FlexGrid::flexChecked)
      grid->SetCellCheckedAt(r, 1, forms::FlexGrid::flexUnchecked);
  grid->SetRow(1);
  grid->SetTopRow(1);
  grid->SetRedraw(true);
}

}  // namespace pl
