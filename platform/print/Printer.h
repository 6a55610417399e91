#pragma once
// The report surface: a page model driven through a cursor, as the report
// writers expect of a print-preview control. The writers print at
// (CurrentX, CurrentY), move the cursor themselves, and rely on line feeds,
// wrapping inside the margins and indents, automatic page breaks, tables
// laid out from format strings and a page header on every page.
//
// Conventions of this class:
// - Units are twips (1440 to the inch) from the page's top-left corner;
//   colours are blue-green-red longs (65535 yellow, &HC0C0FF light red).
// - A property P is read with P() and written with SetP(v). Text(s) prints
//   s: it is the one member that is written only.
// - File failures (SaveDoc, LoadDoc, WritePdf, the HTML export at EndDoc)
//   return false and leave a message naming the file in LastError(); the
//   current document stays as it was. Nothing here shows a message.
// - The default page is US Letter portrait, margins one inch at the sides
//   and 0.5 inch at top and bottom (the writers set top and bottom).
//
// TextAlign codes, as the writers use them:
//   6  body text: left, at CurrentX                     (any other code too)
//   7  title lines: centred between the left and right limits
//   8  date line: right-aligned to the right limit, on the current line
// The left and right limits are MarginLeft + IndentLeft and
// page width - MarginRight - IndentRight.
#include "platform/print/Document.h"

#include <QObject>

#include <functional>

#include <optional>
#include <string>
#include <vector>

class QPainter;

namespace print {

enum : int { kPortrait = 0, kLandscape = 1 };
enum : int { kExportHtml = 2 };
enum : int { kTextAlignBody = 6, kTextAlignTitle = 7, kTextAlignDate = 8 };
// TableCell setting: the cell's font is bold.
enum : int { kTableCellFontBold = 25 };

// How far long work is, for a window that keeps painting and shows it:
// done of total, or total 0 when the end is not known yet (the pages laid
// out so far). Called often; the receiver decides how often to act on it.
using Progress = std::function<void(long long done, long long total)>;

// A picture's own size in twips: from the dots per metre it carries, else
// at 96 dots per inch (15 twips a pixel).
double PictureWidthTwips(const Picture& image);
double PictureHeightTwips(const Picture& image);
// The same in HIMETRIC (0.01 mm), as picture objects report it.
double PictureWidthHimetric(const Picture& image);
double PictureHeightHimetric(const Picture& image);
// HIMETRIC to twips (x 1440 / 2540).
double HimetricToTwips(double himetric);

// The family a font name is measured and drawn with: "arial" (any case) is
// Liberation Sans, which has the same metrics on every machine.
QString FamilyFor(const std::string& name);

// Width and height (ascent + descent) in twips of text in a font, measured
// independently of any screen.
double MeasureText(const FontSpec& font, const QString& text);
double LineHeight(const FontSpec& font);

// One column of an AddTable format: "<1.8in", "^.75in", "+^2.0in", "1440".
struct ColumnFormat {
  char align = '<';      // '<' left, '^' centre, '>' right, '=' justified
  char valign = 't';     // 't' top, 'c' centre ('+'), 'b' bottom ('_')
  bool noWrap = false;   // '~'
  bool rightBorder = false;  // '!'
  double width = -1;     // twips; -1 when the format gives none
  bool operator==(const ColumnFormat&) const = default;
};
std::vector<ColumnFormat> ParseTableFormat(const std::string& format);
// A header or body text of AddTable as rows of cells: ";" ends a row (a
// trailing one is optional), "|" separates cells; line feeds stay in cells.
std::vector<std::vector<std::string>> SplitTableRows(const std::string& text);

class Printer : public QObject {
  Q_OBJECT

 public:
  explicit Printer(QObject* parent = nullptr);
  ~Printer() override;

  // ---- documents
  // A new empty document of one page, cursor at (MarginLeft, MarginTop).
  // Fonts, margins, header text and export settings carry over.
  void StartDoc();
  // Ends the document (an open table is laid out), stamps the page header on
  // its pages and, when ExportFile is set, writes the HTML export.
  void EndDoc();
  // The next page; cursor at (MarginLeft + IndentLeft, MarginTop).
  void NewPage();
  // Discards the document.
  void KillDoc();
  // Repaints the previews showing this surface.
  void Refresh();
  bool IsDocOpen() const;

  // ---- text flow
  // Prints at the cursor; a line feed ends the line, text wraps between the
  // limits, a line that would pass the bottom margin goes to a new page.
  void Text(const std::string& text);
  double CurrentX() const;
  void SetCurrentX(double x);
  double CurrentY() const;
  void SetCurrentY(double y);
  // Width and line height of text in the current font.
  double TextWidth(const std::string& text) const;
  double TextHeight() const;
  // The lines Text would wrap text into in the current font: the first
  // line firstWidth twips wide, the others width. Writers that set texts
  // side by side in columns lay them out line by line with it.
  std::vector<std::string> WrapLines(const std::string& text, double firstWidth, double width) const;
  // The longest start of text that is at most width twips wide in the
  // current font, ending only between graphemes (never between a letter
  // and its accent, nor inside a surrogate pair or a cluster): writers that give
  // a value a fixed place cut a longer one rather than run into the next.
  std::string FitText(const std::string& text, double width) const;

  // ---- fonts and colour
  std::string FontName() const;
  void SetFontName(const std::string& name);
  double FontSize() const;
  void SetFontSize(double points);
  bool FontBold() const;
  void SetFontBold(bool on);
  bool FontItalic() const;
  void SetFontItalic(bool on);
  bool FontUnderline() const;
  void SetFontUnderline(bool on);
  FontSpec Font() const;
  void SetFont(const FontSpec& font);
  FontSpec HdrFont() const;
  void SetHdrFont(const FontSpec& font);
  long TextColor() const;
  void SetTextColor(long bgr);

  // ---- page geometry
  double MarginLeft() const;
  void SetMarginLeft(double twips);
  double MarginRight() const;
  void SetMarginRight(double twips);
  double MarginTop() const;
  void SetMarginTop(double twips);
  double MarginBottom() const;
  void SetMarginBottom(double twips);
  double IndentLeft() const;
  void SetIndentLeft(double twips);
  double IndentRight() const;
  void SetIndentRight(double twips);
  int TextAlign() const;
  void SetTextAlign(int code);
  // Taken by the next StartDoc; a finished document keeps its pages.
  int Orientation() const;
  void SetOrientation(int orientation);
  // Size of the page being written (or of the next document's pages).
  double PageWidth() const;
  double PageHeight() const;

  // Page header: "left|centre|right", "%d" the page number; drawn in HdrFont
  // on every page of the document, inside the top margin.
  std::string Header() const;
  void SetHeader(const std::string& header);

  // ---- drawing
  // At the picture's own size (or width x height when both are given), top
  // left at (x, y). The cursor does not move.
  void DrawPicture(const Picture& picture, double x, double y, double width = 0, double height = 0);
  void DrawLine(double x1, double y1, double x2, double y2);
  // Filled with BrushColor, outlined with PenColor (when PenColor is not -1).
  void DrawRectangle(double x1, double y1, double x2, double y2);
  long PenColor() const;
  void SetPenColor(long bgr);
  long BrushColor() const;
  void SetBrushColor(long bgr);
  double PenWidth() const;
  void SetPenWidth(double twips);

  // ---- tables
  // Begins a table block: rows of every AddTable up to EndTable make one
  // table. A second StartTable inside a block changes nothing.
  void StartTable();
  // format: columns as ParseTableFormat reads them; header and body as
  // SplitTableRows reads them; shades are blue-green-red, -1 for none.
  // Outside a block the table is laid out at once. Inside one, rows
  // accumulate whether or not append is given.
  void AddTable(const std::string& format, const std::string& header, const std::string& body,
                long headerShade = -1, long bodyShade = -1, bool append = false);
  // The same with the body as rows of cells, so that no cell text can split.
  void AddTable(const std::string& format, const std::string& header,
                const std::vector<std::vector<std::string>>& rows, long headerShade = -1,
                long bodyShade = -1, bool append = false);
  // Cell style of the table being built: row 0 is the header, body rows
  // count from 1, columns from 1; an omitted row means every row of the
  // column, an omitted column every cell of the row. Only
  // kTableCellFontBold is known; other settings are ignored.
  void TableCell(int setting, std::optional<int> row, std::optional<int> column, bool value);
  // Lays the table out at CurrentY from the left limit, breaking pages and
  // repeating the header row; CurrentY ends below the table.
  void EndTable();

  // ---- pages, preview and export
  int PageCount() const;
  // The page the previews show now (1-based; 0 with no pages).
  int PreviewPage() const;
  void SetPreviewPage(int page);
  std::string ExportFile() const;
  void SetExportFile(const std::string& file);
  int ExportFormat() const;
  void SetExportFormat(int format);
  // Whether the last EndDoc wrote its export (true when none was asked).
  bool LastExportOk() const;

  // Long work (layout, PDF, HTML, saving and loading) calls hook as it
  // goes: with the pages so far and total 0 while laying out, with pages
  // done of all while writing or reading a file. An empty hook is none.
  void SetProgress(Progress hook);
  // For a writer walking its records: passed to the hook as it stands.
  void ReportProgress(long long done, long long total) const;

  // Pages from..to (1-based, inclusive; 0, 0 for all) as a report document.
  bool SaveDoc(const std::string& file, int from = 0, int to = 0);
  // Replaces the document with the file's pages, or appends them.
  bool LoadDoc(const std::string& file, bool append = false);
  bool WritePdf(const std::string& file) const;
  // The document as HTML (what the export at EndDoc writes).
  QString Html() const;
  std::string LastError() const;

  const Document& document() const;

 signals:
  // The pages changed (EndDoc, KillDoc, LoadDoc).
  void documentChanged();
  void previewPageChanged(int page);
  void refreshRequested();

 private:
  struct State;
  State* d_;
};

// Paints one page (1-based) in twips on painter: the caller scales the
// painter to its device. Used by the preview, PDF and PNG output.
void RenderPage(const Document& document, int page, QPainter& painter);
void RenderPage(const Printer& printer, int page, QPainter& painter);

// Writers of a whole document; false with *error naming the file on failure.
bool WritePdf(const Document& document, const std::string& file, std::string* error,
              const Progress& progress = {});
QString DocumentHtml(const Document& document);
bool WriteHtml(const Document& document, const std::string& file, std::string* error,
               const Progress& progress = {});
// Renders a page as an image at dpi dots per inch, white background.
QImage RenderPageImage(const Document& document, int page, double dpi);

}  // namespace print
