#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "plot/DisplayList.h"
#include "plot/PlotAxes.h"
#include "plot/PlotOptions.h"
#include "plot/TextMeasure.h"
#include "record/DataObj.h"

namespace vireon {

// The grid of the graph layer, in graph bitmap coordinates (x 0..W-1, y 0..H-1): division
// lines with the value labels of traces A and B, vertical lines with their x labels, and the
// centre marker.

// Significant digits of every grid label.
inline constexpr int kGridLabelDigits = 4;

// One vertical grid line: its pixel column, the x value it stands for, whether it carries a
// label and the pen style it takes with the dashed-grid option.
struct XGridLine {
  int pixel = 0;
  double value = 0.0;
  bool labelled = false;
  PenStyle style = PenStyle::Solid;
  bool operator==(const XGridLine&) const = default;
};

// The vertical lines of an axis, left to right: leading-digit steps on a log axis (labels at
// 1, 2 and 5), 1-2-5 steps on linear and time axes.
std::vector<XGridLine> XGridLines(const HorizontalAxis& axis, bool dashed_grid);

// Value of division line `line` (0 = top) of a curve, in the curve's display units.
double DivisionLabelValue(const TFieldType& curve, std::int32_t line, std::int32_t divisions);

// The label of that line for the curve in `column`: engineering format, percent for distortion
// shown as percent, the unit appended on the reference line, at most 9 characters.
std::string DivisionLabelText(const TDataMeas& record, int column, const PlotOptions& options,
                              std::int32_t line, std::int32_t divisions);

// Horizontal division lines, the labels of the shown traces (A at the left edge, B at the
// right) and the triangles that mark their reference lines.
void AddDivisionGrid(const TDataMeas& record, const PlotOptions& options, int width, int height,
                     std::vector<DisplayItem>& graph);

// Vertical grid lines, their x labels and the centre marker. A time axis (that of a sampled
// record) gets short ticks around the middle division line, and a full-height line at 0 s
// when it starts before it.
void AddXGrid(const TDataMeas& record, const HorizontalAxis& axis, const PlotOptions& options,
              const TextMeasure& measure, int height, std::vector<DisplayItem>& graph);

}  // namespace vireon
