// The flow between a dialog's window and its model, as both windows go through it: what a press
// shows and in which order, the question and its answer, saving a report.

#include <gtest/gtest.h>

#include <fstream>

#include "app/dialog_flow.h"
#include "app/settings_dialogs.h"
#include "test_support.h"

namespace penmorph::app {
namespace {

// A window that keeps the controls' values and writes down what it is asked to do, in order.
class RecordingWindow final : public DialogWindow {
 public:
  DialogValues values;
  std::vector<std::string> done;
  bool answer = false;
  std::optional<std::filesystem::path> save_to;

  DialogValues ValuesOnScreen() override { return values; }
  void ShowValues(const DialogValues& shown) override {
    values = shown;
    done.push_back("show");
  }
  std::optional<std::filesystem::path> ChooseSaveFile(const FileToSave& file) override {
    done.push_back("choose " + file.file_name);
    return save_to;
  }
  void ShowError(const std::string& text) override { done.push_back("error " + text); }
  void CopyToClipboard(const std::string& text) override { done.push_back("copy " + text); }
  bool AskYesNo(const std::string& question) override {
    done.push_back("ask " + question);
    return answer;
  }
  void Focus(int control) override { done.push_back("focus " + std::to_string(control)); }
  void EditCell(int grid, int row, int column) override {
    done.push_back("edit " + std::to_string(grid) + " " + std::to_string(row) + " " +
                   std::to_string(column));
  }
  void SelectRow(int grid, int row) override {
    done.push_back("select " + std::to_string(grid) + " " + std::to_string(row));
  }
  void Close(DialogReply::Close how) override {
    done.push_back(how == DialogReply::Close::kAccept ? "accept" : "reject");
  }
};

TEST(DialogFlow, ARefusalIsToldBeforeItsCellOpensAndAQuestionDecidesTheClose) {
  JwwConvSettings jww;
  JwwSettingsDialog jww_dialog(jww);
  RecordingWindow window;
  OpenDialog(jww_dialog, window);
  window.done.clear();
  window.values[jww_dialog.colours()].columns[0][3] = "０３";
  window.values[jww_dialog.line_types()].columns[0][7] = "10";  // no line type
  PressDialogButton(jww_dialog, window, jww_dialog.description().ok);
  // The values the model rewrote are on screen before anything else happens.
  ASSERT_EQ(window.done.size(), 3u);
  EXPECT_EQ(window.done[0], "show");
  EXPECT_EQ(window.done[1].substr(0, 6), "error ");
  EXPECT_EQ(window.done[2], "edit " + std::to_string(jww_dialog.line_types()) + " 7 0");
  EXPECT_EQ(window.values[jww_dialog.colours()].columns[0][3], "3");

  LayerTable layers;
  LayerSettingsDialog layer_dialog(layers);
  layer_dialog.SetDrawingLayers(nullptr, [](const LayerTable&) { return std::string("移す？"); });
  window = RecordingWindow{};
  OpenDialog(layer_dialog, window);
  window.done.clear();
  window.values[layer_dialog.layers()].columns[LayerSettingsDialog::kTarget][5] = "2-A";
  PressDialogButton(layer_dialog, window, layer_dialog.description().ok);
  EXPECT_EQ(window.done, (std::vector<std::string>{"show", "ask 移す？"}));  // no: it stays
  EXPECT_FALSE(layers.Target(0x05));
  window.answer = true;
  PressDialogButton(layer_dialog, window, layer_dialog.description().ok);
  EXPECT_EQ(window.done.back(), "accept");
  EXPECT_TRUE(layers.Target(0x05));

  window.done.clear();
  PressDialogButton(layer_dialog, window, layer_dialog.description().cancel);
  EXPECT_EQ(window.done, (std::vector<std::string>{"show", "reject"}));
}

TEST(DialogFlow, ASavedReportGoesWhereTheUserSaysAndAFailureIsTold) {
  testing::ScratchFolder scratch;
  RecordingWindow window;
  const FileToSave file{"保存", "report.csv", "CSV", "csv", "a,b\r\n"};
  SaveChosenFile(file, window);  // the picker cancelled: nothing is written, nothing told
  EXPECT_EQ(window.done, std::vector<std::string>{"choose report.csv"});

  window.save_to = scratch.path() / "report.csv";
  SaveChosenFile(file, window);
  std::ifstream saved(*window.save_to, std::ios::binary);
  EXPECT_EQ(std::string(std::istreambuf_iterator<char>(saved), {}), "a,b\r\n");

  window.done.clear();
  window.save_to = scratch.path() / "no such folder" / "report.csv";
  SaveChosenFile(file, window);
  ASSERT_EQ(window.done.size(), 2u);
  EXPECT_EQ(window.done[1].substr(0, 6), "error ");
}

}  // namespace
}  // namespace penmorph::app
