#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <variant>
#include <vector>

#include "record/RecordDefaults.h"

namespace vireon {

// A picture as a list of drawing steps in pixel coordinates (x to the right, y down, origin at
// the top-left corner of the surface). The plot builds it without a toolkit so that every label
// and coordinate can be checked as values; the renderer replays it on an image or the screen.
struct PixelPoint {
  int x = 0;
  int y = 0;
  bool operator==(const PixelPoint&) const = default;
};

struct PixelRect {
  int left = 0;
  int top = 0;
  int width = 0;
  int height = 0;
  bool operator==(const PixelRect&) const = default;
};

enum class PenStyle : std::uint8_t { Solid, Dot, Dash, DashDotDot };

struct Pen {
  PlotColor color = 0;  // 0x00BBGGRR
  int width = 1;
  PenStyle style = PenStyle::Solid;
  bool operator==(const Pen&) const = default;
};

// Where the anchor point sits on the text's box.
enum class TextAnchor : std::uint8_t {
  TopLeft,
  TopCenter,
  TopRight,
  BottomLeft,
  BottomCenter,
  BottomRight,
};

struct LineItem {
  Pen pen;
  PixelPoint from;
  PixelPoint to;
};

struct PolylineItem {
  Pen pen;
  std::vector<PixelPoint> points;
};

// A closed shape outlined with the pen and filled with `fill` when `filled`.
struct PolygonItem {
  Pen pen;
  bool filled = true;
  PlotColor fill = 0;
  std::vector<PixelPoint> points;
};

struct FillRectItem {
  PlotColor color = 0;
  PixelRect rect;
};

// Outline of a rectangle, the pen drawn inside its edges.
struct FrameRectItem {
  Pen pen;
  PixelRect rect;
};

// Text bytes as the record stores them (8-bit, "\xB0" for °), decoded at the edge.
struct TextItem {
  PlotColor color = 0;
  PixelPoint at;
  TextAnchor anchor = TextAnchor::TopLeft;
  std::string text;
};

// A decoded picture: rows of 0xFFRRGGBB pixels, top row first.
struct PixelPicture {
  int width = 0;
  int height = 0;
  std::vector<std::uint32_t> pixels;  // width · height
};

// A picture over a rectangle, stretched to fill it or tiled from its top-left corner.
struct PictureItem {
  std::shared_ptr<const PixelPicture> picture;
  PixelRect rect;
  bool stretched = false;
};

using DisplayItem = std::variant<LineItem, PolylineItem, PolygonItem, FillRectItem, FrameRectItem,
                                 TextItem, PictureItem>;

// Items in the layer's own coordinates, drawn shifted to `area` and clipped to it: the graph
// is drawn in its bitmap's coordinates, the frame and header around it in the control's.
struct DisplayLayer {
  PixelRect area;
  std::vector<DisplayItem> items;
};

// A whole picture, layers drawn in order.
struct DisplayList {
  int width = 0;
  int height = 0;
  std::vector<DisplayLayer> layers;
};

}  // namespace vireon
