#pragma once
#include <string>

namespace tvn::reports {

// A file dialog filter as the report windows write it ("*.pdf | *.pdf",
// "(*.htm; *html)) | *.htm;*.html") in the form Qt's dialogs read
// ("*.pdf (*.pdf)"): one entry per description and pattern pair, the
// patterns separated by blanks.
std::string DialogFilter(const std::string& filter);

}  // namespace tvn::reports
