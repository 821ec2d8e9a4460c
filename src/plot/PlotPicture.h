#pragma once

#include <memory>
#include <span>
#include <string>

#include "plot/DisplayList.h"
#include "plot/Overlays.h"
#include "plot/PlotHeader.h"
#include "plot/PlotLayout.h"
#include "plot/PlotOptions.h"
#include "plot/TextMeasure.h"
#include "record/DataObj.h"

namespace vireon {

// What the control adds to its record when it draws: its title, the parts around the graph
// and the overlay curves already loaded and matched to the record.
struct PlotView {
  std::string title{kDefaultPlotTitle};
  bool format_panel_visible = false;
  int readout_height = 0;  // of the visible readout rows together
  std::span<const MatchedOverlay> overlays;
  std::shared_ptr<const PixelPicture> background;  // the control's custom bitmap, if loaded
};

// The whole plot control of `width` × `height` pixels showing a record, as a display list:
// the frame and header, the graph with its grid, labels, overlays and curves (trace B first,
// trace A on top), and the legend. The widget paints it and `vireon-cli plot` writes it as a
// picture. `layout` receives where the parts went (the graph's rectangle for the mouse).
DisplayList BuildPlotPicture(const TDataMeas& record, const PlotView& view,
                             const PlotOptions& options, const TextMeasure& measure, int width,
                             int height, PlotLayout* layout = nullptr);

// The graph layer alone, width × height pixels in its own coordinates.
DisplayLayer BuildGraph(const TDataMeas& record, const PlotView& view, const PlotOptions& options,
                        const TextMeasure& measure, const PixelRect& area);

}  // namespace vireon
