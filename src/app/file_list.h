#pragma once

// The listed files of one folder, their order and the selected range of rows. The selection
// belongs to the files, not to the row numbers: reordering the rows keeps the same files
// selected while they still form one range, and otherwise selects none, so that "変換" never
// converts a file the user did not choose.

#include <cstddef>
#include <filesystem>
#include <optional>
#include <vector>

#include "app/file_rows.h"

namespace penmorph::app {

struct RowRange {
  std::size_t first = 0;
  std::size_t last = 0;
  bool operator==(const RowRange&) const = default;
};

class FileList {
 public:
  const std::vector<FileRow>& rows() const { return rows_; }
  const std::filesystem::path& folder() const { return folder_; }

  // Empties the list; it now shows `folder` (empty: none).
  void Reset(std::filesystem::path folder);
  void Add(FileRow row);

  // Every size text again, right-aligned to `width` characters.
  void Repad(int width);

  // Reorders the rows by one column's text (0-4): a selection sort over whole rows that moves a
  // later row up only when its key is strictly lower (ascending) or higher (descending).
  void Sort(int column, bool descending);

  const std::optional<RowRange>& selection() const { return selection_; }
  // Rows outside the list are cut off; a range wholly outside selects nothing.
  void Select(std::size_t first, std::size_t last);
  void ClearSelection() { selection_.reset(); }
  // The names in the selected rows, top to bottom.
  std::vector<std::filesystem::path> SelectedNames() const;
  // Selects the rows of these files when every one is listed and they form one range.
  void SelectNames(const std::vector<std::filesystem::path>& names);

 private:
  std::filesystem::path folder_;
  std::vector<FileRow> rows_;
  std::optional<RowRange> selection_;
};

}  // namespace penmorph::app
