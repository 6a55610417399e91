// The program-wide variables. The state object is made on first use, so
// whichever window touches it first creates it, and it is kept to the end.
#include "core/AppState.h"

namespace tvn {

namespace {
std::shared_ptr<TVNDATA>& StateHolder() {
  static std::shared_ptr<TVNDATA> holder;
  return holder;
}
}  // namespace

TVNDATA* AVData() {
  auto& h = StateHolder();
  if (!h) h = std::make_shared<TVNDATA>();
  return h.get();
}

void SetAVData(std::shared_ptr<TVNDATA> data) {
  // An empty reference is never stored: the state lives for the whole run.
  if (data) StateHolder() = std::move(data);
}

std::shared_ptr<TVNDATA> AVDataRef() {
  AVData();
  return StateHolder();
}

AppGlobals& App() {
  static AppGlobals globals;
  return globals;
}

dao::Workspace& AppWorkspace() {
  auto& g = App();
  if (!g.AppWorkspace) g.AppWorkspace = &dao::DBEngine::Workspaces(0);
  return *g.AppWorkspace;
}

}  // namespace tvn
