#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>
#include <fstream>
#include <sstream>

#include "platform/runtime/Errors.h"
#include "platform/runtime/Files.h"
#include "platform/runtime/tests/Unwritable.h"

namespace {

int ErrorOf(const std::function<void()>& f) {
  try {
    f();
  } catch (const vb::RuntimeError& e) {
    return e.Number();
  }
  return 0;
}

void Write(const std::string& path, const std::string& text) { std::ofstream(path) << text; }

std::string Read(const std::string& path) {
  std::ifstream in(path);
  std::stringstream ss;
  ss << in.rdbuf();
  return ss.str();
}

// Each test runs in a fresh temporary folder that is also the current folder.
class Files : public ::testing::Test {
 protected:
  void SetUp() override {
    char tmpl[] = "/tmp/tvn-files-XXXXXX";
    root_ = mkdtemp(tmpl);
    old_ = vb::CurDir();
    vb::ChDir(root_);
  }
  void TearDown() override {
    vb::ChDir(old_);
    std::string cmd = "rm -rf '" + root_ + "'";
    ASSERT_EQ(std::system(cmd.c_str()), 0);
  }
  std::string root_, old_;
};

}  // namespace

TEST(ProgramFolder, FollowsEnvironment) {
  const char* old = std::getenv("TAVOLIN_HOME");
  std::string keep = old ? old : "";
  setenv("TAVOLIN_HOME", "/tmp/x", 1);
  EXPECT_EQ(vb::ProgramFolder(), "/tmp/x");
  // A relative one is the folder of that name where the program started,
  // also once the current folder has changed; its "\" is its own.
  const std::string started = vb::CurDir();
  setenv("TAVOLIN_HOME", "back\\slash", 1);
  EXPECT_EQ(vb::ProgramFolder(), started + "/back\\slash");
  vb::ChDir("/");
  EXPECT_EQ(vb::ProgramFolder(), started + "/back\\slash");
  vb::ChDir(started);
  unsetenv("TAVOLIN_HOME");
  EXPECT_NE(vb::ProgramFolder().find("/.local/share/tavolin"), std::string::npos);
  if (old) setenv("TAVOLIN_HOME", keep.c_str(), 1);
}

TEST_F(Files, ResolvePathIgnoresCaseAndBackslashes) {
  vb::MkDir("pics");
  Write(root_ + "/pics/x.jpg", "jpg");
  Write(root_ + "/Admin.sys", "a");
  EXPECT_EQ(vb::ResolvePath("PICS\\X.JPG"), root_ + "/pics/x.jpg");
  EXPECT_EQ(vb::ResolveIn(root_, "\\Pics\\x.jpg"), root_ + "/pics/x.jpg");
  EXPECT_EQ(vb::ResolvePath("admin.SYS"), root_ + "/Admin.sys");
  EXPECT_EQ(vb::ResolvePath("./pics/../ADMIN.sys"), root_ + "/Admin.sys");
  // Missing parts keep the name given, inside the folders that matched.
  EXPECT_EQ(vb::ResolvePath("PICS\\New.jpg"), root_ + "/pics/New.jpg");
  EXPECT_EQ(vb::ResolvePath("Other\\a.jpg"), root_ + "/Other/a.jpg");
  EXPECT_TRUE(vb::FileExists("Pics\\X.jpg"));
  EXPECT_FALSE(vb::FileExists("pics"));
  EXPECT_TRUE(vb::FolderExists("PICS"));
  EXPECT_FALSE(vb::FolderExists("admin.sys"));
  EXPECT_FALSE(vb::FileExists(""));
  // An exact match wins over another spelling.
  Write(root_ + "/admin.sys", "b");
  EXPECT_EQ(vb::ResolvePath("admin.sys"), root_ + "/admin.sys");
  EXPECT_EQ(vb::ResolvePath("Admin.sys"), root_ + "/Admin.sys");
}

TEST_F(Files, DirListsByPattern) {
  Write(root_ + "/AV30.MDB", "");
  Write(root_ + "/mygames.mdb", "");
  Write(root_ + "/admin.sys", "");
  Write(root_ + "/README", "");
  vb::MkDir("Pics");
  vb::MkDir("old.mdb");
  EXPECT_EQ(vb::Dir(root_, "*.mdb"), (std::vector<std::string>{"AV30.MDB", "mygames.mdb"}));
  EXPECT_EQ(vb::Dir(root_, "*.SYS"), (std::vector<std::string>{"admin.sys"}));
  EXPECT_EQ(vb::Dir(root_, "av??.mdb"), (std::vector<std::string>{"AV30.MDB"}));
  EXPECT_EQ(vb::Dir(root_, "*.*").size(), 4u);  // every file, README too
  EXPECT_EQ(vb::Dir(root_, "*", true), (std::vector<std::string>{"Pics", "old.mdb"}));
  EXPECT_EQ(vb::Dir("", "pics", true), (std::vector<std::string>{"Pics"}));
  EXPECT_TRUE(vb::Dir(root_ + "/missing", "*").empty());
  Write(root_ + "/a[1]#.txt", "");
  EXPECT_EQ(vb::Dir(root_, "a[1]#.txt"), (std::vector<std::string>{"a[1]#.txt"}));
}

TEST_F(Files, CopyNeverReplacesWithoutOverwrite) {
  Write(root_ + "/AdminE.sys", "template");
  Write(root_ + "/Admin.sys", "user data");
  EXPECT_FALSE(vb::FileCopy("adminE.sys", "ADMIN.SYS", false));
  EXPECT_EQ(Read(root_ + "/Admin.sys"), "user data");
  EXPECT_TRUE(vb::FileCopy("AdminE.sys", "new.sys", false));
  EXPECT_EQ(Read(root_ + "/new.sys"), "template");
  EXPECT_TRUE(vb::FileCopy("AdminE.sys", "admin.sys", true));
  EXPECT_EQ(Read(root_ + "/Admin.sys"), "template");
  // Nothing half-made is left beside the target.
  EXPECT_EQ(vb::Dir(root_, "*").size(), 3u);
  EXPECT_EQ(ErrorOf([] { vb::FileCopy("missing.mdb", "x.mdb"); }), vb::errFileNotFound);
  EXPECT_EQ(ErrorOf([] { vb::FileCopy("AdminE.sys", "nofolder/x.sys"); }), vb::errPathNotFound);
  vb::MkDir("sub");
  EXPECT_EQ(ErrorOf([] { vb::FileCopy("AdminE.sys", "sub"); }), vb::errPathFileAccess);
}

TEST_F(Files, KillNameAndFolders) {
  Write(root_ + "/Temp.mdb", "compacted");
  Write(root_ + "/av30.mdb", "old");
  vb::Name("temp.MDB", "AV30.mdb");  // over the existing file, keeping its spelling
  EXPECT_EQ(Read(root_ + "/av30.mdb"), "compacted");
  EXPECT_FALSE(vb::FileExists("temp.mdb"));
  EXPECT_EQ(ErrorOf([] { vb::Name("temp.mdb", "x.mdb"); }), vb::errFileNotFound);
  EXPECT_EQ(ErrorOf([] { vb::Name("av30.mdb", "nofolder/x.mdb"); }), vb::errPathNotFound);

  vb::Kill("AV30.MDB");
  EXPECT_FALSE(vb::FileExists("av30.mdb"));
  EXPECT_EQ(ErrorOf([] { vb::Kill("av30.mdb"); }), vb::errFileNotFound);
  Write(root_ + "/a.tmp", "");
  Write(root_ + "/B.TMP", "");
  Write(root_ + "/c.txt", "");
  vb::Kill("*.tmp");
  EXPECT_EQ(vb::Dir(root_, "*"), (std::vector<std::string>{"c.txt"}));
  EXPECT_EQ(ErrorOf([] { vb::Kill("*.tmp"); }), vb::errFileNotFound);

  // The single-file delete reads "*" and "?" as the name's own characters.
  Write(root_ + "/*.txt", "");
  Write(root_ + "/d?.txt", "");
  vb::KillFile("*.txt");
  EXPECT_EQ(vb::Dir(root_, "*"), (std::vector<std::string>{"c.txt", "d?.txt"}));
  EXPECT_EQ(ErrorOf([] { vb::KillFile("d*.txt"); }), vb::errFileNotFound);
  vb::KillFile("D?.TXT");
  EXPECT_EQ(vb::Dir(root_, "*"), (std::vector<std::string>{"c.txt"}));
  vb::Kill("c.txt");

  vb::MkDir("Pics");
  EXPECT_EQ(ErrorOf([] { vb::MkDir("PICS"); }), vb::errPathFileAccess);
  EXPECT_EQ(ErrorOf([] { vb::MkDir("no/such/folder"); }), vb::errPathNotFound);
  vb::ChDir("pics");
  EXPECT_EQ(vb::CurDir(), root_ + "/Pics");
  EXPECT_EQ(vb::ResolvePath("x.jpg"), root_ + "/Pics/x.jpg");
  EXPECT_EQ(ErrorOf([] { vb::ChDir("nowhere"); }), vb::errPathNotFound);
  vb::ChDir("..");
  EXPECT_EQ(vb::CurDir(), root_);
}

TEST_F(Files, PermissionDenied) {
  if (tvntest::RunAsNobodyInstead()) return;
  vb::MkDir("locked");
  Write(root_ + "/a.txt", "a");
  {
    tvntest::UnwritableFolder locked(root_ + "/locked");
    ASSERT_TRUE(locked.Holds()) << locked.How();
    EXPECT_EQ(ErrorOf([] { vb::FileCopy("a.txt", "locked/a.txt"); }), vb::errPermissionDenied);
    EXPECT_EQ(ErrorOf([] { vb::MkDir("locked/sub"); }), vb::errPermissionDenied);
  }
  EXPECT_TRUE(vb::Dir(root_ + "/locked", "*").empty());
}

// The data folder's own name is the system's: a "\" in it is a character
// of the name. Only in the names the program keeps is it a separator.
TEST_F(Files, BackslashSeparatesOnlyInKeptNames) {
  const std::string folder = root_ + "/back\\slash";
  ASSERT_EQ(mkdir(folder.c_str(), 0777), 0);
  ASSERT_EQ(mkdir((folder + "/Pics").c_str(), 0777), 0);
  Write(folder + "/Pics/x.jpg", "jpg");
  Write(folder + "/AV30.mdb", "db");
  EXPECT_EQ(vb::ResolvePath(folder), folder);
  EXPECT_EQ(vb::ResolvePath(folder + "/av30.MDB"), folder + "/AV30.mdb");
  EXPECT_TRUE(vb::FolderExists(folder));
  EXPECT_TRUE(vb::FileExists(folder + "/AV30.mdb"));
  EXPECT_EQ(vb::Dir(folder, "*.mdb"), (std::vector<std::string>{"AV30.mdb"}));
  // A kept name inside it: its "\" separates, the folder's does not.
  EXPECT_EQ(vb::ResolveIn(folder, "pics\\X.JPG"), folder + "/Pics/x.jpg");
  EXPECT_EQ(vb::ResolveIn(folder, "pics\\new.jpg"), folder + "/Pics/new.jpg");
  EXPECT_EQ(vb::ResolveIn(folder, "\\pics\\x.jpg"), folder + "/Pics/x.jpg");
  // Relative to it as the current folder, the kept names resolve inside it.
  vb::ChDir(folder);
  EXPECT_EQ(vb::CurDir(), folder);
  EXPECT_EQ(vb::ResolvePath("PICS\\x.jpg"), folder + "/Pics/x.jpg");
  vb::FileCopy("av30.mdb", "Copy.mdb", false);
  EXPECT_EQ(Read(folder + "/Copy.mdb"), "db");
  vb::MkDir("sub");
  EXPECT_TRUE(vb::FolderExists(folder + "/sub"));
  // A whole path kept as typed reads "\" as "/", unless it is there as written.
  EXPECT_EQ(vb::ResolveKept(root_ + "\\back\\slash\\pics\\x.jpg"), root_ + "/back/slash/pics/x.jpg");
  EXPECT_EQ(vb::ResolveKept(folder + "/pics/X.jpg"), folder + "/Pics/x.jpg");
  EXPECT_EQ(vb::ResolveKept(folder), folder);
  ASSERT_EQ(mkdir((root_ + "/Docs").c_str(), 0777), 0);
  Write(root_ + "/Docs/Track.MP3", "");
  EXPECT_EQ(vb::ResolveKept(root_ + "\\docs\\track.mp3"), root_ + "/Docs/Track.MP3");
  // A folder that is not there yet keeps its name whole.
  EXPECT_EQ(vb::ResolvePath(root_ + "/new\\one/AV30.mdb"), root_ + "/new\\one/AV30.mdb");
  vb::ChDir(root_);
  for (const std::string& name : {std::string("it's \"quoted\""), std::string("  spaced  out  "),
                                  std::string("Éditions à part"), std::string("日本語 папка ελληνικά"),
                                  std::string("[x] #1 a*b?")}) {
    const std::string odd = root_ + "/" + name;
    ASSERT_EQ(mkdir(odd.c_str(), 0777), 0) << name;
    Write(odd + "/Admin.sys", name);
    EXPECT_EQ(vb::ResolvePath(odd + "/ADMIN.SYS"), odd + "/Admin.sys") << name;
    EXPECT_EQ(vb::Dir(odd, "admin.sys"), (std::vector<std::string>{"Admin.sys"})) << name;
    vb::FileCopy(odd + "/admin.sys", odd + "/copy.sys", false);
    EXPECT_EQ(Read(odd + "/copy.sys"), name);
  }
}

// Anything of the name counts as there, a link that points nowhere too.
TEST_F(Files, EntryExistsInAnyForm) {
  Write(root_ + "/File.mdb", "");
  vb::MkDir("Folder.mdb");
  ASSERT_EQ(symlink((root_ + "/nowhere/gone.mdb").c_str(), (root_ + "/Linked.mdb").c_str()), 0);
  for (const char* name : {"File.mdb", "file.MDB", "Folder.mdb", "Linked.mdb", "LINKED.mdb"})
    EXPECT_TRUE(vb::EntryExists(root_, name)) << name;
  EXPECT_FALSE(vb::EntryExists(root_, "Other.mdb"));
  EXPECT_FALSE(vb::EntryExists(root_, ""));
  EXPECT_FALSE(vb::FileExists("Linked.mdb"));
}
