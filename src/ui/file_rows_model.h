#pragma once

// The file list's rows as Qt reads them, straight from the window model's rows: nothing is
// copied per cell, so a folder of thousands of drawings lists at once.

#include <QAbstractTableModel>

#include "app/file_browser.h"
#include "app/window_texts.h"
#include "ui/qt_text.h"

namespace penmorph {

class FileRowsModel : public QAbstractTableModel {
 public:
  FileRowsModel(const app::FileBrowser& browser, QObject* parent)
      : QAbstractTableModel(parent), browser_(browser) {}

  int rowCount(const QModelIndex& parent = {}) const override {
    return parent.isValid() ? 0 : static_cast<int>(browser_.list().rows().size());
  }
  int columnCount(const QModelIndex& parent = {}) const override {
    return parent.isValid() ? 0 : app::kFileColumnCount;
  }
  QVariant data(const QModelIndex& index, int role) const override {
    if (role == Qt::DisplayRole && index.row() < rowCount()) {
      return FromUtf8(browser_.list().rows()[index.row()].cells[index.column()]);
    }
    if (role == Qt::TextAlignmentRole && index.column() == app::kSizeColumn) {
      return QVariant::fromValue(Qt::AlignRight | Qt::AlignVCenter);
    }
    return {};
  }
  QVariant headerData(int section, Qt::Orientation orientation, int role) const override {
    if (role == Qt::DisplayRole && orientation == Qt::Horizontal) {
      return FromUtf8(app::texts::kColumnHeads[section]);
    }
    return {};
  }

  // The rows were listed or sorted anew.
  void Reset() {
    beginResetModel();
    endResetModel();
  }
  // The sizes were padded anew.
  void SizesChanged() {
    emit dataChanged(index(0, app::kSizeColumn), index(rowCount() - 1, app::kSizeColumn),
                     {Qt::DisplayRole});
  }

 private:
  const app::FileBrowser& browser_;
};

}  // namespace penmorph
