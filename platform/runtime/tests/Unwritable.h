#pragma once
// Folders that take no new file, for tests of what the program does then,
// whoever runs the tests. Root ignores a folder's write bits, so for root
// the folder is also made immutable, which root honours; where the file
// system has no such flag, the test is run again, whole, as the
// unprivileged user "nobody" in a child process, and its result is the
// child's. Nothing is skipped. TVN_TEST_LOCK_AS_NOBODY=1 takes the
// child's way even where the flag works, to try that way.
//
//   TEST_F(X, Y) {
//     if (tvntest::RunAsNobodyInstead()) return;  // the child's result counts
//     ... set up ...
//     tvntest::UnwritableFolder locked(folder);
//     ASSERT_TRUE(locked.Holds()) << locked.How();
//     ... the part that needs the folder unwritable ...
//   }
#include <fcntl.h>
#include <gtest/gtest.h>
#include <linux/fs.h>
#include <sys/ioctl.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

namespace tvntest {

namespace unwritable_detail {

// Sets or clears the immutable flag of a folder; false when the file
// system or the process's rights do not allow it.
inline bool SetImmutable(const std::string& folder, bool on) {
  const int fd = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (fd < 0) return false;
  int flags = 0;
  bool ok = ::ioctl(fd, FS_IOC_GETFLAGS, &flags) == 0;
  if (ok) {
    flags = on ? (flags | FS_IMMUTABLE_FL) : (flags & ~FS_IMMUTABLE_FL);
    ok = ::ioctl(fd, FS_IOC_SETFLAGS, &flags) == 0;
  }
  ::close(fd);
  return ok;
}

// True when a new file can be made in the folder now (it is removed again).
inline bool TakesNewFile(const std::string& folder) {
  const std::string probe = folder + "/.unwritable-probe";
  const int fd = ::open(probe.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0600);
  if (fd < 0) return false;
  ::close(fd);
  ::unlink(probe.c_str());
  return true;
}

constexpr const char* kChildMark = "TVN_TEST_AS_NOBODY";

}  // namespace unwritable_detail

// Takes write access to a folder away until destroyed.
class UnwritableFolder {
 public:
  explicit UnwritableFolder(std::string folder) : folder_(std::move(folder)) {
    namespace fs = std::filesystem;
    std::error_code ec;
    fs::permissions(folder_, fs::perms::owner_write | fs::perms::group_write | fs::perms::others_write,
                    fs::perm_options::remove, ec);
    how_ = "write bits removed";
    if (::geteuid() == 0 && unwritable_detail::TakesNewFile(folder_)) {
      immutable_ = unwritable_detail::SetImmutable(folder_, true);
      how_ = immutable_ ? "made immutable" : "run as root on a file system without an immutable flag";
    }
  }
  ~UnwritableFolder() {
    if (immutable_) unwritable_detail::SetImmutable(folder_, false);
    std::error_code ec;
    std::filesystem::permissions(folder_, std::filesystem::perms::owner_write, std::filesystem::perm_options::add,
                                 ec);
  }
  UnwritableFolder(const UnwritableFolder&) = delete;
  UnwritableFolder& operator=(const UnwritableFolder&) = delete;

  bool Holds() const { return !unwritable_detail::TakesNewFile(folder_); }
  std::string How() const { return folder_ + ": " + how_; }

 private:
  std::string folder_;
  std::string how_;
  bool immutable_ = false;
};

// True when root can make a folder in the temporary folder immutable.
inline bool RootCanLockFolders() {
  static const bool can = [] {
    const std::string pattern = std::filesystem::temp_directory_path().string() + "/tvn-lock-probe-XXXXXX";
    std::vector<char> name(pattern.begin(), pattern.end());
    name.push_back('\0');
    if (!::mkdtemp(name.data())) return false;
    const std::string folder = name.data();
    bool locked = false;
    if (unwritable_detail::SetImmutable(folder, true)) {
      locked = !unwritable_detail::TakesNewFile(folder);
      unwritable_detail::SetImmutable(folder, false);
    }
    std::error_code ec;
    std::filesystem::remove_all(folder, ec);
    return locked;
  }();
  return can;
}

// For root where folders cannot be locked against root: runs the current
// test again in a child process as "nobody" (no groups) and records a
// failure unless it ran and passed there. Returns true when the caller is
// to end the test here; false when the test is to run in this process.
inline bool RunAsNobodyInstead() {
  if (const char* fd = std::getenv(unwritable_detail::kChildMark)) {
    // The child: tell the parent that the test did run here.
    const char ran = 'r';
    if (::write(std::atoi(fd), &ran, 1) != 1) ADD_FAILURE() << "the parent cannot be told that the test ran";
    return false;
  }
  if (::geteuid() != 0 || (!std::getenv("TVN_TEST_LOCK_AS_NOBODY") && RootCanLockFolders())) return false;
  const ::testing::TestInfo* info = ::testing::UnitTest::GetInstance()->current_test_info();
  const std::string filter = std::string("--gtest_filter=") + info->test_suite_name() + "." + info->name();
  std::error_code ec;
  const std::string self = std::filesystem::read_symlink("/proc/self/exe", ec).string();
  int ran[2];
  if (ec || self.empty() || ::pipe(ran) != 0) {
    ADD_FAILURE() << "run as root: the test cannot be run again as nobody";
    return true;
  }
  // Everything the child needs is made before the fork: it only changes
  // folder and starts the program.
  const std::string temp = std::filesystem::temp_directory_path().string();
  std::vector<std::string> env;
  for (char** e = environ; *e; ++e) {
    const std::string v = *e;
    if (v.rfind("HOME=", 0) != 0 && v.rfind(std::string(unwritable_detail::kChildMark) + "=", 0) != 0) env.push_back(v);
  }
  env.push_back("HOME=" + temp);
  env.push_back(std::string(unwritable_detail::kChildMark) + "=" + std::to_string(ran[1]));
  std::vector<char*> envp;
  for (std::string& v : env) envp.push_back(v.data());
  envp.push_back(nullptr);
  std::string setpriv = "/usr/bin/setpriv";
  if (::access(setpriv.c_str(), X_OK) != 0) setpriv = "/bin/setpriv";
  std::vector<std::string> args = {setpriv, "--reuid=nobody", "--regid=nogroup", "--clear-groups", self, filter};
  std::vector<char*> argv;
  for (std::string& a : args) argv.push_back(a.data());
  argv.push_back(nullptr);
  const pid_t pid = ::fork();
  if (pid == 0) {
    ::close(ran[0]);
    if (::chdir(temp.c_str()) != 0) ::_exit(126);
    ::execve(argv[0], argv.data(), envp.data());
    ::_exit(127);
  }
  ::close(ran[1]);
  int status = 0;
  const bool waited = pid > 0 && ::waitpid(pid, &status, 0) == pid;
  char mark = 0;
  const bool didRun = ::read(ran[0], &mark, 1) == 1;
  ::close(ran[0]);
  EXPECT_TRUE(waited && didRun && WIFEXITED(status) && WEXITSTATUS(status) == 0)
      << "run as root, the test was run again as nobody (setpriv) and "
      << (!didRun ? "did not run there" : "did not pass there") << "; exit status "
      << (WIFEXITED(status) ? WEXITSTATUS(status) : -1);
  return true;
}

}  // namespace tvntest
