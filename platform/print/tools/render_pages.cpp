// Renders the pages of a report document to PNG files through the layer's
// own painter:  tvnrender DOCUMENT OUTPUT-FOLDER [DPI]
// The files are OUTPUT-FOLDER/page-1.png, page-2.png ...
#include <QApplication>
#include <QDir>

#include <cstdio>
#include <cstdlib>
#include <string>

#include "platform/print/DocumentFile.h"
#include "platform/print/Printer.h"

int main(int argc, char** argv) {
  if (argc < 3) {
    std::fprintf(stderr, "usage: %s DOCUMENT OUTPUT-FOLDER [DPI]\n", argv[0]);
    return 2;
  }
  ::setenv("QT_QPA_PLATFORM", "offscreen", 0);
  QApplication app(argc, argv);
  print::Document doc;
  std::string error;
  if (!print::LoadDocument(argv[1], &doc, &error)) {
    std::fprintf(stderr, "%s\n", error.c_str());
    return 1;
  }
  const double dpi = argc > 3 ? std::atof(argv[3]) : 96.0;
  if (dpi <= 0 || dpi > 1200) {
    std::fprintf(stderr, "The resolution must be between 1 and 1200 dots per inch.\n");
    return 2;
  }
  const QDir out(QString::fromLocal8Bit(argv[2]));
  if (!out.mkpath(".")) {
    std::fprintf(stderr, "The folder \"%s\" cannot be made.\n", argv[2]);
    return 1;
  }
  for (int page = 1; page <= doc.PageCount(); ++page) {
    const QString file = out.filePath(QStringLiteral("page-%1.png").arg(page));
    if (!print::RenderPageImage(doc, page, dpi).save(file, "PNG")) {
      std::fprintf(stderr, "The file \"%s\" cannot be written.\n", file.toLocal8Bit().constData());
      return 1;
    }
    std::printf("%s\n", file.toLocal8Bit().constData());
  }
  return 0;
}
