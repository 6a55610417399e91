#pragma once
// Waiting on another program (a file it is writing, say) happens in our
// own loop, a short try at a time, never inside an engine's callback. The
// layer above that knows the windows installs what happens while such a
// wait lasts and between two tries (the windows painted, input dropped);
// until it does, a wait only passes the time.
#include <functional>

namespace vb {

struct WaitHooks {
  std::function<void()> begin;  // a wait starts
  std::function<void()> step;   // between two tries
  std::function<void()> end;    // the wait is over
};

// Replaces the hooks (empty hooks: a wait only passes the time).
void SetWaitHooks(WaitHooks hooks);

// One wait, from its first failed try to its end.
class OutsideWait {
 public:
  OutsideWait();
  ~OutsideWait();
  OutsideWait(const OutsideWait&) = delete;
  OutsideWait& operator=(const OutsideWait&) = delete;
  // Between two tries.
  void Step();
};

}  // namespace vb
