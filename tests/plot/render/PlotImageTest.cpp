#include <gtest/gtest.h>

#include <QColor>
#include <QFontInfo>
#include <QGuiApplication>
#include <QImage>
#include <QPainter>
#include <QRect>

#include <algorithm>
#include <memory>
#include <set>
#include <string>
#include <utility>
#include <vector>

#include "common/VireonError.h"
#include "plot/render/DisplayListPainter.h"
#include "plot/render/PlotImage.h"
#include "plot/render/QtTextMeasure.h"
#include "record/RecordFixtures.h"

namespace vireon {
namespace {

// Fonts need a running application; the offscreen platform draws without a display.
class GuiEnvironment : public ::testing::Environment {
 public:
  void SetUp() override {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    app_ = std::make_unique<QGuiApplication>(argc_, argv_.data());
  }
  void TearDown() override { app_.reset(); }

 private:
  int argc_ = 1;
  char name_[13] = "render_tests";
  std::vector<char*> argv_ = {name_, nullptr};
  std::unique_ptr<QGuiApplication> app_;
};

[[maybe_unused]] const auto* const kGuiEnvironment =
    ::testing::AddGlobalTestEnvironment(new GuiEnvironment);

using Pixel = std::pair<int, int>;  // x, y
using Pixels = std::set<Pixel>;

constexpr PlotColor kBlack = 0x000000;
const QColor kWhite(255, 255, 255);

// The layers painted on a white image of the given size, in the plot font.
QImage Paint(const std::vector<DisplayLayer>& layers, int width = 64, int height = 48) {
  QImage image(width, height, QImage::Format_RGB32);
  image.fill(kWhite);
  QPainter painter(&image);
  painter.setFont(PlotFont());
  PaintDisplayList(painter, DisplayList{width, height, layers});
  return image;
}

QImage PaintItems(const std::vector<DisplayItem>& items, int width = 64, int height = 48) {
  return Paint({DisplayLayer{PixelRect{0, 0, width, height}, items}}, width, height);
}

Pixels LitPixels(const QImage& image) {
  Pixels lit;
  for (int y = 0; y < image.height(); ++y) {
    for (int x = 0; x < image.width(); ++x) {
      if (image.pixelColor(x, y) != kWhite) lit.insert({x, y});
    }
  }
  return lit;
}

Pixels Row(int y, int x_from, int x_to) {
  Pixels row;
  for (int x = x_from; x <= x_to; ++x) row.insert({x, y});
  return row;
}

Pixels Block(int left, int top, int right, int bottom) {
  Pixels block;
  for (int y = top; y <= bottom; ++y) block.merge(Row(y, left, right));
  return block;
}

std::string Describe(const Pixels& pixels) {
  std::string text;
  for (const auto& [x, y] : pixels) text += "(" + std::to_string(x) + "," + std::to_string(y) + ")";
  return text;
}

LineItem Line(PixelPoint from, PixelPoint to, Pen pen = Pen{}) { return LineItem{pen, from, to}; }

TEST(DisplayListPainter, OnePixelLinesLightEveryPixelFromEndToEnd) {
  struct Case {
    const char* what;
    PixelPoint from, to;
    Pixels expected;
  };
  const std::vector<Case> cases = {
      {"horizontal line at row y", {2, 5}, {8, 5}, Row(5, 2, 8)},
      {"drawn right to left", {8, 5}, {2, 5}, Row(5, 2, 8)},
      {"vertical", {3, 1}, {3, 4}, Block(3, 1, 3, 4)},
      {"diagonal", {1, 1}, {4, 4}, {{1, 1}, {2, 2}, {3, 3}, {4, 4}}},
      {"one point", {6, 7}, {6, 7}, {{6, 7}}},
      {"on the image's last row and column", {60, 47}, {63, 47}, Row(47, 60, 63)},
  };
  for (const Case& c : cases) {
    const Pixels lit = LitPixels(PaintItems({Line(c.from, c.to)}));
    EXPECT_EQ(lit, c.expected) << c.what << ": " << Describe(lit);
  }
}

TEST(DisplayListPainter, PolylineJoinsItsPointsWithoutGaps) {
  const Pixels lit = LitPixels(PaintItems({PolylineItem{Pen{}, {{2, 2}, {6, 2}, {6, 5}, {3, 5}}}}));
  Pixels expected = Row(2, 2, 6);
  expected.merge(Block(6, 2, 6, 5));
  expected.merge(Row(5, 3, 6));
  EXPECT_EQ(lit, expected) << Describe(lit);
}

TEST(DisplayListPainter, WidePenSpreadsEvenlyAroundTheLine) {
  const QImage image = PaintItems({Line({10, 20}, {40, 20}, Pen{kBlack, 3})});
  Pixels column;
  for (const auto& [x, y] : LitPixels(image)) {
    if (x == 25) column.insert({x, y});
  }
  EXPECT_EQ(column, Block(25, 19, 25, 21));
}

// Colours are 0x00BBGGRR: red is the low byte.
TEST(DisplayListPainter, ColorsTakeRedFromTheLowByte) {
  const std::vector<std::pair<PlotColor, QColor>> cases = {
      {0x0000FF, QColor(255, 0, 0)},        {0x00FF00, QColor(0, 255, 0)},
      {0xFF0000, QColor(0, 0, 255)},        {0x804000, QColor(0x00, 0x40, 0x80)},
      {0x123456, QColor(0x56, 0x34, 0x12)},
  };
  for (const auto& [color, expected] : cases) {
    const QImage image =
        PaintItems({Line({1, 1}, {9, 1}, Pen{color}), FillRectItem{color, PixelRect{1, 3, 4, 4}},
                    TextItem{color, {1, 10}, TextAnchor::TopLeft, "\xE2\x96\x88"}});
    EXPECT_EQ(image.pixelColor(5, 1), expected) << "pen " << std::hex << color;
    EXPECT_EQ(image.pixelColor(2, 4), expected) << "fill " << std::hex << color;
    bool text_inked = false;  // the full block, U+2588, covers whole pixels
    for (int y = 10; y < 30; ++y) {
      for (int x = 0; x < 10; ++x) text_inked |= image.pixelColor(x, y) == expected;
    }
    EXPECT_TRUE(text_inked) << "text " << std::hex << color;
    EXPECT_EQ(ToQColor(color), expected);
  }
}

TEST(DisplayListPainter, StyledPensLeaveGapsAlongTheLine) {
  const std::vector<std::pair<PenStyle, bool>> cases = {{PenStyle::Solid, false},
                                                        {PenStyle::Dot, true},
                                                        {PenStyle::Dash, true},
                                                        {PenStyle::DashDotDot, true}};
  std::set<Pixels> patterns;
  for (const auto& [style, gaps] : cases) {
    const Pixels lit = LitPixels(PaintItems({Line({0, 3}, {59, 3}, Pen{kBlack, 1, style})}));
    EXPECT_TRUE(std::includes(Row(3, 0, 59).begin(), Row(3, 0, 59).end(), lit.begin(), lit.end()));
    EXPECT_EQ(lit.size() < 60, gaps) << static_cast<int>(style) << ": " << Describe(lit);
    EXPECT_FALSE(lit.empty());
    patterns.insert(lit);
  }
  EXPECT_EQ(patterns.size(), cases.size()) << "every style draws its own pattern";
}

TEST(DisplayListPainter, ShapesCoverTheirOwnPixels) {
  struct Case {
    const char* what;
    DisplayItem item;
    Pixels expected;
  };
  Pixels frame = Block(10, 10, 29, 24);
  for (const Pixel& inside : Block(12, 12, 27, 22)) frame.erase(inside);
  const std::vector<Case> cases = {
      {"filled rectangle", FillRectItem{kBlack, PixelRect{3, 4, 5, 2}}, Block(3, 4, 7, 5)},
      {"empty rectangle", FillRectItem{kBlack, PixelRect{3, 4, 0, 2}}, {}},
      {"frame of width 2 inside its edges", FrameRectItem{Pen{kBlack, 2}, {10, 10, 20, 15}}, frame},
      {"filled polygon with its outline",
       PolygonItem{Pen{kBlack}, true, kBlack, {{10, 10}, {20, 10}, {20, 20}, {10, 20}}},
       Block(10, 10, 20, 20)},
  };
  for (const Case& c : cases) {
    const Pixels lit = LitPixels(PaintItems({c.item}));
    EXPECT_EQ(lit, c.expected) << c.what << ": " << Describe(lit);
  }
}

TEST(DisplayListPainter, PolygonIsFilledInsideItsOutline) {
  const PlotColor pen = 0x0000FF;
  const PlotColor fill = 0x00FF00;
  const std::vector<PixelPoint> square = {{10, 10}, {20, 10}, {20, 20}, {10, 20}};
  const QImage filled = PaintItems({PolygonItem{Pen{pen}, true, fill, square}});
  EXPECT_EQ(filled.pixelColor(15, 15), ToQColor(fill));
  EXPECT_EQ(filled.pixelColor(10, 15), ToQColor(pen));
  EXPECT_EQ(filled.pixelColor(20, 15), ToQColor(pen));
  EXPECT_EQ(filled.pixelColor(21, 15), kWhite);

  const QImage hollow = PaintItems({PolygonItem{Pen{pen}, false, fill, square}});
  EXPECT_EQ(hollow.pixelColor(15, 15), kWhite);
  EXPECT_EQ(hollow.pixelColor(15, 20), ToQColor(pen));
}

TEST(DisplayListPainter, LayerIsShiftedToItsAreaAndClippedToIt) {
  const PixelRect area{10, 20, 30, 15};  // columns 10..39, rows 20..34
  const std::vector<DisplayItem> items = {Line({0, 0}, {5, 0}), Line({-5, 3}, {100, 3}),
                                          Line({2, -10}, {2, 100})};
  Pixels expected = Row(20, 10, 15);
  expected.merge(Row(23, 10, 39));
  expected.merge(Block(12, 20, 12, 34));
  const Pixels lit = LitPixels(Paint({DisplayLayer{area, items}}));
  EXPECT_EQ(lit, expected) << Describe(lit);

  const QImage covered = Paint({DisplayLayer{area, {FillRectItem{kBlack, {-50, -50, 500, 500}}}}});
  EXPECT_EQ(LitPixels(covered), Block(10, 20, 39, 34));

  EXPECT_TRUE(LitPixels(Paint({DisplayLayer{{10, 20, 0, 15}, items}})).empty())
      << "a layer without area draws nothing";
}

TEST(DisplayListPainter, LaterLayersDrawOverEarlierOnes) {
  const QImage image =
      Paint({DisplayLayer{{0, 0, 64, 48}, {FillRectItem{0xFF0000, {0, 0, 64, 48}}}},
             DisplayLayer{{5, 5, 10, 10}, {FillRectItem{0x0000FF, {0, 0, 10, 10}}}}});
  EXPECT_EQ(image.pixelColor(7, 7), QColor(255, 0, 0));
  EXPECT_EQ(image.pixelColor(20, 20), QColor(0, 0, 255));
}

QRect BoundingBoxOfInk(const QImage& image) {
  QRect box;
  for (const auto& [x, y] : LitPixels(image)) box |= QRect(x, y, 1, 1);
  return box;
}

// The text box of each anchor, from the measured size: the ink must lie inside it.
// A 2 × 1 picture (red, blue) over a 6 × 2 rectangle at (3, 4): stretched, each colour covers
// half the width; tiled, the colours alternate from the rectangle's corner and stop at its edge.
TEST(DisplayListPainter, PicturesAreStretchedOrTiledOverTheirRectangle) {
  auto picture = std::make_shared<PixelPicture>();
  picture->width = 2;
  picture->height = 1;
  picture->pixels = {0xFFFF0000u, 0xFF0000FFu};
  const PixelRect rect{3, 4, 6, 2};
  const QImage stretched = PaintItems({PictureItem{picture, rect, true}});
  const QImage tiled = PaintItems({PictureItem{picture, rect, false}});
  for (int y = 4; y < 6; ++y) {
    for (int x = 3; x < 9; ++x) {
      EXPECT_EQ(stretched.pixelColor(x, y), x < 6 ? QColor(Qt::red) : QColor(Qt::blue)) << x;
      EXPECT_EQ(tiled.pixelColor(x, y), (x - 3) % 2 == 0 ? QColor(Qt::red) : QColor(Qt::blue)) << x;
    }
  }
  EXPECT_EQ(tiled.pixelColor(9, 4), QColor(Qt::white)) << "nothing past the rectangle";
  EXPECT_EQ(tiled.pixelColor(3, 6), QColor(Qt::white));
}

TEST(DisplayListPainter, TextLiesInsideItsBoxOnTheAnchorsSide) {
  const std::string text = "Hg 20\xB0";
  const QtTextMeasure measure(PlotFont());
  const int w = measure.Width(text);
  const int h = measure.Height();
  const PixelPoint at{100, 50};
  struct Case {
    TextAnchor anchor;
    QRect box;
  };
  const std::vector<Case> cases = {
      {TextAnchor::TopLeft, QRect(at.x, at.y, w, h)},
      {TextAnchor::TopCenter, QRect(at.x - w / 2, at.y, w, h)},
      {TextAnchor::TopRight, QRect(at.x - w, at.y, w, h)},
      {TextAnchor::BottomLeft, QRect(at.x, at.y - h, w, h)},
      {TextAnchor::BottomCenter, QRect(at.x - w / 2, at.y - h, w, h)},
      {TextAnchor::BottomRight, QRect(at.x - w, at.y - h, w, h)},
  };
  for (const Case& c : cases) {
    const QImage image = PaintItems({TextItem{kBlack, at, c.anchor, text}}, 200, 100);
    const QRect ink = BoundingBoxOfInk(image);
    ASSERT_FALSE(ink.isEmpty());
    EXPECT_TRUE(c.box.contains(ink))
        << "anchor " << static_cast<int>(c.anchor) << ": ink " << ink.left() << "," << ink.top()
        << " " << ink.width() << "x" << ink.height();
    // The ink fills most of the box, so it is not drawn somewhere else that happens to fit.
    EXPECT_GT(ink.width(), w * 3 / 4);
    EXPECT_GT(ink.height(), h / 2);
  }
}

// "°" is stored as the byte 0xB0; text that is valid UTF-8 is read as UTF-8.
TEST(DisplayListPainter, TextBytesAreDecodedAsLatin1UnlessValidUtf8) {
  const auto paint = [](const std::string& bytes) {
    return PaintItems({TextItem{kBlack, {4, 4}, TextAnchor::TopLeft, bytes}});
  };
  const QImage latin1 = paint("90\xB0");
  EXPECT_EQ(latin1, paint("90\xC2\xB0"));
  EXPECT_NE(latin1, paint("90\xC2\xB0\xB0"));  // not UTF-8 as a whole: Latin-1 "90Â°°"
  EXPECT_FALSE(LitPixels(latin1).empty());
}

TEST(QtTextMeasure, MeasuresDecodedTextInThePlotFont) {
  EXPECT_EQ(QFontInfo(PlotFont()).family(), "DejaVu Sans") << "the plot font is installed";
  const QtTextMeasure measure(PlotFont());
  EXPECT_EQ(measure.Width("\xB0"), measure.Width("\xC2\xB0"));
  EXPECT_EQ(measure.Width(""), 0);
  EXPECT_LT(measure.Width("1"), measure.Width("1000"));
  EXPECT_GT(measure.Height(), 8);
}

TEST(PlotImage, HasExactlyTheAskedSize) {
  const TDataMeas record =
      fixtures::FrequencyRecord(kFrequencyResponse, {10, 100, 1000}, {{1, 2, 3}});
  for (const auto& [width, height] :
       std::vector<std::pair<int, int>>{{703, 328}, {1, 1}, {64, 500}}) {
    const QImage image = RenderPlotImage(record, PlotView{}, PlotOptions{}, width, height);
    EXPECT_EQ(image.size(), QSize(width, height));
    EXPECT_EQ(image.format(), QImage::Format_RGB32);
  }
  EXPECT_THROW(RenderPlotImage(record, PlotView{}, PlotOptions{}, 0, 328), VireonError);
}

}  // namespace
}  // namespace vireon
