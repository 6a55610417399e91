// One routine paints a page on any painter; PDF and PNG pages use it.
#include <QPainter>

#include "platform/print/Printer.h"

namespace print {
void RenderPage(const Document&, int, QPainter&) {}
bool WritePdf(const Document&, const std::string&, std::string*) { return false; }
QImage RenderPageImage(const Document&, int, double) { return {}; }
}  // namespace print
