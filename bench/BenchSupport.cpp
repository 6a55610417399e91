#include "bench/BenchSupport.h"

#include <cstdlib>
#include <unistd.h>

#include "platform/runtime/Prompter.h"
#include "platform/runtime/Settings.h"

namespace bench {

std::filesystem::path MakeDataFolder(const std::string& prefix) {
  std::string tmpl = (std::filesystem::temp_directory_path() / (prefix + "XXXXXX")).string();
  if (!::mkdtemp(tmpl.data())) std::abort();
  std::filesystem::path dir = tmpl;
  ::setenv("TAVOLIN_HOME", dir.c_str(), 1);
  vb::SetSettingsFile((dir / "settings.ini").string());
  std::filesystem::current_path(dir);
  vb::PromptScript::Install();
  return dir;
}

void RemoveDataFolder(const std::filesystem::path& dir) {
  std::error_code ec;
  std::filesystem::current_path(std::filesystem::temp_directory_path(), ec);
  std::filesystem::remove_all(dir, ec);
}

}  // namespace bench
