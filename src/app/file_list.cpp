#include "app/file_list.h"

#include <algorithm>
#include <utility>

namespace penmorph::app {

namespace fs = std::filesystem;

void FileList::Reset(fs::path folder) {
  folder_ = std::move(folder);
  rows_.clear();
  selected_.clear();
}

void FileList::Add(FileRow row) {
  rows_.push_back(std::move(row));
}

void FileList::Repad(int width) {
  for (FileRow& row : rows_) {
    row.cells[kSizeColumn] = row.keys[kSizeColumn] = PaddedSize(row.size, width);
  }
}

void FileList::Sort(int column, bool descending) {
  if (column < 0 || column >= kFileColumnCount) {
    return;
  }
  const std::vector<fs::path> selected = SelectedNames();
  const std::size_t count = rows_.size();
  for (std::size_t i = 0; i < count; ++i) {
    std::size_t best = i;
    for (std::size_t j = i + 1; j < count; ++j) {
      const std::string& candidate = rows_[j].keys[column];
      const std::string& best_key = rows_[best].keys[column];
      if (descending ? best_key < candidate : candidate < best_key) {
        best = j;
      }
    }
    if (best != i) {
      std::swap(rows_[i], rows_[best]);
    }
  }
  SelectNames(selected);
}

void FileList::Select(std::size_t first, std::size_t last) {
  if (first > last) {
    std::swap(first, last);
  }
  selected_.clear();
  for (std::size_t row = first; row <= last && row < rows_.size(); ++row) {
    selected_.push_back(row);
  }
}

void FileList::SelectRows(std::vector<std::size_t> rows) {
  std::sort(rows.begin(), rows.end());
  rows.erase(std::unique(rows.begin(), rows.end()), rows.end());
  rows.erase(std::lower_bound(rows.begin(), rows.end(), rows_.size()), rows.end());
  selected_ = std::move(rows);
}

std::vector<fs::path> FileList::SelectedNames() const {
  std::vector<fs::path> names;
  for (std::size_t row : selected_) {
    names.push_back(rows_[row].name);
  }
  return names;
}

void FileList::SelectNames(const std::vector<fs::path>& names) {
  std::vector<std::size_t> found;
  for (const fs::path& name : names) {
    auto at = std::find_if(rows_.begin(), rows_.end(),
                           [&](const FileRow& row) { return row.name == name; });
    if (at != rows_.end()) {
      found.push_back(static_cast<std::size_t>(at - rows_.begin()));
    }
  }
  SelectRows(std::move(found));
}

}  // namespace penmorph::app
