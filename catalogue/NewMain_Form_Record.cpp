// Record display: showing one mediadata row in the editor, clearing the
// editor, and making it editable or unavailable.
#include <QApplication>
#include <QComboBox>
#include <QLineEdit>
#include <QTabWidget>
#include <QTextEdit>

#include "catalogue/NewMain_Form.h"
#include "catalogue/SectionRules.h"
#include "core/AppState.h"
#include "platform/runtime/Functions.h"

namespace tvn {

bool NewMain_Form::SectionHasRows() const {
  // A set without rows is at its start and its end at once; asking this
  // way spares counting the rows of a large section.
  return SectionRecords && SectionRecords->IsOpen() && !(SectionRecords->BOF() && SectionRecords->Eof());
}

std::vector<QWidget*> NewMain_Form::RecordFields() const {
  std::vector<QWidget*> fields(Artist.begin(), Artist.end());
  fields.insert(fields.end(), EditFields().begin(), EditFields().end());
  fields.insert(fields.end(), fText.begin(), fText.end());
  fields.push_back(TGrid);
  return fields;
}

std::string NewMain_Form::RecordNameShown() const {
  const TVNDATA* d = AVData();
  const QLineEdit* box = On(d->MusicOn()) ? CS_Name_Text : On(d->VideoOn()) ? Video_Name_Text : SCD_Name_Text;
  return TextOf(box);
}

void NewMain_Form::SetEditFieldsEnabled(std::uint32_t colour, bool enabled) {
  auto paint = [colour](QWidget* w) { SetBackColourOf(w, colour); };
  for (QComboBox* a : Artist) {
    paint(a);
    a->setEnabled(enabled);
  }
  for (QWidget* w : EditFields()) paint(w);
  for (QWidget* w : EditFields()) w->setEnabled(enabled);
  for (int tab = 1; tab <= 4; ++tab) SSTab1->setTabEnabled(tab, enabled);
}

const std::vector<QWidget*>& NewMain_Form::EditFields() const {
  if (editFields_.empty()) editFields_ = {
      CD_Record_Company, CD_Category_List,   CD_Notes_Text,     CS_Name_Text,     FileLocationText,
      CS_Date_Text,      CS_CatNum_Text,     CS_TTime_Text,     CS_Format_List_Text, CD_Slot_Text,
      CD_Group_Text,     PlayerCombo,        CD_Serial_Text,    Email_Text,       Homepage_text,
      VT_Format_List_Text, Speed_List,       Video_Name_Text,   SCD_Name_Text,    Video_RYear_Text,
      Video_Date_Text,   SCD_Date_Text,      Video_CatNum_Text, SCD_CatNum_Text,  Video_Rating_Combo,
      QRating,           TapeIndex,          Video_TTime_Text,  Video_Sound_Text, Video_PRatio_Text,
      Video_SRatio_Text, Video_Sides_Combo};
  return editFields_;
}

void NewMain_Form::ShowDate(DateBox* box, const vb::Variant& value) {
  try {
    box->SetDateValue(value);
  } catch (...) {
    // The box keeps whatever it shows.
  }
}

void NewMain_Form::CS_Load_Data(const std::string& name) {
  // Other windows show a record through here: typed changes are asked about first.
  if (!ConfirmLeaveRecord()) return;
  QApplication::setOverrideCursor(Qt::WaitCursor);
  struct CursorBack {
    ~CursorBack() { QApplication::restoreOverrideCursor(); }
  } cursorBack;

  ClearRecordForm();
  SSTab1->setTabEnabled(4, true);
  const TVNDATA* d = AVData();

  // Put SectionRecords on the record, starting where it stands so that the
  // next or previous record is found at once. One round at most: a name the
  // set does not hold (filtered out, deleted meanwhile) ends the search.
  if (SectionHasRows()) {
    if (!FindNamedRow(name)) SectionRecords->MoveFirst();
  }

  RecordRow = App().CollectionDB->OpenRecordset(
      "select * from mediadata where sectionnumber = " + std::to_string(int(d->SectionNumber())) +
      " and name = " + dao::SqlQuote(name));
  if (RecordRow->RecordCount() == 0 || RecordRow->Eof()) {
    RecordRow->Close();
    RecordRow.reset();
    // Removed by another program since the titles were read: the user is
    // told, and the record after it is shown.
    if (!name.empty() && SectionHasRows()) TellRecordGone(name);
    return;
  }

  auto F = [this](const char* field) { return RecordRow->GetField(field); };
  auto S = [&F](const char* field) { return QString::fromStdString(vb::NzStr(F(field))); };
  auto text = [](QWidget* w, const QString& t) { SetTextOf(w, t.toStdString()); };
  // A stored name may be longer than a typed one (its number added at the
  // end): the box widens its limit so the whole name shows.
  auto nameText = [](QLineEdit* box, const QString& t) {
    box->setMaxLength(std::max(kTypedNameLength, int(t.size())));
    box->setText(t);
  };
  auto ifNotNull = [](QWidget* w, const vb::Variant& v) {
    if (!v.isNull() && !v.isEmpty()) SetTextOf(w, vb::NzStr(v));
  };

  text(CD_Record_Company, S("labelstudio"));
  text(CD_Category_List, S("Category"));
  text(CD_Notes_Text, S("Notes"));
  for (int i = 0; i < 10; ++i) text(fText[i], S(("f" + std::to_string(i + 1)).c_str()));

  LoadTitlesAndPicture();

  if (On(d->MusicOn())) {
    nameText(CS_Name_Text, S("Name"));
    if (On(d->CS_On()) || On(d->LP_On())) text(CS_Format_List_Text, S("format_type"));
    if (On(d->CD_On())) {
      ifNotNull(CD_Slot_Text, F("slot"));
      const vb::Variant group = F("GrpNum");
      if (!group.isNull() && vb::IsNumeric(group)) SetTextOf(CD_Group_Text, vb::NzStr(group));
      ifNotNull(PlayerCombo, F("player"));
      text(CD_Serial_Text, S("serial"));
    }
    ShowDate(CS_Date_Text, F("date_aquired"));
    text(CS_CatNum_Text, S("cat_number"));
    text(CS_TTime_Text, S("total_time"));
  }
  if (On(d->MP_On())) ifNotNull(FileLocationText, F("filelocation"));
  if (On(d->VideoOn())) {
    nameText(Video_Name_Text, S("Name"));
    if (On(d->DVD_On()) || On(d->LD_On())) {
      text(Video_SRatio_Text, S("SRatio"));
      text(Video_PRatio_Text, S("PRatio"));
      ifNotNull(Video_Sides_Combo, F("sides"));
    }
    text(Video_Sound_Text, S("format_type2"));
    text(Video_Rating_Combo, S("rating"));
    text(QRating, S("QRating"));
    try {
      const vb::Variant year = F("RYear");
      if (!year.isNull() && !year.isEmpty() && vb::IsDate(year))
        SetTextOf(Video_RYear_Text, vb::Format(vb::CDate(year), "yyyy"));
    } catch (const vb::RuntimeError&) {
      // Not a date: the box stays empty.
    }
    ShowDate(Video_Date_Text, F("date_aquired"));
    text(Video_CatNum_Text, S("cat_number"));
    text(Video_TTime_Text, S("total_time"));
    if (On(d->VT_On())) {
      text(VT_Format_List_Text, S("format_type"));
      text(Speed_List, S("Tape_Speed"));
      text(TapeIndex, S("TapeIndex"));
    }
  }
  if (On(d->SCD_On())) {
    nameText(SCD_Name_Text, S("Name"));
    text(Homepage_text, S("homepage"));
    text(Email_Text, S("emailid"));
    ShowDate(SCD_Date_Text, F("date_aquired"));
    text(SCD_CatNum_Text, S("cat_number"));
  }

  UpdateAddTitleButton();

  // Shown from elsewhere (the quick display), the record lights its letter.
  FollowLetterOf(vb::NzStr(F("Name")));
  if (On(d->MusicOn())) ShowTitleInList(TextOf(CS_Name_Text));
  if (On(d->VideoOn())) ShowTitleInList(TextOf(Video_Name_Text));
  if (On(d->SCD_On())) ShowTitleInList(TextOf(SCD_Name_Text));
  TakeRecordSnapshot();
  KeepStoredRow(*RecordRow);
}

dao::Database& NewMain_Form::RecordDatabase() const {
  const dao::DatabasePtr& db = App().CollectionDB;
  if (!db || !db->IsOpen()) throw vb::RuntimeError(91, "Object variable or With block variable not set");
  return *db;
}

const std::vector<std::string>& NewMain_Form::FiledColumns() const {
  static const std::vector<std::string> columns = [] {
    std::vector<std::string> c = {"Name",        "section",   "SectionNumber", "labelstudio", "Category",
                                  "Notes",       "cat_number", "total_time",   "format_type", "slot",
                                  "GrpNum",      "player",    "serial",        "date_aquired", "filelocation",
                                  "SRatio",      "PRatio",    "sides",         "Tape_Speed",  "TapeIndex",
                                  "format_type2", "rating",   "QRating",       "RYear",       "homepage",
                                  "emailid"};
    for (int i = 1; i <= 10; ++i) c.push_back("f" + std::to_string(i));
    for (int i = 1; i <= 4; ++i) c.push_back("artist" + std::to_string(i));
    for (int i = 1; i <= kTitleRows; ++i) c.push_back("title" + std::to_string(i));
    return c;
  }();
  return columns;
}

void NewMain_Form::ShowStoredRecord(const std::string& name) { CS_Load_Data(name); }

void NewMain_Form::ShowTitleInList(const std::string& name) {
  // The list's current item is the record shown, so that its entry is the
  // one highlighted when the list opens; a name the list does not hold
  // (another letter's) leaves the current item as it is.
  const int row = List_Combo->findText(QString::fromStdString(name), Qt::MatchExactly | Qt::MatchCaseSensitive);
  if (row >= 0) List_Combo->setCurrentIndex(row);
  SetTextOf(List_Combo, name);
}

void NewMain_Form::ClearRecordForm() {
  AboutToClearRecord();
  const TVNDATA* d = AVData();
  SSTab1->setCurrentIndex(0);
  SSTab1->setTabEnabled(4, false);
  for (QComboBox* a : Artist) a->setEditText(QString());
  try {
    if (RecordRow) RecordRow->Close();
  } catch (...) {
    // Closed already.
  }
  RecordRow.reset();
  ForgetStoredRow();
  SetSelectionTitles();

  auto clear = [](std::initializer_list<QWidget*> controls) {
    for (QWidget* w : controls) SetTextOf(w, "");
  };
  clear({CD_Record_Company, CD_Category_List, CD_Notes_Text});
  for (QLineEdit* f : fText) f->clear();
  for (QLineEdit* box : {CS_Name_Text, Video_Name_Text, SCD_Name_Text}) box->setMaxLength(kTypedNameLength);
  if (On(d->MusicOn())) {
    clear({CS_Name_Text, CS_Date_Text, CS_CatNum_Text});
    if (On(d->CS_On()) || On(d->LP_On())) clear({CS_Format_List_Text});
    if (On(d->CD_On())) clear({CD_Slot_Text, CD_Group_Text, PlayerCombo, CD_Serial_Text});
    clear({CS_TTime_Text});
  }
  if (On(d->MP_On())) clear({FileLocationText});
  if (On(d->VideoOn())) {
    clear({Video_Name_Text, Video_Date_Text, Video_CatNum_Text, Video_TTime_Text});
    if (On(d->DVD_On()) || On(d->LD_On())) clear({Video_SRatio_Text, Video_PRatio_Text, Video_Sides_Combo});
    clear({Video_Sound_Text, Video_RYear_Text, Video_Rating_Combo, QRating});
    if (On(d->VT_On())) clear({VT_Format_List_Text, Speed_List, TapeIndex});
  }
  if (On(d->SCD_On())) clear({SCD_Name_Text, SCD_Date_Text, SCD_CatNum_Text, Homepage_text, Email_Text});
  TakeRecordSnapshot();
}

}  // namespace tvn
