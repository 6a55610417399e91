#pragma once
// The report-document file: our own format. A magic word and a version,
// then the pages with their items; pictures are stored once each, as PNG.
// See docs/file-format.md.
#include "platform/print/Document.h"
#include "platform/print/Printer.h"

#include <QByteArray>
#include <QHash>

#include <string>
#include <vector>

namespace print {

// Pages from..to (1-based, inclusive; 0, 0 for all). False with *error
// naming the file when it cannot be written or the range is outside the
// document.
bool SaveDocument(const Document& document, const std::string& file, int from, int to,
                  std::string* error, const Progress& progress = {});
// Reads a whole file into *out. A file that is not a report document, is cut
// short, or comes from a newer version is refused: false with *error, *out
// untouched.
bool LoadDocument(const std::string& file, Document* out, std::string* error,
                  const Progress& progress = {});

// One page in the document file's own encoding, its pictures given as the
// indexes pictureIndex holds for their keys, and read back against the
// list of those pictures; false when the bytes are no such page. The page
// read into is overwritten, its memory used again; after a false it
// holds nothing to keep.
QByteArray EncodePage(const Page& page, const QHash<QByteArray, quint32>& pictureIndex);
bool DecodePage(const QByteArray& bytes, const std::vector<Picture>& pictures, Page* page);

}  // namespace print
