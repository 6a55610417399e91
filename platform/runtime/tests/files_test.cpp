#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>
#include <fstream>
#include <sstream>

#include "platform/runtime/Errors.h"
#include "platform/runtime/Files.h"

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
  unsetenv("TAVOLIN_HOME");
  EXPECT_NE(vb::ProgramFolder().find("/.local/share/tavolin"), std::string::npos);
  if (old) setenv("TAVOLIN_HOME", keep.c_str(), 1);
}

TEST_F(Files, ResolvePathIgnoresCaseAndBackslashes) {
  vb::MkDir("pics");
  Write(root_ + "/pics/x.jpg", "jpg");
  Write(root_ + "/Admin.sys", "a");
  EXPECT_EQ(vb::ResolvePath("PICS\\X.JPG"), root_ + "/pics/x.jpg");
  EXPECT_EQ(vb::ResolvePath(root_ + "\\Pics\\x.jpg"), root_ + "/pics/x.jpg");
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
  if (geteuid() == 0) GTEST_SKIP() << "root may write anywhere";
  vb::MkDir("locked");
  Write(root_ + "/a.txt", "a");
  ASSERT_EQ(chmod((root_ + "/locked").c_str(), 0555), 0);
  EXPECT_EQ(ErrorOf([] { vb::FileCopy("a.txt", "locked/a.txt"); }), vb::errPermissionDenied);
  EXPECT_EQ(ErrorOf([] { vb::MkDir("locked/sub"); }), vb::errPermissionDenied);
  chmod((root_ + "/locked").c_str(), 0755);
}
