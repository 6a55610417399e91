#pragma once
#include <string>

namespace tvn::reports {

// A file dialog filter as the report windows write it ("*.pdf | *.pdf",
// "(*.htm; *html)) | *.htm;*.html") in the form Qt's dialogs read
// ("*.pdf (*.pdf)"): one entry per description and pattern pair, the
// patterns separated by blanks.
std::string DialogFilter(const std::string& filter);

// Why a report must not be written to `file`, or "" when it may be. The
// file judged is the one the write would reach: symbolic links are
// followed to their end (in the folder part too, and to a file that does
// not exist yet), and a link on the way that bears a name of the program's
// own is refused as well. The program's files are any database (the
// collections of both catalogues, the collection list, the tips and the
// templates are all SQLite files, wherever they lie) with SQLite's own
// files beside it, and a name the program keeps in its data folder
// ("admin.sys", "tips.sys", a template, a collection, a damaged copy, a
// conversion's backup) even before it exists; the settings stores ("*.ini"
// in their folder) and every file of the data folder's picture folder
// ("PICS"), whose pictures the records name. Links that lead round in a
// circle are refused too: there is no file at their end to judge.
std::string ExportRefusal(const std::string& file, const std::string& dataFolder);

// True when ExportRefusal refuses the file.
bool IsProgramFile(const std::string& file, const std::string& dataFolder);

// A report document name as the document dialogs list it: ".vsr" added
// when the typed name lacks it.
std::string WithDocumentExtension(const std::string& file);

}  // namespace tvn::reports
