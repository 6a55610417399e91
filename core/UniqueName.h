#pragma once
// The name an item is filed under when another item of its section has it
// already: the name, cut where needed, followed by "- 2", "- 3", ... up to
// the first that is free. And the name a backup copy is made under, which
// no other file has.
#include <functional>
#include <string>

namespace dao {
class Database;
}

namespace tvn {

// `taken` tells whether a candidate is in use; the result is at most
// `width` characters long.
std::string NumberedUniqueName(const std::string& name, long width,
                               const std::function<bool(const std::string&)>& taken);

// The name a record of `section` is filed under in the collection's
// mediadata: the name itself when no other record of the section has it
// (the database compares without regard to case), else the first free
// numbered one. ownName is the name the record is stored under now ("" for
// a new record): a rename that changes only letter case does not collide
// with the record itself.
std::string UniqueNameInSection(dao::Database& db, int section, const std::string& name,
                                const std::string& ownName, long width);

// Copies `file` to a backup that is its own: `firstChoice`, else the same
// name with " (2)", " (3)" ... before its extension ("Admin (2).30i"), the
// first that no other file has; an existing file is never written over.
// A file already there with file's very bytes (left by an interrupted
// attempt on the same file) is kept and taken as the backup. Returns the
// path of the backup; raises when no copy can be made.
std::string CopyToOwnBackup(const std::string& file, const std::string& firstChoice);

}  // namespace tvn
