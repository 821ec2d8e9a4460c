#pragma once

#include <QWidget>
#include <functional>
#include <memory>
#include <optional>
#include <string>

#include "files/DataTable.h"
#include "plot/PlotOptions.h"
#include "record/DataObj.h"

class QLabel;
class QMenu;
class QScrollBar;

namespace vireon {

class TableGridView;

// The table window of a plot: the record's numbers, a rectangular selection and copies of it
// to the clipboard as tab-separated text. Only the rows that fit are drawn; the scroll bar
// chooses the first point shown. The record and options are the plot's: the owner deletes the
// window before they go away. The caller sets the caption.
class TGridForm : public QWidget {
  Q_OBJECT

 public:
  // Asked before a copy of more than kBigCopyCells cells; true goes on. Interactive by default.
  using ConfirmBigCopy = std::function<bool(QWidget* parent, const std::string& question)>;

  TGridForm(const TDataMeas& record, const PlotOptions& options, QWidget* parent = nullptr);
  ~TGridForm() override;

  void Refresh();  // the record changed
  void SetStatusText(const std::string& text);
  void SetConfirmBigCopy(ConfirmBigCopy confirm);

  void CopySelection();  // "&Copy Selection"
  void CopyAll();        // "Copy &All"

  int ColumnCount() const;
  int GridRows() const;  // rows that fit, the header row included
  QString HeaderText(int column) const;
  QString CellText(int column, int grid_row) const;  // grid_row ≥ 1: the points shown
  std::int32_t ScrollPosition() const;               // the first point shown
  void SetScrollPosition(std::int32_t point);
  QScrollBar* ScrollBar() const { return scroll_bar_; }
  const std::optional<TableSelection>& Selection() const { return selection_; }
  void SetSelection(const std::optional<TableSelection>& selection);
  QString StatusText() const;

 protected:
  void keyPressEvent(QKeyEvent* event) override;
  void wheelEvent(QWheelEvent* event) override;
  void contextMenuEvent(QContextMenuEvent* event) override;

 private:
  friend class TableGridView;
  void ScrollBy(int points);
  void UpdateScrollRange();
  void FitWidthToColumns();
  // A click (or, with `extend`, Shift or a drag) on the cell of a point.
  void SelectCell(int column, std::int32_t point, bool extend);

  const TDataMeas& record_;
  const PlotOptions& options_;
  std::unique_ptr<DataTable> table_;
  std::optional<TableSelection> selection_;
  int anchor_column_ = 0;
  std::int32_t anchor_point_ = 0;
  ConfirmBigCopy confirm_big_copy_;
  TableGridView* grid_;
  QScrollBar* scroll_bar_;
  QLabel* status_text_;
  QMenu* popup_;
};

}  // namespace vireon
