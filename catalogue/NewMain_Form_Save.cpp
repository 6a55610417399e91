// Filing a record: the name check, the row with its unique name, the
// lookup rows the record names, and the refreshes that show it again.
//
// The row and its lookup rows are written in one transaction: a failure
// anywhere (a full disk, a locked file, a value a column cannot take)
// leaves neither the row nor any lookup row behind, and the editor keeps
// what the user typed for another try.
#include <QApplication>
#include <QComboBox>
#include <QLineEdit>
#include <QTextEdit>
#include <algorithm>
#include <cmath>

#include "catalogue/NewMain_Form.h"
#include "catalogue/SectionRules.h"
#include "core/UniqueName.h"
#include "core/AppState.h"
#include "core/TavolinModule.h"
#include "platform/forms/LetterBar.h"
#include "platform/runtime/Functions.h"
#include "platform/runtime/Prompter.h"

namespace tvn {

namespace {

// Asked for when a new row is begun: no record has this name, so the set
// opened on it is empty and takes the new row.
const char kDummyName[] = "TVNPERZZDIIUUFFEE$#)_(@SSCXG";
// Width of mediadata.name, and the part of it a typed name may take.
constexpr long kNameWidth = 50;
constexpr long kTypedNameWidth = 48;


std::string SectionDisplayName(const TVNDATA* d) {
  if (On(d->CS_On())) return "Cassette";
  if (On(d->CD_On())) return "Compact Disc";
  if (On(d->MD_On())) return "MiniDisc";
  if (On(d->MP_On())) return "MP3";
  if (On(d->LP_On())) return "LP";
  if (On(d->DVD_On())) return "DVD";
  if (On(d->LD_On())) return "Laser Disc";
  if (On(d->VT_On())) return "Video Tape";
  if (On(d->SCD_On())) return "Software";
  return {};
}


std::string SectionText(const TVNDATA* d) { return vb::Trim(std::to_string(int(d->SectionNumber()))); }

// The rows of one name in the current section (found through the
// collection's index on section and name).
std::string NameInSection(const std::string& name, const TVNDATA* d) {
  return " where name = " + dao::SqlQuote(name) + " and sectionnumber = " + SectionText(d);
}

// The boxes of the section on show that are filed into numeric columns,
// with what each column can take: changer slots and groups are whole
// numbers (an Integer and a Byte column), sides any number of 0 or more.
struct NumberBox {
  QWidget* box;
  const char* caption;  // as the window labels it
  const char* column;
  int type;  // dao::dbInteger, dbByte or dbDouble
  double lowest, highest;
  bool whole;
};

std::vector<NumberBox> NumberBoxes(const NewMain_Form& w, const TVNDATA* d) {
  std::vector<NumberBox> boxes;
  if (On(d->MusicOn()) && On(d->CD_On())) {
    boxes.push_back({w.CD_Slot_Text, "Changer Slot #", "slot", dao::dbInteger, 0, 32767, true});
    boxes.push_back({w.CD_Group_Text, "Changer Group #", "GrpNum", dao::dbByte, 0, 255, true});
  }
  if (On(d->VideoOn()) && (On(d->DVD_On()) || On(d->LD_On())))
    boxes.push_back({w.Video_Sides_Combo, "Sides", "sides", dao::dbDouble, 0, HUGE_VAL, false});
  return boxes;
}

vb::Variant ColumnValue(const NumberBox& b, double n) {
  if (b.type == dao::dbInteger) return vb::Variant::Integer(static_cast<std::int16_t>(n));
  if (b.type == dao::dbByte) return vb::Variant::Byte(static_cast<std::uint8_t>(n));
  return vb::Variant(n);
}

dao::Database& CollectionDatabase() {
  const dao::DatabasePtr& db = App().CollectionDB;
  if (!db || !db->IsOpen()) throw vb::RuntimeError(91, "Object variable or With block variable not set");
  return *db;
}

}  // namespace

void NewMain_Form::BeginFilingAsNew() {
  AddingRecord = true;
  // The set still lists the removed row: it is read again, and the record
  // filed takes its place among the rows that exist.
  if (SelectionMode == 5)
    ReopenKeptSelectionSet();
  else
    RunSelectionQuery(false);
  InvalidateTitleRows();
}

bool NewMain_Form::ValidateNameEntered() {
  const TVNDATA* d = AVData();
  QLineEdit* box = On(d->MusicOn()) ? CS_Name_Text : On(d->VideoOn()) ? Video_Name_Text
                                                   : On(d->SCD_On())  ? SCD_Name_Text
                                                                      : nullptr;
  const std::string name = box ? vb::Trim(TextOf(box)) : std::string();
  if (name.empty()) {
    vb::MsgBox("The system requires that a name be entered.", vb::vbOKOnly);
    if (box) box->setFocus();
    return false;
  }
  // A date that cannot be read for sure is refused before anything is
  // written, so the stored date stays and nothing typed is lost.
  DateBox* date = On(d->MusicOn()) ? CS_Date_Text : On(d->VideoOn()) ? Video_Date_Text
                                                : On(d->SCD_On())  ? SCD_Date_Text
                                                                   : nullptr;
  if (!CheckDateToFile(date)) return false;
  // So is a number its column cannot hold, in a box the user changed; a
  // box left as shown keeps what is stored, whatever that is.
  for (const NumberBox& b : NumberBoxes(*this, d)) {
    if (!AddingRecord && !FieldTouched(b.box)) continue;
    const std::string shown = vb::Trim(TextOf(b.box));
    double number = 0;
    if (shown.empty() || ReadNumberToFile(shown, b.lowest, b.highest, b.whole, number)) continue;
    BringControlForward(b.box);
    if (!CheckFileableNumber(b.box, b.caption, b.lowest, b.highest, b.whole)) return false;
  }
  return true;
}

std::string NewMain_Form::UniqueSectionName(const std::string& name, const std::string& ownName, int section) {
  // A record renamed in letter case only does not stand in its own way.
  return UniqueNameInSection(CollectionDatabase(), section, name, ownName, kNameWidth);
}

void NewMain_Form::SaveRecordFromForm() {
  QApplication::setOverrideCursor(Qt::WaitCursor);
  struct CursorBack {
    ~CursorBack() { QApplication::restoreOverrideCursor(); }
  } cursorBack;

  TVNDATA* d = AVData();
  dao::Database& db = CollectionDatabase();
  const std::string section = SectionText(d);
  const bool music = On(d->MusicOn()), video = On(d->VideoOn()), software = On(d->SCD_On());

  CollectArtistsAndTitles(kTitleRows);

  QLineEdit* nameBox = music ? CS_Name_Text : video ? Video_Name_Text : software ? SCD_Name_Text : nullptr;
  std::string name = vb::Left(vb::Trim(nameBox ? TextOf(nameBox) : std::string()), kTypedNameWidth);

  const bool adding = AddingRecord;
  if (adding) {
    dao::CloseQuietly(RecordRow);
    RecordRow = db.OpenRecordset("select * from mediadata" + NameInSection(kDummyName, d));
  } else if (!RecordRow || !RecordRow->IsOpen() || RecordRow->Eof() || RecordRow->BOF()) {
    throw vb::RuntimeError(dao::errNoCurrentRecord, "No current record.");
  }

  // A field the user left as it was shown keeps what is stored, also where
  // the editor could not show the stored value as it is (a date column
  // holding text, a date the year box shows by its year) or another
  // program changed it since; a new record takes every field.
  auto typed = [this, adding](const QWidget* w) { return adding || FieldTouched(w); };

  std::string ownName;
  bool changed = false;
  // Another program may have moved the record to another section since it
  // was shown: it stays there, and its name is unique there.
  int rowSection = d->SectionNumber();
  bool moved = false;
  if (!adding) {
    const vb::Variant stored = RecordRow->GetField("SectionNumber");
    if (vb::IsNumeric(stored) && vb::CLng(stored) != rowSection) {
      moved = true;
      rowSection = int(vb::CLng(stored));
    }
    ownName = vb::NzStr(RecordRow->GetField("Name"));
    if (nameBox && !typed(nameBox)) name = ownName;
    // The name box holds 48 characters, so a longer stored name (one with
    // its number) shows cut: left as shown, the record keeps its name.
    if (vb::Len(ownName) > kTypedNameWidth && vb::Trim(vb::Left(ownName, kTypedNameWidth)) == name) name = ownName;
    changed = ownName != name;
  }
  if (changed || adding) name = UniqueSectionName(name, ownName, rowSection);

  // What the editor says, as it goes into the row.
  auto text = [](const QWidget* w) { return TextOf(w); };
  auto cut = [&text](const QWidget* w, long n) { return vb::Left(text(w), n); };
  auto trimCut = [&text](const QWidget* w, long n) { return vb::Left(vb::Trim(text(w)), n); };
  const std::string labelStudio = trimCut(CD_Record_Company, 50);
  const std::string category = trimCut(CD_Category_List, 50);
  // The names the filed row holds, which the lookup lists then offer.
  std::array<std::string, 4> filedArtists;
  std::string filedCategory, filedLabel, filedEmail, filedHomepage;

  // The year box takes a bare four-character year as the first of January.
  vb::Variant releaseYear;
  bool haveYear = false;
  if (video && typed(Video_RYear_Text)) {
    if (vb::Len(text(Video_RYear_Text)) == 4) Video_RYear_Text->setText("1/1/" + Video_RYear_Text->text());
    const vb::Variant year(text(Video_RYear_Text));
    if (vb::IsDate(year)) {
      releaseYear = vb::CDate(year);
      haveYear = true;
    }
  }

  // The sound list and the lookup combos are read again only when the
  // save can have changed what they offer.
  const std::string sound = cut(Video_Sound_Text, 50);
  const bool soundListed = sound.empty() || Video_Sound_Text->findText(QString::fromStdString(sound),
                                                                       Qt::MatchFixedString) >= 0;
  const bool soundKept =
      adding || !typed(Video_Sound_Text) || vb::NzStr(RecordRow->GetField("format_type2")) == sound;
  bool listsChanged = false;

  dao::RecordsetPtr lookup;
  dao::Recordset::BookmarkType filedMark = 0;
  db.BeginTrans();
  try {
    if (adding)
      RecordRow->AddNew();
    else
      RecordRow->Edit();
    dao::Recordset& row = *RecordRow;
    auto set = [&row](const char* field, const vb::Variant& value) { row.SetField(field, value); };
    if (adding) {
      WriteArtistsAndTitles();
    } else {
      // Each artist box and each title row the user changed goes in; the
      // others keep what is stored now, whoever wrote it.
      auto merge = [&row](const std::string& prefix, int count, long width, auto shownAt, auto touchedAt) {
        std::vector<std::string> shown, now;
        std::vector<bool> touched;
        for (int i = 1; i <= count; ++i) {
          shown.push_back(vb::Trim(shownAt(i)));
          touched.push_back(touchedAt(i));
          now.push_back(vb::NzStr(row.GetField(prefix + std::to_string(i))));
        }
        const std::vector<std::string> merged = MergeTypedList(shown, touched, now);
        for (int i = 1; i <= count; ++i)
          if (merged[size_t(i - 1)] != now[size_t(i - 1)])
            row.SetField(prefix + std::to_string(i), vb::Left(merged[size_t(i - 1)], width));
      };
      merge(
          "artist", 4, 50, [this](int i) { return TextOf(Artist[size_t(i - 1)]); },
          [this](int i) { return FieldTouched(Artist[size_t(i - 1)]); });
      merge(
          "title", kTitleRows, 60, [this](int r) { return TGrid->TextMatrix(r, 1).toStdString(); },
          [this](int r) { return GridRowTouched(TGrid, r); });
    }
    // The column of a field, when the field is to be written.
    auto setFrom = [&set, &typed](const QWidget* w, const char* field, const vb::Variant& value) {
      if (typed(w)) set(field, value);
    };
    // A date the check let through; any other keeps the stored one.
    auto setDate = [&set, &typed](const DateBox* box) {
      if (typed(box) && box->Fileable()) set("date_aquired", box->FiledValue());
    };
    // A name kept as stored is left alone: another program may have stored
    // one longer than the column takes, and the record must still file.
    auto setName = [&] {
      if (adding || name != ownName) set("Name", name);
    };
    // A number the column holds is filed; an emptied box files no number.
    // Any other text (refused before the save, or shown as another program
    // stored it when a removed record is filed anew) keeps what is stored.
    auto setNumbers = [&] {
      for (const NumberBox& b : NumberBoxes(*this, d)) {
        if (!typed(b.box)) continue;
        const std::string shown = vb::Trim(text(b.box));
        double n = 0;
        if (shown.empty())
          set(b.column, vb::Variant::Null());
        else if (ReadNumberToFile(shown, b.lowest, b.highest, b.whole, n))
          set(b.column, ColumnValue(b, n));
      }
    };
    if (!moved) {
      const std::string displayName = SectionDisplayName(d);
      if (!displayName.empty()) set("section", displayName);
      set("SectionNumber", vb::Variant::Byte(d->SectionNumber()));
    }
    setFrom(CD_Record_Company, "labelstudio", labelStudio);
    setFrom(CD_Category_List, "Category", category);
    setFrom(CD_Notes_Text, "Notes", vb::Trim(text(CD_Notes_Text)));
    for (int i = 0; i < 10; ++i) setFrom(fText[i], ("f" + std::to_string(i + 1)).c_str(), cut(fText[i], 50));

    if (music) {
      setName();
      setFrom(CS_CatNum_Text, "cat_number", cut(CS_CatNum_Text, 50));
      setFrom(CS_TTime_Text, "total_time", text(CS_TTime_Text));  // as typed, not cut
      if (On(d->CS_On()) || On(d->LP_On())) setFrom(CS_Format_List_Text, "format_type", cut(CS_Format_List_Text, 50));
      if (On(d->CD_On())) {
        setNumbers();
        setFrom(PlayerCombo, "player", cut(PlayerCombo, 10));
        setFrom(CD_Serial_Text, "serial", cut(CD_Serial_Text, 50));
      }
      setDate(CS_Date_Text);
    }
    if (On(d->MP_On())) setFrom(FileLocationText, "filelocation", cut(FileLocationText, 100));
    if (video) {
      setName();
      setFrom(Video_CatNum_Text, "cat_number", cut(Video_CatNum_Text, 50));
      setFrom(Video_TTime_Text, "total_time", cut(Video_TTime_Text, 10));
      if (On(d->DVD_On()) || On(d->LD_On())) {
        setFrom(Video_SRatio_Text, "SRatio", cut(Video_SRatio_Text, 10));
        setFrom(Video_PRatio_Text, "PRatio", cut(Video_PRatio_Text, 10));
        setNumbers();
      }
      if (On(d->VT_On())) {
        setFrom(VT_Format_List_Text, "format_type", cut(VT_Format_List_Text, 50));
        setFrom(Speed_List, "Tape_Speed", cut(Speed_List, 2));
        setFrom(TapeIndex, "TapeIndex", cut(TapeIndex, 10));
      }
      setFrom(Video_Sound_Text, "format_type2", sound);
      setFrom(Video_Rating_Combo, "rating", cut(Video_Rating_Combo, 4));
      setFrom(QRating, "QRating", cut(QRating, 10));
      if (haveYear) set("RYear", releaseYear);
      setDate(Video_Date_Text);
    }
    if (software) {
      setName();
      setFrom(SCD_CatNum_Text, "cat_number", cut(SCD_CatNum_Text, 50));
      setFrom(Homepage_text, "homepage", cut(Homepage_text, 50));
      setFrom(Email_Text, "emailid", cut(Email_Text, 50));
      setDate(SCD_Date_Text);
    }
    row.Update();
    row.MoveFirst();
    filedMark = row.Bookmark();
    auto filed = [&row](const std::string& field) { return vb::Left(vb::Trim(vb::NzStr(row.GetField(field))), 50); };
    for (int i = 0; i < 4; ++i) filedArtists[size_t(i)] = filed("artist" + std::to_string(i + 1));
    filedCategory = filed("Category");
    filedLabel = filed("labelstudio");
    filedEmail = filed("emailid");
    filedHomepage = filed("homepage");

    // Every artist, category and label/studio the record names is offered
    // in this section from now on.
    const std::string column = SectionLookupColumn(d);
    auto keep = [&](const std::string& key, const char* nameColumn) {
      lookup->Seek("=", vb::Variant(key));
      if (lookup->NoMatch()) {
        lookup->AddNew();
        lookup->SetField(nameColumn, key);
      } else {
        // A row that has the section's flag already needs no writing.
        const vb::Variant flag = column.empty() ? vb::Variant(true) : lookup->GetField(column);
        if (!flag.isNull() && !flag.isEmpty() && vb::CBool(flag)) return;
        lookup->Edit();
      }
      if (!column.empty()) lookup->SetField(column, true);
      lookup->Update();
      listsChanged = true;
    };
    lookup = db.OpenRecordset("artists");
    lookup->SetIndex("artist_name");
    for (const std::string& key : filedArtists)
      if (!key.empty()) keep(key, "artist_name");
    dao::CloseQuietly(lookup);
    if (!filedCategory.empty()) {
      lookup = db.OpenRecordset("category");
      lookup->SetIndex("category");
      keep(filedCategory, "Category");
      dao::CloseQuietly(lookup);
    }
    if (!filedLabel.empty()) {
      lookup = db.OpenRecordset("LabelStudio");
      lookup->SetIndex("name");
      keep(filedLabel, "LabelStudio_Name");
      dao::CloseQuietly(lookup);
    }

    // A software publisher keeps its addresses.
    if (software && !filedLabel.empty()) {
      if (!PublisherRecords || !PublisherRecords->IsOpen()) {
        PublisherRecords = db.OpenRecordset("LabelStudio");
        PublisherRecords->SetIndex("Name");
      }
      dao::Recordset& publishers = *PublisherRecords;
      publishers.Seek("=", vb::Variant(filedLabel));
      if (publishers.NoMatch()) {
        publishers.AddNew();
        publishers.SetField("LabelStudio_Name", filedLabel);
        listsChanged = true;
      } else {
        publishers.Edit();
      }
      publishers.SetField("scd", true);
      publishers.SetField("LSEmail", filedEmail);
      publishers.SetField("lswww", filedHomepage);
      publishers.Update();
    }
    db.CommitTrans();
  } catch (...) {
    dao::CancelPending(RecordRow);
    dao::CancelPending(lookup);
    dao::CancelPending(PublisherRecords);
    dao::CloseQuietly(lookup);
    try {
      db.Rollback();
    } catch (const vb::RuntimeError&) {
    }
    // The shown row as it is stored again; a new row was never there.
    dao::CloseQuietly(RecordRow);
    if (!adding) {
      try {
        RecordRow = db.OpenRecordset("select * from mediadata" + NameInSection(ownName, d));
      } catch (const vb::RuntimeError&) {
        RecordRow.reset();
      }
    }
    throw;
  }

  if (video && !(soundListed && soundKept)) {
    std::string filter;
    FillDistinctCombo(Video_Sound_Text, "format_type2", filter);
  }
  AddingRecord = false;
  // What the editor shows is filed now: the refreshes below and the
  // record shown again ask nothing.
  LeaveScope filed(*this);

  if (moved) {
    // Filed where another program put it, out of this section: the
    // section is read again and the record after it shown.
    if (listsChanged) FillArtistCombos(true);
    if (On(d->QDOpen())) FillQuickDisplayGrid();
    MoveOnFromGoneRecord(name, 1);
    return;
  }

  // The title list and the letter bar follow the stored name. The section
  // is not read again: the one row takes its place among the rows read, and
  // only the letters it left and joined change their faces.
  std::string emptied;
  const bool placed = PlaceFiledTitleRow(filedMark, emptied);
  if (!placed) {
    RunSelectionQuery(false);
    // The tape-number selection keeps its set, whose rows have changed.
    if (SelectionMode == 5)
      ReopenKeptSelectionSet();
    else
      InvalidateTitleRows();
  }
  std::string letter = FiledTitleLetter(name);
  FillTitleListForLetter(letter, SelectionMode, SelectionValue);
  if (placed)
    ShowMovedTitleLetters(emptied, letter);
  else
    MarkLettersWithTitles(SelectionMode, SelectionValue);
  d->P_Button(Integer(PreviousLetterButton));
  d->A_Button(Integer(ActiveLetterButton));
  d->SLetterW(LetterForTitle(true, name));
  PreviousLetterButton = d->P_Button();
  ActiveLetterButton = d->A_Button();
  SelectedLetter = d->SLetterW();
  ShowActiveLetter(ActiveLetterButton, PreviousLetterButton);

  if (listsChanged) FillArtistCombos(true);
  if (On(d->QDOpen())) FillQuickDisplayGrid();
  CS_Load_Data(name);
}

}  // namespace tvn
