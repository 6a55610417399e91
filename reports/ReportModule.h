#pragma once
// State of the report library, shared by its windows and writers for as
// long as the library is loaded. A new report call overwrites what the
// entry sets; everything else keeps what the last report left in it.
#include <cstdint>
#include <memory>
#include <string>

#include "platform/dao/Dao.h"
#include "platform/runtime/TextControl.h"

namespace tvn {
class TVNDATA;
}

namespace tvn::reports {

struct ReportModuleState {
  dao::DatabasePtr ReportDatabase;              // every query of the library runs on it
  std::shared_ptr<tvn::TVNDATA> ReportState;    // held, never read here
  std::string ReportAppFolder;                  // help, preview and export files go here
  vb::TextControl* TitleControl = nullptr;      // the control the title editor edits
  std::uint8_t ReportType = 0;
  std::string SectionList;
  std::string ReportTitle;
  std::string ReportSubtitle;
  std::string HeadingText;
  std::string AsciiExportFile;
  std::int32_t PageFrom = 0;
  std::int32_t PageTo = 0;
  std::uint8_t DocumentAction = 0;
};

ReportModuleState& Module();

// Removes every double quote from the text of a control, telling the user
// once: the report windows' only input check.
void QuoteCheck(vb::TextControl& control);

}  // namespace tvn::reports
