#include "plot/OverlaySymbols.h"

#include <algorithm>
#include <cmath>
#include <numbers>
#include <optional>
#include <utility>

#include "plot/PlotAxes.h"

namespace vireon {
namespace {

// Enough corners that a 10-pixel circle looks round.
constexpr int kCircleCorners = 16;

// The overlays' symbols are staggered by this fraction of the spacing so that symbols of
// different overlays do not sit on top of each other.
constexpr double kStaggerDivisor = 7.3;

PolygonItem Outline(const Pen& pen, std::vector<PixelPoint> corners) {
  return PolygonItem{pen, false, 0, std::move(corners)};
}

std::vector<PixelPoint> CircleCorners(PixelPoint c, int radius) {
  std::vector<PixelPoint> corners;
  corners.reserve(kCircleCorners);
  for (int i = 0; i < kCircleCorners; ++i) {
    const double angle = 2.0 * std::numbers::pi * i / kCircleCorners;
    corners.push_back({c.x + RoundToPixel(radius * std::cos(angle)),
                       c.y + RoundToPixel(radius * std::sin(angle))});
  }
  return corners;
}

// The height of the line where it first reaches column x, if it does.
std::optional<int> HeightAt(std::span<const PixelPoint> line, std::size_t& segment, int x) {
  while (segment + 1 < line.size() && line[segment + 1].x < x) ++segment;
  const PixelPoint a = line[segment];
  if (segment + 1 == line.size()) {
    return a.x == x ? std::optional<int>(a.y) : std::nullopt;
  }
  const PixelPoint b = line[segment + 1];
  if (x < a.x || x > b.x) return std::nullopt;
  if (a.x == b.x) return a.y;
  return a.y + RoundToPixel(static_cast<double>(b.y - a.y) * (x - a.x) / (b.x - a.x));
}

}  // namespace

void AppendSymbol(std::vector<DisplayItem>& items, std::uint8_t code, PixelPoint c,
                  const SymbolSize& size, const Pen& pen) {
  const int f = size.full;
  const int d = size.diagonal;
  switch (static_cast<OverlaySymbol>(code)) {
    case OverlaySymbol::Circle:
      items.push_back(Outline(pen, CircleCorners(c, f)));
      break;
    case OverlaySymbol::Square:
      items.push_back(Outline(
          pen, {{c.x - d, c.y - d}, {c.x + d, c.y - d}, {c.x + d, c.y + d}, {c.x - d, c.y + d}}));
      break;
    case OverlaySymbol::Diamond:
      items.push_back(
          Outline(pen, {{c.x, c.y - f}, {c.x + f, c.y}, {c.x, c.y + f}, {c.x - f, c.y}}));
      break;
    case OverlaySymbol::Triangle:
      items.push_back(Outline(pen, {{c.x, c.y - f}, {c.x + f, c.y + d}, {c.x - f, c.y + d}}));
      break;
    case OverlaySymbol::Plus:
      items.push_back(LineItem{pen, {c.x - f, c.y}, {c.x + f, c.y}});
      items.push_back(LineItem{pen, {c.x, c.y - f}, {c.x, c.y + f}});
      break;
    case OverlaySymbol::Cross:
      items.push_back(LineItem{pen, {c.x - d, c.y - d}, {c.x + d, c.y + d}});
      items.push_back(LineItem{pen, {c.x - d, c.y + d}, {c.x + d, c.y - d}});
      break;
    case OverlaySymbol::InvertedTriangle:
      items.push_back(Outline(pen, {{c.x, c.y + f}, {c.x - f, c.y - d}, {c.x + f, c.y - d}}));
      break;
  }
}

std::vector<PixelPoint> SymbolPositions(std::span<const PixelPoint> polyline, int overlay_index,
                                        double spacing) {
  std::vector<PixelPoint> positions;
  if (polyline.empty() || !(spacing >= 1.0)) return positions;
  const double shift = overlay_index * spacing / kStaggerDivisor;
  const int first_x = polyline.front().x;
  const double last_x = polyline.back().x;
  // Start at the first column the line can reach instead of counting up from 0.
  std::size_t segment = 0;
  for (double k = std::max(0.0, std::floor((first_x - shift) / spacing));; k += 1.0) {
    const double position = k * spacing + shift;
    if (position >= last_x + 0.5) break;  // rounds past the line's last column
    const int x = RoundToPixel(position);
    if (const auto y = HeightAt(polyline, segment, x)) positions.push_back({x, *y});
  }
  return positions;
}

void AppendSymbolsAlong(std::vector<DisplayItem>& items, std::span<const PixelPoint> polyline,
                        std::uint8_t code, int overlay_index, const SymbolSize& size,
                        const Pen& pen, double spacing) {
  for (const PixelPoint at : SymbolPositions(polyline, overlay_index, spacing)) {
    AppendSymbol(items, code, at, size, pen);
  }
}

}  // namespace vireon
