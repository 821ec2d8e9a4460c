#include <gtest/gtest.h>

#include <limits>
#include <string>
#include <variant>
#include <vector>

#include "plot/FixedTextMeasure.h"
#include "plot/PlotHeader.h"
#include "plot/PlotLayout.h"

namespace vireon {
namespace {

int Bottom(const PixelRect& rect) { return rect.top + rect.height; }

TEST(PlotLayoutGraph, TheHeightLeftByPanelReadoutsAndLegend) {
  struct Case {
    int width, height;
    bool panel;
    int readouts, legend;
    int graph_height;
  };
  const Case cases[] = {
      {703, 328, false, 0, 0, 328 - 19 - 10},
      {703, 328, true, 0, 0, 328 - 61 - 19 - 10},
      {703, 328, false, 57, 0, 328 - (57 + 4) - 19 - 10},
      {703, 328, true, 57, 35, 328 - 61 - (57 + 4) - 35 - 19 - 10},
      {703, 39, false, 0, 0, 10},  // exactly the least height
      {703, 40, false, 0, 0, 11},
      {703, 100, true, 57, 35, 10},  // at least 20, then 10 lower
  };
  for (const Case& c : cases) {
    const PlotLayout layout = LayOutPlot({c.width, c.height, c.panel, c.readouts, c.legend});
    EXPECT_EQ(layout.graph.height, c.graph_height) << c.height << " " << c.panel;
    EXPECT_EQ(layout.graph.width, c.width - 10);
    EXPECT_EQ(layout.graph.left, 5);
  }
}

TEST(PlotLayoutGraph, PartsStackInsideTheFrameWithoutOverlap) {
  for (const bool panel : {false, true}) {
    for (const int readouts : {0, 57}) {
      const int height = 400;
      const PlotLayout layout = LayOutPlot({703, height, panel, readouts, 35});
      EXPECT_GE(layout.header.top, 3);
      EXPECT_LE(Bottom(layout.header), layout.graph.top);
      EXPECT_LT(Bottom(layout.graph), layout.legend.top);
      EXPECT_EQ(layout.legend.height, 35);
      EXPECT_LE(Bottom(layout.legend), layout.readouts.top);
      EXPECT_EQ(layout.readouts.height, readouts);
      EXPECT_LE(Bottom(layout.readouts), layout.format_panel.top);
      EXPECT_EQ(layout.format_panel.height, panel ? 61 : 0);
      EXPECT_LE(Bottom(layout.format_panel), height - 2) << "over the bottom shadow";
    }
  }
}

TEST(PlotHeaderDate, UnknownUpToDay3000AndForNoDate) {
  struct Case {
    double days;
    std::string text;
  };
  const Case cases[] = {
      {3000.0, "acq date unknown"},
      {3000.5, "acq: 1908-03-18 12:00:00"},
      {46000.75, "acq: 2025-12-09 18:00:00"},
      {45000.0 + 0.9999999, "acq: 2023-03-16 00:00:00"},  // rounds to the next day
      {2958465.0, "acq: 9999-12-31 00:00:00"},
      {-10.0, "acq date unknown"},
      {1e300, "acq date unknown"},
      {std::numeric_limits<double>::quiet_NaN(), "acq date unknown"},
      {std::numeric_limits<double>::infinity(), "acq date unknown"},
  };
  for (const Case& c : cases) EXPECT_EQ(AcquisitionText(c.days), c.text) << c.days;
}

// The header of a 300-pixel control: description "abc" ends at x 26, the date (24 characters,
// 168 pixels) starts at 295 - 168 = 127, leaving 101 pixels for the title's box.
class PlotHeaderTitle : public ::testing::Test {
 protected:
  PlotHeaderTitle() {
    record.FTitle = "abc";
    record.FTimeStamp = 46000.75;
  }

  DisplayLayer Build(const std::string& title) const {
    return BuildPlotHeader(record, title, LayOutPlot({300, 200, false, 0, 0}), 300, 200, options,
                           measure);
  }

  static const TextItem* Text(const DisplayLayer& layer, const std::string& text) {
    for (const DisplayItem& item : layer.items) {
      const auto* found = std::get_if<TextItem>(&item);
      if (found && found->text == text) return found;
    }
    return nullptr;
  }

  static std::vector<PixelRect> Boxes(const DisplayLayer& layer) {
    std::vector<PixelRect> boxes;
    for (const DisplayItem& item : layer.items) {
      if (const auto* frame = std::get_if<FrameRectItem>(&item)) boxes.push_back(frame->rect);
    }
    return boxes;
  }

  TDataMeas record;
  PlotOptions options;
  FixedTextMeasure measure;
};

TEST_F(PlotHeaderTitle, DrawnCentredOnlyWhenItFitsWithoutTouching) {
  const std::string fits(13, 'T');  // box 13 · 7 + 8 = 99: one free pixel each side
  const DisplayLayer header = Build(fits);
  ASSERT_NE(Text(header, fits), nullptr);
  const auto boxes = Boxes(header);
  ASSERT_EQ(boxes.size(), 1u);
  EXPECT_EQ(boxes[0].left, 27);
  EXPECT_EQ(boxes[0].left + boxes[0].width, 126);

  const std::string too_wide(14, 'T');
  const DisplayLayer crowded = Build(too_wide);
  EXPECT_EQ(Text(crowded, too_wide), nullptr);
  EXPECT_TRUE(Boxes(crowded).empty());
}

TEST_F(PlotHeaderTitle, DescriptionLeftAndDateRightAboveTheGraph) {
  const PlotLayout layout = LayOutPlot({300, 200, false, 0, 0});
  const DisplayLayer header = Build("Data Plot");
  const TextItem* description = Text(header, "abc");
  const TextItem* date = Text(header, "acq: 2025-12-09 18:00:00");
  ASSERT_NE(description, nullptr);
  ASSERT_NE(date, nullptr);
  EXPECT_EQ(description->anchor, TextAnchor::BottomLeft);
  EXPECT_EQ(description->at.x, layout.graph.left);
  EXPECT_EQ(date->anchor, TextAnchor::BottomRight);
  EXPECT_EQ(date->at.x, layout.graph.left + layout.graph.width);
  EXPECT_LT(date->at.y, layout.graph.top);
  EXPECT_GE(date->at.y - measure.Height(), 3) << "below the top highlight";
}

TEST_F(PlotHeaderTitle, LivePlotsShowNoTitleAndPrintNoDate) {
  options.LivePlot = true;
  EXPECT_EQ(Text(Build("Live"), "Live"), nullptr);
  EXPECT_NE(Text(Build("Live"), "acq: 2025-12-09 18:00:00"), nullptr);
  options.Printing = true;
  EXPECT_EQ(Text(Build("Live"), "acq: 2025-12-09 18:00:00"), nullptr);
  EXPECT_NE(Text(Build("Live"), "abc"), nullptr);

  // A printout of an ordinary plot keeps both.
  options.LivePlot = false;
  const DisplayLayer printed = Build("Data Plot");
  EXPECT_NE(Text(printed, "Data Plot"), nullptr);
  EXPECT_NE(Text(printed, "acq: 2025-12-09 18:00:00"), nullptr);
}

}  // namespace
}  // namespace vireon
