#pragma once
// The state one report library shares between its entry, wizards, report
// window and writers. Each library keeps exactly one of these for as long
// as it is loaded and hands it by reference to the shared output code, so
// two libraries in one process never see each other's report type,
// section list or open window.
#include <cstdint>
#include <memory>
#include <string>

#include "platform/dao/Dao.h"
#include "platform/print/Picture.h"

namespace print {
class Printer;
}

namespace tvn::reports {

class ReportWindowFrame;

struct ReportContext {
  dao::DatabasePtr ReportDatabase;          // every query of the library runs on it
  std::shared_ptr<void> ReportState;        // the program's state object, held, never read
  std::string ReportAppFolder;              // default export names and the preview copy go here
  ReportWindowFrame* CurrentReportWindow = nullptr;  // the report window now open
  print::Printer* ReportPrinter = nullptr;  // the surface the running writer draws on
  print::Picture ReportPicture;             // the picture last loaded or taken from the images
  std::uint8_t ReportType = 0;
  std::string SectionList;
  std::string ReportTitle;
  std::string ReportSubtitle;
  std::string HeadingText;
  std::string AsciiExportFile;
  std::int32_t PageFrom = 0;  // -1: the page range was cancelled; 0 and 0: all pages
  std::int32_t PageTo = 0;
  std::uint8_t DocumentAction = 0;  // 0 save, 1 load as new, 2 load and append
  std::string HelpFile;             // set for the wizards; no topic is opened in this version
  std::intptr_t HelpWindow = 0;
};

}  // namespace tvn::reports
