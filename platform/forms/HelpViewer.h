#pragma once
// The program's help: a help file and the HTML pages it names, shown in a
// help window of our own.
//
// The help file ("Reruve.HLP") is a text file with one line per topic:
//   <topic number> <page file> <title>
// Blank lines and lines starting with "#" are ignored. The pages lie in the
// help file's folder and link to each other by file name. When the help
// file the program names does not exist, the copy shipped with the program
// (the folder "help" beside the executable) is used.
#include <map>
#include <string>

class QWidget;
class QTextBrowser;

namespace forms {

struct HelpTopic {
  std::string page;   // file name of the page
  std::string title;
};

// Reads a help file; an unreadable file gives an empty map.
std::map<int, HelpTopic> ReadHelpFile(const std::string& helpFile);

// The help file actually used for a help file name (see above); "" when
// neither it nor the shipped copy exists.
std::string EffectiveHelpFile(const std::string& helpFile);

// Folder of the help shipped with the program.
std::string ShippedHelpFolder();

// Shows the topic's page in the help window (created on first use, brought
// to the front afterwards). An unknown topic shows the contents (topic 1).
// Returns false when no page could be shown.
bool ShowHelpPage(const std::string& helpFile, int topic);
// Shows a page of the shipped help by its file name ("help:launcher.html").
bool ShowHelpPageByName(const std::string& page);
// Closes the help window, when open.
void CloseHelp();
// The help window's page viewer while it is open (for tests), else nullptr.
QTextBrowser* HelpBrowser();

}  // namespace forms
