#include "plot/PlotLayout.h"

#include <algorithm>

namespace vireon {
namespace {

constexpr int kSideMargin = 5;     // left and right of the graph; 10 pixels in all
constexpr int kFrameTop = 3;       // the face's highlight line
constexpr int kHeaderHeight = 17;  // the description, title and date line above the graph
constexpr int kLegendGap = 4;      // between the graph and the legend
constexpr int kReadoutGap = 2;     // above and below the readout rows (4 in all)

int Bottom(const PixelRect& rect) { return rect.top + rect.height; }

}  // namespace

PlotLayout LayOutPlot(const PlotLayoutInput& input) {
  const int panel = input.format_panel_visible ? kFormatPanelHeight : 0;
  const bool readouts_shown = input.readout_height > 0;
  const int readouts = readouts_shown ? input.readout_height + 2 * kReadoutGap : 0;
  const int space = std::max(input.height - panel - readouts - input.legend_height - 19, 20);
  const int inner_width = std::max(input.width - 2 * kSideMargin, 1);

  PlotLayout layout;
  layout.header = {kSideMargin, kFrameTop, inner_width, kHeaderHeight};
  layout.graph = {kSideMargin, Bottom(layout.header), inner_width, space - 10};
  layout.legend = {kSideMargin, Bottom(layout.graph) + kLegendGap, inner_width,
                   input.legend_height};
  const int readout_gap = readouts_shown ? kReadoutGap : 0;
  layout.readouts = {kSideMargin, Bottom(layout.legend) + readout_gap, inner_width,
                     std::max(input.readout_height, 0)};
  layout.format_panel = {kFrameTop, Bottom(layout.readouts) + readout_gap,
                         std::max(input.width - kFrameTop - 2, 1), panel};
  return layout;
}

}  // namespace vireon
