#pragma once

// The panel beside the file list: the selected file's inventory before and after the current
// tables, and its preview on both sides. Reading a file can take seconds, so the panel reads on
// a worker thread of its own and the window stays responsive; the window is told (from the
// worker) that something is ready and takes it on its own thread with Deliver(). A newer
// selection or table edit makes older work count for nothing.

#include <condition_variable>
#include <filesystem>
#include <functional>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <thread>
#include <vector>

#include "app/file_list.h"
#include "convert/format_registry.h"
#include "preview/display_list.h"
#include "preview/inventory.h"
#include "settings/conv_settings.h"

namespace penmorph::app {

// One line of the panel's table, in the window's words.
struct InventoryRow {
  std::string what;    // "線色 2", "線種 SXF 3", "文字種 1 の色"
  std::string before;  // counts, or a setting's value
  std::string after;
  std::string detail;    // "線 10, 円弧 2"
  bool changes = false;  // the tables change this row
};

enum class PanelState { kEmpty, kReading, kReady, kFailed };

class PreviewPanel {
 public:
  // `ready` is called on the worker thread when a result waits for Deliver(); the window posts
  // it to its own thread. `formats` must outlive the panel.
  PreviewPanel(const FormatRegistry& formats, std::function<void()> ready);
  ~PreviewPanel();
  PreviewPanel(const PreviewPanel&) = delete;
  PreviewPanel& operator=(const PreviewPanel&) = delete;

  // The selection changed: one file, or none (several or none selected).
  void Show(const std::optional<std::filesystem::path>& file, const ConversionTables& tables);
  // The tables were edited: the after side's pens change at once, the inventory is counted
  // again on the worker.
  void TablesChanged(const ConversionTables& tables);
  void SetBackground(preview::Background background);
  // Off, the preview shows the drawing as jw_cad does: nothing on a hidden layer or in a hidden
  // group. On, those are drawn too, fainter.
  void SetShowHiddenLayers(bool show);
  // On the window's thread: takes what the worker finished; true when the panel changed.
  bool Deliver();

  PanelState state() const { return state_; }
  // The status line of the panel: what is shown, what is being read, or why it failed.
  std::string Caption() const;
  const std::optional<std::filesystem::path>& file() const { return file_; }
  const std::optional<preview::Inventory>& inventory() const { return inventory_; }
  std::vector<InventoryRow> Rows() const;
  // The two sides, once the drawing is read.
  const preview::DisplayList* before() const { return before_ ? &*before_ : nullptr; }
  // Empty while the tables refuse the drawing (a layer moved into a group of another scale):
  // no picture of what the conversion would not write.
  const preview::DisplayList* after() const { return after_ ? &*after_ : nullptr; }
  // The after side's label: "変換後", then, while the tables refuse the drawing, the refusal
  // whole, on lines of its own.
  std::string AfterLabel() const;
  preview::Background background() const { return background_; }
  bool show_hidden_layers() const { return show_hidden_layers_; }
  // Which sides the canvases show: both beside each other, or the one the switch picks.
  void SetSideBySide(bool both) { side_by_side_ = both; }
  bool side_by_side() const { return side_by_side_; }
  void SwitchSide() { showing_after_ = !showing_after_; }
  bool ShowsBefore() const { return side_by_side_ || !showing_after_; }
  bool ShowsAfter() const { return side_by_side_ || showing_after_; }
  // The switch button's caption; it is pressed only while one side shows.
  std::string_view SwitchCaption() const;
  bool switch_enabled() const { return !side_by_side_; }
  // A drawing is shown whole once, when it arrives for a newly selected file; after that the
  // user's zoom stays, through edits of the tables.
  bool NeedsFit() const { return before() != nullptr && !fitted_; }
  void Fitted() { fitted_ = true; }

  // The drawing read for the shown file, or nullptr (the layer dialog shows its names).
  const preview::Drawing* drawing() const { return drawing_.get(); }

  // Blocks until the worker has nothing left to do (tests).
  void WaitIdle();

 private:
  struct Job {
    std::uint64_t generation = 0;
    std::filesystem::path file;
    ConversionTables tables;
    bool draw = false;
  };
  struct Done {
    std::uint64_t generation = 0;
    bool drew = false;
    std::optional<preview::Inventory> inventory;
    std::shared_ptr<const preview::Drawing> drawing;
    std::string failure;
    bool refused_by_tables = false;  // read, but the tables cannot be applied to it
  };

  void Submit(bool draw);
  void Work();
  void ResolvePens();

  const FormatRegistry& formats_;
  std::function<void()> ready_;

  // Shared with the worker, under mutex_.
  std::mutex mutex_;
  std::condition_variable wake_;
  std::condition_variable idle_;
  std::optional<Job> pending_;
  std::optional<Done> done_;
  bool busy_ = false;
  bool quit_ = false;

  // The window's side.
  std::uint64_t generation_ = 0;
  std::optional<std::filesystem::path> file_;
  ConversionTables tables_;
  PanelState state_ = PanelState::kEmpty;
  std::string failure_;
  bool refused_by_tables_ = false;  // the failure is the tables', which an edit may mend
  std::optional<preview::Inventory> inventory_;
  std::shared_ptr<const preview::Drawing> drawing_;
  std::optional<preview::DisplayList> before_;
  std::optional<preview::DisplayList> after_;
  preview::Background background_ = preview::Background::kWhite;
  bool show_hidden_layers_ = false;
  bool side_by_side_ = true;
  bool showing_after_ = true;
  bool fitted_ = false;  // since the file was selected

  std::thread worker_;  // last: started once everything above exists
};

// The file the panel shows for a selection: the top one of the selected rows.
std::optional<std::filesystem::path> FileToPreview(const FileList& list);

// A drawing-wide setting of the inventory in the window's words: "文字種 3 の色".
std::string SettingName(const preview::Inventory& inventory, std::size_t index);

// The panel's rows for an inventory: a summary, colours, line types, layers, then settings.
std::vector<InventoryRow> InventoryRows(const preview::Inventory& inventory);

}  // namespace penmorph::app
