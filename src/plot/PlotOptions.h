#pragma once

#include <cstdint>

#include "plot/OverlaySymbols.h"
#include "record/RecordDefaults.h"

namespace vireon {

// How a printout colours the plot: 0 black and white, 1 coloured lines, 2 lines and fill.
enum class PrintColorMode : std::uint8_t { BlackAndWhite = 0, ColoredLines = 1, ColoredFill = 2 };

// What a plot draws with besides its record: the main form's display options, the control's
// own settings and whether it is printing. Passed to every drawing step; a default instance
// draws as a new screen plot does.
struct PlotOptions {
  int TraceWidth = 1;                      // trace A; configuration key "TraceWidth"
  int TraceWidthB = 1;                     // trace B
  bool PhaseInvert = false;                // phase curves turned by 180° ("PhaseInv")
  bool DashedGrid = false;                 // the main form's dashed-grid option
  bool DistortionAsPercent = true;         // "Show Distortion As Percent"
  std::int32_t DistortionDisplayMode = 0;  // the main form's distortion display mode
  bool LivePlot = false;                   // a live window: no title, no acquisition date
  bool LiveImpulse = false;                // a live impulse plot: the window is the whole record
  bool Printing = false;
  PrintColorMode PrintColors = PrintColorMode::ColoredFill;
  SymbolSize OverlaySymbols;                     // printouts grow them with their size
  double OverlaySymbolSpacing = kSymbolSpacing;  // along an overlay curve, in pixels
  PlotColor WindowExclusionColor = 0xFFFF00;  // trace A outside a time record's window
  bool UseCustomBitmap = true;                // "Use BMP": a loaded background picture shows
  bool CustomBitmapStretched = false;         // stretched over the graph, else tiled
};

// The colour a pen of `color` takes on this surface: black on a black-and-white printout.
constexpr PlotColor InkColor(const PlotOptions& options, PlotColor color) {
  return options.Printing && options.PrintColors == PrintColorMode::BlackAndWhite ? 0 : color;
}

}  // namespace vireon
