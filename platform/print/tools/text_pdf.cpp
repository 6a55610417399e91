// Prints lines of text as a PDF through the layer's own printer, one line
// a page, for reading the file back with other programs' readers
// (readback.py):  tvntextpdf OUTPUT.pdf [--bold] < LINES
#include <QApplication>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <iostream>
#include <string>

#include "platform/print/Printer.h"

int main(int argc, char** argv) {
  if (argc < 2) {
    std::fprintf(stderr, "usage: %s OUTPUT.pdf [--bold] < LINES\n", argv[0]);
    return 2;
  }
  ::setenv("QT_QPA_PLATFORM", "offscreen", 0);
  QApplication app(argc, argv);
  const bool bold = argc > 2 && std::strcmp(argv[2], "--bold") == 0;
  print::Printer p;
  p.StartDoc();
  p.SetFontBold(bold);
  std::string line;
  bool first = true;
  while (std::getline(std::cin, line)) {
    if (!first) p.NewPage();
    first = false;
    p.Text(line + "\n");
  }
  p.EndDoc();
  if (!p.WritePdf(argv[1])) {
    std::fprintf(stderr, "%s\n", p.LastError().c_str());
    return 1;
  }
  return 0;
}
