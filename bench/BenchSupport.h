#pragma once
// A data folder of a benchmark's own, so that no run touches the user's
// data or settings.
#include <filesystem>
#include <string>

namespace bench {

// Makes a new temporary folder named after prefix and points the program
// at it: TAVOLIN_HOME, a settings file inside it, the current folder, and
// message boxes answered without a person.
std::filesystem::path MakeDataFolder(const std::string& prefix);
// Leaves the folder and removes it with everything in it.
void RemoveDataFolder(const std::filesystem::path& dir);

}  // namespace bench
