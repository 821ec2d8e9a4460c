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
  QImage image(width, height, QImage::Format_RGB32);
  if (image.isNull()) {
    throw VireonError("Not enough memory for a picture of " + std::to_string(width) + " x " +
                      std::to_string(height) + " pixels");
  }
  // Pixels the picture leaves uncovered are white rather than whatever the memory held.
  image.fill(Qt::white);
  const QFont font = PlotFont();
  const DisplayList picture =
      BuildPlotPicture(record, view, options, QtTextMeasure(font), width, height);
  QPainter painter(&image);
  painter.setFont(font);
  PaintDisplayList(painter, picture);
  return image;
}

}  // namespace vireon
