// The report surface: cursor, text flow, page breaks, header and drawing.
// Tables are laid out in Tables.cpp.
#include "platform/print/Printer.h"

#include <QFile>
#include <QTextBoundaryFinder>

#include <algorithm>
#include <cmath>
#include <vector>

#include "platform/print/DocumentFile.h"
#include "platform/print/Fonts.h"
#include "platform/print/PrinterState.h"

namespace print {

Printer::Printer(QObject* parent) : QObject(parent), d_(new State) {}
Printer::~Printer() { delete d_; }

// ---- documents

void Printer::StartDoc() {
  if (d_->table.open) d_->table = PendingTable{};
  d_->ReleasePages();
  d_->docStart = 0;
  d_->open = true;
  d_->docOrientation = d_->orientation;
  d_->exportOk = true;
  d_->AddPage();
}

void Printer::EndDoc() {
  if (!d_->open) return;
  if (d_->table.open || !d_->table.rows.empty()) EndTable();
  d_->StampHeaders();
  d_->open = false;
  d_->exportOk = true;
  if (!d_->exportFile.empty() && d_->exportFormat == kExportHtml) {
    std::string error;
    d_->exportOk = WriteHtml(d_->doc, d_->exportFile, &error, d_->progress);
    if (!d_->exportOk) d_->error = error;
  }
  d_->previewPage = d_->doc.pages.empty() ? 0 : 1;
  emit documentChanged();
  emit previewPageChanged(d_->previewPage);
}

void Printer::NewPage() {
  d_->EnsureDoc();
  d_->AddPage();
}

void Printer::KillDoc() {
  d_->ReleasePages();
  d_->table = PendingTable{};
  d_->CloseLine();
  d_->open = false;
  d_->previewPage = 0;
  emit documentChanged();
  emit previewPageChanged(0);
}

void Printer::Refresh() { emit refreshRequested(); }

bool Printer::IsDocOpen() const { return d_->open; }

// ---- text flow

void Printer::Text(const std::string& text) {
  d_->EnsureDoc();
  const QString all = QString::fromStdString(text);
  qsizetype start = 0;
  while (true) {
    const qsizetype lf = all.indexOf(QLatin1Char('\n'), start);
    QString piece = all.mid(start, lf < 0 ? -1 : lf - start);
    piece.remove(QLatin1Char('\r'));
    if (!piece.isEmpty()) d_->Print(std::move(piece));
    if (lf < 0) break;
    d_->LineFeed();
    start = lf + 1;
  }
}

double Printer::CurrentX() const { return d_->x; }
void Printer::SetCurrentX(double x) { d_->x = x; }
double Printer::CurrentY() const { return d_->y; }
void Printer::SetCurrentY(double y) { d_->y = y; }
double Printer::TextWidth(const std::string& text) const {
  return MeasureText(d_->font, QString::fromStdString(text));
}
double Printer::TextHeight() const { return LineHeight(d_->font); }
std::vector<std::string> Printer::WrapLines(const std::string& text, double firstWidth, double width) const {
  std::vector<std::string> lines;
  for (const QString& line : WrapText(d_->font, QString::fromStdString(text), firstWidth, width))
    lines.push_back(line.toStdString());
  return lines;
}

std::string Printer::FitText(const std::string& text, double width) const {
  if (TextWidth(text) <= width) return text;
  const QString all = QString::fromStdString(text);
  // Only whole graphemes are kept: a cut between a letter and its accent
  // would print the letter bare (and a cut inside a pair of surrogates or
  // a conjunct, half a character).
  std::vector<qsizetype> ends;  // where each grapheme ends
  QTextBoundaryFinder graphemes(QTextBoundaryFinder::Grapheme, all);
  for (qsizetype at = graphemes.toNextBoundary(); at > 0; at = graphemes.toNextBoundary()) ends.push_back(at);
  // The first `keep` graphemes fit, the first `over` do not.
  size_t keep = 0, over = ends.size();
  while (over - keep > 1) {
    const size_t mid = (keep + over) / 2;
    (MeasureText(d_->font, all.left(ends[mid - 1])) <= width ? keep : over) = mid;
  }
  return keep ? all.left(ends[keep - 1]).toStdString() : std::string();
}

// ---- fonts and colour

std::string Printer::FontName() const { return d_->font.name; }
void Printer::SetFontName(const std::string& name) { d_->font.name = name; }
double Printer::FontSize() const { return d_->font.size; }
void Printer::SetFontSize(double points) {
  if (points > 0) d_->font.size = points;
}
bool Printer::FontBold() const { return d_->font.bold; }
void Printer::SetFontBold(bool on) { d_->font.bold = on; }
bool Printer::FontItalic() const { return d_->font.italic; }
void Printer::SetFontItalic(bool on) { d_->font.italic = on; }
bool Printer::FontUnderline() const { return d_->font.underline; }
void Printer::SetFontUnderline(bool on) { d_->font.underline = on; }
FontSpec Printer::Font() const { return d_->font; }
void Printer::SetFont(const FontSpec& font) { d_->font = font; }
FontSpec Printer::HdrFont() const { return d_->hdrFont; }
void Printer::SetHdrFont(const FontSpec& font) { d_->hdrFont = font; }
long Printer::TextColor() const { return d_->color; }
void Printer::SetTextColor(long bgr) { d_->color = bgr; }

// ---- page geometry

double Printer::MarginLeft() const { return d_->marginLeft; }
void Printer::SetMarginLeft(double t) { d_->marginLeft = std::max(0.0, t); }
double Printer::MarginRight() const { return d_->marginRight; }
void Printer::SetMarginRight(double t) { d_->marginRight = std::max(0.0, t); }
double Printer::MarginTop() const { return d_->marginTop; }
void Printer::SetMarginTop(double t) { d_->marginTop = std::max(0.0, t); }
double Printer::MarginBottom() const { return d_->marginBottom; }
void Printer::SetMarginBottom(double t) { d_->marginBottom = std::max(0.0, t); }
double Printer::IndentLeft() const { return d_->indentLeft; }
void Printer::SetIndentLeft(double t) { d_->indentLeft = t; }
double Printer::IndentRight() const { return d_->indentRight; }
void Printer::SetIndentRight(double t) { d_->indentRight = t; }
int Printer::TextAlign() const { return d_->align; }
void Printer::SetTextAlign(int code) { d_->align = code; }
int Printer::Orientation() const { return d_->orientation; }
void Printer::SetOrientation(int o) { d_->orientation = o == kLandscape ? kLandscape : kPortrait; }
double Printer::PageWidth() const { return d_->PageWidth(); }
double Printer::PageHeight() const { return d_->PageHeight(); }
std::string Printer::Header() const { return d_->header; }
void Printer::SetHeader(const std::string& header) { d_->header = header; }

// ---- drawing

void Printer::DrawPicture(const Picture& picture, double x, double y, double width, double height) {
  if (picture.isNull()) return;
  d_->EnsureDoc();
  PictureItem p;
  p.x = x;
  p.y = y;
  p.width = width > 0 && height > 0 ? width : PictureWidthTwips(picture);
  p.height = width > 0 && height > 0 ? height : PictureHeightTwips(picture);
  p.picture = picture;
  d_->doc.pages.back().pictures.push_back(std::move(p));
}

void Printer::DrawLine(double x1, double y1, double x2, double y2) {
  d_->EnsureDoc();
  d_->doc.pages.back().lines.push_back(LineItem{x1, y1, x2, y2, d_->pen, d_->penWidth});
}

void Printer::DrawRectangle(double x1, double y1, double x2, double y2) {
  d_->EnsureDoc();
  BoxItem b;
  b.x = std::min(x1, x2);
  b.y = std::min(y1, y2);
  b.width = std::abs(x2 - x1);
  b.height = std::abs(y2 - y1);
  b.brush = d_->brush;
  b.filled = d_->brush >= 0;
  b.pen = d_->pen;
  b.outlined = d_->pen >= 0;
  d_->doc.pages.back().boxes.push_back(b);
}

long Printer::PenColor() const { return d_->pen; }
void Printer::SetPenColor(long bgr) { d_->pen = bgr; }
long Printer::BrushColor() const { return d_->brush; }
void Printer::SetBrushColor(long bgr) { d_->brush = bgr; }
double Printer::PenWidth() const { return d_->penWidth; }
void Printer::SetPenWidth(double t) { d_->penWidth = std::max(0.0, t); }

// ---- pages, preview, export and files

int Printer::PageCount() const { return d_->doc.PageCount(); }
int Printer::PreviewPage() const { return d_->previewPage; }
void Printer::SetPreviewPage(int page) {
  const int n = PageCount();
  page = n == 0 ? 0 : std::clamp(page, 1, n);
  if (page == d_->previewPage) return;
  d_->previewPage = page;
  emit previewPageChanged(page);
}
std::string Printer::ExportFile() const { return d_->exportFile; }
void Printer::SetExportFile(const std::string& file) { d_->exportFile = file; }
int Printer::ExportFormat() const { return d_->exportFormat; }
void Printer::SetExportFormat(int format) { d_->exportFormat = format; }
bool Printer::LastExportOk() const { return d_->exportOk; }
std::string Printer::LastError() const { return d_->error; }
const Document& Printer::document() const { return d_->doc; }

void Printer::SetProgress(Progress hook) { d_->progress = std::move(hook); }
void Printer::ReportProgress(long long done, long long total) const {
  if (d_->progress) d_->progress(done, total);
}

bool Printer::SaveDoc(const std::string& file, int from, int to) {
  std::string error;
  if (!SaveDocument(d_->doc, file, from, to, &error, d_->progress)) {
    d_->error = error;
    return false;
  }
  return true;
}

bool Printer::LoadDoc(const std::string& file, bool append) {
  Document loaded;
  std::string error;
  if (!LoadDocument(file, &loaded, &error, d_->progress)) {
    d_->error = error;
    return false;
  }
  if (!append) d_->ReleasePages();
  const bool wasEmpty = d_->doc.pages.empty();
  // The loaded pages are taken over with their temporary file, not copied
  // page by page into another; appended, they are read once, in order.
  if (wasEmpty) {
    d_->doc = std::move(loaded);
  } else {
    for (size_t i = 0; i < loaded.pages.size(); ++i) {
      if (d_->progress) d_->progress(static_cast<long long>(i), 0);
      d_->doc.pages.push_back(loaded.pages[i]);
    }
  }
  d_->open = false;
  d_->table = PendingTable{};
  d_->CloseLine();
  if (wasEmpty || d_->previewPage == 0) d_->previewPage = d_->doc.pages.empty() ? 0 : 1;
  emit documentChanged();
  emit previewPageChanged(d_->previewPage);
  return true;
}

bool Printer::WritePdf(const std::string& file) const {
  std::string error;
  if (!print::WritePdf(d_->doc, file, &error, d_->progress)) {
    d_->error = error;
    return false;
  }
  return true;
}

QString Printer::Html() const { return DocumentHtml(d_->doc); }

void RenderPage(const Printer& printer, int page, QPainter& painter) {
  RenderPage(printer.document(), page, painter);
}

// ---- the state's flow routines

double Printer::State::PageWidth() const {
  const int o = open ? docOrientation : orientation;
  return o == kLandscape ? kLetterHeight : kLetterWidth;
}
double Printer::State::PageHeight() const {
  const int o = open ? docOrientation : orientation;
  return o == kLandscape ? kLetterWidth : kLetterHeight;
}

void Printer::State::ReleasePages() {
  // Letting go of a long report takes a while: it goes a slice at a time,
  // and the hook keeps a busy window turning between slices.
  constexpr size_t kSlice = 2048;
  while (doc.pages.size() > kSlice) {
    doc.pages.resize(doc.pages.size() - kSlice);
    if (progress) progress(static_cast<long long>(doc.pages.size()), 0);
  }
  doc.pages.clear();
  doc.pages.shrink_to_fit();
  stampedPages = 0;
  stampedWith = HeaderStamp{};
}

void Printer::State::EnsureDoc() {
  if (!open) {
    // Drawing without StartDoc begins a document rather than losing the text.
    ReleasePages();
    docStart = 0;
    open = true;
    docOrientation = orientation;
    AddPage();
  } else if (doc.pages.empty()) {
    AddPage();
  }
}

void Printer::State::AddPage() {
  // The page before is finished: its header goes on while it is at hand.
  const size_t last = doc.pages.size();
  if (open && last > static_cast<size_t>(docStart) && stampedPages + 1 == last) {
    const HeaderStamp now = CurrentStamp();
    if (stampedPages == static_cast<size_t>(docStart)) stampedWith = now;
    if (stampedWith == now) {
      StampHeader(last - 1, now);
      stampedPages = last;
    }
  }
  Page p;
  p.width = PageWidth();
  p.height = PageHeight();
  doc.pages.push_back(std::move(p));
  if (progress) progress(static_cast<long long>(doc.pages.size()), 0);
  x = LeftLimit();
  y = marginTop;
  lineHeight = 0;
  CloseLine();
}

void Printer::State::LineFeed() {
  y += std::max(lineHeight, print::LineHeight(font));
  x = LeftLimit();
  lineHeight = 0;
  CloseLine();
}

void Printer::State::BreakIfBelow(double height) {
  if (y + height > PageHeight() - marginBottom && y > marginTop) {
    const double keepX = x;
    AddPage();
    x = keepX;
  }
}

void Printer::State::Emit(const QString& text, double width) {
  const FontEntry& metrics = FontFor(font);
  const double h = metrics.ascent + metrics.descent;
  BreakIfBelow(h);
  // Runs of different sizes on one line stand on one baseline, the one the
  // line's tallest font needs; a taller run lowers the runs before it.
  auto& texts = doc.pages.back().texts;
  if (lineFirst < 0 || lineTop != y || lineFirst > static_cast<long>(texts.size())) {
    lineFirst = static_cast<long>(texts.size());
    lineTop = y;
    lineAscent = 0;
    lineDescent = 0;
  }
  if (metrics.ascent > lineAscent) {
    lineAscent = metrics.ascent;
    for (size_t i = static_cast<size_t>(lineFirst); i < texts.size(); ++i) texts[i].baseline = lineTop + lineAscent;
  }
  lineDescent = std::max(lineDescent, metrics.descent);
  TextItem t;
  t.x = x;
  t.y = y;
  t.baseline = lineTop + lineAscent;
  t.width = width;
  t.font = font;
  t.color = color;
  t.text = text;
  texts.push_back(std::move(t));
  x += width;
  lineHeight = std::max({lineHeight, h, lineAscent + lineDescent});
}

void Printer::State::Print(QString piece) {
  const double left = LeftLimit();
  const double right = RightLimit();
  if (align == kTextAlignTitle || align == kTextAlignDate) {
    const auto lines = WrapText(font, piece, right - left, right - left);
    for (size_t i = 0; i < lines.size(); ++i) {
      if (i > 0) LineFeed();
      const double w = MeasureText(font, lines[i]);
      x = align == kTextAlignDate ? right - w : left + (right - left - w) / 2;
      Emit(lines[i], w);
    }
    return;
  }
  const double whole = MeasureRun(font, piece);
  if (x + whole <= right + 0.5) {
    Emit(piece, whole);
    return;
  }
  const auto lines = WrapText(font, piece, right - x, right - left);
  for (size_t i = 0; i < lines.size(); ++i) {
    if (i > 0) LineFeed();
    QString line = lines[i];
    if (!line.isEmpty()) Emit(line, MeasureRun(font, line));
  }
}

HeaderStamp Printer::State::CurrentStamp() const {
  return HeaderStamp{header, hdrFont, marginTop, marginLeft, marginRight};
}

void Printer::State::StampHeader(size_t i, const HeaderStamp& stamp) {
  if (stamp.header.empty()) return;
  const QStringList parts = QString::fromStdString(stamp.header).split(QLatin1Char('|'));
  const FontEntry& fm = FontFor(stamp.font);
  const double h = fm.ascent + fm.descent;
  Page& page = doc.pages.Edit(i);
  const double top = std::max(0.0, (stamp.marginTop - h) / 2);
  const double left = stamp.marginLeft;
  const double right = page.width - stamp.marginRight;
  for (int k = 0; k < std::min<int>(3, static_cast<int>(parts.size())); ++k) {
    QString text = parts[k];
    text.replace(QLatin1String("%d"), QString::number(i + 1));
    if (text.isEmpty()) continue;
    const double w = TextAdvance(fm, text);
    TextItem t;
    t.x = k == 0 ? left : k == 1 ? left + (right - left - w) / 2 : right - w;
    t.y = top;
    t.baseline = top + fm.ascent;
    t.width = w;
    t.font = stamp.font;
    t.color = 0;
    t.text = text;
    t.header = true;
    page.texts.push_back(std::move(t));
  }
}

void Printer::State::StampHeaders() {
  const HeaderStamp now = CurrentStamp();
  const size_t start = static_cast<size_t>(docStart);
  size_t from = std::max(start, stampedPages);
  if (stampedPages > start && !(stampedWith == now)) {
    // The header changed after the first pages were given theirs: every
    // page is stamped again, the ones in the temporary file read back.
    from = start;
    for (size_t i = start; i < stampedPages && i < doc.pages.size(); ++i) {
      if (progress) progress(static_cast<long long>(i), 0);
      if (stampedWith.header.empty()) continue;
      std::erase_if(doc.pages.Edit(i).texts, [](const TextItem& t) { return t.header; });
    }
  }
  const size_t n = doc.pages.size();
  for (size_t i = from; i < n; ++i) {
    // The pages before the last may be read back from the file.
    if (progress && i + 1 < n) progress(static_cast<long long>(i), 0);
    StampHeader(i, now);
  }
  stampedPages = doc.pages.size();
  stampedWith = now;
}

}  // namespace print
