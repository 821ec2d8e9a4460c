#include "plot/render/DisplayListPainter.h"

#include <QBrush>
#include <QFontMetrics>
#include <QImage>
#include <QLine>
#include <QList>
#include <QPen>
#include <QPoint>
#include <QPolygon>
#include <QRect>
#include <QString>

#include <algorithm>
#include <span>
#include <variant>

#include "plot/render/QtTextMeasure.h"

namespace vireon {
namespace {

Qt::PenStyle ToQtStyle(PenStyle style) {
  switch (style) {
    case PenStyle::Dot:
      return Qt::DotLine;
    case PenStyle::Dash:
      return Qt::DashLine;
    case PenStyle::DashDotDot:
      return Qt::DashDotDotLine;
    case PenStyle::Solid:
      break;
  }
  return Qt::SolidLine;
}

// A pen of width 0 or 1 is cosmetic: one pixel wide whatever the transform, and it lights
// both end pixels of a line. Wider pens are round at their ends and joins, so that a thick
// trace has no gaps or spikes at its bends.
QPen ToQPen(const Pen& pen) {
  QPen qt_pen(ToQColor(pen.color));
  qt_pen.setStyle(ToQtStyle(pen.style));
  if (pen.width <= 1) {
    qt_pen.setWidth(1);
    qt_pen.setCosmetic(true);
    qt_pen.setCapStyle(Qt::SquareCap);
  } else {
    qt_pen.setWidth(pen.width);
    qt_pen.setCapStyle(Qt::RoundCap);
    qt_pen.setJoinStyle(Qt::RoundJoin);
  }
  return qt_pen;
}

QPoint ToQPoint(PixelPoint point) { return {point.x, point.y}; }

QPolygon ToQPolygon(std::span<const PixelPoint> points) {
  QPolygon polygon;
  polygon.reserve(static_cast<qsizetype>(points.size()));
  for (const PixelPoint& point : points) polygon.append(ToQPoint(point));
  return polygon;
}

// Draws one item in the current layer's coordinates.
class ItemPainter {
 public:
  explicit ItemPainter(QPainter& painter) : painter_(painter) {}

  void operator()(const LineItem& line) const {
    painter_.setPen(ToQPen(line.pen));
    painter_.drawLine(ToQPoint(line.from), ToQPoint(line.to));
  }

  // A thin solid polyline is drawn as its separate segments, each lit from end to end as a
  // line is: Qt's cosmetic polyline drops a corner pixel where a segment turns back on the one
  // before and lights one past a corner after a steep segment, so a column's stroke would miss
  // or overshoot its extreme by a pixel. Styled pens keep one polyline for an unbroken pattern.
  void operator()(const PolylineItem& polyline) const {
    painter_.setPen(ToQPen(polyline.pen));
    const std::vector<PixelPoint>& points = polyline.points;
    if (polyline.pen.width > 1 || polyline.pen.style != PenStyle::Solid || points.size() < 2) {
      painter_.drawPolyline(ToQPolygon(points));
      return;
    }
    QList<QLine> segments;
    segments.reserve(static_cast<qsizetype>(points.size() - 1));
    for (std::size_t i = 1; i < points.size(); ++i) {
      segments.append(QLine(ToQPoint(points[i - 1]), ToQPoint(points[i])));
    }
    painter_.drawLines(segments);
  }

  void operator()(const PolygonItem& polygon) const {
    painter_.setPen(ToQPen(polygon.pen));
    painter_.setBrush(polygon.filled ? QBrush(ToQColor(polygon.fill)) : QBrush(Qt::NoBrush));
    painter_.drawPolygon(ToQPolygon(polygon.points));
    painter_.setBrush(Qt::NoBrush);
  }

  void operator()(const FillRectItem& fill) const {
    if (fill.rect.width <= 0 || fill.rect.height <= 0) return;
    painter_.fillRect(QRect(fill.rect.left, fill.rect.top, fill.rect.width, fill.rect.height),
                      ToQColor(fill.color));
  }

  // A pen of width w draws w one-pixel rings inward from the rectangle's edges.
  void operator()(const FrameRectItem& frame) const {
    const QPen ring = ToQPen(Pen{frame.pen.color, 1, frame.pen.style});
    painter_.setPen(ring);
    const PixelRect& rect = frame.rect;
    for (int i = 0; i < std::max(1, frame.pen.width); ++i) {
      const int left = rect.left + i;
      const int top = rect.top + i;
      const int right = rect.left + rect.width - 1 - i;
      const int bottom = rect.top + rect.height - 1 - i;
      if (right < left || bottom < top) break;
      const QPoint corners[] = {
          {left, top}, {right, top}, {right, bottom}, {left, bottom}, {left, top}};
      painter_.drawPolyline(corners, 5);
    }
  }

  // The picture's pixels are shown as they are, without a copy.
  void operator()(const PictureItem& item) const {
    const PixelPicture* picture = item.picture.get();
    if (picture == nullptr || picture->width <= 0 || picture->height <= 0 ||
        picture->pixels.size() < static_cast<std::size_t>(picture->width) * picture->height) {
      return;
    }
    const QImage image(reinterpret_cast<const uchar*>(picture->pixels.data()), picture->width,
                       picture->height, picture->width * 4, QImage::Format_RGB32);
    const QRect target(item.rect.left, item.rect.top, item.rect.width, item.rect.height);
    if (item.stretched) {
      painter_.drawImage(target, image);
      return;
    }
    painter_.save();
    painter_.setClipRect(target, Qt::IntersectClip);
    for (int y = target.top(); y <= target.bottom(); y += image.height()) {
      for (int x = target.left(); x <= target.right(); x += image.width()) {
        painter_.drawImage(QPoint(x, y), image);
      }
    }
    painter_.restore();
  }

  // The anchor names the corner or edge centre of the text's box that sits on the point; the
  // box's right and bottom edges are exclusive, so a right-anchored text ends left of x.
  void operator()(const TextItem& item) const {
    const QString text = PlotText(item.text);
    const QFontMetrics metrics = painter_.fontMetrics();
    const int width = metrics.horizontalAdvance(text);
    int left = item.at.x;
    int top = item.at.y;
    switch (item.anchor) {
      case TextAnchor::TopLeft:
      case TextAnchor::BottomLeft:
        break;
      case TextAnchor::TopCenter:
      case TextAnchor::BottomCenter:
        left -= width / 2;
        break;
      case TextAnchor::TopRight:
      case TextAnchor::BottomRight:
        left -= width;
        break;
    }
    if (item.anchor == TextAnchor::BottomLeft || item.anchor == TextAnchor::BottomCenter ||
        item.anchor == TextAnchor::BottomRight) {
      top -= metrics.height();
    }
    painter_.setPen(ToQColor(item.color));
    painter_.drawText(QPoint(left, top + metrics.ascent()), text);
  }

 private:
  QPainter& painter_;
};

}  // namespace

QColor ToQColor(PlotColor color) {
  return QColor(static_cast<int>(color & 0xFF), static_cast<int>((color >> 8) & 0xFF),
                static_cast<int>((color >> 16) & 0xFF));
}

void PaintDisplayList(QPainter& painter, const DisplayList& list) {
  painter.save();
  painter.setRenderHint(QPainter::Antialiasing, false);
  painter.setBrush(Qt::NoBrush);
  const ItemPainter item_painter(painter);
  for (const DisplayLayer& layer : list.layers) {
    const PixelRect& area = layer.area;
    if (area.width <= 0 || area.height <= 0) continue;
    painter.save();
    painter.setClipRect(QRect(area.left, area.top, area.width, area.height),
                        painter.hasClipping() ? Qt::IntersectClip : Qt::ReplaceClip);
    painter.translate(area.left, area.top);
    for (const DisplayItem& item : layer.items) std::visit(item_painter, item);
    painter.restore();
  }
  painter.restore();
}

}  // namespace vireon
