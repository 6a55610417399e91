#pragma once
// Writing games into a game collection, without a window: the lookup
// lists a game names (publisher, developer, genre) with their console
// flags, the game's row under a name unique within its section, its
// system-type and feature links, and the delete of a game with its links.
//
// A store or a delete is one transaction: when any step fails nothing of
// it is written and the engine's error reaches the caller.
#include <array>
#include <functional>
#include <string>
#include <vector>

#include "platform/dao/Dao.h"

class avplDataclass;

namespace pl {

// The three lookup lists of a game; they share one layout and differ only
// in their table and field names.
enum class LookupList { Publisher, Developer, Genre };

struct LookupTableNames {
  const char* Table;
  const char* KeyField;
  const char* NameField;
};
const LookupTableNames& NamesOf(LookupList list);

// The six console flags of a lookup row, in their fixed order.
inline constexpr std::array<const char*, 6> kConsoleFlags = {"GBOn", "NTOn", "PSOn", "SegaOn", "XOn", "OtherOn"};
// The filter word of the last console whose flag the state holds ("gbon"
// ... "otheron"), "" when none is on.
std::string ConsoleFilterWord(const avplDataclass& state);

struct LookupEntry {
  long Key = 0;        // 0 for an empty name
  bool Added = false;  // the entry is new: the section's list must be refilled
};

// Finds the name (trimmed, cut to 50 characters, matched without regard to
// case) in its list or adds it, and sets the flags of the consoles the
// state has on; flags are never cleared. An empty name touches nothing.
LookupEntry KeepLookupEntry(dao::Database& db, LookupList list, const std::string& name,
                            const avplDataclass& state);

// The link tables of a game and the entry field each pairs it with.
enum class LinkList { SystemTypes, Supports };
struct LinkTableNames {
  const char* Table;
  const char* EntryField;
};
const LinkTableNames& NamesOf(LinkList list);

// The game's links become exactly `keys` (duplicates count once). A game
// number below 1 has no links.
void RewriteLinks(dao::Database& db, LinkList list, long systemnumber, const std::vector<long>& keys);
// The links of a game the user changed: each key of `ticked` is linked
// (once), each key of `unticked` is not; every other link stays as stored.
void MergeLinks(dao::Database& db, LinkList list, long systemnumber, const std::vector<long>& ticked,
                const std::vector<long>& unticked);
// The entry keys linked to a game, in the order stored.
std::vector<long> LinkedKeys(dao::Database& db, LinkList list, long systemnumber);

// What the editor holds for one game, as typed.
struct GameFields {
  std::string Name;
  std::string Hints, Notes, Instructions;
  vb::Variant DateAquired, DateReleased;  // a date, or Null
  std::string Publisher, Developer, Genre;
  std::string BestFeature, WorstFeature, Homepage, Format, Rating, Players;
  std::array<std::string, 10> UserFields;
  // Columns of a stored game left as they are (fields the user did not
  // change); "Name" keeps the stored name.
  std::vector<std::string> Kept;
  // The entry key a lookup box showed when the user left it untouched (0:
  // typed, or nothing shown). A game filed anew files that entry as it is,
  // never a name looked up from what the box could show of it.
  long PublisherShown = 0, DeveloperShown = 0, GenreShown = 0;
};

// Width of mediadata.name, and what of a typed name is kept.
inline constexpr long kGameNameWidth = 50;
inline constexpr long kTypedGameNameWidth = 48;

// The name the game is filed under in its section; ownName is its stored
// name ("" for a new game).
std::string UniqueGameName(dao::Database& db, int section, const std::string& name, const std::string& ownName);

struct StoredGame {
  long SystemNumber = 0;
  std::string Name;  // as stored, with its number when the name was taken
  // The game is in the section the state shows (another program may have
  // moved an edited game elsewhere; it stays there).
  bool InSection = true;
  bool PublisherAdded = false, DeveloperAdded = false, GenreAdded = false;
};

// Stores a new game (systemnumber 0) or the game of that number in the
// section the state shows, with its lookup rows. `links` then writes the
// game's links within the same transaction; without it the game's links
// stay as they are. An edited game keeps its section as stored, and a kept
// lookup column names no entry of its list anew. Pictures and the print
// mark are never written here.
StoredGame StoreGame(dao::Database& db, const avplDataclass& state, const GameFields& fields, long systemnumber,
                     const std::function<void(long systemnumber)>& links = {});

// Deletes the game and its system-type and feature links; false when no
// game has that number.
bool DeleteGame(dao::Database& db, long systemnumber);

}  // namespace pl
