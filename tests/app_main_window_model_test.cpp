// The main window's model driven as a window drives it, with a view that answers for the user:
// the start, the folders, the selection, the question before a run, the run and its end, the
// settings kept as they change and the close policy.

#include "app/main_window_model.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <condition_variable>
#include <deque>
#include <map>
#include <memory>
#include <mutex>

#include "app/path_text.h"
#include "app/window_texts.h"
#include "app_fakes.h"
#include "fakes.h"
#include "settings/settings_store.h"
#include "test_support.h"

namespace penmorph::app {
namespace {

namespace fs = std::filesystem;
using penmorph::testing::FakeDrawing;
using penmorph::testing::FakeFormat;
using penmorph::testing::ReadBytes;
using penmorph::testing::ScratchFolder;
using penmorph::testing::WriteBytes;

// Events: those of RecordingPrompts, then "folder:TITLE|START", "settings:TITLE|START",
// "open:PATH", "dialog:jww|jwc", "report", "check-report", "close".
class FakeView : public testing::RecordingPrompts<MainWindowView> {
 public:
  std::deque<fs::path> folders;  // answers to the folder picker in turn
  std::optional<fs::path> settings_file;
  std::optional<RunSummary> report;
  std::optional<std::string> check_report;
  std::function<void()> while_asking;  // what happens while the question is open
  std::function<void()> while_survey_shown;
  unsigned changed = 0;
  WindowLayout layout;
  std::atomic<int> wakes{0};
  // The wakes there had been when the model last looked at its news (the latch lets through one
  // more at most until it looks again): a run started by that look wakes it after it.
  int wakes_at_last_look = 0;
  bool can_open = true;  // the desktop has a program for what is opened  // requests to look in,
                         // from any thread

  std::optional<fs::path> ChooseFolder(std::string_view title, const fs::path& start) override {
    events.push_back("folder:" + std::string(title) + "|" + PathText(start));
    if (folders.empty()) {
      return std::nullopt;
    }
    fs::path chosen = folders.front();
    folders.pop_front();
    return chosen;
  }
  std::optional<fs::path> ChooseSettingsFile(bool, std::string_view title,
                                             const fs::path& start) override {
    events.push_back("settings:" + std::string(title) + "|" + PathText(start));
    return settings_file;
  }
  bool AskYesNo(std::string_view text) override {
    if (while_asking) {
      while_asking();
    }
    return RecordingPrompts::AskYesNo(text);
  }
  bool OpenWithAssociatedProgram(const fs::path& file) override {
    events.push_back("open:" + PathText(file));
    return can_open;
  }
  void ShowSettingsDialog(SettingsDialog which) override {
    events.push_back(which == SettingsDialog::kJww   ? "dialog:jww"
                     : which == SettingsDialog::kJwc ? "dialog:jwc"
                                                     : "dialog:layers");
  }
  void ShowReport(const RunSummary& summary) override {
    events.push_back("report");
    report = summary;
  }
  void ShowCheckReport(const std::string& text) override {
    events.push_back("check-report");
    check_report = text;
  }
  void ShowSurveyReport() override {
    events.push_back("survey-report");
    if (while_survey_shown) {
      while_survey_shown();
    }
  }
  void Changed(unsigned parts) override { changed |= parts; }
  void WakeSoon() override {
    ++wakes;
    std::lock_guard lock(mutex_);
    woken_ = true;
    wake_.notify_all();
  }
  bool WalkShouldStop() override { return false; }
  WindowLayout CurrentLayout() const override { return layout; }
  int SizeColumnPixels() const override { return 64; }
  void CloseWindow() override { events.push_back("close"); }

  // "変換" and the count before the question, which goes in the background.
  void ConvertAndCount(MainWindowModel& model) {
    model.Convert();
    WaitWhile(model, [&] { return model.counting(); });
  }

  // Waits for news until the model has taken the end of its run and of the start's listing.
  void RunToEnd(MainWindowModel& model) {
    WaitWhile(model, [&] { return model.running() || model.loading(); });
  }

  template <class Busy>
  void WaitWhile(MainWindowModel& model, Busy busy) {
    while (busy()) {
      std::unique_lock lock(mutex_);
      wake_.wait(lock, [this] { return woken_; });
      woken_ = false;
      lock.unlock();
      wakes_at_last_look = wakes.load();
      model.News();
    }
  }

 private:
  std::mutex mutex_;
  std::condition_variable wake_;
  bool woken_ = false;
};

class ModelTest : public ::testing::Test {
 protected:
  ModelTest() {
    fs::create_directories(program());
    fs::create_directories(documents());
    for (const char* name : {"JWW", "JWS", "JWC", "JWK"}) {
      auto format = std::make_unique<FakeFormat>(name, log_);
      formats_[name] = format.get();
      registry_.Add(std::move(format));
    }
  }

  fs::path program() const { return scratch_ / "prog"; }
  fs::path documents() const { return scratch_ / "docs"; }
  fs::path ini() const { return program() / "penmorph.ini"; }

  MainWindowModel& Open() {
    ModelSetup setup{program(), ini(), documents(), 2, "9.9.9"};
    model_ = std::make_unique<MainWindowModel>(registry_, view_, setup);
    model_->Start();
    view_.Take();
    return *model_;
  }

  // A folder "図面" with drawings and a subfolder, and an empty destination "変換後".
  fs::path MakeDrawings() {
    const fs::path folder = scratch_ / fs::path(u8"図面");
    fs::create_directories(folder / "sub");
    for (const char* name : {"a.jww", "b.jww", "c.jww", "d.jwc"}) {
      WriteBytes(folder / name,
                 FakeDrawing(std::string(name).ends_with("jwc") ? "JWC" : "JWW", name));
    }
    WriteBytes(folder / "sub" / "e.jww", FakeDrawing("JWW", "e"));
    fs::create_directories(destination());
    return folder;
  }
  fs::path destination() const { return scratch_ / fs::path(u8"変換後"); }

  void ListFolder(MainWindowModel& model, const fs::path& folder) {
    view_.folders.push_back(folder);
    model.ChooseSearchFolder();
    model.ShowFolder(FolderTree::kRoot);
    view_.folders.push_back(destination());
    model.ChooseDestination();
    view_.Take();
  }

  ScratchFolder scratch_;
  penmorph::testing::CallLog log_;
  FormatRegistry registry_;
  std::map<std::string, FakeFormat*> formats_;
  FakeView view_;
  std::unique_ptr<MainWindowModel> model_;
};

TEST(FirstStartLayout, TakesFourFifthsOfTheWorkAreaCentredWithColumnsForTheirText) {
  ColumnMeasures columns;
  columns.head_pixels = {60, 40, 30, 60, 60, 30};
  columns.typical_pixels = {200, 70, 30, 180, 140, 25};
  const WindowLayout layout = FirstStartLayout({0, 30, 1920, 1050}, columns);
  EXPECT_EQ(layout.main_width, 1536);
  EXPECT_EQ(layout.main_height, 840);
  EXPECT_EQ(layout.main_left, 192);
  EXPECT_EQ(layout.main_top, 30 + 105);
  EXPECT_EQ(layout.column_widths, (std::array<int, 6>{216, 86, 46, 196, 156, 46}));
  EXPECT_GE(layout.folder_pane_width, 160);
  // A small screen never gets a window larger than itself, nor one below the built-in size.
  const WindowLayout small = FirstStartLayout({0, 0, 800, 500}, columns);
  EXPECT_EQ(small.main_width, 696);
  EXPECT_EQ(small.main_height, 478);
  EXPECT_EQ(small.main_left, 52);
  EXPECT_EQ(FirstStartLayout({0, 0, 600, 400}, columns).main_width, 600);
}

TEST_F(ModelTest, TheFirstStartIsToldAndNothingIsListedUntilAFolderIsChosen) {
  MainWindowModel& model = Open();
  EXPECT_TRUE(model.first_start());
  model.Shown(std::nullopt);
  EXPECT_TRUE(view_.Take().empty());
  EXPECT_FALSE(model.browser().tree_ready());
  // Pickers start in Documents while nothing was chosen for them (not in the program's folder).
  model.ChooseSearchFolder();
  model.ChooseDestination();
  model.SaveSettingsFile();
  EXPECT_EQ(view_.Take(), (std::vector<std::string>{
                              "status:", "folder:検索フォルダの指定|" + PathText(documents()),
                              "folder:保存先フォルダの指定|" + PathText(documents()),
                              "settings:現在の設定を保存|" + PathText(documents())}));
}

// Settings are written as they change, so that a second window or a crash loses nothing.
TEST_F(ModelTest, SettingsAreSavedWhenTheyChangeAndPickersStartWhereTheyWereLastUsed) {
  const fs::path drawings = MakeDrawings();
  MainWindowModel& model = Open();
  view_.layout.main_width = 1234;
  ListFolder(model, drawings);
  model.SelectFileType(2);
  AppSettings saved;
  ASSERT_TRUE(LoadIniFile(ini(), saved).ok());
  EXPECT_EQ(saved.search_folder, PathText(drawings / ""));
  EXPECT_EQ(saved.destination_folder, PathText(destination() / ""));
  EXPECT_EQ(saved.file_type, 2);
  EXPECT_EQ(saved.layout.main_width, 1234);

  model.EditSettings(SettingsDialog::kJww);
  model.tables().jww.SetEntry(3, 7);  // as the dialog would on OK
  model.EditSettings(SettingsDialog::kJwc);
  ASSERT_TRUE(LoadIniFile(ini(), saved).ok());
  EXPECT_EQ(saved.tables.jww.Entry(3), 7);
  model.EditSettings(SettingsDialog::kLayers);
  model.tables().layers.SetTarget(3, LayerAddress{2, 5});
  model.EditSettings(SettingsDialog::kLayers);
  ASSERT_TRUE(LoadIniFile(ini(), saved).ok());
  EXPECT_EQ(saved.tables.layers.Target(3), (LayerAddress{2, 5}));

  view_.settings_file = scratch_ / "office.set";
  model.SaveSettingsFile();
  EXPECT_TRUE(fs::exists(scratch_ / "office.set"));
  view_.Take();
  model.ChooseSearchFolder();
  model.OpenSettingsFile();
  EXPECT_EQ(view_.Take(),
            (std::vector<std::string>{
                "status:", "folder:検索フォルダの指定|" + PathText(drawings / ""),
                "settings:保存した設定ファイルを開く|" + PathText(scratch_ / "office.set"),
                "status:設定ファイル「office.set」を読み込みました。今までの設定と同じです。"}));

  // A file without a layer table moves no layer: the status says what it replaced, and that
  // the moves set before are gone.
  ConversionTables plain;
  plain.jww.SetEntry(3, 5);
  ASSERT_TRUE(penmorph::SaveSettingsFile(scratch_ / "plain.set", plain).ok());
  view_.settings_file = scratch_ / "plain.set";
  model.OpenSettingsFile();
  EXPECT_EQ(view_.Take().back(),
            "status:設定ファイル「plain.set」を読み込みました。JWW/JWS設定、レイヤ設定を置き換えま"
            "した。このファイルにはレイヤ設定がないため、レイヤは移しません。");
  EXPECT_TRUE(model.tables().layers.Empty());
  EXPECT_EQ(model.tables().jww.Entry(3), 5);
}

TEST_F(ModelTest, TheLastSearchFolderIsListedAtStartUnlessItIsGoneOrTheOptionIsOff) {
  const fs::path drawings = MakeDrawings();
  Open();
  ListFolder(*model_, drawings);

  MainWindowModel& again = Open();
  EXPECT_FALSE(again.first_start());
  again.Shown(std::nullopt);
  EXPECT_TRUE(again.loading());  // on a thread of its own: the window stays usable
  view_.RunToEnd(again);
  EXPECT_TRUE(again.browser().tree_ready());
  EXPECT_EQ(again.browser().tree().NodePath(FolderTree::kRoot), drawings / "");
  EXPECT_TRUE(view_.Take().back().starts_with("status:"));

  // Gone (or on a drive that is not ready): an empty tree, the usual text and no box.
  fs::rename(drawings, scratch_ / "moved");
  MainWindowModel& gone = Open();
  gone.Shown(std::nullopt);
  EXPECT_FALSE(gone.browser().tree_ready());
  EXPECT_EQ(view_.Take(), (std::vector<std::string>{"status:検索フォルダを指定して下さい。"}));

  fs::rename(scratch_ / "moved", drawings);
  gone.SetReopenSearchFolder(false);
  MainWindowModel& off = Open();
  EXPECT_EQ(off.settings().reopen_search_folder, 0);
  off.Shown(std::nullopt);
  EXPECT_FALSE(off.browser().tree_ready());
}

// A file dropped or handed over lists its folder and selects it; several of one folder are all
// selected; F5 reads the tree again and keeps the listed folder and its selection.
TEST_F(ModelTest, DroppedFilesAreSelectedAndF5ShowsNewFolders) {
  const fs::path drawings = MakeDrawings();
  MainWindowModel& model = Open();
  model.OpenPaths({drawings / "c.jww", drawings / "a.jww", scratch_ / "elsewhere.jww"});
  EXPECT_EQ(model.browser().tree().NodePath(FolderTree::kRoot), drawings / "");
  std::vector<fs::path> selected = model.browser().list().SelectedNames();
  std::sort(selected.begin(), selected.end());  // in the list's order, the file system's
  EXPECT_EQ(selected, (std::vector<fs::path>{"a.jww", "c.jww"}));
  EXPECT_EQ(model.SelectionText(), "2 個選択");
  EXPECT_EQ(model.SearchFieldText(), PathText(drawings / ""));
  // Shown for now: the remembered search folder is still the built-in one.
  EXPECT_EQ(model.settings().search_folder, PathText(program() / ""));

  model.OpenPaths({drawings / "sub"});
  EXPECT_EQ(model.browser().list().rows().size(), 1u);
  EXPECT_TRUE(model.browser().list().SelectedNames().empty());  // a folder: nothing picked

  model.OpenPaths({drawings});
  model.SelectRows({1, 3});
  fs::create_directories(drawings / "new");
  EXPECT_FALSE(model.browser().tree().Find({"new"}));
  const auto node = [&](const char* name) { return *model.browser().tree().Find({name}); };
  model.SetExpanded(node("sub"), true);
  model.Do(Command::kRefresh);
  EXPECT_TRUE(model.browser().tree().Find({"new"}));
  EXPECT_EQ(model.browser().shown_node(), FolderTree::kRoot);
  EXPECT_EQ(model.browser().list().selected_rows(), (std::vector<std::size_t>{1, 3}));
  // The folder opened before F5 is open in the new tree, the new one is not.
  EXPECT_TRUE(model.Expanded(node("sub")));
  EXPECT_FALSE(model.Expanded(node("new")));
  EXPECT_TRUE(model.Expanded(FolderTree::kRoot));
  model.SetExpanded(node("sub"), false);
  model.Do(Command::kRefresh);
  EXPECT_FALSE(model.Expanded(node("sub")));
  // Another folder's tree starts closed, even where its folders bear the same names.
  model.SetExpanded(node("sub"), true);
  fs::create_directories(scratch_ / "other" / "sub");
  model.OpenPaths({scratch_ / "other"});
  EXPECT_FALSE(model.Expanded(node("sub")));
}

// Ctrl+click picks files apart: a run converts exactly those, and says so first.
TEST_F(ModelTest, ARunConvertsExactlyTheSelectedFilesAfterAQuestionThatCountsThem) {
  const fs::path drawings = MakeDrawings();
  MainWindowModel& model = Open();
  ListFolder(model, drawings);
  WriteBytes(destination() / "c.jww", "an earlier output");
  EXPECT_TRUE(model.browser().list().selected_rows().empty());  // a listing picks nothing
  model.SelectAll();
  EXPECT_EQ(model.SelectionText(), "4 個選択");
  model.SelectRows({});
  view_.ConvertAndCount(model);
  EXPECT_EQ(view_.Take(),
            (std::vector<std::string>{"beep", "warning:変換するファイルが選択されていません。"}));

  const auto& rows = model.browser().list().rows();
  std::vector<std::size_t> picked;
  for (std::size_t row = 0; row < rows.size(); ++row) {
    if (rows[row].name == "a.jww" || rows[row].name == "c.jww") {
      picked.push_back(row);
    }
  }
  model.SelectRows(picked);
  view_.answer = false;
  view_.ConvertAndCount(model);
  EXPECT_EQ(view_.Take(),
            (std::vector<std::string>{"status:数えています…", "status:",
                                      "ask:「図面」の 2 個のファイルを「変換後」に変換します。"
                                      "同じ名前のファイルが 1 個あり、.BAK として残します。"
                                      "変換表がすべて 0 のため、図面の内容は変わりません。"
                                      "よろしいですか？",
                                      "status:変換作業をキャンセルしました。"}));
  EXPECT_FALSE(model.running());

  view_.answer = true;
  view_.ConvertAndCount(model);
  EXPECT_TRUE(model.running());
  EXPECT_FALSE(model.RequestClose());  // not while a run goes
  view_.RunToEnd(model);
  EXPECT_TRUE(fs::exists(destination() / "a.jww"));
  EXPECT_TRUE(fs::exists(destination() / "c.BAK"));
  EXPECT_FALSE(fs::exists(destination() / "b.jww"));
  EXPECT_EQ(view_.Take().back(), "status:変換作業を完了しました。2 個を変換（.BAK 1 個）。");
  EXPECT_FALSE(view_.report);  // nothing more to say than the status bar holds
  EXPECT_TRUE(model.RequestClose());
}

// What is handed over while the question is open or a run goes waits: the question and the run
// keep their files, and the last hand-over is listed once the run has ended.
TEST_F(ModelTest, FilesHandedOverDuringTheQuestionOrTheRunWaitForItsEnd) {
  const fs::path drawings = MakeDrawings();
  const fs::path other = scratch_ / "other";
  fs::create_directories(other);
  WriteBytes(other / "x.jww", FakeDrawing("JWW", "x"));
  MainWindowModel& model = Open();
  ListFolder(model, drawings);
  const auto& rows = model.browser().list().rows();
  for (std::size_t row = 0; row < rows.size(); ++row) {
    if (rows[row].name == "a.jww") {
      model.SelectRows({row});
    }
  }
  view_.while_asking = [&] { model.OpenPaths({other / "x.jww"}); };
  view_.ConvertAndCount(model);
  view_.while_asking = nullptr;
  ASSERT_TRUE(model.running());
  EXPECT_EQ(model.browser().tree().NodePath(FolderTree::kRoot), drawings / "");
  model.OpenPaths({other});  // during the run: the last hand-over wins
  EXPECT_EQ(model.browser().tree().NodePath(FolderTree::kRoot), drawings / "");
  view_.RunToEnd(model);
  EXPECT_TRUE(fs::exists(destination() / "a.jww"));
  EXPECT_FALSE(fs::exists(destination() / "x.jww"));
  EXPECT_EQ(model.browser().tree().NodePath(FolderTree::kRoot), other / "");
  EXPECT_EQ(model.SearchFieldText(), PathText(other / ""));
  EXPECT_EQ(model.settings().search_folder, PathText(drawings / ""));

  // Handed over while the question is open and answered no: listed after the answer.
  ListFolder(model, drawings);
  model.SelectRows({0});
  view_.answer = false;
  view_.while_asking = [&] { model.OpenPaths({other / "x.jww"}); };
  view_.ConvertAndCount(model);
  view_.while_asking = nullptr;
  EXPECT_EQ(model.browser().tree().NodePath(FolderTree::kRoot), other / "");
  EXPECT_EQ(model.browser().list().SelectedNames(), (std::vector<fs::path>{"x.jww"}));
}

// "中止" says at once that the run is stopping; the end counts every file finished, also those
// finished after the stop, and the window is asked to look in once until it has looked.
TEST_F(ModelTest, AStoppedRunSaysSoAtOnceAndEndsWithTheTrueCount) {
  const fs::path drawings = MakeDrawings();
  MainWindowModel& model = Open();
  ListFolder(model, drawings);
  model.SelectAll();
  // Both workers are held in their first file until the stop has been pressed.
  std::mutex mutex;
  std::condition_variable changed;
  int in_hand = 0;
  bool stopped = false;
  const auto hold = [&] {
    std::unique_lock lock(mutex);
    ++in_hand;
    changed.notify_all();
    changed.wait(lock, [&] { return stopped; });
  };
  formats_["JWW"]->before_convert = hold;
  formats_["JWC"]->before_convert = hold;
  view_.answer = true;
  view_.ConvertAndCount(model);
  ASSERT_TRUE(model.running());
  {
    std::unique_lock lock(mutex);
    changed.wait(lock, [&] { return in_hand == 2; });
  }
  // Whether the run's thread woke the window before this thread came here or after.
  EXPECT_EQ(view_.wakes.load() - view_.wakes_at_last_look, 1)
      << "the run's news, not yet looked at";
  view_.Take();
  model.Stop();
  EXPECT_EQ(view_.Take(), (std::vector<std::string>{"status:" + std::string(texts::kStopping)}));
  model.News();  // the news of the start: the status keeps saying that the run is stopping
  EXPECT_TRUE(view_.Take().empty());
  {
    std::lock_guard lock(mutex);
    stopped = true;
  }
  changed.notify_all();
  view_.RunToEnd(model);
  EXPECT_EQ(model.progress().done, 2u);
  EXPECT_EQ(model.progress().total, 4u);
  EXPECT_EQ(view_.Take(), (std::vector<std::string>{
                              "status:変換作業を中止しました。2 個を変換、2 個は中止したため変換"
                              "していません。",
                              "report"}));
}

// The count before the question goes in the background, and "中止" during it ends the run before
// it begins: no question, nothing written, the status says so.
TEST_F(ModelTest, StopDuringTheCountAsksNothingAndWritesNothing) {
  const fs::path drawings = MakeDrawings();
  MainWindowModel& model = Open();
  ListFolder(model, drawings);
  model.SelectAll();
  view_.Take();
  model.Convert();
  ASSERT_TRUE(model.counting());
  EXPECT_TRUE(model.running()) << "中止 is offered";
  EXPECT_FALSE(model.RequestClose());
  model.Stop();
  view_.RunToEnd(model);
  EXPECT_FALSE(model.running());
  const std::vector<std::string> said = view_.Take();
  ASSERT_GE(said.size(), 2u);
  EXPECT_EQ(said.front(), "status:数えています…");
  EXPECT_EQ(said.back(), "status:変換作業をキャンセルしました。");
  for (const std::string& event : said) {
    EXPECT_FALSE(event.starts_with("ask:")) << event;
  }
  EXPECT_FALSE(fs::exists(destination() / "a.jww"));
}

// "基準チェック" goes as a run does: over the selection, with "中止", holding the window open,
// never beside a run, and ending in its report; nothing is written.
TEST_F(ModelTest, ACheckGoesAsARunDoesAndEndsInItsReport) {
  const fs::path drawings = MakeDrawings();
  MainWindowModel& model = Open();
  ListFolder(model, drawings);
  model.SelectRows({});
  model.Do(Command::kStandardsCheck);
  EXPECT_EQ(view_.Take(),
            (std::vector<std::string>{"beep", "warning:調べるファイルが選択されていません。"}));
  EXPECT_FALSE(model.running());

  model.SelectRows({0});
  model.Do(Command::kStandardsCheck);
  EXPECT_TRUE(model.checking());
  EXPECT_TRUE(model.running());  // the run's progress and "中止" show it
  view_.ConvertAndCount(model);  // not beside a check: no question is asked
  EXPECT_FALSE(model.RequestClose());
  EXPECT_EQ(view_.Take(), (std::vector<std::string>{
                              "beep", "warning:" + std::string(texts::kNoCloseWhileRunning)}));
  model.Stop();
  EXPECT_TRUE(model.stopping());
  view_.RunToEnd(model);
  EXPECT_FALSE(model.stopping());
  const std::vector<std::string> events = view_.Take();
  ASSERT_GE(events.size(), 2u);
  EXPECT_EQ(events.back(), "check-report");
  ASSERT_TRUE(view_.check_report);
  EXPECT_NE(view_.check_report->find(events[events.size() - 2].substr(7)), std::string::npos)
      << "the status bar's summary ends the report";
  EXPECT_TRUE(fs::is_empty(destination()));
  EXPECT_TRUE(model.RequestClose());

  // The selection, not the folder: the one file picked is read (the fake formats' files are no
  // drawings a check can read, so it is named as unreadable).
  const auto& rows = model.browser().list().rows();
  for (std::size_t row = 0; row < rows.size(); ++row) {
    if (rows[row].name == "c.jww") {
      model.SelectRows({row});
    }
  }
  view_.check_report.reset();
  model.Do(Command::kStandardsCheck);
  view_.RunToEnd(model);
  ASSERT_TRUE(view_.check_report);
  EXPECT_NE(view_.check_report->find(PathText(drawings / "c.jww")), std::string::npos);
  EXPECT_NE(view_.check_report->find("合わない図面 0 個、読めなかったファイル 1 個"),
            std::string::npos)
      << *view_.check_report;

  // Nor a check beside a run.
  view_.answer = true;
  view_.ConvertAndCount(model);
  ASSERT_TRUE(model.running());
  model.Do(Command::kStandardsCheck);
  EXPECT_FALSE(model.checking());
  view_.RunToEnd(model);
}

// "集計" goes as a check does, its report opens at the end, and the report's layer names go into
// "レイヤ設定"'s list when the user asks, targets left for the user.
TEST_F(ModelTest, ASurveyGoesAsACheckDoesAndHandsItsNamesToTheLayerDialog) {
  const fs::path drawings = MakeDrawings();
  MainWindowModel& model = Open();
  ListFolder(model, drawings);
  model.SelectRows({});
  model.Do(Command::kSurvey);
  EXPECT_EQ(view_.Take(),
            (std::vector<std::string>{"beep", "warning:調べるファイルが選択されていません。"}));

  model.SelectRows({0, 1});
  model.Do(Command::kSurvey);
  EXPECT_TRUE(model.checking());
  model.Do(Command::kStandardsCheck);  // not beside a survey
  view_.RunToEnd(model);
  std::vector<std::string> events = view_.Take();
  ASSERT_GE(events.size(), 2u);
  EXPECT_EQ(events[events.size() - 2], "status:" + SurveySummary(model.survey_dialog().report()));
  EXPECT_EQ(events.back(), "survey-report");
  // The fake formats' files are no drawings the inventory reads: both are named as unreadable.
  EXPECT_EQ(model.survey_dialog().report().unreadable.size(), 2u);

  // A report with names, as the dialog would hold after a real archive; the user takes them.
  preview::Inventory named;
  named.format = "JWW";
  named.before.sheet.known = true;
  named.before.sheet.names[3] = "外壁";
  named.before.sheet.names[5] = "a=b";
  model.tables().layers.SetNameRules({{"ＡＢ", LayerAddress{2, 0}}, {"外壁", LayerAddress{2, 1}}});
  view_.while_survey_shown = [&] {
    SurveyReport report;
    report.survey.Add(named);
    SurveyDialog& dialog = model.survey_dialog();
    dialog.SetReport(std::move(report));
    DialogValues values = dialog.Open();
    EXPECT_EQ(dialog.Press(dialog.names_button(), values).close, DialogReply::Close::kAccept);
  };
  model.Do(Command::kSurvey);
  view_.RunToEnd(model);
  events = view_.Take();
  ASSERT_GE(events.size(), 2u);
  EXPECT_EQ(events[events.size() - 2], "survey-report");
  EXPECT_EQ(events.back(), "dialog:layers");
  LayerSettingsDialog& layers = model.layer_dialog();
  DialogValues shown = layers.Open();
  // "外壁" is listed already; "a=b" comes as a pattern a settings file can hold.
  const auto& list = shown[layers.name_rules()].columns;
  EXPECT_EQ(list[LayerSettingsDialog::kPattern], (std::vector<std::string>{"ＡＢ", "外壁", "a?b"}));
  EXPECT_EQ(list[LayerSettingsDialog::kPatternTarget],
            (std::vector<std::string>{"2-0", "2-1", ""}));
  // Offered once: closed without OK, the dialog opens with the table's rules only.
  layers.Press(layers.description().cancel, shown);
  EXPECT_EQ(layers.Open()[layers.name_rules()].columns[LayerSettingsDialog::kPattern].size(), 2u);
}

TEST_F(ModelTest, ATreeRunNamesItsCountAndTheListShowsThatItsSelectionDoesNotApply) {
  const fs::path drawings = MakeDrawings();
  MainWindowModel& model = Open();
  ListFolder(model, drawings);
  model.SetWholeTree(true);
  EXPECT_EQ(model.ListBanner(), texts::kWholeTreeBanner);
  EXPECT_EQ(model.SelectionText(), "");
  formats_["JWC"]->fail_read = true;
  view_.ConvertAndCount(model);
  EXPECT_EQ(view_.Take()[2],
            "ask:「図面」以下の 5 個のファイルを「変換後」に変換します。変換表がすべて 0 "
            "のため、図面の内容は変わりません。よろしいですか？");
  view_.RunToEnd(model);
  EXPECT_TRUE(fs::exists(destination() / "sub" / "e.jww"));
  ASSERT_TRUE(view_.report);  // a failure: the report opens
  EXPECT_EQ(view_.report->converted, 4u);
  ASSERT_EQ(view_.report->failures.size(), 1u);
  EXPECT_EQ(view_.report->failures[0].file, drawings / "d.jwc");
  const std::vector<std::string> events = view_.Take();
  ASSERT_GE(events.size(), 2u);
  EXPECT_EQ(events[events.size() - 2],
            "status:変換作業を完了しました。4 個を変換、1 個は変換できませんでした。");
  EXPECT_EQ(events.back(), "report");
  model.SetWholeTree(false);
  EXPECT_EQ(model.ListBanner(), "");
}

TEST_F(ModelTest, MenusReachEveryCommandAndTheHelpMenuOpensTheManual) {
  MainWindowModel& model = Open();
  EXPECT_EQ(MainMenus(registry_).back().caption, "ヘルプ (&H)");
  model.Do(Command::kAbout);
  EXPECT_EQ(view_.Take(), (std::vector<std::string>{"information:Penmorph Ver.1.03（9.9.9）\n\n" +
                                                    std::string(texts::kAboutDescription) + "\n\n" +
                                                    std::string(texts::kAboutLicence)}));
  model.Do(Command::kManual);
  EXPECT_EQ(view_.Take(),
            (std::vector<std::string>{"beep", "warning:" + std::string(texts::kManualMissing)}));
  fs::create_directories(program() / "manual");
  WriteBytes(program() / "manual" / "penmorph-manual.html", "<html></html>");
  const std::string manual = PathText(program() / "manual" / "penmorph-manual.html");
  model.Do(Command::kManual);
  EXPECT_EQ(view_.Take(), (std::vector<std::string>{"open:" + manual}));
  // A desktop with no program for HTML: the box says where the manual is.
  view_.can_open = false;
  model.Do(Command::kManual);
  const std::vector<std::string> events = view_.Take();
  ASSERT_EQ(events.size(), 2u);
  EXPECT_TRUE(events[1].starts_with("information:使い方の説明書 (HTML) を開くプログラムが"));
  EXPECT_TRUE(events[1].ends_with("\n\n" + manual)) << events[1];
  view_.can_open = true;
  model.Do(Command::kJwcSettings);
  model.Do(Command::kLayerSettings);
  EXPECT_EQ(view_.Take(), (std::vector<std::string>{"dialog:jwc", "dialog:layers"}));

  // "終了" and the close box are one request: both ask, and no means the window stays.
  model.Do(Command::kExit);
  EXPECT_EQ(view_.Take(), (std::vector<std::string>{"close"}));
  view_.answer = false;
  EXPECT_FALSE(model.RequestClose());
  view_.answer = true;
  EXPECT_TRUE(model.RequestClose());
  EXPECT_EQ(view_.Take(), (std::vector<std::string>{"ask:終了します。よろしいですか？",
                                                    "ask:終了します。よろしいですか？"}));
}

}  // namespace
}  // namespace penmorph::app
