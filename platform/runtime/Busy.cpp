#include "platform/runtime/Busy.h"

#include <QAbstractEventDispatcher>
#include <QApplication>
#include <QCloseEvent>
#include <QElapsedTimer>
#include <QEvent>
#include <malloc.h>
#include <chrono>
#include <exception>
#include <future>
#include <memory>
#include <thread>
#include <vector>

#include "platform/runtime/Waiting.h"

namespace vb {
namespace {

// Swallows what a person does to any window while work runs.
class InputDrop : public QObject {
 public:
  bool eventFilter(QObject* watched, QEvent* event) override {
    switch (event->type()) {
      case QEvent::MouseButtonPress:
      case QEvent::MouseButtonRelease:
      case QEvent::MouseButtonDblClick:
      case QEvent::NonClientAreaMouseButtonPress:
      case QEvent::NonClientAreaMouseButtonRelease:
      case QEvent::NonClientAreaMouseButtonDblClick:
      case QEvent::KeyPress:
      case QEvent::KeyRelease:
      case QEvent::ShortcutOverride:
      case QEvent::Shortcut:
      case QEvent::Wheel:
      case QEvent::TouchBegin:
      case QEvent::TouchUpdate:
      case QEvent::TouchEnd:
      case QEvent::ContextMenu:
        return true;
      case QEvent::Close:
        // Closing a window mid-work would pull its data from under the work.
        if (watched->isWidgetType() && static_cast<QWidget*>(watched)->isWindow()) {
          event->ignore();
          return true;
        }
        return false;
      default:
        return false;
    }
  }
};

int depth = 0;     // scopes alive and not done
int paused = 0;    // pauses alive
InputDrop* filter = nullptr;

QElapsedTimer& Clock() {
  static QElapsedTimer clock;
  return clock;
}

bool engaged = false;

// Input is dropped and the pointer is the hourglass exactly while some scope
// is busy and no box is waiting for an answer.
void Sync() {
  if (!qApp) return;
  bool want = depth > 0 && paused == 0;
  if (want == engaged) return;
  engaged = want;
  if (want) {
    if (!filter) filter = new InputDrop;
    qApp->installEventFilter(filter);
    QApplication::setOverrideCursor(Qt::WaitCursor);
  } else {
    if (filter) qApp->removeEventFilter(filter);
    QApplication::restoreOverrideCursor();
  }
}

}  // namespace

BusyScope::BusyScope(QWidget* window, std::function<void(long long, long long)> progress)
    : window_(window), progress_(std::move(progress)) {
  ++depth;
  Sync();
  if (window_) window_->setCursor(Qt::WaitCursor);
  if (!Clock().isValid()) Clock().start();
}

BusyScope::~BusyScope() { Done(); }

void BusyScope::Done() {
  if (done_) return;
  done_ = true;
  if (window_) window_->unsetCursor();
  --depth;
  Sync();
}

bool BusyScope::Active() { return depth > 0 && paused == 0; }

void BusyScope::Tick() {
  if (done_ || !qApp) return;
  if (Clock().elapsed() < 100) return;
  Clock().restart();
  // Input events reach the filter, which drops them; paints and the window
  // manager's pings go through.
  QApplication::processEvents(QEventLoop::AllEvents, 50);
}

void BusyScope::Progress(long long done, long long total) {
  if (done_) return;
  if (progress_ && (Clock().elapsed() >= 100 || done >= total)) progress_(done, total);
  Tick();
}

void BusyScope::InstallEventLoopHooks(std::function<void()> idle) {
  static std::function<void()> current;
  static bool connected = false;
  current = std::move(idle);
  // A wait on another program shows the hourglass and drops input for as
  // long as it lasts, the windows painted between tries.
  static std::vector<std::unique_ptr<BusyScope>> waits;
  SetWaitHooks({[] { waits.push_back(std::make_unique<BusyScope>()); },
                [] {
                  if (!waits.empty()) waits.back()->Tick();
                },
                [] {
                  if (!waits.empty()) waits.pop_back();
                }});
  if (connected || !qApp) return;
  QAbstractEventDispatcher* dispatcher = QAbstractEventDispatcher::instance(qApp->thread());
  if (!dispatcher) return;
  connected = true;
  QObject::connect(dispatcher, &QAbstractEventDispatcher::aboutToBlock, qApp, [] {
    if (!current) return;
    try {
      current();
    } catch (...) {
    }
  });
}

BusyScope::Pause::Pause() {
  ++paused;
  Sync();
}

BusyScope::Pause::~Pause() {
  --paused;
  Sync();
}

void RunAside(const std::function<void()>& work, const std::function<void()>& tick) {
  if (!tick) {
    work();
    return;
  }
  std::packaged_task<void()> task(work);
  std::future<void> done = task.get_future();
  std::thread worker(std::move(task));
  try {
    do tick();
    while (done.wait_for(std::chrono::milliseconds(5)) != std::future_status::ready);
  } catch (...) {
    // The work must end before what it uses goes out of scope.
    worker.join();
    throw;
  }
  worker.join();
  // Long work aside sorts and sets aside big buffers in the worker's own
  // heap, which keeps its freed pages unless asked to give them back.
#ifdef __GLIBC__
  malloc_trim(0);
#endif
  done.get();
}

}  // namespace vb
