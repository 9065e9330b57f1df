// The Qt window's preview panel with the real formats: it fills in once the worker is done,
// paints both sides in the tables' colours, switches sides with one key and zooms with the wheel.

#include <QCheckBox>
#include <QLabel>
#include <QPushButton>
#include <QTableWidget>
#include <QTest>
#include <QWheelEvent>

#include "formats/standard_formats.h"
#include "preview_test_files.h"
#include "test_support.h"
#include "ui/preview_pane.h"

using namespace penmorph;

namespace {

// How many pixels of the canvas have exactly this colour.
int PixelsOf(QWidget* canvas, QColor colour) {
  const QImage image = canvas->grab().toImage();
  int count = 0;
  for (int y = 0; y < image.height(); ++y) {
    for (int x = 0; x < image.width(); ++x) {
      count += image.pixelColor(x, y) == colour ? 1 : 0;
    }
  }
  return count;
}

}  // namespace

class PreviewPaneTest : public QObject {
  Q_OBJECT

 private slots:
  void init() {
    scratch_ = std::make_unique<penmorph::testing::ScratchFolder>();
    penmorph::testing::WriteBytes(scratch_->path() / "every.jww",
                                  penmorph::testing::JwwOfEveryKind());
    pane_ = std::make_unique<PreviewPane>(formats_, nullptr);
    pane_->resize(900, 400);
    pane_->show();
    QVERIFY(QTest::qWaitForWindowExposed(pane_.get()));
  }
  void cleanup() { pane_.reset(); }

  void FillsInWhenReadAndFollowsTheTables() {
    ConversionTables tables;
    pane_->ShowFile(scratch_->path() / "every.jww", tables);
    auto* caption = pane_->findChild<QLabel*>("PreviewCaption");
    QVERIFY(caption->text().contains(QStringLiteral("を読んでいます")) ||
            caption->text() == QStringLiteral("every.jww (JWW 700)"));
    QTRY_COMPARE(caption->text(), QStringLiteral("every.jww (JWW 700)"));
    QTableWidget* grid = pane_->inventory_table();
    QVERIFY(grid->rowCount() > 10);
    QCOMPARE(grid->item(0, 0)->text(), QStringLiteral("図形"));
    QCOMPARE(grid->item(0, 1)->text(), QStringLiteral("10"));

    // The solid is filled in its own red on both sides (no option maps an own colour).
    const QColor red(0xFF, 0, 0);
    QTRY_VERIFY(PixelsOf(pane_->after_canvas(), red) > 10);
    QVERIFY(PixelsOf(pane_->before_canvas(), red) > 10);
  }

  void OneKeySwitchesTheSideAndTheWheelZooms() {
    pane_->ShowFile(scratch_->path() / "every.jww", ConversionTables{});
    QTRY_VERIFY(pane_->panel().state() == app::PanelState::kReady);
    auto* side_by_side = pane_->findChild<QCheckBox*>("SideBySideCheckBox");
    QVERIFY(pane_->before_canvas()->isVisible() && pane_->after_canvas()->isVisible());
    side_by_side->setChecked(false);
    QVERIFY(pane_->after_canvas()->isVisible());
    QVERIFY(!pane_->before_canvas()->isVisible());
    QTest::keyClick(pane_.get(), Qt::Key_Space);
    QVERIFY(pane_->before_canvas()->isVisible());
    QVERIFY(!pane_->after_canvas()->isVisible());

    // The wheel brings the drawing closer: more of the canvas is drawn on.
    QWidget* canvas = pane_->before_canvas();
    const QColor white(0xFF, 0xFF, 0xFF);
    const int before = PixelsOf(canvas, white);
    const QPointF centre(canvas->width() / 2.0, canvas->height() / 2.0);
    QWheelEvent wheel(centre, canvas->mapToGlobal(centre), QPoint(), QPoint(0, 120 * 4),
                      Qt::NoButton, Qt::NoModifier, Qt::NoScrollPhase, false);
    QApplication::sendEvent(canvas, &wheel);
    QVERIFY(PixelsOf(canvas, white) != before);

    // Black background.
    pane_->findChild<QCheckBox*>("BlackBackgroundCheckBox")->setChecked(true);
    QVERIFY(PixelsOf(canvas, QColor(0, 0, 0)) > canvas->width() * canvas->height() / 2);

    // The box for hidden layers reaches the panel, which decides what it shows.
    auto* hidden_layers = pane_->findChild<QCheckBox*>("HiddenLayersCheckBox");
    QVERIFY(hidden_layers != nullptr && !pane_->panel().show_hidden_layers());
    hidden_layers->setChecked(true);
    QVERIFY(pane_->panel().show_hidden_layers());
  }

  void AFileThatCannotBeReadSaysWhy() {
    penmorph::testing::WriteBytes(scratch_->path() / "broken.jww", "JwwData.");
    pane_->ShowFile(scratch_->path() / "broken.jww", ConversionTables{});
    auto* caption = pane_->findChild<QLabel*>("PreviewCaption");
    QTRY_VERIFY(caption->text().startsWith(QStringLiteral("broken.jww は表示できません：")));
    QCOMPARE(pane_->inventory_table()->rowCount(), 0);
    pane_->ShowFile(std::nullopt, ConversionTables{});
    QVERIFY(caption->text().startsWith(QStringLiteral("ファイルを一つ選ぶと")));
  }

 private:
  FormatRegistry formats_ = MakeStandardFormats();
  std::unique_ptr<penmorph::testing::ScratchFolder> scratch_;
  std::unique_ptr<PreviewPane> pane_;
};

QTEST_MAIN(PreviewPaneTest)
#include "preview_pane_test.moc"
