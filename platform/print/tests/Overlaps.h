#pragma once
// Texts of a page that print over one another: two runs whose boxes (from
// their top to their line's height, across their width) share ground, as
// a value that ran out of its column into the next one does.
#include <string>
#include <vector>

#include "platform/print/Printer.h"

namespace printtest {

inline std::vector<std::string> OverlappingTexts(const print::Page& page) {
  std::vector<std::string> out;
  constexpr double kTouch = 0.5;  // twips of rounding two neighbours may share
  const auto& texts = page.texts;
  for (std::size_t i = 0; i < texts.size(); ++i) {
    const auto& a = texts[i];
    const double aBottom = a.y + print::LineHeight(a.font);
    for (std::size_t j = i + 1; j < texts.size(); ++j) {
      const auto& b = texts[j];
      const double bBottom = b.y + print::LineHeight(b.font);
      if (a.y >= bBottom - kTouch || b.y >= aBottom - kTouch) continue;
      if (a.x >= b.x + b.width - kTouch || b.x >= a.x + a.width - kTouch) continue;
      out.push_back("\"" + a.text.toStdString() + "\" and \"" + b.text.toStdString() + "\"");
    }
  }
  return out;
}

}  // namespace printtest
