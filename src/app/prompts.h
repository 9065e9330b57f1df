#pragma once

// What the layer asks of a window: message boxes, a question, the beep and the status bar. Each
// window (Qt, Win32) answers with its own widgets; tests answer in place of a user. Texts are
// UTF-8.

#include <cstddef>
#include <functional>
#include <string_view>

namespace penmorph::app {

// The icon of a box: errors and refusals get the error or warning sign, the question mark is
// only for questions.
enum class MessageKind { kError, kInformation, kConfirmation, kWarning };

class Prompts {
 public:
  virtual ~Prompts() = default;
  // A message box of the given kind with an OK button.
  virtual void ShowMessage(MessageKind kind, std::string_view text) = 0;
  // A confirmation box with Yes and No; true for Yes.
  virtual bool AskYesNo(std::string_view text) = 0;
  // The system's default beep.
  virtual void Beep() = 0;
  // Replaces the status text and shows it at once.
  virtual void SetStatus(std::string_view text) = 0;
};

// Asked between steps of a long folder walk: true when the user wants it to stop (Escape). The
// window also lets its pending events through here, so that it keeps painting.
using StopCheck = std::function<bool()>;

}  // namespace penmorph::app
