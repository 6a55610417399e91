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
// Writes a new game collection at path holding `games` games spread over
// the six console sections, with publishers, developers, genres, system
// types, features and two links of each kind per game.
void MakeGameCollection(const std::string& path, int games);

// Leaves the folder and removes it with everything in it.
void RemoveDataFolder(const std::filesystem::path& dir);

}  // namespace bench
