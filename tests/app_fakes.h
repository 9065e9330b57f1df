#pragma once

// Answers the layer's questions in place of a user and records what it was shown.

#include <string>
#include <vector>

#include "app/prompts.h"

namespace penmorph::testing {

// Events: "beep", "error:TEXT", "information:TEXT", "confirmation:TEXT", "ask:TEXT",
// "status:TEXT", "progress:i/n".
class FakePrompts : public app::Prompts {
 public:
  bool answer = true;
  std::vector<std::string> events;

  void ShowMessage(app::MessageKind kind, std::string_view text) override {
    static constexpr const char* kNames[] = {"error", "information", "confirmation"};
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
  void ReportProgress(std::size_t index, std::size_t total) override {
    events.push_back("progress:" + std::to_string(index) + "/" + std::to_string(total));
  }

  // The events since the last call.
  std::vector<std::string> Take() {
    std::vector<std::string> taken;
    taken.swap(events);
    return taken;
  }
};

}  // namespace penmorph::testing
