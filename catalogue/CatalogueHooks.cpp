#include "catalogue/CatalogueHooks.h"

#include "platform/forms/HelpViewer.h"
#include "platform/runtime/Files.h"

namespace tvn {

namespace {

CatalogueHooks Defaults() {
  CatalogueHooks h;
  h.showHelpTopic = [](int topic) { forms::ShowHelpPage(vb::ProgramFolder() + "/Reruve.HLP", topic); };
  h.quitHelp = [] { forms::CloseHelp(); };
  h.showTips = [](QWidget*) {};
  h.closeQuickDisplay = [] {};
  h.windowLoaded = [](NewMain_Form*) {};
  h.windowUnloading = [](NewMain_Form*) {};
  return h;
}

CatalogueHooks& Current() {
  static CatalogueHooks hooks = Defaults();
  return hooks;
}

}  // namespace

CatalogueHooks& CatalogueHooks::Get() { return Current(); }

void CatalogueHooks::Reset() { Current() = Defaults(); }

}  // namespace tvn
