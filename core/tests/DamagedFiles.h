#pragma once
// Files damaged the ways users meet them, for the tests of what the
// program does when it finds one where a collection or a list should be:
// random bytes, a file cut short, a database of another program, a folder
// in the file's place, and a file another program holds locked.
#include <spawn.h>
#include <sqlite3.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <random>
#include <string>
#include <thread>
#include <vector>

#include "platform/dao/Dao.h"

extern char** environ;

namespace tvn::testing {

enum class Damage { RandomBytes, CutShort, OtherTables, OtherProgram, Folder };

inline const char* DamageName(Damage d) {
  switch (d) {
    case Damage::RandomBytes: return "RandomBytes";
    case Damage::CutShort: return "CutShort";
    case Damage::OtherTables: return "OtherTables";
    case Damage::OtherProgram: return "OtherProgram";
    case Damage::Folder: return "Folder";
  }
  return "";
}

// Replaces whatever is at path (a sound database for CutShort) by the damage.
inline void MakeDamaged(const std::string& path, Damage d) {
  namespace fs = std::filesystem;
  switch (d) {
    case Damage::RandomBytes: {
      fs::remove_all(path);
      std::mt19937 bytes(7);
      std::ofstream out(path, std::ios::binary);
      for (int i = 0; i < 20000; ++i) out.put(static_cast<char>(bytes() & 0xFF));
      break;
    }
    case Damage::CutShort: {
      // Big enough that the first pages alone still open.
      auto db = dao::DBEngine::Workspaces(0).OpenDatabase(path);
      db->Execute("create table padding (t text)");
      for (int i = 0; i < 200; ++i) db->Execute("insert into padding (t) values ('" + std::string(400, 'p') + "')");
      db->Close();
      fs::resize_file(path, fs::file_size(path) / 2);
      break;
    }
    case Damage::OtherTables: {
      fs::remove_all(path);
      auto db = dao::DBEngine::Workspaces(0).CreateDatabase(path);
      db->Execute("create table invoices (number long, total double)");
      db->Execute("insert into invoices (number, total) values (1, 9.5)");
      db->Close();
      break;
    }
    case Damage::OtherProgram: {
      // As another program writes its own file: an index under NOCASE, its
      // user_version left at 0, not one table of ours.
      fs::remove_all(path);
      sqlite3* raw = nullptr;
      sqlite3_open(path.c_str(), &raw);
      sqlite3_exec(raw,
                   "CREATE TABLE contacts (name TEXT COLLATE NOCASE);"
                   "CREATE INDEX contacts_name ON contacts (name); INSERT INTO contacts VALUES ('Zoe'), ('adam');",
                   nullptr, nullptr, nullptr);
      sqlite3_close(raw);
      break;
    }
    case Damage::Folder:
      fs::remove_all(path);
      fs::create_directory(path);
      fs::create_directory(path + "/inside");
      break;
  }
}

// A file of another program that looks like one of ours by its table
// names: written through the engine as another program writes, its
// user_version left at 0. sql makes its tables (and rows).
inline void MakeLookAlike(const std::string& path, const std::string& sql) {
  std::filesystem::remove_all(path);
  sqlite3* raw = nullptr;
  sqlite3_open(path.c_str(), &raw);
  sqlite3_exec(raw, sql.c_str(), nullptr, nullptr, nullptr);
  sqlite3_close(raw);
}

// The lines the sqlite3 tool prints for sql on the file, read only.
inline std::vector<std::string> AskTheTool(const std::string& path, const std::string& sql) {
  const std::string command = "sqlite3 -readonly '" + path + "' \"" + sql + "\"";
  std::vector<std::string> lines;
  if (FILE* out = ::popen(command.c_str(), "r")) {
    char line[256];
    while (std::fgets(line, sizeof line, out)) {
      std::string l(line);
      while (!l.empty() && (l.back() == '\n' || l.back() == '\r')) l.pop_back();
      lines.push_back(l);
    }
    ::pclose(out);
  }
  return lines;
}

// Which page of a table's pages is overwritten.
enum class DamagedPage { Root, MiddleLeaf };

// Gives the item table of a sound collection (media or game) rows enough
// for many pages, then overwrites one page of that table, found with the
// sqlite3 tool, with bytes no page of the engine starts with. The schema
// stays readable. Returns the page's number.
inline long DamageItemPages(const std::string& path, DamagedPage which) {
  sqlite3* raw = nullptr;
  sqlite3_open(path.c_str(), &raw);
  sqlite3_exec(raw,
               "WITH RECURSIVE c(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM c WHERE i < 600) "
               "INSERT INTO mediadata (name, sectionnumber, notes) "
               "SELECT 'Item ' || i, 1 + i % 6, hex(zeroblob(150)) FROM c",
               nullptr, nullptr, nullptr);
  sqlite3_close(raw);
  const long pageSize = std::stol(AskTheTool(path, "pragma page_size").at(0));
  const std::vector<std::string> pages =
      which == DamagedPage::Root
          ? AskTheTool(path, "select rootpage from sqlite_master where name = 'mediadata'")
          : AskTheTool(path, "select pageno from dbstat where name = 'mediadata' and pagetype = 'leaf' order by pageno");
  const long page = std::stol(pages.at(pages.size() / 2));
  std::fstream file(path, std::ios::binary | std::ios::in | std::ios::out);
  file.seekp((page - 1) * pageSize);
  const std::string garbage(static_cast<size_t>(pageSize), '\x2a');
  file.write(garbage.data(), static_cast<std::streamsize>(garbage.size()));
  return page;
}

// Where a collection of rows is damaged under a schema that reads well.
enum class DamagedPart { NameIndex, RowBackHalf, NoteOverflow, LastRowLeaf, ListIndex, OtherIndex };

inline const char* PartName(DamagedPart d) {
  switch (d) {
    case DamagedPart::NameIndex: return "NameIndex";
    case DamagedPart::RowBackHalf: return "RowBackHalf";
    case DamagedPart::NoteOverflow: return "NoteOverflow";
    case DamagedPart::LastRowLeaf: return "LastRowLeaf";
    case DamagedPart::ListIndex: return "ListIndex";
    case DamagedPart::OtherIndex: return "OtherIndex";
  }
  return "";
}

// Gives a sound collection (media or game) `rows` items over the sections,
// one of them with a note longer than a page, then overwrites, found with
// the sqlite3 tool: a middle leaf of the (section, name) index, the back
// half of a middle leaf of the item table, a middle page of the long
// note, the leaf that holds the highest key, a middle leaf of a list's
// index (the media artists' names, the games' system-type links, each
// given `rows` entries) or of the item table's index on its first lookup
// column (artist1, publisher), given values.
inline void DamageCollection(const std::string& path, DamagedPart part, int rows = 5000) {
  sqlite3* raw = nullptr;
  sqlite3_open(path.c_str(), &raw);
  const std::string n = std::to_string(rows);
  sqlite3_exec(raw,
               ("WITH RECURSIVE c(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM c WHERE i < " + n +
                ") INSERT INTO mediadata (name, sectionnumber, notes) SELECT 'Item ' || i, 1 + i % 6, "
                "CASE WHEN i = " + std::to_string(rows / 2) + " THEN hex(zeroblob(20000)) ELSE 'Note ' || i END FROM c")
                   .c_str(),
               nullptr, nullptr, nullptr);
  // Only the statements of the collection's own kind succeed.
  const std::string count = "WITH RECURSIVE c(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM c WHERE i < " + n + ") ";
  if (part == DamagedPart::ListIndex) {
    sqlite3_exec(raw, (count + "INSERT INTO artists (artist_name) SELECT 'Artist ' || i FROM c").c_str(), nullptr,
                 nullptr, nullptr);
    sqlite3_exec(raw, (count + "INSERT INTO systypemedia (systemnumber, systypeid) SELECT i, 1 + i % 3 FROM c").c_str(),
                 nullptr, nullptr, nullptr);
  }
  if (part == DamagedPart::OtherIndex) {
    sqlite3_exec(raw, "UPDATE mediadata SET artist1 = 'Artist ' || (_rowid_ % 97)", nullptr, nullptr, nullptr);
    sqlite3_exec(raw, "UPDATE mediadata SET publisher = _rowid_ % 97", nullptr, nullptr, nullptr);
  }
  sqlite3_close(raw);
  const long pageSize = std::stol(AskTheTool(path, "pragma page_size").at(0));
  std::string sql;
  switch (part) {
    case DamagedPart::NameIndex:
      sql = "select pageno from dbstat where name = 'mediadata.SectionName' and pagetype = 'leaf' order by pageno";
      break;
    case DamagedPart::RowBackHalf:
    case DamagedPart::LastRowLeaf:
      sql = "select pageno from dbstat where name = 'mediadata' and pagetype = 'leaf' order by path";
      break;
    case DamagedPart::NoteOverflow:
      sql = "select pageno from dbstat where name = 'mediadata' and pagetype = 'overflow' order by path";
      break;
    case DamagedPart::ListIndex:
      sql = "select pageno from dbstat where name in ('artists.artist_name', 'systypemedia.systemnumber') and "
            "pagetype = 'leaf' order by path";
      break;
    case DamagedPart::OtherIndex:
      sql = "select pageno from dbstat where name in ('mediadata.artist1', 'mediadata.publisher') and "
            "pagetype = 'leaf' order by path";
      break;
  }
  const std::vector<std::string> pages = AskTheTool(path, sql);
  const long page = std::stol(part == DamagedPart::LastRowLeaf ? pages.back() : pages.at(pages.size() / 2));
  const long from = part == DamagedPart::RowBackHalf ? pageSize / 2 : 0;
  std::fstream file(path, std::ios::binary | std::ios::in | std::ios::out);
  file.seekp((page - 1) * pageSize + from);
  const std::string garbage(static_cast<size_t>(pageSize - from), '\x2a');
  file.write(garbage.data(), static_cast<std::streamsize>(garbage.size()));
}

// Damage that comes while the program has the file open (a failing disk,
// another program gone wrong): every leaf page of the table (or index) is
// overwritten, and the file's change counter moved on,
// as any writer moves it, so that no reader keeps the pages it read
// before. The schema stays readable.
inline void DamageLeavesNow(const std::string& path, const std::string& btree) {
  const long pageSize = std::stol(AskTheTool(path, "pragma page_size").at(0));
  const std::vector<std::string> pages =
      AskTheTool(path, "select pageno from dbstat where name = '" + btree + "' and pagetype = 'leaf'");
  std::fstream file(path, std::ios::binary | std::ios::in | std::ios::out);
  const std::string garbage(static_cast<size_t>(pageSize), '\x2a');
  for (const std::string& p : pages) {
    file.seekp((std::stol(p) - 1) * pageSize);
    file.write(garbage.data(), static_cast<std::streamsize>(garbage.size()));
  }
  unsigned char header[100] = {};
  file.seekg(0);
  file.read(reinterpret_cast<char*>(header), sizeof header);
  for (int at : {24, 92}) {
    std::uint32_t v = (std::uint32_t(header[at]) << 24) | (std::uint32_t(header[at + 1]) << 16) |
                      (std::uint32_t(header[at + 2]) << 8) | header[at + 3];
    ++v;
    for (int b = 0; b < 4; ++b) header[at + b] = static_cast<unsigned char>(v >> (24 - 8 * b));
  }
  file.seekp(0);
  file.write(reinterpret_cast<const char*>(header), sizeof header);
}

// What is at path: the bytes of a file, or "<folder>".
inline std::string Content(const std::string& path) {
  if (std::filesystem::is_directory(path)) return "<folder>";
  std::ifstream in(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), {});
}

// Another program holding the file locked (the standard sqlite3 shell in an
// exclusive transaction) for the life of the object.
class LockedByAnotherProgram {
 public:
  explicit LockedByAnotherProgram(const std::string& path) {
    const std::string flag = path + ".locked-flag";
    std::filesystem::remove(flag);
    int fds[2];
    if (::pipe(fds) != 0) return;
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, fds[0], 0);
    posix_spawn_file_actions_addclose(&actions, fds[1]);
    const std::string shell = ".shell touch '" + flag + "'";
    const char* argv[] = {"sqlite3", "-cmd", "BEGIN EXCLUSIVE;", "-cmd", shell.c_str(), path.c_str(), nullptr};
    if (posix_spawnp(&pid_, "sqlite3", &actions, nullptr, const_cast<char**>(argv), environ) != 0) pid_ = -1;
    posix_spawn_file_actions_destroy(&actions);
    ::close(fds[0]);
    input_ = fds[1];
    const auto until = std::chrono::steady_clock::now() + std::chrono::seconds(20);
    while (pid_ > 0 && !std::filesystem::exists(flag) && std::chrono::steady_clock::now() < until)
      std::this_thread::sleep_for(std::chrono::milliseconds(10));
    locked_ = std::filesystem::exists(flag);
    std::filesystem::remove(flag);
  }
  ~LockedByAnotherProgram() {
    if (input_ >= 0) ::close(input_);  // end of input: the shell rolls back and ends
    if (pid_ > 0) ::waitpid(pid_, nullptr, 0);
  }
  LockedByAnotherProgram(const LockedByAnotherProgram&) = delete;
  LockedByAnotherProgram& operator=(const LockedByAnotherProgram&) = delete;
  bool Locked() const { return locked_; }

 private:
  pid_t pid_ = -1;
  int input_ = -1;
  bool locked_ = false;
};

}  // namespace tvn::testing
