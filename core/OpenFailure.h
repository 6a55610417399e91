#pragma once
// Saying in words what is wrong with a file the program could not open,
// and telling a failure that may pass (a file in use, one that cannot be
// read just now) from a file that is damaged or of another kind.
#include <exception>
#include <stdexcept>
#include <string>
#include <vector>

#include "platform/dao/Dao.h"

namespace tvn {

// A problem seen before the file is opened: a folder where the file should
// be, or a database file shorter than its own header says (cut short).
// "" when neither is found.
std::string FileShapeProblem(const std::string& path);

// What is wrong, as a sentence without the file's name: "is a folder, not a
// file.", "is damaged: ...", "is in use by another program ...".
std::string DescribeOpenFailure(const std::exception& error);

// True when the file itself may be sound: it is locked by another program
// or cannot be read or written now (permissions, a journal that cannot be
// rolled back). Such a file is reported, never replaced.
bool IsPassingFailure(const std::exception& error);

// What a collection of one catalogue holds, as the program's own layout
// defines it (core/Schema).
struct CollectionKind {
  std::string noun;                          // "collection", "game collection"
  std::vector<dao::TableDef> tables;         // every table and field its windows read
  std::vector<dao::TableDef> earlierTables;  // an earlier layout as files hold it before the upgrade
                                             // converts them; empty: none
  std::string itemTable;                     // the table of the items, which the window reads first
};

// Rows ReadThrough reads at a time.
constexpr long long kReadThroughStretch = 8192;

// Opens the collection file at path for writing, once it is known to be a
// collection of the kind; raises FileShapeError (a folder, a file cut
// short), the engine's error (not a database, locked, unreadable, damaged
// pages) or NotACollectionError (a table or field missing). A file that
// fails is closed again with nothing written to it. A file of the current
// layout must hold every table and field of kind.tables; before its
// indexes are mended it is read as far as it can be cheaply: the item
// table's keys and name indexes (ReadThrough, Depth::Keys), every other
// table of kind.tables whole with all of its indexes. Damage elsewhere is
// met by the window's first read, which gives way to the collection that
// was open (or to the choices at start), or by a later command, which
// tells the damaged file. One of the earlier layout, holding every table
// and field of kind.earlierTables, is left untouched for the conversion,
// which copies it first. Every opening of a collection, at start and in
// the managers, goes through here.
dao::DatabasePtr OpenCollectionFile(dao::Workspace& workspace, const std::string& path, const CollectionKind& kind);

// Reads table through, so that a file whose pages of the table are damaged
// is told now, before anything is written, by the engine's error for a
// damaged file, and not by the window's first read: the table's own pages
// in key order, a stretch of rows at a time, and the pages of its indexes.
// Linear in the rows; the windows are ticked by time throughout.
// How deep ReadThrough reads a table.
enum class Depth {
  Keys,         // the indexes holding the name, and every row's key: what a
                // section's title list and a search by name walk. The rows'
                // contents, long notes and other indexes are left to the
                // read that meets them, which tells the damaged file.
  NameIndexes,  // the indexes holding the name, each row as far as its long texts
  Whole,        // every index, every row whole
};
void ReadThrough(dao::Database& db, const std::string& table, long long stretch = kReadThroughStretch,
                 Depth depth = Depth::Keys);

// The master list "admin.sys", opened by whoever reads it: raises
// NotACollectionError (noun "list of collections") when it lacks a table
// or field of its layout. A list without the game catalogue's table is an
// earlier one, which the start-up converts; it passes. Reads the schema
// only.
void CheckMasterList(dao::Database& db, const std::string& path);

// How a failure to open a file bears on the way on.
enum class OpenFailureKind {
  Unusable,          // damaged, of another kind, a folder, missing: another file is the way on
  Passing,           // locked, or unreadable now: nothing is to change
  NeedsFolderWrite,  // an interrupted change waits in a journal the folder does not let be finished
};
struct OpenFailure {
  OpenFailureKind kind;
  std::string what;  // as DescribeOpenFailure, naming the folder where that is what is needed
};
// folderWritable: whether the file's folder takes changes (asked of the
// file system when not given).
OpenFailure UnderstandOpenFailure(const std::exception& error, const std::string& path, bool folderWritable);
OpenFailure UnderstandOpenFailure(const std::exception& error, const std::string& path);

// "The <noun> file\n<path>\n<what>": the opening of every message about a
// file that cannot be used.
std::string CannotUseText(const std::string& noun, const std::string& path, const std::string& what);

// What a collection that opened but cannot be written is told when it
// opens (the file or its folder is read-only); "" when it can be written.
std::string ReadOnlyText(const std::string& noun, const std::string& path);

// The words for an engine error about a whole file (dao::FileError) that
// a window's command met: the file named, what is wrong, that the typing
// stays on screen, and the way on. "" for any other error. The windows'
// error path (vb::TellError) asks this first.
std::string FileErrorText(const std::exception& error);

// Raised for a problem FileShapeProblem found.
class FileShapeError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

// The user chose not to go on (to quit, or not to open a catalogue) after
// the reason was shown.
class OpenDeclined : public std::runtime_error {
 public:
  OpenDeclined() : std::runtime_error("The user chose not to go on.") {}
};

}  // namespace tvn
