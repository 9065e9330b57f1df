#pragma once

// A settings dialog as data: its controls with their captions, places and contents, in the order
// the Tab key walks them, and the model that answers its buttons. Each window has one builder
// that turns any description into its own controls, so a dialog is laid out and behaves the same
// in both, and a new dialog is written once.

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace penmorph::app {

// Places are pixels at 96 DPI, the size the dialogs were drawn at; the views scale them to the
// monitor. A control inside a group box is still placed in the dialog's coordinates.
struct DialogRect {
  int left = 0;
  int top = 0;
  int width = 0;
  int height = 0;
  bool operator==(const DialogRect&) const = default;
};

enum class ControlKind {
  kLabel,     // a static caption
  kHint,      // a caption in blue on white
  kSwatch,    // a framed patch of colour
  kGroup,     // a group box around the controls that name it as their group
  kEdit,      // a one-line text box
  kButton,    // a push button
  kCheckBox,  // a check box
  kList,      // a drop-down list of fixed items; its value is the chosen item's position
  kGrid,      // rows of cells, the rows' captions in a fixed column before them
};

struct GridColumn {
  std::string heading;
  int width = 118;
  // false: filled by the dialog only, shaded beside the columns typed into (a grid with none
  // typed into is a table to read, not shaded)
  bool editable = true;
};

struct GridDescription {
  std::string corner;  // the caption over the rows' captions
  int caption_width = 140;
  int row_height = 24;
  std::vector<std::string> row_captions;
  std::vector<GridColumn> columns;
  int first_column = 0;  // where the cursor starts
  // The rows are a list the dialog lengthens and shortens: as many as its values have, captioned
  // 1, 2, 3 ... instead of `row_captions`.
  bool numbered_rows = false;
  // The column whose cells are bars rather than texts (ControlValue::bars), or -1.
  int bar_column = -1;
};

struct ControlDescription {
  ControlKind kind = ControlKind::kLabel;
  // The control's name, for the tests and the Windows control ids ("StringGrid1", "ComboBox3").
  std::string name;
  std::string text;
  DialogRect place;
  int group = -1;                  // the index of the group box it sits in
  int font_pixels = 0;             // 0: the dialog's font
  int buddy = -1;                  // a label's: the control its "(&L)" key moves to
  std::uint32_t rgb = 0;           // a swatch's colour, 0xRRGGBB
  std::vector<std::string> items;  // a list's
  GridDescription grid;            // a grid's
};

struct DialogDescription {
  std::string name;   // "Form3"
  std::string title;  // "JWW/JWS設定"
  int width = 0;      // the client area
  int height = 0;
  std::vector<ControlDescription> controls;  // in tab order
  int ok = -1;                               // Enter presses it
  int cancel = -1;                           // Esc and the frame's close button press it
  int first_focus = -1;
};

// A bar in a grid's row: how full, from 0 to 1, and its colour (0xRRGGBB).
struct GridBar {
  double fill = 0;
  std::uint32_t rgb = 0;
  bool operator==(const GridBar&) const = default;
};

// What a control holds on screen. Only the part of its kind is used.
struct ControlValue {
  std::string text;                               // an edit box's
  bool checked = false;                           // a check box's
  int position = 0;                               // a list's
  std::vector<std::vector<std::string>> columns;  // a grid's cells, [column][row]
  int first_row = 0;                              // a grid's selected rows, read only
  int last_row = 0;
  std::vector<GridBar> bars;  // a grid's, by row, drawn in its bar column
  bool operator==(const ControlValue&) const = default;
};
using DialogValues = std::vector<ControlValue>;  // by control index

// A report a dialog offers to save: how the picker is titled, what it offers, and the bytes.
struct FileToSave {
  std::string title;
  std::string file_name;  // offered, in the folder last used
  std::string filter;     // "CSV ファイル(*.csv)"
  std::string extension;  // "csv": given to a name typed without one
  std::string contents;
};

// What the dialog does after a button.
struct DialogReply {
  enum class Close { kStay, kAccept, kReject } close = Close::kStay;
  std::string error;     // an error box, after a beep
  std::string question;  // a yes/no question; its answer goes to DialogModel::Answer
  int focus = -1;        // the control that takes the focus afterwards
  int edit_row = -1;     // with a grid as `focus`: the cell whose editor opens, its text selected
  int edit_column = -1;
  int select_row = -1;    // with a grid as `focus` and no cell to edit: the row made current
  std::string clipboard;  // put on the clipboard when not empty
  // Asks where to save `contents`, then saves them there; a failure is told.
  std::optional<FileToSave> save;
};

class DialogModel {
 public:
  virtual ~DialogModel() = default;

  const DialogDescription& description() const { return description_; }
  // The controls' contents as the dialog opens, `shown` being what it showed when it last
  // closed (empty the first time): the tables' values, while the fill boxes keep their text.
  DialogValues Open(const DialogValues& shown = {}) const;
  // Control `button` pressed with `values` on screen; the dialog may rewrite them, and the view
  // shows them again before it acts on the reply.
  virtual DialogReply Press(int button, DialogValues& values) = 0;
  virtual DialogReply Answer(bool /*yes*/) { return {}; }
  // A cell of grid `grid` was typed into; true when the dialog rewrote `values`, which the view
  // then shows again (a column that follows what is typed).
  virtual bool CellEdited(int /*grid*/, DialogValues& /*values*/) { return false; }

 protected:
  // The controls' contents taken from the table.
  virtual DialogValues Load() const = 0;

  DialogDescription description_;
};

// Builds a description control by control, giving back each one's index.
class DialogBuilder {
 public:
  explicit DialogBuilder(DialogDescription& description) : description_(description) {}

  int Add(ControlDescription control);
  int Label(std::string name, std::string text, DialogRect place, int group = -1);
  int Hint(std::string name, std::string text, DialogRect place, int font_pixels = 0);
  int Edit(std::string name, DialogRect place);
  int Button(std::string name, std::string text, DialogRect place);

 private:
  DialogDescription& description_;
};

}  // namespace penmorph::app
