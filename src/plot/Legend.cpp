#include "plot/Legend.h"

#include <string_view>
#include <utility>

namespace vireon {
namespace {

constexpr PlotColor kBoxColor = 0xFFFFFF;
constexpr PlotColor kInkColor = 0x000000;
constexpr int kLineGap = 3;       // between the text lines
constexpr int kSampleWidth = 50;  // the pen and symbol sample left of each line
constexpr int kTextLeft = 52;
constexpr int kTextRightSpace = 63;  // legend width less this is the longest text
constexpr int kTextDrop = 2;         // text top below its line's top

int LinePitch(const TextMeasure& measure) { return measure.Height() + kLineGap; }

}  // namespace

TLegends TLegends::ForOverlays(std::span<const MatchedOverlay> overlays) {
  std::vector<LegendLine> lines;
  lines.reserve(overlays.size());
  for (const MatchedOverlay& overlay : overlays) {
    lines.push_back({overlay.legend_text, overlay.style});
  }
  return TLegends(std::move(lines));
}

int TLegends::Height(const TextMeasure& measure) const {
  if (lines_.empty()) return 0;
  // One frame pixel above, the lines, a free row and the frame pixel below.
  return static_cast<int>(lines_.size()) * LinePitch(measure) + 3;
}

DisplayLayer TLegends::Draw(const PixelRect& area, PlotColor background, const PlotOptions& options,
                            const TextMeasure& measure, const SymbolSize& symbols) const {
  DisplayLayer layer{area, {}};
  const PixelRect box{0, 0, area.width, area.height};
  layer.items.push_back(FillRectItem{kBoxColor, box});
  layer.items.push_back(FrameRectItem{Pen{kInkColor}, box});
  const int pitch = LinePitch(measure);
  const int text_width = area.width - kTextRightSpace;
  for (std::size_t i = 0; i < lines_.size(); ++i) {
    const int top = 1 + static_cast<int>(i) * pitch;
    const int middle = top + pitch / 2;
    const Pen pen{InkColor(options, lines_[i].style.Color), options.TraceWidth};
    layer.items.push_back(FillRectItem{background, PixelRect{1, top, kSampleWidth, pitch}});
    layer.items.push_back(LineItem{pen, {3, middle}, {kSampleWidth - 2, middle}});
    AppendSymbol(layer.items, lines_[i].style.Symbol, {1 + kSampleWidth / 2, middle}, symbols, pen);
    layer.items.push_back(TextItem{kInkColor,
                                   {kTextLeft, top + kTextDrop},
                                   TextAnchor::TopLeft,
                                   ShortenToWidth(lines_[i].text, text_width, measure)});
  }
  return layer;
}

std::string ShortenToWidth(const std::string& text, int max_width, const TextMeasure& measure) {
  // Text widths grow with its length, so the longest fitting start is found by halving.
  std::size_t fits = 0;
  std::size_t too_long = text.size() + 1;
  while (too_long - fits > 1) {
    const std::size_t middle = fits + (too_long - fits) / 2;
    if (measure.Width(std::string_view(text).substr(0, middle)) <= max_width) {
      fits = middle;
    } else {
      too_long = middle;
    }
  }
  return text.substr(0, fits);
}

}  // namespace vireon
