#pragma once
// File functions of the runtime. Names the program gives are relative to
// the current folder (the program folder once start-up has run), may use
// "\" as separator and are matched without regard to letter case, since
// the stored names ("pics\x.jpg", "Admin.sys") come from a system where
// case did not matter.
#include <string>
#include <vector>

namespace vb {

// The program folder: $TAVOLIN_HOME when set, else ~/.local/share/tavolin.
std::string ProgramFolder();

// Resolves a name to an existing path, each component matched without
// regard to case; "\" is read as "/". When nothing matches, the name is
// returned with "/" separators (so a new file is created under that name,
// inside whichever existing folders did match).
std::string ResolvePath(const std::string& name);

bool FileExists(const std::string& name);    // a regular file
bool FolderExists(const std::string& name);  // a folder
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
