#include "plot/render/PlotImage.h"

#include <QFont>
#include <QPainter>

#include <string>

#include "common/VireonError.h"
#include "plot/render/DisplayListPainter.h"
#include "plot/render/QtTextMeasure.h"

namespace vireon {

QImage RenderPlotImage(const TDataMeas& record, const PlotView& view, const PlotOptions& options,
                       int width, int height) {
  if (width < 1 || height < 1) {
    throw VireonError("A picture needs at least one pixel, not " + std::to_string(width) + " x " +
                      std::to_string(height));
  }
  const QFont font = PlotFont();
  return PaintPlotPicture(
      BuildPlotPicture(record, view, options, QtTextMeasure(font), width, height), font);
}

QImage PaintPlotPicture(const DisplayList& picture, const QFont& font) {
  QImage image(picture.width, picture.height, QImage::Format_RGB32);
  if (image.isNull()) {
    throw VireonError("Not enough memory for a picture of " + std::to_string(picture.width) +
                      " x " + std::to_string(picture.height) + " pixels");
  }
  // Pixels the picture leaves uncovered are white rather than whatever the memory held.
  image.fill(Qt::white);
  QPainter painter(&image);
  painter.setFont(font);
  PaintDisplayList(painter, picture);
  return image;
}

}  // namespace vireon
