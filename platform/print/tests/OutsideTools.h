#pragma once
// Output read back with tools nobody here wrote: pdftotext and pdffonts
// (poppler-utils), MuPDF's mutool, pdf.js (the reader in Firefox), qpdf and
// Python's html5lib, all installed by the set-up.
#include <QFile>
#include <QProcess>
#include <QString>
#include <QStringList>

#include <optional>

namespace printtest {

// A command's standard output, or nothing when it cannot be run or fails.
inline std::optional<QString> RunTool(const QString& program, const QStringList& arguments) {
  QProcess process;
  process.start(program, arguments);
  if (!process.waitForFinished(120000) || process.exitStatus() != QProcess::NormalExit || process.exitCode() != 0)
    return std::nullopt;
  return QString::fromUtf8(process.readAllStandardOutput());
}

// The text layer of a PDF as pdftotext reads it, in UTF-8 and untouched.
inline std::optional<QString> PdfText(const QString& pdf) {
  return RunTool("pdftotext", {"-enc", "UTF-8", pdf, "-"});
}

// The text of a PDF as MuPDF reads it.
inline std::optional<QString> MutoolText(const QString& pdf) {
  return RunTool("mutool", {"draw", "-q", "-F", "txt", "-o", "-", pdf});
}

#ifdef TVN_PDFJS_DIR
// The text of a PDF as pdf.js reads it (pdfjs_text.mjs).
inline std::optional<QString> PdfJsText(const QString& pdf) {
  return RunTool("node", {TVN_PDFJS_SCRIPT, TVN_PDFJS_DIR, pdf});
}
#endif

// The errors an HTML5 parser reports on a file, one a line (empty: none),
// or nothing when the parser cannot be run. Debian's html5lib belongs to
// the system's Python, which another python3 on the path may not see.
inline std::optional<QString> Html5Errors(const QString& file) {
  const QString python = QFile::exists("/usr/bin/python3") ? "/usr/bin/python3" : "python3";
  return RunTool(python, {"-c",
                          "import sys, html5lib\n"
                          "p = html5lib.HTMLParser()\n"
                          "p.parse(open(sys.argv[1], 'rb'))\n"
                          "for pos, code, data in p.errors: print(pos, code, data)\n",
                          file});
}

}  // namespace printtest
