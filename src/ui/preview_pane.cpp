#include "ui/preview_pane.h"

#include <QCheckBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QPainter>
#include <QPainterPath>
#include <QPushButton>
#include <QSplitter>
#include <QTableWidget>
#include <QVBoxLayout>
#include <QWheelEvent>
#include <cmath>

#include "app/preview_texts.h"
#include "ui/qt_text.h"

namespace penmorph {

namespace {

constexpr std::size_t kSmoothPrimitives = 100'000;

QColor ColourOf(std::uint32_t rgb) {
  return QColor((rgb >> 16) & 0xFF, (rgb >> 8) & 0xFF, rgb & 0xFF);
}

namespace texts = app::preview_texts;

// app::PreviewPainter with QPainter.
class QtPreviewPainter final : public app::PreviewPainter {
 public:
  explicit QtPreviewPainter(QPainter& painter) : painter_(painter) {}

  void Polyline(std::span<const app::ScreenPoint> points, const preview::Pen& pen) override {
    if (&pen != last_pen_) {  // neighbours mostly share a pen: set it once for them
      painter_.setPen(QPenOf(pen));
      last_pen_ = &pen;
    }
    line_.resize(static_cast<qsizetype>(points.size()));
    for (std::size_t i = 0; i < points.size(); ++i) {
      line_[static_cast<qsizetype>(i)] = QPointF(points[i].x, points[i].y);
    }
    painter_.drawPolyline(line_);
  }

  void FilledPolygon(std::span<const app::ScreenPoint> points, std::uint32_t rgb) override {
    last_pen_ = nullptr;
    QPolygonF shape;
    for (const app::ScreenPoint& p : points) {
      shape.append(QPointF(p.x, p.y));
    }
    painter_.setPen(Qt::NoPen);
    painter_.setBrush(ColourOf(rgb));
    painter_.drawPolygon(shape);
    painter_.setBrush(Qt::NoBrush);
  }

  void Text(app::ScreenPoint origin, double height, double width, double degrees,
            const std::string& utf8, std::uint32_t rgb) override {
    last_pen_ = nullptr;
    const QString text = FromUtf8(utf8);
    QFont font = painter_.font();
    font.setPixelSize(std::max(1, static_cast<int>(std::lround(height))));
    painter_.save();
    painter_.setFont(font);
    painter_.setPen(ColourOf(rgb));
    painter_.translate(origin.x, origin.y);
    painter_.rotate(-degrees);
    const double natural = QFontMetricsF(font).horizontalAdvance(text);
    if (natural > 0 && width > 0) {
      painter_.scale(width / natural, 1);  // the string fills its baseline, as the file says
    }
    painter_.drawText(QPointF(0, 0), text);
    painter_.restore();
  }

  void Dot(app::ScreenPoint at, std::uint32_t rgb) override {
    painter_.fillRect(QRectF(at.x - 1, at.y - 1, 3, 3), ColourOf(rgb));
  }

 private:
  static QPen QPenOf(const preview::Pen& pen) {
    QPen qpen(ColourOf(pen.rgb));
    qpen.setWidthF(pen.width);
    qpen.setCosmetic(true);
    if (!pen.dash.empty()) {
      QList<qreal> pattern;
      for (double length : pen.dash) {
        pattern.append(length / pen.width);  // Qt counts dashes in pen widths
      }
      if (pattern.size() % 2 == 1) {
        pattern.append(pattern.back());
      }
      qpen.setDashPattern(pattern);
    }
    return qpen;
  }

  QPainter& painter_;
  const preview::Pen* last_pen_ = nullptr;
  QPolygonF line_;
};

}  // namespace

PreviewCanvas::PreviewCanvas(app::PreviewViewport& viewport, QWidget* parent)
    : QWidget(parent), viewport_(viewport) {
  setMinimumSize(40, 40);  // the window's smallest size stays what the list needs
  setFocusPolicy(Qt::ClickFocus);
  setAttribute(Qt::WA_OpaquePaintEvent);
}

void PreviewCanvas::SetList(const preview::DisplayList* list, const QString& label) {
  list_ = list;
  label_ = label;
  update();
}

void PreviewCanvas::paintEvent(QPaintEvent*) {
  QPainter painter(this);
  const bool black = list_ != nullptr && list_->background == preview::Background::kBlack;
  painter.fillRect(rect(), black ? Qt::black : Qt::white);
  if (list_ != nullptr) {
    viewport_.Resize(width(), height());
    // Smooth lines cost several times more: a drawing of hundreds of thousands of entities is
    // painted without them, so that zooming and panning keep up.
    painter.setRenderHint(QPainter::Antialiasing,
                          list_->drawing->PrimitiveCount() < kSmoothPrimitives);
    QtPreviewPainter qt(painter);
    app::PaintDisplayList(*list_, viewport_, qt);
  }
  painter.setPen(black ? Qt::white : Qt::darkGray);
  painter.drawText(rect().adjusted(6, 4, -6, -4), Qt::AlignLeft | Qt::AlignTop | Qt::TextWordWrap,
                   label_);
}

void PreviewCanvas::wheelEvent(QWheelEvent* event) {
  const double steps = event->angleDelta().y() / 120.0;
  const QPointF at = event->position();
  viewport_.ZoomAt(std::pow(1.25, steps), {at.x(), at.y()});
  emit ViewChanged();
  event->accept();
}

void PreviewCanvas::mousePressEvent(QMouseEvent* event) {
  dragged_from_ = event->position();
}

void PreviewCanvas::mouseMoveEvent(QMouseEvent* event) {
  if (event->buttons() & (Qt::LeftButton | Qt::MiddleButton)) {
    const QPointF moved = event->position() - dragged_from_;
    dragged_from_ = event->position();
    viewport_.PanBy(moved.x(), moved.y());
    emit ViewChanged();
  }
}

void PreviewCanvas::resizeEvent(QResizeEvent* event) {
  viewport_.Resize(width(), height());
  QWidget::resizeEvent(event);
}

PreviewPane::PreviewPane(const FormatRegistry& formats, QWidget* parent)
    : QWidget(parent), panel_(formats, [this] {
        // From the panel's worker: the rest happens on the window's thread.
        QMetaObject::invokeMethod(
            this, [this] { Deliver(); }, Qt::QueuedConnection);
      }) {
  setObjectName(QStringLiteral("PreviewPane"));
  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(0, 0, 0, 0);
  layout->setSpacing(2);

  auto* bar = new QHBoxLayout;
  caption_ = new QLabel(this);
  caption_->setObjectName(QStringLiteral("PreviewCaption"));
  caption_->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Preferred);
  bar->addWidget(caption_, 1);
  side_by_side_ = new QCheckBox(FromUtf8(texts::kSideBySide), this);
  side_by_side_->setObjectName(QStringLiteral("SideBySideCheckBox"));
  side_by_side_->setChecked(true);
  connect(side_by_side_, &QCheckBox::toggled, this, [this](bool on) {
    panel_.SetSideBySide(on);
    ShowCanvases();
    FitToWindow();  // the canvases change size
  });
  bar->addWidget(side_by_side_);
  switch_ = new QPushButton(this);
  switch_->setObjectName(QStringLiteral("SwitchSideButton"));
  switch_->setToolTip(FromUtf8(texts::kSwitchTip));
  connect(switch_, &QPushButton::clicked, this, &PreviewPane::SwitchSide);
  bar->addWidget(switch_);
  black_ = new QCheckBox(FromUtf8(texts::kBlackBackground), this);
  black_->setObjectName(QStringLiteral("BlackBackgroundCheckBox"));
  connect(black_, &QCheckBox::toggled, this, [this](bool on) {
    panel_.SetBackground(on ? preview::Background::kBlack : preview::Background::kWhite);
    Refresh();
  });
  bar->addWidget(black_);
  hidden_layers_ = new QCheckBox(FromUtf8(texts::kShowHiddenLayers), this);
  hidden_layers_->setObjectName(QStringLiteral("HiddenLayersCheckBox"));
  connect(hidden_layers_, &QCheckBox::toggled, this, [this](bool on) {
    panel_.SetShowHiddenLayers(on);
    Refresh();
  });
  bar->addWidget(hidden_layers_);
  auto* fit = new QPushButton(FromUtf8(texts::kFitButton), this);
  fit->setObjectName(QStringLiteral("FitButton"));
  connect(fit, &QPushButton::clicked, this, &PreviewPane::FitToWindow);
  bar->addWidget(fit);
  layout->addLayout(bar);

  auto* split = new QSplitter(Qt::Horizontal, this);
  table_ = new QTableWidget(0, 4, split);
  table_->setObjectName(QStringLiteral("InventoryGrid"));
  QStringList heads;
  for (std::string_view head : texts::kInventoryHeads) {
    heads << FromUtf8(head);
  }
  table_->setHorizontalHeaderLabels(heads);
  table_->verticalHeader()->hide();
  table_->setEditTriggers(QAbstractItemView::NoEditTriggers);
  table_->setSelectionMode(QAbstractItemView::NoSelection);
  table_->setWordWrap(false);
  table_->horizontalHeader()->setStretchLastSection(true);
  table_->setMinimumWidth(40);
  table_->verticalHeader()->setDefaultSectionSize(table_->fontMetrics().height() + 4);
  auto* canvases = new QWidget(split);
  auto* canvas_layout = new QHBoxLayout(canvases);
  canvas_layout->setContentsMargins(0, 0, 0, 0);
  canvas_layout->setSpacing(2);
  before_ = new PreviewCanvas(viewport_, canvases);
  before_->setObjectName(QStringLiteral("BeforeCanvas"));
  after_ = new PreviewCanvas(viewport_, canvases);
  after_->setObjectName(QStringLiteral("AfterCanvas"));
  canvas_layout->addWidget(before_);
  canvas_layout->addWidget(after_);
  for (PreviewCanvas* canvas : {before_, after_}) {
    connect(canvas, &PreviewCanvas::ViewChanged, this, [this] {
      before_->update();
      after_->update();
    });
  }
  split->addWidget(table_);
  split->addWidget(canvases);
  split->setStretchFactor(0, 0);
  split->setStretchFactor(1, 1);
  split->setSizes({330, 600});
  layout->addWidget(split, 1);
  setFocusPolicy(Qt::ClickFocus);
  Refresh();
}

void PreviewPane::ShowFile(const std::optional<std::filesystem::path>& file,
                           const ConversionTables& tables) {
  panel_.Show(file, tables);
  Refresh();
}

void PreviewPane::TablesChanged(const ConversionTables& tables) {
  panel_.TablesChanged(tables);
  Refresh();
}

void PreviewPane::Deliver() {
  if (panel_.Deliver()) {
    Refresh();
  }
}

void PreviewPane::SwitchSide() {
  panel_.SwitchSide();
  ShowCanvases();
}

void PreviewPane::FitToWindow() {
  if (const preview::DisplayList* list = panel_.before()) {
    viewport_.FitWhenSized(list->drawing->extents);  // the canvases' next paint knows the size
    panel_.Fitted();
  }
  before_->update();
  after_->update();
}

void PreviewPane::keyPressEvent(QKeyEvent* event) {
  if (event->key() == Qt::Key_Space) {
    SwitchSide();
    return;
  }
  if (event->key() == Qt::Key_Home) {
    FitToWindow();
    return;
  }
  QWidget::keyPressEvent(event);
}

void PreviewPane::ShowCanvases() {
  before_->setVisible(panel_.ShowsBefore());
  after_->setVisible(panel_.ShowsAfter());
  switch_->setText(FromUtf8(panel_.SwitchCaption()));
  switch_->setEnabled(panel_.switch_enabled());
}

void PreviewPane::Refresh() {
  caption_->setText(FromUtf8(panel_.Caption()));
  const std::vector<app::InventoryRow> rows = panel_.Rows();
  table_->setRowCount(static_cast<int>(rows.size()));
  for (int r = 0; r < static_cast<int>(rows.size()); ++r) {
    const app::InventoryRow& row = rows[static_cast<std::size_t>(r)];
    const std::string cells[] = {row.what, row.before, row.after, row.detail};
    for (int c = 0; c < 4; ++c) {
      auto* item = new QTableWidgetItem(FromUtf8(cells[c]));
      if (c == 1 || c == 2) {
        item->setTextAlignment(Qt::AlignRight | Qt::AlignVCenter);
      }
      if (row.changes) {
        item->setBackground(QColor(0xFF, 0xF0, 0xC0));
      }
      table_->setItem(r, c, item);
    }
  }
  table_->resizeColumnsToContents();
  before_->SetList(panel_.before(), FromUtf8(texts::kBefore));
  after_->SetList(panel_.after(), FromUtf8(panel_.AfterLabel()));
  ShowCanvases();
  if (panel_.NeedsFit()) {
    FitToWindow();  // a drawing that has just arrived is shown whole
  }
}

}  // namespace penmorph
