#pragma once
// The pages of a report document written as PDF by Qt's writer alone, as
// the page layer draws them but without the text behind the glyphs put
// right: what the text layer's size and time are measured against.
#include <QMarginsF>
#include <QPageLayout>
#include <QPageSize>
#include <QPainter>
#include <QPdfWriter>
#include <QSizeF>

#include <filesystem>
#include <string>

#include "platform/print/Printer.h"

namespace bench {

inline void WritePdfWithoutTextLayer(const print::Document& document, const std::string& file) {
  QPdfWriter writer(QString::fromStdString(file));
  writer.setResolution(static_cast<int>(print::kTwipsPerInch));
  writer.setCreator(QStringLiteral("Tavolin"));
  auto layoutFor = [](const print::Page& p) {
    const bool landscape = p.width > p.height;
    const double w = landscape ? p.height : p.width, h = landscape ? p.width : p.height;
    return QPageLayout(QPageSize(QSizeF(w / print::kTwipsPerInch, h / print::kTwipsPerInch), QPageSize::Inch),
                       landscape ? QPageLayout::Landscape : QPageLayout::Portrait, QMarginsF(0, 0, 0, 0));
  };
  if (!document.pages.empty()) writer.setPageLayout(layoutFor(document.pages.front()));
  QPainter painter(&writer);
  for (int i = 1; i <= document.PageCount(); ++i) {
    if (i > 1) {
      writer.setPageLayout(layoutFor(document.pages[static_cast<size_t>(i - 1)]));
      writer.newPage();
    }
    print::RenderPage(document, i, painter);
  }
  painter.end();
}

// A file's size in megabytes, 0 when it is not there.
inline double FileMegabytes(const std::string& file) {
  std::error_code error;
  const auto size = std::filesystem::file_size(file, error);
  return error ? 0.0 : static_cast<double>(size) / 1e6;
}

}  // namespace bench
