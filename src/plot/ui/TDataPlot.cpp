#include "plot/ui/TDataPlot.h"

#include <QApplication>
#include <QDrag>
#include <QDropEvent>
#include <QMimeData>
#include <QMouseEvent>
#include <QPainter>

#include <algorithm>
#include <variant>

#include "plot/CurveRules.h"
#include "plot/PlotHeader.h"
#include "plot/PlotPicture.h"
#include "plot/render/DisplayListPainter.h"
#include "plot/render/PlotImage.h"
#include "plot/render/QtText.h"
#include "plot/render/QtTextMeasure.h"
#include "plot/ui/PlotFormatPanel.h"

namespace vireon {
namespace {

// The wait cursor while a picture is built, restored however the build ends.
class BusyCursor {
 public:
  BusyCursor() { QApplication::setOverrideCursor(Qt::WaitCursor); }
  ~BusyCursor() { QApplication::restoreOverrideCursor(); }
  BusyCursor(const BusyCursor&) = delete;
  BusyCursor& operator=(const BusyCursor&) = delete;
};

// Qt's standard cursors stand in for the drawn ones: a cross for reading values, a split
// for the edges of the window and the view range, an up arrow for placing a marker.
Qt::CursorShape CursorFor(TDPMouseMode mode) {
  switch (mode) {
    case TDPMouseMode::mmReadout:
    case TDPMouseMode::mmSetCent:
      return Qt::CrossCursor;
    case TDPMouseMode::mmMarker:
      return Qt::UpArrowCursor;
    case TDPMouseMode::mmSetLWin:
    case TDPMouseMode::mmSetRWin:
    case TDPMouseMode::mmSetLHor:
    case TDPMouseMode::mmSetRHor:
      return Qt::SplitHCursor;
    case TDPMouseMode::mmScript:
      return Qt::PointingHandCursor;
    case TDPMouseMode::mmUnused:
      break;
  }
  return Qt::ArrowCursor;
}

int ShiftState(Qt::KeyboardModifiers modifiers, Qt::MouseButtons buttons) {
  int state = 0;
  if (modifiers & Qt::ShiftModifier) state |= 1;
  if (modifiers & Qt::AltModifier) state |= 2;
  if (modifiers & Qt::ControlModifier) state |= 4;
  if (buttons & Qt::LeftButton) state |= 8;
  if (buttons & Qt::RightButton) state |= 16;
  if (buttons & Qt::MiddleButton) state |= 32;
  return state;
}

bool Contains(const PixelRect& rect, QPoint point) {
  return point.x() >= rect.left && point.x() < rect.left + rect.width && point.y() >= rect.top &&
         point.y() < rect.top + rect.height;
}

}  // namespace

TDataPlot::TDataPlot(const FileContext& files, MessageSink& messages, QWidget* parent)
    : QWidget(parent),
      files_(files),
      messages_(messages),
      title_(kDefaultPlotTitle),
      format_panel_(new PlotFormatPanel(messages, this)) {
  setAcceptDrops(true);
  setAttribute(Qt::WA_OpaquePaintEvent);
  format_panel_->hide();
  connect(format_panel_, &PlotFormatPanel::RecordEdited, this, [this] {
    Redraw();
    emit RecordChanged();
  });
  connect(format_panel_, &PlotFormatPanel::TitleEdited, this,
          [this](const QString& title) { SetTitle(FromQString(title)); });
  connect(format_panel_, &PlotFormatPanel::AutoScaleRequested, this,
          [this](int trace, AutoScaleMode mode) {
            if (trace < 0) {
              AutoScaleTraces(true);
            } else {
              AutoScale(trace, mode, true);
            }
          });
  connect(format_panel_, &PlotFormatPanel::SharedAutoScaleRequested, this,
          [this] { AutoScaleShared(true); });
  connect(format_panel_, &PlotFormatPanel::MouseModeRequested, this, &TDataPlot::SetMouseMode);
  connect(format_panel_, &PlotFormatPanel::OptionsEdited, this, &TDataPlot::SetOptions);
  connect(format_panel_, &PlotFormatPanel::BackColorChosen, this, [this](quint32 color) {
    SetBackColor(color);
    emit RecordChanged();
  });
  connect(format_panel_, &PlotFormatPanel::GridColorChosen, this, [this](quint32 color) {
    SetGridColor(color);
    emit RecordChanged();
  });
}

void TDataPlot::SetBackColor(PlotColor color) {
  back_color_ = color;
  Redraw();
}

void TDataPlot::SetGridColor(PlotColor color) {
  grid_color_ = color;
  Redraw();
}

void TDataPlot::SetMarkersColor(PlotColor color) {
  markers_color_ = color;
  Redraw();
}

void TDataPlot::LoadColorsFromData() {
  if (data_ == nullptr) return;
  back_color_ = data_->FColors[0];
  grid_color_ = data_->FColors[1];
  markers_color_ = data_->FColors[2];
  Redraw();
}

void TDataPlot::SetMouseMode(TDPMouseMode mode) {
  mouse_mode_ = mode;
  setCursor(CursorFor(mode));
}

void TDataPlot::SetMkrMouse(int marker) { mkr_mouse_ = std::clamp(marker, 0, 4); }

void TDataPlot::SetData(TDataMeas* record) {
  data_ = record;
  if (record != (own_record_ ? &*own_record_ : nullptr)) own_record_.reset();
  overlays_for_.reset();
  Redraw();
}

int TDataPlot::NumberOfPoints() const { return data_ != nullptr ? data_->FNumPoints : 0; }

void TDataPlot::SetTitle(const std::string& title) {
  title_ = title;
  Redraw();
}

void TDataPlot::SetOptions(const PlotOptions& options) {
  options_ = options;
  Redraw();
}

void TDataPlot::SetFormatPanelVisible(bool visible) {
  format_panel_visible_ = visible;
  format_panel_->setVisible(visible);
  Redraw();
}

bool TDataPlot::SetCustomBitmapName(const std::string& file) {
  custom_bitmap_name_ = file;
  const QImage image = QImage(QString::fromStdString(file)).convertToFormat(QImage::Format_RGB32);
  if (image.isNull()) {
    background_.reset();
  } else {
    auto picture = std::make_shared<PixelPicture>();
    picture->width = image.width();
    picture->height = image.height();
    picture->pixels.reserve(static_cast<std::size_t>(image.width()) * image.height());
    for (int y = 0; y < image.height(); ++y) {
      const auto* row = reinterpret_cast<const std::uint32_t*>(image.constScanLine(y));
      picture->pixels.insert(picture->pixels.end(), row, row + image.width());
    }
    background_ = std::move(picture);
  }
  Redraw();
  return background_ != nullptr;
}

void TDataPlot::Redraw() {
  if (data_ != nullptr) {
    data_->FColors[0] = back_color_;
    data_->FColors[1] = grid_color_;
    data_->FColors[2] = markers_color_;
    data_->FCustomBitmap = options_.UseCustomBitmap ? 1 : 0;
  }
  if (format_panel_visible_) format_panel_->Show(data_, title_, options_);
  picture_stale_ = true;
  update();
}

bool TDataPlot::AutoScale(int trace, AutoScaleMode mode, bool repaint) {
  if (data_ == nullptr) return false;
  const bool changed = vireon::AutoScale(*data_, trace, mode, options_);
  if (changed && repaint) Redraw();
  return changed;
}

bool TDataPlot::AutoScaleTraces(bool repaint) {
  if (data_ == nullptr) return false;
  const bool changed = vireon::AutoScaleTraces(*data_, options_);
  if (changed && repaint) Redraw();
  return changed;
}

bool TDataPlot::AutoScaleShared(bool repaint) {
  if (data_ == nullptr) return false;
  const bool changed = vireon::AutoScaleShared(*data_, options_);
  if (changed && repaint) Redraw();
  return changed;
}

bool TDataPlot::Hold(const std::filesystem::path& data_folder) {
  if (!CanHold()) return false;
  std::vector<OverlayEntry> entries = OverlayEntriesOf(*data_);
  const std::filesystem::path file = NextHoldFile(entries, data_folder);
  if (vireon::Hold(*data_, entries, file, messages_) != HoldOutcome::Held) return false;
  overlays_for_.reset();
  Redraw();
  return true;
}

bool TDataPlot::CanHold() const {
  return primary_ && data_ != nullptr && vireon::CanHold(OverlayEntriesOf(*data_));
}

const PlotLayout& TDataPlot::Layout() {
  EnsurePicture();
  return layout_;
}

// The overlay files are read again only when the list or what they are matched against
// changed; an unreadable file leaves the cache stale so the next picture tries again.
void TDataPlot::RefreshOverlays() {
  if (data_->FOverlayFlag1 == 0) return;
  const std::size_t trace_a = static_cast<std::size_t>(std::clamp(data_->FTraceA, 0, 4));
  OverlayKey key{OverlayEntriesOf(*data_), data_->FDataType, data_->FTraceA,
                 data_->FFields[trace_a].Units};
  if (overlays_for_ == key) return;
  overlays_ = LoadOverlays(*data_, key.entries, files_, messages_);
  if (overlays_.unreadable) {
    overlays_for_.reset();
  } else {
    overlays_for_ = std::move(key);
  }
}

void TDataPlot::EnsurePicture() {
  const int picture_width = std::max(width(), 1);
  const int picture_height = std::max(height(), 1);
  if (!picture_stale_ && picture_.width() == picture_width && picture_.height() == picture_height) {
    return;
  }

  const BusyCursor busy;
  const QFont font = PlotFont();
  const QtTextMeasure measure(font);
  DisplayList picture;
  if (data_ != nullptr) {
    RefreshOverlays();
    const PlotView view{title_, format_panel_visible_, 0, overlays_.matched, background_};
    picture =
        BuildPlotPicture(*data_, view, options_, measure, picture_width, picture_height, &layout_);
  } else {
    layout_ = LayOutPlot({picture_width, picture_height, format_panel_visible_, 0, 0});
    picture =
        DisplayList{picture_width, picture_height, {BuildPlotFrame(picture_width, picture_height)}};
  }

  picture_ = PaintPlotPicture(picture, font);
  picture_stale_ = false;
  const PixelRect panel = layout_.format_panel;
  if (format_panel_visible_)
    format_panel_->setGeometry(panel.left, panel.top, panel.width, panel.height);
}

void TDataPlot::paintEvent(QPaintEvent* /*event*/) {
  EnsurePicture();
  QPainter painter(this);
  painter.drawImage(0, 0, picture_);
}

void TDataPlot::mousePressEvent(QMouseEvent* event) {
  mouse_button_left_ = event->button() == Qt::LeftButton;
  mouse_button_shift_ = ShiftState(event->modifiers(), event->buttons());
  const QPoint point = event->position().toPoint();
  if (mouse_mode_ == TDPMouseMode::mmUnused && mouse_button_left_) drag_from_ = point;
  ClickAt(point);
}

void TDataPlot::mouseMoveEvent(QMouseEvent* event) {
  if (!drag_from_ || !(event->buttons() & Qt::LeftButton)) return;
  const QPoint moved = event->position().toPoint() - *drag_from_;
  if (moved.manhattanLength() < QApplication::startDragDistance()) return;
  drag_from_.reset();
  StartDrag();
}

void TDataPlot::mouseReleaseEvent(QMouseEvent* /*event*/) { drag_from_.reset(); }

void TDataPlot::ClickAt(QPoint point) {
  EnsurePicture();
  const PixelRect graph = layout_.graph;
  if (!Contains(graph, point)) {
    SetMouseMode(TDPMouseMode::mmUnused);
    return;
  }
  TDataMeas* const record = data_;
  if (record == nullptr || !IsXyKind(record->FPlotKind)) return;
  const std::optional<PointerReading> reading = ReadPointer(
      *record, graph.width, graph.height, point.x() - graph.left, point.y() - graph.top);
  if (!reading) return;
  mouse_domain_ = reading->domain;
  mouse_trace_a_ = reading->trace_a;
  mouse_trace_b_ = reading->trace_b;
  emit GraphClicked(mouse_domain_, mouse_trace_a_, mouse_trace_b_);
  // The main form may have given the plot another record meanwhile: the reading is stale.
  if (data_ != record) return;

  const ClickEffect effect = ApplyClick(*record, mouse_mode_, mkr_mouse_, *reading);
  if (effect.marker_moved) emit MarkerMoved(*effect.marker_moved);
  if (effect.record_changed) {
    Redraw();
    emit RecordChanged();
  }
}

// Only the plot's identity travels, and only inside this program: the drop finds the source
// plot through the drag itself.
void TDataPlot::StartDrag() {
  auto mime = std::make_unique<QMimeData>();
  mime->setData(kDragMimeType, objectName().toUtf8());
  auto* drag = new QDrag(this);  // Qt deletes it when the drag ends
  drag->setMimeData(mime.release());
  drag->exec(Qt::CopyAction);
}

const TDataPlot* TDataPlot::DragSource(const QDropEvent& event) const {
  if (!event.mimeData()->hasFormat(kDragMimeType)) return nullptr;
  return qobject_cast<const TDataPlot*>(event.source());
}

void TDataPlot::dragEnterEvent(QDragEnterEvent* event) {
  if (AcceptsDropFrom(DragSource(*event))) {
    event->acceptProposedAction();
  } else {
    event->ignore();
  }
}

void TDataPlot::dragMoveEvent(QDragMoveEvent* event) {
  if (AcceptsDropFrom(DragSource(*event))) {
    event->acceptProposedAction();
  } else {
    event->ignore();
  }
}

void TDataPlot::dropEvent(QDropEvent* event) {
  const TDataPlot* source = DragSource(*event);
  if (source == nullptr || !DropFrom(*source)) {
    event->ignore();
    return;
  }
  event->acceptProposedAction();
}

bool TDataPlot::AcceptsDropFrom(const TDataPlot* source) const {
  return source != nullptr && source != this && source->data_ != nullptr && !options_.LivePlot;
}

bool TDataPlot::DropFrom(const TDataPlot& source) {
  if (!AcceptsDropFrom(&source)) return false;
  if (data_ == nullptr) data_ = &own_record_.emplace(files_.Defaults);
  data_->CopyFrom(*source.data_);  // the source's plot kind, overlays and markers too
  back_color_ = source.back_color_;
  grid_color_ = source.grid_color_;
  markers_color_ = source.markers_color_;
  title_ = source.title_;
  overlays_for_.reset();
  Redraw();
  emit RecordDropped();
  return true;
}

}  // namespace vireon
