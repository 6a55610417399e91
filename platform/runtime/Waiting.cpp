#include "platform/runtime/Waiting.h"

#include <chrono>
#include <thread>

namespace vb {
namespace {

WaitHooks& Hooks() {
  static WaitHooks hooks;
  return hooks;
}

// The hooks paint windows, which only the thread that installed them may
// do: a wait in work running aside only passes the time.
std::thread::id& HooksThread() {
  static std::thread::id id;
  return id;
}

bool OnHooksThread() { return std::this_thread::get_id() == HooksThread(); }

}  // namespace

void SetWaitHooks(WaitHooks hooks) {
  Hooks() = std::move(hooks);
  HooksThread() = std::this_thread::get_id();
}

OutsideWait::OutsideWait() {
  if (OnHooksThread() && Hooks().begin) Hooks().begin();
}

OutsideWait::~OutsideWait() {
  try {
    if (OnHooksThread() && Hooks().end) Hooks().end();
  } catch (...) {
  }
}

void OutsideWait::Step() {
  if (OnHooksThread() && Hooks().step) Hooks().step();
  else std::this_thread::sleep_for(std::chrono::milliseconds(10));
}

}  // namespace vb
