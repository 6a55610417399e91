#include "platform/runtime/Waiting.h"

#include <chrono>
#include <thread>

namespace vb {
namespace {

WaitHooks& Hooks() {
  static WaitHooks hooks;
  return hooks;
}

}  // namespace

void SetWaitHooks(WaitHooks hooks) { Hooks() = std::move(hooks); }

OutsideWait::OutsideWait() {
  if (Hooks().begin) Hooks().begin();
}

OutsideWait::~OutsideWait() {
  try {
    if (Hooks().end) Hooks().end();
  } catch (...) {
  }
}

void OutsideWait::Step() {
  if (Hooks().step) Hooks().step();
  else std::this_thread::sleep_for(std::chrono::milliseconds(10));
}

}  // namespace vb
