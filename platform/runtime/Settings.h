#pragma once
// The per-user settings store (application, section, key), over QSettings.
#include <string>

namespace vb {

std::string GetSetting(const std::string& appName, const std::string& section,
                       const std::string& key, const std::string& defaultValue = "");
void SaveSetting(const std::string& appName, const std::string& section,
                 const std::string& key, const std::string& value);
// An empty key deletes the whole section.
void DeleteSetting(const std::string& appName, const std::string& section,
                   const std::string& key = "");
// Tests point the store at a file of their own (an empty path restores
// the user's store).
void SetSettingsFile(const std::string& iniPath);
// The folder that holds the stores' files ("<name>.ini", one per
// application; a test's own file when one is set), made or not.
std::string SettingsFolder();

}  // namespace vb
