#include "games/PLGameStore.h"

#include <algorithm>

#include "core/UniqueName.h"
#include "games/avplDataclass.h"
#include "platform/runtime/Functions.h"

namespace pl {

namespace {

// Asked for when a new game is begun: no game has this name, so the set
// opened on it is empty and takes the new row.
const char kDummyName[] = "TVNPERZZDIIUUFFEE$#)_(@SSCXG";
constexpr long kLookupWidth = 50;

std::string Number(long n) { return vb::Trim(std::to_string(n)); }

std::array<bool, 6> FlagsOf(const avplDataclass& s) {
  return {s.GBOn, s.NTOn, s.PSOn, s.SegaOn, s.XOn, s.OtherOn};
}

bool IsSet(const vb::Variant& v) { return !v.isNull() && !v.isEmpty() && vb::CBool(v); }

// Runs work in a transaction of its own (nested in the caller's, if any):
// committed when it returns, rolled back when it throws.
template <typename Work>
auto InTransaction(dao::Database& db, Work&& work) {
  db.BeginTrans();
  try {
    if constexpr (std::is_void_v<decltype(work())>) {
      work();
      db.CommitTrans();
    } else {
      auto result = work();
      db.CommitTrans();
      return result;
    }
  } catch (...) {
    try {
      db.Rollback();
    } catch (const vb::RuntimeError&) {
    }
    throw;
  }
}

}  // namespace

const LookupTableNames& NamesOf(LookupList list) {
  static const LookupTableNames names[] = {
      {"publisher", "publisher", "labelstudio_name"},
      {"developer", "developer", "artist_name"},
      {"genre", "genre", "category"},
  };
  return names[static_cast<int>(list)];
}

const LinkTableNames& NamesOf(LinkList list) {
  static const LinkTableNames names[] = {{"systypemedia", "systypeid"}, {"supportsmedia", "supports"}};
  return names[static_cast<int>(list)];
}

std::string ConsoleFilterWord(const avplDataclass& state) {
  const auto flags = FlagsOf(state);
  std::string word;
  for (size_t i = 0; i < flags.size(); ++i)
    if (flags[i]) word = vb::LCase(kConsoleFlags[i]);
  return word;
}

namespace {

// Runs work on the set and closes it; on a failure a pending AddNew or Edit
// is dropped first, so the set's own error never hides the first one.
template <class Work>
void WorkOnSet(dao::RecordsetPtr& rs, Work work) {
  try {
    work(*rs);
  } catch (...) {
    dao::CancelPending(rs);
    dao::CloseQuietly(rs);
    throw;
  }
  dao::CloseQuietly(rs);
}

// The entry the set stands on gets the flags of the consoles the state has
// on; its key is returned.
long FlagEntry(dao::Recordset& rs, const LookupTableNames& t, const avplDataclass& state) {
  const auto flags = FlagsOf(state);
  bool missing = false;
  for (size_t i = 0; i < flags.size(); ++i) missing = missing || (flags[i] && !IsSet(rs.GetField(kConsoleFlags[i])));
  if (missing) {
    rs.Edit();
    for (size_t i = 0; i < flags.size(); ++i)
      if (flags[i]) rs.SetField(kConsoleFlags[i], true);
    rs.Update();
  }
  return vb::CLng(rs.GetField(t.KeyField));
}

// The entry of that key, flagged as KeepLookupEntry flags it; a key no
// entry has any more gives key 0.
LookupEntry KeepShownEntry(dao::Database& db, LookupList list, long key, const avplDataclass& state) {
  const LookupTableNames& t = NamesOf(list);
  dao::RecordsetPtr rs =
      db.OpenRecordset(std::string("select * from ") + t.Table + " where " + t.KeyField + " = " + Number(key));
  LookupEntry entry;
  WorkOnSet(rs, [&](dao::Recordset& set) {
    if (!set.Eof()) entry.Key = FlagEntry(set, t, state);
  });
  return entry;
}

}  // namespace

LookupEntry KeepLookupEntry(dao::Database& db, LookupList list, const std::string& name,
                            const avplDataclass& state) {
  // Trimmed, so " Nintendo" and "Nintendo" stay one entry.
  const std::string text = vb::Left(vb::Trim(name), kLookupWidth);
  if (text.empty()) return {};
  const LookupTableNames& t = NamesOf(list);
  LookupEntry entry;
  dao::RecordsetPtr rs = db.OpenRecordset(std::string("select * from ") + t.Table + " where " + t.NameField +
                                          " = " + dao::SqlQuote(text));
  WorkOnSet(rs, [&](dao::Recordset& set) {
    if (set.Eof()) {
      set.AddNew();
      set.SetField(t.NameField, text);
      set.Update();
      entry.Added = true;
    }
    set.MoveFirst();
    entry.Key = FlagEntry(set, t, state);
  });
  return entry;
}


// One row for each key, linking it to the game; the caller keeps the
// transaction, so a failure leaves the game's links as they were.
static void AddLinkRows(dao::Database& db, const LinkTableNames& t, const std::string& where, long systemnumber,
                        const std::vector<long>& keys) {
  if (keys.empty()) return;
  dao::RecordsetPtr rs = db.OpenRecordset(std::string("select * from ") + t.Table + where);
  WorkOnSet(rs, [&](dao::Recordset& set) {
    for (long key : keys) {
      set.AddNew();
      set.SetField("systemnumber", vb::Variant::Long(static_cast<std::int32_t>(systemnumber)));
      set.SetField(t.EntryField, vb::Variant::Long(static_cast<std::int32_t>(key)));
      set.Update();
    }
  });
}

void RewriteLinks(dao::Database& db, LinkList list, long systemnumber, const std::vector<long>& keys) {
  if (systemnumber < 1) return;
  const LinkTableNames& t = NamesOf(list);
  std::vector<long> unique = keys;
  std::sort(unique.begin(), unique.end());
  unique.erase(std::unique(unique.begin(), unique.end()), unique.end());
  InTransaction(db, [&] {
    const std::string where = std::string(" where systemnumber = ") + Number(systemnumber);
    db.Execute(std::string("delete * from ") + t.Table + where);
    AddLinkRows(db, t, where, systemnumber, unique);
  });
}

void MergeLinks(dao::Database& db, LinkList list, long systemnumber, const std::vector<long>& ticked,
                const std::vector<long>& unticked) {
  if (systemnumber < 1 || (ticked.empty() && unticked.empty())) return;
  const LinkTableNames& t = NamesOf(list);
  const std::string where = std::string(" where systemnumber = ") + Number(systemnumber);
  auto inList = [](const std::vector<long>& keys) {
    std::string text;
    for (long key : keys) text += (text.empty() ? "" : ", ") + Number(key);
    return text;
  };
  InTransaction(db, [&] {
    // Both lists in one statement each: a game may have many ticks changed.
    if (!unticked.empty())
      db.Execute(std::string("delete * from ") + t.Table + where + " and " + t.EntryField + " in (" +
                 inList(unticked) + ")");
    if (ticked.empty()) return;
    std::vector<long> linked = LinkedKeys(db, list, systemnumber);
    std::sort(linked.begin(), linked.end());
    std::vector<long> add = ticked;
    std::sort(add.begin(), add.end());
    add.erase(std::unique(add.begin(), add.end()), add.end());
    // Links another program made meanwhile are there already: never twice.
    std::erase_if(add, [&linked](long key) { return std::binary_search(linked.begin(), linked.end(), key); });
    AddLinkRows(db, t, where, systemnumber, add);
  });
}

std::vector<long> LinkedKeys(dao::Database& db, LinkList list, long systemnumber) {
  std::vector<long> keys;
  if (systemnumber < 1) return keys;
  const LinkTableNames& t = NamesOf(list);
  dao::RecordsetPtr rs = db.OpenRecordset(std::string("select * from ") + t.Table +
                                          " where systemnumber = " + Number(systemnumber));
  for (; !rs->Eof(); rs->MoveNext()) keys.push_back(vb::CLng(rs->GetField(t.EntryField)));
  rs->Close();
  return keys;
}

std::string UniqueGameName(dao::Database& db, int section, const std::string& name, const std::string& ownName) {
  return tvn::UniqueNameInSection(db, section, name, ownName, kGameNameWidth);
}

StoredGame StoreGame(dao::Database& db, const avplDataclass& state, const GameFields& fields, long systemnumber,
                     const std::function<void(long)>& links) {
  const bool adding = systemnumber < 1;
  const std::string section = Number(state.SectionNumber);
  StoredGame stored;
  std::string name = vb::Left(vb::Trim(fields.Name), kTypedGameNameWidth);

  dao::RecordsetPtr row;
  try {
    InTransaction(db, [&] {
      row = db.OpenRecordset(adding ? "select * from mediadata where name = " + dao::SqlQuote(kDummyName) +
                                          " and sectionnumber = " + section
                                    : "select * from mediadata where systemnumber = " + Number(systemnumber));
      std::string ownName;
      int rowSection = state.SectionNumber;
      if (!adding) {
        if (row->Eof()) throw dao::Error(dao::errNoCurrentRecord, "No current record.");
        ownName = vb::NzStr(row->GetField("Name"));
        const vb::Variant storedSection = row->GetField("SectionNumber");
        if (vb::IsNumeric(storedSection)) rowSection = int(vb::CLng(storedSection));
        stored.InSection = rowSection == state.SectionNumber;
        // The name box holds 48 characters, so a longer stored name (one
        // with its number) shows cut: left as shown, the game keeps it.
        if (vb::Len(ownName) > kTypedGameNameWidth && vb::Trim(vb::Left(ownName, kTypedGameNameWidth)) == name)
          name = ownName;
        if (std::find(fields.Kept.begin(), fields.Kept.end(), "Name") != fields.Kept.end()) name = ownName;
      }
      // A game edited under its own name is not tested; a case-only
      // rename does not collide with the game itself.
      if (adding || ownName != name) name = UniqueGameName(db, rowSection, name, ownName);

      auto kept = [&fields, adding](const char* field) {
        return !adding && std::find(fields.Kept.begin(), fields.Kept.end(), field) != fields.Kept.end();
      };
      // A lookup box left as shown may show a name its list no longer has
      // (another program renamed the entry): nothing is added for it.
      // A box left as shown on a game filed anew files the entry it showed,
      // which may hold a name longer than the box could show whole.
      auto keepEntry = [&](LookupList list, const std::string& text, const char* field, long shown) {
        if (kept(field)) return LookupEntry{};
        if (shown > 0)
          if (const LookupEntry entry = KeepShownEntry(db, list, shown, state); entry.Key > 0) return entry;
        return KeepLookupEntry(db, list, text, state);
      };
      const LookupEntry publisher =
          keepEntry(LookupList::Publisher, fields.Publisher, "publisher", fields.PublisherShown);
      const LookupEntry developer =
          keepEntry(LookupList::Developer, fields.Developer, "developer", fields.DeveloperShown);
      const LookupEntry genre = keepEntry(LookupList::Genre, fields.Genre, "genre", fields.GenreShown);

      if (adding)
        row->AddNew();
      else
        row->Edit();
      auto set = [&row, &kept](const char* field, const vb::Variant& value) {
        if (!kept(field)) row->SetField(field, value);
      };
      auto cut = [](const std::string& s, long n) { return vb::Left(s, n); };
      auto date = [](const vb::Variant& v) { return v.isEmpty() ? vb::Variant::Null() : v; };
      auto key = [](long k) { return vb::Variant::Long(static_cast<std::int32_t>(k)); };
      // The editor has no section of its own to file: an edited game stays
      // where it is stored, also where another program moved it.
      if (adding) set("SectionNumber", vb::Variant::Byte(state.SectionNumber));
      set("Name", name);
      set("hintstips", fields.Hints);
      set("notes", fields.Notes);
      set("instructions", fields.Instructions);
      set("date_aquired", date(fields.DateAquired));
      set("date_released", date(fields.DateReleased));
      set("publisher", key(publisher.Key));
      set("developer", key(developer.Key));
      set("genre", key(genre.Key));
      set("bestfeature", cut(fields.BestFeature, 50));
      set("worstfeature", cut(fields.WorstFeature, 50));
      set("homepage", cut(fields.Homepage, 50));
      set("Format", cut(fields.Format, 50));
      set("rating", cut(fields.Rating, 50));
      set("players", cut(fields.Players, 10));
      for (size_t i = 0; i < fields.UserFields.size(); ++i)
        set(("f" + std::to_string(i + 1)).c_str(), cut(fields.UserFields[i], 50));
      row->Update();
      row->MoveFirst();
      stored.SystemNumber = vb::CLng(row->GetField("systemnumber"));
      if (links) links(stored.SystemNumber);
      stored.PublisherAdded = publisher.Added;
      stored.DeveloperAdded = developer.Added;
      stored.GenreAdded = genre.Added;
    });
  } catch (...) {
    dao::CancelPending(row);
    dao::CloseQuietly(row);
    throw;
  }
  dao::CloseQuietly(row);
  stored.Name = name;
  return stored;
}

bool DeleteGame(dao::Database& db, long systemnumber) {
  if (systemnumber < 1) return false;
  return InTransaction(db, [&] {
    const std::string where = " where systemnumber = " + Number(systemnumber);
    db.Execute("delete * from mediadata" + where);
    if (db.RecordsAffected() == 0) return false;
    for (LinkList list : {LinkList::SystemTypes, LinkList::Supports})
      db.Execute(std::string("delete * from ") + NamesOf(list).Table + where);
    return true;
  });
}

}  // namespace pl
