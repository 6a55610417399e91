#pragma once
// The layout of every file the program keeps, defined once: the collection
// database (current and earlier layout), the master list and the tips
// database. The shipped templates are written from it.
#include <string>
#include <vector>

#include "platform/dao/Dao.h"

namespace tvn::schema {

// Table definitions of the current-layout collection ("av32e.mdb").
std::vector<dao::TableDef> CollectionTables();
// Table definitions of the earlier layout (one item table per section),
// as the upgrade would leave it; for tests and the conversion.
std::vector<dao::TableDef> EarlierCollectionTables();
// The earlier layout as files of older versions hold it, before the
// upgrade: no minidisc and mp3 tables (nor their caption tables), no admin
// table, and without the fields the upgrade adds.
std::vector<dao::TableDef> OriginalEarlierCollectionTables();
// Master list ("admine.sys") and tips database ("tips.sys").
std::vector<dao::TableDef> MasterListTables();
std::vector<dao::TableDef> TipsTables();

// The first table or field of layout that the database lacks (names
// matched without regard to case): {table, ""} for a missing table,
// {table, field} for a missing field; {"", ""} when it holds them all.
// A table named in optional may be missing; when it is there, it must hold
// its fields like any other. Only the schema is read.
struct MissingPart {
  std::string table;
  std::string field;
  bool None() const { return table.empty(); }
};
MissingPart MissingFrom(dao::Database& db, const std::vector<dao::TableDef>& layout,
                        const std::vector<std::string>& optional = {});
// As MissingFrom, for a layout whose tables stand in for one another: the
// database must hold at least one of them ({first table, ""} when it holds
// none), and each one it holds must hold that table's fields.
MissingPart MissingFromAny(dao::Database& db, const std::vector<dao::TableDef>& layout);
// What a collection of the earlier layout cannot be converted without: its
// item tables stand in for one another, and each holds "name". Everything
// else it may lack is made empty by the upgrade.
std::vector<dao::TableDef> EarlierCollectionNeeds();

// Writes any missing or damaged template (one that does not open or lacks
// a table or a field) into the folder: "av32e.mdb", "admine.sys", "tips.sys" and
// "pl33e.mdb" (found without regard to letter case). A folder under a
// template's name is raised, naming it; one named "tips.sys" is left for
// the tips window to skip.
void EnsureTemplates(const std::string& folder);

// The game collection: its tables, the template "pl33e.mdb" (written by
// EnsureTemplates when missing or damaged), its six caption tables and
// section names.
std::vector<dao::TableDef> GameCollectionTables();
void CreateGameCollectionFile(const std::string& path);
const std::vector<std::string>& GameCaptionTableNames();
const std::vector<std::string>& GameSectionNames();

// Creates a file from definitions (and the rows the template holds).
void CreateCollectionFile(const std::string& path);
void CreateMasterListFile(const std::string& path);
void CreateTipsFile(const std::string& path);
void CreateEarlierCollectionFile(const std::string& path);
void CreateOriginalEarlierCollectionFile(const std::string& path);

// The characters a text field of the current layout holds (0 for a field
// that is not text, or not in the table): the record windows hold their
// boxes to it.
int CollectionTextWidth(const std::string& table, const std::string& field);
int GameTextWidth(const std::string& table, const std::string& field);

// Table names of the nine sections in section order (1 to 9): the
// earlier layout's item tables, the caption tables and the display names
// stored in mediadata.section.
const std::vector<std::string>& SectionTableNames();
const std::vector<std::string>& CaptionTableNames();
const std::vector<std::string>& SectionDisplayNames();

// Number of tips in "tips.sys" (numbered 1 to TipCount()).
int TipCount();

// The program's version numbers (major, minor, revision).
int VersionMajor();
int VersionMinor();
int VersionRevision();
// The three numbers run together ("6012"), as written into admin.Ver.
std::string VersionText();

}  // namespace tvn::schema
