#pragma once
// State of the media report library: its own report context (shared by
// its windows and writers for as long as the library is loaded) and the
// control the title editor edits. A new report call overwrites what the
// entry sets; everything else keeps what the last report left in it.
#include "platform/runtime/TextControl.h"
#include "reports/output/ReportContext.h"

namespace tvn::reports {

struct ReportModuleState : ReportContext {
  vb::TextControl* TitleControl = nullptr;  // the control the title editor edits
};

// The library's one state object.
ReportModuleState& Module();

// Removes every double quote from the text of a control, telling the user
// once: the report windows' only input check.
void QuoteCheck(vb::TextControl& control);

}  // namespace tvn::reports
