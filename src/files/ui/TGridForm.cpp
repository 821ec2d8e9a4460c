#include "files/ui/TGridForm.h"

#include <QApplication>
#include <QClipboard>
#include <QContextMenuEvent>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QMessageBox>
#include <QMouseEvent>
#include <QPainter>
#include <QScrollBar>
#include <QStatusBar>
#include <QVBoxLayout>
#include <QWheelEvent>
#include <algorithm>

#include "plot/render/QtText.h"

namespace vireon {

// The cells: a header row and as many point rows as the height holds, starting at the
// form's scroll position.
class TableGridView : public QWidget {
 public:
  explicit TableGridView(TGridForm& form) : form_(form) {
    setObjectName("sgData");
    setFocusPolicy(Qt::NoFocus);
  }

  int RowHeight() const { return fontMetrics().height() + 4; }
  int ColumnWidth() const { return fontMetrics().horizontalAdvance(QString(13, '0')) + 6; }
  int RowsThatFit() const {
    const int rows = height() / RowHeight();
    return std::clamp(rows, 2, std::max(2, form_.record_.FNumPoints + 1));
  }

 protected:
  void paintEvent(QPaintEvent*) override;
  void mousePressEvent(QMouseEvent* event) override;
  void mouseMoveEvent(QMouseEvent* event) override;
  void resizeEvent(QResizeEvent*) override { form_.UpdateScrollRange(); }

 private:
  void ExtendTo(const QPoint& position);
  int ColumnAt(int x) const { return std::clamp(x / ColumnWidth(), 0, form_.ColumnCount() - 1); }

  TGridForm& form_;
};

void TableGridView::paintEvent(QPaintEvent*) {
  QPainter painter(this);
  painter.fillRect(rect(), Qt::white);
  const int rows = RowsThatFit();
  const int row_height = RowHeight();
  const int column_width = ColumnWidth();
  const auto& selection = form_.selection_;
  const std::int32_t first_point = form_.ScrollPosition();
  for (int column = 0; column < form_.ColumnCount(); ++column) {
    for (int row = 0; row < rows; ++row) {
      const QRect cell(column * column_width, row * row_height, column_width, row_height);
      const std::int32_t point = first_point + row - 1;
      QColor text_color = Qt::black;
      if (row == 0) {
        painter.fillRect(cell, palette().color(QPalette::Highlight));
        text_color = palette().color(QPalette::HighlightedText);
      } else if (selection && column >= selection->first_column &&
                 column <= selection->last_column && point >= selection->first_point &&
                 point <= selection->last_point) {
        painter.fillRect(cell, QColor(0xC0, 0xC0, 0xC0));
      }
      painter.setPen(QColor(0xC0, 0xC0, 0xC0));
      painter.drawRect(cell.adjusted(0, 0, -1, -1));
      painter.setPen(text_color);
      const QString text = row == 0 ? form_.HeaderText(column) : form_.CellText(column, row);
      painter.drawText(cell.adjusted(3, 0, -3, 0), Qt::AlignVCenter | Qt::AlignLeft, text);
    }
  }
}

void TableGridView::mousePressEvent(QMouseEvent* event) {
  if (event->button() != Qt::LeftButton) return;
  const int row = event->position().toPoint().y() / RowHeight();
  const std::int32_t point = form_.ScrollPosition() + row - 1;
  if (row < 1 || point >= form_.record_.FNumPoints) return;
  const bool extend = (event->modifiers() & Qt::ShiftModifier) && form_.selection_;
  form_.SelectCell(ColumnAt(event->position().toPoint().x()), point, extend);
}

void TableGridView::mouseMoveEvent(QMouseEvent* event) {
  if ((event->buttons() & Qt::LeftButton) && form_.selection_) {
    ExtendTo(event->position().toPoint());
  }
}

void TableGridView::ExtendTo(const QPoint& position) {
  const int rows = RowsThatFit();
  int row = position.y() / RowHeight();
  // Dragging past the shown rows brings the next point into view.
  if (position.y() < RowHeight()) {
    form_.ScrollBy(-1);
    row = 1;
  } else if (row >= rows) {
    form_.ScrollBy(1);
    row = rows - 1;
  }
  const std::int32_t last = std::max(0, form_.record_.FNumPoints - 1);
  const std::int32_t point = std::min(form_.ScrollPosition() + row - 1, last);
  form_.SelectCell(ColumnAt(position.x()), point, true);
}

namespace {

bool AskBeforeBigCopy(QWidget* parent, const std::string& question) {
  return QMessageBox::question(parent, parent->windowTitle(), QString::fromStdString(question),
                               QMessageBox::Yes | QMessageBox::No) == QMessageBox::Yes;
}

}  // namespace

TGridForm::TGridForm(const TDataMeas& record, const PlotOptions& options, QWidget* parent)
    : QWidget(parent, Qt::Window),
      record_(record),
      options_(options),
      table_(std::make_unique<DataTable>(record, options)),
      confirm_big_copy_(AskBeforeBigCopy),
      grid_(new TableGridView(*this)),
      scroll_bar_(new QScrollBar(Qt::Vertical)),
      status_text_(new QLabel) {
  setObjectName("GridForm");
  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(0, 0, 0, 0);
  layout->setSpacing(0);

  auto* copy_selection = new QAction("&Copy Selection", this);
  copy_selection->setObjectName("CopySelection");
  connect(copy_selection, &QAction::triggered, this, &TGridForm::CopySelection);
  auto* copy_all = new QAction("Copy &All", this);
  copy_all->setObjectName("CopyAll");
  connect(copy_all, &QAction::triggered, this, &TGridForm::CopyAll);
  auto* menu_bar = new QMenuBar;
  QMenu* edit = menu_bar->addMenu("&Edit");
  edit->addAction(copy_selection);
  edit->addAction(copy_all);
  layout->setMenuBar(menu_bar);
  popup_ = new QMenu(this);
  popup_->addAction(copy_selection);
  popup_->addAction(copy_all);

  auto* grid_row = new QHBoxLayout;
  grid_row->addWidget(grid_);
  grid_row->addWidget(scroll_bar_);
  layout->addLayout(grid_row, 1);
  auto* status_bar = new QStatusBar;
  status_text_->setObjectName("StatusText");
  status_bar->addWidget(status_text_, 1);
  status_bar->setSizeGripEnabled(false);
  layout->addWidget(status_bar);

  scroll_bar_->setObjectName("ScrollBar");
  scroll_bar_->setSingleStep(1);
  connect(scroll_bar_, &QScrollBar::valueChanged, grid_, [this] { grid_->update(); });
  setFocusPolicy(Qt::StrongFocus);
  grid_->setMinimumHeight(2 * grid_->RowHeight());
  scroll_bar_->setMinimumHeight(grid_->minimumHeight());
  resize(width(), 20 * grid_->RowHeight());
  Refresh();
}

TGridForm::~TGridForm() = default;

void TGridForm::Refresh() {
  table_ = std::make_unique<DataTable>(record_, options_);
  FitWidthToColumns();
  UpdateScrollRange();
  grid_->update();
}

void TGridForm::SetStatusText(const std::string& text) { status_text_->setText(ToQString(text)); }

QString TGridForm::StatusText() const { return status_text_->text(); }

void TGridForm::SetConfirmBigCopy(ConfirmBigCopy confirm) {
  confirm_big_copy_ = std::move(confirm);
}

void TGridForm::CopySelection() {
  if (!selection_) return;
  const std::int64_t cells = selection_->CellCount();
  if (cells > kBigCopyCells && !confirm_big_copy_(this, BigCopyQuestion(cells))) {
    SetSelection(std::nullopt);
    SetScrollPosition(0);
    return;
  }
  QGuiApplication::clipboard()->setText(QString::fromStdString(table_->CopyText(*selection_)));
}

void TGridForm::CopyAll() {
  if (record_.FNumPoints < 1) return;
  SetSelection(TableSelection{0, ColumnCount() - 1, 0, record_.FNumPoints - 1});
  CopySelection();
}

int TGridForm::ColumnCount() const { return table_->ColumnCount(); }

int TGridForm::GridRows() const { return grid_->RowsThatFit(); }

QString TGridForm::HeaderText(int column) const { return ToQString(table_->HeaderText(column)); }

QString TGridForm::CellText(int column, int grid_row) const {
  return QString::fromStdString(table_->CellText(column, ScrollPosition() + grid_row - 1));
}

std::int32_t TGridForm::ScrollPosition() const { return scroll_bar_->value(); }

void TGridForm::SetScrollPosition(std::int32_t point) { scroll_bar_->setValue(point); }

void TGridForm::SetSelection(const std::optional<TableSelection>& selection) {
  selection_ = selection ? std::optional(selection->Ordered()) : std::nullopt;
  grid_->update();
}

void TGridForm::SelectCell(int column, std::int32_t point, bool extend) {
  if (!extend) {
    anchor_column_ = column;
    anchor_point_ = point;
  }
  SetSelection(TableSelection{anchor_column_, column, anchor_point_, point});
}

void TGridForm::ScrollBy(int points) { SetScrollPosition(ScrollPosition() + points); }

void TGridForm::UpdateScrollRange() {
  scroll_bar_->setRange(0, TableScrollMaximum(record_.FNumPoints, GridRows()));
  scroll_bar_->setPageStep(std::max(1, GridRows() - 1));
}

void TGridForm::FitWidthToColumns() {
  const int grid_width = ColumnCount() * grid_->ColumnWidth() + 1;
  grid_->setFixedWidth(grid_width);
  // Only the height follows the user: the columns set the width.
  setFixedWidth(grid_width + scroll_bar_->sizeHint().width());
}

void TGridForm::keyPressEvent(QKeyEvent* event) {
  if (event->key() == Qt::Key_Up) {
    ScrollBy(-1);
  } else if (event->key() == Qt::Key_Down) {
    ScrollBy(1);
  } else {
    QWidget::keyPressEvent(event);
  }
}

void TGridForm::wheelEvent(QWheelEvent* event) {
  const int delta = event->angleDelta().y();
  if (delta != 0) ScrollBy(delta > 0 ? -1 : 1);
  event->accept();
}

void TGridForm::contextMenuEvent(QContextMenuEvent* event) { popup_->popup(event->globalPos()); }

}  // namespace vireon
