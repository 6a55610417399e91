#include "reports/TVNInit.h"

#include "platform/runtime/Functions.h"
#include "platform/runtime/Prompter.h"
#include "reports/EditTitleForm.h"
#include "reports/frmWizard.h"
#include "reports/frmWizardx.h"
#include "reports/ReportModule.h"

namespace tvn::reports {

// One state object for this library, created on first use and kept until
// the library is unloaded; the shared output code receives it by reference.
ReportModuleState& Module() {
  static ReportModuleState state;
  return state;
}

void QuoteCheck(vb::TextControl& control) {
  std::string text = control.Text();
  if (text.find('"') == std::string::npos) return;
  vb::MsgBox(std::string("The ") + '"' + " is an an invalid character", vb::vbInformation | vb::vbOKOnly,
             vb::AppTitle());
  control.SetText(vb::Replace(text, "\"", ""));
}

}  // namespace tvn::reports

using tvn::reports::Module;

void TVNInit::StartStandardReport(dao::DatabasePtr& DBx, std::shared_ptr<tvn::TVNDATA>& AVDataX,
                                  std::string APathX, bool RunStandard) {
  Module().ReportDatabase = DBx;
  Module().ReportState = AVDataX;
  Module().ReportAppFolder = std::move(APathX);
  if (RunStandard) {
    tvn::reports::frmWizardx selector;
    selector.exec();
  } else {
    tvn::reports::frmWizard wizard;
    wizard.exec();
  }
}

void TVNInit::EditTitleRoutine(vb::TextControl& ctlx, std::string APathX) {
  (void)APathX;  // kept in the call for the program's sake; the editor needs no folder
  Module().TitleControl = &ctlx;
  tvn::reports::EditTitleForm form;
  form.exec();
  Module().TitleControl = nullptr;
}
