#include "plot/render/PlotPrint.h"

#include <QPainter>
#include <QRect>

#include <algorithm>
#include <cmath>
#include <variant>

#include "plot/Legend.h"
#include "plot/PlotHeader.h"
#include "plot/PlotLayout.h"
#include "plot/PlotWindowRules.h"
#include "plot/render/DisplayListPainter.h"
#include "plot/render/PlotImage.h"
#include "plot/render/QtTextMeasure.h"

namespace vireon {
namespace {

// The pictures are laid out in screen pixels; a page shows them at this screen resolution.
constexpr double kScreenDpi = 96.0;
// Square and cross reach their corners along the diagonal, so they are drawn this much
// smaller than the other symbols.
constexpr double kDiagonalSymbolRatio = 0.707;
constexpr int kSymbolHalfSize = SymbolSize{}.full;  // the screen's, grown with the size
constexpr int kLegendGap = 4;                       // between the graph and the legend
constexpr int kHeaderTextGap = 2;  // free rows between the header texts and the image
constexpr PlotColor kPaper = 0xFFFFFF;

int Scaled(double value, int factor) { return static_cast<int>(std::lround(value * factor)); }

// The header line without the control's face and frame: on paper only its texts and the
// title's box remain.
DisplayList PageHeader(const TDataMeas& record, const PlotView& view, const PrintLook& look,
                       const TextMeasure& measure) {
  const int height = measure.Height() + 2 * kHeaderTextGap;
  PlotLayout layout;
  layout.header = {0, 0, look.width, height};
  layout.graph = {0, height, look.width, look.height};
  DisplayLayer header =
      BuildPlotHeader(record, view.title, layout, look.width, height, look.options, measure);
  std::erase_if(header.items,
                [](const DisplayItem& item) { return std::holds_alternative<FillRectItem>(item); });
  return DisplayList{look.width, height, {std::move(header)}};
}

// Where the image goes on the page: centred, at screen size or shrunk so that the image and a
// header of `header_height` image pixels above it fit.
QRect ImageOnPage(const QPaintDevice& page, const QImage& image, int header_height) {
  const double screen_width = image.width() * page.logicalDpiX() / kScreenDpi;
  const double screen_height = image.height() * page.logicalDpiY() / kScreenDpi;
  const double header = header_height * page.logicalDpiY() / kScreenDpi;
  const double shrink =
      std::min({1.0, page.width() / screen_width, page.height() / (screen_height + 2 * header)});
  // Whole device pixels, so that a page at screen resolution takes the image pixel for pixel.
  const int width = std::max(1, static_cast<int>(std::lround(screen_width * shrink)));
  const int height = std::max(1, static_cast<int>(std::lround(screen_height * shrink)));
  return {(page.width() - width) / 2, (page.height() - height) / 2, width, height};
}

bool PaintPage(QPaintDevice& page, const QImage& image, const PrintedPlot* plot) {
  QPainter painter;
  if (!painter.begin(&page)) return false;
  const int header_height = plot != nullptr ? plot->header.height : 0;
  const QRect target = ImageOnPage(page, image, header_height);
  // Smoothing only helps when pixels merge; enlarged line art stays sharp without it.
  painter.setRenderHint(QPainter::SmoothPixmapTransform, target.width() < image.width());
  painter.drawImage(target, image);
  if (plot != nullptr) {
    const double scale = double(target.width()) / image.width();
    painter.translate(target.left(), target.top() - header_height * scale);
    painter.scale(scale, scale);
    painter.setFont(plot->font);
    PaintDisplayList(painter, plot->header);
  }
  return painter.end();
}

}  // namespace

PrintLook PrintLookFor(const PlotOptions& screen, PrintColorMode colors, int size_factor) {
  const int factor = std::max(size_factor, 1);
  PrintLook look;
  look.options = screen;
  look.options.Printing = true;
  look.options.PrintColors = colors;
  look.options.OverlaySymbols.full = kSymbolHalfSize * factor;
  look.options.OverlaySymbols.diagonal = Scaled(kDiagonalSymbolRatio * kSymbolHalfSize, factor);
  look.options.OverlaySymbolSpacing = kSymbolSpacing * factor;
  look.width = kPrintImageWidth * factor;
  look.height = kPrintImageHeight * factor;
  look.font = PlotFont();
  look.font.setPixelSize(Scaled(look.font.pixelSize(), factor));
  return look;
}

PrintColorMode PrintColorModeOf(int index) {
  switch (index) {
    case 0:
      return PrintColorMode::BlackAndWhite;
    case 1:
      return PrintColorMode::ColoredLines;
    default:
      return PrintColorMode::ColoredFill;
  }
}

PrintedPlot RenderPrintedPlot(const TDataMeas& record, const PlotView& view,
                              const PrintLook& look) {
  const QtTextMeasure measure(look.font);
  const bool legend_shown =
      record.FOverlayFlag1 != 0 && record.FOverlayFlag2 != 0 && !view.overlays.empty();
  const TLegends legend = legend_shown ? TLegends::ForOverlays(view.overlays) : TLegends{};
  const int legend_height = legend_shown ? legend.Height(measure) + kLegendGap : 0;
  const int graph_height = std::max(look.height - legend_height, 1);

  DisplayList picture{look.width, look.height, {}};
  picture.layers.push_back(
      BuildGraph(record, view, look.options, measure, {0, 0, look.width, graph_height}));
  if (legend_shown) {
    // Legend samples sit on the graph's background: the paper unless printing the fill.
    const PlotColor background =
        look.options.PrintColors == PrintColorMode::ColoredFill ? record.FColors[0] : kPaper;
    picture.layers.push_back(
        legend.Draw({0, graph_height + kLegendGap, look.width, legend_height - kLegendGap},
                    background, look.options, measure, look.options.OverlaySymbols));
  }
  return PrintedPlot{PaintPlotPicture(picture, look.font), PageHeader(record, view, look, measure),
                     look.font};
}

bool PaintPrintPage(QPaintDevice& page, const PrintedPlot& plot) {
  return PaintPage(page, plot.image, &plot);
}

bool PaintCentredOnPage(QPaintDevice& page, const QImage& image) {
  return PaintPage(page, image, nullptr);
}

QString PrintJobTitle() {
  return QStringLiteral("QM ") + QString::fromUtf8(kPlotTitlePrefix) + QStringLiteral(" Data Plot");
}

}  // namespace vireon
