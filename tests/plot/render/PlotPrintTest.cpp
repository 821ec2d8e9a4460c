#include <gtest/gtest.h>

#include <QBuffer>
#include <QByteArray>
#include <QColor>
#include <QImage>
#include <QPdfWriter>
#include <QRect>
#include <QRegularExpression>

#include <cmath>
#include <vector>

#include "plot/AutoScale.h"
#include "plot/render/PlotPrint.h"
#include "record/DataTypes.h"
#include "record/RecordFixtures.h"

// The application the fonts need is started by PlotImageTest.cpp's test environment.

namespace vireon {
namespace {

// A frequency response with both traces, a coloured graph background and one overlay shown
// with its legend: every part a printout may colour.
struct PrintFixture {
  PrintFixture() {
    const std::vector<double> x = {20, 50, 100, 200, 500, 1000, 2000, 5000, 10000, 20000};
    record = fixtures::FrequencyRecord(
        kFrequencyResponse, x, {{0, 1, 2, 3, 4, 5, 4, 3, 2, 1}, {5, 4, 3, 2, 1, 0, 1, 2, 3, 4}});
    record.FLogX = 1;
    record.FViewStart = 20;
    record.FViewStop = 20000;
    record.FTraceA = 1;
    record.FTraceB = 2;
    AutoScale(record, 0, AutoScaleMode::ScaleAndReference, PlotOptions{});
    AutoScale(record, 1, AutoScaleMode::ScaleAndReference, PlotOptions{});
    record.FColors[0] = kBackground;
    record.FColors[3] = 0x0000FF;
    record.FColors[4] = 0x00FF00;
    record.FOverlayFlag1 = 1;
    record.FOverlayFlag2 = 1;
    record.FTitle = "printed record";
    overlays.push_back(MatchedOverlay{
        fixtures::FrequencyRecord(kFrequencyResponse, x, {{3, 3, 3, 3, 3, 3, 3, 3, 3, 3}}), 1, 0,
        OverlayStyle{0xFF00FF, 1}, "  hold:  <no description>"});
    view.title = "=vireon= plot";
    view.overlays = overlays;
  }

  static constexpr PlotColor kBackground = 0x80FFFF;  // light yellow, 0x00BBGGRR
  TDataMeas record;
  std::vector<MatchedOverlay> overlays;
  PlotView view;
};

bool IsGray(QRgb pixel) { return qRed(pixel) == qGreen(pixel) && qGreen(pixel) == qBlue(pixel); }

int ColouredPixels(const QImage& image) {
  int count = 0;
  for (int y = 0; y < image.height(); ++y) {
    for (int x = 0; x < image.width(); ++x) count += IsGray(image.pixel(x, y)) ? 0 : 1;
  }
  return count;
}

// The smallest rectangle holding every pixel of `image` inside `area` darker than mid-gray.
QRect DarkBounds(const QImage& image, const QRect& area) {
  QRect bounds;
  for (int y = area.top(); y <= area.bottom(); ++y) {
    for (int x = area.left(); x <= area.right(); ++x) {
      if (qGray(image.pixel(x, y)) < 128) bounds |= QRect(x, y, 1, 1);
    }
  }
  return bounds;
}

// A page of `width` × `height` pixels at `dpi`, white.
QImage BlankPage(int width, int height, int dpi) {
  QImage page(width, height, QImage::Format_RGB32);
  const int dots_per_meter = static_cast<int>(std::lround(dpi / 0.0254));
  page.setDotsPerMeterX(dots_per_meter);
  page.setDotsPerMeterY(dots_per_meter);
  page.fill(Qt::white);
  return page;
}

TEST(PlotPrint, ImageIsTheBaseSizeTimesTheFactorUnderAHeaderInTheScaledFont) {
  const PrintFixture fixture;
  int description_height_at_1 = 0;
  for (const int factor : {1, 2}) {
    SCOPED_TRACE(factor);
    const PrintLook look = PrintLookFor(PlotOptions{}, PrintColorMode::ColoredFill, factor);
    const PrintedPlot plot = RenderPrintedPlot(fixture.record, fixture.view, look);
    ASSERT_EQ(plot.image.width(), 703 * factor);
    ASSERT_EQ(plot.image.height(), 328 * factor);

    QImage page = BlankPage(1600, 1000, 96);
    ASSERT_TRUE(PaintPrintPage(page, plot));
    const QRect image_area((1600 - plot.image.width()) / 2, (1000 - plot.image.height()) / 2,
                           plot.image.width(), plot.image.height());
    EXPECT_EQ(page.copy(image_area), plot.image);
    // The description starts at the image's left edge, in the band right above it.
    const QRect band(0, 0, image_area.left() + image_area.width() / 4, image_area.top());
    const QRect description = DarkBounds(page, band);
    ASSERT_FALSE(description.isEmpty());
    EXPECT_NEAR(description.left(), image_area.left(), 2);
    EXPECT_GE(description.top(), image_area.top() - plot.header.height);
    if (factor == 1) {
      description_height_at_1 = description.height();
    } else {
      EXPECT_NEAR(double(description.height()) / description_height_at_1, 2.0, 0.3);
    }
  }
}

TEST(PlotPrint, OverlaySymbolsAndSpacingGrowWithTheFactor) {
  struct Case {
    int factor;
    int full;
    int diagonal;  // 0.707 · 5 · factor, rounded
    double spacing;
  };
  for (const Case& c : {Case{1, 5, 4, 70.0}, Case{2, 10, 7, 140.0}}) {
    const PrintLook look = PrintLookFor(PlotOptions{}, PrintColorMode::ColoredLines, c.factor);
    EXPECT_EQ(look.options.OverlaySymbols.full, c.full);
    EXPECT_EQ(look.options.OverlaySymbols.diagonal, c.diagonal);
    EXPECT_DOUBLE_EQ(look.options.OverlaySymbolSpacing, c.spacing);
    EXPECT_TRUE(look.options.Printing);
  }
}

TEST(PlotPrint, ColourModesDecideInkAndGraphBackground) {
  const PrintFixture fixture;
  struct Case {
    int index;
    bool coloured;
    QColor graph_background;
  };
  const QColor white(255, 255, 255);
  const QColor light_yellow(0xFF, 0xFF, 0x80);
  for (const Case& c : {Case{0, false, white}, Case{1, true, white}, Case{2, true, light_yellow}}) {
    SCOPED_TRACE(c.index);
    for (const int factor : {1, 2}) {
      const PrintLook look = PrintLookFor(PlotOptions{}, PrintColorModeOf(c.index), factor);
      const QImage image = RenderPrintedPlot(fixture.record, fixture.view, look).image;
      EXPECT_EQ(ColouredPixels(image) > 0, c.coloured) << "factor " << factor;
      EXPECT_EQ(image.pixelColor(1, 1), c.graph_background);
    }
  }
}

TEST(PlotPrint, PictureIsCentredAtScreenSizeAndShrunkToFit) {
  QImage picture(703, 328, QImage::Format_RGB32);
  picture.fill(Qt::black);
  struct Case {
    int page_width, page_height, dpi;
    QRect expected;
  };
  for (const Case& c : {
           Case{1000, 800, 96, QRect(148, 236, 703, 328)},     // pixel for pixel
           Case{2000, 1000, 192, QRect(297, 172, 1406, 656)},  // twice the pixels per inch
           Case{400, 300, 96, QRect(0, 56, 400, 187)},         // 328 · 400 / 703 = 186.6 rows
       }) {
    SCOPED_TRACE(c.page_width);
    QImage page = BlankPage(c.page_width, c.page_height, c.dpi);
    ASSERT_TRUE(PaintCentredOnPage(page, picture));
    EXPECT_EQ(DarkBounds(page, page.rect()), c.expected);
  }
}

TEST(PlotPrint, PdfPageHoldsOnePrintedPlot) {
  const PrintFixture fixture;
  QBuffer pdf;
  pdf.open(QIODevice::WriteOnly);
  {
    QPdfWriter writer(&pdf);
    const PrintLook look = PrintLookFor(PlotOptions{}, PrintColorMode::ColoredLines, 1);
    ASSERT_TRUE(PaintPrintPage(writer, RenderPrintedPlot(fixture.record, fixture.view, look)));
  }
  const QByteArray bytes = pdf.data();
  EXPECT_TRUE(bytes.startsWith("%PDF"));
  EXPECT_EQ(QString::fromLatin1(bytes).count(QRegularExpression("/Type\\s*/Page\\b(?!s)")), 1);
}

TEST(PlotPrint, UnwritablePdfReportsFailure) {
  QPdfWriter writer(QStringLiteral("/nonexistent-folder/plot.pdf"));
  QImage picture(10, 10, QImage::Format_RGB32);
  picture.fill(Qt::black);
  EXPECT_FALSE(PaintCentredOnPage(writer, picture));
}

}  // namespace
}  // namespace vireon
