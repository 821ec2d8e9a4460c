#pragma once

#include <QFont>
#include <QImage>
#include <QPaintDevice>
#include <QString>

#include "plot/DisplayList.h"
#include "plot/PlotOptions.h"
#include "plot/PlotPicture.h"
#include "record/DataObj.h"

namespace vireon {

// A printed plot is this many pixels at size factor 1; the factor multiplies both.
inline constexpr int kPrintImageWidth = 703;
inline constexpr int kPrintImageHeight = 328;

// How a printout of `size_factor` (1 "Screen", 2 "Double") draws: the screen's options with
// printing on in `colors` and the overlay symbols and their spacing grown with the factor,
// and the plot font scaled by width / 703.
struct PrintLook {
  PlotOptions options;
  int width = kPrintImageWidth;
  int height = kPrintImageHeight;
  QFont font;
};
// Needs a running QGuiApplication for the font.
PrintLook PrintLookFor(const PlotOptions& screen, PrintColorMode colors, int size_factor);

// The colour mode of the print options' index (0, 1, 2); others print in colour with fill.
PrintColorMode PrintColorModeOf(int index);

// A plot made ready for paper: the graph image (grid, labels, overlays, curves and, when
// shown, the overlay legend under the graph) and the header line that goes above it (the
// record's description, the plot title and the acquisition date), both in image pixels.
struct PrintedPlot {
  QImage image;
  DisplayList header;
  QFont font;  // what both were measured in
};
// Throws VireonError when the image cannot be allocated.
PrintedPlot RenderPrintedPlot(const TDataMeas& record, const PlotView& view, const PrintLook& look);

// The name of a print job or PDF document: "QM " + the plot title prefix + " Data Plot".
QString PrintJobTitle();

// A page (printer, PDF or image) with the image centred on it and the header line right above
// it, at the size the image has on a 96-dpi screen, shrunk to fit a smaller page. False when the
// device could not be painted on or not finished (a printer or file that failed).
bool PaintPrintPage(QPaintDevice& page, const PrintedPlot& plot);
// The same for a picture without a header.
bool PaintCentredOnPage(QPaintDevice& page, const QImage& image);

}  // namespace vireon
