#include "plot/AutoScale.h"

#include <gtest/gtest.h>

#include <cmath>
#include <functional>
#include <string>
#include <vector>

#include "plot/ScaleRules.h"
#include "record/DataTypes.h"
#include "record/NumericHelpers.h"
#include "record/RecordFixtures.h"

namespace vireon {
namespace {

// The value on division line d, counted from the bottom (0) to the top (divisions).
double ValueOnLine(const TFieldType& curve, double line) {
  return -curve.RefValue + (line - curve.RefDiv) * curve.PerDiv;
}

// Where a value sits, as a fraction of the height from the bottom.
double HeightOf(const TFieldType& curve, std::int32_t divisions, double value) {
  return (curve.RefDiv + (value + curve.RefValue) / curve.PerDiv) / divisions;
}

void ExpectScale(const CurveScale& actual, const CurveScale& expected) {
  EXPECT_NEAR(actual.PerDiv, expected.PerDiv, 1e-12 * std::abs(expected.PerDiv));
  EXPECT_NEAR(actual.RefValue, expected.RefValue, 1e-12 * (1.0 + std::abs(expected.RefValue)));
  EXPECT_EQ(actual.RefDiv, expected.RefDiv);
}

// 10^k for a per division d·10^k.
double LeadingUnit(double per_division) {
  return std::pow(10.0, std::floor(std::log10(per_division) + 1e-9));
}

std::vector<double> Spaced(double first, double last, int points, bool log) {
  std::vector<double> x(static_cast<std::size_t>(points));
  for (int i = 0; i < points; ++i) {
    const double t = static_cast<double>(i) / (points - 1);
    x[static_cast<std::size_t>(i)] =
        log ? first * std::pow(last / first, t) : first + (last - first) * t;
  }
  return x;
}

// `base` everywhere but two single points, high and low, well inside the record: the mean is
// `base` to one significant digit, so the fit is easy to follow by hand.
std::vector<double> TwoSpikes(int points, double base, double high, double low) {
  std::vector<double> v(static_cast<std::size_t>(points), base);
  v[static_cast<std::size_t>(points * 3 / 10)] = high;
  v[static_cast<std::size_t>(points * 6 / 10)] = low;
  return v;
}

std::vector<double> Linear(std::vector<double> db) {
  for (double& v : db) v = FromDb(v);
  return db;
}

// A response 20 Hz .. 20 kHz on a log axis: 80 dB with a peak of 93.2 dB and a dip to 60 dB,
// and a wrapped phase.
TDataMeas DbResponse(std::int32_t divisions = 10) {
  const int n = 200;
  TDataMeas record =
      fixtures::FrequencyRecord(kFrequencyResponse, Spaced(20, 20000, n, true),
                                {Linear(TwoSpikes(n, 80, 93.2, 60)), TwoSpikes(n, 10, 170, -170)});
  record.FFields[1].ShowAsDb = 1;
  record.FFields[1].Units = "dBV";
  fixtures::MakePhaseColumn(record, 2);
  record.FFields[2].WrapPhase = 1;
  record.FLogX = 1;
  record.FViewStart = 20;
  record.FViewStop = 20000;
  record.FBinWidth[0] = 20;
  record.FNumDivisions = divisions;
  record.FTraceA = 1;
  record.FTraceB = 2;
  return record;
}

// Group delay in seconds around 2 ms on a linear axis.
TDataMeas GroupDelay() {
  const int n = 100;
  TDataMeas record = fixtures::FrequencyRecord(kGroupDelay, Spaced(100, 10000, n, false),
                                               {TwoSpikes(n, 2e-3, 2.5e-3, 1.5e-3)});
  record.FFields[1].Units = "s";
  record.FViewStart = 100;
  record.FViewStop = 10000;
  record.FBinWidth[0] = 100;
  record.FNumDivisions = 10;
  record.FTraceA = 1;
  return record;
}

// Two channels of 10 ms at 48 kHz, peaking at 0.8 and 0.3.
TDataMeas TwoChannelTime() {
  const int n = 480;
  TDataMeas record =
      fixtures::TimeRecord(48000, 0.0, {TwoSpikes(n, 0.1, 0.8, -0.7), TwoSpikes(n, 0, 0.2, -0.3)});
  record.FFields[0].Units = "V";
  record.FFields[1].Units = "V";
  record.FEndX = (n - 1) / 48000.0;
  record.FViewStart = 0;
  record.FViewStop = record.FEndX;
  record.FNumDivisions = 10;
  record.FTraceA = 0;
  record.FTraceB = 1;
  return record;
}

// 6 .. 38 Ohm with a wrapped phase.
TDataMeas ImpedanceWithPhase() {
  const int n = 100;
  TDataMeas record = fixtures::FrequencyRecord(kImpedance, Spaced(10, 10000, n, true),
                                               {TwoSpikes(n, 8, 38, 6), TwoSpikes(n, 0, 40, -40)});
  record.FFields[1].Units = "Ohm";
  fixtures::MakePhaseColumn(record, 2);
  record.FFields[2].WrapPhase = 1;
  record.FLogX = 1;
  record.FViewStart = 10;
  record.FViewStop = 10000;
  record.FNumDivisions = 10;
  record.FTraceA = 1;
  record.FTraceB = 2;
  return record;
}

// A component track holding dB values up to 87 dB.
TDataMeas ComponentTrack() {
  const int n = 100;
  TDataMeas record = fixtures::FrequencyRecord(kComponentTrack, Spaced(20, 20000, n, true),
                                               {TwoSpikes(n, 70, 87, 40)});
  record.FFields[1].Units = "dB";
  record.FLogX = 1;
  record.FViewStart = 20;
  record.FViewStop = 20000;
  record.FNumDivisions = 10;
  record.FTraceA = 1;
  return record;
}

struct Scales {
  CurveScale a;
  CurveScale b;
  std::int32_t divisions;
  bool operator==(const Scales&) const = default;
};

Scales ScalesOf(const TDataMeas& record) {
  const auto of = [&record](int trace) {
    const int column = record.TraceColumn(trace);
    return column < 0 ? CurveScale{} : ScaleOf(record.FFields[static_cast<std::size_t>(column)]);
  };
  return {of(0), of(1), record.FNumDivisions};
}

// The reference rule gives the smallest top value, in steps of the per division's unit, that
// keeps the maximum at or below 7/8 of the height; the grid then reads in whole units.
void ExpectMaximumPlaced(const TFieldType& curve, std::int32_t divisions, double maximum) {
  const double unit = LeadingUnit(curve.PerDiv);
  const double top = ValueOnLine(curve, divisions);
  EXPECT_NEAR(top / unit, std::round(top / unit), 1e-6) << "top line " << top;
  EXPECT_EQ(curve.RefDiv, divisions - 1);
  EXPECT_LE(HeightOf(curve, divisions, maximum), 0.875 + 1e-12);
  EXPECT_GT(HeightOf(curve, divisions, maximum), 0.875 - unit / (curve.PerDiv * divisions));
}

TEST(AutoScaleTest, DbResponsePeakingAt93Point2) {
  // By hand, 10 divisions, mean 80, minimum 60: the fit needs 3 dB per division (the point
  // halfway between mean and minimum, 70 dB, must stay above the bottom), raised to 5 dB; the
  // maximum at 7/8 puts 93.2 + 0.25 · 5 = 94.45 on the top grid line, in whole dB 95.
  TDataMeas record = DbResponse();
  EXPECT_TRUE(AutoScale(record, 0, AutoScaleMode::ScaleAndReference, PlotOptions{}));
  EXPECT_EQ(ScaleOf(record.FFields[1]), (CurveScale{5.0, -95.0, 9}));
  EXPECT_NEAR(HeightOf(record.FFields[1], 10, 93.2), 0.864, 1e-12);
}

// With many divisions the maximum still sits at or just below 7/8 of the height: the offset is
// not limited to a few raises from its first guess.
TEST(AutoScaleTest, DbMaximumBelowSevenEighthsAtEveryDivisionCount) {
  for (const std::int32_t divisions : {4, 6, 10, 20, 40}) {
    TDataMeas record = DbResponse(divisions);
    AutoScale(record, 0, AutoScaleMode::ScaleAndReference, PlotOptions{});
    const TFieldType& curve = record.FFields[1];
    SCOPED_TRACE(divisions);
    EXPECT_GE(curve.PerDiv, 5.0);
    EXPECT_LE(curve.PerDiv, 100.0);
    ExpectMaximumPlaced(curve, divisions, 93.2);
    EXPECT_GE(HeightOf(curve, divisions, 70.0), 0.0);
  }
}

TEST(AutoScaleTest, GroupDelayInSecondsKeepsItsOwnScale) {
  // By hand: maximum 2.5 ms, halfway point 1.75 ms, 10 divisions. At 90 us per division the
  // top grid line is 2.53 ms (2.5225 ms rounded up to 10 us) and 1.75 ms stays 0.3 divisions
  // above the bottom; at 80 us it would fall below.
  TDataMeas record = GroupDelay();
  AutoScale(record, 0, AutoScaleMode::ScaleAndReference, PlotOptions{});
  const TFieldType& curve = record.FFields[1];
  EXPECT_NEAR(curve.PerDiv, 9e-5, 1e-18);
  EXPECT_NEAR(curve.RefValue, -2.53e-3, 1e-15);
  EXPECT_EQ(curve.RefDiv, 9);
  ExpectMaximumPlaced(curve, 10, 2.5e-3);
}

TEST(AutoScaleTest, TypeRules) {
  struct Case {
    const char* what;
    std::function<TDataMeas()> make;
    Scales expected;
  };
  const auto unwrapped = [] {
    TDataMeas record = DbResponse();
    record.FFields[2].WrapPhase = 0;
    record.FFields[2].Unwrapped = 1;
    record.FFields[2].Values = TwoSpikes(200, 10, 500, -700);
    return record;
  };
  const Case cases[] = {
      // Each trace its half: A's zero at 3/4, B's at 1/4 of the height, twice the per division
      // of 2 · peak / divisions rounded up to one digit.
      {"time, both traces", TwoChannelTime, {{0.4, 1.0, 5}, {0.12, -0.3, 5}, 10}},
      // Magnitude from 0 on the bottom line, 38 / 10 rounded up; phase ±180°.
      {"impedance", ImpedanceWithPhase, {{4.0, 0.0, 0}, {36.0, 0.0, 5}, 10}},
      // 8 divisions of 20 dB, 87 dB rounded up to 90 on line 7.
      {"component track", ComponentTrack, {{20.0, -90.0, 7}, {}, 8}},
      // Unwrapped phase: 2 · 700 / 10 rounded up to one digit, 0° in the middle.
      {"unwrapped phase", unwrapped, {{5.0, -95.0, 9}, {200.0, 0.0, 5}, 10}},
  };
  for (const Case& c : cases) {
    TDataMeas record = c.make();
    AutoScaleTraces(record, PlotOptions{});
    const Scales got = ScalesOf(record);
    SCOPED_TRACE(c.what);
    EXPECT_EQ(got.divisions, c.expected.divisions);
    ExpectScale(got.a, c.expected.a);
    ExpectScale(got.b, c.expected.b);
  }
}

TEST(AutoScaleTest, TimeTracesSharingAUnitShareTheScale) {
  TDataMeas record = TwoChannelTime();
  EXPECT_TRUE(AutoScaleShared(record, PlotOptions{}));
  // B takes A's scale with its zero mirrored to a quarter of the height.
  ExpectScale(ScaleOf(record.FFields[0]), {0.4, 1.0, 5});
  ExpectScale(ScaleOf(record.FFields[1]), {0.4, -1.0, 5});
  EXPECT_NEAR(HeightOf(record.FFields[1], 10, 0.0), 0.25, 1e-12);

  record.FFields[1].Units = "Pa";
  AutoScaleShared(record, PlotOptions{});
  ExpectScale(ScaleOf(record.FFields[1]), {0.12, -0.3, 5});
}

TEST(AutoScaleTest, PressingTwiceChangesNothing) {
  const std::pair<const char*, std::function<TDataMeas()>> records[] = {
      {"dB response", [] { return DbResponse(); }}, {"group delay", GroupDelay},
      {"time, both traces", TwoChannelTime},        {"impedance with phase", ImpedanceWithPhase},
      {"component track", ComponentTrack},
  };
  const std::pair<const char*, std::function<bool(TDataMeas&)>> presses[] = {
      {"AutoV", [](TDataMeas& r) { return AutoScaleTraces(r, PlotOptions{}); }},
      {"AutoV right click", [](TDataMeas& r) { return AutoScaleShared(r, PlotOptions{}); }},
      {"VScaleA", [](TDataMeas& r) { return AutoScale(r, 0, AutoScaleMode::Scale, {}); }},
      {"VRefA", [](TDataMeas& r) { return AutoScale(r, 0, AutoScaleMode::Reference, {}); }},
  };
  for (const auto& [what, make] : records) {
    for (const auto& [button, press] : presses) {
      SCOPED_TRACE(std::string(what) + ", " + button);
      TDataMeas record = make();
      press(record);
      const Scales once = ScalesOf(record);
      EXPECT_FALSE(press(record));
      EXPECT_EQ(ScalesOf(record), once);
    }

    // Nor does the scale the traces started from matter.
    TDataMeas first = make();
    AutoScaleTraces(first, PlotOptions{});
    for (const double start : {1e-9, 0.37, 37.0, 3e4}) {
      TDataMeas other = make();
      for (TFieldType& curve : other.FFields) {
        curve.PerDiv = start;
        curve.RefValue = 12.0;
      }
      AutoScaleTraces(other, PlotOptions{});
      EXPECT_EQ(ScalesOf(other), ScalesOf(first)) << what << " from " << start;
    }
  }
}

TEST(AutoScaleTest, ModeSetsOnlyItsPart) {
  const CurveScale start{10.0, -50.0, 3};
  TDataMeas record = DbResponse();
  record.FFields[1].PerDiv = start.PerDiv;
  record.FFields[1].RefValue = start.RefValue;
  record.FFields[1].RefDiv = start.RefDiv;

  TDataMeas scaled = record;
  AutoScale(scaled, 0, AutoScaleMode::Scale, PlotOptions{});
  EXPECT_EQ(ScaleOf(scaled.FFields[1]), (CurveScale{5.0, start.RefValue, start.RefDiv}));

  // The reference for the trace's own 10 dB: 93.2 + 0.25 · 10 = 95.7 rounded up to 10 dB.
  TDataMeas placed = record;
  AutoScale(placed, 0, AutoScaleMode::Reference, PlotOptions{});
  EXPECT_EQ(ScaleOf(placed.FFields[1]), (CurveScale{start.PerDiv, -100.0, 9}));
}

TEST(AutoScaleTest, DbLimitsApplyToDbCurvesOnly) {
  // 78 .. 82 around 80 on 10 divisions fits 0.4 units per division.
  struct Case {
    std::uint8_t type;
    std::uint8_t show_as_db;
    const char* units;
    std::int32_t distortion_mode;
    double expected;
  };
  const Case cases[] = {
      {kFrequencyResponse, 1, "dBV", 0, 5.0},  // drawn as dB
      {kFrequencyResponse, 0, "dB", 0, 5.0},   // holding dB values
      {kFrequencyResponse, 0, "V", 0, 0.4},    // linear: as the data needs
      {kDistortionVsLevel, 0, "dB", 0, 0.4},   // no lower limit in display modes 0 and 4
      {kDistortionVsLevel, 0, "dB", 4, 0.4},
      {kDistortionVsLevel, 0, "dB", 1, 5.0},
      {kDistortionVsLevelVsFrequency, 0, "dB", 0, 0.4},
      {kMaximumLevelCapability, 0, "dB", 0, 5.0},
  };
  for (const Case& c : cases) {
    const int n = 100;
    std::vector<double> values = TwoSpikes(n, 80, 82, 78);
    if (c.show_as_db != 0) values = Linear(values);
    TDataMeas record = fixtures::FrequencyRecord(c.type, Spaced(100, 1000, n, false), {values});
    record.FFields[1].ShowAsDb = c.show_as_db;
    record.FFields[1].Units = c.units;
    record.FViewStart = 100;
    record.FViewStop = 1000;
    record.FNumDivisions = 10;
    record.FTraceA = 1;
    PlotOptions options;
    options.DistortionDisplayMode = c.distortion_mode;
    AutoScale(record, 0, AutoScaleMode::ScaleAndReference, options);
    EXPECT_NEAR(record.FFields[1].PerDiv, c.expected, 1e-12)
        << int(c.type) << " " << c.units << " mode " << c.distortion_mode;
  }

  // A span of thousands of dB is held at 100 dB per division.
  TDataMeas wide = DbResponse();
  wide.FFields[1].Values = TwoSpikes(200, 1e-60, FromDb(90), 1e-100);  // -1200, 90, -2000 dB
  AutoScale(wide, 0, AutoScaleMode::ScaleAndReference, PlotOptions{});
  EXPECT_EQ(wide.FFields[1].PerDiv, 100.0);
}

TEST(AutoScaleTest, CoherenceSpansZeroToOne) {
  for (const AutoScaleMode mode : {AutoScaleMode::Scale, AutoScaleMode::ScaleAndReference}) {
    for (const std::int32_t divisions : {7, 10}) {
      TDataMeas record = DbResponse(divisions);
      record.FFields[2].Name = "Coherence Function";
      record.FFields[2].Units = "Units";
      record.FFields[2].Values.assign(200, 0.5);
      AutoScale(record, 1, mode, PlotOptions{});
      EXPECT_NEAR(ValueOnLine(record.FFields[2], 0), 0.0, 1e-12) << divisions;
      EXPECT_NEAR(ValueOnLine(record.FFields[2], divisions), 1.0, 1e-12) << divisions;
    }
  }
}

// A harmonic distortion plot: response magnitude (dBV), phase, and the distortion total.
TDataMeas DistortionPlot(const char* distortion_units) {
  TDataMeas record = DbResponse();
  record.FPlotKind = 6;
  record.FNumFields = 4;
  record.AllocColumns();
  record.FFields[3].Values = Linear(TwoSpikes(200, 20, 30, 10));
  record.FFields[3].ShowAsDb = 1;
  record.FFields[3].Units = distortion_units;
  record.FFields[3].PerDiv = 7.0;
  record.FFields[3].RefValue = 3.0;
  record.FFields[3].RefDiv = 2;
  record.FTraceB = 3;
  return record;
}

TEST(AutoScaleTest, DistortionCurvesFollowTheResponse) {
  // In the response's unit: the response's scale.
  TDataMeas same = DistortionPlot("dBV");
  AutoScaleTraces(same, PlotOptions{});
  EXPECT_EQ(ScaleOf(same.FFields[3]), ScaleOf(same.FFields[1]));

  // Relative in dB: 0 dB on the top grid line, per division kept.
  TDataMeas relative = DistortionPlot("dB");
  AutoScaleTraces(relative, PlotOptions{});
  EXPECT_EQ(ScaleOf(relative.FFields[3]), (CurveScale{7.0, 0.0, 9}));
}

TEST(AutoScaleTest, DistortionPlotIgnoresUnmeasuredEnds) {
  // The first and last 20 points hold no measurement (1e-15): without them the response scales
  // as the plain response does; with them its minimum would be -300 dB.
  TDataMeas record = DistortionPlot("dB");
  for (int i = 0; i < 20; ++i) {
    record.FFields[1].Values[static_cast<std::size_t>(i)] = 1e-15;
    record.FFields[1].Values[static_cast<std::size_t>(199 - i)] = 1e-15;
  }
  AutoScale(record, 0, AutoScaleMode::ScaleAndReference, PlotOptions{});
  EXPECT_EQ(ScaleOf(record.FFields[1]), (CurveScale{5.0, -95.0, 9}));
}

TEST(AutoScaleTest, NothingToScale) {
  TDataMeas no_trace = DbResponse();
  no_trace.FTraceB = -1;
  EXPECT_FALSE(AutoScale(no_trace, 1, AutoScaleMode::ScaleAndReference, PlotOptions{}));
  EXPECT_FALSE(AutoScale(no_trace, 2, AutoScaleMode::ScaleAndReference, PlotOptions{}));

  // A view outside the data leaves the scale and the division count alone.
  TDataMeas outside = DbResponse(2);
  outside.FViewStart = 30000;
  outside.FViewStop = 40000;
  const Scales before = ScalesOf(outside);
  EXPECT_FALSE(AutoScaleTraces(outside, PlotOptions{}));
  EXPECT_EQ(ScalesOf(outside), before);
}

TEST(AutoScaleTest, RaisesDivisionsAndRecentresAStrayReference) {
  TDataMeas record = DbResponse(2);
  record.FFields[2].RefDiv = 12;
  EXPECT_TRUE(AutoScale(record, 1, AutoScaleMode::Scale, PlotOptions{}));
  EXPECT_EQ(record.FNumDivisions, 4);
  EXPECT_EQ(record.FFields[2].RefDiv, 2);

  // A component track always has 8 divisions: a reference on line 10 is stray there.
  TDataMeas track = ComponentTrack();
  track.FFields[1].RefDiv = 10;
  AutoScale(track, 0, AutoScaleMode::Scale, PlotOptions{});
  EXPECT_EQ(track.FNumDivisions, 8);
  EXPECT_EQ(track.FFields[1].RefDiv, 4);
}

}  // namespace
}  // namespace vireon
