#pragma once
// Long work runs on the window thread, so without care the windows stop
// painting and the desktop calls the program "not responding", while clicks
// made during the wait pile up and start a second action when it ends.
// A BusyScope keeps the windows painted (Tick), shows the hourglass, tells
// how far the work is where the caller shows a notice, and drops - not
// queues - every click, key and close request until the work ends.
#include <QPointer>
#include <QWidget>
#include <functional>

namespace vb {

class BusyScope {
 public:
  // progress, when given, is called from Progress() with how far the work is
  // (for a notice such as "Processing Report ...... 1200 of 5000").
  explicit BusyScope(QWidget* window = nullptr,
                     std::function<void(long long done, long long total)> progress = {});
  ~BusyScope();
  BusyScope(const BusyScope&) = delete;
  BusyScope& operator=(const BusyScope&) = delete;

  // Lets the windows repaint; cheap enough to call once per row: the event
  // loop runs at most every 100 ms.
  void Tick();
  // Reports how far the work is, then Tick().
  void Progress(long long done, long long total);
  // Ends the busy state before the scope does (before a final message).
  void Done();

  // True while any scope is busy (input is being dropped).
  static bool Active();

  // While a message or input box is shown in the middle of busy work, the
  // user must be able to answer it: input flows and the pointer is normal
  // for the life of a Pause.
  class Pause {
   public:
    Pause();
    ~Pause();
    Pause(const Pause&) = delete;
    Pause& operator=(const Pause&) = delete;
  };

 private:
  QPointer<QWidget> window_;
  std::function<void(long long, long long)> progress_;
  bool done_ = false;
};

// Runs work on a thread of its own while this thread keeps the windows
// painted through busy, and raises here what work failed with. Work that
// reads or writes a database does so on a connection of its own.
void RunBesideBusy(BusyScope& busy, const std::function<void()>& work);

}  // namespace vb
