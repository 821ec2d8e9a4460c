#include "plot/PlotGrid.h"

#include <algorithm>
#include <climits>
#include <cmath>
#include <cstddef>
#include <limits>

#include "plot/CurveRules.h"
#include "plot/EngineeringFormat.h"

namespace vireon {
namespace {

constexpr std::size_t kMaxLabelLength = 9;
// A grid whose lines keep landing on one pixel column has run out of resolution (a range too
// wide for its pixels or for double precision): stop rather than loop on.
constexpr int kMaxRepeatedPixel = 100;

// Column shown as a trace, or -1 when the index names no used column.
int ShownColumn(const TDataMeas& record, std::int32_t trace_column) {
  return trace_column >= 0 && trace_column < record.FNumFields ? trace_column : -1;
}

// Counts how often consecutive lines fall on the same pixel column.
class RepeatGuard {
 public:
  // False once a pixel has repeated more than the limit.
  bool Accept(int pixel) {
    if (pixel != last_pixel_) {
      last_pixel_ = pixel;
      repeats_ = 0;
      return true;
    }
    return ++repeats_ <= kMaxRepeatedPixel;
  }

 private:
  int last_pixel_ = INT_MIN;
  int repeats_ = 0;
};

// Leading-digit steps: d·10^k for d = 1..9, each decade ten times the step of the last, from
// the start truncated to its leading digit. The end line may round onto pixel W: it is drawn on
// the last pixel so that the stop frequency of the axis keeps its line.
std::vector<XGridLine> LogGridLines(const HorizontalAxis& axis, bool dashed_grid) {
  const double first = FloorLeadingDigit(axis.start());
  double unit = std::pow(10.0, std::floor(std::log10(first) + 1e-9));
  int digit = std::clamp(static_cast<int>(std::lround(first / unit)), 1, 9);
  std::vector<XGridLine> lines;
  RepeatGuard guard;
  for (;;) {
    const double value = digit * unit;
    const int pixel = axis.PixelOf(value);
    if (pixel > axis.width() || !guard.Accept(pixel)) break;
    if (pixel >= 0) {
      const PenStyle style = !dashed_grid ? PenStyle::Solid
                             : digit == 1 ? PenStyle::Solid
                             : digit == 5 ? PenStyle::DashDotDot
                                          : PenStyle::Dot;
      lines.push_back({std::min(pixel, axis.width() - 1), value,
                       digit == 1 || digit == 2 || digit == 5, style});
    }
    if (++digit == 10) {
      digit = 1;
      unit *= 10.0;
    }
  }
  return lines;
}

// Steps of a 1-2-5 tenth of the span, from the first multiple of the step past the start.
std::vector<XGridLine> LinearGridLines(const HorizontalAxis& axis, bool dashed_grid) {
  const double start = axis.start();
  const double step = Round125((axis.stop() - start) / 10.0);
  double index = std::trunc(start / step);
  if (index * step <= start) index += 1.0;
  const PenStyle style =
      dashed_grid && axis.kind() == HorizontalAxis::Kind::Linear ? PenStyle::Dot : PenStyle::Solid;
  std::vector<XGridLine> lines;
  RepeatGuard guard;
  for (;; index += 1.0) {
    const double value = index * step;
    const int pixel = axis.PixelOf(value);
    if (pixel >= axis.width() || !guard.Accept(pixel)) break;
    if (pixel >= 0) lines.push_back({pixel, value, value - start > 1e-6, style});
  }
  return lines;
}

// An x label 2 pixels right of its line, or left of it where it would run past the right edge.
TextItem XLabel(const XGridLine& line, int label_y, PlotColor ink, const TextMeasure& measure,
                int width) {
  std::string text = EngFormat(line.value, kGridLabelDigits);
  const bool fits_right = line.pixel + 2 + measure.Width(text) <= width;
  return TextItem{ink,
                  {fits_right ? line.pixel + 2 : line.pixel - 2, label_y},
                  fits_right ? TextAnchor::TopLeft : TextAnchor::TopRight,
                  std::move(text)};
}

// A vertical line with a 10-pixel bar near each end, at the record's centre x.
void AddCenterMarker(const TDataMeas& record, const HorizontalAxis& axis, PlotColor ink, int height,
                     std::vector<DisplayItem>& graph) {
  if (!(record.FVertLimit3 > -1000.0)) return;
  const int x = axis.PixelOf(record.FVertLimit3);
  if (x < 0 || x >= axis.width()) return;
  const Pen pen{ink, 1, PenStyle::Solid};
  graph.push_back(LineItem{pen, {x, 0}, {x, height - 1}});
  for (const int y : {5, height - 6}) graph.push_back(LineItem{pen, {x - 5, y}, {x + 5, y}});
}

// The solid triangle at the graph's edge that points at a trace's reference line: one third of
// a division long, one sixth of a division high, mirrored for the right edge.
PolygonItem ReferenceTriangle(PlotColor color, int y, double division, bool right_edge, int width) {
  const int tip = RoundToPixel(division / 3.0);
  const int half_height = RoundToPixel(division / 12.0);
  const auto at = [&](int x) { return right_edge ? width - 1 - x : x; };
  return PolygonItem{Pen{color, 1, PenStyle::Solid},
                     true,
                     color,
                     {{at(0), y - half_height}, {at(tip), y}, {at(0), y + half_height}}};
}

}  // namespace

std::vector<XGridLine> XGridLines(const HorizontalAxis& axis, bool dashed_grid) {
  if (!std::isfinite(axis.start()) || !std::isfinite(axis.stop() - axis.start())) return {};
  return axis.kind() == HorizontalAxis::Kind::Log ? LogGridLines(axis, dashed_grid)
                                                  : LinearGridLines(axis, dashed_grid);
}

double DivisionLabelValue(const TFieldType& curve, std::int32_t line, std::int32_t divisions) {
  return -curve.RefValue - (static_cast<double>(line) + curve.RefDiv - divisions) * curve.PerDiv;
}

std::string DivisionLabelText(const TDataMeas& record, int column, const PlotOptions& options,
                              std::int32_t line, std::int32_t divisions) {
  if (column < 0 || column >= kMaxColumns) return {};
  const TFieldType& curve = record.FFields[static_cast<std::size_t>(column)];
  const bool percent = ShowsDistortionPercent(record, column, options);
  const double value = DivisionLabelValue(curve, line, divisions);
  std::string text = EngFormat(percent ? PercentOfDb(value) : value, kGridLabelDigits);
  if (static_cast<std::int64_t>(line) + curve.RefDiv == divisions) {
    text += percent ? "%" : curve.Units;
  }
  if (text.size() > kMaxLabelLength) text.resize(kMaxLabelLength);
  return text;
}

void AddDivisionGrid(const TDataMeas& record, const PlotOptions& options, int width, int height,
                     std::vector<DisplayItem>& graph) {
  const std::int32_t divisions = DivisionCount(record);
  const PlotColor ink = InkColor(options, record.FColors[1]);
  const Pen pen{ink, 1, options.DashedGrid ? PenStyle::Dot : PenStyle::Solid};
  for (std::int32_t line = 1; line < divisions; ++line) {
    const int y = GridLineY(line, divisions, height);
    graph.push_back(LineItem{pen, {0, y}, {width - 1, y}});
  }

  const double division = static_cast<double>(height - 1) / divisions;
  struct Trace {
    int column;
    PlotColor color;
    bool right_edge;
  };
  const Trace traces[] = {{ShownColumn(record, record.FTraceA), record.FColors[3], false},
                          {ShownColumn(record, record.FTraceB), record.FColors[4], true}};
  for (const Trace& trace : traces) {
    if (trace.column < 0) continue;
    const std::int32_t reference_division =
        record.FFields[static_cast<std::size_t>(trace.column)].RefDiv;
    for (std::int32_t line = 1; line < divisions; ++line) {
      const int y = GridLineY(line, divisions, height);
      graph.push_back(TextItem{ink,
                               {trace.right_edge ? width - 4 : 3, y + 1},
                               trace.right_edge ? TextAnchor::TopRight : TextAnchor::TopLeft,
                               DivisionLabelText(record, trace.column, options, line, divisions)});
      if (static_cast<std::int64_t>(line) + reference_division == divisions) {
        graph.push_back(ReferenceTriangle(InkColor(options, trace.color), y, division,
                                          trace.right_edge, width));
      }
    }
  }
}

void AddXGrid(const TDataMeas& record, const HorizontalAxis& axis, const PlotOptions& options,
              const TextMeasure& measure, int height, std::vector<DisplayItem>& graph) {
  const PlotColor ink = InkColor(options, record.FColors[1]);
  const bool time_axis = axis.kind() == HorizontalAxis::Kind::Time;
  int top = 0;
  int bottom = height - 1;
  int label_y = record.FGridFlag != 0 ? height - RoundToPixel(measure.Height() * 1.1 + 2.0) : 15;
  if (time_axis) {
    // Sampled records get short ticks around the middle division line, where their zero sits.
    const std::int32_t divisions = DivisionCount(record);
    const int middle = GridLineY(divisions - divisions / 2, divisions, height);
    const int reach = RoundToPixel(0.025 * height);
    top = middle - reach;
    bottom = middle + reach;
    label_y = bottom - 14;
  }

  // A label that would run into the one before it (the last one, moved left of its line at
  // the right edge) is left out.
  int labels_end = std::numeric_limits<int>::min();
  for (const XGridLine& line : XGridLines(axis, options.DashedGrid)) {
    graph.push_back(LineItem{Pen{ink, 1, line.style}, {line.pixel, top}, {line.pixel, bottom}});
    if (!line.labelled) continue;
    TextItem label = XLabel(line, label_y, ink, measure, axis.width());
    const int label_width = measure.Width(label.text);
    const int left = label.anchor == TextAnchor::TopLeft ? label.at.x : label.at.x - label_width;
    if (left <= labels_end) continue;
    labels_end = left + label_width;
    graph.push_back(std::move(label));
  }

  if (time_axis && axis.start() < 0.0) {
    const int zero = axis.PixelOf(0.0);
    if (zero >= 0 && zero < axis.width()) {
      const Pen pen{ink, 1, options.DashedGrid ? PenStyle::Dot : PenStyle::Solid};
      graph.push_back(LineItem{pen, {zero, 0}, {zero, height - 1}});
    }
  }
  AddCenterMarker(record, axis, ink, height, graph);
}

}  // namespace vireon
