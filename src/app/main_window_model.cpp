#include "app/main_window_model.h"

#include "app/layer_settings_form.h"

#include <algorithm>
#include <atomic>
#include <mutex>
#include <system_error>
#include <thread>

#include "app/layer_settings_form.h"
#include "app/path_text.h"
#include "app/preview_panel.h"
#include "app/start_path.h"
#include "app/window_settings.h"
#include "app/window_texts.h"
#include "convert/batch_runner.h"

namespace penmorph::app {

namespace fs = std::filesystem;

namespace {

bool IsFolder(const fs::path& path) {
  std::error_code ec;
  return !path.empty() && fs::is_directory(path, ec);
}

// Room a column needs beyond its text: the margins of a cell and of the sort mark.
constexpr int kColumnPadding = 16;

}  // namespace

WindowLayout FirstStartLayout(const ScreenRect& work_area, const ColumnMeasures& columns,
                              const WindowLayout& defaults) {
  WindowLayout layout = defaults;
  if (work_area.width <= 0 || work_area.height <= 0) {
    return layout;
  }
  layout.main_width = std::max(defaults.main_width, work_area.width * 4 / 5);
  layout.main_height = std::max(defaults.main_height, work_area.height * 4 / 5);
  layout.main_width = std::min(layout.main_width, work_area.width);
  layout.main_height = std::min(layout.main_height, work_area.height);
  layout.main_left = work_area.left + (work_area.width - layout.main_width) / 2;
  layout.main_top = work_area.top + (work_area.height - layout.main_height) / 2;
  layout.folder_pane_width = std::clamp(layout.main_width / 5, defaults.folder_pane_width, 320);
  for (std::size_t column = 0; column < layout.column_widths.size(); ++column) {
    const int text = std::max(columns.head_pixels[column], columns.typical_pixels[column]);
    if (text > 0) {
      layout.column_widths[column] = text + kColumnPadding;
    }
  }
  return layout;
}

std::string SelectionCountText(std::size_t count) {
  return count == 0 ? std::string() : std::to_string(count) + " 個選択";
}

std::string AboutText(std::string_view version) {
  // The version as the title bar gives it, then the build's own number for reports of faults.
  std::string text(texts::kWindowTitle);
  text += "（";
  text += version;
  text += "）\n\n";
  text += texts::kAboutDescription;
  text += "\n\n";
  text += texts::kAboutLicence;
  return text;
}

std::string ManualWithoutBrowserText(const fs::path& manual) {
  return "使い方の説明書 (HTML) を開くプログラムが見つかりません。説明書は次の場所にあります。"
         "ブラウザで開いて下さい。\n\n" +
         PathText(manual);
}

std::string NoProgramText(const fs::path& file) {
  return "「" + PathText(file.filename()) +
         "」を開くプログラムが見つかりません。jw_cad などこの種類のファイルを開くプログラムを"
         "関連付けて下さい。";
}

std::optional<fs::path> FindManual(const fs::path& program_folder) {
  const fs::path name = "penmorph-manual.html";
  for (const fs::path& candidate :
       {program_folder / "manual" / name,
        program_folder / ".." / "share" / "penmorph" / "manual" / name}) {
    std::error_code ec;
    if (fs::is_regular_file(candidate, ec)) {
      return candidate.lexically_normal();
    }
  }
  return std::nullopt;
}

// The start's listing on a thread of its own.
struct MainWindowModel::TreeLoad {
  std::atomic<bool> stop{false};
  std::mutex mutex;
  std::optional<TreeBuild> built;  // set by the thread when it is done
  std::thread thread;
};

struct MainWindowModel::PlanCounting {
  ConversionPlan plan;
  std::atomic<bool> stop{false};
  std::atomic<std::size_t> judged{0};
  std::mutex mutex;
  std::optional<PlanCount> count;  // set by the thread when it is done
  std::thread thread;
};

MainWindowModel::MainWindowModel(const FormatRegistry& formats, MainWindowView& view,
                                 ModelSetup setup)
    : formats_(formats), view_(view), setup_(std::move(setup)), browser_(formats_, view_) {}

MainWindowModel::~MainWindowModel() {
  if (loading_) {
    loading_->stop = true;
    loading_->thread.join();
  }
  if (counting_) {
    counting_->stop = true;
    counting_->thread.join();
  }
}

void MainWindowModel::Start() {
  std::error_code ec;
  first_start_ = !fs::exists(setup_.ini_path, ec);
  settings_ = LoadStartSettings(setup_.program_folder, setup_.ini_path);
  // An index that names no file type selects none, and is kept as such.
  settings_.file_type = ValidFileType(formats_, settings_.file_type);
  browser_.Start();
}

void MainWindowModel::Shown(const std::optional<fs::path>& start_path) {
  if (start_path) {
    OpenPaths({*start_path});
  } else if (settings_.reopen_search_folder != 0 && !first_start_ && ChosenSearchFolder()) {
    LoadInBackground(PathFromText(settings_.search_folder));
  }
}

void MainWindowModel::LoadInBackground(const fs::path& folder) {
  if (!IsFolder(folder)) {
    // A folder that is gone, or a drive that is not ready, leaves the tree empty.
    view_.SetStatus(texts::kNoTree);
    return;
  }
  view_.SetStatus(texts::kSearching);
  shown_search_folder_ = PathText(FolderPath(folder));
  loading_ = std::make_unique<TreeLoad>();
  TreeLoad& load = *loading_;
  load.thread = std::thread([this, &load, folder] {
    TreeBuild built = BuildFolderTree(folder, [&load] { return load.stop.load(); });
    {
      std::lock_guard lock(load.mutex);
      load.built = std::move(built);
    }
    news_.Wake();
  });
  view_.Changed(kTreePart | kFoldersPart);
}

void MainWindowModel::StopLoading() {
  if (loading_) {
    loading_->stop = true;
  }
}

void MainWindowModel::EndLoading(bool keep) {
  if (!loading_) {
    return;
  }
  loading_->stop = !keep;
  loading_->thread.join();
  std::optional<TreeBuild> built = std::move(loading_->built);
  loading_.reset();
  if (keep && built) {
    browser_.InstallTree(std::move(*built));
  }
  view_.Changed(kTreePart | kRowsPart | kSelectionPart | kFoldersPart);
}

void MainWindowModel::Do(Command command, int argument) {
  switch (command) {
    case Command::kChooseSearchFolder:
      return ChooseSearchFolder();
    case Command::kFileType:
      return SelectFileType(argument);
    case Command::kChooseDestination:
      return ChooseDestination();
    case Command::kExit:
      return Exit();
    case Command::kJwwSettings:
      return EditSettings(SettingsDialog::kJww);
    case Command::kJwcSettings:
      return EditSettings(SettingsDialog::kJwc);
    case Command::kLayerSettings:
      return EditSettings(SettingsDialog::kLayers);
    case Command::kSaveSettings:
      return SaveSettingsFile();
    case Command::kOpenSettings:
      return OpenSettingsFile();
    case Command::kStandardsCheck:
      return CheckStandards();
    case Command::kSurvey:
      return Survey();
    case Command::kReopenSearchFolder:
      return SetReopenSearchFolder(settings_.reopen_search_folder == 0);
    case Command::kRefresh:
      return Refresh();
    case Command::kManual:
      if (std::optional<fs::path> manual = FindManual(setup_.program_folder)) {
        if (!view_.OpenWithAssociatedProgram(*manual)) {
          view_.ShowMessage(MessageKind::kInformation, ManualWithoutBrowserText(*manual));
        }
      } else {
        view_.Beep();
        view_.ShowMessage(MessageKind::kWarning, texts::kManualMissing);
      }
      return;
    case Command::kAbout:
      return view_.ShowMessage(MessageKind::kInformation, AboutText(setup_.version));
  }
}

bool MainWindowModel::ChosenSearchFolder() const {
  // The built-in search folder is the program's own, which the user never chose.
  return FolderPath(PathFromText(settings_.search_folder)) != FolderPath(setup_.program_folder);
}

ListOptions MainWindowModel::Options() const {
  return {ValidFileType(formats_, settings_.file_type), view_.SizeColumnPixels()};
}

StopCheck MainWindowModel::WalkStop() {
  return [this] { return view_.WalkShouldStop(); };
}

fs::path MainWindowModel::PickerStart(const std::string& last) const {
  const fs::path path = PathFromText(last);
  // A per-user install folder is no place for the user's files.
  if (last.empty() || FolderPath(path) == FolderPath(setup_.program_folder)) {
    return setup_.documents_folder;
  }
  if (IsFolder(path) || IsFolder(path.parent_path())) {
    return path;  // a folder, or a file: its folder, its name preset
  }
  return setup_.documents_folder;
}

void MainWindowModel::BuildTree(const fs::path& folder) {
  EndLoading(false);  // a folder chosen meanwhile wins over the start's
  shown_search_folder_ = PathText(FolderPath(folder));
  walking_ = true;
  view_.Changed(kTreePart);
  browser_.BuildFolderTree(folder, WalkStop());
  walking_ = false;
  view_.Changed(kTreePart | kRowsPart | kSelectionPart);
}

void MainWindowModel::ChooseSearchFolder() {
  if (walking_) {
    return;
  }
  view_.SetStatus({});
  std::optional<fs::path> chosen =
      view_.ChooseFolder(texts::kSearchFolderTitle, PickerStart(settings_.search_folder));
  if (!chosen) {
    return;
  }
  settings_.search_folder = PathText(FolderPath(*chosen));
  SaveIni();
  view_.Changed(kFoldersPart);
  BuildTree(PathFromText(settings_.search_folder));
}

void MainWindowModel::ChooseDestination() {
  std::optional<fs::path> chosen =
      view_.ChooseFolder(texts::kDestinationTitle, PickerStart(settings_.destination_folder));
  if (!chosen) {
    return;
  }
  settings_.destination_folder = PathText(FolderPath(*chosen));
  SaveIni();
  view_.Changed(kFoldersPart);
}

void MainWindowModel::SelectFileType(int index) {
  if (walking_) {
    return;
  }
  settings_.file_type = ValidFileType(formats_, index);
  SaveIni();
  view_.Changed(kFileTypePart);
  walking_ = true;
  browser_.FileTypeChanged(Options(), WalkStop());
  walking_ = false;
  view_.Changed(kRowsPart | kSelectionPart);
}

void MainWindowModel::ShowFolder(std::optional<FolderTree::NodeId> node) {
  if (walking_) {
    return;
  }
  walking_ = true;
  browser_.ShowFolder(node, Options(), WalkStop());
  walking_ = false;
  view_.Changed(kRowsPart | kSelectionPart);
}

void MainWindowModel::Refresh() {
  if (walking_) {
    return;
  }
  EndLoading(true);
  walking_ = true;
  view_.Changed(kTreePart);
  browser_.Refresh(Options(), WalkStop());
  walking_ = false;
  view_.Changed(kTreePart | kRowsPart | kSelectionPart);
}

void MainWindowModel::SetExpanded(FolderTree::NodeId node, bool expanded) {
  const FolderTree& tree = browser_.tree();
  if (tree.empty() || node == FolderTree::kRoot) {
    return;  // the root is always open
  }
  if (const fs::path root = tree.NodePath(FolderTree::kRoot); root != expanded_root_) {
    expanded_.clear();  // another folder is searched now
    expanded_root_ = root;
  }
  if (expanded) {
    expanded_.insert(tree.NodePath(node));
  } else {
    expanded_.erase(tree.NodePath(node));
  }
}

bool MainWindowModel::Expanded(FolderTree::NodeId node) const {
  const FolderTree& tree = browser_.tree();
  if (tree.empty() || node == FolderTree::kRoot) {
    return true;
  }
  return tree.NodePath(FolderTree::kRoot) == expanded_root_ &&
         expanded_.count(tree.NodePath(node)) != 0;
}

void MainWindowModel::PressHeader(int column) {
  if (walking_) {
    return;
  }
  walking_ = true;
  browser_.PressHeader(column, Options(), WalkStop());
  walking_ = false;
  view_.Changed(kRowsPart | kSelectionPart);
}

void MainWindowModel::RepadSizes(int column_pixels, int digit_pixels) {
  if (!browser_.list_ready()) {
    return;
  }
  browser_.RepadSizes(column_pixels, digit_pixels);
  view_.Changed(kSizesPart);
}

void MainWindowModel::OpenRow(std::optional<std::size_t> row) {
  if (std::optional<fs::path> file = browser_.FileToOpen(row)) {
    if (!view_.OpenWithAssociatedProgram(*file)) {
      view_.Beep();
      view_.ShowMessage(MessageKind::kWarning, NoProgramText(*file));
    }
  }
}

void MainWindowModel::SelectRows(std::vector<std::size_t> rows) {
  browser_.list().SelectRows(std::move(rows));
  view_.Changed(kSelectionPart);
}

void MainWindowModel::SelectAll() {
  std::vector<std::size_t> rows(browser_.list().rows().size());
  for (std::size_t row = 0; row < rows.size(); ++row) {
    rows[row] = row;
  }
  SelectRows(std::move(rows));
}

void MainWindowModel::SetWholeTree(bool whole_tree) {
  whole_tree_ = whole_tree;
  view_.Changed(kRunPart | kSelectionPart);
}

void MainWindowModel::OpenPaths(const std::vector<fs::path>& paths) {
  if (walking_ || paths.empty()) {
    return;
  }
  if (asking_ || running()) {
    handed_over_ = paths;
    return;
  }
  const std::optional<StartPath> start = StartPathOf(paths.front());
  if (!start) {
    return;
  }
  // Files of the first one's folder are selected together; others are left out.
  std::vector<fs::path> names;
  if (start->file) {
    for (const fs::path& path : paths) {
      if (std::optional<StartPath> other = StartPathOf(path);
          other && other->file && other->folder == start->folder) {
        names.push_back(*other->file);
      }
    }
  }
  EndLoading(false);
  shown_search_folder_ = PathText(FolderPath(start->folder));
  walking_ = true;
  view_.Changed(kTreePart);
  const bool opened = browser_.OpenStartPath(*start, Options(), WalkStop());
  if (opened && !names.empty()) {
    browser_.list().SelectNames(names);
  }
  walking_ = false;
  view_.Changed(kTreePart | kRowsPart | kSelectionPart);
}

void MainWindowModel::OpenHandedOver() {
  if (std::optional<std::vector<fs::path>> paths = std::exchange(handed_over_, std::nullopt)) {
    OpenPaths(*paths);
  }
}

void MainWindowModel::EditSettings(SettingsDialog which) {
  view_.ShowSettingsDialog(which);
  SaveIni();
  view_.Changed(kTablesPart);
}

void MainWindowModel::ShowLayersOf(const preview::LayerSheet* sheet,
                                   const std::optional<fs::path>& file) {
  layer_dialog_.SetDrawingLayers(sheet, [this, file](const LayerTable& proposed) {
    return LayerMoveQuestion(formats_, file, settings_.tables, proposed);
  });
}

void MainWindowModel::SaveSettingsFile() {
  std::optional<fs::path> chosen = view_.ChooseSettingsFile(
      true, texts::kSaveSettingsTitle, PickerStart(settings_.last_settings_file));
  if (!chosen) {
    return;
  }
  settings_.last_settings_file = PathText(*chosen);
  (void)SaveTablesAs(*chosen, settings_.tables, view_);
  SaveIni();
}

void MainWindowModel::OpenSettingsFile() {
  std::optional<fs::path> chosen = view_.ChooseSettingsFile(
      false, texts::kOpenSettingsTitle, PickerStart(settings_.last_settings_file));
  if (!chosen) {
    return;
  }
  settings_.last_settings_file = PathText(*chosen);
  const std::string read = OpenTablesFrom(*chosen, settings_.tables, view_);
  if (!read.empty()) {
    view_.SetStatus(read);
  }
  SaveIni();
  view_.Changed(kTablesPart);
}

void MainWindowModel::SetReopenSearchFolder(bool on) {
  settings_.reopen_search_folder = on ? 1 : 0;
  SaveIni();
  view_.Changed(kOptionsPart);
}

void MainWindowModel::LayoutChanged() {
  SaveIni();
}

void MainWindowModel::Convert() {
  if (running() || walking_) {
    return;  // one run at a time
  }
  // The files are held from the checks to the answer; a run holds them on.
  asking_ = true;
  if (!CheckAndCount()) {
    asking_ = false;
    OpenHandedOver();
  }
}

bool MainWindowModel::CheckAndCount() {
  const ConversionRequest request =
      browser_.MakeRequest(settings_.destination_folder, whole_tree_, Options());
  if (!CheckConversion(request, view_)) {
    return false;
  }
  progress_ = RunProgress{};
  progress_.status = std::string(texts::kCounting);
  stopping_ = false;
  view_.SetStatus(texts::kCounting);
  // A tree of thousands of files takes a while to count: the window stays live meanwhile.
  counting_ = std::make_unique<PlanCounting>();
  counting_->plan = MakePlan(request);
  PlanCounting& counting = *counting_;
  counting.thread = std::thread([this, &counting] {
    RealFileSystem files;
    PlanCount count =
        CountPlan(counting.plan, formats_, files, [this, &counting](std::size_t judged) {
          counting.judged = judged;
          if (judged % 256 == 0) {
            news_.Wake();
          }
          return !counting.stop.load();
        });
    {
      std::lock_guard lock(counting.mutex);
      counting.count = count;
    }
    news_.Wake();
  });
  view_.Changed(kRunPart);
  return true;
}

void MainWindowModel::CountNews() {
  std::optional<PlanCount> count;
  {
    std::lock_guard lock(counting_->mutex);
    count = counting_->count;
  }
  if (!count) {
    progress_.done = counting_->judged;
    view_.Changed(kRunPart);
    return;
  }
  counting_->thread.join();
  ConversionPlan plan = std::move(counting_->plan);
  counting_.reset();
  // "中止" pressed while counting: no question, even when the count got to its end first.
  const bool stopped = count->stopped || stopping_;
  stopping_ = false;
  progress_ = RunProgress{};
  bool started = false;
  if (stopped) {
    view_.SetStatus(texts::kCancelled);
  } else {
    view_.SetStatus({});
    started = AskAndStart(std::move(plan), *count);
  }
  view_.Changed(kRunPart);
  asking_ = false;
  if (!started) {
    OpenHandedOver();
  }
}

bool MainWindowModel::AskAndStart(ConversionPlan plan, const PlanCount& count) {
  if (count.files == 0) {
    view_.ShowMessage(MessageKind::kInformation, NothingToConvertText(plan, count));
    return false;
  }
  if (!view_.AskYesNo(RunQuestion(plan, count, settings_.tables))) {
    view_.SetStatus(texts::kCancelled);
    return false;
  }
  plan.file_count = count.Jobs();
  progress_ = RunProgress{};
  progress_.total = count.Jobs();
  progress_.counted = true;
  stopping_ = false;
  // The run goes on threads of its own; it wakes the window, which looks in on its thread.
  run_ = std::make_unique<BackgroundRun>(std::move(plan), formats_, settings_.tables,
                                         setup_.workers != 0 ? setup_.workers : DefaultWorkers(),
                                         [this] { news_.Wake(); });
  view_.Changed(kRunPart);
  return true;
}

std::optional<ConversionPlan> MainWindowModel::ReadingPlan() {
  if (running() || walking_) {
    return std::nullopt;  // one run, check or survey at a time
  }
  // Built as a conversion's request, so that the selection and the tree mean the same.
  const ConversionRequest conversion =
      browser_.MakeRequest(settings_.destination_folder, whole_tree_, Options());
  const StandardsCheckRequest request{conversion.tree_ready,    conversion.list_ready,
                                      conversion.source_folder, conversion.file_names,
                                      conversion.whole_tree,    conversion.file_pattern};
  if (!CheckStandardsRequest(request, view_)) {
    return std::nullopt;
  }
  progress_ = RunProgress{};
  stopping_ = false;
  return StandardsCheckPlan(request);
}

void MainWindowModel::CheckStandards() {
  if (std::optional<ConversionPlan> plan = ReadingPlan()) {
    check_ = std::make_unique<BackgroundCheck>(std::move(*plan), formats_, settings_.tables,
                                               [this] { news_.Wake(); });
    view_.Changed(kRunPart);
  }
}

void MainWindowModel::Survey() {
  if (std::optional<ConversionPlan> plan = ReadingPlan()) {
    survey_ =
        std::make_unique<BackgroundSurvey>(std::move(*plan), formats_, [this] { news_.Wake(); });
    view_.Changed(kRunPart);
  }
}

void MainWindowModel::Stop() {
  if (stopping_) {
    return;
  }
  if (counting_) {
    counting_->stop = true;
  } else if (run_) {
    run_->Stop();
  } else if (check_) {
    check_->Stop();
  } else if (survey_) {
    survey_->Stop();
  } else {
    return;
  }
  stopping_ = true;
  view_.SetStatus(texts::kStopping);
  view_.Changed(kRunPart);
}

void MainWindowModel::News() {
  news_.Taken();
  if (loading_) {
    bool done = false;
    {
      std::lock_guard lock(loading_->mutex);
      done = loading_->built.has_value();
    }
    if (done) {
      EndLoading(true);
    }
  }
  if (counting_) {
    return CountNews();
  }
  if (run_) {
    FollowTask(run_, [this](const RunReport& report) {
      const RunSummary summary = SummariseRun(report);
      view_.SetStatus(SummaryStatus(summary));
      view_.Changed(kRunPart);
      if (NeedsReport(summary)) {
        view_.ShowReport(summary);
      }
    });
  } else if (check_) {
    FollowTask(check_, [this](const StandardsCheckReport& report) {
      view_.SetStatus(CheckSummary(report));
      view_.Changed(kRunPart);
      // The report is what a check is for: it opens even when every drawing conforms.
      view_.ShowCheckReport(CheckReportText(report));
    });
  } else if (survey_) {
    FollowTask(survey_, [this](SurveyReport& report) {
      view_.SetStatus(SurveySummary(report));
      view_.Changed(kRunPart);
      survey_dialog_.SetReport(std::move(report));
      view_.ShowSurveyReport();
      if (std::vector<std::string> names = survey_dialog_.TakeChosenNames(); !names.empty()) {
        layer_dialog_.OfferNames(std::move(names));
        EditSettings(SettingsDialog::kLayers);
      }
    });
  }
}

template <class Task, class End>
void MainWindowModel::FollowTask(std::unique_ptr<Task>& task, End end) {
  progress_ = task->Poll();
  // Once stopping, the status says so until the end rather than naming the files in hand.
  if (!progress_.status.empty() && !progress_.finished && !stopping_) {
    view_.SetStatus(progress_.status);
  }
  if (!progress_.finished) {
    view_.Changed(kRunPart);
    return;
  }
  auto report = task->TakeReport();
  task.reset();
  stopping_ = false;
  end(report);
  OpenHandedOver();
}

bool MainWindowModel::RequestClose() {
  if (walking_) {
    return false;  // a folder walk runs inside the window's handlers; it ends by itself
  }
  if (running()) {
    // A run or a check is to be stopped with "中止" and its report seen first.
    view_.Beep();
    view_.ShowMessage(MessageKind::kWarning, texts::kNoCloseWhileRunning);
    return false;
  }
  // "終了" and the window's own close are one request: the same question, the same refusal.
  if (!view_.AskYesNo(texts::kExitQuestion)) {
    return false;
  }
  EndLoading(false);
  SaveIni();
  return true;
}

void MainWindowModel::Exit() {
  view_.CloseWindow();  // which asks through RequestClose
}

std::string_view MainWindowModel::ListBanner() const {
  return whole_tree_ ? texts::kWholeTreeBanner : std::string_view();
}

std::string MainWindowModel::SearchFieldText() const {
  // Empty until a folder has been searched: the built-in one is the program's own.
  const bool searched = browser_.tree_ready() || walking_ || loading_ != nullptr;
  return searched ? shown_search_folder_ : std::string();
}

std::string MainWindowModel::SelectionText() const {
  return whole_tree_ ? std::string() : SelectionCountText(browser_.list().selected_rows().size());
}

std::optional<fs::path> MainWindowModel::FileToPreview() const {
  return app::FileToPreview(browser_.list());
}

void MainWindowModel::SaveIni() {
  settings_.layout = view_.CurrentLayout();
  (void)SaveIniFile(setup_.ini_path, settings_);  // a failure here has no one to tell
}

}  // namespace penmorph::app
