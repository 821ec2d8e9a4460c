#pragma once

#include <QImage>
#include <QPoint>
#include <QWidget>

#include <cstdint>
#include <filesystem>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "files/FileContext.h"
#include "plot/AutoScale.h"
#include "plot/Overlays.h"
#include "plot/PlotInfo.h"
#include "plot/PlotLayout.h"
#include "plot/PlotMouse.h"
#include "plot/PlotOptions.h"
#include "plot/PlotPicture.h"
#include "record/DataObj.h"

namespace vireon {

class PlotFormatPanel;

// The plot control: draws the record it is given (the windows own the records), reads clicks
// on the graph by its mouse mode, holds snapshots as overlays and takes drops of other plots.
// Most display settings live in the record, so that they are saved with it; the control's own
// colours are written into the record before every redraw.
class TDataPlot : public QWidget {
  Q_OBJECT

 public:
  // The in-process drag of a plot onto another one.
  static constexpr const char* kDragMimeType = "application/x-vireon-dataplot";

  // `files` and `messages` serve the overlay loader and the hold file; both must outlive the
  // plot.
  TDataPlot(const FileContext& files, MessageSink& messages, QWidget* parent = nullptr);

  // Colours, 0x00BBGGRR; each setter redraws.
  PlotColor BackColor() const { return back_color_; }
  void SetBackColor(PlotColor color);
  PlotColor GridColor() const { return grid_color_; }
  void SetGridColor(PlotColor color);
  PlotColor MarkersColor() const { return markers_color_; }
  void SetMarkersColor(PlotColor color);
  // Takes the three colours from the record, as a window does when it loads a record.
  void LoadColorsFromData();

  // The cursor follows the mode.
  TDPMouseMode MouseMode() const { return mouse_mode_; }
  void SetMouseMode(TDPMouseMode mode);
  int MkrMouse() const { return mkr_mouse_; }
  void SetMkrMouse(int marker);  // 0..4

  // The shown record, not owned: it must outlive its showing here. None paints only the frame.
  // Assigning reloads the overlays.
  TDataMeas* Data() const { return data_; }
  void SetData(TDataMeas* record);
  int NumberOfPoints() const;

  // The last click on the graph: its x and the two traces' values at the pointer's height.
  double MouseDomain() const { return mouse_domain_; }
  double MouseTraceA() const { return mouse_trace_a_; }
  double MouseTraceB() const { return mouse_trace_b_; }
  bool MouseButtonLeft() const { return mouse_button_left_; }
  // Bits: 1 Shift, 2 Alt, 4 Ctrl, 8 left, 16 right, 32 middle button held.
  int MouseButtonShift() const { return mouse_button_shift_; }

  // The background picture of the graph, read from an image file; a file that cannot be read
  // leaves none. Whether it shows, stretched or tiled, is in the options.
  const std::string& CustomBitmapName() const { return custom_bitmap_name_; }
  bool SetCustomBitmapName(const std::string& file);

  const std::string& Title() const { return title_; }
  void SetTitle(const std::string& title);
  const PlotOptions& Options() const { return options_; }
  // What the last picture drew besides the record and the options: the title, the overlays
  // and the background picture (without format panel and readouts), for printing.
  PlotView PrintView() const { return {title_, false, 0, overlays_.matched, background_}; }
  void SetOptions(const PlotOptions& options);  // LivePlot also refuses drops
  bool IsPrimary() const { return primary_; }
  void SetPrimary(bool primary) { primary_ = primary; }
  // The format panel under the graph, toggled by the window's Format command.
  bool FormatPanelVisible() const { return format_panel_visible_; }
  void SetFormatPanelVisible(bool visible);
  PlotFormatPanel* FormatPanel() const { return format_panel_; }

  // Copies the colours into the record, shows the record in the format panel and repaints
  // from scratch.
  void Redraw();
  // Fits trace 0 (A) or 1 (B); true when the scale changed (then redrawn when `repaint`).
  bool AutoScale(int trace, AutoScaleMode mode, bool repaint);
  bool AutoScaleTraces(bool repaint);
  bool AutoScaleShared(bool repaint);

  // Saves the shown record as the next hold file in `data_folder` and shows it as overlay 0.
  // Only the primary plot holds, and never beyond 8 overlays; true when held.
  bool Hold(const std::filesystem::path& data_folder);
  bool CanHold() const;  // the window's hold command is disabled otherwise

  // What a script learns about the shown record.
  PlotInfo Info() const { return DescribePlot(data_); }

  // Where the current picture put its parts; the graph rectangle is what clicks land on.
  const PlotLayout& Layout();

  // Drops: any other plot showing a record, unless this one is a live plot. The drop copies
  // the source's record into the record this plot shows, or into one the plot keeps itself
  // when it shows none, with the source's look and title.
  bool AcceptsDropFrom(const TDataPlot* source) const;
  bool DropFrom(const TDataPlot& source);
  // Drags this plot (it returns when the drop is done): onto another plot it gives everything,
  // onto a plot window's status bar its format.
  void StartDrag();

 signals:
  void GraphClicked(double domain, double trace_a, double trace_b);
  void MarkerMoved(int marker);  // 0..4
  void RecordChanged();  // a click or the format panel changed the record's settings or window
  void RecordDropped();  // Data() now holds a copy of another plot's record

 protected:
  void paintEvent(QPaintEvent* event) override;
  void mousePressEvent(QMouseEvent* event) override;
  void mouseMoveEvent(QMouseEvent* event) override;
  void mouseReleaseEvent(QMouseEvent* event) override;
  void dragEnterEvent(QDragEnterEvent* event) override;
  void dragMoveEvent(QDragMoveEvent* event) override;
  void dropEvent(QDropEvent* event) override;

 private:
  // What the loaded overlays were matched against.
  struct OverlayKey {
    std::vector<OverlayEntry> entries;
    std::uint8_t data_type = 0;
    std::int32_t trace_a = -1;
    std::string trace_a_units;
    bool operator==(const OverlayKey&) const = default;
  };

  void EnsurePicture();
  void RefreshOverlays();
  void ClickAt(QPoint point);
  const TDataPlot* DragSource(const QDropEvent& event) const;

  const FileContext& files_;
  MessageSink& messages_;
  TDataMeas* data_ = nullptr;
  std::optional<TDataMeas> own_record_;  // receives drops while no record is shown
  PlotColor back_color_ = 0xFFFFFF;
  PlotColor grid_color_ = 0x804000;
  PlotColor markers_color_ = 3127552;
  TDPMouseMode mouse_mode_ = TDPMouseMode::mmUnused;
  int mkr_mouse_ = 1;
  double mouse_domain_ = 0.0;
  double mouse_trace_a_ = 0.0;
  double mouse_trace_b_ = 0.0;
  bool mouse_button_left_ = false;
  int mouse_button_shift_ = 0;
  std::optional<QPoint> drag_from_;  // a left press in mmUnused that may become a drag
  std::string title_;
  std::string custom_bitmap_name_;
  std::shared_ptr<const PixelPicture> background_;
  PlotOptions options_;
  bool primary_ = false;
  bool format_panel_visible_ = false;
  PlotFormatPanel* format_panel_;  // a child widget, deleted with the plot

  OverlayLoad overlays_;
  std::optional<OverlayKey> overlays_for_;  // none: reload at the next picture
  QImage picture_;  // the whole control, redrawn when stale or resized, painted in one go
  PlotLayout layout_;
  bool picture_stale_ = true;
};

}  // namespace vireon
