#pragma once
// The entry object of the media report library: the catalogue window
// creates one on its first report command and keeps it for the run.
#include <memory>
#include <string>

#include "platform/dao/Dao.h"
#include "platform/runtime/TextControl.h"

namespace tvn {
class TVNDATA;
}

class TVNInit {
 public:
  // Keeps the database, the state object and the program folder, then
  // shows the report wizard (or, with RunStandard, the standard-report
  // selector) modally; returns when it closes. The state object reference
  // is left as it was, so the caller may take it back.
  void StartStandardReport(dao::DatabasePtr& DBx, std::shared_ptr<tvn::TVNDATA>& AVDataX,
                           std::string APathX, bool RunStandard = false);
  // Lets the user retype the control's text in a small modal dialog.
  void EditTitleRoutine(vb::TextControl& ctlx, std::string APathX);
};
