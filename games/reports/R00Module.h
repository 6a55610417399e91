#pragma once
// The game library's report state and its report writers. The state is the
// game library's own: a media report made before or after a game report in
// the same run keeps its type, sections, title and subtitle, and so does
// the game report.
#include <array>
#include <string>

#include "reports/output/ReportContext.h"

class QWidget;

namespace print {
class Printer;
}

namespace pl {

// Game report types: 1 the full game report, 2 developers, 3 publishers,
// 4 genres, 5 supported features, 6 system types.
enum GameReportType : std::uint8_t {
  kNoGameReport = 0,
  kFullGameReport = 1,
  kDeveloperList = 2,
  kPublisherList = 3,
  kGenreList = 4,
  kSupportsList = 5,
  kSysTypeList = 6,
};

// The one report state of the game library.
tvn::reports::ReportContext& GameReports();

// Points the report state at the open game collection and the folder the
// library was given, then shows the game report wizard modally over the
// caller; returns when the wizard closes. Nothing happens without an open
// game collection.
void StartGameReports(QWidget* caller);

// The heading of the full game report.
inline constexpr const char* kFullGameReportTitle = "Game Report";

// What the report window's options choose for the full game report.
struct FullGameReportOptions {
  bool oneLine = false;  // the one-line table with totals, else complete entries
  int sortOrder = 0;     // 0 name, 1 publisher, 2 developer, 3 genre, 4 section name; -1 none
  // Parts of a complete entry: best/worst, rating/format/players, system
  // types, supports, personal fields, hints/tips, instructions, notes.
  std::array<bool, 8> parts{true, true, true, true, true, true, true, true};
};

// The games marked by the selection, in the chosen order and layout.
void PrintFullGameReport(print::Printer& printer, const FullGameReportOptions& options);
// The developer, publisher or genre list with its six console columns.
void PrintListReport(print::Printer& printer, const std::string& table, const std::string& nameField);
// The supported features or the system types, one name a line.
void PrintSupportsReport(print::Printer& printer, const std::string& table, const std::string& nameField);

}  // namespace pl
