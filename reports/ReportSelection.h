#pragma once
// Marking the records of a media report: the selection flags pr1/pr2 of
// mediadata set by whole-table statements, the tape-label work table
// `report`, the title list and the clean-up after the report window. Both
// media wizards use these routines; the windows only gather the choices.
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "platform/dao/Dao.h"
#include "platform/dao/RowBatches.h"
#include "reports/output/LimitList.h"
#include "reports/output/ReportContext.h"

namespace tvn::reports {

// Called now and then by the long routines below, to keep the windows
// painted; may be empty.
using Tick = std::function<void()>;

// "update mediadata set pr1 = <clause> where pr1": keeps a selected record
// selected only when the clause holds for it.
dao::RowUpdate ApplyFirstFilter(const std::string& clause);
// "update mediadata set pr2 = true where (<clause>) and pr1".
dao::RowUpdate ApplySecondFilter(const std::string& clause);
// Empties `report` and copies into it every selected video-tape record.
void FillReportTable(const dao::DatabasePtr& db, const Tick& tick = {});
// One label row per tape: the first eight recordings of each tape number
// (in tapeindex order) become title1..title8 of its first row; rows
// without a tape number are dropped.
void GatherTapeLabels(const dao::DatabasePtr& db, const Tick& tick = {});
// Adds the title to title_list unless exactly that text is there.
void AddLongTitle(const dao::DatabasePtr& db, const std::string& title);
// Rebuilds title_list from the forty title fields of the records whose
// section is in the section list: each title once (letter case aside), the
// first spelling met in record order, in that order. Gives the titles in
// the order the list is read in by title (the letter order).
LimitList BuildTitleList(const dao::DatabasePtr& db, const std::string& sectionList, const Tick& tick = {});
// Its steps, for running each where it suits (the reading on a connection
// that only reads, the letter order worked out while the list is written):
// the titles in record order (tick, called between rows, must not write
// to db), and title_list rewritten with them in that order, whatever order
// they are shown in.
LimitList ReadTitleList(const dao::DatabasePtr& db, const std::string& sectionList, const Tick& tick = {});
void StoreTitleList(const dao::DatabasePtr& db, const LimitList& titles);
// Copies each section's user-field captions into f1c..f10c of all its
// records, in batches of records inside one transaction.
void ApplySectionCaptions(const dao::DatabasePtr& db, const Tick& tick = {});
// Adds the user-field columns f1..f10 and f1c..f10c to `report` when the
// table lacks them.
void WidenReportTable(const dao::DatabasePtr& db);
// The records without a name, as FinishReport finds them.
std::vector<std::int64_t> NamelessRecords(const dao::DatabasePtr& db);
// After the report window has closed: the headings are cleared and the
// records without a name removed; with `nameless` (found before, aside
// from the window), only those of them that still lack a name.
void FinishReport(const dao::DatabasePtr& db, ReportContext& ctx,
                  const std::vector<std::int64_t>* nameless = nullptr);

// The limit boxes of the report wizard, as typed or picked.
struct WizardLimits {
  std::string artist = "", category = "", label = "", name = "", title = "", tapeIndex = "";
};

// The wizard's Finish work before the report window opens. `special` is
// 0 for a general report, else the special report's row (1 to 6).
void MarkWizardSelection(const dao::DatabasePtr& db, ReportContext& ctx, bool general, int special,
                         WizardLimits limits, const Tick& tick = {});

// One of the eighteen ready reports of the standard selector.
struct StandardChoice {
  int index;                 // the option's index in the selector
  const char* caption;       // the option's caption
  int left, top;             // the option's position, twips
  std::uint8_t reportType;
  const char* title;         // nullptr: the writer sets its own title
  const char* condition;     // the section condition; nullptr: no record is marked
};
// The choice with that option index; nullptr for an unknown index.
const StandardChoice* FindStandardChoice(int index);
// All eighteen in the order the selector tests them.
const StandardChoice* StandardChoices(int& count);

// The selector's Finish work before the report window opens: report type,
// title, the marks, the captions and the tape-label work table.
void MarkStandardSelection(const dao::DatabasePtr& db, ReportContext& ctx, int reportChoice,
                           int limitChoice, const std::string& limitValue, const Tick& tick = {});

}  // namespace tvn::reports
