#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <map>
#include <random>
#include <utility>
#include <variant>
#include <vector>

#include "plot/BandTrace.h"
#include "plot/ColumnDecimation.h"
#include "plot/FrequencyTrace.h"
#include "plot/TimeTrace.h"
#include "record/DataTypes.h"
#include "record/NumericHelpers.h"
#include "record/RecordFixtures.h"

namespace vireon {
namespace {

using Points = std::vector<PixelPoint>;

constexpr PlotColor kTraceColor = 0x9F0000;
const Pen kPen{kTraceColor, 1, PenStyle::Solid};

std::vector<PolylineItem> Polylines(const std::vector<DisplayItem>& items) {
  std::vector<PolylineItem> lines;
  for (const DisplayItem& item : items) {
    if (const auto* line = std::get_if<PolylineItem>(&item)) lines.push_back(*line);
  }
  EXPECT_EQ(lines.size(), items.size()) << "a trace draws only polylines";
  return lines;
}

Points Decimate(const Points& input) {
  ColumnDecimation decimation;
  for (const PixelPoint& p : input) decimation.Add(p);
  return decimation.Finish();
}

// Log-spaced frequencies from `low` to `high`.
std::vector<double> LogFrequencies(std::size_t n, double low, double high) {
  std::vector<double> f(n);
  for (std::size_t i = 0; i < n; ++i) {
    f[i] = low * std::pow(high / low, static_cast<double>(i) / static_cast<double>(n - 1));
  }
  return f;
}

TEST(ColumnDecimationTest, KeepsFirstExtremesAndLastOfEachColumn) {
  struct Case {
    const char* what;
    Points input;
    Points expected;
  };
  const Case cases[] = {
      {"one point a column stays as it is", {{0, 1}, {1, 2}, {2, 3}}, {{0, 1}, {1, 2}, {2, 3}}},
      {"first y above the last on screen: up to the top, down to the bottom, back to the last",
       {{0, 5}, {0, 1}, {0, 9}, {0, 7}, {1, 3}},
       {{0, 5}, {0, 1}, {0, 9}, {0, 7}, {1, 3}}},
      {"first y below the last on screen: down to the bottom first",
       {{0, 5}, {0, 9}, {0, 1}, {0, 3}, {1, 3}},
       {{0, 5}, {0, 9}, {0, 1}, {0, 3}, {1, 3}}},
      {"strokes only where the y differs", {{0, 1}, {0, 9}, {0, 4}}, {{0, 1}, {0, 9}, {0, 4}}},
      {"a step between columns is one stroke", {{0, 5}, {0, 2}, {1, 2}}, {{0, 5}, {0, 2}, {1, 2}}},
      {"a flat column collapses", {{3, 5}, {3, 5}, {3, 5}, {4, 5}}, {{3, 5}, {4, 5}}},
  };
  for (const Case& c : cases) EXPECT_EQ(Decimate(c.input), c.expected) << c.what;

  ColumnDecimation decimation;
  decimation.Add({0, 0});
  decimation.Add({1, 1});
  EXPECT_EQ(decimation.Finish().size(), 2u);
  EXPECT_TRUE(decimation.Finish().empty()) << "Finish starts anew";
}

// Per column, the decimated polyline must span exactly the input's y range, start at its
// first y and end at its last, with at most four points.
TEST(ColumnDecimationTest, RandomDenseDataKeepsEveryColumnsRange) {
  std::mt19937 random(7);
  std::uniform_int_distribution<int> y(0, 299);
  Points input;
  for (int i = 0; i < 100000; ++i) input.push_back({i / 997, y(random)});
  const Points output = Decimate(input);

  struct Column {
    int first = 0, last = 0, low = 1 << 30, high = -1, count = 0;
  };
  std::map<int, Column> expected;
  std::map<int, Column> drawn;
  for (auto [points, columns] :
       {std::pair{&std::as_const(input), &expected}, std::pair{&output, &drawn}}) {
    for (const PixelPoint& p : *points) {
      Column& c = (*columns)[p.x];
      if (c.count++ == 0) c.first = p.y;
      c.last = p.y;
      c.low = std::min(c.low, p.y);
      c.high = std::max(c.high, p.y);
    }
  }
  ASSERT_EQ(drawn.size(), expected.size());
  for (const auto& [x, want] : expected) {
    const Column& got = drawn[x];
    EXPECT_EQ(got.first, want.first) << x;
    EXPECT_EQ(got.last, want.last) << x;
    EXPECT_EQ(got.low, want.low) << x;
    EXPECT_EQ(got.high, want.high) << x;
    EXPECT_LE(got.count, 4) << x;
  }
}

// The sampler compares values instead of pixels; it must draw what mapping every value to its
// pixel and decimating would, on a dB scale (ordered by magnitude, signs mixed) and a linear one.
TEST(ColumnDecimationTest, SamplerDrawsWhatPerPointMappingDraws) {
  std::mt19937 random(11);
  std::normal_distribution<double> gauss;
  for (const bool db : {true, false}) {
    const VerticalScale scale(db ? 10.0 : 0.5, 0.0, 5, 10, 301, db);
    CurveSampler sampler(scale);
    ColumnDecimation reference;
    double largest = -1e300;
    std::int32_t largest_index = -1;
    for (std::int32_t i = 0; i < 20000; ++i) {
      const double v = gauss(random) * (i % 50 == 0 ? 30.0 : 1.0);
      const int x = i / 37;
      sampler.Add(x, v, i);
      reference.Add({x, scale.PixelOf(v)});
      const double shown = db ? ToDb(std::fabs(v)) : v;
      if (shown > largest) {
        largest = shown;
        largest_index = i;
      }
    }
    EXPECT_EQ(sampler.Finish(), reference.Finish()) << (db ? "dB" : "linear");
    EXPECT_EQ(sampler.Extremes().MaximumIndex, largest_index);
    EXPECT_DOUBLE_EQ(sampler.Extremes().Maximum, largest);
  }
}

TEST(ColumnDecimationTest, OneSampleSpikeAmongAMillionPointsSurvives) {
  constexpr std::size_t kPoints = 1000000;
  constexpr std::int32_t kSpike = 612345;
  constexpr int kWidth = 1000;
  std::vector<double> values = fixtures::Noise(kPoints, 3);
  for (double& v : values) v = 1.0 + 0.01 * v;  // about 0 dB
  values[kSpike] = 1000.0;                      // 60 dB

  TDataMeas frequency =
      fixtures::FrequencyRecord(kSpectrum, LogFrequencies(kPoints, 20, 20000), {values});
  frequency.FSampleRate = 48000;
  const VerticalScale db(10.0, 0.0, 2, 10, 301, true);  // 0 dB at y 240, 60 dB at y 60
  std::vector<DisplayItem> items;
  const TraceExtremes extremes =
      AddFrequencyTrace(frequency, 1, HorizontalAxis::Log(20, 20000, kWidth), db, {}, kPen, items);
  EXPECT_EQ(extremes.MaximumIndex, kSpike);
  EXPECT_NEAR(extremes.Maximum, 60.0, 1e-9);

  const TDataMeas time = fixtures::TimeRecord(1000000, 0.0, {values});
  const VerticalScale linear(100.0, 0.0, 0, 10, 301, false);  // 1000 at y 0
  const TraceExtremes time_extremes =
      AddTimeTrace(time, 0, TimeTraceRole::TraceB, HorizontalAxis::Time(0, 1, kWidth, 0, 1000000),
                   linear, {}, kPen, items);
  EXPECT_EQ(time_extremes.MaximumIndex, kSpike);

  const std::vector<PolylineItem> lines = Polylines(items);
  ASSERT_EQ(lines.size(), 2u);
  for (const auto& [line, spike_y] : {std::pair{lines[0], 60}, std::pair{lines[1], 0}}) {
    EXPECT_LE(line.points.size(), 4u * (kWidth + 2));
    EXPECT_TRUE(std::any_of(line.points.begin(), line.points.end(),
                            [&](PixelPoint p) { return p.y == spike_y; }));
  }
}

// Closed forms: log x = round(log10(f / start) · W / log10(stop / start)); linear
// x = round((f − start) · W / (stop − start)); y = e − p·(v + offset) with
// p = (H − 1) / (divisions · per division) and e = (H − 1) / divisions · (divisions − ref div).
TEST(FrequencyTraceTest, PointsLandOnThePixelsOfTheMappings) {
  struct Case {
    const char* what;
    HorizontalAxis axis;
    VerticalScale scale;
    std::vector<double> x;
    std::vector<double> v;
    Points expected;
  };
  const Case cases[] = {
      // 333.33 px/decade; 3 px/dB, 0 dB on y 150.
      {"log axis, dB",
       HorizontalAxis::Log(20, 20000, 1000),
       VerticalScale(10.0, 0.0, 5, 10, 301, true),
       {100, 1000, 10000},
       {1.0, 10.0, 0.1},
       {{233, 150}, {566, 90}, {900, 210}}},
      // 1 px/Hz; 15 px/unit, offset 1 on the bottom line y 300.
      {"linear axis, linear",
       HorizontalAxis::Linear(0, 1000, 1000),
       VerticalScale(2.0, 1.0, 0, 10, 301, false),
       {100, 250, 700},
       {3.0, -1.0, 0.6},
       {{100, 240}, {250, 300}, {700, 276}}},
  };
  for (const Case& c : cases) {
    const TDataMeas record = fixtures::FrequencyRecord(kSpectrum, c.x, {c.v});
    std::vector<DisplayItem> items;
    AddFrequencyTrace(record, 1, c.axis, c.scale, {}, kPen, items);
    const std::vector<PolylineItem> lines = Polylines(items);
    ASSERT_EQ(lines.size(), 1u) << c.what;
    EXPECT_EQ(lines[0].points, c.expected) << c.what;
    EXPECT_EQ(lines[0].pen, kPen) << c.what;
  }
}

// The routine skips the axis mapping for points well inside a column and maps only each
// column's extremes; on dense noisy data it must still draw exactly what mapping every point
// and decimating draws.
TEST(FrequencyTraceTest, DenseCurveMatchesPerPointMapping) {
  constexpr std::size_t kPoints = 200000;
  const std::vector<double> f = LogFrequencies(kPoints, 10, 30000);
  std::vector<double> v = fixtures::Noise(kPoints, 5);
  const TDataMeas record = fixtures::FrequencyRecord(kSpectrum, f, {v});
  for (const HorizontalAxis& axis :
       {HorizontalAxis::Log(20, 20000, 997), HorizontalAxis::Linear(15, 21000, 1003)}) {
    const VerticalScale scale(10.0, 0.0, 8, 10, 301, true);
    std::vector<DisplayItem> items;
    AddFrequencyTrace(record, 1, axis, scale, {}, kPen, items);
    ColumnDecimation reference;
    // From the point left of the first column (half a pixel left of the axis start) to the
    // point nearest its stop.
    const auto index_from = [&](double x) {
      return static_cast<std::size_t>(std::lower_bound(f.begin(), f.end(), x) - f.begin());
    };
    std::size_t last = index_from(axis.stop());
    if (axis.stop() - f[last - 1] <= f[last] - axis.stop()) --last;
    for (std::size_t i = std::max<std::size_t>(index_from(axis.ValueAt(-0.5)), 1) - 1; i <= last;
         ++i) {
      const int x = axis.PixelOf(f[i]);
      reference.Add({x, scale.PixelOf(v[i])});
      if (x > axis.width()) break;
    }
    const std::vector<PolylineItem> lines = Polylines(items);
    ASSERT_EQ(lines.size(), 1u);
    EXPECT_EQ(lines[0].points, reference.Finish());
  }
}

// Points every 1 kHz on a linear axis of 10 Hz per pixel, recorded at 48 kHz.
TEST(FrequencyTraceTest, CurveRunsFromTheMinimumUsableXToTheBandLimit) {
  struct Case {
    const char* what;
    double minimum_usable_x;
    int column;  // 2 is the third harmonic, a distortion curve past the columns
    double view_stop;
    int first_x;
    int last_x;
  };
  const Case cases[] = {
      {"skips points below the minimum usable x", 3000.0, 1, 30000, 300, 2400},
      {"keeps a point within 0.001 below it", 3000.0005, 1, 30000, 300, 2400},
      {"ends at the point nearest the view stop", 0.0, 1, 15400, 0, 2922},  // 15 kHz
      {"a harmonic ends at Nyquist over its order", 0.0, 2, 30000, 0, 800},
  };
  std::vector<double> x;
  for (int i = 0; i <= 30; ++i) x.push_back(1000.0 * i);
  for (const Case& c : cases) {
    TDataMeas record = fixtures::FrequencyRecord(kFrequencyResponse, x, {std::vector(31, 1.0)});
    record.FSampleRate = 48000;  // Nyquist 23952 Hz
    record.FBinWidth[0] = c.minimum_usable_x;
    record.FPlotKind = 6;
    record.FSliceCount = 1;
    record.FSlices = {std::vector(31, 0.01)};
    record.FSliceValues = {3.0};
    std::vector<DisplayItem> items;
    AddFrequencyTrace(record, c.column, HorizontalAxis::Linear(0, c.view_stop, 3000),
                      VerticalScale(1, 0, 0, 10, 301, false), {}, kPen, items);
    const std::vector<PolylineItem> lines = Polylines(items);
    ASSERT_EQ(lines.size(), 1u) << c.what;
    EXPECT_EQ(lines[0].points.front().x, c.first_x) << c.what;
    EXPECT_EQ(lines[0].points.back().x, c.last_x) << c.what;
  }
}

// A pure delay of 1 ms stored as wrapped phase is drawn flat once the delay terms cancel it:
// the drawn phase is stored − 360·f·(curve delay − compensation).
TEST(FrequencyTraceTest, PhaseOfAPureDelayIsFlatAfterCompensation) {
  constexpr double kDelay = 0.001;
  struct Case {
    const char* what;
    std::uint8_t type;
    int column;
    double delay_a;
    double delay_b;
    double compensation;
    bool wrap;
    bool flat;
  };
  const Case cases[] = {
      {"compensation", kFrequencyResponse, 2, 0.0, 0.0, kDelay, true, true},
      {"negative curve delay", kFrequencyResponse, 2, -kDelay, 0.0, 0.0, true, true},
      {"curves 3 and 4 take the second delay", kFrequencyResponse, 3, 5 * kDelay, 0.0, kDelay, true,
       true},
      {"no delay on the impedance phase of type 13", kResponseAndImpedance, 4, 0.0, 0.0, kDelay,
       true, false},
      {"unwrapped first when neither flag is set", kFrequencyResponse, 2, 0.0, 0.0, kDelay, false,
       true},
      {"unwrapped, no compensation: a falling line", kFrequencyResponse, 2, 0.0, 0.0, 0.0, false,
       false},
  };
  std::vector<double> f;
  std::vector<double> phase;
  for (int i = 1; i <= 200; ++i) {
    f.push_back(50.0 * i);
    phase.push_back(WrapAngle(180.0, -360.0 * f.back() * kDelay));
  }
  for (const Case& c : cases) {
    TDataMeas record = fixtures::FrequencyRecord(c.type, f, {phase, phase, phase, phase});
    record.FEndX = 10000;
    TFieldType& curve = record.FFields[static_cast<std::size_t>(c.column)];
    curve.Units = "\xB0";
    curve.WrapPhase = c.wrap ? 1 : 0;
    curve.Unwrapped = 0;
    record.FDelayA = c.delay_a;
    record.FDelayB = c.delay_b;
    record.FDisplayDelay = c.compensation;
    const TDataMeas before = record;

    std::vector<DisplayItem> items;
    const HorizontalAxis axis = HorizontalAxis::Linear(0, 10000, 1000);
    const TraceExtremes extremes = AddFrequencyTrace(
        record, c.column, axis, VerticalScale(36, 0, 5, 10, 301, false), {}, kPen, items);
    const std::vector<PolylineItem> lines = Polylines(items);
    ASSERT_EQ(lines.size(), 1u) << c.what;
    const auto [low, high] =
        std::minmax_element(lines[0].points.begin(), lines[0].points.end(),
                            [](PixelPoint a, PixelPoint b) { return a.y < b.y; });
    if (c.flat) {
      EXPECT_EQ(low->y, 150) << c.what;
      EXPECT_EQ(high->y, 150) << c.what;
      EXPECT_NEAR(extremes.Maximum, 0.0, 1e-6) << c.what;
    } else {
      EXPECT_GT(high->y - low->y, 100) << c.what;
    }
    EXPECT_EQ(record.FFields[static_cast<std::size_t>(c.column)].Values,
              before.FFields[static_cast<std::size_t>(c.column)].Values)
        << c.what;
    EXPECT_EQ(curve.Unwrapped, 0) << c.what;
  }
}

// "PhaseInv" turns a phase by 180°: a flat +10° is drawn at -170°, 180/36 = 5 divisions lower
// on a 36°-per-division scale (30 pixels a division).
TEST(FrequencyTraceTest, PhaseInversionTurnsThePhaseByHalfATurn) {
  const std::vector<double> f = {100.0, 200.0, 300.0};
  TDataMeas record = fixtures::FrequencyRecord(kFrequencyResponse, f, {{1, 1, 1}, {10, 10, 10}});
  record.FFields[2].Units = "\xB0";
  record.FFields[2].WrapPhase = 1;
  PlotOptions inverted;
  inverted.PhaseInvert = true;
  const HorizontalAxis axis = HorizontalAxis::Linear(0, 400, 400);
  const VerticalScale scale(36, 0, 5, 10, 301, false);
  for (const auto& [options, expected_y] : {std::pair{PlotOptions{}, scale.PixelOf(10.0)},
                                            std::pair{inverted, scale.PixelOf(-170.0)}}) {
    std::vector<DisplayItem> items;
    AddFrequencyTrace(record, 2, axis, scale, options, kPen, items);
    const std::vector<PolylineItem> lines = Polylines(items);
    ASSERT_EQ(lines.size(), 1u);
    for (const PixelPoint& point : lines[0].points) EXPECT_EQ(point.y, expected_y);
  }
  EXPECT_EQ(scale.PixelOf(-170.0) - scale.PixelOf(10.0), 150);
}

TEST(FrequencyTraceTest, ValuesReadAsTheDisplayReadsThemWithoutTouchingTheRecord) {
  TDataMeas record = fixtures::FrequencyRecord(kSpectrum, {100, 200, 300}, {{1.0, 1.0, 1.0}});
  record.FDisplayScale = 2.0;
  record.FWeighting = TWeighting{};
  record.FWeighting->Points = {{10.0, 5.0, 0.0}, {100000.0, 5.0, 0.0}};
  std::vector<DisplayItem> items;
  const TraceExtremes extremes =
      AddFrequencyTrace(record, 1, HorizontalAxis::Linear(0, 1000, 1000),
                        VerticalScale(1, 0, 0, 10, 301, false), {}, kPen, items);
  EXPECT_DOUBLE_EQ(extremes.Maximum, 10.0);  // 1 · display scale 2 · weighting 5
  EXPECT_EQ(Polylines(items)[0].points.front().y, 0);
  EXPECT_EQ(record.FWeighting->HiIndex, 0);
  EXPECT_EQ(record.FWeighting->LoIndex, 0);
}

TEST(FrequencyTraceTest, MaximumLevelCapabilityDrawsItsBoundsDashedFirst) {
  TDataMeas record = fixtures::FrequencyRecord(kMaximumLevelCapability, {100, 200, 300},
                                               {{1.0, 1.0, 1.0}, {2.0, 2.0, 2.0}});
  record.FPlotKind = 0;
  record.FSliceCount = 4;
  record.FSlices = {{0.5, 0.5, 0.5}, {0.25, 0.25, 0.25}, {4.0, 4.0, 4.0}, {3.0, 3.0, 3.0}};
  const VerticalScale scale(1, 0, 0, 10, 301, false);
  const Pen wide{kTraceColor, 3, PenStyle::Solid};
  for (const int column : {1, 2}) {
    std::vector<DisplayItem> items;
    AddFrequencyTrace(record, column, HorizontalAxis::Linear(0, 1000, 1000), scale, {}, wide,
                      items);
    const std::vector<PolylineItem> lines = Polylines(items);
    ASSERT_EQ(lines.size(), 3u);
    const Pen dashed{kTraceColor, 1, PenStyle::Dash};
    EXPECT_EQ(lines[0].pen, dashed);
    EXPECT_EQ(lines[1].pen, dashed);
    EXPECT_EQ(lines[2].pen, (Pen{kTraceColor, 6, PenStyle::Solid}));
    const std::size_t bound = 2 * static_cast<std::size_t>(column) - 2;
    EXPECT_EQ(lines[0].points[0].y, scale.PixelOf(record.FSlices[bound][0])) << column;
    EXPECT_EQ(lines[1].points[0].y, scale.PixelOf(record.FSlices[bound + 1][0])) << column;
    EXPECT_EQ(lines[2].points[0].y,
              scale.PixelOf(record.FFields[static_cast<std::size_t>(column)].Values[0]))
        << column;
  }
}

// Sample i of a 1 kHz record maps to x = i on an axis of 1 ms per pixel; the window is
// samples 20..60.
TEST(TimeTraceTest, TraceAShowsTheWindowInItsColourAndTheRestInTheExclusionColour) {
  constexpr PlotColor kExclusion = 0x00FFFF;
  struct Piece {
    PlotColor color;
    int first_x;
    int last_x;
  };
  struct Case {
    const char* what;
    TimeTraceRole role;
    bool live_impulse;
    std::vector<Piece> pieces;
  };
  const Case cases[] = {
      {"trace A",
       TimeTraceRole::TraceA,
       false,
       {{kExclusion, 0, 19}, {kTraceColor, 19, 60}, {kExclusion, 60, 99}}},
      {"trace B", TimeTraceRole::TraceB, false, {{kTraceColor, 0, 99}}},
      {"live impulse", TimeTraceRole::TraceA, true, {{kTraceColor, 0, 99}}},
  };
  std::vector<double> ramp(100);
  for (std::size_t i = 0; i < ramp.size(); ++i) ramp[i] = static_cast<double>(i);
  TDataMeas record = fixtures::TimeRecord(1000, 0.0, {ramp});
  record.FWinStart = 20;
  record.FWinEnd = 60;
  for (const Case& c : cases) {
    PlotOptions options;
    options.WindowExclusionColor = kExclusion;
    options.LiveImpulse = c.live_impulse;
    std::vector<DisplayItem> items;
    AddTimeTrace(record, 0, c.role, HorizontalAxis::Time(0, 0.1, 100, 0, 1000),
                 VerticalScale(10, 0, 0, 10, 101, false), options, kPen, items);
    const std::vector<PolylineItem> lines = Polylines(items);
    ASSERT_EQ(lines.size(), c.pieces.size()) << c.what;
    for (std::size_t k = 0; k < lines.size(); ++k) {
      EXPECT_EQ(lines[k].pen.color, c.pieces[k].color) << c.what << " piece " << k;
      EXPECT_EQ(lines[k].points.front(),
                (PixelPoint{c.pieces[k].first_x, 100 - c.pieces[k].first_x}))
          << c.what << " piece " << k;
      EXPECT_EQ(lines[k].points.back().x, c.pieces[k].last_x) << c.what << " piece " << k;
    }
  }
}

// x = (first time + i / rate − start) · W / (stop − start); the axis's own sampling is not
// used, so an overlay recorded at another rate lines up with the shown record.
TEST(TimeTraceTest, SamplesArePlacedByTheRecordsOwnTiming) {
  const TDataMeas record = fixtures::TimeRecord(2000, -0.01, {{0, 0, 0, 0, 0}});
  std::vector<DisplayItem> items;
  AddTimeTrace(record, 0, TimeTraceRole::TraceB, HorizontalAxis::Time(-0.01, 0.01, 200, 0, 48000),
               TimeTraceScale(TFieldType{}, 10, 101), {}, kPen, items);
  const std::vector<PolylineItem> lines = Polylines(items);
  ASSERT_EQ(lines.size(), 1u);
  EXPECT_EQ(lines[0].points, (Points{{0, 100}, {5, 100}, {10, 100}, {15, 100}, {20, 100}}));
}

// The routine maps a few samples a column and takes the rest as a run; it must draw what
// mapping every sample and decimating draws: with many samples a column, with a fraction of
// one, with samples exactly halfway between columns (ties go to the even pixel), and with a
// view that starts and ends inside the record.
TEST(TimeTraceTest, DenseSamplesMatchPerSampleMapping) {
  struct Case {
    std::int32_t rate;
    double first_time;
    double start;
    double stop;
    int width;
  };
  const Case cases[] = {
      {48000, -0.25, -0.2, 1.7, 997},
      {48000, -0.25, 0.1, 0.1013, 997},
      {1024, 0.0, 0.0, 0.125, 64},  // sample i at x = i / 2
  };
  const std::vector<double> v = fixtures::Noise(100000, 9);
  const VerticalScale scale(0.5, 0.0, 5, 10, 301, false);
  for (const Case& c : cases) {
    const TDataMeas record = fixtures::TimeRecord(c.rate, c.first_time, {v});
    const HorizontalAxis axis =
        HorizontalAxis::Time(c.start, c.stop, c.width, c.first_time, c.rate);
    std::vector<DisplayItem> items;
    AddTimeTrace(record, 0, TimeTraceRole::TraceB, axis, scale, {}, kPen, items);
    ColumnDecimation reference;
    const auto index = [&](double t) { return (t - c.first_time) * c.rate; };
    // From one sample left of those that round onto the first column.
    const auto first =
        std::max(static_cast<std::int32_t>(std::floor(index(axis.ValueAt(-0.5)))) - 1, 0);
    const auto last = std::min(static_cast<std::int32_t>(std::ceil(index(c.stop))) + 1,
                               static_cast<std::int32_t>(v.size()) - 1);
    for (std::int32_t i = first; i <= last; ++i) {
      reference.Add({axis.PixelOfSample(i), scale.PixelOf(v[static_cast<std::size_t>(i)])});
    }
    const std::vector<PolylineItem> lines = Polylines(items);
    ASSERT_EQ(lines.size(), 1u) << c.rate << " " << c.start;
    EXPECT_EQ(lines[0].points, reference.Finish()) << c.rate << " " << c.start;
  }
}

TEST(TimeTraceTest, TinyPerDivisionCountsAsOne) {
  TFieldType curve;
  curve.PerDiv = 1e-10;
  const VerticalScale scale = TimeTraceScale(curve, 10, 101);
  EXPECT_EQ(scale.PixelOf(1.0), 90);  // 10 px per unit, 0 on the bottom line
  curve.PerDiv = 2e-9;
  EXPECT_EQ(TimeTraceScale(curve, 10, 101).PixelOf(1e-9), 95);
}

// Third-octave bands around 1 kHz on a log axis of 500 px/decade from 100 Hz: the edges lie
// at centre / 2^(1/6) and centre · 2^(1/6), i.e. log10 = 3 ± 0.0501717 → x 475 and 525.
TEST(BandTraceTest, StepEdgesLieAtCentreOverAndTimesRootRatio) {
  const double r = std::cbrt(2.0);
  const TDataMeas record =
      fixtures::FrequencyRecord(kRtaBands, {1000 / r, 1000, 1000 * r}, {{1.0, 2.0, 0.5}});
  std::vector<DisplayItem> items;
  const TraceExtremes extremes =
      AddBandTrace(record, 1, HorizontalAxis::Log(100, 10000, 1000),
                   VerticalScale(6, 0, 5, 10, 301, true), {}, kPen, items);
  const std::vector<PolylineItem> lines = Polylines(items);
  ASSERT_EQ(lines.size(), 1u);
  // 5 px/dB: 0 dB at 150, +6.02 dB at 120, −6.02 dB at 180.
  EXPECT_EQ(lines[0].points,
            (Points{{425, 150}, {475, 150}, {475, 120}, {525, 120}, {525, 180}, {575, 180}}));
  EXPECT_EQ(extremes.MaximumIndex, 1);
  EXPECT_EQ(extremes.MinimumIndex, 2);
}

TEST(BandTraceTest, BandsOutsideTheViewAreLeftOut) {
  std::vector<double> centres;
  for (int k = -9; k <= 9; ++k) centres.push_back(1000 * std::pow(2.0, k / 3.0));
  const TDataMeas record = fixtures::FrequencyRecord(kRtaBands, centres, {std::vector(19, 1.0)});
  std::vector<DisplayItem> items;
  AddBandTrace(record, 1, HorizontalAxis::Log(700, 1500, 1000),
               VerticalScale(6, 0, 5, 10, 301, true), {}, kPen, items);
  const std::vector<PolylineItem> lines = Polylines(items);
  ASSERT_EQ(lines.size(), 1u);
  // The bands reaching into 700..1500 Hz: 630 (up to 707) .. 1587 (down to 1414).
  const HorizontalAxis axis = HorizontalAxis::Log(700, 1500, 1000);
  const double half_step = std::pow(2.0, 1.0 / 6);
  EXPECT_EQ(lines[0].points.front().x, axis.PixelOf(1000 * std::pow(2.0, -2.0 / 3) / half_step));
  EXPECT_EQ(lines[0].points.back().x, axis.PixelOf(1000 * std::pow(2.0, 2.0 / 3) * half_step));
}

TEST(FrequencyTraceTest, EveryRoutineDrawsNothingWithoutTwoPoints) {
  const VerticalScale scale(1, 0, 0, 10, 301, false);
  const HorizontalAxis log = HorizontalAxis::Log(20, 20000, 1000);
  struct Case {
    const char* what;
    TDataMeas record;
    bool time;
    bool bands;
  };
  const Case cases[] = {
      {"one frequency point", fixtures::FrequencyRecord(kSpectrum, {100}, {{1}}), false, false},
      {"no points", fixtures::FrequencyRecord(kSpectrum, {}, {{}}), false, false},
      {"one sample", fixtures::TimeRecord(48000, 0, {{1}}), true, false},
      {"one band", fixtures::FrequencyRecord(kRtaBands, {1000}, {{1}}), false, true},
      {"first band centre below 0.001",
       fixtures::FrequencyRecord(kRtaBands, {0.0005, 1000}, {{1, 1}}), false, true},
      {"band centres descending", fixtures::FrequencyRecord(kRtaBands, {2000, 1000}, {{1, 1}}),
       false, true},
      {"all points left of the minimum usable x",
       [] {
         TDataMeas r = fixtures::FrequencyRecord(kSpectrum, {100, 200}, {{1, 1}});
         r.FBinWidth[0] = 1000;
         return r;
       }(),
       false, false},
  };
  for (const Case& c : cases) {
    std::vector<DisplayItem> items;
    TraceExtremes extremes;
    if (c.time) {
      extremes = AddTimeTrace(c.record, 0, TimeTraceRole::TraceA,
                              HorizontalAxis::Time(0, 1, 1000, 0, 48000), scale, {}, kPen, items);
    } else if (c.bands) {
      extremes = AddBandTrace(c.record, 1, log, scale, {}, kPen, items);
    } else {
      extremes = AddFrequencyTrace(c.record, 1, log, scale, {}, kPen, items);
    }
    EXPECT_TRUE(items.empty()) << c.what;
    EXPECT_EQ(extremes.MaximumIndex, -1) << c.what;
  }
}

}  // namespace
}  // namespace vireon
