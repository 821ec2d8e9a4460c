#pragma once

#include <span>
#include <string>
#include <vector>

#include "plot/DisplayList.h"
#include "plot/OverlaySymbols.h"
#include "plot/Overlays.h"
#include "plot/PlotOptions.h"
#include "plot/TextMeasure.h"

namespace vireon {

// One line of the legend: its text and the look of the overlay it names.
struct LegendLine {
  std::string text;
  OverlayStyle style;
};

// The legend strip under the graph: a white box with a black frame and one line per matched
// overlay, each a sample of the overlay's pen and symbol followed by its legend text.
class TLegends {
 public:
  TLegends() = default;
  explicit TLegends(std::vector<LegendLine> lines) : lines_(std::move(lines)) {}
  static TLegends ForOverlays(std::span<const MatchedOverlay> overlays);

  const std::vector<LegendLine>& lines() const { return lines_; }

  // The strip's height for the layout; 0 without lines.
  int Height(const TextMeasure& measure) const;

  // The strip drawn into `area` (control coordinates; the items are the layer's own), the
  // samples on the plot's background colour.
  DisplayLayer Draw(const PixelRect& area, PlotColor background, const PlotOptions& options,
                    const TextMeasure& measure, const SymbolSize& symbols = {}) const;

 private:
  std::vector<LegendLine> lines_;
};

// The longest start of `text` at most `max_width` pixels wide.
std::string ShortenToWidth(const std::string& text, int max_width, const TextMeasure& measure);

}  // namespace vireon
