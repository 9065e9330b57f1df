#pragma once

// The main window without its widgets: the settings and when they are saved, the folder tree and
// the file list, the question before a run and the run itself, its report, the close policy and
// the places of the panes. Both windows (Qt, Win32) build their widgets, translate events into
// calls here and show what the model holds when told that a part changed.

#include <array>
#include <filesystem>
#include <functional>
#include <memory>
#include <optional>
#include <set>
#include <string>
#include <vector>

#include "app/background_run.h"
#include "app/file_browser.h"
#include "app/main_menu.h"
#include "app/news_latch.h"
#include "app/prompts.h"
#include "app/run_summary.h"
#include "app/screen_fit.h"
#include "app/settings_dialogs.h"
#include "app/standards_check.h"
#include "app/survey_dialog.h"
#include "convert/format_registry.h"
#include "settings/settings_store.h"

namespace penmorph::app {

enum class SettingsDialog { kJww, kJwc, kLayers };

// The parts of the window the model tells a view to show again.
enum Part : unsigned {
  kTreePart = 1u << 0,       // the folder tree (and that no folder is highlighted)
  kRowsPart = 1u << 1,       // the file list's rows and selection
  kSelectionPart = 1u << 2,  // the selection only (and its count in the status bar)
  kFoldersPart = 1u << 3,    // the search folder and destination fields
  kFileTypePart = 1u << 4,   // the file type list
  kRunPart = 1u << 5,        // the progress, "中止", the banner over the list
  kTablesPart = 1u << 6,     // the conversion tables (the preview shows them)
  kOptionsPart = 1u << 7,    // check marks of the menus
  kSizesPart = 1u << 8,      // the size column's texts only
};

// What the model asks of a window.
class MainWindowView : public Prompts {
 public:
  // A folder picker titled `title`, starting in `start`; the chosen folder must exist.
  virtual std::optional<std::filesystem::path> ChooseFolder(std::string_view title,
                                                            const std::filesystem::path& start) = 0;
  // The settings-file picker ("*.set"), for saving or opening, starting at `start` (a folder,
  // or a file whose folder and name are preset).
  virtual std::optional<std::filesystem::path> ChooseSettingsFile(
      bool save, std::string_view title, const std::filesystem::path& start) = 0;
  // Opens a file with the program the desktop associates with it; false when none took it.
  virtual bool OpenWithAssociatedProgram(const std::filesystem::path& file) = 0;
  // A settings dialog, modal, editing the model's tables.
  virtual void ShowSettingsDialog(SettingsDialog which) = 0;
  // The end of a run that has more to say than the status bar holds.
  virtual void ShowReport(const RunSummary& summary) = 0;
  // The end of a "基準チェック": its report as text, shown, copied and saved as a run's is.
  virtual void ShowCheckReport(const std::string& report) = 0;
  // The end of a "集計": the model's survey dialog, modal.
  virtual void ShowSurveyReport() = 0;
  // Shows again what the model holds for these parts (Part flags).
  virtual void Changed(unsigned parts) = 0;
  // Called from other threads (a run's, the start's listing): the window's thread is to call
  // News soon.
  virtual void WakeSoon() = 0;
  // Asked between steps of a folder walk: lets the window's events through; true when the user
  // pressed Escape.
  virtual bool WalkShouldStop() = 0;
  // The window's frame, panes and columns as they are now (for the ini file).
  virtual WindowLayout CurrentLayout() const = 0;
  // The width of the "Bytes" column in pixels.
  virtual int SizeColumnPixels() const = 0;
  // Closes the window (after "終了" was confirmed).
  virtual void CloseWindow() = 0;
};

struct ModelSetup {
  std::filesystem::path program_folder;
  std::filesystem::path ini_path;
  // Where pickers start when nothing was chosen for that purpose yet: Documents, or home.
  std::filesystem::path documents_folder;
  // The number of workers of a run; 0: one per processor.
  unsigned workers = 0;
  std::string version;  // the program's, for "バージョン情報"
};

// What a view measures for the first start's column widths: the pixel width of each column's
// head and of a typical row's text in it.
struct ColumnMeasures {
  std::array<int, 6> head_pixels{};
  std::array<int, 6> typical_pixels{};
};

// The window's frame and columns at the first start (no ini file): about 80 % of the work area,
// centred, each column as wide as its head and a typical row.
WindowLayout FirstStartLayout(const ScreenRect& work_area, const ColumnMeasures& columns,
                              const WindowLayout& defaults = {});

// "3 個選択"; empty for none.
std::string SelectionCountText(std::size_t count);

// The "バージョン情報" box's text.
std::string AboutText(std::string_view version);
// "使い方" when the desktop has no program for HTML: where the manual is.
std::string ManualWithoutBrowserText(const std::filesystem::path& manual);
// A file opened from the list that no program of the desktop takes.
std::string NoProgramText(const std::filesystem::path& file);

// The user manual beside the program (an installed program finds it in share/).
std::optional<std::filesystem::path> FindManual(const std::filesystem::path& program_folder);

class MainWindowModel {
 public:
  MainWindowModel(const FormatRegistry& formats, MainWindowView& view, ModelSetup setup);
  // Stops a run and waits for the files in hand.
  ~MainWindowModel();
  MainWindowModel(const MainWindowModel&) = delete;
  MainWindowModel& operator=(const MainWindowModel&) = delete;

  // Loads the ini file; the window then lays itself out from StartLayout.
  void Start();
  // True when there was no ini file: the view measures and asks FirstStartLayout.
  bool first_start() const { return first_start_; }
  // The window has been shown: a path it was started with is opened; otherwise, with the option
  // on, the last search folder is read again on a thread of its own while the window is usable
  // (silently left empty when it is gone).
  void Shown(const std::optional<std::filesystem::path>& start_path);
  // Escape: the start's listing stops where it is, as a search does.
  void StopLoading();

  // A menu item.
  void Do(Command command, int argument = 0);

  void ChooseSearchFolder();
  void ChooseDestination();
  void SelectFileType(int index);
  // The tree's highlighted node was clicked or reached with the keyboard (nullopt: none).
  void ShowFolder(std::optional<FolderTree::NodeId> node);
  // F5: the tree built again, the same folder listed again with its selection, the folders
  // opened in the tree opened again.
  void Refresh();
  // A folder of the tree opened or closed by the user; the view asks which to show opened.
  void SetExpanded(FolderTree::NodeId node, bool expanded);
  bool Expanded(FolderTree::NodeId node) const;
  void PressHeader(int column);
  void RepadSizes(int column_pixels, int digit_pixels);
  void OpenRow(std::optional<std::size_t> row);
  // The rows the list shows as selected now, in any order.
  void SelectRows(std::vector<std::size_t> rows);
  // Ctrl+A in the list.
  void SelectAll();
  void SetWholeTree(bool whole_tree);
  // Files or folders dropped on the window, or handed over by a second start: a folder is
  // listed, files of one folder are listed and selected. The folder is shown for now; the
  // remembered search folder stays the one the user chose. While the question before a run is
  // open, or a run or a check goes, they keep their files: what is handed over meanwhile is
  // listed when they end (the last hand-over wins).
  void OpenPaths(const std::vector<std::filesystem::path>& paths);

  void EditSettings(SettingsDialog which);
  void SaveSettingsFile();
  void OpenSettingsFile();
  void SetReopenSearchFolder(bool on);
  // The window's layout changed in a way worth keeping now (a splitter let go, a column sized).
  void LayoutChanged();

  // "変換": the checks, the count, the question, then the run on threads of its own.
  void Convert();
  // "基準チェック": the same refusals as before a run, then the check on a thread of its own,
  // with the run's progress and "中止"; its report is shown at the end.
  void CheckStandards();
  // "集計": the same refusals as a check, then the survey on a thread of its own with the same
  // progress and "中止"; its report opens at the end, even when stopped, and may hand its layer
  // names to "レイヤ設定".
  void Survey();
  // "中止", of a run, a check or a survey.
  void Stop();
  // On the window's thread after WakeSoon: the start's tree once it is read; the run's or the
  // check's news, and at its end the report.
  void News();

  // The window is asked to close, by "終了" or by its own close box alike: refused while a walk,
  // a run or a check goes (a run or a check saying why), else the question. When true the
  // settings have been saved.
  bool RequestClose();
  // "終了": the window is asked to close.
  void Exit();

  const AppSettings& settings() const { return settings_; }
  ConversionTables& tables() { return settings_.tables; }
  // The settings dialogs, each over its table.
  JwcSettingsDialog& jwc_dialog() { return jwc_dialog_; }
  JwwSettingsDialog& jww_dialog() { return jww_dialog_; }
  LayerSettingsDialog& layer_dialog() { return layer_dialog_; }
  SurveyDialog& survey_dialog() { return survey_dialog_; }
  // Before "レイヤ設定" opens: the highlighted drawing (its layers, nullptr for none, and its
  // file), whose names the dialog shows and whose conversion OK asks about.
  void ShowLayersOf(const preview::LayerSheet* sheet,
                    const std::optional<std::filesystem::path>& file);
  const FileBrowser& browser() const { return browser_; }
  const FormatRegistry& formats() const { return formats_; }
  bool whole_tree() const { return whole_tree_; }
  // A conversion or a check goes: both show their progress and "中止" alike, and neither
  // starts while the other goes.
  // The count before a run is part of it: it goes in the background and "中止" stops it.
  bool running() const {
    return run_ != nullptr || check_ != nullptr || survey_ != nullptr || counting_ != nullptr;
  }
  bool checking() const { return check_ != nullptr || survey_ != nullptr; }
  bool counting() const { return counting_ != nullptr; }
  bool walking() const { return walking_; }
  // The start's listing is being read.
  bool loading() const { return loading_ != nullptr; }
  bool stopping() const { return stopping_; }
  const RunProgress& progress() const { return progress_; }
  // The banner over the list: with "サブフォルダも含める" on, the selection does not apply.
  std::string_view ListBanner() const;
  // The field above the tree: the folder the tree shows, empty until one has been searched.
  std::string SearchFieldText() const;
  // For the status bar's second part: "3 個選択".
  std::string SelectionText() const;
  std::string ProgressLine() const { return ProgressText(progress_); }
  // The file the preview shows: the first selected.
  std::optional<std::filesystem::path> FileToPreview() const;

  // Saves the ini file now (the model does so whenever something worth keeping changed).
  void SaveIni();

 private:
  ListOptions Options() const;
  bool ChosenSearchFolder() const;
  StopCheck WalkStop();
  void BuildTree(const std::filesystem::path& folder);
  void LoadInBackground(const std::filesystem::path& folder);
  // Waits for the start's listing; its tree is shown when `keep`, else dropped.
  void EndLoading(bool keep);
  std::filesystem::path PickerStart(const std::string& last) const;
  // A run's or a check's news: its progress, and at its end `end` with its report.
  template <class Task, class End>
  void FollowTask(std::unique_ptr<Task>& task, End end);
  // Lists what was handed over while the files were held, now that they are not.
  void OpenHandedOver();
  // The refusals before a check or a survey, then the files it reads; nullopt when refused.
  std::optional<ConversionPlan> ReadingPlan();
  // The checks, then the count in the background; true when the count has started.
  bool CheckAndCount();
  // The count's news; at its end the question, and the run when the user agrees.
  void CountNews();
  // True when the run has started.
  bool AskAndStart(ConversionPlan plan, const PlanCount& count);

  const FormatRegistry& formats_;
  MainWindowView& view_;
  ModelSetup setup_;
  AppSettings settings_;
  JwcSettingsDialog jwc_dialog_{settings_.tables.jwc};
  JwwSettingsDialog jww_dialog_{settings_.tables.jww};
  LayerSettingsDialog layer_dialog_{settings_.tables.layers};
  SurveyDialog survey_dialog_;
  FileBrowser browser_;
  bool first_start_ = false;
  bool whole_tree_ = false;
  bool walking_ = false;
  bool stopping_ = false;
  bool asking_ = false;  // the checks and the question before a run are open
  std::optional<std::vector<std::filesystem::path>> handed_over_;
  std::string shown_search_folder_;  // the root of the tree shown, as the field gives it
  // The folders opened in the tree, by path so that they outlive a tree built again; only for
  // the tree of `expanded_root_`.
  std::set<std::filesystem::path> expanded_;
  std::filesystem::path expanded_root_;
  RunProgress progress_;
  // Before the tasks that wake through it, so that it outlives them.
  NewsLatch news_{[this] { view_.WakeSoon(); }};
  struct TreeLoad;
  std::unique_ptr<TreeLoad> loading_;
  struct PlanCounting;
  std::unique_ptr<PlanCounting> counting_;
  std::unique_ptr<BackgroundRun> run_;
  std::unique_ptr<BackgroundCheck> check_;
  std::unique_ptr<BackgroundSurvey> survey_;
};

}  // namespace penmorph::app
