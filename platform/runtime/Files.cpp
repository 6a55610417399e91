#include "platform/runtime/Files.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <vector>

#include "platform/runtime/Errors.h"
#include "platform/runtime/Functions.h"
#include "platform/runtime/TextFold.h"

namespace vb {

std::string ProgramFolder() {
  if (const char* h = std::getenv("TAVOLIN_HOME"); h && *h) {
    if (*h == '/') return h;
    // A relative folder is taken from where the program started, once: the
    // current folder changes to the data folder itself.
    static std::string given, absolute;
    if (given != h) {
      given = h;
      std::vector<char> buf(4096);
      bool ok = false;
      while (!(ok = ::getcwd(buf.data(), buf.size()) != nullptr) && errno == ERANGE) buf.resize(buf.size() * 2);
      absolute = ok ? std::string(buf.data()) + "/" + given : given;
    }
    return absolute;
  }
  const char* home = std::getenv("HOME");
  return std::string(home ? home : ".") + "/.local/share/tavolin";
}

namespace {

bool StatOk(const std::string& p, struct stat& st) { return ::stat(p.c_str(), &st) == 0; }

bool IsFolder(const std::string& p) {
  struct stat st;
  return StatOk(p, st) && S_ISDIR(st.st_mode);
}

bool IsFile(const std::string& p) {
  struct stat st;
  return StatOk(p, st) && S_ISREG(st.st_mode);
}

bool Exists(const std::string& p) {
  struct stat st;
  return ::lstat(p.c_str(), &st) == 0;
}

std::vector<std::string> Entries(const std::string& folder) {
  std::vector<std::string> names;
  DIR* d = ::opendir(folder.empty() ? "." : folder.c_str());
  if (!d) return names;
  while (dirent* e = ::readdir(d)) {
    std::string n = e->d_name;
    if (n != "." && n != "..") names.push_back(n);
  }
  ::closedir(d);
  std::sort(names.begin(), names.end());
  return names;
}

std::string Join(const std::string& folder, const std::string& name) {
  if (folder.empty()) return name;
  if (folder.back() == '/') return folder + name;
  return folder + "/" + name;
}

std::string ParentOf(const std::string& path) {
  size_t slash = path.find_last_of('/');
  if (slash == std::string::npos) return ".";
  if (slash == 0) return "/";
  return path.substr(0, slash);
}

std::string BaseName(const std::string& path) {
  size_t slash = path.find_last_of('/');
  return slash == std::string::npos ? path : path.substr(slash + 1);
}

[[noreturn]] void RaiseErrno(int err, int notFound = errFileNotFound) {
  switch (err) {
    case ENOENT: Raise(notFound);
    case ENOTDIR: Raise(errPathNotFound);
    case EACCES:
    case EPERM:
    case EROFS:
    case ETXTBSY:
    case EBUSY: Raise(errPermissionDenied);
    case EEXIST: Raise(errFileAlreadyExists);
    default: Raise(errPathFileAccess);
  }
}

bool HasWildcard(const std::string& s) { return s.find_first_of("*?") != std::string::npos; }

// * and ? matched without regard to case; "*.*" is every name, with or
// without a point, as the old system read it.
bool NameMatches(const std::string& name, const std::string& pattern) {
  if (pattern.empty() || pattern == "*" || pattern == "*.*") return true;
  std::string p;
  for (char c : pattern) {
    if (c == '[' || c == '#') { p += '['; p += c; p += ']'; }
    else p += c;
  }
  return Like(name, p, true);
}

// Copies the bytes of one file into a new file; the new file is removed
// again when anything fails.
void CopyBytes(const std::string& from, const std::string& to) {
  int in = ::open(from.c_str(), O_RDONLY | O_CLOEXEC);
  if (in < 0) RaiseErrno(errno);
  struct stat st;
  ::fstat(in, &st);
  int out = ::open(to.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, st.st_mode & 0777);
  if (out < 0) {
    int err = errno;
    ::close(in);
    RaiseErrno(err, errPathNotFound);
  }
  std::vector<char> buf(1 << 16);
  int err = 0;
  for (;;) {
    ssize_t n = ::read(in, buf.data(), buf.size());
    if (n < 0) {
      if (errno == EINTR) continue;
      err = errno;
      break;
    }
    if (n == 0) break;
    for (ssize_t done = 0; done < n;) {
      ssize_t w = ::write(out, buf.data() + done, static_cast<size_t>(n - done));
      if (w < 0) {
        if (errno == EINTR) continue;
        err = errno;
        break;
      }
      done += w;
    }
    if (err) break;
  }
  if (!err && ::fsync(out) != 0) err = errno;
  if (::close(out) != 0 && !err) err = errno;
  ::close(in);
  if (err) {
    ::unlink(to.c_str());
    RaiseErrno(err);
  }
}

std::string TempNameBeside(const std::string& target) {
  static unsigned counter = 0;
  return Join(ParentOf(target), ".tvn-" + std::to_string(::getpid()) + "-" + std::to_string(++counter) + ".tmp");
}

}  // namespace

namespace {

std::vector<std::string> SplitOnSlash(const std::string& s) {
  std::vector<std::string> parts;
  for (size_t i = 0; i <= s.size();) {
    size_t j = s.find('/', i);
    if (j == std::string::npos) j = s.size();
    if (j > i) parts.push_back(s.substr(i, j - i));
    i = j + 1;
  }
  return parts;
}

std::string BackslashesAsSlashes(std::string s) {
  for (char& c : s)
    if (c == '\\') c = '/';
  return s;
}

// Walks the parts from the folder cur, each matched exactly or else without
// regard to case; from the first part nothing matches the rest is kept as
// given. Only "/" separates here: whatever a part holds is its own name.
std::string Walk(std::string cur, const std::vector<std::string>& parts, bool trailingSlash) {
  for (size_t k = 0; k < parts.size(); ++k) {
    const std::string& part = parts[k];
    if (part == ".") continue;
    if (part == "..") { cur = ParentOf(cur); continue; }
    std::string exact = Join(cur, part);
    if (Exists(exact)) { cur = exact; continue; }
    std::string found;
    if (IsFolder(cur)) {
      for (const std::string& e : Entries(cur))
        if (CompareNoCase(e, part) == 0) { found = e; break; }
    }
    if (found.empty()) {
      for (size_t r = k; r < parts.size(); ++r) cur = Join(cur, parts[r]);
      if (trailingSlash) cur += '/';
      return cur;
    }
    cur = Join(cur, found);
  }
  return cur;
}

// A folder as the system gave it, made absolute against the current folder.
std::string SystemFolder(const std::string& folder) {
  if (folder.empty()) return CurDir();
  if (folder[0] == '/') return Walk("/", SplitOnSlash(folder), false);
  return Walk(CurDir(), SplitOnSlash(folder), false);
}

}  // namespace

std::string ResolvePath(const std::string& name) {
  if (name.empty()) return name;
  if (name[0] == '/') return Walk("/", SplitOnSlash(name), name.back() == '/');
  const std::string s = BackslashesAsSlashes(name);
  if (s[0] == '/') return Walk("/", SplitOnSlash(s), s.back() == '/');
  return Walk(CurDir(), SplitOnSlash(s), s.back() == '/');
}

std::string ResolveIn(const std::string& folder, const std::string& stored) {
  const std::string s = BackslashesAsSlashes(stored);
  return Walk(SystemFolder(folder), SplitOnSlash(s), !s.empty() && s.back() == '/');
}

std::string ResolveKept(const std::string& path) {
  const std::string s = BackslashesAsSlashes(path);
  if (s != path && path[0] == '/') {
    const std::string literal = ResolvePath(path);
    if (Exists(literal)) return literal;
  }
  return ResolvePath(s);
}

bool FileExists(const std::string& name) { return !name.empty() && IsFile(ResolvePath(name)); }
bool FolderExists(const std::string& name) { return !name.empty() && IsFolder(ResolvePath(name)); }

bool EntryExists(const std::string& folder, const std::string& name) {
  if (name.empty()) return false;
  const std::string f = SystemFolder(folder);
  if (Exists(Join(f, name))) return true;
  for (const std::string& e : Entries(f))
    if (CompareNoCase(e, name) == 0) return true;
  return false;
}

std::vector<std::string> Dir(const std::string& folder, const std::string& pattern, bool folders) {
  std::string f = folder.empty() ? CurDir() : ResolvePath(folder);
  std::vector<std::string> out;
  if (!IsFolder(f)) return out;
  for (const std::string& e : Entries(f)) {
    if (!NameMatches(e, pattern)) continue;
    std::string full = Join(f, e);
    if (folders ? IsFolder(full) : IsFile(full)) out.push_back(e);
  }
  return out;
}

bool FileCopy(const std::string& source, const std::string& target, bool overwrite) {
  std::string from = ResolvePath(source);
  struct stat st;
  if (!StatOk(from, st)) RaiseErrno(errno);
  if (!S_ISREG(st.st_mode)) Raise(errPathFileAccess);
  std::string to = ResolvePath(target);
  if (IsFolder(to)) Raise(errPathFileAccess);
  if (!overwrite && Exists(to)) return false;
  if (!IsFolder(ParentOf(to))) Raise(errPathNotFound);

  // Copy beside the target, then move it into place in one step, so the
  // target is never seen half written; without overwrite the final step
  // refuses to replace a file that appeared meanwhile.
  std::string tmp = TempNameBeside(to);
  CopyBytes(from, tmp);
  if (overwrite) {
    if (::rename(tmp.c_str(), to.c_str()) != 0) {
      int err = errno;
      ::unlink(tmp.c_str());
      RaiseErrno(err);
    }
    return true;
  }
  if (::link(tmp.c_str(), to.c_str()) == 0) {
    ::unlink(tmp.c_str());
    return true;
  }
  int err = errno;
  if (err == EEXIST) {
    ::unlink(tmp.c_str());
    return false;
  }
  // File systems without hard links: rename after a last check.
  if (!Exists(to) && ::rename(tmp.c_str(), to.c_str()) == 0) return true;
  ::unlink(tmp.c_str());
  if (Exists(to)) return false;
  RaiseErrno(err);
}

void Kill(const std::string& name) {
  std::string path = ResolvePath(name);
  std::string base = BaseName(path);
  if (HasWildcard(base)) {
    std::string folder = ParentOf(path);
    std::vector<std::string> hits = Dir(folder, base, false);
    if (hits.empty()) Raise(errFileNotFound);
    for (const std::string& h : hits)
      if (::unlink(Join(folder, h).c_str()) != 0) RaiseErrno(errno);
    return;
  }
  struct stat st;
  if (::lstat(path.c_str(), &st) != 0) RaiseErrno(errno);
  if (S_ISDIR(st.st_mode)) Raise(errFileNotFound);
  if (::unlink(path.c_str()) != 0) RaiseErrno(errno);
}

void KillFile(const std::string& name) {
  const std::string path = ResolvePath(name);
  struct stat st;
  if (::lstat(path.c_str(), &st) != 0) RaiseErrno(errno);
  if (S_ISDIR(st.st_mode)) Raise(errFileNotFound);
  if (::unlink(path.c_str()) != 0) RaiseErrno(errno);
}

void Name(const std::string& oldName, const std::string& newName) {
  std::string from = ResolvePath(oldName);
  if (!Exists(from)) Raise(errFileNotFound);
  std::string to = ResolvePath(newName);
  if (!IsFolder(ParentOf(to))) Raise(errPathNotFound);
  if (::rename(from.c_str(), to.c_str()) == 0) return;
  int err = errno;
  if (err != EXDEV) RaiseErrno(err);
  // Another file system: copy beside the target, move into place, then
  // remove the original.
  if (!IsFile(from)) Raise(errPathFileAccess);
  FileCopy(from, to, true);
  if (::unlink(from.c_str()) != 0) RaiseErrno(errno);
}

void MkDir(const std::string& name) {
  std::string path = ResolvePath(name);
  while (path.size() > 1 && path.back() == '/') path.pop_back();
  if (Exists(path)) Raise(errPathFileAccess);
  if (::mkdir(path.c_str(), 0777) != 0) RaiseErrno(errno, errPathNotFound);
}

void ChDir(const std::string& name) {
  std::string path = ResolvePath(name);
  if (!IsFolder(path)) Raise(errPathNotFound);
  if (::chdir(path.c_str()) != 0) RaiseErrno(errno, errPathNotFound);
}

std::string CurDir() {
  std::vector<char> buf(4096);
  while (!::getcwd(buf.data(), buf.size())) {
    if (errno != ERANGE) Raise(errPathNotFound);
    buf.resize(buf.size() * 2);
  }
  return buf.data();
}

}  // namespace vb
