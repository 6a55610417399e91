#include "catalogue/MenuHooks.h"

#include "core/AVCollection_Form.h"
#include "core/AVQDForm.h"
#include "core/ArtistForm.h"
#include "core/CategoryForm.h"
#include "core/LabelForm.h"
#include "core/SortForm.h"
#include "core/Splash_Form.h"
#include "core/TavolinModule.h"
#include "core/Windows.h"

namespace tvn {

namespace {

MenuHooks Defaults() {
  MenuHooks h;
  h.showChooser = [](SortForm& chooser) { chooser.ShowModal(); };
  h.showCollectionManager = [](QWidget* owner) { ShowCollectionManager(owner); };
  h.showArtistManager = [](QWidget* owner) { ShowArtistManager(owner); };
  h.showCategoryManager = [](QWidget* owner) { ShowCategoryManager(owner); };
  h.showLabelManager = [](QWidget* owner) { ShowLabelManager(owner); };
  h.showAbout = [](QWidget*) { win::Splash_Form->ShowModal(); };
  h.showQuickDisplay = [](QWidget* owner) { ShowQuickDisplay(owner); };
  h.openWithShell = [](const std::string& target) { OpenWithShell(target); };
  h.conversionProgress = [](QWidget*, long) {};
  return h;
}

MenuHooks& Current() {
  static MenuHooks hooks = Defaults();
  return hooks;
}

}  // namespace

MenuHooks& MenuHooks::Get() { return Current(); }

void MenuHooks::Reset() { Current() = Defaults(); }

}  // namespace tvn
