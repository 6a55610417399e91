// Tables: the format strings, collecting rows and laying them out on pages.
#include <QStringList>

#include "platform/print/PrinterState.h"

namespace print {

std::vector<QString> WrapText(const FontSpec&, const QString& text, double, double) { return {text}; }
std::vector<ColumnFormat> ParseTableFormat(const std::string&) { return {}; }
std::vector<std::vector<std::string>> SplitTableRows(const std::string&) { return {}; }
void Printer::StartTable() {}
void Printer::AddTable(const std::string&, const std::string&, const std::string&, long, long, bool) {}
void Printer::AddTable(const std::string&, const std::string&, const std::vector<std::vector<std::string>>&, long, long, bool) {}
void Printer::TableCell(int, std::optional<int>, std::optional<int>, bool) {}
void Printer::EndTable() {}
double TableItem::Width() const { return 0; }
double TableItem::Height() const { return 0; }

}  // namespace print
