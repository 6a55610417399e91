#include "reports/output/PageFrame.h"

#include <QDate>
#include <QDateTime>
#include <QFile>
#include <QFileInfo>
#include <QHash>
#include <QLocale>
#include <QPainter>
#include <QTime>

#include "platform/print/Printer.h"
#include "platform/runtime/Files.h"
#include "platform/runtime/Functions.h"
#include "platform/runtime/Prompter.h"
#include "reports/output/ReportWindow.h"

namespace tvn::reports {
namespace {

constexpr int kDotsPerMeter96 = 3780;  // 96 dots per inch

// The surface of the report window, which the writers also draw on.
print::Printer* WindowPrinter(ReportContext& context) {
  if (context.CurrentReportWindow) return &context.CurrentReportWindow->Printer();
  return context.ReportPrinter;
}

QImage Separator() {
  // A rule across the text width (6.5 inches) with a darker centre line.
  QImage image(624, 4, QImage::Format_RGB32);
  image.fill(QColor(0xC0, 0xC0, 0xC0));
  QPainter painter(&image);
  painter.setPen(QColor(0x40, 0x40, 0x80));
  painter.drawLine(0, 1, 623, 1);
  painter.drawLine(0, 2, 623, 2);
  return image;
}

QImage Emblem() {
  // A disc on a slip: the heading picture, half an inch square.
  QImage image(48, 48, QImage::Format_ARGB32);
  image.fill(Qt::transparent);
  QPainter painter(&image);
  painter.setRenderHint(QPainter::Antialiasing);
  painter.setPen(Qt::NoPen);
  painter.setBrush(QColor(0x20, 0x40, 0x80));
  painter.drawEllipse(QRectF(2, 2, 44, 44));
  painter.setBrush(QColor(0xE0, 0xE0, 0xF0));
  painter.drawEllipse(QRectF(18, 18, 12, 12));
  painter.setBrush(Qt::white);
  painter.drawEllipse(QRectF(22, 22, 4, 4));
  return image;
}

}  // namespace

QImage ReportImage(int index) {
  // Each picture is made once and then shared: the separator stands under
  // every record, and one picture drawn many times is stored once by the
  // page layer, the document file and the HTML export.
  static const auto make = [](QImage image) {
    image.setDotsPerMeterX(kDotsPerMeter96);
    image.setDotsPerMeterY(kDotsPerMeter96);
    return image;
  };
  static const QImage separator = make(Separator());
  static const QImage emblem = make(Emblem());
  return index == 1 ? separator : index == 2 ? emblem : QImage();
}

void SetReportFonts(print::Printer& printer) {
  printer.SetMarginTop(770);
  printer.SetMarginBottom(770);
  printer.SetFontName("arial");
  printer.SetFontSize(8);
  printer.SetFontItalic(true);
  printer.SetHdrFont(printer.Font());
  printer.SetFontItalic(false);
}

void PrintReportHeading(ReportContext& context, bool noSeparator) {
  print::Printer* p = WindowPrinter(context);
  if (!p) return;
  print::Printer& printer = *p;
  printer.SetFontSize(14);
  printer.SetFontBold(true);
  context.ReportPicture = ReportImage(2);
  const double pictureWidth = print::PictureWidthTwips(context.ReportPicture);
  printer.DrawPicture(context.ReportPicture, printer.CurrentX(), printer.CurrentY());
  printer.SetCurrentX(printer.CurrentX() + pictureWidth + 200);
  printer.SetCurrentY(printer.CurrentY() + 75);
  context.HeadingText = vb::Trim("The Tavolin");
  printer.Text(context.HeadingText);
  printer.SetFontBold(false);
  const std::string header = context.HeadingText + "|" + "" + "|Page %d";
  printer.SetTextAlign(print::kTextAlignDate);
  printer.SetFontSize(8);
  printer.SetFontItalic(true);
  const QLocale locale = QLocale::system();
  const std::string stamp = locale.toString(QDate::currentDate(), QLocale::LongFormat).toStdString() + "  " +
                            locale.toString(QTime::currentTime(), QLocale::ShortFormat).toStdString();
  printer.Text(stamp);
  printer.SetHeader(header);
  printer.SetFontItalic(false);
  printer.Text("\n");
  printer.SetFontBold(true);
  printer.SetCurrentX(1440);
  printer.SetCurrentY(printer.CurrentY() + 300);
  printer.SetFontSize(13);
  printer.SetTextAlign(print::kTextAlignTitle);
  printer.Text(context.ReportTitle + "\n");
  printer.SetFontSize(12);
  printer.Text(context.ReportSubtitle + "\n");
  printer.Text("\n");
  printer.SetFontSize(8);
  printer.SetTextAlign(print::kTextAlignBody);
  printer.SetFontBold(false);
  if (!noSeparator) PrintSeparatorImage(context);
}

void PrintSeparatorImage(ReportContext& context) {
  print::Printer* printer = WindowPrinter(context);
  if (!printer) return;
  context.ReportPicture = ReportImage(1);
  printer->SetCurrentX(1440);
  printer->DrawPicture(context.ReportPicture, 1440, printer->CurrentY());
  printer->SetCurrentX(1440);
  printer->SetCurrentY(printer->CurrentY() + 125);
}

bool LoadReportPicture(ReportContext& context, const std::string& path) {
  // A report reads the picture of every record, and many records name the
  // same few files: a file read lately and unchanged since is not read
  // again. Equal content read from anywhere becomes one picture anyway.
  struct Known {
    QDateTime modified;
    qint64 size = 0;
    print::Picture picture;
  };
  static QHash<QString, Known> known;
  const QString file = QString::fromStdString(vb::ResolvePath(path));
  const QFileInfo info(file);
  if (!info.isFile()) return false;
  const auto it = known.constFind(file);
  if (it != known.cend() && it->modified == info.lastModified() && it->size == info.size()) {
    context.ReportPicture = it->picture;
    return true;
  }
  QFile in(file);
  if (!in.open(QIODevice::ReadOnly)) return false;
  const print::Picture picture = print::Picture::FromBytes(in.readAll());
  if (picture.isNull()) return false;
  if (known.size() >= 64) known.clear();
  known.insert(file, Known{info.lastModified(), info.size(), picture});
  context.ReportPicture = picture;
  return true;
}

void DrawReportPicture(ReportContext& context) {
  print::Printer* target = WindowPrinter(context);
  print::Printer* cursor = context.ReportPrinter ? context.ReportPrinter : target;
  if (!target || !cursor || context.ReportPicture.isNull()) return;
  target->DrawPicture(context.ReportPicture, cursor->CurrentX(), cursor->CurrentY());
}

void ShowExportNotice(ReportContext& context, bool asciiDone, bool htmlDone) {
  if (asciiDone) {
    vb::MsgBox("Ascii Delimited file: \n" + context.AsciiExportFile + "\nhas been created.\n\n" +
                   "The ASCII delimiting character: ^",
               vb::vbInformation | vb::vbOKOnly, vb::AppTitle());
  }
  if (htmlDone) {
    print::Printer* printer = WindowPrinter(context);
    if (!printer) return;
    // Only a file that was written is announced; a failed one is named in
    // the output's own warning, which says why and that the file there
    // before is left as it was.
    if (printer->LastExportOk()) {
      vb::MsgBox("HTML file: \n" + printer->ExportFile() + "\nhas been created.", vb::vbInformation | vb::vbOKOnly,
                 vb::AppTitle());
    } else {
      vb::MsgBox(printer->LastError(), vb::vbExclamation | vb::vbOKOnly, vb::AppTitle());
    }
  }
}

void SetReportHelpFile(ReportContext& context, std::intptr_t windowHandle, const std::string& folder) {
  std::string base = vb::Trim(folder);
  if (!base.empty() && base.back() != '\\' && base.back() != '/') base += "/";
  context.HelpFile = base + "Reruve.HLP";
  context.HelpWindow = windowHandle;
}

}  // namespace tvn::reports
