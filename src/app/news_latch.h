#pragma once

// The background's wake-ups, folded together: the window is asked to look in once, and asked
// again only after it has looked. A window's queue then holds at most one such request, so a
// fast run can neither starve the window's input and painting (Windows serves posted messages
// first) nor fill its queue until the request of the run's end is lost.

#include <atomic>
#include <functional>
#include <utility>

namespace penmorph::app {

class NewsLatch {
 public:
  explicit NewsLatch(std::function<void()> wake) : wake_(std::move(wake)) {}

  // From any thread, after the news has been stored where the window will read it.
  void Wake() {
    if (!pending_.exchange(true)) {
      wake_();
    }
  }
  // On the window's thread, before it reads the news: what is stored after this wakes again.
  void Taken() { pending_.store(false); }

 private:
  const std::function<void()> wake_;
  std::atomic<bool> pending_{false};
};

}  // namespace penmorph::app
