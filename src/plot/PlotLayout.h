#pragma once

#include "plot/DisplayList.h"

namespace vireon {

inline constexpr int kFormatPanelHeight = 61;

// What the control's layout depends on besides its size.
struct PlotLayoutInput {
  int width = 0;
  int height = 0;
  bool format_panel_visible = false;
  int readout_height = 0;  // of the visible readout rows together; 0 when none is visible
  int legend_height = 0;   // 0 without a legend
};

// Where the parts of the control sit, top to bottom inside its frame: the header line, the
// graph bitmap, the legend, the readout rows and the format panel.
struct PlotLayout {
  PixelRect header;
  PixelRect graph;
  PixelRect legend;
  PixelRect readouts;
  PixelRect format_panel;
};

// The graph is 10 pixels narrower than the control; its height is what the other parts
// leave less 19 pixels, at least 20, then 10 pixels less.
PlotLayout LayOutPlot(const PlotLayoutInput& input);

}  // namespace vireon
