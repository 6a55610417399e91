#pragma once
// A picture on a report page. A report of thousands of records draws
// thousands of covers, so a picture is held as the bytes it was read from
// (a file's, or a document's) and decoded only when a page showing it is
// drawn, through one cache of bounded size shared by the process. Pictures
// of equal content share one entry, however often and from wherever they
// were read: a document stores each content once.
#include <QByteArray>
#include <QImage>
#include <QSize>

#include <memory>
#include <string>

namespace print {

class Picture {
 public:
  Picture() = default;
  // A picture the program made in memory (the separator, the emblem).
  Picture(const QImage& image);  // NOLINT: an image is a picture
  // A picture from its encoded bytes (PNG, JPEG, any format Qt reads). Null,
  // with *error saying why, when the bytes are no picture or one the
  // program does not keep (PictureRefusal).
  static Picture FromBytes(const QByteArray& bytes, std::string* error = nullptr);
  // The same when its size and resolution are already known (as a document
  // gives them): nothing is decoded until the picture is drawn.
  static Picture FromBytes(const QByteArray& bytes, QSize size, int dotsPerMeterX, int dotsPerMeterY);

  bool isNull() const { return !entry_; }
  QSize size() const;
  int width() const { return size().width(); }
  int height() const { return size().height(); }
  int dotsPerMeterX() const;
  int dotsPerMeterY() const;

  // The pixels (null if the bytes cannot be decoded after all).
  QImage Image() const;
  // The bytes it is stored as: the ones it was read from, or PNG for a
  // picture made in memory.
  QByteArray Encoded() const;
  // "image/png", "image/jpeg"...: the type of Encoded().
  QByteArray MimeType() const;
  // Equal for pictures of equal content.
  QByteArray Key() const;

  bool operator==(const Picture& other) const;

  struct Entry;

 private:
  explicit Picture(std::shared_ptr<const Entry> entry) : entry_(std::move(entry)) {}
  std::shared_ptr<const Entry> entry_;
};

// Why a picture of width x height pixels stored in storedBytes bytes is not
// kept ("" when it is): past the size the program decodes, or decoding to
// far more than its bytes promise (a small file of huge plain pictures).
std::string PictureRefusal(quint64 width, quint64 height, quint64 storedBytes);

// The decoded pictures held now, in bytes, and the most the cache keeps
// (a picture larger than the bound is still drawn, then let go).
qint64 PictureCacheBytes();
qint64 PictureCacheLimit();
void SetPictureCacheLimit(qint64 bytes);

}  // namespace print
