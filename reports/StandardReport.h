#pragma once
// The standard media report (report type 6): the marked records of
// mediadata either as a one-line table with a total per media type, or
// record by record with picture, labelled fields, user fields, titles and
// notes. The report window's options shape it.
#include <array>
#include <string>

namespace print {
class Printer;
}

namespace tvn::reports {

class RptForm;

struct StandardReportOptions {
  bool oneLine = false;  // TypeOption(2) "One Line Report"
  int sort = 1;          // R6SortOption index: 0 artist, 1 name, 2 tape, 3 media type, 4 catalogue number
  // R6Check 0 to 6: picture, user fields, titles, data sections 1 to 3, notes.
  std::array<bool, 7> include{true, true, true, true, true, true, true};
};

// The options as the window's controls hold them; the defaults without a
// window. The sort options are tested in the order 1, 0, 2, 3, 4.
StandardReportOptions StandardOptionsOf(const RptForm* form);

// The record set's SQL for a sort option index (an unknown index sorts
// by name).
std::string StandardReportSql(int sort);

// Builds the whole document on printer from the records whose pr1 is set,
// with the options of the open report window.
void PrintMediaReport(print::Printer& printer);
void PrintMediaReport(print::Printer& printer, const StandardReportOptions& options);

}  // namespace tvn::reports
