#include "plot/PlotPicture.h"

#include <gtest/gtest.h>

#include <memory>
#include <variant>

#include "plot/FixedTextMeasure.h"
#include "record/DataTypes.h"
#include "record/RecordFixtures.h"

namespace vireon {
namespace {

int PicturesIn(const DisplayLayer& layer) {
  int count = 0;
  for (const DisplayItem& item : layer.items) count += std::holds_alternative<PictureItem>(item);
  return count;
}

// The control's background picture covers the graph over its fill, unless it is switched off
// or a printout has no coloured fill; stretched or tiled as the options say.
TEST(PlotPicture, BackgroundPictureCoversTheGraphWhenUsed) {
  const TDataMeas record =
      fixtures::FrequencyRecord(kFrequencyResponse, {100.0, 1000.0}, {{1.0, 1.0}});
  PlotView view;
  view.background = std::make_shared<PixelPicture>(PixelPicture{1, 1, {0xFF00FF00u}});
  const PixelRect area{5, 20, 300, 200};
  PlotOptions options;

  const DisplayLayer graph = BuildGraph(record, view, options, FixedTextMeasure{}, area);
  ASSERT_GE(graph.items.size(), 2u);
  const auto* picture = std::get_if<PictureItem>(&graph.items[1]);
  ASSERT_NE(picture, nullptr) << "drawn right over the background fill";
  EXPECT_EQ(picture->rect, (PixelRect{0, 0, 300, 200}));
  EXPECT_FALSE(picture->stretched);

  options.CustomBitmapStretched = true;
  EXPECT_TRUE(
      std::get<PictureItem>(BuildGraph(record, view, options, FixedTextMeasure{}, area).items[1])
          .stretched);
  options.UseCustomBitmap = false;
  EXPECT_EQ(PicturesIn(BuildGraph(record, view, options, FixedTextMeasure{}, area)), 0);
  options.UseCustomBitmap = true;
  options.Printing = true;
  options.PrintColors = PrintColorMode::ColoredLines;
  EXPECT_EQ(PicturesIn(BuildGraph(record, view, options, FixedTextMeasure{}, area)), 0);
}

}  // namespace
}  // namespace vireon
