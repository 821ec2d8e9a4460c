#include "plot/PlotPicture.h"

#include <variant>

#include "plot/BandTrace.h"
#include "plot/CurveRules.h"
#include "plot/FrequencyTrace.h"
#include "plot/Legend.h"
#include "plot/OverlaySymbols.h"
#include "plot/PlotAxes.h"
#include "plot/PlotGrid.h"
#include "plot/TimeTrace.h"
#include "record/DataTypes.h"

namespace vireon {
namespace {

constexpr PlotColor kWhite = 0xFFFFFF;

bool IsShownColumn(const TDataMeas& record, std::int32_t column) {
  return column >= 0 && column < record.FNumFields;
}

// Fewer than two points, or fewer than two x values, make no curve and no axis.
bool HasDrawableAxis(const TDataMeas& record) {
  return record.FNumPoints >= 2 && record.FFields[0].Values.size() >= 2;
}

// A printout without coloured fill has a white graph.
bool PlainPaper(const PlotOptions& options) {
  return options.Printing && options.PrintColors != PrintColorMode::ColoredFill;
}

PlotColor GraphBackground(const TDataMeas& record, const PlotOptions& options) {
  return PlainPaper(options) ? kWhite : record.FColors[0];
}

Pen TracePen(const PlotOptions& options, PlotColor color, int width) {
  return Pen{InkColor(options, color), width, PenStyle::Solid};
}

VerticalScale ScaleFor(const TDataMeas& record, int column, int height) {
  const TFieldType& curve = record.FFields[static_cast<std::size_t>(column)];
  if (IsSampledType(record.FDataType)) {
    return TimeTraceScale(curve, DivisionCount(record), height);
  }
  return VerticalScale::ForCurve(curve, DivisionCount(record), height);
}

void AddTrace(const TDataMeas& record, int column, bool trace_a, const HorizontalAxis& axis,
              const PlotOptions& options, int height, std::vector<DisplayItem>& items) {
  const Pen pen = TracePen(options, record.FColors[trace_a ? 3 : 4],
                           trace_a ? options.TraceWidth : options.TraceWidthB);
  const VerticalScale scale = ScaleFor(record, column, height);
  if (IsSampledType(record.FDataType)) {
    AddTimeTrace(record, column, trace_a ? TimeTraceRole::TraceA : TimeTraceRole::TraceB, axis,
                 scale, options, pen, items);
  } else if (record.FDataType == kRtaBands) {
    AddBandTrace(record, column, axis, scale, options, pen, items);
  } else {
    AddFrequencyTrace(record, column, axis, scale, options, pen, items);
  }
}

// Overlays use the shown record's range, division count and trace A scale, each in the colour
// of its row with its symbol repeated along the line.
void AddOverlays(const TDataMeas& shown, std::span<const MatchedOverlay> overlays,
                 const HorizontalAxis& axis, const PlotOptions& options, int height,
                 std::vector<DisplayItem>& items) {
  if (!IsShownColumn(shown, shown.FTraceA)) return;
  const VerticalScale scale = ScaleFor(shown, shown.FTraceA, height);
  for (const MatchedOverlay& overlay : overlays) {
    const Pen pen = TracePen(options, overlay.style.Color, options.TraceWidth);
    const std::size_t first_new = items.size();
    if (overlay.record.FDataType == kRtaBands) {
      AddBandTrace(overlay.record, overlay.column, axis, scale, options, pen, items);
    } else {
      AddFrequencyTrace(overlay.record, overlay.column, axis, scale, options, pen, items);
    }
    for (std::size_t i = first_new; i < items.size(); ++i) {
      if (const auto* line = std::get_if<PolylineItem>(&items[i])) {
        const std::vector<PixelPoint> path = line->points;
        AppendSymbolsAlong(items, path, overlay.style.Symbol, overlay.index,
                           options.OverlaySymbols, pen, options.OverlaySymbolSpacing);
        break;
      }
    }
  }
}

}  // namespace

DisplayLayer BuildGraph(const TDataMeas& record, const PlotView& view, const PlotOptions& options,
                        const TextMeasure& measure, const PixelRect& area) {
  DisplayLayer graph{area, {}};
  const int width = area.width;
  const int height = area.height;
  graph.items.push_back(FillRectItem{GraphBackground(record, options), {0, 0, width, height}});
  if (view.background && options.UseCustomBitmap && !PlainPaper(options)) {
    graph.items.push_back(
        PictureItem{view.background, {0, 0, width, height}, options.CustomBitmapStretched});
  }
  if (!IsXyKind(record.FPlotKind) || !HasDrawableAxis(record)) return graph;

  const HorizontalAxis axis = HorizontalAxis::ForRecord(record, width);
  AddDivisionGrid(record, options, width, height, graph.items);
  AddXGrid(record, axis, options, measure, height, graph.items);
  if (record.FOverlayFlag1 != 0) {
    AddOverlays(record, view.overlays, axis, options, height, graph.items);
  }
  if (IsShownColumn(record, record.FTraceB)) {
    AddTrace(record, record.FTraceB, false, axis, options, height, graph.items);
  }
  if (IsShownColumn(record, record.FTraceA)) {
    AddTrace(record, record.FTraceA, true, axis, options, height, graph.items);
  }
  return graph;
}

DisplayList BuildPlotPicture(const TDataMeas& record, const PlotView& view,
                             const PlotOptions& options, const TextMeasure& measure, int width,
                             int height, PlotLayout* layout) {
  const std::span<const MatchedOverlay> overlays =
      record.FOverlayFlag1 != 0 ? view.overlays : std::span<const MatchedOverlay>{};
  const bool legend_shown = record.FOverlayFlag2 != 0 && !overlays.empty();
  const TLegends legend = TLegends::ForOverlays(overlays);
  const PlotLayout parts =
      LayOutPlot({width, height, view.format_panel_visible, view.readout_height,
                  legend_shown ? legend.Height(measure) : 0});
  if (layout != nullptr) *layout = parts;

  DisplayList picture{width, height, {}};
  picture.layers.push_back(
      BuildPlotHeader(record, view.title, parts, width, height, options, measure));
  picture.layers.push_back(BuildGraph(record, view, options, measure, parts.graph));
  if (legend_shown) {
    picture.layers.push_back(
        legend.Draw(parts.legend, GraphBackground(record, options), options, measure,
                    options.OverlaySymbols));
  }
  return picture;
}

}  // namespace vireon
