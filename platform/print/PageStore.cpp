// The pages of a document, held in memory up to a number of pages and past
// it in one temporary file (see Document.h).
#include <QDir>
#include <QFile>
#include <QHash>
#include <QTemporaryFile>

#include <algorithm>
#include <utility>

#include "platform/print/Document.h"
#include "platform/print/DocumentFile.h"

namespace print {

namespace {

// The pages laid out last stay in memory: the writers add to the last page
// and a table's fragment looks at the page it stands on.
constexpr size_t kTail = 4;
// The pages read back and kept: the preview's page and the pages around
// it, and the page before the one a PDF writes.
constexpr size_t kRecent = 8;
// About 10 MB of an ordinary report: a report of this size never makes a
// file.
size_t gThreshold = 512;
QString gFolder;

}  // namespace

struct PageStore::File {
  QTemporaryFile file;
  QString folder;
  // Each picture the file's pages show, once by content: the pages refer
  // to it by its place here.
  std::vector<Picture> pictures;
  QHash<QByteArray, quint32> index;
  qint64 end = 0;  // where the next page goes
  // The document file loaded pages are read back from; it is never written.
  std::unique_ptr<QFile> source;
  QString sourceName;  // a handle opened from a descriptor has no name of its own
  QByteArray buffer;
};

PageStore::PageStore() = default;
PageStore::~PageStore() = default;

PageStore::PageStore(const PageStore& other) : PageStore() {
  for (size_t i = 0; i < other.size(); ++i) push_back(other[i]);
}

PageStore::PageStore(PageStore&& other) noexcept
    : slots_(std::move(other.slots_)),
      recent_(std::move(other.recent_)),
      file_(std::move(other.file_)),
      error_(std::move(other.error_)),
      settled_(std::exchange(other.settled_, 0)) {
  other.spare_.reset();
  other.slots_.clear();
  other.recent_.clear();
  other.error_.clear();
}

PageStore& PageStore::operator=(const PageStore& other) {
  if (this != &other) *this = PageStore(other);
  return *this;
}

PageStore& PageStore::operator=(PageStore&& other) noexcept {
  if (this != &other) {
    slots_ = std::exchange(other.slots_, {});
    recent_ = std::exchange(other.recent_, {});
    file_ = std::move(other.file_);
    error_ = std::exchange(other.error_, {});
    settled_ = std::exchange(other.settled_, 0);
    spare_.reset();
    other.spare_.reset();
  }
  return *this;
}

void PageStore::SetThreshold(size_t pages) { gThreshold = pages; }
void PageStore::SetFolder(const QString& folder) { gFolder = folder; }

QString PageStore::FileName() const { return file_ && file_->file.isOpen() ? file_->file.fileName() : QString(); }

const Page& PageStore::At(size_t i) const {
  Slot& slot = slots_[i];
  if (!slot.page) {
    // The memory of the page let go last is used again: a long pass over
    // the pages then allocates little more than their texts.
    std::shared_ptr<Page> page = spare_ && spare_.use_count() == 1 ? std::move(spare_) : std::make_shared<Page>();
    spare_.reset();
    bool read = false;
    QFileDevice* from = !file_ ? nullptr : slot.inSource ? static_cast<QFileDevice*>(file_->source.get()) : &file_->file;
    if (from && from->seek(slot.offset)) {
      QByteArray& bytes = file_->buffer;  // one buffer for every page read
      bytes.resize(slot.length);
      read = from->read(bytes.data(), slot.length) == slot.length && DecodePage(bytes, file_->pictures, page.get());
    }
    if (!read) {
      // The file was changed or cut behind the program's back: the page
      // shows blank rather than anything made up, and the user is told.
      *page = Page{};
      const bool fromSource = slot.inSource && file_;
      slot.offset = -1;
      slot.inSource = false;
      if (error_.empty())
        error_ = fromSource
                     ? "A page of the report cannot be read back from the report document \"" +
                           QDir::toNativeSeparators(file_->sourceName).toStdString() + "\"."
                     : "A page of the report cannot be read back from the temporary folder \"" +
                           QDir::toNativeSeparators(file_ ? file_->folder : QDir::tempPath()).toStdString() + "\".";
    }
    slot.page = std::move(page);
  }
  Touch(i);
  return *slot.page;
}

void PageStore::Touch(size_t i) const {
  if (i >= settled_) return;  // among the pages being laid out
  auto at = std::find(recent_.begin(), recent_.end(), i);
  if (at != recent_.end()) recent_.erase(at);
  recent_.insert(recent_.begin(), i);
  while (recent_.size() > kRecent) {
    const size_t j = recent_.back();
    recent_.pop_back();
    Spill(j);
  }
}

Page& PageStore::back() { return Edit(slots_.size() - 1); }

Page& PageStore::Edit(size_t i) {
  At(i);
  slots_[i].dirty = true;
  return *slots_[i].page;
}

void PageStore::push_back(Page page) { push_back(std::move(page), -1, 0); }

void PageStore::push_back(Page page, qint64 offset, qint64 length) {
  Slot slot;
  slot.page = std::make_shared<Page>(std::move(page));
  if (offset >= 0 && file_ && file_->source) {
    slot.offset = offset;
    slot.length = length;
    slot.inSource = true;
    for (const auto& pic : slot.page->pictures) {
      const quint32 at = file_->index.value(pic.picture.Key());
      if (std::find(slot.pictures.begin(), slot.pictures.end(), at) == slot.pictures.end()) slot.pictures.push_back(at);
    }
  }
  slots_.push_back(std::move(slot));
  if (slots_.size() <= gThreshold || !error_.empty()) return;
  const size_t upto = slots_.size() > kTail ? slots_.size() - kTail : 0;
  for (; settled_ < upto; ++settled_)
    if (std::find(recent_.begin(), recent_.end(), settled_) == recent_.end()) Spill(settled_);
}

void PageStore::resize(size_t n) {
  if (n == 0) {
    slots_.clear();
    recent_.clear();
    file_.reset();  // the temporary file goes with it
    spare_.reset();
    error_.clear();
    settled_ = 0;
    return;
  }
  while (slots_.size() < n) push_back(Page{});
  if (slots_.size() == n) return;
  slots_.resize(n);
  std::erase_if(recent_, [n](size_t i) { return i >= n; });
  settled_ = std::min(settled_, n);
}

void PageStore::shrink_to_fit() {
  slots_.shrink_to_fit();
  recent_.shrink_to_fit();
}

void PageStore::Spill(size_t i) const {
  Slot& slot = slots_[i];
  if (!slot.page) return;
  if ((slot.dirty || slot.offset < 0) && !WriteOut(i)) return;  // kept in memory
  spare_ = std::move(slot.page);
}

void PageStore::AdoptSource(std::unique_ptr<QFile> file, const QString& name, const std::vector<Picture>& pictures) {
  if (!slots_.empty()) return;
  MakeFile();
  file_->source = std::move(file);
  file_->sourceName = name;
  file_->pictures = pictures;
  file_->index.clear();
  for (size_t i = 0; i < pictures.size(); ++i) file_->index.insert(pictures[i].Key(), static_cast<quint32>(i));
}

std::vector<Picture> PageStore::Pictures(size_t from, size_t to) const {
  std::vector<Picture> out;
  QHash<QByteArray, bool> seen;
  const auto add = [&](const Picture& picture) {
    const QByteArray key = picture.Key();
    if (seen.contains(key)) return;
    seen.insert(key, true);
    out.push_back(picture);
  };
  to = std::min(to, slots_.size());
  for (size_t i = from; i < to; ++i) {
    const Slot& slot = slots_[i];
    if (slot.page) {
      for (const PictureItem& p : slot.page->pictures) add(p.picture);
    } else {
      for (const quint32 k : slot.pictures) add(file_->pictures[k]);
    }
  }
  return out;
}

void PageStore::MakeFile() const {
  if (file_) return;
  file_ = std::make_unique<File>();
  file_->folder = gFolder.isEmpty() ? QDir::tempPath() : gFolder;
  file_->file.setFileTemplate(QDir(file_->folder).filePath(QStringLiteral("tavolin-pages-XXXXXX")));
}

bool PageStore::WriteOut(size_t i) const {
  if (!error_.empty()) return false;
  MakeFile();
  const auto fail = [&] {
    error_ = "The pages of the report cannot be written to the temporary folder \"" +
             QDir::toNativeSeparators(file_->folder).toStdString() +
             "\" (is its disk full?); the report is kept in memory instead.";
    return false;
  };
  QTemporaryFile& file = file_->file;
  if (!file.isOpen() && !file.open()) return fail();
  Slot& slot = slots_[i];
  std::vector<quint32> shown;
  for (const auto& pic : slot.page->pictures) {
    const QByteArray key = pic.picture.Key();
    auto at = file_->index.constFind(key);
    if (at == file_->index.constEnd()) {
      at = file_->index.insert(key, static_cast<quint32>(file_->pictures.size()));
      file_->pictures.push_back(pic.picture);
    }
    if (std::find(shown.begin(), shown.end(), *at) == shown.end()) shown.push_back(*at);
  }
  const QByteArray bytes = EncodePage(*slot.page, file_->index);
  // Pages go to the end of the file one after another: the file stands
  // at its end but after a failed write.
  if (file.pos() != file_->end && !file.seek(file_->end)) return fail();
  if (file.write(bytes) != bytes.size() || !file.flush()) return fail();
  slot.offset = file_->end;
  slot.length = bytes.size();
  file_->end += bytes.size();
  slot.dirty = false;
  slot.inSource = false;
  slot.pictures = std::move(shown);
  return true;
}

}  // namespace print
