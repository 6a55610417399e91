#include "platform/print/Picture.h"

#include <QBuffer>
#include <QCryptographicHash>
#include <QHash>
#include <QImageReader>
#include <QImageWriter>

#include <list>
#include <mutex>

namespace print {

struct Picture::Entry {
  QByteArray key;
  QByteArray bytes;  // as read, or PNG for a picture made in memory
  QImage image;      // only for a picture made in memory
  QSize size;
  int dpmX = 0, dpmY = 0;
  mutable std::mutex sniffing;
  mutable QByteArray format;
};

namespace {

using EntryPtr = std::shared_ptr<const Picture::Entry>;

// Every picture alive, by content, so that a content read again joins the
// entry it already has; pictures made in memory are also found by the
// image they came from, so that drawing one image under every record
// hashes its pixels once.
class Entries {
 public:
  EntryPtr Find(const QByteArray& key) {
    std::lock_guard lock(mutex_);
    return byKey_.value(key).lock();
  }
  EntryPtr FindImage(qint64 cacheKey) {
    std::lock_guard lock(mutex_);
    return byImage_.value(cacheKey).lock();
  }
  // The entry of that content: the one already there, or entry.
  EntryPtr Add(EntryPtr entry, qint64 imageKey = 0) {
    std::lock_guard lock(mutex_);
    if (EntryPtr there = byKey_.value(entry->key).lock()) entry = there;
    else byKey_.insert(entry->key, entry);
    if (imageKey) byImage_.insert(imageKey, entry);
    if (byKey_.size() + byImage_.size() > sweepAt_) Sweep();
    return entry;
  }

 private:
  void Sweep() {
    for (auto it = byKey_.begin(); it != byKey_.end();) it = it->expired() ? byKey_.erase(it) : std::next(it);
    for (auto it = byImage_.begin(); it != byImage_.end();) it = it->expired() ? byImage_.erase(it) : std::next(it);
    sweepAt_ = std::max<qsizetype>(1024, 2 * (byKey_.size() + byImage_.size()));
  }
  std::mutex mutex_;
  QHash<QByteArray, std::weak_ptr<const Picture::Entry>> byKey_;
  QHash<qint64, std::weak_ptr<const Picture::Entry>> byImage_;
  qsizetype sweepAt_ = 1024;
};

Entries& AllEntries() {
  static Entries entries;
  return entries;
}

// The decoded pictures, the least recently drawn let go first.
class DecodeCache {
 public:
  QImage Find(const QByteArray& key) {
    std::lock_guard lock(mutex_);
    auto it = at_.find(key);
    if (it == at_.end()) return {};
    lru_.splice(lru_.begin(), lru_, *it);
    return (*it)->second;
  }
  void Add(const QByteArray& key, const QImage& image) {
    std::lock_guard lock(mutex_);
    if (at_.contains(key)) return;
    lru_.emplace_front(key, image);
    at_.insert(key, lru_.begin());
    bytes_ += image.sizeInBytes();
    Trim();
  }
  qint64 Bytes() {
    std::lock_guard lock(mutex_);
    return bytes_;
  }
  qint64 Limit() {
    std::lock_guard lock(mutex_);
    return limit_;
  }
  void SetLimit(qint64 limit) {
    std::lock_guard lock(mutex_);
    limit_ = limit;
    Trim();
  }

 private:
  void Trim() {
    // The picture just decoded stays, even past the bound: it is about to
    // be drawn.
    while (bytes_ > limit_ && lru_.size() > 1) {
      bytes_ -= lru_.back().second.sizeInBytes();
      at_.remove(lru_.back().first);
      lru_.pop_back();
    }
  }
  using Lru = std::list<std::pair<QByteArray, QImage>>;
  std::mutex mutex_;
  Lru lru_;
  QHash<QByteArray, Lru::iterator> at_;
  qint64 bytes_ = 0;
  qint64 limit_ = 96LL * 1024 * 1024;
};

DecodeCache& Cache() {
  static DecodeCache cache;
  return cache;
}

QByteArray BytesKey(const QByteArray& bytes) {
  return 'f' + QCryptographicHash::hash(bytes, QCryptographicHash::Sha1);
}

// What the reader of a picture sets, the same wherever it is decoded.
QImage Decode(const QByteArray& bytes, QByteArray* format = nullptr) {
  QBuffer buffer;
  buffer.setData(bytes);
  buffer.open(QIODevice::ReadOnly);
  QImageReader reader(&buffer);
  reader.setDecideFormatFromContent(true);
  if (format) *format = reader.format();
  return reader.read();
}

}  // namespace

Picture::Picture(const QImage& image) {
  if (image.isNull()) return;
  Entries& all = AllEntries();
  if (EntryPtr known = all.FindImage(image.cacheKey())) {
    entry_ = std::move(known);
    return;
  }
  // Its content is its PNG: the bytes a document stores it as, so that a
  // document read back holds the same picture.
  auto entry = std::make_shared<Entry>();
  QBuffer buffer(&entry->bytes);
  buffer.open(QIODevice::WriteOnly);
  QImageWriter(&buffer, "png").write(image);
  buffer.close();
  entry->key = BytesKey(entry->bytes);
  entry->image = image;
  entry->size = image.size();
  entry->dpmX = image.dotsPerMeterX();
  entry->dpmY = image.dotsPerMeterY();
  entry_ = all.Add(std::move(entry), image.cacheKey());
}

Picture Picture::FromBytes(const QByteArray& bytes, std::string* error) {
  const QByteArray key = BytesKey(bytes);
  if (EntryPtr known = AllEntries().Find(key)) return Picture(std::move(known));
  QBuffer buffer;
  buffer.setData(bytes);
  buffer.open(QIODevice::ReadOnly);
  QImageReader header(&buffer);
  header.setDecideFormatFromContent(true);
  const QSize size = header.size();
  if (size.isValid()) {
    const std::string refusal =
        PictureRefusal(static_cast<quint64>(size.width()), static_cast<quint64>(size.height()),
                       static_cast<quint64>(bytes.size()));
    if (!refusal.empty()) {
      if (error) *error = refusal;
      return {};
    }
  }
  auto entry = std::make_shared<Entry>();
  const QImage image = Decode(bytes, &entry->format);
  if (image.isNull()) {
    if (error) *error = "no picture the program can read";
    return {};
  }
  entry->key = key;
  entry->bytes = bytes;
  entry->size = image.size();
  entry->dpmX = image.dotsPerMeterX();
  entry->dpmY = image.dotsPerMeterY();
  Cache().Add(key, image);
  return Picture(AllEntries().Add(std::move(entry)));
}

Picture Picture::FromBytes(const QByteArray& bytes, QSize size, int dotsPerMeterX, int dotsPerMeterY) {
  const QByteArray key = BytesKey(bytes);
  if (EntryPtr known = AllEntries().Find(key)) return Picture(std::move(known));
  auto entry = std::make_shared<Entry>();
  entry->key = key;
  entry->bytes = bytes;
  entry->size = size;
  entry->dpmX = dotsPerMeterX;
  entry->dpmY = dotsPerMeterY;
  return Picture(AllEntries().Add(std::move(entry)));
}

QSize Picture::size() const { return entry_ ? entry_->size : QSize(); }
int Picture::dotsPerMeterX() const { return entry_ ? entry_->dpmX : 0; }
int Picture::dotsPerMeterY() const { return entry_ ? entry_->dpmY : 0; }

QImage Picture::Image() const {
  if (!entry_) return {};
  if (!entry_->image.isNull()) return entry_->image;
  QImage image = Cache().Find(entry_->key);
  if (image.isNull()) {
    image = Decode(entry_->bytes);
    if (!image.isNull()) Cache().Add(entry_->key, image);
  }
  return image;
}

QByteArray Picture::Encoded() const { return entry_ ? entry_->bytes : QByteArray(); }

QByteArray Picture::MimeType() const {
  if (!entry_) return {};
  QByteArray format;
  {
    std::lock_guard lock(entry_->sniffing);
    if (entry_->format.isEmpty()) {
      QBuffer buffer;
      buffer.setData(entry_->bytes);
      buffer.open(QIODevice::ReadOnly);
      entry_->format = QImageReader::imageFormat(&buffer);
    }
    format = entry_->format;
  }
  if (format == "jpg") format = "jpeg";
  if (format == "svgz") format = "svg";
  return "image/" + (format == "svg" ? QByteArray("svg+xml") : format);
}

QByteArray Picture::Key() const { return entry_ ? entry_->key : QByteArray(); }

bool Picture::operator==(const Picture& other) const {
  if (entry_ == other.entry_) return true;
  return entry_ && other.entry_ && entry_->key == other.entry_->key;
}

std::string PictureRefusal(quint64 width, quint64 height, quint64 storedBytes) {
  // The reader refuses to allocate past its limit; pictures are held at
  // four bytes a pixel, so that is the size measured against it.
  const int limitMb = QImageReader::allocationLimit();
  const quint64 limit = static_cast<quint64>(limitMb > 0 ? limitMb : 256) * 1024 * 1024;
  // Neither factor exceeds 32 bits, so their product fits.
  const quint64 pixels = width * height;
  // A picture decoding to 64 MB or more must come from at least a 256th of
  // that: ordinary pictures, even plain ones, stay far inside it, while a
  // file of pictures made to blow up when decoded does not.
  constexpr quint64 kFloor = 64ULL * 1024 * 1024;
  constexpr quint64 kMostPerByte = 256;
  const bool tooLarge = pixels > limit / 4;
  const bool outOfProportion = pixels > kFloor / 4 && pixels / kMostPerByte * 4 > storedBytes;
  if (!tooLarge && !outOfProportion) return {};
  return "a picture too large to show (" + std::to_string(width) + " by " + std::to_string(height) + " pixels)";
}

qint64 PictureCacheBytes() { return Cache().Bytes(); }
qint64 PictureCacheLimit() { return Cache().Limit(); }
void SetPictureCacheLimit(qint64 bytes) { Cache().SetLimit(bytes); }

}  // namespace print
