#include "catalogue/CatalogueHooks.h"

#include <QApplication>
#include <QWidget>

#include "core/SortForm.h"
#include "core/TavolinModule.h"
#include "core/Tip_Form.h"
#include "core/Windows.h"

namespace tvn {

namespace {

CatalogueHooks Defaults() {
  CatalogueHooks h;
  h.showHelpTopic = [](int topic) { ShowHelpTopic(topic); };
  h.quitHelp = [] { QuitHelp(); };
  h.showTips = [](QWidget*) { ShowTipOfTheDay(); };
  h.closeQuickDisplay = [] {
    for (QWidget* w : QApplication::topLevelWidgets())
      if (w->objectName() == "AVQDForm") w->close();
  };
  // The sort chooser is loaded, hidden, for the selection filters.
  h.windowLoaded = [](NewMain_Form*) { win::SortForm.Get(); };
  h.windowUnloading = [](NewMain_Form*) {
    if (SortForm* s = win::SortForm.Peek()) s->Unload();
  };
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
