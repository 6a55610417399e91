// Writing games into a real game collection file: lookup rows with their
// console flags, unique names within a section, quotes and wildcards,
// link rows, deletes, and a failing store that writes nothing.
#include <gtest/gtest.h>

#include <QTemporaryDir>

#include "core/Schema.h"
#include "games/PLGameStore.h"
#include "games/avplDataclass.h"
#include "platform/runtime/Functions.h"

namespace {

class GameStore : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(dir_.isValid());
    path_ = dir_.path().toStdString() + "/MyGames.mdb";
    tvn::schema::CreateGameCollectionFile(path_);
    db_ = dao::DBEngine::Workspaces(0).OpenDatabase(path_);
    InSection(3);  // Sony
  }
  void TearDown() override {
    if (db_ && db_->IsOpen()) db_->Close();
  }

  void InSection(int section) {
    state_ = avplDataclass();
    state_.SectionNumber = static_cast<std::uint8_t>(section);
    bool* flags[] = {&state_.GBOn, &state_.NTOn, &state_.PSOn, &state_.SegaOn, &state_.XOn, &state_.OtherOn};
    *flags[section - 1] = true;
  }
  pl::StoredGame Add(const std::string& name) {
    pl::GameFields f;
    f.Name = name;
    return pl::StoreGame(*db_, state_, f, 0);
  }
  long Count(const std::string& sql) {
    auto rs = db_->OpenRecordset(sql);
    long n = 0;
    for (; !rs->Eof(); rs->MoveNext()) ++n;
    rs->Close();
    return n;
  }
  vb::Variant Value(const std::string& sql, const std::string& field) {
    auto rs = db_->OpenRecordset(sql);
    vb::Variant v = rs->Eof() ? vb::Variant::Null() : rs->GetField(field);
    rs->Close();
    return v;
  }
  std::string Name(long systemnumber) {
    return vb::NzStr(Value("select name from mediadata where systemnumber = " + std::to_string(systemnumber), "name"));
  }
  bool Flag(const std::string& table, const std::string& nameField, const std::string& name, const char* flag) {
    const vb::Variant v = Value("select * from " + table + " where " + nameField + " = " + dao::SqlQuote(name), flag);
    return !v.isNull() && vb::CBool(v);
  }

  QTemporaryDir dir_;
  std::string path_;
  dao::DatabasePtr db_;
  avplDataclass state_;
};

TEST_F(GameStore, EveryFieldIsStoredCutToItsWidthAndReadBack) {
  pl::GameFields f;
  f.Name = "   " + std::string(60, 'N') + "  ";
  f.Hints = std::string(300, 'h');
  f.Notes = "line one\nline two";
  f.Instructions = "Press start";
  f.DateAquired = vb::CDate(vb::Variant("3/4/2001"));
  f.DateReleased = vb::Variant::Null();
  f.Publisher = "Sony";
  f.Developer = "Naughty";
  f.Genre = "Platform";
  f.BestFeature = std::string(70, 'b');
  f.Players = "1 to 4 players at once";
  f.UserFields[9] = "tenth";
  const pl::StoredGame g = pl::StoreGame(*db_, state_, f, 0);
  ASSERT_GT(g.SystemNumber, 0);
  EXPECT_EQ(g.Name, std::string(48, 'N'));
  const std::string row = "select * from mediadata where systemnumber = " + std::to_string(g.SystemNumber);
  EXPECT_EQ(Name(g.SystemNumber), std::string(48, 'N'));
  EXPECT_EQ(vb::CLng(Value(row, "sectionnumber")), 3);
  EXPECT_EQ(vb::NzStr(Value(row, "hintstips")), f.Hints);  // memo fields whole
  EXPECT_EQ(vb::NzStr(Value(row, "notes")), f.Notes);
  EXPECT_EQ(vb::NzStr(Value(row, "bestfeature")), std::string(50, 'b'));
  EXPECT_EQ(vb::NzStr(Value(row, "players")), "1 to 4 pla");
  EXPECT_EQ(vb::NzStr(Value(row, "f10")), "tenth");
  EXPECT_TRUE(Value(row, "date_released").isNull());
  EXPECT_EQ(vb::CDbl(Value(row, "date_aquired")), vb::CDbl(f.DateAquired));
  EXPECT_EQ(vb::CLng(Value(row, "publisher")),
            vb::CLng(Value("select publisher from publisher where labelstudio_name = 'Sony'", "publisher")));
  EXPECT_TRUE(Value(row, "Picture").isNull());

  // An empty lookup text stores 0 and adds no row.
  pl::GameFields empty;
  empty.Name = "Plain";
  const pl::StoredGame p = pl::StoreGame(*db_, state_, empty, 0);
  const std::string prow = "select * from mediadata where systemnumber = " + std::to_string(p.SystemNumber);
  EXPECT_EQ(vb::CLng(Value(prow, "genre")), 0);
  EXPECT_EQ(Count("select * from genre"), 1);
}

TEST_F(GameStore, LookupEntriesGainTheSectionFlagAndKeepTheirKey) {
  // New in Sony: only PSOn, and the list must be refilled.
  const pl::LookupEntry first = pl::KeepLookupEntry(*db_, pl::LookupList::Publisher, "Acme", state_);
  EXPECT_TRUE(first.Added);
  EXPECT_GT(first.Key, 0);
  EXPECT_TRUE(Flag("publisher", "labelstudio_name", "Acme", "PSOn"));
  EXPECT_FALSE(Flag("publisher", "labelstudio_name", "Acme", "NTOn"));

  // Again in Sony (other case, blanks around): the same entry, no refill.
  const pl::LookupEntry again = pl::KeepLookupEntry(*db_, pl::LookupList::Publisher, " acme ", state_);
  EXPECT_FALSE(again.Added);
  EXPECT_EQ(again.Key, first.Key);

  // Used in Nintendo: gains NTOn, keeps PSOn and its key.
  InSection(2);
  const pl::LookupEntry nintendo = pl::KeepLookupEntry(*db_, pl::LookupList::Publisher, "Acme", state_);
  EXPECT_EQ(nintendo.Key, first.Key);
  EXPECT_TRUE(Flag("publisher", "labelstudio_name", "Acme", "NTOn"));
  EXPECT_TRUE(Flag("publisher", "labelstudio_name", "Acme", "PSOn"));
  EXPECT_EQ(Count("select * from publisher"), 1);

  // 60 characters are kept as 50, and found again as such.
  const std::string longName(60, 'x');
  const long key = pl::KeepLookupEntry(*db_, pl::LookupList::Developer, longName, state_).Key;
  EXPECT_EQ(pl::KeepLookupEntry(*db_, pl::LookupList::Developer, longName, state_).Key, key);
  EXPECT_EQ(vb::NzStr(Value("select * from developer", "artist_name")), std::string(50, 'x'));
  EXPECT_EQ(Count("select * from developer"), 1);

  EXPECT_EQ(pl::KeepLookupEntry(*db_, pl::LookupList::Genre, "   ", state_).Key, 0);
  EXPECT_EQ(Count("select * from genre"), 0);
  EXPECT_EQ(pl::ConsoleFilterWord(state_), "nton");
  EXPECT_EQ(pl::ConsoleFilterWord(avplDataclass()), "");
}

TEST_F(GameStore, NamesWithQuotesAndWildcardsAreStoredAndFoundExactly) {
  const std::vector<std::string> names = {"Tom's Game", "100%", "Star*", "Why?", "[Beta]", "O''Brien"};
  for (const auto& n : names) {
    pl::GameFields f;
    f.Name = n;
    f.Publisher = n + " Soft";
    f.Developer = n;
    f.Genre = n;
    const pl::StoredGame g = pl::StoreGame(*db_, state_, f, 0);
    EXPECT_EQ(Name(g.SystemNumber), n);
    EXPECT_EQ(Count("select * from publisher where labelstudio_name = " + dao::SqlQuote(n + " Soft")), 1) << n;
  }
  // Each found itself only: a wildcard did not match the others.
  for (const auto& n : names) EXPECT_EQ(Add(n).Name, n + "- 2") << n;
  EXPECT_EQ(Count("select * from publisher"), long(names.size()));
  EXPECT_EQ(Count("select * from genre"), long(names.size()));
}

TEST_F(GameStore, ATakenNameGetsTheNextFreeNumberWithinItsWidth) {
  EXPECT_EQ(Add("Halo").Name, "Halo");
  EXPECT_EQ(Add("Halo").Name, "Halo- 2");
  EXPECT_EQ(Add("halo").Name, "halo- 3");  // the database ignores case
  // The same name in another section is free.
  InSection(5);
  EXPECT_EQ(Add("Halo").Name, "Halo");

  InSection(3);
  const std::string wide(48, 'w');
  EXPECT_EQ(Add(wide).Name, wide);
  const std::string second = Add(wide).Name;
  EXPECT_EQ(vb::Len(second), pl::kGameNameWidth);
  EXPECT_EQ(second, std::string(47, 'w') + "- 2");
  // The numbered name reads back whole.
  EXPECT_EQ(Count("select * from mediadata where name = " + dao::SqlQuote(second)), 1);
}

TEST_F(GameStore, EditsKeepTheirNameAndACaseOnlyRenameGetsNoNumber) {
  const long halo = Add("halo").SystemNumber;
  Add("Other");
  pl::GameFields f;
  f.Name = "halo";
  f.Notes = "edited";
  EXPECT_EQ(pl::StoreGame(*db_, state_, f, halo).Name, "halo");
  f.Name = "Halo";
  EXPECT_EQ(pl::StoreGame(*db_, state_, f, halo).Name, "Halo");
  EXPECT_EQ(Name(halo), "Halo");
  // A rename onto another game's name is numbered.
  f.Name = "other";
  EXPECT_EQ(pl::StoreGame(*db_, state_, f, halo).Name, "other- 2");
  EXPECT_EQ(Count("select * from mediadata"), 2);

  // A stored numbered name of 50 characters shown cut to 48 in the box
  // keeps its number when the edit leaves the name alone.
  const std::string wide(48, 'w');
  Add(wide);
  const pl::StoredGame numbered = Add(wide);
  f.Name = vb::Left(numbered.Name, 48);
  EXPECT_EQ(pl::StoreGame(*db_, state_, f, numbered.SystemNumber).Name, numbered.Name);

  // Editing a game that is gone is refused and adds nothing.
  const long before = Count("select * from mediadata");
  EXPECT_THROW(pl::StoreGame(*db_, state_, f, 9999), vb::RuntimeError);
  EXPECT_EQ(Count("select * from mediadata"), before);
}

TEST_F(GameStore, LinksAreRewrittenWithTheGameAndDeletedWithIt) {
  auto links = [&](std::vector<long> types, std::vector<long> supports) {
    return [this, types, supports](long n) {
      pl::RewriteLinks(*db_, pl::LinkList::SystemTypes, n, types);
      pl::RewriteLinks(*db_, pl::LinkList::Supports, n, supports);
    };
  };
  pl::GameFields f;
  f.Name = "Linked";
  const long game = pl::StoreGame(*db_, state_, f, 0, links({1, 2}, {7})).SystemNumber;
  const long other = pl::StoreGame(*db_, state_, f, 0, links({1}, {7})).SystemNumber;
  pl::StoreGame(*db_, state_, f, game, links({1, 2, 2}, {7}));  // saved twice: still two
  EXPECT_EQ(pl::LinkedKeys(*db_, pl::LinkList::SystemTypes, game), (std::vector<long>{1, 2}));
  pl::StoreGame(*db_, state_, f, game, links({3}, {}));
  EXPECT_EQ(pl::LinkedKeys(*db_, pl::LinkList::SystemTypes, game), (std::vector<long>{3}));
  EXPECT_TRUE(pl::LinkedKeys(*db_, pl::LinkList::Supports, game).empty());
  // Without a link writer the links stay as they are.
  pl::StoreGame(*db_, state_, f, game);
  EXPECT_EQ(pl::LinkedKeys(*db_, pl::LinkList::SystemTypes, game), (std::vector<long>{3}));
  // A number below 1 has no links.
  pl::RewriteLinks(*db_, pl::LinkList::SystemTypes, 0, {5});
  EXPECT_EQ(Count("select * from systypemedia where systemnumber = 0"), 0);

  EXPECT_TRUE(pl::DeleteGame(*db_, game));
  EXPECT_EQ(Count("select * from mediadata where systemnumber = " + std::to_string(game)), 0);
  EXPECT_EQ(Count("select * from systypemedia where systemnumber = " + std::to_string(game)), 0);
  // The other game keeps its links; a game that is gone is not deleted twice.
  EXPECT_EQ(pl::LinkedKeys(*db_, pl::LinkList::Supports, other), (std::vector<long>{7}));
  EXPECT_FALSE(pl::DeleteGame(*db_, game));

  // A number is never handed out again: a new game does not inherit links.
  const long next = Add("Fresh").SystemNumber;
  EXPECT_GT(next, other);
  EXPECT_TRUE(pl::LinkedKeys(*db_, pl::LinkList::SystemTypes, next).empty());
}

TEST_F(GameStore, AFailureWritesNothingOfTheStore) {
  pl::GameFields f;
  f.Name = "Kept";
  f.Publisher = "Kept Soft";
  const long game = pl::StoreGame(*db_, state_, f, 0, [this](long n) {
                      pl::RewriteLinks(*db_, pl::LinkList::SystemTypes, n, {1, 2});
                    }).SystemNumber;

  // The link writer fails after the row, the lookups and the deletes of
  // the old links: all of it is undone.
  f.Name = "Renamed";
  f.Publisher = "New Soft";
  f.Genre = "New Genre";
  EXPECT_THROW(pl::StoreGame(*db_, state_, f, game,
                             [this](long n) {
                               pl::RewriteLinks(*db_, pl::LinkList::SystemTypes, n, {9});
                               throw dao::Error(dao::errGeneral, "disk full");
                             }),
               vb::RuntimeError);
  EXPECT_EQ(Name(game), "Kept");
  EXPECT_EQ(pl::LinkedKeys(*db_, pl::LinkList::SystemTypes, game), (std::vector<long>{1, 2}));
  EXPECT_EQ(Count("select * from publisher"), 1);
  EXPECT_EQ(Count("select * from genre"), 0);

  // A new game that fails leaves no row, and the next store works.
  EXPECT_THROW(pl::StoreGame(*db_, state_, f, 0, [](long) { throw dao::Error(dao::errGeneral, "no"); }),
               vb::RuntimeError);
  EXPECT_EQ(Count("select * from mediadata"), 1);
  EXPECT_EQ(Add("After").Name, "After");
}

TEST_F(GameStore, AReadOnlyCollectionRefusesTheStoreWithTheEnginesError) {
  Add("Stored");
  db_->Close();
  // Opened read-only, as a file the user may not write is (file modes do
  // not stop every user).
  db_ = dao::DBEngine::Workspaces(0).OpenDatabase(path_, false, true);
  try {
    Add("Refused");
    ADD_FAILURE() << "a read-only file took a new game";
  } catch (const vb::RuntimeError& e) {
    EXPECT_NE(e.Number(), 0);
    EXPECT_FALSE(e.Description().empty());
  }
  EXPECT_EQ(Count("select * from mediadata"), 1);
  EXPECT_EQ(Count("select * from publisher"), 0);
}

}  // namespace
