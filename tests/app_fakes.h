#pragma once

// Answers the layer's questions in place of a user and records what it was shown.

#include <condition_variable>
#include <functional>
#include <mutex>
#include <string>
#include <vector>

#include "app/background_run.h"
#include "app/prompts.h"

namespace penmorph::testing {

// Events: "beep", "error:TEXT", "information:TEXT", "confirmation:TEXT", "ask:TEXT",
// "status:TEXT", "warning:TEXT". `Base` is app::Prompts or an interface that extends it (a
// window's), whose other calls the deriving fake answers.
template <class Base>
class RecordingPrompts : public Base {
 public:
  bool answer = true;
  std::vector<std::string> events;

  void ShowMessage(app::MessageKind kind, std::string_view text) override {
    static constexpr const char* kNames[] = {"error", "information", "confirmation", "warning"};
    events.push_back(std::string(kNames[static_cast<int>(kind)]) + ":" + std::string(text));
  }
  bool AskYesNo(std::string_view text) override {
    events.push_back("ask:" + std::string(text));
    return answer;
  }
  void Beep() override { events.push_back("beep"); }
  void SetStatus(std::string_view text) override {
    events.push_back("status:" + std::string(text));
  }

  // The events since the last call.
  std::vector<std::string> Take() {
    std::vector<std::string> taken;
    taken.swap(events);
    return taken;
  }
};

using FakePrompts = RecordingPrompts<app::Prompts>;

// A plan run to its end on threads of its own, the way a window waits for it: woken, then
// polling. `last` gets the progress the run ended with; `started` is told of the run while it
// goes (nullptr at its end), for hooks on its worker threads.
inline app::RunReport RunToEnd(app::ConversionPlan plan, const FormatRegistry& formats,
                               const ConversionTables& tables, unsigned workers,
                               app::RunProgress* last = nullptr,
                               const std::function<void(app::BackgroundRun*)>& started = {}) {
  std::mutex mutex;
  std::condition_variable woken;
  bool news = false;
  app::BackgroundRun run(std::move(plan), formats, tables, workers, [&] {
    std::lock_guard lock(mutex);
    news = true;
    woken.notify_all();
  });
  if (started) {
    started(&run);
  }
  for (;;) {
    std::unique_lock lock(mutex);
    woken.wait(lock, [&] { return news; });
    news = false;
    lock.unlock();
    const app::RunProgress progress = run.Poll();
    if (progress.finished) {
      if (last != nullptr) {
        *last = progress;
      }
      if (started) {
        started(nullptr);
      }
      return run.TakeReport();
    }
  }
}

}  // namespace penmorph::testing
