#pragma once
// File functions of the runtime. Names the program gives are relative to
// the current folder (the program folder once start-up has run), may use
// "\" as separator (see ResolvePath) and are matched without regard to
// letter case, since the stored names ("pics\x.jpg", "Admin.sys") come
// from a system where case did not matter.
#include <string>
#include <vector>

namespace vb {

// The program folder: $TAVOLIN_HOME when set (a relative one taken from
// the folder the program started in), else ~/.local/share/tavolin.
std::string ProgramFolder();

// Resolves a name to an existing path, each component matched without
// regard to case. When nothing matches, the name is returned with "/"
// separators (so a new file is created under that name, inside whichever
// existing folders did match).
// An absolute name is one the system gave (the data folder, a folder from
// the environment, a file chosen in a dialog): "\" in it is a character of
// a name, as it is on this system. A relative name is one the program keeps
// in its own files, where "\" is read as "/".
std::string ResolvePath(const std::string& name);
// A name the program keeps ("pics\x.jpg"), resolved inside a folder the
// system gave: "\" is read as "/" in the kept name only, never in the
// folder's own name.
std::string ResolveIn(const std::string& folder, const std::string& stored);
// A whole path the program keeps in its files as it was typed (a
// document's location in a record): "\" is read as "/" throughout, unless
// the path is there as it is written.
std::string ResolveKept(const std::string& path);

bool FileExists(const std::string& name);    // a regular file
bool FolderExists(const std::string& name);  // a folder
// True when folder holds an entry of this name (any letter case) in any
// form: a file, a folder, or a link, also one that points nowhere.
bool EntryExists(const std::string& folder, const std::string& name);
// Lists the entries of a folder whose names match a pattern with * and ?
// (without regard to case). folders=true lists only folders.
std::vector<std::string> Dir(const std::string& folder, const std::string& pattern, bool folders = false);
// Copies a file; with overwrite=false an existing target is left as it is
// and false is returned. Throws vb::RuntimeError on failure.
bool FileCopy(const std::string& source, const std::string& target, bool overwrite = true);
void Kill(const std::string& name);                           // delete a file
// Deletes exactly the one file named; "*" and "?" are ordinary characters
// here, never a pattern. Throws vb::RuntimeError when there is no such file.
void KillFile(const std::string& name);
void Name(const std::string& oldName, const std::string& newName);  // rename (atomic over an existing target)
void MkDir(const std::string& name);
void ChDir(const std::string& name);
std::string CurDir();

}  // namespace vb
