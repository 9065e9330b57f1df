#pragma once

// What the windows ask of the desktop: message boxes, the beep, the folder and file pickers and
// opening a file with its program. The real desktop answers with MessageBoxW, MessageBeep,
// IFileOpenDialog, the common open and save dialogs and ShellExecuteW; tests derive from it to
// answer the pickers in place of a user.

#include <windows.h>

#include <filesystem>
#include <optional>
#include <string_view>

#include "app/prompts.h"

namespace penmorph::win {

// The caption of every message box.
inline constexpr std::string_view kApplicationTitle = "Penmorph";

class Desktop {
 public:
  virtual ~Desktop() = default;

  // A box of the kind with an OK button.
  virtual void ShowMessage(HWND owner, app::MessageKind kind, std::string_view text);
  // A question with Yes and No; true for Yes.
  virtual bool AskYesNo(HWND owner, std::string_view text);
  virtual void Beep();

  // A folder picker starting in `start`; the chosen folder exists. nullopt on cancel.
  virtual std::optional<std::filesystem::path> ChooseFolder(HWND owner, std::string_view title,
                                                            const std::filesystem::path& start);
  // The settings-file picker ("*.set"), for saving or opening, starting at `start` (a folder,
  // or a file whose folder and name are preset).
  virtual std::optional<std::filesystem::path> ChooseSettingsFile(
      HWND owner, bool save, std::string_view title, const std::filesystem::path& start);
  // The save picker for a report: "*.txt" unless a filter ("CSV ファイル(*.csv)") and its
  // extension ("csv") are given.
  virtual std::optional<std::filesystem::path> ChooseReportFile(HWND owner, std::string_view title,
                                                                const std::filesystem::path& start,
                                                                std::string_view filter = {},
                                                                std::string_view extension = {});

  // Opens the file with the program associated with it; failures are ignored.
  virtual bool OpenWithAssociatedProgram(HWND owner, const std::filesystem::path& file);
};

}  // namespace penmorph::win
