#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <string>
#include <variant>
#include <vector>

#include "files/FileIO_Data.h"
#include "plot/FixedTextMeasure.h"
#include "plot/Legend.h"
#include "plot/OverlaySymbols.h"
#include "plot/Overlays.h"
#include "record/RecordFixtures.h"
#include "support/TempFolder.h"

namespace vireon {
namespace {

// A three-column response: x, a curve in `unit_a` (trace A), a curve in `unit_b` (trace B).
TDataMeas Response(std::uint8_t type, const std::string& unit_a, const std::string& unit_b) {
  TDataMeas record =
      fixtures::FrequencyRecord(type, {100.0, 1000.0, 10000.0}, {{1.0, 2.0, 3.0}, {4.0, 5.0, 6.0}});
  record.FFields[1].Units = unit_a;
  record.FFields[2].Units = unit_b;
  record.FTraceA = 1;
  record.FTraceB = 2;
  return record;
}

TEST(OverlaysCompatibility, EqualTypesOrTheResponseFamily) {
  struct Case {
    std::uint8_t shown;
    std::uint8_t overlay;
    bool compatible;
  };
  const Case cases[] = {
      {kFrequencyResponse, kFrequencyResponse, true},
      {kFrequencyResponse, kSpectrum, true},
      {kSpectrum, kRtaBands, true},
      {kRtaBands, kFrequencyResponse, true},
      {kImpedance, kImpedance, true},
      {kTimeDomain, kTimeDomain, true},
      {kImpedance, kFrequencyResponse, false},
      {kFrequencyResponse, kGroupDelay, false},
      {kComplexSpectrum, kFrequencyResponse, false},
      {kTimeDomain, kStepResponse, false},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(OverlayTypesCompatible(c.shown, c.overlay), c.compatible)
        << int(c.shown) << " / " << int(c.overlay);
  }
}

TEST(OverlaysCurveMatch, TakesTheFirstOfTraceAAndBWhoseUnitFits) {
  struct Case {
    std::string shown_unit;
    std::string unit_a;
    std::string unit_b;
    std::optional<int> column;
  };
  const std::string degree = "\xB0";
  const Case cases[] = {
      {"dB", "dB", "dB", 1},                             // equal units: trace A first
      {"dB", degree, "dB", 2},                           // only trace B fits
      {"dBV", "dB", "dBSPL", {}},                        // no prefix matching
      {"deg", degree, "dB", 1},                          // both spellings of a phase
      {degree, "dB", "deg", 2},   {"Pa", "V", "dB", 1},  // volts and pressures
      {"Pa", "Pr", "dB", 1},      {"V", "Vr", "dB", 1},
      {"Vr", "Pa", "Pa", {}},                              // pascals only match pascals
      {"Pa", "Pa", "dB", 1},      {"Ohm", "ohm", "V", 1},  // the spellings of ohms
      {"Ohms", "dB", "Ohm", 2},   {"Ohm", "V", "dB", {}},
  };
  for (const Case& c : cases) {
    const TDataMeas shown = Response(kFrequencyResponse, c.shown_unit, "?");
    const TDataMeas overlay = Response(kFrequencyResponse, c.unit_a, c.unit_b);
    EXPECT_EQ(MatchOverlayCurve(shown, overlay), c.column)
        << c.shown_unit << " against " << c.unit_a << ", " << c.unit_b;
  }
}

TEST(OverlaysCurveMatch, NeedsAShownTraceAAndUsedOverlayCurves) {
  TDataMeas shown = Response(kFrequencyResponse, "dB", "dB");
  TDataMeas overlay = Response(kFrequencyResponse, "dB", "dB");
  overlay.FTraceA = 4;  // beyond its curves
  EXPECT_EQ(MatchOverlayCurve(shown, overlay), 2);
  overlay.FTraceB = -1;
  EXPECT_EQ(MatchOverlayCurve(shown, overlay), std::nullopt);
  shown.FTraceA = -1;
  EXPECT_EQ(MatchOverlayCurve(shown, Response(kFrequencyResponse, "dB", "dB")), std::nullopt);
}

TEST(OverlaysStyle, RowOfTheTableThenWhite) {
  TDataMeas shown;
  shown.FOverlayStyles[3] = {0x123456, 5};
  EXPECT_EQ(OverlayStyleAt(shown, 3), (OverlayStyle{0x123456, 5}));
  EXPECT_EQ(OverlayStyleAt(shown, 7), shown.FOverlayStyles[7]);
  EXPECT_EQ(OverlayStyleAt(shown, 8), (OverlayStyle{0xFFFFFF, 0}));
}

TEST(OverlaysLegendText, LabelAndDescriptionWithoutTrailingBlanks) {
  EXPECT_EQ(OverlayLegendText("a.vr2", "Woofer  near field   "), "  a.vr2:  Woofer  near field");
  EXPECT_EQ(OverlayLegendText("a.vr2", ""), "  a.vr2:  <no description>");
  EXPECT_EQ(OverlayLegendText("a.vr2", "   "), "  a.vr2:  <no description>");
}

class OverlaysFiles : public ::testing::Test {
 protected:
  // Saves `record` described as `title` under `name` and lists it.
  void Add(const std::string& name, TDataMeas record, const std::string& title) {
    record.FTitle = title;
    CollectedMessages messages;
    ASSERT_TRUE(SaveDataFile(folder / name, record, false, messages));
    entries.push_back({folder / name, name});
  }

  TempFolder folder;
  std::vector<OverlayEntry> entries;
  FileContext context;
  CollectedMessages messages;
};

TEST_F(OverlaysFiles, KeepsTheFittingFilesInListOrder) {
  Add("spectrum.vr2", Response(kSpectrum, "V", "dB"), "Noise floor ");
  Add("impedance.vr2", Response(kImpedance, "dB", "dB"), "Wrong type");
  Add("phase.vr2", Response(kFrequencyResponse, "deg", "deg"), "No magnitude");
  Add("response.vr2", Response(kRtaBands, "\xB0", "dB"), "");
  const TDataMeas shown = Response(kFrequencyResponse, "dB", "\xB0");

  const OverlayLoad load = LoadOverlays(shown, entries, context, messages);

  EXPECT_FALSE(load.unreadable);
  ASSERT_EQ(load.matched.size(), 2u);
  EXPECT_EQ(load.matched[0].index, 0);
  EXPECT_EQ(load.matched[0].column, 2);
  EXPECT_EQ(load.matched[0].legend_text, "  spectrum.vr2:  Noise floor");
  EXPECT_EQ(load.matched[0].style, shown.FOverlayStyles[0]);
  EXPECT_EQ(load.matched[1].index, 3);
  EXPECT_EQ(load.matched[1].column, 2);
  EXPECT_EQ(load.matched[1].style, shown.FOverlayStyles[3]);
  EXPECT_EQ(load.matched[1].legend_text, "  response.vr2:  <no description>");
  EXPECT_EQ(load.matched[1].record.FFields[2].Values, (std::vector<double>{4.0, 5.0, 6.0}));
}

TEST_F(OverlaysFiles, AnUnreadableFileStopsTheList) {
  Add("first.vr2", Response(kFrequencyResponse, "dB", "dB"), "First");
  entries.push_back({folder / "missing.vr2", "missing.vr2"});
  Add("last.vr2", Response(kFrequencyResponse, "dB", "dB"), "Last");

  const OverlayLoad load =
      LoadOverlays(Response(kFrequencyResponse, "dB", "dB"), entries, context, messages);

  ASSERT_EQ(load.matched.size(), 1u);
  EXPECT_EQ(load.matched[0].legend_text, "  first.vr2:  First");
  EXPECT_EQ(load.unreadable, folder / "missing.vr2");
}

TEST_F(OverlaysFiles, NothingIsReadWithoutATraceA) {
  entries.push_back({folder / "missing.vr2", "missing.vr2"});
  TDataMeas shown = Response(kFrequencyResponse, "dB", "dB");
  shown.FTraceA = -1;
  const OverlayLoad load = LoadOverlays(shown, entries, context, messages);
  EXPECT_TRUE(load.matched.empty());
  EXPECT_FALSE(load.unreadable);
}

class OverlaysHold : public ::testing::Test {
 protected:
  HoldOutcome HoldNext() {
    return Hold(shown, overlays, NextHoldFile(overlays, folder.Path()), messages);
  }

  TempFolder folder;
  TDataMeas shown = Response(kFrequencyResponse, "dB", "\xB0");
  std::vector<OverlayEntry> overlays;
  CollectedMessages messages;
};

TEST_F(OverlaysHold, NamesEightHoldsThenRefusesTheNinth) {
  const std::vector<std::string> names = {"HoldData.vr2",  "HoldData1.vr2", "HoldData2.vr2",
                                          "HoldData3.vr2", "HoldData4.vr2", "HoldData5.vr2",
                                          "HoldData6.vr2", "HoldData7.vr2"};
  for (const std::string& name : names) {
    EXPECT_TRUE(CanHold(overlays));
    ASSERT_EQ(HoldNext(), HoldOutcome::Held) << name;
    EXPECT_EQ(overlays.front(), (OverlayEntry{folder / name, name}));
    EXPECT_TRUE(std::filesystem::exists(folder / name));
  }
  EXPECT_FALSE(CanHold(overlays));
  const std::vector<OverlayEntry> full = overlays;

  EXPECT_EQ(HoldNext(), HoldOutcome::ListFull);
  EXPECT_EQ(overlays, full);
  EXPECT_FALSE(std::filesystem::exists(folder / "HoldData8.vr2"));

  ASSERT_TRUE(shown.FOverlayNames);
  ASSERT_EQ(shown.FOverlayNames->size(), 8u);
  EXPECT_EQ(shown.FOverlayNames->front(), (folder / "HoldData7.vr2").string());
  EXPECT_EQ(shown.FOverlayNames->back(), (folder / "HoldData.vr2").string());
  EXPECT_EQ(OverlayEntriesOf(shown), overlays);
}

TEST_F(OverlaysHold, TakesTheFirstFreeNumber) {
  overlays = {{folder / "HoldData2.vr2", "HoldData2.vr2"}, {folder / "other.vr2", "other.vr2"}};
  EXPECT_EQ(NextHoldFile(overlays, folder.Path()), folder / "HoldData1.vr2");
  overlays.push_back({folder / "HoldData1.vr2", "HoldData1.vr2"});
  EXPECT_EQ(NextHoldFile(overlays, folder.Path()), folder / "HoldData3.vr2");
}

TEST_F(OverlaysHold, ReplacingAListedPathMovesItFirstEvenWhenFull) {
  for (int i = 0; i < 8; ++i) ASSERT_EQ(HoldNext(), HoldOutcome::Held);
  const auto file = folder / "HoldData3.vr2";
  ASSERT_EQ(Hold(shown, overlays, file, messages), HoldOutcome::Held);
  EXPECT_EQ(overlays.size(), 8u);
  EXPECT_EQ(overlays.front().file, file);
  EXPECT_EQ(std::count_if(overlays.begin(), overlays.end(),
                          [&](const OverlayEntry& entry) { return entry.file == file; }),
            1);
}

TEST_F(OverlaysHold, TheFirstHoldIsMarkedAsHoldData) {
  ASSERT_EQ(HoldNext(), HoldOutcome::Held);
  ASSERT_EQ(HoldNext(), HoldOutcome::Held);
  shown.FTitle = "Live response";
  FileContext context;
  const OverlayLoad load = LoadOverlays(shown, overlays, context, messages);
  ASSERT_EQ(load.matched.size(), 2u);
  EXPECT_EQ(load.matched[1].legend_text, "  HoldData.vr2:  <\"Hold\" Data file>");
}

TEST_F(OverlaysHold, AFailedSaveChangesNothing) {
  const auto file = folder / "no such folder" / "HoldData.vr2";
  EXPECT_EQ(Hold(shown, overlays, file, messages), HoldOutcome::SaveFailed);
  EXPECT_TRUE(overlays.empty());
  EXPECT_FALSE(shown.FOverlayNames);
}

// The corners of every polygon and the ends of every line of the items.
std::vector<PixelPoint> PointsOf(const std::vector<DisplayItem>& items) {
  std::vector<PixelPoint> points;
  for (const DisplayItem& item : items) {
    if (const auto* polygon = std::get_if<PolygonItem>(&item)) {
      EXPECT_FALSE(polygon->filled);
      points.insert(points.end(), polygon->points.begin(), polygon->points.end());
    } else if (const auto* line = std::get_if<LineItem>(&item)) {
      points.push_back(line->from);
      points.push_back(line->to);
    } else {
      ADD_FAILURE() << "a symbol is drawn with outlines and lines only";
    }
  }
  return points;
}

TEST(OverlaySymbolsShapes, EachSymbolFitsItsSizeAndPointsItsWay) {
  struct Case {
    std::uint8_t code;
    std::size_t items;
    int left, top, right, bottom;  // extent around the centre
  };
  const Case cases[] = {
      {0, 1, -5, -5, 5, 5},  // circle
      {1, 1, -4, -4, 4, 4},  // square: its corners on the diagonals
      {2, 1, -5, -5, 5, 5},  // diamond
      {3, 1, -5, -5, 5, 4},  // triangle: apex up
      {4, 2, -5, -5, 5, 5},  // plus
      {5, 2, -4, -4, 4, 4},  // cross
      {6, 1, -5, -4, 5, 5},  // inverted triangle: apex down
  };
  const PixelPoint centre{100, 50};
  for (const Case& c : cases) {
    std::vector<DisplayItem> items;
    AppendSymbol(items, c.code, centre, SymbolSize{5, 4}, Pen{0x0000FF});
    ASSERT_EQ(items.size(), c.items) << int(c.code);
    const auto points = PointsOf(items);
    const auto [min_x, max_x] =
        std::minmax_element(points.begin(), points.end(), [](auto a, auto b) { return a.x < b.x; });
    const auto [min_y, max_y] =
        std::minmax_element(points.begin(), points.end(), [](auto a, auto b) { return a.y < b.y; });
    EXPECT_EQ(min_x->x - centre.x, c.left) << int(c.code);
    EXPECT_EQ(max_x->x - centre.x, c.right) << int(c.code);
    EXPECT_EQ(min_y->y - centre.y, c.top) << int(c.code);
    EXPECT_EQ(max_y->y - centre.y, c.bottom) << int(c.code);
  }
  std::vector<DisplayItem> none;
  AppendSymbol(none, 7, centre, SymbolSize{}, Pen{});
  EXPECT_TRUE(none.empty());
}

TEST(OverlaySymbolsPositions, EverySpacingStaggeredByOverlay) {
  const std::vector<PixelPoint> flat = {{0, 50}, {300, 50}};
  const auto xs = [](const std::vector<PixelPoint>& points) {
    std::vector<int> x;
    for (const PixelPoint p : points) x.push_back(p.x);
    return x;
  };
  EXPECT_EQ(xs(SymbolPositions(flat, 0)), (std::vector<int>{0, 70, 140, 210, 280}));
  // 3 · 70 / 7.3 = 28.77 pixels later.
  EXPECT_EQ(xs(SymbolPositions(flat, 3)), (std::vector<int>{29, 99, 169, 239}));
  // A line that starts late gets no symbol before it.
  EXPECT_EQ(xs(SymbolPositions(std::vector<PixelPoint>{{150, 0}, {290, 0}}, 0)),
            (std::vector<int>{210, 280}));
  // The print spacing scales the stagger too: 2 · 140 / 7.3 = 38.36.
  EXPECT_EQ(xs(SymbolPositions(flat, 2, 140.0)), (std::vector<int>{38, 178}));
}

TEST(OverlaySymbolsPositions, SitOnTheLineWhereItFirstReachesTheColumn) {
  // A sloped segment, then a pixel column holding a spike (minimum and maximum).
  const std::vector<PixelPoint> line = {{0, 0}, {60, 30}, {70, 10}, {70, 90}, {140, 20}};
  EXPECT_EQ(SymbolPositions(line, 0), (std::vector<PixelPoint>{{0, 0}, {70, 10}, {140, 20}}));
  const std::vector<PixelPoint> slope = {{0, 0}, {100, 100}};
  // Overlay 1 at 9.59 → column 10, on the line at y = 10.
  EXPECT_EQ(SymbolPositions(slope, 1), (std::vector<PixelPoint>{{10, 10}, {80, 80}}));
}

TEST(LegendHeight, OneTextLinePlusThreePixelsPerOverlay) {
  const FixedTextMeasure measure;
  EXPECT_EQ(TLegends().Height(measure), 0);
  const TLegends legend({{"one", {0x0000FF, 0}}, {"two", {0xFF0000, 1}}});
  EXPECT_EQ(legend.Height(measure), 2 * (13 + 3) + 3);
}

TEST(LegendShortening, CutsFromTheRightToTheLegendWidthLess63) {
  const FixedTextMeasure measure;
  const std::string text = "  HoldData1.vr2:  A rather long description of the curve";
  struct Case {
    int max_width;
    std::size_t kept;
  };
  const Case cases[] = {{140, 20}, {139, 19}, {7 * 56, 56}, {1000, text.size()}, {6, 0}, {-5, 0}};
  for (const Case& c : cases) {
    EXPECT_EQ(ShortenToWidth(text, c.max_width, measure), text.substr(0, c.kept)) << c.max_width;
  }
}

TEST(LegendDrawing, LinesOfSampleAndTextInTheBox) {
  const FixedTextMeasure measure;
  MatchedOverlay first;
  first.style = {0x0000FF, 3};
  first.legend_text = "  a.vr2:  Short";
  MatchedOverlay second;
  second.style = {0x00FF00, 4};
  second.legend_text = "  b.vr2:  " + std::string(40, 'x');
  const std::vector<MatchedOverlay> overlays = {first, second};
  const TLegends legend = TLegends::ForOverlays(overlays);
  const PixelRect area{5, 300, 203, legend.Height(measure)};
  PlotOptions options;
  options.TraceWidth = 2;

  const DisplayLayer layer = legend.Draw(area, 0x202020, options, measure);

  EXPECT_EQ(layer.area, area);
  std::vector<const TextItem*> texts;
  std::vector<const LineItem*> samples;
  for (const DisplayItem& item : layer.items) {
    if (const auto* text = std::get_if<TextItem>(&item)) texts.push_back(text);
    if (const auto* line = std::get_if<LineItem>(&item);
        line && line->from.y == line->to.y && line->to.x - line->from.x > 20) {
      samples.push_back(line);
    }
  }
  ASSERT_EQ(texts.size(), 2u);
  EXPECT_EQ(texts[0]->text, "  a.vr2:  Short");
  EXPECT_EQ(texts[0]->at.x, 52);
  EXPECT_EQ(texts[1]->at.y - texts[0]->at.y, 16);
  EXPECT_EQ(texts[1]->text.size(), 20u);  // (203 − 63) / 7 characters
  ASSERT_EQ(samples.size(), 2u);
  EXPECT_EQ(samples[0]->pen, (Pen{0x0000FF, 2}));
  EXPECT_EQ(samples[1]->pen, (Pen{0x00FF00, 2}));
  EXPECT_LE(samples[0]->to.x, 50);
  EXPECT_TRUE(std::holds_alternative<FillRectItem>(layer.items.front()));
  EXPECT_EQ(std::get<FillRectItem>(layer.items.front()).color, 0xFFFFFFu);
  const bool background_sample =
      std::any_of(layer.items.begin(), layer.items.end(), [](const DisplayItem& item) {
        const auto* fill = std::get_if<FillRectItem>(&item);
        return fill && fill->color == 0x202020 && fill->rect.width == 50;
      });
  EXPECT_TRUE(background_sample);

  options.Printing = true;
  options.PrintColors = PrintColorMode::BlackAndWhite;
  const DisplayLayer printed = legend.Draw(area, 0xFFFFFF, options, measure);
  for (const DisplayItem& item : printed.items) {
    if (const auto* line = std::get_if<LineItem>(&item)) {
      EXPECT_EQ(line->pen.color, 0u);
    }
  }
}

}  // namespace
}  // namespace vireon
