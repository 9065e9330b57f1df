#pragma once

// The listed files of one folder, their order and the selected rows (any set: Ctrl+click adds
// or removes one file). The selection belongs to the files, not to the row numbers: reordering
// the rows keeps the same files selected, so that "変換" never converts a file the user did not
// choose.

#include <cstddef>
#include <filesystem>
#include <vector>

#include "app/file_rows.h"

namespace penmorph::app {

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

  // The selected rows, top to bottom.
  const std::vector<std::size_t>& selected_rows() const { return selected_; }
  // Selects the range from `first` to `last` (either way round); rows outside the list are cut
  // off, so a range wholly outside selects nothing.
  void Select(std::size_t first, std::size_t last);
  // Selects exactly these rows; rows outside the list are left out.
  void SelectRows(std::vector<std::size_t> rows);
  // The names in the selected rows, top to bottom.
  std::vector<std::filesystem::path> SelectedNames() const;
  // Selects the rows of those of these files that are listed.
  void SelectNames(const std::vector<std::filesystem::path>& names);

 private:
  std::filesystem::path folder_;
  std::vector<FileRow> rows_;
  std::vector<std::size_t> selected_;  // ascending
};

}  // namespace penmorph::app
