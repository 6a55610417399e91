#pragma once
// The reports of the lookup tables: artists and labels/studios as cards,
// two side by side, limited to the sections ticked on the report window;
// categories as a table with a mark under each section that may use them.
#include <string>

namespace print {
class Printer;
}

namespace tvn::reports {

void PrintArtistReport(print::Printer& printer);
void PrintLabelStudioReport(print::Printer& printer);
void PrintCategoryReport(print::Printer& printer);

// Adds one section flag to the filter: "where FLAG" for the first, then
// " or FLAG" for each further one.
std::string BuildSectionWhere(const std::string& whereText, const std::string& flagName);

}  // namespace tvn::reports
