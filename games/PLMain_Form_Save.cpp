// Filing the game on show: the editor's texts go to the game store, which
// writes the row, its lookup rows and its links in one transaction; then
// the lists, the title list and the letter bar follow the stored name and
// the game is shown again.
//
// A failure writes nothing and reaches the caller with the engine's
// error; the editor keeps what the user typed for another try.
#include <QApplication>
#include <QComboBox>
#include <QLineEdit>
#include <QTextEdit>

#include "games/PLGameStore.h"
#include "games/PLMain_Form.h"
#include "games/PLModule.h"
#include "platform/forms/FlexGrid.h"
#include "platform/runtime/Functions.h"

namespace pl {

namespace {

dao::Database& GameDatabase() {
  const dao::DatabasePtr& db = PL().GameDB;
  if (!db || !db->IsOpen()) throw vb::RuntimeError(91, "Object variable or With block variable not set");
  return *db;
}

bool HoldsRow(const dao::RecordsetPtr& rs) { return rs && rs->IsOpen() && !rs->Eof() && !rs->BOF(); }
bool HasRows(const dao::RecordsetPtr& rs) { return rs && rs->IsOpen() && !(rs->Eof() && rs->BOF()); }

// The bookmark of a game's row, as the section's set marks it.
dao::Recordset::BookmarkType RowOfGame(dao::Database& db, long systemnumber) {
  dao::RecordsetPtr row =
      db.OpenRecordset("select * from mediadata where systemnumber = " + std::to_string(systemnumber));
  const auto mark = row->Bookmark();
  row->Close();
  return mark;
}

// What a date box files: its date, Null when empty. The toolbar lets no
// other text through; should one reach here it files Null.
vb::Variant DateOf(const forms::DateBox* box) { return box->Fileable() ? box->FiledValue() : vb::Variant::Null(); }

// Refills a lookup combo for the section on show after its list grew.
void Refill(PLMain_Form& w, void (PLMain_Form::*fill)(const std::string&)) {
  const std::string word = ConsoleFilterWord(PLData());
  if (!word.empty()) (w.*fill)(word);
}

}  // namespace

void PLMain_Form::SaveRecord() {
  QApplication::setOverrideCursor(Qt::WaitCursor);
  struct CursorBack {
    ~CursorBack() { QApplication::restoreOverrideCursor(); }
  } cursorBack;

  avplDataclass& d = PLData();
  dao::Database& db = GameDatabase();

  GameFields f;
  f.Name = TextOf(txtName);
  f.Hints = TextOf(txtHints);
  f.Notes = TextOf(txtNotes);
  f.Instructions = TextOf(txtInstructions);
  f.DateAquired = DateOf(DateAquired);
  f.DateReleased = DateOf(DateReleased);
  f.Publisher = TextOf(cmbPublisher);
  f.Developer = TextOf(cmbDeveloper);
  f.Genre = TextOf(cmbGenre);
  f.BestFeature = TextOf(txtBestFeature);
  f.WorstFeature = TextOf(txtWorstFeature);
  f.Homepage = TextOf(txtHomepage);
  f.Format = TextOf(cmbFormat);
  f.Rating = TextOf(cmbRating);
  f.Players = TextOf(txtPlayers);
  for (size_t i = 0; i < fText.size(); ++i) f.UserFields[i] = TextOf(fText[i]);

  // Boxes left as loaded stand for the entries they showed.
  if (!FieldTouched(cmbPublisher)) f.PublisherShown = shownPublisher_;
  if (!FieldTouched(cmbDeveloper)) f.DeveloperShown = shownDeveloper_;
  if (!FieldTouched(cmbGenre)) f.GenreShown = shownGenre_;

  long number = 0;
  std::string loadedName;
  std::function<void(long)> links = [this](long systemnumber) {
    SaveSysTypeMedia(systemnumber);
    SaveSupportsMedia(systemnumber);
  };
  if (!AddMode) {
    // An edit needs the game on show; the toolbar offers it only then.
    if (!HoldsRow(rsRecord)) throw vb::RuntimeError(dao::errNoCurrentRecord, "No current record.");
    number = vb::CLng(rsRecord->GetField("systemnumber"));
    loadedName = vb::NzStr(rsRecord->GetField("Name"));
    // A field the user left as it was shown keeps what is stored, also
    // where the editor could not show the stored value as it is (a date
    // column holding text, a key no list entry has) or another program
    // changed it since.
    const std::pair<const QWidget*, const char*> columns[] = {
        {txtName, "Name"},           {txtHints, "hintstips"},
        {txtNotes, "notes"},         {txtInstructions, "instructions"},
        {DateAquired, "date_aquired"}, {DateReleased, "date_released"},
        {cmbPublisher, "publisher"}, {cmbDeveloper, "developer"},
        {cmbGenre, "genre"},         {txtBestFeature, "bestfeature"},
        {txtWorstFeature, "worstfeature"}, {txtHomepage, "homepage"},
        {cmbFormat, "Format"},       {cmbRating, "rating"},
        {txtPlayers, "players"}};
    for (const auto& [field, column] : columns)
      if (!FieldTouched(field)) f.Kept.push_back(column);
    for (size_t i = 0; i < fText.size(); ++i)
      if (!FieldTouched(fText[i])) f.Kept.push_back("f" + std::to_string(i + 1));
    // Each tick the user changed links or unlinks its entry; every other
    // link stays as stored, also one another program added meanwhile.
    struct Ticks {
      std::vector<long> ticked, unticked;
    };
    auto changedTicks = [this](const forms::FlexGrid* grid) {
      Ticks t;
      for (int r = 1; r < grid->Rows(); ++r) {
        bool numeric = false;
        const long key = grid->TextMatrix(r, 0).trimmed().toLong(&numeric);
        if (!numeric) break;
        if (!GridRowTouched(grid, r)) continue;
        (grid->CellCheckedAt(r, 1) == forms::FlexGrid::flexChecked ? t.ticked : t.unticked).push_back(key);
      }
      return t;
    };
    const Ticks types = changedTicks(tGrid), supports = changedTicks(sGrid);
    links = [types, supports](long systemnumber) {
      MergeLinks(GameDatabase(), LinkList::SystemTypes, systemnumber, types.ticked, types.unticked);
      MergeLinks(GameDatabase(), LinkList::Supports, systemnumber, supports.ticked, supports.unticked);
    };
  }

  const StoredGame stored = StoreGame(db, d, f, number, links);
  const std::string& name = stored.Name;
  // What the editor shows is filed now: the refreshes below and the game
  // shown again ask nothing.
  LeaveScope filed(*this);

  if (stored.PublisherAdded) Refill(*this, &PLMain_Form::FillPublisherCombo);
  if (stored.DeveloperAdded) Refill(*this, &PLMain_Form::FillDeveloperCombo);
  if (stored.GenreAdded) Refill(*this, &PLMain_Form::FillGenreCombo);

  if (!stored.InSection) {
    // Filed where another program put it, out of this section: the section
    // is read again and the game after it shown.
    AddMode = false;
    MoveOnFromGoneRecord(name, 1);
    return;
  }

  // The letter the title list and the letter bar file the name under.
  const std::string letter = FiledTitleLetter(name);

  // A new or renamed game takes its place in the section's name order: in
  // the titles read and in the section's set, whose query is not run
  // again; only the letters it left and joined change their faces.
  const bool moved = AddMode || name != loadedName;
  const bool titlesKept = rsSection && rsSection->IsOpen() && titlesSource_.lock() == rsSection;
  if (moved && titlesKept) {
    const tvn::TitleKey title{name, letter, RowOfGame(db, stored.SystemNumber)};
    ShowMovedTitleLetters(tvn::PlaceTitleRow(titles_, letterCounts_, title, *rsSection), letter);
  } else if (moved && HasRows(rsSection)) {
    // Only the letters and lists shown were read: the set finds the game's
    // place by its name, and the letters and lists are read again by the
    // index, with the game filed among them.
    tvn::PlaceRowByName(*rsSection, name, RowOfGame(db, stored.SystemNumber));
    sectionIndex_.reset();
    MarkLettersWithTitles();
  } else if (!HoldsRow(rsSection) || moved) {
    OpenSectionRecordset();
    MarkLettersWithTitles();
  }
  AddMode = false;
  FillTitleListByLetter(letter);
  d.P_Button = static_cast<std::int16_t>(PreviousLetterButton);
  d.A_Button = static_cast<std::int16_t>(ActiveLetterButton);
  d.SLetterW = ShowLetterButton(true, name);
  PreviousLetterButton = d.P_Button;
  ActiveLetterButton = d.A_Button;
  CurrentLetter = d.SLetterW;
  SwapLetterButtons(ActiveLetterButton, PreviousLetterButton);

  LoadData_PL(name);
}

void PLMain_Form::BeginFilingAsNew() {
  AddMode = true;
  // The set still lists the removed game: it is read again, and the game
  // filed takes its place among the games that exist.
  OpenSectionRecordset();
}

long PLMain_Form::AddOrUpdatePublisher(const std::string& name) {
  const LookupEntry e = KeepLookupEntry(GameDatabase(), LookupList::Publisher, name, PLData());
  if (e.Added) Refill(*this, &PLMain_Form::FillPublisherCombo);
  return e.Key;
}

long PLMain_Form::AddOrUpdateDeveloper(const std::string& name) {
  const LookupEntry e = KeepLookupEntry(GameDatabase(), LookupList::Developer, name, PLData());
  if (e.Added) Refill(*this, &PLMain_Form::FillDeveloperCombo);
  return e.Key;
}

long PLMain_Form::AddOrUpdateGenre(const std::string& name) {
  const LookupEntry e = KeepLookupEntry(GameDatabase(), LookupList::Genre, name, PLData());
  if (e.Added) Refill(*this, &PLMain_Form::FillGenreCombo);
  return e.Key;
}

}  // namespace pl
