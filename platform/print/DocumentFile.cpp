// The report-document file.
#include "platform/print/DocumentFile.h"

namespace print {
bool SaveDocument(const Document&, const std::string&, int, int, std::string*) { return false; }
bool LoadDocument(const std::string&, Document*, std::string*) { return false; }
}  // namespace print
