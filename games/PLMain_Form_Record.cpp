// Showing one game: the load that fills the editor from its mediadata row
// and links, the clearing that empties it, the grey-out of an empty
// section, and renaming the user-field captions of the section.
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QTabWidget>
#include <QTextEdit>

#include "core/FieldCaptions.h"
#include "core/TavolinModule.h"
#include "games/PLMain_Form.h"
#include "games/PLModule.h"
#include "platform/runtime/Functions.h"

namespace pl {

namespace {

constexpr int kPictureTab = 6;

void SetBackColour(QWidget* w, std::uint32_t colour) {
  QPalette p = w->palette();
  p.setColor(QPalette::Base, QColor(int(colour & 0xFF), int((colour >> 8) & 0xFF), int((colour >> 16) & 0xFF)));
  w->setPalette(p);
}

long KeyOf(const vb::Variant& v) {
  if (!vb::IsNumeric(v)) return -1;
  try {
    return long(vb::CLng(v));
  } catch (const vb::RuntimeError&) {
    return -1;
  }
}

}  // namespace

void PLMain_Form::LoadData_PL(const std::string& name) {
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
  if (SectionHasRows()) {
    dao::Recordset& rs = *rsSection;
    if (rs.Eof() || rs.BOF()) rs.MoveFirst();
    const long count = rs.RecordCount();
    for (long seen = 0; seen < count + 1 && !rs.Eof(); ++seen) {
      if (vb::NzStr(rs.GetField("Name")) == name) break;
      rs.MoveNext();
      if (rs.Eof()) rs.MoveFirst();
    }
  }

  rsRecord = PL().GameDB->OpenRecordset("select * from mediadata where sectionnumber = " +
                                        std::to_string(int(PLData().SectionNumber)) +
                                        " and name = " + dao::SqlQuote(name));
  dao::Recordset& r = *rsRecord;
  if (r.BOF() && r.Eof()) return;  // no game of that name: the editor stays empty
  auto text = [&r](const char* field) { return vb::NzStr(r.GetField(field)); };
  SetTextOf(txtName, text("Name"));
  SetTextOf(txtHints, text("hintstips"));
  SetTextOf(txtInstructions, text("instructions"));
  SetTextOf(txtNotes, text("notes"));
  // A date the box refuses leaves it empty.
  try {
    DateAquired->SetDateValue(r.GetField("date_aquired"));
  } catch (...) {
    DateAquired->clear();
  }
  try {
    DateReleased->SetDateValue(r.GetField("date_released"));
  } catch (...) {
    DateReleased->clear();
  }
  const long publisher = KeyOf(r.GetField("publisher"));
  if (publisher >= 0) SetTextOf(cmbPublisher, LookupPublisherName(publisher));
  const long developer = KeyOf(r.GetField("developer"));
  if (developer >= 0) SetTextOf(cmbDeveloper, LookupDeveloperName(developer));
  const long genre = KeyOf(r.GetField("genre"));
  if (genre >= 0) SetTextOf(cmbGenre, LookupGenreName(genre));
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
  List_Combo->setEditText(txtName->text());
}

void PLMain_Form::ClearGameForm() {
  SSTab1->setCurrentIndex(0);
  SSTab1->setTabEnabled(kPictureTab, false);
  try {
    if (rsRecord && rsRecord->IsOpen()) rsRecord->Close();
  } catch (...) {
  }
  rsRecord.reset();
  for (QWidget* w : std::initializer_list<QWidget*>{txtName, txtHints, txtInstructions, txtNotes, DateAquired,
                                                    DateReleased, cmbPublisher, cmbDeveloper, cmbGenre,
                                                    txtBestFeature, txtWorstFeature, txtHomepage, cmbFormat,
                                                    cmbRating, txtPlayers})
    SetTextOf(w, "");
  for (QLineEdit* f : fText) f->clear();
  ClearGridChecks(sGrid);
  ClearGridChecks(tGrid);
}

void PLMain_Form::SetEditState(std::uint32_t backColour, bool enabled) {
  for (QWidget* w : std::initializer_list<QWidget*>{txtName, cmbPublisher, cmbDeveloper, cmbGenre, DateReleased,
                                                    DateAquired, txtBestFeature, txtWorstFeature, txtHomepage,
                                                    cmbFormat, cmbRating, txtPlayers}) {
    SetBackColour(w, backColour);
    w->setEnabled(enabled);
  }
  for (int i = 0; i <= 6; ++i) SSTab1->setTabEnabled(i, enabled);
  // Disabling the tab on show moves the tab bar along to the last tab; an
  // empty section shows its greyed Main tab instead.
  if (!enabled) SSTab1->setCurrentIndex(0);
}

void PLMain_Form::EditFieldCaption(int field) {
  if (field < 1 || field > 10) return;
  tvn::RenameFieldCaption(rsCaption, "f" + std::to_string(field), fCap[size_t(field - 1)]);
}

void PLMain_Form::f1Cap_DblClick() { EditFieldCaption(1); }
void PLMain_Form::F2Cap_DblClick() { EditFieldCaption(2); }
void PLMain_Form::f3Cap_DblClick() { EditFieldCaption(3); }
void PLMain_Form::f4Cap_DblClick() { EditFieldCaption(4); }
void PLMain_Form::f5Cap_DblClick() { EditFieldCaption(5); }
void PLMain_Form::f6Cap_DblClick() { EditFieldCaption(6); }
void PLMain_Form::f7Cap_DblClick() { EditFieldCaption(7); }
void PLMain_Form::f8Cap_DblClick() { EditFieldCaption(8); }
void PLMain_Form::f9Cap_DblClick() { EditFieldCaption(9); }
void PLMain_Form::f10Cap_DblClick() { EditFieldCaption(10); }

}  // namespace pl
