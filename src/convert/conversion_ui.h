#pragma once

// How the batch driver talks to the user. The window implements it with message boxes and its
// status bar; the command line and the tests have their own.

#include <cstddef>
#include <string_view>

namespace penmorph {

enum class MessageKind { kError, kInformation, kConfirmation };

class ConversionUi {
 public:
  virtual ~ConversionUi() = default;
  // A message box of the given kind with an OK button.
  virtual void ShowMessage(MessageKind kind, std::string_view text) = 0;
  // A confirmation box with Yes and No; true for Yes.
  virtual bool AskYesNo(std::string_view text) = 0;
  // The system's default beep.
  virtual void Beep() = 0;
  // Replaces the status text and shows it at once.
  virtual void SetStatus(std::string_view text) = 0;
  // Before file `index` (from 0) of `total` selected files is looked at.
  virtual void ReportProgress(std::size_t /*index*/, std::size_t /*total*/) {}
};

}  // namespace penmorph
