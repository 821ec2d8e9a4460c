#include "plot/PlotGrid.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <string>
#include <vector>

#include "plot/FixedTextMeasure.h"
#include "record/DataTypes.h"
#include "record/RecordFixtures.h"

namespace vireon {
namespace {

template <typename Item>
std::vector<Item> ItemsOf(const std::vector<DisplayItem>& items) {
  std::vector<Item> found;
  for (const DisplayItem& item : items) {
    if (const Item* typed = std::get_if<Item>(&item)) found.push_back(*typed);
  }
  return found;
}

std::vector<std::string> TextsOf(const std::vector<DisplayItem>& items) {
  std::vector<std::string> texts;
  for (const TextItem& text : ItemsOf<TextItem>(items)) texts.push_back(text.text);
  return texts;
}

std::vector<double> ValuesOf(const std::vector<XGridLine>& lines) {
  std::vector<double> values;
  for (const XGridLine& line : lines) values.push_back(line.value);
  return values;
}

TDataMeas LogRecord(double start, double stop) {
  TDataMeas record = fixtures::FrequencyRecord(kFrequencyResponse, {start, stop}, {{1.0, 1.0}});
  record.FLogX = 1;
  record.FViewStart = start;
  record.FViewStop = stop;
  return record;
}

// 20 Hz .. 20 kHz over 1000 pixels: 1000/3 pixels a decade; lines at every leading digit,
// labels at 1, 2 and 5, and the 20 kHz line, which rounds onto pixel 1000, on the last pixel.
TEST(PlotGridTest, LogAxisOverTheAudioBand) {
  const HorizontalAxis axis = HorizontalAxis::Log(20.0, 20000.0, 1000);
  const std::vector<XGridLine> lines = XGridLines(axis, false);
  ASSERT_EQ(lines.size(), 28u);  // 20..90, 100..900, 1k..9k, 10k, 20k
  for (const XGridLine& line : lines) {
    EXPECT_EQ(line.pixel, std::min(999, static_cast<int>(std::nearbyint(
                                            std::log10(line.value / 20.0) * 1000.0 / 3.0))))
        << line.value;
    EXPECT_EQ(line.style, PenStyle::Solid);
  }
  EXPECT_EQ(lines.front(), (XGridLine{0, 20.0, true, PenStyle::Solid}));
  EXPECT_EQ(lines[1], (XGridLine{59, 30.0, false, PenStyle::Solid}));  // 58.70
  EXPECT_EQ(lines.back(), (XGridLine{999, 20000.0, true, PenStyle::Solid}));

  TDataMeas record = LogRecord(20.0, 20000.0);
  std::vector<DisplayItem> graph;
  AddXGrid(record, axis, PlotOptions{}, FixedTextMeasure{}, 300, graph);
  EXPECT_EQ(TextsOf(graph), (std::vector<std::string>{"20", "50", "100", "200", "500", "1k", "2k",
                                                      "5k", "10k", "20k"}));
  const std::vector<TextItem> labels = ItemsOf<TextItem>(graph);
  // Labels start 2 pixels right of their line; the last one would leave the graph and ends 2
  // pixels left of it instead. 13 · 1.1 + 2 = 16.3 pixels of label at the bottom.
  EXPECT_EQ(labels.front().at, (PixelPoint{2, 284}));
  EXPECT_EQ(labels.front().anchor, TextAnchor::TopLeft);
  EXPECT_EQ(labels.back().at, (PixelPoint{997, 284}));
  EXPECT_EQ(labels.back().anchor, TextAnchor::TopRight);
  for (const LineItem& line : ItemsOf<LineItem>(graph)) {
    EXPECT_EQ(line.from.y, 0);
    EXPECT_EQ(line.to.y, 299);
    EXPECT_EQ(line.pen, (Pen{record.FColors[1], 1, PenStyle::Solid}));
  }

  record.FGridFlag = 0;  // labels along the top
  graph.clear();
  AddXGrid(record, axis, PlotOptions{}, FixedTextMeasure{}, 300, graph);
  EXPECT_EQ(ItemsOf<TextItem>(graph).front().at.y, 15);
}

TEST(PlotGridTest, LogAxisEndLine) {
  struct Case {
    double stop;
    double last_value;
    int last_pixel;
  };
  const Case cases[] = {
      {19000.0, 10000.0, 906},  // 20 kHz would land on pixel 1007.5: not drawn
      {20500.0, 20000.0, 996},  // 996.44
      {20010.0, 20000.0, 999},  // 999.93 rounds onto pixel 1000: the last pixel
  };
  for (const Case& c : cases) {
    const std::vector<XGridLine> lines = XGridLines(HorizontalAxis::Log(20.0, c.stop, 1000), false);
    ASSERT_FALSE(lines.empty());
    EXPECT_EQ(lines.back().value, c.last_value) << c.stop;
    EXPECT_EQ(lines.back().pixel, c.last_pixel) << c.stop;
  }
}

// With the dashed-grid option decades are solid, fives dash-dot-dot and the rest dotted.
TEST(PlotGridTest, DashedLogGridPens) {
  const std::vector<XGridLine> lines = XGridLines(HorizontalAxis::Log(5.0, 200.0, 400), true);
  ASSERT_EQ(ValuesOf(lines),
            (std::vector<double>{5, 6, 7, 8, 9, 10, 20, 30, 40, 50, 60, 70, 80, 90, 100, 200}));
  EXPECT_EQ(lines.back().pixel, 399);
  for (const XGridLine& line : lines) {
    const double digit =
        std::round(line.value / std::pow(10.0, std::floor(std::log10(line.value) + 1e-9)));
    const PenStyle expected = digit == 1.0   ? PenStyle::Solid
                              : digit == 5.0 ? PenStyle::DashDotDot
                                             : PenStyle::Dot;
    EXPECT_EQ(line.style, expected) << line.value;
  }
}

// Linear steps are a 1-2-5 tenth of the span, from the first multiple past the start; the stop
// itself maps to pixel W and is not drawn.
TEST(PlotGridTest, LinearSteps) {
  struct Case {
    double start;
    double stop;
    int width;
    std::vector<double> values;
    std::vector<int> pixels;
  };
  const Case cases[] = {
      {0.0,
       1000.0,
       1000,
       {100, 200, 300, 400, 500, 600, 700, 800, 900},
       {100, 200, 300, 400, 500, 600, 700, 800, 900}},
      {20.0,
       20000.0,
       999,
       {2000, 4000, 6000, 8000, 10000, 12000, 14000, 16000, 18000},
       {99, 199, 299, 399, 499, 599, 699, 799, 899}},
      {-0.01,
       0.04,
       500,
       {-0.005, 0, 0.005, 0.01, 0.015, 0.02, 0.025, 0.03, 0.035},
       {50, 100, 150, 200, 250, 300, 350, 400, 450}},
      {3.0,
       3.7,
       700,
       {3.05, 3.1, 3.15, 3.2, 3.25, 3.3, 3.35, 3.4, 3.45, 3.5, 3.55, 3.6, 3.65},
       {50, 100, 150, 200, 250, 300, 350, 400, 450, 500, 550, 600, 650}},
  };
  for (const Case& c : cases) {
    const std::vector<XGridLine> lines =
        XGridLines(HorizontalAxis::Linear(c.start, c.stop, c.width), false);
    ASSERT_EQ(lines.size(), c.values.size()) << c.start << ".." << c.stop;
    for (std::size_t i = 0; i < lines.size(); ++i) {
      EXPECT_NEAR(lines[i].value, c.values[i], 1e-9 * std::abs(c.stop)) << c.start;
      EXPECT_EQ(lines[i].pixel, c.pixels[i]) << c.start << " line " << i;
      EXPECT_TRUE(lines[i].labelled);
    }
  }
}

TEST(PlotGridTest, LinearLabelsAndPens) {
  // The step never drops below 1e-6, and a line only 1e-6 past the start is not labelled.
  const std::vector<XGridLine> fine = XGridLines(HorizontalAxis::Linear(0.0, 5e-6, 100), false);
  ASSERT_EQ(fine.size(), 4u);
  EXPECT_FALSE(fine[0].labelled);
  EXPECT_TRUE(fine[1].labelled);
  EXPECT_EQ(fine[1].pixel, 40);

  TDataMeas record = fixtures::FrequencyRecord(kFrequencyResponse, {0.0, 1.0}, {{1.0, 1.0}});
  record.FViewStart = -0.01;
  record.FViewStop = 0.04;
  PlotOptions dashed;
  dashed.DashedGrid = true;
  std::vector<DisplayItem> graph;
  AddXGrid(record, HorizontalAxis::ForRecord(record, 500), dashed, FixedTextMeasure{}, 200, graph);
  EXPECT_EQ(TextsOf(graph),
            (std::vector<std::string>{"-5m", "0", "5m", "10m", "15m", "20m", "25m", "30m", "35m"}));
  for (const LineItem& line : ItemsOf<LineItem>(graph)) EXPECT_EQ(line.pen.style, PenStyle::Dot);
}

// A loop whose steps no longer move the value (a range far below double resolution) stops once
// one pixel has repeated more than 100 times.
TEST(PlotGridTest, GridStopsWhenLinesStopMoving) {
  const double start = 1e30;
  const std::vector<XGridLine> linear =
      XGridLines(HorizontalAxis::Linear(start, std::nextafter(start, 2e30), 100), false);
  EXPECT_LE(linear.size(), 101u);
  const std::vector<XGridLine> log = XGridLines(HorizontalAxis::Log(0.1, 1e300, 10), false);
  EXPECT_LE(log.size(), 101u);
  for (const XGridLine& line : log) EXPECT_EQ(line.pixel, 0);
}

// A sampled record gets ticks reaching 2.5 % of the height around the middle division line,
// solid even with the dashed grid, labels 14 pixels above their lower end, and a full-height
// line at 0 s when the view starts before it.
TEST(PlotGridTest, TimeTicksAndTheZeroLine) {
  TDataMeas record = fixtures::TimeRecord(1000, -0.002, {std::vector<double>(10, 0.0)});
  record.FNumDivisions = 8;
  record.FViewStart = -0.002;
  record.FViewStop = 0.008;
  PlotOptions dashed;
  dashed.DashedGrid = true;
  const HorizontalAxis axis = HorizontalAxis::ForRecord(record, 1000);
  std::vector<DisplayItem> graph;
  AddXGrid(record, axis, dashed, FixedTextMeasure{}, 400, graph);

  const std::vector<LineItem> lines = ItemsOf<LineItem>(graph);
  ASSERT_EQ(lines.size(), 10u);  // -1 ms .. 7 ms, then 0 s
  for (std::size_t i = 0; i + 1 < lines.size(); ++i) {
    const int x = 100 * static_cast<int>(i + 1);
    EXPECT_EQ(lines[i].from, (PixelPoint{x, 190})) << i;  // middle line 199.5 → 200, ± 10
    EXPECT_EQ(lines[i].to, (PixelPoint{x, 210})) << i;
    EXPECT_EQ(lines[i].pen.style, PenStyle::Solid);
  }
  EXPECT_EQ(lines.back().from, (PixelPoint{200, 0}));
  EXPECT_EQ(lines.back().to, (PixelPoint{200, 399}));
  EXPECT_EQ(lines.back().pen.style, PenStyle::Dot);
  EXPECT_EQ(TextsOf(graph),
            (std::vector<std::string>{"-1m", "0", "1m", "2m", "3m", "4m", "5m", "6m", "7m"}));
  for (const TextItem& label : ItemsOf<TextItem>(graph)) EXPECT_EQ(label.at.y, 196);

  record.FViewStart = 0.0;
  graph.clear();
  AddXGrid(record, HorizontalAxis::ForRecord(record, 1000), dashed, FixedTextMeasure{}, 400, graph);
  for (const LineItem& line : ItemsOf<LineItem>(graph)) EXPECT_EQ(line.to.y - line.from.y, 20);
}

// 0 .. 87.5 ms over 600 pixels: the 85 ms label would not fit right of its line (583) and,
// moved left of it, would run into the 80 ms label, so it is left out; its line stays.
TEST(PlotGridTest, AnEdgeLabelThatWouldOverlapIsLeftOut) {
  TDataMeas record = fixtures::TimeRecord(48000, 0.0, {std::vector<double>(10, 0.0)});
  record.FViewStart = 0.0;
  record.FViewStop = 0.0875;
  std::vector<DisplayItem> graph;
  AddXGrid(record, HorizontalAxis::ForRecord(record, 600), PlotOptions{}, FixedTextMeasure{}, 400,
           graph);
  const std::vector<std::string> texts = TextsOf(graph);
  ASSERT_FALSE(texts.empty());
  EXPECT_EQ(texts.back(), "80m");
  EXPECT_EQ(ItemsOf<LineItem>(graph).back().from.x, 583);
}

// A centre x above -1000 draws a solid line with 10-pixel bars 5 pixels inside each end.
TEST(PlotGridTest, CenterMarker) {
  TDataMeas record = fixtures::FrequencyRecord(kFrequencyResponse, {0.0, 1.0}, {{1.0, 1.0}});
  record.FViewStart = 0.0;
  record.FViewStop = 1000.0;
  PlotOptions dashed;  // grid lines dotted: the solid ones are the marker's
  dashed.DashedGrid = true;
  const HorizontalAxis axis = HorizontalAxis::ForRecord(record, 1000);
  const auto center_lines = [&](double center_x) {
    record.FVertLimit3 = center_x;
    std::vector<DisplayItem> graph;
    AddXGrid(record, axis, dashed, FixedTextMeasure{}, 300, graph);
    std::vector<LineItem> solid;
    for (const LineItem& line : ItemsOf<LineItem>(graph)) {
      if (line.pen.style == PenStyle::Solid) solid.push_back(line);
    }
    return solid;
  };
  const std::vector<LineItem> marker = center_lines(250.0);
  ASSERT_EQ(marker.size(), 3u);
  EXPECT_EQ(marker[0].from, (PixelPoint{250, 0}));
  EXPECT_EQ(marker[0].to, (PixelPoint{250, 299}));
  EXPECT_EQ(marker[1].from, (PixelPoint{245, 5}));
  EXPECT_EQ(marker[1].to, (PixelPoint{255, 5}));
  EXPECT_EQ(marker[2].from, (PixelPoint{245, 294}));
  EXPECT_EQ(marker[2].to, (PixelPoint{255, 294}));
  for (const double none : {-1000.0, -1000000.0, -999.0 /* left of the graph */}) {
    EXPECT_TRUE(center_lines(none).empty()) << none;
  }
}

// Division labels: value of line i (0 = top) = -offset - (i + reference division - count) · per
// division, four digits, the unit on the reference line, cut to 9 characters.
TEST(PlotGridTest, DivisionLabelText) {
  struct Case {
    double per_division;
    double offset;
    std::int32_t reference_division;
    const char* units;
    std::int32_t line;
    const char* text;
  };
  const Case cases[] = {
      {10.0, -90.0, 7, "dB", 1, "90dB"},  // the reference line
      {10.0, -90.0, 7, "dB", 7, "30"},   {0.5, 0.0, 4, "Ohms", 4, "0Ohms"},
      {0.5, 0.0, 4, "Ohms", 1, "1.5"},   {0.5, 0.0, 4, "Ohms", 7, "-1.5"},
      {500.0, 1000.0, 0, "Hz", 2, "2k"}, {0.1, 0.1234, 2, "Pa/sqrtHz", 6, "-123.4mPa"},  // cut
      {1e-3, 0.0, 4, "V", 3, "1m"},      {1.0 / 3.0, 0.0, 4, "V", 2, "666.7m"},
  };
  TDataMeas record = fixtures::FrequencyRecord(kFrequencyResponse, {1.0, 2.0}, {{1.0, 1.0}});
  for (const Case& c : cases) {
    TFieldType& curve = record.FFields[1];
    curve.PerDiv = c.per_division;
    curve.RefValue = c.offset;
    curve.RefDiv = c.reference_division;
    curve.Units = c.units;
    EXPECT_EQ(DivisionLabelText(record, 1, PlotOptions{}, c.line, 8), c.text)
        << c.units << " line " << c.line;
  }
  EXPECT_EQ(DivisionLabelText(record, 7, PlotOptions{}, 1, 8), "") << "no such column";
}

// Distortion in dB shown as percent: -40 dB is 1 %, the unit on the reference line is "%".
TEST(PlotGridTest, DistortionPercentLabels) {
  TDataMeas record =
      fixtures::FrequencyRecord(kComponentTrack, {1.0, 2.0}, {{1.0, 1.0}, {0.01, 0.01}});
  TFieldType& curve = record.FFields[2];
  curve.Units = "dB";
  curve.PerDiv = 20.0;
  curve.RefValue = 40.0;
  curve.RefDiv = 4;
  PlotOptions options;
  const std::vector<std::string> percent = {"100", "10", "1%", "100m"};
  for (std::int32_t line = 2; line <= 5; ++line) {
    EXPECT_EQ(DivisionLabelText(record, 2, options, line, 8), percent[line - 2]) << line;
  }
  options.DistortionAsPercent = false;
  EXPECT_EQ(DivisionLabelText(record, 2, options, 4, 8), "-40dB");
}

TDataMeas TwoTraceRecord() {
  TDataMeas record =
      fixtures::FrequencyRecord(kFrequencyResponse, {1.0, 2.0}, {{1.0, 1.0}, {2.0, 2.0}});
  record.FNumDivisions = 8;
  record.FTraceA = 1;
  record.FTraceB = 2;
  record.FFields[1] = TFieldType{};
  record.FFields[1].PerDiv = 10.0;
  record.FFields[1].RefValue = -90.0;
  record.FFields[1].RefDiv = 7;
  record.FFields[1].Units = "dB";
  record.FFields[2].PerDiv = 0.5;
  record.FFields[2].RefDiv = 4;
  record.FFields[2].Units = "Ohm";
  return record;
}

// 8 divisions over 401 pixels: lines every 50 pixels; trace A labelled at the left, B at the
// right, each with a triangle on its reference line 17 pixels long (50 / 3) and 8 high.
TEST(PlotGridTest, DivisionGridWithBothTraces) {
  const TDataMeas record = TwoTraceRecord();
  std::vector<DisplayItem> graph;
  AddDivisionGrid(record, PlotOptions{}, 600, 401, graph);

  const std::vector<LineItem> lines = ItemsOf<LineItem>(graph);
  ASSERT_EQ(lines.size(), 7u);
  for (std::size_t i = 0; i < lines.size(); ++i) {
    const int y = 50 * static_cast<int>(i + 1);
    EXPECT_EQ(lines[i].from, (PixelPoint{0, y}));
    EXPECT_EQ(lines[i].to, (PixelPoint{599, y}));
    EXPECT_EQ(lines[i].pen, (Pen{record.FColors[1], 1, PenStyle::Solid}));
  }

  const std::vector<TextItem> labels = ItemsOf<TextItem>(graph);
  ASSERT_EQ(labels.size(), 14u);
  EXPECT_EQ(labels[0].text, "90dB");
  EXPECT_EQ(labels[0].at, (PixelPoint{3, 51}));
  EXPECT_EQ(labels[0].anchor, TextAnchor::TopLeft);
  EXPECT_EQ(labels[6].text, "30");
  EXPECT_EQ(labels[10].text, "0Ohm");
  EXPECT_EQ(labels[10].at, (PixelPoint{596, 201}));
  EXPECT_EQ(labels[10].anchor, TextAnchor::TopRight);
  for (const TextItem& label : labels) EXPECT_EQ(label.color, record.FColors[1]);

  const std::vector<PolygonItem> triangles = ItemsOf<PolygonItem>(graph);
  ASSERT_EQ(triangles.size(), 2u);
  EXPECT_EQ(triangles[0].points, (std::vector<PixelPoint>{{0, 46}, {17, 50}, {0, 54}}));
  EXPECT_EQ(triangles[0].fill, record.FColors[3]);
  EXPECT_TRUE(triangles[0].filled);
  EXPECT_EQ(triangles[1].points, (std::vector<PixelPoint>{{599, 196}, {582, 200}, {599, 204}}));
  EXPECT_EQ(triangles[1].fill, record.FColors[4]);
}

TEST(PlotGridTest, DivisionGridPensAndHiddenTraces) {
  TDataMeas record = TwoTraceRecord();
  PlotOptions print;
  print.Printing = true;
  print.PrintColors = PrintColorMode::BlackAndWhite;
  print.DashedGrid = true;
  std::vector<DisplayItem> graph;
  AddDivisionGrid(record, print, 600, 401, graph);
  for (const LineItem& line : ItemsOf<LineItem>(graph)) {
    EXPECT_EQ(line.pen, (Pen{0, 1, PenStyle::Dot}));
  }
  for (const TextItem& label : ItemsOf<TextItem>(graph)) EXPECT_EQ(label.color, 0u);
  for (const PolygonItem& triangle : ItemsOf<PolygonItem>(graph)) {
    EXPECT_EQ(triangle.fill, 0u);
    EXPECT_EQ(triangle.pen.color, 0u);
  }

  // A trace index at or past the used columns shows nothing; B alone still labels.
  record.FTraceA = 3;
  graph.clear();
  AddDivisionGrid(record, PlotOptions{}, 600, 401, graph);
  EXPECT_EQ(ItemsOf<TextItem>(graph).size(), 7u);
  EXPECT_EQ(ItemsOf<TextItem>(graph).front().anchor, TextAnchor::TopRight);
  record.FTraceB = -1;
  graph.clear();
  AddDivisionGrid(record, PlotOptions{}, 600, 401, graph);
  EXPECT_EQ(graph.size(), 7u) << "only the lines";
}

}  // namespace
}  // namespace vireon
