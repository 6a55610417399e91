#pragma once
#include <string>

namespace tvn::reports {

// A file dialog filter as the report windows write it ("*.pdf | *.pdf",
// "(*.htm; *html)) | *.htm;*.html") in the form Qt's dialogs read
// ("*.pdf (*.pdf)"): one entry per description and pattern pair, the
// patterns separated by blanks.
std::string DialogFilter(const std::string& filter);

// True when writing a report over `file` would destroy one of the
// program's own files: any database (the collections of both catalogues,
// the collection list, the tips and the templates are all SQLite files,
// wherever they lie), or a name the program keeps in its data folder
// ("admin.sys", "tips.sys", a template, a collection) even before it exists.
bool IsProgramFile(const std::string& file, const std::string& dataFolder);

// A report document name as the document dialogs list it: ".vsr" added
// when the typed name lacks it.
std::string WithDocumentExtension(const std::string& file);

}  // namespace tvn::reports
