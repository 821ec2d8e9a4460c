#include "plot/PlotAxes.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <utility>

#include "record/DataTypes.h"

namespace vireon {
namespace {

// 20 Hz .. 20 kHz over 999 pixels is exactly 333 pixels per decade.
TEST(PlotAxesTest, LogAxisMapsDecadesToEqualWidths) {
  const HorizontalAxis axis = HorizontalAxis::Log(20.0, 20000.0, 999);
  EXPECT_EQ(axis.kind(), HorizontalAxis::Kind::Log);
  EXPECT_DOUBLE_EQ(axis.PixelsPerDecade(), 333.0);
  struct Case {
    double hz;
    double position;
  };
  const Case cases[] = {{20.0, 0.0},
                        {200.0, 333.0},
                        {2000.0, 666.0},
                        {20000.0, 999.0},
                        {100.0, 333.0 * std::log10(5.0)},  // 232.76
                        {10.0, -333.0 * std::log10(2.0)}};
  for (const Case& c : cases) {
    EXPECT_NEAR(axis.Position(c.hz), c.position, 1e-9) << c.hz;
    EXPECT_NEAR(axis.ValueAt(c.position), c.hz, c.hz * 1e-12) << c.hz;
  }
  EXPECT_EQ(axis.PixelOf(100.0), 233);
  EXPECT_LT(axis.Position(0.0), -1e9) << "no logarithm of zero: far off the left edge";
  EXPECT_LT(axis.Position(-5.0), -1e9);
}

// The range is made drawable before anything is mapped: stop at or below start becomes
// 1.1 · start, the start is at least 0.1 and the stop at least start · 1.00001.
TEST(PlotAxesTest, LogAxisRangeIsNormalised) {
  struct Case {
    double start;
    double stop;
    double drawn_start;
    double drawn_stop;
  };
  const Case cases[] = {
      {1000.0, 1000.0, 1000.0, 1100.0},  // equal: one tenth wider
      {1000.0, 500.0, 1000.0, 1100.0},   // inverted
      {0.01, 100.0, 0.1, 100.0},         // start below 0.1
      {-5.0, 10.0, 0.1, 10.0},          {0.0, 0.0, 0.1, 0.100001}, {0.05, 0.05, 0.1, 0.100001},
  };
  for (const Case& c : cases) {
    const HorizontalAxis axis = HorizontalAxis::Log(c.start, c.stop, 500);
    EXPECT_DOUBLE_EQ(axis.start(), c.drawn_start) << c.start << ".." << c.stop;
    EXPECT_DOUBLE_EQ(axis.stop(), c.drawn_stop) << c.start << ".." << c.stop;
    EXPECT_TRUE(std::isfinite(axis.PixelsPerDecade()));
    EXPECT_NEAR(axis.Position(axis.stop()), 500.0, 1e-6);
  }
}

TEST(PlotAxesTest, LinearAxisAndItsInverse) {
  const HorizontalAxis axis = HorizontalAxis::Linear(-200.0, 800.0, 500);
  EXPECT_EQ(axis.kind(), HorizontalAxis::Kind::Linear);
  const std::pair<double, double> cases[] = {
      {-200.0, 0.0}, {0.0, 100.0}, {301.0, 250.5}, {800.0, 500.0}};
  for (const auto& [x, position] : cases) {
    EXPECT_DOUBLE_EQ(axis.Position(x), position) << x;
    EXPECT_DOUBLE_EQ(axis.ValueAt(position), x) << x;
  }
  EXPECT_EQ(axis.PixelOf(301.0), 250) << "250.5 rounds to even";
  EXPECT_EQ(axis.PixelOf(303.0), 252) << "251.5 rounds to even";
}

// A zero-width or inverted range would divide by zero: it is widened by a tenth of its
// magnitude, or by one unit where that tenth is nothing.
TEST(PlotAxesTest, DegenerateLinearRangeIsWidened) {
  struct Case {
    double start;
    double stop;
    double drawn_stop;
  };
  const Case cases[] = {
      {5.0, 5.0, 5.5},
      {5.0, 3.0, 5.5},
      {-2.0, -2.0, -1.8},
      {0.0, 0.0, 1.0},
      {-0.0, 0.0, 1.0},
      {std::numeric_limits<double>::denorm_min(), std::numeric_limits<double>::denorm_min(), 1.0},
  };
  for (const Case& c : cases) {
    for (const HorizontalAxis& axis : {HorizontalAxis::Linear(c.start, c.stop, 400),
                                       HorizontalAxis::Time(c.start, c.stop, 400, 0.0, 48000)}) {
      EXPECT_EQ(axis.start(), c.start);
      EXPECT_DOUBLE_EQ(axis.stop(), c.drawn_stop) << c.start << ".." << c.stop;
      EXPECT_DOUBLE_EQ(axis.Position(axis.stop()), 400.0) << c.start << ".." << c.stop;
    }
  }
}

TEST(PlotAxesTest, TimeAxisPlacesSamples) {
  // 48 kHz from -1 ms: sample i at -1 ms + i / 48000 s, on an axis -2 ms .. 8 ms of 1000 pixels.
  const HorizontalAxis axis = HorizontalAxis::Time(-0.002, 0.008, 1000, -0.001, 48000);
  EXPECT_EQ(axis.kind(), HorizontalAxis::Kind::Time);
  EXPECT_EQ(axis.PixelOfSample(0), 100);
  EXPECT_EQ(axis.PixelOfSample(48), 200);
  EXPECT_EQ(axis.PixelOfSample(24), 150);
  EXPECT_NEAR(axis.ValueAt(600.0), 0.004, 1e-15);

  // Samples before the start are held one pixel off the left edge.
  const HorizontalAxis late = HorizontalAxis::Time(0.01, 0.02, 1000, 0.0, 48000);
  EXPECT_EQ(late.PixelOfSample(0), -1);
  // Without a sample rate, samples are one second apart rather than a division by zero.
  const HorizontalAxis unrated = HorizontalAxis::Time(0.0, 10.0, 100, 0.0, 0);
  EXPECT_EQ(unrated.PixelOfSample(3), 30);
}

TEST(PlotAxesTest, RecordChoosesTheAxis) {
  struct Case {
    std::uint8_t type;
    std::uint8_t log_x;
    HorizontalAxis::Kind kind;
  };
  const Case cases[] = {
      {kTimeDomain, 1, HorizontalAxis::Kind::Time},
      {kStepResponse, 0, HorizontalAxis::Kind::Time},
      {kFrequencyResponse, 1, HorizontalAxis::Kind::Log},
      {kFrequencyResponse, 0, HorizontalAxis::Kind::Linear},
      {kEnergyTimeCurve, 0, HorizontalAxis::Kind::Linear},
  };
  for (const Case& c : cases) {
    TDataMeas record;
    record.FDataType = c.type;
    record.FLogX = c.log_x;
    record.FViewStart = 10.0;
    record.FViewStop = 1000.0;
    record.FSampleRate = 1000;
    const HorizontalAxis axis = HorizontalAxis::ForRecord(record, 300);
    EXPECT_EQ(axis.kind(), c.kind) << int{c.type};
    EXPECT_EQ(axis.width(), 300);
    EXPECT_EQ(axis.start(), 10.0);
    EXPECT_EQ(axis.stop(), 1000.0);
  }
}

// 401 pixels, 8 divisions of 10 dB with -90 dB offset on line 7: 50 pixels a division, 5 a dB,
// 90 dB on the top grid line (y = 50).
TEST(PlotAxesTest, DbScaleMapsMagnitudes) {
  TFieldType curve;
  curve.PerDiv = 10.0;
  curve.RefValue = -90.0;
  curve.RefDiv = 7;
  curve.ShowAsDb = 1;
  const VerticalScale scale = VerticalScale::ForCurve(curve, 8, 401);
  EXPECT_DOUBLE_EQ(scale.ReferenceY(), 50.0);
  EXPECT_DOUBLE_EQ(scale.PixelsPerUnit(), 5.0);
  struct Case {
    double value;
    double display;
    double position;
  };
  const Case cases[] = {
      {std::pow(10.0, 90.0 / 20.0), 90.0, 50.0},
      {-100.0, 40.0, 300.0},  // the magnitude of a negative value
      {1.0, 0.0, 500.0},
      {1e-15, -300.0, 2000.0},  // 1e-15 is exactly -300 dB
      {1e-16, -300.0, 2000.0},  // and everything below it too
      {0.0, -300.0, 2000.0},
      {std::numeric_limits<double>::quiet_NaN(), -300.0, 2000.0},
  };
  for (const Case& c : cases) {
    EXPECT_NEAR(scale.DisplayValue(c.value), c.display, 1e-9) << c.value;
    EXPECT_NEAR(scale.PositionOfDisplay(c.display), c.position, 1e-9) << c.value;
    EXPECT_NEAR(scale.DisplayValueAt(c.position), c.display, 1e-9) << c.value;
  }
}

TEST(PlotAxesTest, LinearScaleAndPixelClamp) {
  // 4 divisions of 0.5 over 201 pixels, 0 on the middle line: 100 pixels a unit.
  const VerticalScale scale(0.5, 0.0, 2, 4, 201, false);
  EXPECT_DOUBLE_EQ(scale.ReferenceY(), 100.0);
  EXPECT_EQ(scale.PixelOf(0.25), 75);
  EXPECT_EQ(scale.PixelOf(-1.0), 200);
  EXPECT_EQ(scale.PixelOf(1e300), -2147483647);
  EXPECT_EQ(scale.PixelOf(-1e300), 2147483647);
  // A per-division of zero has no scale; it draws everything on the reference line.
  const VerticalScale flat(0.0, 0.0, 2, 4, 201, false);
  EXPECT_EQ(flat.PixelOf(123.0), 100);
}

TEST(PlotAxesTest, GridLinesAndDivisionCount) {
  struct Case {
    std::int32_t line;
    std::int32_t divisions;
    int height;
    int y;
  };
  const Case cases[] = {
      {1, 8, 401, 50}, {3, 8, 300, 112},                      // 112.125
      {1, 4, 11, 2},                                          // 2.5 rounds to even
      {3, 4, 11, 8},                                          // 7.5 rounds to even
      {0, 10, 300, 0}, {10, 10, 300, 299}, {1, 0, 101, 100},  // no divisions counts as one
  };
  for (const Case& c : cases) {
    EXPECT_EQ(GridLineY(c.line, c.divisions, c.height), c.y)
        << c.line << "/" << c.divisions << " of " << c.height;
  }
  // Zero divisions must not reach the vertical scale either.
  EXPECT_DOUBLE_EQ(VerticalScale(1.0, 0.0, 0, 0, 101, false).ReferenceY(), 100.0);

  TDataMeas record;
  const std::pair<std::int32_t, std::int32_t> counts[] = {
      {0, 1}, {-3, 1}, {10, 10}, {40, 40}, {41, 40}};
  for (const auto& [stored, used] : counts) {
    record.FNumDivisions = stored;
    EXPECT_EQ(DivisionCount(record), used) << stored;
  }
}

TEST(PlotAxesTest, RoundToPixelRoundsHalfToEvenAndStaysInRange) {
  const std::pair<double, int> cases[] = {{2.5, 2},
                                          {3.5, 4},
                                          {-2.5, -2},
                                          {2.4999, 2},
                                          {1e300, 2147483647},
                                          {-1e300, -2147483647},
                                          {std::numeric_limits<double>::infinity(), 2147483647},
                                          {std::numeric_limits<double>::quiet_NaN(), 0}};
  for (const auto& [position, pixel] : cases) {
    EXPECT_EQ(RoundToPixel(position), pixel) << position;
  }
}

}  // namespace
}  // namespace vireon
