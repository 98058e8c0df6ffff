#include "console.h"

#include <chrono>
#include <utility>

namespace zevo::cli {

InterruptWatcher::InterruptWatcher(std::function<void()> onInterrupt) : on_interrupt_(std::move(onInterrupt)) {
  InstallInterruptHandler();
  watcher_ = std::thread([this] { Watch(); });
}

InterruptWatcher::~InterruptWatcher() {
  done_.store(true);
  watcher_.join();
  RemoveInterruptHandler();
}

bool InterruptWatcher::Interrupted() const noexcept { return InterruptRequested(); }

// A signal handler can do little more than set a flag, so the watcher looks
// at it a few times a second and makes the call itself, once.
void InterruptWatcher::Watch() {
  bool called = false;
  while (!done_.load()) {
    if (!called && InterruptRequested()) {
      called = true;
      on_interrupt_();
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(50));
  }
}

}  // namespace zevo::cli
