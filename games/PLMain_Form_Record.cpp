// Showing one game: the load that fills the editor from its mediadata row
// and links, the clearing that empties it, the grey-out of an empty
// section, and renaming the user-field captions of the section.
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QTabWidget>
#include <QTextEdit>
#include <algorithm>

#include "core/FieldCaptions.h"
#include "core/TavolinModule.h"
#include "games/PLMain_Form.h"
#include "games/PLModule.h"
#include "platform/runtime/Functions.h"

namespace pl {

namespace {

constexpr int kPictureTab = 6;

long KeyOf(const vb::Variant& v) {
  if (!vb::IsNumeric(v)) return -1;
  try {
    return long(vb::CLng(v));
  } catch (const vb::RuntimeError&) {
    return -1;
  }
}

}  // namespace

std::vector<QWidget*> PLMain_Form::RecordFields() const {
  std::vector<QWidget*> fields = {txtName,         DateAquired, DateReleased, cmbPublisher, cmbDeveloper,
                                  cmbGenre,        txtBestFeature, txtWorstFeature, txtHomepage, cmbFormat,
                                  cmbRating,       txtPlayers,  txtHints,     txtInstructions, txtNotes,
                                  tGrid,           sGrid};
  fields.insert(fields.end(), fText.begin(), fText.end());
  return fields;
}

std::string PLMain_Form::RecordNameShown() const { return TextOf(txtName); }

dao::Database& PLMain_Form::RecordDatabase() const {
  const dao::DatabasePtr& db = PL().GameDB;
  if (!db || !db->IsOpen()) throw vb::RuntimeError(91, "Object variable or With block variable not set");
  return *db;
}

const std::vector<std::string>& PLMain_Form::FiledColumns() const {
  static const std::vector<std::string> columns = [] {
    std::vector<std::string> c = {"Name",         "SectionNumber", "hintstips",   "notes",    "instructions",
                                  "date_aquired", "date_released", "publisher",   "developer", "genre",
                                  "bestfeature",  "worstfeature",  "homepage",    "Format",   "rating",
                                  "players"};
    for (int i = 1; i <= 10; ++i) c.push_back("f" + std::to_string(i));
    return c;
  }();
  return columns;
}

void PLMain_Form::ShowStoredRecord(const std::string& name) { LoadData_PL(name); }

void PLMain_Form::LoadData_PL(const std::string& name) {
  // The quick display shows a game through here: typed changes are asked about first.
  if (!ConfirmLeaveRecord()) return;
  setCursor(Qt::WaitCursor);
  struct Pointer {
    QWidget* w;
    ~Pointer() { w->unsetCursor(); }
  } pointer{this};
  ClearGameForm();
  SSTab1->setTabEnabled(kPictureTab, true);

  // The section's position follows the shown game: the walk starts at the
  // current row, goes on from the first row after the last, and visits
  // every row once at most.
  if (SectionHasRows() && !tvn::FindTitleRow(TitlesNamed(name), *rsSection, name) && (rsSection->Eof() || rsSection->BOF()))
    rsSection->MoveFirst();

  rsRecord = PL().GameDB->OpenRecordset("select * from mediadata where sectionnumber = " +
                                        std::to_string(int(PLData().SectionNumber)) +
                                        " and name = " + dao::SqlQuote(name));
  dao::Recordset& r = *rsRecord;
  if (r.BOF() && r.Eof()) {
    // Removed by another program since the titles were read: the user is
    // told, and the game after it is shown.
    if (!name.empty() && SectionHasRows()) TellRecordGone(name);
    return;
  }
  auto text = [&r](const char* field) { return vb::NzStr(r.GetField(field)); };
  // A stored name may be longer than a typed one (its number added, or
  // another program's): the box widens its limit so the whole name shows.
  const QString storedName = QString::fromStdString(text("Name"));
  txtName->setMaxLength(std::max(kNameLength, int(storedName.size())));
  txtName->setText(storedName);
  SetTextOf(txtHints, text("hintstips"));
  SetTextOf(txtInstructions, text("instructions"));
  SetTextOf(txtNotes, text("notes"));
  // A date the box refuses leaves it empty.
  try {
    DateAquired->SetDateValue(r.GetField("date_aquired"));
  } catch (...) {
    DateAquired->ShowUnreadable();
  }
  try {
    DateReleased->SetDateValue(r.GetField("date_released"));
  } catch (...) {
    DateReleased->ShowUnreadable();
  }
  const long publisher = KeyOf(r.GetField("publisher"));
  if (publisher >= 0) SetTextOf(cmbPublisher, LookupPublisherName(publisher));
  const long developer = KeyOf(r.GetField("developer"));
  if (developer >= 0) SetTextOf(cmbDeveloper, LookupDeveloperName(developer));
  const long genre = KeyOf(r.GetField("genre"));
  if (genre >= 0) SetTextOf(cmbGenre, LookupGenreName(genre));
  shownPublisher_ = std::max(publisher, 0L);
  shownDeveloper_ = std::max(developer, 0L);
  shownGenre_ = std::max(genre, 0L);
  SetTextOf(txtBestFeature, text("bestfeature"));
  SetTextOf(txtWorstFeature, text("worstfeature"));
  SetTextOf(txtHomepage, text("homepage"));
  SetTextOf(cmbFormat, text("Format"));
  SetTextOf(cmbRating, text("rating"));
  SetTextOf(txtPlayers, text("players"));
  for (size_t i = 0; i < fText.size(); ++i) SetTextOf(fText[i], text(("f" + std::to_string(i + 1)).c_str()));

  const long systemnumber = KeyOf(r.GetField("systemnumber"));
  LoadSysTypeMedia(systemnumber);
  LoadSupportsMedia(systemnumber);

  // A picture that cannot be shown leaves the box empty; the reference is
  // kept, so a picture folder that comes back shows it again.
  const std::string picture = text("Picture");
  if (picture.empty()) {
    Picture_Box->clear();
  } else {
    tvn::ShowPicture(Picture_Box, picture);
  }
  // The stored name, not the name box: a numbered name can be longer than
  // the box takes, and the list holds it whole.
  // Shown from elsewhere (the quick display), the game lights its letter.
  FollowLetterOf(text("Name"));
  List_Combo->setEditText(QString::fromStdString(text("Name")));
  TakeRecordSnapshot();
  KeepStoredRow(r);
}

void PLMain_Form::ClearGameForm() {
  AboutToClearRecord();
  SSTab1->setCurrentIndex(0);
  SSTab1->setTabEnabled(kPictureTab, false);
  try {
    if (rsRecord && rsRecord->IsOpen()) rsRecord->Close();
  } catch (...) {
  }
  rsRecord.reset();
  ForgetStoredRow();
  for (QWidget* w : std::initializer_list<QWidget*>{txtName, txtHints, txtInstructions, txtNotes, DateAquired,
                                                    DateReleased, cmbPublisher, cmbDeveloper, cmbGenre,
                                                    txtBestFeature, txtWorstFeature, txtHomepage, cmbFormat,
                                                    cmbRating, txtPlayers})
    SetTextOf(w, "");
  for (QLineEdit* f : fText) f->clear();
  txtName->setMaxLength(kNameLength);
  shownPublisher_ = shownDeveloper_ = shownGenre_ = 0;
  ClearGridChecks(sGrid);
  ClearGridChecks(tGrid);
  TakeRecordSnapshot();
}

void PLMain_Form::SetEditState(std::uint32_t backColour, bool enabled) {
  for (QWidget* w : std::initializer_list<QWidget*>{txtName, cmbPublisher, cmbDeveloper, cmbGenre, DateReleased,
                                                    DateAquired, txtBestFeature, txtWorstFeature, txtHomepage,
                                                    cmbFormat, cmbRating, txtPlayers}) {
    SetBackColourOf(w, backColour);
    w->setEnabled(enabled);
  }
  for (int i = 0; i <= 6; ++i) SSTab1->setTabEnabled(i, enabled);
  // Disabling the tab on show moves the tab bar along to the last tab; an
  // empty section shows its greyed Main tab instead.
  if (!enabled) SSTab1->setCurrentIndex(0);
}

}  // namespace pl
