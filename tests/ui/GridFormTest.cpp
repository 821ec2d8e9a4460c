// The table window: what it shows, its scrolling and selection, and its copies to the
// clipboard.

#include "files/ui/TGridForm.h"

#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QScrollBar>
#include <QWheelEvent>
#include <string>
#include <vector>

#include "../record/RecordFixtures.h"
#include "UiTestSupport.h"

namespace vireon {
namespace {

class GridForm : public ::testing::Test {
 protected:
  // A window of a fixed height in rows, confirming big copies as `confirm_` says.
  std::unique_ptr<TGridForm> MakeForm(const TDataMeas& record) {
    auto form = std::make_unique<TGridForm>(record, options_);
    form->SetConfirmBigCopy([this](QWidget*, const std::string& question) {
      questions_.push_back(question);
      return confirm_;
    });
    form->show();
    return form;
  }

  static void SetGridRows(TGridForm& form, int rows) {
    QWidget* grid = form.findChild<QWidget*>("sgData");
    const int row_height = grid->fontMetrics().height() + 4;
    form.resize(form.width(), form.height() - grid->height() + rows * row_height + row_height / 2);
    QApplication::processEvents();
  }

  // A left-button press on a cell, or a move to it with the button held.
  static void Mouse(TGridForm& form, QEvent::Type type, int column, int grid_row,
                    Qt::KeyboardModifiers modifiers = Qt::NoModifier) {
    QWidget* grid = form.findChild<QWidget*>("sgData");
    const int row_height = grid->fontMetrics().height() + 4;
    const int column_width = grid->width() / form.ColumnCount();
    const QPointF at(column * column_width + 5, grid_row * row_height + 3);
    const Qt::MouseButton button = type == QEvent::MouseMove ? Qt::NoButton : Qt::LeftButton;
    QMouseEvent event(type, at, grid->mapToGlobal(at), button, Qt::LeftButton, modifiers);
    QApplication::sendEvent(grid, &event);
  }
  static void Press(TGridForm& form, int column, int grid_row,
                    Qt::KeyboardModifiers modifiers = Qt::NoModifier) {
    Mouse(form, QEvent::MouseButtonPress, column, grid_row, modifiers);
  }

  static QString Clipboard() { return QGuiApplication::clipboard()->text(); }

  TestApplication app_;
  PlotOptions options_;
  bool confirm_ = true;
  std::vector<std::string> questions_;
};

TEST_F(GridForm, CopyAllOfASmallTimeRecordPutsItsTextOnTheClipboard) {
  TDataMeas record = fixtures::TimeRecord(48000, 0.0, {{0.5, 1.0}, {-0.25, 3.0}});
  record.FXUnits = "sec";
  record.FFields[0].Units = "V";
  record.FFields[1].Units = "\xB0";  // record units are 8-bit bytes
  const auto form = MakeForm(record);

  ASSERT_EQ(form->ColumnCount(), 3);
  EXPECT_EQ(form->HeaderText(0), "  sec");
  EXPECT_EQ(form->HeaderText(1), " V");
  EXPECT_EQ(form->HeaderText(2), QString::fromUtf8(" \u00B0"));
  EXPECT_EQ(form->CellText(0, 2), "2.083333E-5");  // 1/48000
  QGuiApplication::clipboard()->clear();
  form->findChild<QAction*>("CopyAll")->trigger();
  EXPECT_EQ(Clipboard(),
            "0.0000E+00\t5.000000E-01\t-2.500000E-01\t\r\n"
            "2.0833E-05\t1.000000E+00\t3.000000E+00\t\r\n");
  EXPECT_TRUE(questions_.empty());
}

TEST_F(GridForm, RowsFollowTheHeightAndTheScrollBarTheRows) {
  const TDataMeas record = fixtures::TimeRecord(1000, 0.0, {std::vector<double>(100, 0.0)});
  const auto form = MakeForm(record);
  SetGridRows(*form, 10);
  ASSERT_EQ(form->GridRows(), 10);
  EXPECT_EQ(form->ScrollBar()->minimum(), 0);
  EXPECT_EQ(form->ScrollBar()->maximum(), 91);
  form->SetScrollPosition(91);
  EXPECT_EQ(form->CellText(0, 9), "0.099");  // the last point in the last row

  SetGridRows(*form, 1);
  EXPECT_EQ(form->GridRows(), 2);  // never fewer than the header and one point
  EXPECT_EQ(form->ScrollBar()->maximum(), 99);

  const TDataMeas short_record = fixtures::TimeRecord(1000, 0.0, {{1.0, 2.0}});
  const auto short_form = MakeForm(short_record);
  SetGridRows(*short_form, 10);
  EXPECT_EQ(short_form->GridRows(), 3);  // no more rows than points
  EXPECT_EQ(short_form->ScrollBar()->maximum(), 1);
}

TEST_F(GridForm, KeysAndWheelScrollByOnePoint) {
  const TDataMeas record = fixtures::TimeRecord(1000, 0.0, {std::vector<double>(100, 0.0)});
  const auto form = MakeForm(record);
  SetGridRows(*form, 10);
  QKeyEvent down(QEvent::KeyPress, Qt::Key_Down, Qt::NoModifier);
  QApplication::sendEvent(form.get(), &down);
  QApplication::sendEvent(form.get(), &down);
  EXPECT_EQ(form->ScrollPosition(), 2);
  EXPECT_EQ(form->CellText(0, 1), "0.002");
  QWheelEvent wheel_up(QPointF(5, 5), form->mapToGlobal(QPointF(5, 5)), QPoint(), QPoint(0, 120),
                       Qt::NoButton, Qt::NoModifier, Qt::NoScrollPhase, false);
  QApplication::sendEvent(form.get(), &wheel_up);
  EXPECT_EQ(form->ScrollPosition(), 1);
  QKeyEvent up(QEvent::KeyPress, Qt::Key_Up, Qt::NoModifier);
  QApplication::sendEvent(form.get(), &up);
  QApplication::sendEvent(form.get(), &up);
  EXPECT_EQ(form->ScrollPosition(), 0);
}

TEST_F(GridForm, ClickAndShiftClickSelectARangeOfPointsToCopy) {
  const TDataMeas record = fixtures::FrequencyRecord(kFrequencyResponse, {100, 200, 300, 400},
                                                     {{1.0, 2.0, 3.0, 4.0}, {5.0, 6.0, 7.0, 8.0}});
  const auto form = MakeForm(record);
  SetGridRows(*form, 5);
  form->SetScrollPosition(1);
  Press(*form, 2, 3);                     // column 2 of point 3
  Press(*form, 1, 1, Qt::ShiftModifier);  // column 1 of point 1
  ASSERT_TRUE(form->Selection().has_value());
  EXPECT_EQ(form->Selection()->first_column, 1);
  EXPECT_EQ(form->Selection()->last_column, 2);
  EXPECT_EQ(form->Selection()->first_point, 1);
  EXPECT_EQ(form->Selection()->last_point, 3);
  form->CopySelection();
  EXPECT_EQ(Clipboard(),
            "2.000000E+00\t6.000000E+00\t\r\n"
            "3.000000E+00\t7.000000E+00\t\r\n"
            "4.000000E+00\t8.000000E+00\t\r\n");

  Press(*form, 0, 2);  // a plain click starts again
  EXPECT_EQ(form->Selection()->first_point, 2);
  EXPECT_EQ(form->Selection()->last_point, 2);
  EXPECT_EQ(form->Selection()->first_column, 0);
}

TEST_F(GridForm, DraggingPastTheRowsScrollsOnePointAtATime) {
  const TDataMeas record = fixtures::TimeRecord(1000, 0.0, {std::vector<double>(100, 0.0)});
  const auto form = MakeForm(record);
  SetGridRows(*form, 5);
  form->SetScrollPosition(10);
  Press(*form, 0, 1);                     // point 10
  Mouse(*form, QEvent::MouseMove, 1, 7);  // below the last row
  EXPECT_EQ(form->ScrollPosition(), 11);
  EXPECT_EQ(form->Selection()->last_point, 14);  // the last point now shown
  EXPECT_EQ(form->Selection()->last_column, 1);
  Mouse(*form, QEvent::MouseMove, 0, 0);  // onto the header row
  Mouse(*form, QEvent::MouseMove, 0, 0);
  EXPECT_EQ(form->ScrollPosition(), 9);
  EXPECT_EQ(form->Selection()->first_point, 9);
  EXPECT_EQ(form->Selection()->last_point, 10);
}

TEST_F(GridForm, BigCopiesAskFirstAndNoClearsTheSelectionAndScrollsToTheTop) {
  // 100001 points in two columns: 200002 cells.
  const TDataMeas record =
      fixtures::FrequencyRecord(kFrequencyResponse, std::vector<double>(100001, 1.0), {{}});
  const auto form = MakeForm(record);
  SetGridRows(*form, 10);
  form->SetSelection(TableSelection{0, 1, 0, 100000});
  form->SetScrollPosition(500);
  QGuiApplication::clipboard()->setText("before");
  confirm_ = false;
  form->CopySelection();
  ASSERT_EQ(questions_.size(), 1u);
  EXPECT_EQ(questions_[0],
            "Selected range includes 200002 cells, and will require you to wait!  Continue?");
  EXPECT_FALSE(form->Selection().has_value());
  EXPECT_EQ(form->ScrollPosition(), 0);
  EXPECT_EQ(Clipboard(), "before");

  // 50000 points of two columns is not a big copy.
  form->SetSelection(TableSelection{0, 1, 0, 49999});
  form->CopySelection();
  EXPECT_EQ(questions_.size(), 1u);
  EXPECT_TRUE(Clipboard().startsWith("1.0000E+00\t0.000000E+00\t\r\n"));
}

TEST_F(GridForm, RefreshShowsTheChangedRecordAndStatusBarItsText) {
  TDataMeas record = fixtures::FrequencyRecord(kFrequencyResponse, {100}, {{0.5}});
  const auto form = MakeForm(record);
  form->SetStatusText("Response of the woofer");
  EXPECT_EQ(form->StatusText(), "Response of the woofer");
  const int two_column_width = form->width();
  EXPECT_EQ(form->minimumWidth(), form->maximumWidth());  // only the height can change

  record = fixtures::FrequencyRecord(kFrequencyResponse, {100}, {{0.5}, {0.25}});
  form->Refresh();
  EXPECT_EQ(form->ColumnCount(), 3);
  EXPECT_EQ(form->CellText(2, 1), "0.25");
  EXPECT_GT(form->width(), two_column_width);
}

}  // namespace
}  // namespace vireon
