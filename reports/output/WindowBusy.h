#pragma once
// The hourglass on a window for as long as one command works; the normal
// pointer comes back on every way out of it, errors included.
#include <QPointer>
#include <QWidget>

namespace tvn::reports {

class WindowBusy {
 public:
  explicit WindowBusy(QWidget* window) : window_(window) {
    if (window_) window_->setCursor(Qt::WaitCursor);
  }
  ~WindowBusy() {
    if (window_) window_->unsetCursor();
  }
  WindowBusy(const WindowBusy&) = delete;
  WindowBusy& operator=(const WindowBusy&) = delete;

 private:
  QPointer<QWidget> window_;
};

}  // namespace tvn::reports
