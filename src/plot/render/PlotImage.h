#pragma once

#include <QFont>
#include <QImage>

#include "plot/PlotOptions.h"
#include "plot/PlotPicture.h"
#include "record/DataObj.h"

namespace vireon {

// The plot control showing the record as the view sets it out, drawn as an RGB32 image of
// exactly width × height pixels (each at least 1) in the plot font. Needs a running
// QGuiApplication for the font; throws VireonError when the image cannot be allocated.
QImage RenderPlotImage(const TDataMeas& record, const PlotView& view, const PlotOptions& options,
                       int width, int height);

// A picture already built in `font`'s metrics, painted on an RGB32 image of its size.
QImage PaintPlotPicture(const DisplayList& picture, const QFont& font);

}  // namespace vireon
