#pragma once
// Opening a document, a web address or a mail address with the program
// the desktop associates with it.
#include <functional>
#include <string>

class QUrl;

namespace forms {

// Turns the target into the address handed to the desktop: "http:",
// "https:", "ftp:", "file:" and "mailto:" addresses as they stand, a bare
// "www." address as a web address, anything else as a file name (relative
// to the current folder, letter case resolved). Returns false when the
// target is empty, or names (also as a "file:" address) anything but an
// existing regular file that is neither executable nor a ".desktop"
// launcher.
bool ShellTargetUrl(const std::string& target, QUrl* url);

// Opens the target; false when it could not be opened. "help:<page>"
// shows a page of the program's help in its help window.
bool ShellOpen(const std::string& target);

// Tests replace the desktop call (nothing is launched); an empty function
// restores it.
void SetShellOpenHandler(std::function<bool(const QUrl&)> handler);

}  // namespace forms
