#pragma once
// The entries of a wizard's limit box as one block of UTF-8 text and the
// end of each entry in it: a list of a million titles held as separate
// strings took over 200 MB. Ten million titles (a million records of ten)
// still took 80 MB in eight-byte ends alone, and as much again in each
// copy made to sort the list or to put the no-limit entry before it; and
// growing one block of text copied it whole, holding it twice. So the
// text is kept in small blocks of entries, an end takes four bytes counted
// from the start of its block, and a sorted list is the same text shown
// through an order.
#include <cstdint>
#include <stdexcept>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace tvn::reports {

class LimitList {
 public:
  // Entries, in the order shown.
  size_t Size() const { return ends_.size(); }
  std::string_view At(size_t i) const { return Stored(order_.empty() ? i : order_[i]); }
  // The i-th entry added, whatever the order.
  std::string_view Stored(size_t i) const {
    const size_t begin = i % kBlock == 0 ? 0 : ends_[i - 1];
    return std::string_view(blocks_[i / kBlock]).substr(begin, ends_[i] - begin);
  }

  void Add(std::string_view entry) {
    if (!order_.empty()) throw std::logic_error("LimitList: an entry added to an ordered list");
    if (ends_.size() % kBlock == 0) {
      // A full block gives back its spare room.
      if (!blocks_.empty()) blocks_.back().shrink_to_fit();
      blocks_.emplace_back();
    }
    std::string& text = blocks_.back();
    text.append(entry);
    const size_t end = text.size();
    // Beyond reach only for entries of megabytes each: refused rather
    // than listed wrongly.
    if (end > UINT32_MAX) throw std::length_error("LimitList: entries too long");
    ends_.push_back(static_cast<std::uint32_t>(end));
  }
  // Shows the entries in this order from now on: order[i] is the entry
  // added order[i]-th, shown i-th (each entry once).
  void SetOrder(std::vector<std::uint32_t> order) {
    if (order.size() != ends_.size()) throw std::logic_error("LimitList: an order of another size");
    order_ = std::move(order);
    if (IsIdentity()) order_ = {};
  }
  // Shows the entries in letter order (as the engine reads a list by its
  // text), stable. The entries are sorted `run` at a time and the runs
  // merged: the sort's keys for ten million titles at once took some
  // 360 MB.
  void SortByLetters(size_t run = size_t(1) << 20) {
    order_ = {};
    SetOrder(LetterOrder(run));
  }
  // The order SortByLetters shows the entries in, worked out without
  // changing the list (so that the entries may be read meanwhile).
  std::vector<std::uint32_t> LetterOrder(size_t run = size_t(1) << 20) const;
  // Takes the shown entries [first, last) out.
  void Erase(size_t first, size_t last) {
    if (first >= last) return;
    if (first == 0 && last >= Size()) {
      *this = {};
      return;
    }
    LimitList kept;
    for (size_t i = 0; i < Size(); ++i)
      if (i < first || i >= last) kept.Add(At(i));
    *this = std::move(kept);
  }
  // Gives back what the building left spare.
  void Trim() {
    if (!blocks_.empty()) blocks_.back().shrink_to_fit();
    blocks_.shrink_to_fit();
    ends_.shrink_to_fit();
    order_.shrink_to_fit();
  }

 private:
  // Blocks of some hundred kilobytes: small ones left the heap in pieces
  // that took seconds to give back to the system.
  static constexpr size_t kBlock = 8192;
  bool IsIdentity() const {
    for (size_t i = 0; i < order_.size(); ++i)
      if (order_[i] != i) return false;
    return true;
  }

  std::vector<std::string> blocks_;  // the text of each kBlock entries
  std::vector<std::uint32_t> ends_;  // in the entry's block
  std::vector<std::uint32_t> order_;  // empty: as added
};

}  // namespace tvn::reports
