// The HTML export: text lines as paragraphs, tables as tables.
#include "platform/print/Printer.h"

namespace print {
QString DocumentHtml(const Document&) { return {}; }
bool WriteHtml(const Document&, const std::string&, std::string*) { return false; }
}  // namespace print
