#pragma once
// The page frame every report writer shares: fonts and margins of a new
// document, the heading block with the page header, the separator image,
// a record's picture, the export notice, and the help file of the wizards.
// All of them work on the library state they are given.
#include <QImage>
#include <cstdint>
#include <string>

#include "reports/output/ReportContext.h"

namespace print {
class Printer;
}

namespace tvn::reports {

// The report window's two images: 1 the separator, 2 the heading picture.
QImage ReportImage(int index);

// Margins and fonts of a new document; call before StartDoc.
void SetReportFonts(print::Printer& printer);
// The heading block (picture, product line, date and time, title,
// subtitle) and the page header of every page; call right after StartDoc.
void PrintReportHeading(ReportContext& context, bool noSeparator);
void PrintSeparatorImage(ReportContext& context);
// Loads a picture file into ReportPicture; false (and the old picture
// kept) when it cannot be loaded.
bool LoadReportPicture(ReportContext& context, const std::string& path);
// Draws ReportPicture at the writer's cursor; failures are ignored.
void DrawReportPicture(ReportContext& context);
// Tells the user which export files were written, or which could not be.
void ShowExportNotice(ReportContext& context, bool asciiDone, bool htmlDone);
void SetReportHelpFile(ReportContext& context, std::intptr_t windowHandle, const std::string& folder);

}  // namespace tvn::reports
