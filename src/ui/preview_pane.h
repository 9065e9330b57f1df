#pragma once

// The preview panel of the Qt window: the selected file's inventory before and after the
// tables, and the drawing on both sides, painted with QPainter. What it shows and when comes
// from app::PreviewPanel; the canvases only paint and forward the mouse.

#include <QWidget>
#include <filesystem>
#include <memory>
#include <optional>

#include "app/preview_panel.h"
#include "app/preview_view.h"

class QCheckBox;
class QLabel;
class QPushButton;
class QTableWidget;

namespace penmorph {

// One side of the preview. Both canvases share one viewport, so that side by side they show
// the same part of the drawing.
class PreviewCanvas : public QWidget {
  Q_OBJECT

 public:
  PreviewCanvas(app::PreviewViewport& viewport, QWidget* parent);
  void SetList(const preview::DisplayList* list, const QString& label);

 signals:
  void ViewChanged();

 protected:
  void paintEvent(QPaintEvent* event) override;
  void wheelEvent(QWheelEvent* event) override;
  void mousePressEvent(QMouseEvent* event) override;
  void mouseMoveEvent(QMouseEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;

 private:
  app::PreviewViewport& viewport_;
  const preview::DisplayList* list_ = nullptr;
  QString label_;
  QPointF dragged_from_;
};

class PreviewPane : public QWidget {
  Q_OBJECT

 public:
  PreviewPane(const FormatRegistry& formats, QWidget* parent);

  void ShowFile(const std::optional<std::filesystem::path>& file, const ConversionTables& tables);
  void TablesChanged(const ConversionTables& tables);

  const app::PreviewPanel& panel() const { return panel_; }
  QTableWidget* inventory_table() const { return table_; }
  PreviewCanvas* before_canvas() const { return before_; }
  PreviewCanvas* after_canvas() const { return after_; }

 public slots:
  // The one key: before and after in turn, when they are not side by side.
  void SwitchSide();
  void FitToWindow();

 protected:
  void keyPressEvent(QKeyEvent* event) override;

 private:
  void Deliver();
  void Refresh();
  void ShowCanvases();

  app::PreviewPanel panel_;
  app::PreviewViewport viewport_;

  QLabel* caption_ = nullptr;
  QTableWidget* table_ = nullptr;
  QCheckBox* side_by_side_ = nullptr;
  QCheckBox* black_ = nullptr;
  QCheckBox* hidden_layers_ = nullptr;
  QPushButton* switch_ = nullptr;
  PreviewCanvas* before_ = nullptr;
  PreviewCanvas* after_ = nullptr;
};

}  // namespace penmorph
