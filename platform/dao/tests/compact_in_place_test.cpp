// Compacting a file in place: a process killed at any moment of the rewrite
// leaves the file whole, with every row, and nothing beside it once the file
// is opened again.
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <random>
#include <thread>

#include "platform/dao/tests/DaoTestUtil.h"

namespace {

using daotest::DaoTest;
using dao::DBEngine;

// What the sqlite3 tool prints for a script run on file.
std::string Tool(const std::string& file, const std::string& sql) {
  const std::string command = "sqlite3 '" + file + "' \"" + sql + "\" 2>&1";
  std::string out;
  if (FILE* p = popen(command.c_str(), "r")) {
    char buffer[256];
    while (size_t n = fread(buffer, 1, sizeof buffer, p)) out.append(buffer, n);
    pclose(p);
  }
  return out;
}

std::vector<std::string> FolderNames(const std::string& dir) {
  std::vector<std::string> names;
  for (const auto& e : std::filesystem::directory_iterator(dir)) names.push_back(e.path().filename().string());
  std::sort(names.begin(), names.end());
  return names;
}

// True when a rollback journal starts with the header of a change that
// the engine would undo at the next opening.
bool HoldsAChange(const std::string& journal) {
  static const unsigned char kMagic[8] = {0xd9, 0xd5, 0x05, 0xf9, 0x20, 0xa1, 0x63, 0xd7};
  std::ifstream in(journal, std::ios::binary);
  unsigned char head[8] = {};
  in.read(reinterpret_cast<char*>(head), 8);
  return in.gcount() == 8 && std::memcmp(head, kMagic, 8) == 0;
}

TEST_F(DaoTest, AKilledCompactionLosesNothingAndLeavesNothingBehind) {
  auto db = Create();
  db->Execute("create table items (name varchar(50), notes text)");
  db->Execute("create index items_name on items (name)");
  db->BeginTrans();
  for (int i = 0; i < 12000; ++i)
    db->Execute("insert into items (name, notes) values ('Item " + std::to_string(i) + "', '" +
                std::string(400 + i % 300, 'x') + "')");
  db->CommitTrans();
  db->Execute("delete * from items where name > 'Item 5'");
  db->Close();
  const std::string file = Path("t.mdb");
  const std::string content = "select count(*), sum(length(notes)), max(name) from items;";
  const std::string expected = Tool(file, content);
  ASSERT_NE(expected.find('|'), std::string::npos) << expected;

  const auto size = std::filesystem::file_size(file);
  std::mt19937 random(2024);
  int interrupted = 0;
  for (int round = 0; round < 6; ++round) {
    SCOPED_TRACE(round);
    const pid_t child = fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
      try {
        DBEngine::CompactInPlace(file);
      } catch (...) {
        _exit(1);
      }
      _exit(0);
    }
    // Killed once the rewrite has begun (its journal is there), a moment in.
    const auto until = std::chrono::steady_clock::now() + std::chrono::seconds(10);
    while (!std::filesystem::exists(file + "-journal") && std::chrono::steady_clock::now() < until &&
           waitpid(child, nullptr, WNOHANG) == 0)
      std::this_thread::sleep_for(std::chrono::microseconds(200));
    std::this_thread::sleep_for(std::chrono::microseconds(random() % 40000));
    kill(child, SIGKILL);
    int status = 0;
    waitpid(child, &status, 0);
    if (WIFSIGNALED(status)) ++interrupted;

    // The next opening puts the file back as it was before the rewrite. A
    // journal killed before it held anything may stay: the engine reads
    // nothing from it and the next write of the file removes it.
    DBEngine::Workspaces(0).OpenDatabase(file)->Close();
    const std::vector<std::string> names = FolderNames(dir_);
    if (names.size() == 2 && names[1] == "t.mdb-journal")
      EXPECT_FALSE(HoldsAChange(file + "-journal"));
    else
      EXPECT_EQ(names, std::vector<std::string>{"t.mdb"});
    EXPECT_EQ(Tool(file, content), expected);
    EXPECT_EQ(Tool(file, "pragma integrity_check;"), "ok\n");
  }
  EXPECT_GT(interrupted, 0);
  // An uninterrupted one compacts and keeps every row.
  DBEngine::CompactInPlace(file);
  EXPECT_LT(std::filesystem::file_size(file), size);
  EXPECT_EQ(Tool(file, content), expected);
  EXPECT_EQ(FolderNames(dir_), std::vector<std::string>{"t.mdb"});
}

}  // namespace
