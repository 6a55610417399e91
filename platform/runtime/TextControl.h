#pragma once
// A control whose text another component may read and replace (the title
// editor edits the current cell of the title grid through it).
#include <functional>
#include <string>

namespace vb {

class TextControl {
 public:
  virtual ~TextControl() = default;
  virtual std::string Text() const = 0;
  virtual void SetText(const std::string& text) = 0;
};

// Adapts any getter/setter pair to a TextControl.
class TextControlAdapter : public TextControl {
 public:
  TextControlAdapter(std::function<std::string()> get, std::function<void(const std::string&)> set)
      : get_(std::move(get)), set_(std::move(set)) {}
  std::string Text() const override { return get_(); }
  void SetText(const std::string& text) override { set_(text); }

 private:
  std::function<std::string()> get_;
  std::function<void(const std::string&)> set_;
};

}  // namespace vb
