#pragma once
// Shared fixture of the game report tests: a data folder with a fresh game
// collection, the game library's report state pointed at it, scripted
// boxes, and helpers that fill lookups, games and their links.
#include <QApplication>
#include <QString>
#include <map>
#include <string>
#include <vector>

#include "core/tests/CoreTestSupport.h"
#include "platform/print/Document.h"

namespace tvntest {

class GameReportTest : public DataFolderTest {
 protected:
  void SetUp() override;
  void TearDown() override;

  // A lookup entry (publisher, developer or genre) with its console flags
  // ("GBOn" ...); returns its key.
  long AddLookup(const std::string& table, const std::string& name, const std::vector<std::string>& flags = {});
  // A system type or supported feature; returns its key.
  long AddSysType(const std::string& name);
  long AddSupport(const std::string& name);
  // A game; lookup keys 0 leave the field Null. Returns its systemnumber.
  long AddGame(const std::string& name, int section, long publisher = 0, long developer = 0, long genre = 0,
               const std::map<std::string, dao::Variant>& more = {});
  void Link(const std::string& table, long game, long key);

  // The names of the games whose printrecord is set, in name order.
  std::vector<std::string> Marked();

  static std::vector<print::TextItem> Texts(const print::Document& doc);
  static bool HasText(const print::Document& doc, const QString& text);
  // The body rows of the document's tables, in page order.
  static std::vector<std::vector<QString>> TableRows(const print::Document& doc);
  static std::vector<std::string> Messages();

  dao::DatabasePtr db_;
};

}  // namespace tvntest
