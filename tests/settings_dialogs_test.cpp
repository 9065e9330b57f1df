// The settings dialogs driven with keys, clicks and selections, checked against the tables
// they edit.

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QHeaderView>
#include <QInputMethodEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>

#include "app/jwc_settings_form.h"
#include "app/jww_settings_form.h"
#include "ui/settings_dialogs.h"
#include "ui_fakes.h"

using namespace penmorph;
using penmorph::testing::FakePrompts;

namespace {

template <class T>
T* Child(QWidget* dialog, const char* name) {
  T* child = dialog->findChild<T*>(QString::fromLatin1(name));
  if (child == nullptr) {
    qFatal("no control %s", name);
  }
  return child;
}

void Show(QDialog& dialog) {
  dialog.show();
  QApplication::setActiveWindow(&dialog);
  if (!QTest::qWaitForWindowActive(&dialog)) {
    qWarning("dialog not active");
  }
}

// Puts the keyboard on a cell and types into it, as a user starts editing by typing.
void TypeIntoCell(ValueGrid* grid, int row, const QString& text) {
  grid->setFocus();
  grid->setCurrentCell(row, 0);
  QTest::keyClicks(grid, text.left(1));
  QWidget* editor = QApplication::focusWidget();
  QVERIFY(editor != grid);
  QTest::keyClicks(editor, text.mid(1));
}

// Commits text the way an input method does (full-width characters have no key of their own).
void CommitText(QWidget* target, const QString& text) {
  QInputMethodEvent event;
  event.setCommitString(text);
  QApplication::sendEvent(target, &event);
}

// Opens a cell's editor and commits text into it, replacing what it held.
void CommitIntoCell(ValueGrid* grid, int row, const QString& text) {
  grid->setFocus();
  grid->setCurrentCell(row, 0);
  grid->editItem(grid->item(row, 0));
  auto* editor = qobject_cast<QLineEdit*>(QApplication::focusWidget());
  QVERIFY(editor != nullptr);
  editor->selectAll();
  CommitText(editor, text);
}

void ClickRow(ValueGrid* grid, int row) {
  grid->scrollToItem(grid->item(row, 0));
  QTest::mouseClick(grid->viewport(), Qt::LeftButton, {},
                    grid->visualItemRect(grid->item(row, 0)).center());
}

QStringList Values(ValueGrid* grid) {
  QStringList values;
  for (int row = 0; row < grid->rowCount(); ++row) {
    values << grid->Value(row);
  }
  return values;
}

}  // namespace

class SettingsDialogsTest : public QObject {
  Q_OBJECT

 private slots:
  // --- JWC/JWK ---

  void jwcDialogHasItsControlsWhereTheyBelong() {
    JwcConvSettings table;
    FakePrompts prompts;
    app::JwcSettingsDialog model(table);
    TForm2 dialog(model, prompts);
    QCOMPARE(dialog.windowTitle(), QStringLiteral("JWC/JWK設定"));
    QCOMPARE(dialog.size(), QSize(602, 279));
    QCOMPARE(dialog.minimumSize(), dialog.maximumSize());
    QVERIFY(Child<QPushButton>(&dialog, "Button1")->isDefault());
    QCOMPARE(dialog.ComboBox(15)->geometry(), QRect(88, 212, 105, 20));
    QCOMPARE(dialog.ComboBox(16)->geometry(), QRect(280, 20, 105, 20));
    QCOMPARE(dialog.ComboBox(23)->geometry(), QRect(280, 188, 105, 20));
    QCOMPARE(Child<QLabel>(&dialog, "Label35")->text(), QStringLiteral("倍長線種３→"));
    // The position of an item is the value it stores.
    QCOMPARE(dialog.ComboBox(6)->count(), 7);
    QCOMPARE(dialog.ComboBox(7)->count(), 19);
    QCOMPARE(dialog.ComboBox(23)->itemText(app::JwcSettingsForm::kBlankLineType),
             QStringLiteral("　"));
    for (int k = 1; k <= app::JwcSettingsForm::kListCount; ++k) {
      QVERIFY(!dialog.ComboBox(k)->isEditable());
    }

    // Tab walks the pens, the check box, the line types, then OK and cancel.
    Show(dialog);
    dialog.ComboBox(1)->setFocus();
    QStringList order;
    for (int i = 0; i < 26; ++i) {
      order << QApplication::focusWidget()->objectName();
      QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
    }
    QStringList expected;
    for (int k = 1; k <= 6; ++k) {
      expected << QStringLiteral("ComboBox%1").arg(k);
    }
    expected << "CheckBox1";
    for (int k = 7; k <= 23; ++k) {
      expected << QStringLiteral("ComboBox%1").arg(k);
    }
    expected << "Button1"
             << "Button2";
    QCOMPARE(order, expected);
  }

  void jwcDialogShowsOutOfRangeAsNoConversionAndStoresWhatIsChosen() {
    JwcConvSettings table;
    table.SetEntry(3, 9);  // from a settings file: no such pen
    table.SetEntry(1, -1);
    table.SetEntry(8, 19);  // no such line type
    table.SetEntry(24, 5);  // any non-zero flag shows checked
    table.SetEntry(12, 17);
    FakePrompts prompts;
    app::JwcSettingsDialog model(table);
    TForm2 dialog(model, prompts);
    Show(dialog);
    QCOMPARE(dialog.ComboBox(3)->currentText(), QStringLiteral("無変換"));
    QCOMPARE(dialog.ComboBox(1)->currentIndex(), 0);
    QCOMPARE(dialog.ComboBox(8)->currentIndex(), 0);
    QCOMPARE(dialog.ComboBox(12)->currentText(), QStringLiteral("倍長線種２"));
    QVERIFY(dialog.CheckBox1()->isChecked());

    dialog.ComboBox(7)->setFocus();
    QTest::keyClick(dialog.ComboBox(7), Qt::Key_End);  // "倍長線種３"
    dialog.ComboBox(2)->setFocus();
    QTest::keyClick(dialog.ComboBox(2), Qt::Key_Down);
    QTest::keyClick(dialog.ComboBox(2), Qt::Key_Down);
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
    QVERIFY(!dialog.isVisible());
    QCOMPARE(dialog.result(), int(QDialog::Accepted));
    QCOMPARE(table.Entry(7), 18);
    QCOMPARE(table.Entry(2), 2);
    QCOMPARE(table.Entry(3), 0);
    QCOMPARE(table.Entry(1), 0);
    QCOMPARE(table.Entry(8), 0);
    QCOMPARE(table.Entry(12), 17);
    QCOMPARE(table.Entry(24), 1);
  }

  void jwcDialogRefusesTheBlankLineTypeAfterStoringTheListsBeforeIt() {
    JwcConvSettings table;
    table.SetEntry(9, 10);  // opens as the blank entry
    table.SetEntry(10, 4);
    table.SetEntry(24, 1);
    FakePrompts prompts;
    app::JwcSettingsDialog model(table);
    TForm2 dialog(model, prompts);
    Show(dialog);
    QCOMPARE(dialog.ComboBox(9)->currentText(), QStringLiteral("　"));
    dialog.ComboBox(1)->setFocus();
    QTest::keyClick(dialog.ComboBox(1), Qt::Key_Down);  // Pen.1
    dialog.ComboBox(10)->setFocus();
    QTest::keyClick(dialog.ComboBox(10), Qt::Key_Home);
    dialog.CheckBox1()->setChecked(false);
    QTest::mouseClick(Child<QPushButton>(&dialog, "Button1"), Qt::LeftButton);
    QVERIFY(dialog.isVisible());
    QCOMPARE(prompts.Take(),
             (QStringList{"beep", QStringLiteral("error:線種 3 の変換先が空欄です。線種を選んで"
                                                 "下さい。")}));
    QCOMPARE(QApplication::focusWidget(), static_cast<QWidget*>(dialog.ComboBox(9)));
    QCOMPARE(table.Entry(1), 1);  // before the refused list: stored
    QCOMPARE(table.Entry(9), 10);
    QCOMPARE(table.Entry(10), 4);  // after it: as it was
    QCOMPARE(table.Entry(24), 1);

    // Cancelling now keeps what was stored; the blank entry in the last list is refused too.
    QTest::mouseClick(Child<QPushButton>(&dialog, "Button2"), Qt::LeftButton);
    QVERIFY(!dialog.isVisible());
    QCOMPARE(table.Entry(1), 1);
    Show(dialog);
    dialog.ComboBox(9)->setCurrentIndex(0);
    dialog.ComboBox(23)->setCurrentIndex(app::JwcSettingsForm::kBlankLineType);
    dialog.ComboBox(22)->setCurrentIndex(16);
    QTest::mouseClick(Child<QPushButton>(&dialog, "Button1"), Qt::LeftButton);
    QVERIFY(dialog.isVisible());
    QCOMPARE(table.Entry(22), 16);
    QCOMPARE(table.Entry(9), 0);
    QCOMPARE(table.Entry(23), 0);
  }

  void jwcDialogCancelEscapeAndFrameStoreNothing() {
    JwcConvSettings table;
    table.SetEntry(4, 6);
    const JwcConvSettings before = table;
    FakePrompts prompts;
    app::JwcSettingsDialog model(table);
    TForm2 dialog(model, prompts);
    for (int way = 0; way < 3; ++way) {
      Show(dialog);
      QCOMPARE(dialog.ComboBox(4)->currentIndex(), 6);  // every opening shows the table again
      dialog.ComboBox(4)->setCurrentIndex(1);
      dialog.ComboBox(20)->setCurrentIndex(3);
      dialog.CheckBox1()->setChecked(true);
      if (way == 0) {
        QTest::mouseClick(Child<QPushButton>(&dialog, "Button2"), Qt::LeftButton);
      } else if (way == 1) {
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Escape);
      } else {
        dialog.close();
      }
      QVERIFY(!dialog.isVisible());
      QCOMPARE(dialog.result(), int(QDialog::Rejected));
      QVERIFY(table == before);
    }
  }

  // --- JWW/JWS ---

  void jwwDialogHasItsGridsCaptionsAndHints() {
    JwwConvSettings table;
    FakePrompts prompts;
    app::JwwSettingsDialog model(table);
    TForm3 dialog(model, prompts);
    QCOMPARE(dialog.windowTitle(), QStringLiteral("JWW/JWS設定"));
    QCOMPARE(dialog.size(), QSize(582, 445));
    ValueGrid* colours = dialog.StringGrid1();
    ValueGrid* line_types = dialog.StringGrid2();
    // With the header row: 266 and 50 rows.
    QCOMPARE(colours->rowCount() + 1, 266);
    QCOMPARE(line_types->rowCount() + 1, 50);
    QCOMPARE(colours->verticalHeader()->width(), 140);
    QCOMPARE(colours->columnWidth(0), 118);
    QCOMPARE(colours->rowHeight(100), 24);
    auto caption = [](ValueGrid* grid, int row) {
      return grid->verticalHeaderItem(row - 1)->text();
    };
    QCOMPARE(caption(colours, 8), QStringLiteral("線色 8"));
    QCOMPARE(caption(colours, 12), QStringLiteral("SXF 3:green"));
    QCOMPARE(caption(colours, 25), QStringLiteral("SXF16:darkgray"));
    QCOMPARE(caption(colours, 26), QStringLiteral("SXF USER定義線色 17"));
    QCOMPARE(caption(colours, 265), QStringLiteral("SXF USER定義線色 256"));
    QCOMPARE(caption(line_types, 18), QStringLiteral("倍長線種４"));
    QCOMPARE(caption(line_types, 33), QStringLiteral("SXF15:三点二短鎖線"));
    QCOMPARE(caption(line_types, 34), QStringLiteral("SXF USER定義線種 17"));
    QCOMPARE(caption(line_types, 49), QStringLiteral("SXF USER定義線種 32"));
    QVERIFY(colours->item(0, 0)->flags().testFlag(Qt::ItemIsEditable));

    auto* hint = Child<QLabel>(&dialog, "Label7");
    QCOMPARE(hint->palette().color(QPalette::WindowText), QColor(Qt::blue));
    QCOMPARE(hint->palette().color(QPalette::Window), QColor(Qt::white));
    QVERIFY(Child<QPushButton>(&dialog, "Button3")->isDefault());

    Show(dialog);
    colours->setFocus();
    QStringList order;
    for (int i = 0; i < 15; ++i) {
      order << QApplication::focusWidget()->objectName();
      QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
    }
    QCOMPARE(order, (QStringList{"StringGrid1", "StringGrid2", "Edit1", "Button1", "Edit2",
                                 "Button2", "CheckBox1", "CheckBox2", "CheckBox3", "CheckBox4",
                                 "CheckBox5", "CheckBox6", "CheckBox7", "Button3", "Button4"}));
  }

  void jwwDialogShowsOutOfRangeValuesAndRefusesThemOnConfirm() {
    JwwConvSettings table;
    table.SetEntry(12, 15);  // from a settings file: no such colour
    table.SetEntry(2, 4);
    const JwwConvSettings before = table;
    FakePrompts prompts;
    app::JwwSettingsDialog model(table);
    TForm3 dialog(model, prompts);
    Show(dialog);
    ValueGrid* colours = dialog.StringGrid1();
    QCOMPARE(colours->Value(11), QStringLiteral("15"));
    TypeIntoCell(colours, 2, "05");
    colours->CommitOpenEditor();
    QCOMPARE(colours->Value(2), QStringLiteral("05"));
    QTest::keyClick(colours, Qt::Key_Return);
    QVERIFY(dialog.isVisible());
    QCOMPARE(
        prompts.Take(),
        (QStringList{
            "beep", QStringLiteral("error:SXF 3:green の値 15 は 0〜9 の範囲で入力して下さい。")}));
    // The focus is in the refused cell's editor, its text selected to be typed over.
    auto* editor = qobject_cast<QLineEdit*>(QApplication::focusWidget());
    QVERIFY(editor != nullptr && colours->isAncestorOf(editor));
    QCOMPARE(colours->currentRow(), 11);
    QCOMPARE(editor->selectedText(), QStringLiteral("15"));
    QVERIFY(table == before);
    QCOMPARE(colours->Value(2), QStringLiteral("5"));  // passed, so rewritten as decimal

    QTest::keyClicks(editor, "9");
    QTest::keyClick(editor, Qt::Key_Return);  // Enter while typing: the cell's, down a row
    QVERIFY(dialog.isVisible());
    QCOMPARE(colours->currentRow(), 12);
    QTest::keyClick(colours, Qt::Key_Return);  // then the dialog's
    QVERIFY(!dialog.isVisible());
    QCOMPARE(table.Entry(12), 9);
    QCOMPARE(table.Entry(3), 5);
    QCOMPARE(table.Entry(2), 4);
  }

  void jwwDialogReadsNumbersByTheProgramsRule() {
    JwwConvSettings table;
    FakePrompts prompts;
    app::JwwSettingsDialog model(table);
    TForm3 dialog(model, prompts);
    ValueGrid* line_types = dialog.StringGrid2();
    struct Case {
      QString text;
      bool accepted;
      int stored;
    };
    const Case cases[] = {
        {"10", false, 0}, {"19", true, 19},  {"20", false, 0},
        {"11", true, 11}, {"-1", false, 0},  {"abc", true, 0},
        {"", true, 0},    {"  7", true, 7},  {"7 ", true, 0},
        {"$F", true, 15}, {"$14", false, 0}, {"0x9", true, 9},
        {"$D", true, 13}, {"+3", true, 3},   {"99999999999", true, 0},
    };
    for (const Case& c : cases) {
      Show(dialog);
      line_types->SetValue(4, c.text);
      prompts.Take();
      QTest::mouseClick(Child<QPushButton>(&dialog, "Button3"), Qt::LeftButton);
      QVERIFY2(dialog.isVisible() != c.accepted, qPrintable(c.text));
      if (c.accepted) {
        QCOMPARE(table.Entry(265 + 5), c.stored);
      } else {
        QCOMPARE(prompts.Take().value(0), QStringLiteral("beep"));
        QCOMPARE(line_types->currentRow(), 4);
        dialog.reject();
      }
    }
    // Cells passed on the way show their decimal value.
    Show(dialog);
    line_types->SetValue(0, "abc");
    line_types->SetValue(1, "$B");
    dialog.StringGrid1()->SetValue(264, "");
    QTest::mouseClick(Child<QPushButton>(&dialog, "Button3"), Qt::LeftButton);
    QVERIFY(!dialog.isVisible());
    QCOMPARE(line_types->Value(0), QStringLiteral("0"));
    QCOMPARE(line_types->Value(1), QStringLiteral("11"));
    QCOMPARE(dialog.StringGrid1()->Value(264), QStringLiteral("0"));
    QCOMPARE(table.Entry(267), 11);
  }

  // What a Japanese input method types: full-width digits, signs and blanks.
  void jwwDialogTakesFullWidthNumbers() {
    JwwConvSettings table;
    FakePrompts prompts;
    app::JwwSettingsDialog model(table);
    TForm3 dialog(model, prompts);
    Show(dialog);
    ValueGrid* colours = dialog.StringGrid1();
    CommitIntoCell(colours, 0, QStringLiteral("２"));
    CommitIntoCell(colours, 1, QStringLiteral("　９"));
    colours->CommitOpenEditor();
    QCOMPARE(colours->Value(1), QStringLiteral("　９"));
    ClickRow(colours, 4);
    CommitText(dialog.Edit1(), QStringLiteral("７"));
    QTest::mouseClick(Child<QPushButton>(&dialog, "Button1"), Qt::LeftButton);
    QCOMPARE(dialog.Edit1()->text(), QStringLiteral("7"));
    QCOMPARE(colours->Value(4), QStringLiteral("7"));
    dialog.Edit2()->setText(QStringLiteral("－１"));  // a negative number: refused
    prompts.Take();
    QTest::mouseClick(Child<QPushButton>(&dialog, "Button2"), Qt::LeftButton);
    QCOMPARE(prompts.Take(),
             (QStringList{"beep", QStringLiteral("error:一括設定の値 －１ は 0〜9、11〜19 "
                                                 "の範囲で入力して下さい。")}));
    QCOMPARE(QApplication::focusWidget(), static_cast<QWidget*>(dialog.Edit2()));
    dialog.StringGrid2()->SetValue(3, QStringLiteral("１５"));
    QTest::mouseClick(Child<QPushButton>(&dialog, "Button3"), Qt::LeftButton);
    QVERIFY(!dialog.isVisible());
    QCOMPARE(table.Entry(1), 2);
    QCOMPARE(table.Entry(2), 9);
    QCOMPARE(table.Entry(5), 7);
    QCOMPARE(table.Entry(265 + 4), 15);
    QCOMPARE(colours->Value(0), QStringLiteral("2"));
  }

  void jwwDialogFillsTheSelectedRange() {
    JwwConvSettings table;
    FakePrompts prompts;
    app::JwwSettingsDialog model(table);
    TForm3 dialog(model, prompts);
    Show(dialog);
    ValueGrid* colours = dialog.StringGrid1();
    ClickRow(colours, 2);  // row 3
    for (int i = 0; i < 6; ++i) {
      QTest::keyClick(colours, Qt::Key_Down, Qt::ShiftModifier);
    }
    QCOMPARE(colours->SelectedRows(), std::make_pair(2, 8));
    QTest::keyClicks(dialog.Edit1(), "7");
    QTest::mouseClick(Child<QPushButton>(&dialog, "Button1"), Qt::LeftButton);
    QStringList expected = QStringList(app::JwwSettingsForm::kColourRows, "0");
    for (int row = 2; row <= 8; ++row) {
      expected[row] = "7";
    }
    QCOMPARE(Values(colours), expected);
    QVERIFY(table == JwwConvSettings{});  // nothing stored before OK

    // 12 is no colour: a beep and why, the focus back in the box, nothing changed.
    dialog.Edit1()->clear();
    QTest::keyClicks(dialog.Edit1(), "12");
    prompts.Take();
    QTest::mouseClick(Child<QPushButton>(&dialog, "Button1"), Qt::LeftButton);
    QCOMPARE(prompts.Take(), (QStringList{"beep", QStringLiteral("error:一括設定の値 12 は 0〜9 "
                                                                 "の範囲で入力して下さい。")}));
    QCOMPARE(QApplication::focusWidget(), static_cast<QWidget*>(dialog.Edit1()));
    QCOMPARE(Values(colours), expected);

    // ... but it is a line type. Without a range only the current row changes.
    ValueGrid* line_types = dialog.StringGrid2();
    ClickRow(line_types, 5);
    QTest::keyClick(line_types, Qt::Key_Down, Qt::ShiftModifier);
    QTest::keyClicks(dialog.Edit2(), "12");
    QTest::mouseClick(Child<QPushButton>(&dialog, "Button2"), Qt::LeftButton);
    QCOMPARE(line_types->Value(5), QStringLiteral("12"));
    QCOMPARE(line_types->Value(6), QStringLiteral("12"));
    QCOMPARE(line_types->Value(7), QStringLiteral("0"));
    ClickRow(line_types, 40);
    dialog.Edit2()->clear();  // an empty box reads as 0, and then shows it
    QTest::mouseClick(Child<QPushButton>(&dialog, "Button2"), Qt::LeftButton);
    QCOMPARE(dialog.Edit2()->text(), QStringLiteral("0"));
    QCOMPARE(line_types->Value(5), QStringLiteral("12"));

    QTest::mouseClick(Child<QPushButton>(&dialog, "Button3"), Qt::LeftButton);
    QVERIFY(!dialog.isVisible());
    QCOMPARE(table.Entry(3), 7);
    QCOMPARE(table.Entry(9), 7);
    QCOMPARE(table.Entry(10), 0);
    QCOMPARE(table.Entry(265 + 6), 12);
    QCOMPARE(table.Entry(265 + 7), 12);
  }

  void jwwDialogShowsAnyNonZeroFlagCheckedAndStoresOne() {
    JwwConvSettings table;
    table.SetEntry(316, 2);
    table.SetEntry(321, -1);
    table.SetEntry(317, 1);
    FakePrompts prompts;
    app::JwwSettingsDialog model(table);
    TForm3 dialog(model, prompts);
    Show(dialog);
    QVERIFY(!dialog.CheckBox(1)->isChecked());
    QVERIFY(dialog.CheckBox(2)->isChecked());
    QVERIFY(dialog.CheckBox(3)->isChecked());
    QVERIFY(dialog.CheckBox(7)->isChecked());
    QTest::mouseClick(dialog.CheckBox(3), Qt::LeftButton);
    QTest::mouseClick(dialog.CheckBox(5), Qt::LeftButton);
    QTest::keyClick(&dialog, Qt::Key_Return);
    QVERIFY(!dialog.isVisible());
    QCOMPARE(table.Entry(315), 0);
    QCOMPARE(table.Entry(316), 1);
    QCOMPARE(table.Entry(317), 0);
    QCOMPARE(table.Entry(319), 1);
    QCOMPARE(table.Entry(321), 1);
  }

  void jwwDialogCancelAfterFillsLeavesTheTableAsItWas() {
    JwwConvSettings table;
    for (int entry = 1; entry <= 314; ++entry) {
      table.SetEntry(entry, entry % 10);
    }
    table.SetEntry(318, 1);
    const JwwConvSettings before = table;
    FakePrompts prompts;
    app::JwwSettingsDialog model(table);
    TForm3 dialog(model, prompts);
    Show(dialog);
    ClickRow(dialog.StringGrid1(), 0);
    QTest::keyClick(dialog.StringGrid1(), Qt::Key_Down, Qt::ShiftModifier);
    QTest::keyClicks(dialog.Edit1(), "3");
    QTest::mouseClick(Child<QPushButton>(&dialog, "Button1"), Qt::LeftButton);
    TypeIntoCell(dialog.StringGrid2(), 2, "15");
    QTest::mouseClick(dialog.CheckBox(4), Qt::LeftButton);
    QTest::mouseClick(Child<QPushButton>(&dialog, "Button4"), Qt::LeftButton);
    QVERIFY(!dialog.isVisible());
    QVERIFY(table == before);

    // The next opening shows the table, but keeps the box's text and the current row.
    Show(dialog);
    QCOMPARE(dialog.StringGrid1()->Value(0), QStringLiteral("1"));
    QCOMPARE(dialog.StringGrid2()->Value(2), QString::number(before.Entry(268)));
    QVERIFY(dialog.CheckBox(4)->isChecked());
    QCOMPARE(dialog.Edit1()->text(), QStringLiteral("3"));
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Escape);
    QVERIFY(!dialog.isVisible());
    QVERIFY(table == before);
  }

  // Each column reaches its part of the table: targets typed and filled, names, the drawing's
  // names shown beside them; a target that names no layer is refused and the table kept.
  void layerDialogStoresEachColumnAndRefusesATargetNamingNoLayer() {
    LayerTable table;
    table.SetTarget(0x01, LayerAddress{1, 1});
    FakePrompts prompts;
    app::LayerSettingsDialog model(table);
    TForm4 dialog(model, prompts);
    preview::LayerSheet sheet;
    sheet.known = true;
    sheet.names[0x12] = "通り芯";
    sheet.group_names[1] = "配置図";
    model.SetDrawingLayers(&sheet);
    Show(dialog);
    QTableWidget* layers = dialog.StringGrid1();
    QTableWidget* groups = dialog.StringGrid2();
    QCOMPARE(layers->item(0x12, app::LayerSettingsDialog::kLayerDrawingName)->text(),
             QStringLiteral("通り芯"));
    QCOMPARE(groups->item(1, app::LayerSettingsDialog::kGroupDrawingName)->text(),
             QStringLiteral("配置図"));
    QCOMPARE(layers->item(0x01, app::LayerSettingsDialog::kTarget)->text(), QStringLiteral("1-1"));

    layers->item(0x25, app::LayerSettingsDialog::kLayerNewName)->setText(QStringLiteral("壁"));
    groups->item(2, app::LayerSettingsDialog::kGroupNewName)->setText(QStringLiteral("平面図"));
    layers->setRangeSelected(QTableWidgetSelectionRange(5, app::LayerSettingsDialog::kTarget, 7,
                                                        app::LayerSettingsDialog::kTarget),
                             true);
    dialog.Edit1()->setText(QStringLiteral("0-f"));
    QTest::mouseClick(Child<QPushButton>(&dialog, "Button1"), Qt::LeftButton);
    QCOMPARE(layers->item(6, app::LayerSettingsDialog::kTarget)->text(), QStringLiteral("0-F"));
    QCOMPARE(dialog.Edit1()->text(), QStringLiteral("0-F"));
    layers->setFocus();
    layers->setCurrentCell(0x03, app::LayerSettingsDialog::kTarget);
    QTest::keyClicks(layers, "2");
    QTest::keyClicks(QApplication::focusWidget(), "-x");

    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);  // the cell's Enter
    QVERIFY(dialog.isVisible());
    QCOMPARE(layers->currentRow(), 0x04);
    QVERIFY(prompts.Take().isEmpty());
    QTest::keyClick(layers, Qt::Key_Return);  // the dialog's
    QVERIFY(dialog.isVisible());
    QCOMPARE(prompts.Take(),
             (QStringList{"beep", QStringLiteral("error:レイヤ 0-3 の移動先 2-x は 0-0〜F-F "
                                                 "の形で入力して下さい。")}));
    QCOMPARE(table.Target(0x03), std::nullopt);
    auto* editor = qobject_cast<QLineEdit*>(QApplication::focusWidget());
    QVERIFY(editor != nullptr && layers->isAncestorOf(editor));
    QCOMPARE(layers->currentRow(), 0x03);
    editor->setText(QStringLiteral("2-5"));
    QTest::keyClick(editor, Qt::Key_Escape);  // this cell's typing only: the dialog stays
    QVERIFY(dialog.isVisible());
    QCOMPARE(layers->item(0x03, app::LayerSettingsDialog::kTarget)->text(), QStringLiteral("2-x"));
    layers->setCurrentCell(0x03, app::LayerSettingsDialog::kTarget);
    QTest::keyClick(layers, Qt::Key_Delete);  // empties the selected cells
    QCOMPARE(layers->item(0x03, app::LayerSettingsDialog::kTarget)->text(), QString());
    QTest::keyClicks(layers, "2");
    QTest::keyClicks(QApplication::focusWidget(), "-5");
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
    QTest::keyClick(layers, Qt::Key_Return);
    QVERIFY(!dialog.isVisible());
    LayerTable expected;
    expected.SetTarget(0x01, LayerAddress{1, 1});
    expected.SetTarget(0x03, LayerAddress{2, 5});
    for (int index = 5; index <= 7; ++index) {
      expected.SetTarget(index, LayerAddress{0, 0xF});
    }
    expected.SetLayerName(0x25, "壁");
    expected.SetGroupName(2, "平面図");
    QVERIFY(table == expected);
  }
};

QTEST_MAIN(SettingsDialogsTest)
#include "settings_dialogs_test.moc"
