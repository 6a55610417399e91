// The report-document file. Layout (QDataStream, big-endian, Qt 6.0 rules):
//   magic quint32 'TVRD', version quint16, picture count quint32, pictures,
//   page count quint32, then per page its size and its items kind by kind.
//   Each picture content is stored once, as the bytes it was read from
//   (version 2; version 1 stored QImages as PNG, and is still read).
#include "platform/print/DocumentFile.h"

#include "platform/print/PrinterState.h"

#include <QBuffer>
#include <QDataStream>
#include <QFile>
#include <QFileInfo>
#include <QCryptographicHash>
#include <QDateTime>
#include <QDir>
#include <QHash>
#include <QImageReader>
#include <QImageWriter>
#include <QSaveFile>

#include <QtEndian>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <array>
#include <cerrno>
#include <climits>
#include <cmath>
#include <cstring>
#include <random>

namespace print {

namespace {

constexpr quint32 kMagic = 0x54565244;  // "TVRD"
constexpr quint16 kVersion = 2;
constexpr QDataStream::Version kStreamVersion = QDataStream::Qt_6_0;

// Appends the fields of a page as QDataStream writes them (big-endian,
// doubles as 8 bytes, a string as its byte length, 0xFFFFFFFF for a null
// one, then UTF-16), straight into one buffer: a page holds thousands of
// fields, and a stream pays a device call for each.
class FieldWriter {
 public:
  explicit FieldWriter(QByteArray& out) : out_(out) {}
  void U32(quint32 v) { Put(v); }
  void I32(qint32 v) { Put(static_cast<quint32>(v)); }
  void I8(qint8 v) { out_.append(static_cast<char>(v)); }
  void Bool(bool v) { I8(v ? 1 : 0); }
  void F64(double v) {
    quint64 bits;
    std::memcpy(&bits, &v, sizeof bits);
    Put(bits);
  }
  void Str(const QString& s) {
    if (s.isNull()) return U32(0xFFFFFFFFu);
    const qsizetype n = s.size();
    U32(static_cast<quint32>(n * 2));
    const qsizetype at = out_.size();
    out_.resize(at + n * 2);
    qToBigEndian<char16_t>(s.utf16(), n, out_.data() + at);
  }

 private:
  template <class T>
  void Put(T v) {
    char bytes[sizeof(T)];
    qToBigEndian(v, bytes);
    out_.append(bytes, sizeof(T));
  }
  QByteArray& out_;
};

// The size a picture's header gives, read without decoding it.
QSize HeaderSize(const QByteArray& bytes) {
  QBuffer buffer;
  buffer.setData(bytes);
  buffer.open(QIODevice::ReadOnly);
  QImageReader reader(&buffer);
  reader.setDecideFormatFromContent(true);
  return reader.size();
}

// The bytes a picture is stored as: the ones it was read from, unless
// their format tells its size only once decoded; such a picture is stored
// as PNG, whose size the load reads before anything is decoded.
QByteArray StoredBytes(const Picture& picture) {
  QByteArray bytes = picture.Encoded();
  if (HeaderSize(bytes) == picture.size()) return bytes;
  QByteArray png;
  QBuffer buffer(&png);
  buffer.open(QIODevice::WriteOnly);
  QImageWriter(&buffer, "png").write(picture.Image());
  return png;
}

// One page in the document file's encoding, appended to out; its pictures
// are the indexes index gives their contents.
void WritePage(QByteArray& out, const Page& page, const QHash<QByteArray, quint32>& index) {
  FieldWriter w(out);
  w.F64(page.width);
  w.F64(page.height);
  w.U32(quint32(page.texts.size()));
  // The font of nearly every run is the run before's: its name is made a
  // string once.
  const std::string* fontName = nullptr;
  QString fontString;
  for (const auto& t : page.texts) {
    w.F64(t.x);
    w.F64(t.y);
    w.F64(t.baseline);
    w.F64(t.width);
    if (!fontName || *fontName != t.font.name) {
      fontString = QString::fromStdString(t.font.name);
      fontName = &t.font.name;
    }
    w.Str(fontString);
    w.F64(t.font.size);
    w.I8(static_cast<qint8>((t.font.bold ? 1 : 0) | (t.font.italic ? 2 : 0) | (t.font.underline ? 4 : 0)));
    w.I32(qint32(t.color));
    w.Str(t.text);
    w.Bool(t.header);
    w.I32(qint32(t.table));
  }
  w.U32(quint32(page.pictures.size()));
  for (const auto& pic : page.pictures) {
    w.U32(index.value(pic.picture.Key()));
    w.F64(pic.x);
    w.F64(pic.y);
    w.F64(pic.width);
    w.F64(pic.height);
  }
  w.U32(quint32(page.lines.size()));
  for (const auto& l : page.lines) {
    w.F64(l.x1);
    w.F64(l.y1);
    w.F64(l.x2);
    w.F64(l.y2);
    w.I32(qint32(l.color));
    w.F64(l.width);
  }
  w.U32(quint32(page.boxes.size()));
  for (const auto& b : page.boxes) {
    w.F64(b.x);
    w.F64(b.y);
    w.F64(b.width);
    w.F64(b.height);
    w.I32(qint32(b.pen));
    w.I32(qint32(b.brush));
    w.Bool(b.filled);
    w.Bool(b.outlined);
  }
  w.U32(quint32(page.tables.size()));
  for (const auto& t : page.tables) {
    w.I32(qint32(t.id));
    w.F64(t.x);
    w.F64(t.y);
    w.I32(qint32(t.headerShade));
    w.I32(qint32(t.bodyShade));
    w.U32(quint32(t.columnWidths.size()));
    for (size_t c = 0; c < t.columnWidths.size(); ++c) {
      w.F64(t.columnWidths[c]);
      w.I8(qint8(c < t.columnAlign.size() ? t.columnAlign[c] : '<'));
    }
    w.U32(quint32(t.rows.size()));
    for (const auto& r : t.rows) {
      w.F64(r.y);
      w.F64(r.height);
      w.Bool(r.header);
      w.U32(quint32(r.cells.size()));
      for (const auto& c : r.cells) {
        w.Str(c.text);
        w.Bool(c.bold);
      }
    }
  }
}

// Where a document written under a name ends: a symbolic link at the end
// of the name is followed, link by link, to the file it names.
QString WrittenName(const std::string& file) {
  QFileInfo info(QString::fromStdString(file));
  for (int depth = 0; depth < 128 && info.isSymLink(); ++depth) info.setFile(info.symLinkTarget());
  return info.filePath();
}

// A document is written into a file without a name in the folder of its
// target, and given the name only once it is whole: a write cut short, by
// an error or by the program being killed, leaves no file behind, and a
// document it replaces stays whole until then. Where the file system has
// no such files, a named one beside the target is used (QSaveFile).
class DocumentOut {
 public:
  explicit DocumentOut(const QString& target) : target_(target), named_(target) {}
  ~DocumentOut() {
    if (fd_ >= 0) ::close(fd_);
  }
  DocumentOut(const DocumentOut&) = delete;
  DocumentOut& operator=(const DocumentOut&) = delete;

  bool Open() {
    const QByteArray folder = QFile::encodeName(QFileInfo(target_).absolutePath());
    fd_ = ::open(folder.constData(), O_TMPFILE | O_WRONLY | O_CLOEXEC, 0666);
    if (fd_ < 0) return named_.open(QIODevice::WriteOnly);
    // A document written over keeps the permissions of the one it replaces.
    struct stat old {};
    if (::stat(QFile::encodeName(target_).constData(), &old) == 0 && S_ISREG(old.st_mode))
      (void)::fchmod(fd_, old.st_mode & 07777);
    return unnamed_.open(fd_, QIODevice::WriteOnly, QFileDevice::DontCloseHandle);
  }
  QIODevice* Device() { return fd_ >= 0 ? static_cast<QIODevice*>(&unnamed_) : &named_; }
  void Cancel() {
    if (fd_ < 0) named_.cancelWriting();
  }
  QString ErrorString() const { return error_.isEmpty() ? (fd_ >= 0 ? unnamed_.errorString() : named_.errorString()) : error_; }

  bool Commit() {
    if (fd_ < 0) return named_.commit();
    if (!unnamed_.flush() || unnamed_.error() != QFileDevice::NoError) return false;
    unnamed_.close();
    if (::fsync(fd_) != 0) return Failed(errno);
    const QByteArray target = QFile::encodeName(target_);
    if (Link(target)) return true;
    if (errno != EEXIST) return Failed(errno);
    // Over an existing file: a name of its own first, then moved over the
    // old document in one step. Only a kill between the two leaves that
    // name; the next save beside it removes it.
    RemoveStaleLinks();
    std::random_device random;
    for (int attempt = 0; attempt < 100; ++attempt) {
      const QByteArray beside = QFile::encodeName(LinkPrefix()) + QByteArray::number(random() % 1000000000u);
      if (!Link(beside)) {
        if (errno == EEXIST) continue;
        return Failed(errno);
      }
      if (::rename(beside.constData(), target.constData()) == 0) return true;
      const int error = errno;
      ::unlink(beside.constData());
      return Failed(error);
    }
    return Failed(EEXIST);
  }

 private:
  bool Link(const QByteArray& name) {
    const QByteArray self = "/proc/self/fd/" + QByteArray::number(fd_);
    if (::linkat(AT_FDCWD, self.constData(), AT_FDCWD, name.constData(), AT_SYMLINK_FOLLOW) == 0) return true;
    if (errno == EEXIST) return false;
    return ::linkat(fd_, "", AT_FDCWD, name.constData(), AT_EMPTY_PATH) == 0;
  }
  // The hidden name a document has for a moment before it is moved over
  // the one it replaces.
  QString LinkPrefix() const {
    const QFileInfo info(target_);
    return info.absolutePath() + "/." + info.fileName() + ".tvn-save-";
  }
  // Such names left by a save that was killed; one younger than a minute
  // may be another save's, in the moment between its two steps.
  void RemoveStaleLinks() const {
    const QFileInfo prefix(LinkPrefix());
    const QDir folder(prefix.absolutePath());
    const QDateTime old = QDateTime::currentDateTimeUtc().addSecs(-60);
    for (const QFileInfo& entry :
         folder.entryInfoList({prefix.fileName() + "*"}, QDir::Files | QDir::Hidden | QDir::System)) {
      if (entry.isSymLink() || entry.lastModified().toUTC() > old) continue;
      const QString rest = entry.fileName().mid(prefix.fileName().size());
      bool digits = !rest.isEmpty();
      for (const QChar c : rest) digits = digits && c.isDigit();
      if (digits) QFile::remove(entry.filePath());
    }
  }
  bool Failed(int error) {
    error_ = QString::fromLocal8Bit(std::strerror(error));
    return false;
  }

  QString target_;
  QSaveFile named_;
  QFile unnamed_;
  int fd_ = -1;
  QString error_;
};

}  // namespace

bool SaveDocument(const Document& document, const std::string& file, int from, int to,
                  std::string* error, const Progress& progress) {
  const int n = document.PageCount();
  if (from == 0 && to == 0) {
    from = 1;
    to = n;
  }
  if (n > 0 && (from < 1 || to > n || from > to)) {
    if (error) *error = "The pages " + std::to_string(from) + " to " + std::to_string(to) +
                        " are not in the report; it has " + std::to_string(n) + " pages.";
    return false;
  }
  DocumentOut out(WrittenName(file));
  if (!out.Open()) {
    if (error) *error = UnwrittenExportMessage("report document", file, out.ErrorString());
    return false;
  }
  QDataStream s(out.Device());
  s.setVersion(kStreamVersion);
  s << kMagic << kVersion;

  // Each picture content once, checked against the rule the load applies,
  // so that no document is written that the program would refuse.
  // The store knows them without reading its pages back.
  const std::vector<Picture> pictures =
      n > 0 ? document.pages.Pictures(static_cast<size_t>(from - 1), static_cast<size_t>(to)) : std::vector<Picture>{};
  QHash<QByteArray, quint32> index;
  for (const Picture& picture : pictures) index.insert(picture.Key(), static_cast<quint32>(index.size()));
  s << quint32(pictures.size());
  for (const Picture& picture : pictures) {
    QByteArray bytes = StoredBytes(picture);
    const QSize size = picture.size();
    const std::string refusal = PictureRefusal(static_cast<quint64>(size.width()),
                                               static_cast<quint64>(size.height()), static_cast<quint64>(bytes.size()));
    if (!refusal.empty() || bytes.isEmpty()) {
      out.Cancel();
      if (error)
        *error = UnwrittenExportMessage(
            "report document", file,
            QString::fromStdString("the report holds " +
                                   (refusal.empty() ? std::string("a picture that cannot be stored") : refusal)));
      return false;
    }
    s << quint32(size.width()) << quint32(size.height()) << qint32(picture.dotsPerMeterX())
      << qint32(picture.dotsPerMeterY());
    const QByteArray sum = QCryptographicHash::hash(bytes, QCryptographicHash::Sha1);
    s.writeRawData(sum.constData(), static_cast<int>(sum.size()));
    s << quint32(bytes.size());
    s.writeRawData(bytes.constData(), static_cast<int>(bytes.size()));
  }

  const int count = n == 0 ? 0 : to - from + 1;
  s << quint32(count);
  QByteArray bytes;
  for (int p = from; p <= to && n > 0 && s.status() == QDataStream::Ok; ++p) {
    const Page& page = document.pages[static_cast<size_t>(p - 1)];
    if (progress) progress(p - from + 1, count);
    bytes.clear();
    WritePage(bytes, page, index);
    s.writeRawData(bytes.constData(), static_cast<int>(bytes.size()));
  }
  if (s.status() != QDataStream::Ok || !out.Commit()) {
    if (error) *error = UnwrittenExportMessage("report document", file, out.ErrorString());
    return false;
  }
  return true;
}

namespace {

// Reads the fields the stream wrote (big-endian, doubles as 8 bytes, a
// string as its byte length, 0xFFFFFFFF for a null one, then UTF-16) from
// the file's bytes in memory. Reading past the end sets ok false and
// yields zeros from then on.
class FieldReader {
 public:
  FieldReader(const uchar* begin, const uchar* end) : p_(begin), end_(end) {}
  bool ok() const { return ok_; }
  qint64 left() const { return end_ - p_; }

  quint32 U32() {
    if (!Need(4)) return 0;
    const quint32 v = qFromBigEndian<quint32>(p_);
    p_ += 4;
    return v;
  }
  quint16 U16() {
    if (!Need(2)) return 0;
    const quint16 v = qFromBigEndian<quint16>(p_);
    p_ += 2;
    return v;
  }
  qint32 I32() { return static_cast<qint32>(U32()); }
  qint8 I8() {
    if (!Need(1)) return 0;
    return static_cast<qint8>(*p_++);
  }
  bool Bool() { return I8() != 0; }
  // n bytes as they stand in the file; null past its end.
  const uchar* Take(qint64 n) {
    if (n < 0 || !Need(n)) return nullptr;
    const uchar* at = p_;
    p_ += n;
    return at;
  }
  const uchar* at() const { return p_; }
  double F64() {
    if (!Need(8)) return 0;
    const quint64 bits = qFromBigEndian<quint64>(p_);
    p_ += 8;
    double v;
    std::memcpy(&v, &bits, sizeof v);
    return v;
  }
  // A string's bytes as they stand in the file, to be made a QString
  // later or compared with another's.
  struct Raw {
    const uchar* p = nullptr;
    quint32 bytes = 0;
    bool null = true;  // written as a null string, not an empty one
    bool operator==(const Raw& o) const { return bytes == o.bytes && (bytes == 0 || std::memcmp(p, o.p, bytes) == 0); }
  };
  Raw RawStr() {
    const quint32 bytes = U32();
    if (bytes == 0xFFFFFFFFu) return {};
    if (bytes == 0) return Raw{p_, 0, false};
    if ((bytes & 1) || !Need(bytes)) {
      ok_ = false;
      return {};
    }
    const Raw r{p_, bytes};
    p_ += bytes;
    return r;
  }
  static QString Make(const Raw& r) {
    // An empty string stays empty rather than null, so that a page read
    // back writes as it was written.
    if (r.bytes == 0) return r.null ? QString() : QStringLiteral("");
    QString s(static_cast<qsizetype>(r.bytes / 2), Qt::Uninitialized);
    qFromBigEndian<char16_t>(r.p, s.size(), s.data());
    return s;
  }
  // A count of items of at least leastBytesEach bytes that fits in what is
  // left, so that a damaged count cannot ask for an absurd allocation.
  bool Count(quint32* n, qint64 leastBytesEach) {
    *n = U32();
    if (ok_ && static_cast<qint64>(*n) * leastBytesEach <= left()) return true;
    ok_ = false;
    return false;
  }

 private:
  bool Need(qint64 n) {
    if (ok_ && end_ - p_ >= n) return true;
    ok_ = false;
    p_ = end_;
    return false;
  }
  const uchar* p_;
  const uchar* end_;
  bool ok_ = true;
};

// Nearly every run of a report has the font of the run before: its name is
// compared in the file's bytes and copied, not decoded again.
struct FontNames {
  FieldReader::Raw last;
  std::string name;
  bool any = false;
};

void ReadFont(FieldReader& r, FontSpec& f, FontNames& names) {
  const FieldReader::Raw raw = r.RawStr();
  if (!names.any || !(raw == names.last)) {
    names.name = FieldReader::Make(raw).toStdString();
    names.last = raw;
    names.any = true;
  }
  f.name = names.name;
  f.size = r.F64();
  const quint8 flags = static_cast<quint8>(r.I8());
  f.bold = flags & 1;
  f.italic = flags & 2;
  f.underline = flags & 4;
}

struct CellRef {
  FieldReader::Raw raw;
  const QString* text;
};
// What reading one page after another reuses.
struct PageScratch {
  FontNames fonts;
  // The texts of a page are made once its tables are read: a table cell's
  // text run then shares the cell's string instead of a copy of its own.
  std::vector<FieldReader::Raw> textRaw;
  std::vector<std::vector<CellRef>> tableCells;
};

// A page side the program can show and print: more than nothing, and at
// most about 17 metres (pages are a sheet of paper, in twips).
bool PlausiblePageSide(double twips) { return std::isfinite(twips) && twips >= 1.0 && twips <= 1.0e6; }

bool ReadPage(FieldReader& r, const std::vector<Picture>& images, Page& page, PageScratch& k) {
  quint32 n = 0;
  FontNames& fonts = k.fonts;
  std::vector<FieldReader::Raw>& textRaw = k.textRaw;
  auto& tableCells = k.tableCells;
  page.width = r.F64();
  page.height = r.F64();
  if (!PlausiblePageSide(page.width) || !PlausiblePageSide(page.height)) return false;
  if (!r.Count(&n, 40)) return false;
  page.texts.resize(n);
  textRaw.resize(n);
  for (size_t i = 0; i < page.texts.size(); ++i) {
    TextItem& t = page.texts[i];
    t.x = r.F64();
    t.y = r.F64();
    t.baseline = r.F64();
    t.width = r.F64();
    ReadFont(r, t.font, fonts);
    t.color = r.I32();
    textRaw[i] = r.RawStr();
    t.header = r.Bool();
    t.table = r.I32();
  }
  if (!r.Count(&n, 36)) return false;
  page.pictures.resize(n);
  for (auto& pic : page.pictures) {
    const quint32 i = r.U32();
    pic.x = r.F64();
    pic.y = r.F64();
    pic.width = r.F64();
    pic.height = r.F64();
    if (i >= images.size()) return false;
    pic.picture = images[i];
  }
  if (!r.Count(&n, 44)) return false;
  page.lines.resize(n);
  for (auto& l : page.lines) {
    l.x1 = r.F64();
    l.y1 = r.F64();
    l.x2 = r.F64();
    l.y2 = r.F64();
    l.color = r.I32();
    l.width = r.F64();
  }
  if (!r.Count(&n, 42)) return false;
  page.boxes.resize(n);
  for (auto& b : page.boxes) {
    b.x = r.F64();
    b.y = r.F64();
    b.width = r.F64();
    b.height = r.F64();
    b.pen = r.I32();
    b.brush = r.I32();
    b.filled = r.Bool();
    b.outlined = r.Bool();
  }
  if (!r.Count(&n, 36)) return false;
  page.tables.resize(n);
  tableCells.resize(n);
  for (size_t ti = 0; ti < page.tables.size(); ++ti) {
    TableItem& t = page.tables[ti];
    std::vector<CellRef>& refs = tableCells[ti];
    refs.clear();
    t.id = r.I32();
    t.x = r.F64();
    t.y = r.F64();
    t.headerShade = r.I32();
    t.bodyShade = r.I32();
    quint32 cols = 0;
    if (!r.Count(&cols, 9)) return false;
    t.columnWidths.resize(cols);
    t.columnAlign.resize(cols);
    for (quint32 c = 0; c < cols; ++c) {
      t.columnWidths[c] = r.F64();
      t.columnAlign[c] = static_cast<char>(r.I8());
    }
    quint32 rows = 0;
    if (!r.Count(&rows, 21)) return false;
    t.rows.resize(rows);
    for (auto& row : t.rows) {
      row.y = r.F64();
      row.height = r.F64();
      row.header = r.Bool();
      quint32 cells = 0;
      if (!r.Count(&cells, 5)) return false;
      row.cells.resize(cells);
      for (auto& c : row.cells) {
        const FieldReader::Raw raw = r.RawStr();
        c.text = FieldReader::Make(raw);
        c.bold = r.Bool();
        if (raw.bytes) refs.push_back({raw, &c.text});
      }
    }
  }
  if (!r.ok()) return false;
  // A table's runs come in the order of its cells; a cell of several
  // lines has runs that match no cell and get strings of their own.
  std::vector<size_t> next(page.tables.size(), 0);
  for (size_t i = 0; i < page.texts.size(); ++i) {
    TextItem& t = page.texts[i];
    if (t.table >= static_cast<int>(page.tables.size())) return false;
    const FieldReader::Raw& raw = textRaw[i];
    bool shared = false;
    if (t.table >= 0 && raw.bytes) {
      const auto& refs = tableCells[static_cast<size_t>(t.table)];
      size_t& at = next[static_cast<size_t>(t.table)];
      const size_t look = page.tables[static_cast<size_t>(t.table)].columnWidths.size() + 1;
      for (size_t j = at; j < refs.size() && j < at + look; ++j) {
        if (refs[j].raw == raw) {
          t.text = *refs[j].text;
          at = j + 1;
          shared = true;
          break;
        }
      }
    }
    if (!shared) t.text = FieldReader::Make(raw);
  }
  return r.ok();
}

// The pages, each told to the store with its place in the file (from
// begin), where the store may read it back.
bool ReadPages(FieldReader& r, const uchar* begin, const std::vector<Picture>& images, Document& doc,
               const Progress& progress) {
  quint32 pageCount = 0;
  if (!r.Count(&pageCount, 16)) return false;
  PageScratch scratch;
  for (quint32 i = 0; i < pageCount; ++i) {
    if (progress) progress(static_cast<long long>(i) + 1, static_cast<long long>(pageCount));
    Page page;
    const uchar* start = r.at();
    if (!ReadPage(r, images, page, scratch)) return false;
    doc.pages.push_back(std::move(page), start - begin, r.at() - start);
  }
  return r.ok();
}

bool SameFile(const QFile& a, const QFile& b) {
  struct stat sa, sb;
  return ::fstat(a.handle(), &sa) == 0 && ::fstat(b.handle(), &sb) == 0 && sa.st_dev == sb.st_dev &&
         sa.st_ino == sb.st_ino;
}

// The CRC-32 of PNG chunks (ISO 3309), to tell a damaged picture of an
// earlier document before it is drawn.
quint32 Crc32(const uchar* p, qint64 n) {
  static const auto table = [] {
    std::array<quint32, 256> t{};
    for (quint32 i = 0; i < 256; ++i) {
      quint32 c = i;
      for (int k = 0; k < 8; ++k) c = (c & 1) ? 0xEDB88320u ^ (c >> 1) : c >> 1;
      t[i] = c;
    }
    return t;
  }();
  quint32 c = 0xFFFFFFFFu;
  for (qint64 i = 0; i < n; ++i) c = table[(c ^ p[i]) & 0xFF] ^ (c >> 8);
  return c ^ 0xFFFFFFFFu;
}

// A PNG of an earlier document: its length (its chunks up to IEND), the
// size and resolution its header gives, and whether every chunk's
// checksum holds. Length 0 when the bytes are no whole PNG.
struct PngFacts {
  qint64 length = 0;
  quint32 width = 0, height = 0;
  int dpmX = 0, dpmY = 0;
  bool intact = true;
};
PngFacts ReadPng(const uchar* p, qint64 left) {
  static const uchar kSignature[8] = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
  PngFacts png;
  if (left < 33 || std::memcmp(p, kSignature, 8) != 0 || std::memcmp(p + 12, "IHDR", 4) != 0) return png;
  png.width = qFromBigEndian<quint32>(p + 16);
  png.height = qFromBigEndian<quint32>(p + 20);
  qint64 at = 8;
  while (at + 12 <= left) {
    const qint64 length = qFromBigEndian<quint32>(p + at);
    if (length > left - at - 12) return png;
    const uchar* type = p + at + 4;
    if (std::memcmp(type, "pHYs", 4) == 0 && length >= 9 && type[12] == 1) {
      png.dpmX = static_cast<int>(std::min<quint32>(qFromBigEndian<quint32>(type + 4), INT_MAX));
      png.dpmY = static_cast<int>(std::min<quint32>(qFromBigEndian<quint32>(type + 8), INT_MAX));
    }
    if (Crc32(type, length + 4) != qFromBigEndian<quint32>(type + 4 + length)) png.intact = false;
    at += 12 + length;
    if (std::memcmp(type, "IEND", 4) == 0) {
      png.length = at;
      return png;
    }
  }
  return png;
}

enum class PictureFault { kNone, kDamaged, kTooLarge };

// The picture list, nothing of it decoded: a picture comes to be decoded
// only when a page showing it is drawn. A picture the program does not
// keep (PictureRefusal) is told in *why.
PictureFault ReadPictures(FieldReader& r, quint16 version, std::vector<Picture>& pictures, std::string* why) {
  quint32 count = 0;
  if (!r.Count(&count, version >= 2 ? 40 : 4)) return PictureFault::kDamaged;
  pictures.resize(count);
  for (Picture& picture : pictures) {
    if (version >= 2) {
      const quint32 width = r.U32(), height = r.U32();
      const qint32 dpmX = r.I32(), dpmY = r.I32();
      const uchar* sum = r.Take(20);
      const quint32 length = r.U32();
      const uchar* data = r.Take(length);
      if (!r.ok() || width == 0 || height == 0) return PictureFault::kDamaged;
      *why = PictureRefusal(width, height, length);
      if (!why->empty()) return PictureFault::kTooLarge;
      const QByteArray bytes(reinterpret_cast<const char*>(data), static_cast<qsizetype>(length));
      const QByteArray expected(reinterpret_cast<const char*>(sum), 20);
      const QSize size(static_cast<int>(width), static_cast<int>(height));
      if (QCryptographicHash::hash(bytes, QCryptographicHash::Sha1) != expected || HeaderSize(bytes) != size)
        return PictureFault::kDamaged;
      picture = Picture::FromBytes(bytes, size, dpmX, dpmY);
    } else {
      // QDataStream's QImage: a marker (0 for a null image), then a PNG.
      const quint32 marker = r.U32();
      if (!r.ok()) return PictureFault::kDamaged;
      if (marker == 0) continue;
      const PngFacts png = ReadPng(r.at(), r.left());
      if (png.length <= 0 || png.width == 0 || png.height == 0) return PictureFault::kDamaged;
      *why = PictureRefusal(png.width, png.height, static_cast<quint64>(png.length));
      if (!why->empty()) return PictureFault::kTooLarge;
      if (!png.intact) return PictureFault::kDamaged;
      const uchar* data = r.Take(png.length);
      picture = Picture::FromBytes(QByteArray(reinterpret_cast<const char*>(data), static_cast<qsizetype>(png.length)),
                                   QSize(static_cast<int>(png.width), static_cast<int>(png.height)), png.dpmX,
                                   png.dpmY);
    }
  }
  return PictureFault::kNone;
}

}  // namespace

bool LoadDocument(const std::string& file, Document* out, std::string* error, const Progress& progress) {
  // Only a plain file is read: opening a pipe or a device would wait for a
  // writer, or never end. It is opened without waiting and judged by what
  // was opened, so nothing can take its place in between.
  const int fd = ::open(file.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
  if (fd < 0) {
    if (error) *error = "The report document \"" + file + "\" cannot be opened.";
    return false;
  }
  struct stat st {};
  if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
    ::close(fd);
    if (error) *error = "The file \"" + file + "\" is not a report document: it is not a plain file.";
    return false;
  }
  ::fcntl(fd, F_SETFL, ::fcntl(fd, F_GETFL) & ~O_NONBLOCK);
  QFile f;
  if (!f.open(fd, QIODevice::ReadOnly, QFileDevice::AutoCloseHandle)) {
    ::close(fd);
    if (error) *error = "The report document \"" + file + "\" cannot be opened.";
    return false;
  }
  // The file is mapped, or else read at once; the fields are then read
  // straight from memory.
  QByteArray bytes;
  const qint64 size = f.size();
  const uchar* mapped = size > 0 ? f.map(0, size) : nullptr;
  if (mapped) {
    bytes = QByteArray::fromRawData(reinterpret_cast<const char*>(mapped), size);
  } else {
    bytes = f.readAll();
    if (f.error() != QFileDevice::NoError) {
      if (error) *error = "The report document \"" + file + "\" cannot be read.";
      return false;
    }
  }
  const auto* begin = reinterpret_cast<const uchar*>(bytes.constData());
  FieldReader r(begin, begin + bytes.size());
  const quint32 magic = r.U32();
  const quint16 version = r.U16();
  if (!r.ok() || magic != kMagic) {
    if (error) *error = "The file \"" + file + "\" is not a report document.";
    return false;
  }
  if (version > kVersion) {
    if (error) *error = "The report document \"" + file + "\" was written by a newer version of the program.";
    return false;
  }
  auto fail = [&] {
    if (error) *error = "The report document \"" + file + "\" is damaged or incomplete.";
    return false;
  };
  std::vector<Picture> pictures;
  std::string why;
  switch (ReadPictures(r, version, pictures, &why)) {
    case PictureFault::kNone:
      break;
    case PictureFault::kDamaged:
      return fail();
    case PictureFault::kTooLarge:
      if (error) *error = "The report document \"" + file + "\" holds " + why + ".";
      return false;
  }
  Document doc;
  // A long document's pages are read back from the document itself, not
  // copied to a temporary file: through a handle of its own on the file
  // just read, kept open, so that a file saved in its place later leaves
  // it reading what was loaded.
  // The handle is a second one on the file judged above, never the name
  // opened again: something else may stand under that name by now.
  if (const int again = ::fcntl(fd, F_DUPFD_CLOEXEC, 0); again >= 0) {
    auto source = std::make_unique<QFile>();
    if (source->open(again, QIODevice::ReadOnly, QFileDevice::AutoCloseHandle) && SameFile(f, *source))
      doc.pages.AdoptSource(std::move(source), QString::fromStdString(file), pictures);
    else if (!source->isOpen())
      ::close(again);
  }
  if (!ReadPages(r, begin, pictures, doc, progress)) return fail();
  *out = std::move(doc);
  return true;
}

QByteArray EncodePage(const Page& page, const QHash<QByteArray, quint32>& pictureIndex) {
  QByteArray bytes;
  WritePage(bytes, page, pictureIndex);
  return bytes;
}

bool DecodePage(const QByteArray& bytes, const std::vector<Picture>& pictures, Page* page) {
  const auto* begin = reinterpret_cast<const uchar*>(bytes.constData());
  FieldReader r(begin, begin + bytes.size());
  PageScratch scratch;
  return ReadPage(r, pictures, *page, scratch) && r.left() == 0;
}

}  // namespace print
