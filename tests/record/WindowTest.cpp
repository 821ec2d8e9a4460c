#include "record/FftWindows.h"

#include <gtest/gtest.h>

#include <cmath>
#include <functional>
#include <numbers>
#include <tuple>
#include <vector>

#include "RecordFixtures.h"
#include "record/SlidingWind.h"
#include "record/WindowEdges.h"

namespace vireon {
namespace {

constexpr double kPi = std::numbers::pi;

TDataMeas Ones(std::int32_t n) {
  TDataMeas record = fixtures::TimeRecord(48000, 0.0, {std::vector<double>(n, 1.0)});
  record.FWinStart = 0;
  record.FWinEnd = n - 1;
  return record;
}

struct TextbookWindow {
  std::uint8_t code;
  double gain_factor;
  std::function<double(double)> w;  // of x = i/L in 0..1
};

TEST(WindowTest, FullWindowsAreTheTextbookCosineSumsTimesTheirGainFactor) {
  const std::vector<TextbookWindow> windows = {
      {2, 2.8109,
       [](double x) {
         return 0.355768 - 0.487396 * std::cos(2 * kPi * x) + 0.144232 * std::cos(4 * kPi * x) -
                0.012604 * std::cos(6 * kPi * x);
       }},
      {8, 1.852, [](double x) { return 0.54 - 0.46 * std::cos(2 * kPi * x); }},
      {14, 2.0000645, [](double x) { return std::pow(std::sin(kPi * x), 2); }},
      {10, 1.111,
       [](double x) {
         if (x <= 0.1) return std::pow(std::sin(5 * kPi * x), 2);
         if (x >= 0.9) return std::pow(std::cos(5 * kPi * (x - 0.9)), 2);
         return 1.0;
       }},
  };
  constexpr std::int32_t kN = 64;
  for (const auto& window : windows) {
    TDataMeas record = Ones(kN);
    AnalysisContext context;
    ApplyTimeWindow(record, window.code, kN, 0.5, 0.5, false, context);
    for (std::int32_t i = 0; i < kN; ++i) {
      const double expected = 0.5 * window.gain_factor * window.w(i / double(kN - 1));
      EXPECT_NEAR(record.FFields[0].Values[i], expected, 1e-12)
          << "code " << int(window.code) << " i " << i;
    }
  }
}

TEST(WindowTest, ListEntriesAndTheHalfBoxFormTheCode) {
  const std::vector<std::tuple<int, const char*, int, int>> table = {
      {0, "No Window", 0, 0}, {1, "Rectangular", 1, 1}, {2, "Blackm-Harris4", 2, 3},
      {3, "Hodie5", 4, 5},    {4, "Hodie7", 6, 7},      {5, "Hamming", 8, 9},
      {6, "Bingham", 10, 11}, {7, "FlatTop", 12, 13},   {8, "Hann", 14, 15}};
  for (const auto& [entry, name, full, half] : table) {
    EXPECT_EQ(WindowListName(entry), name);
    EXPECT_EQ(WindowCode(entry, false), full) << name;
    EXPECT_EQ(WindowCode(entry, true), half) << name;
  }
}

TEST(WindowTest, NoWindowScalesTheGateAndZeroesTheRest) {
  TDataMeas record = Ones(32);
  record.FFields[0].Values[3] = 5.0;
  AnalysisContext context;
  ApplyTimeWindow(record, kNoWindow, 32, 2.0, 2.0, false, context);
  EXPECT_EQ(record.FFields[0].Values[3], 10.0);
  EXPECT_EQ(record.FFields[0].Values[31], 2.0);

  TDataMeas gated = Ones(32);
  gated.FWinStart = 4;
  gated.FWinEnd = 11;
  ApplyTimeWindow(gated, kRectangularWindow, 32, 2.0, 2.0, false, context);
  for (int i = 0; i < 32; ++i) EXPECT_EQ(gated.FFields[0].Values[i], i <= 7 ? 2.0 : 0.0) << i;
  // The gate start moved to sample 0: the delay and bin width follow it.
  EXPECT_DOUBLE_EQ(gated.FDelayA, 4.0 / 48000);
  EXPECT_DOUBLE_EQ(gated.FBinWidth[0], 48000.0 / 7);
}

TEST(WindowTest, HalfWindowsKeepTheFirstHalfAndFallWithoutAStep) {
  constexpr std::int32_t kN = 201;
  for (std::uint8_t code : {3, 5, 7, 9, 13, 15}) {
    TDataMeas record = Ones(kN);
    AnalysisContext context;
    ApplyTimeWindow(record, code, kN, 1.0, 1.0, false, context);
    const std::vector<double>& v = record.FFields[0].Values;
    for (int i = 0; i <= 100; ++i) ASSERT_EQ(v[i], 1.0) << "code " << int(code);
    // The first falling sample continues the flat half: no jump above or below it.
    EXPECT_NEAR(v[101], 1.0, 2e-3) << "code " << int(code);
    EXPECT_LE(v[101], 1.0 + 1e-12) << "code " << int(code);
    EXPECT_LE(std::abs(v[200]), 0.08 + 1e-9) << "code " << int(code);
  }
}

TEST(WindowTest, GatesOutsideTheRecordAreClampedIntoIt) {
  for (auto [start, end] :
       {std::pair{-5, 0}, std::pair{0, 0}, std::pair{40, 10}, std::pair{-100, 1000}}) {
    TDataMeas record = Ones(32);
    record.FWinStart = start;
    record.FWinEnd = end;
    AnalysisContext context;
    ApplyTimeWindow(record, 14, 32, 1.0, 1.0, false, context);
    ASSERT_EQ(record.FFields[0].Values.size(), 32u);
    for (double v : record.FFields[0].Values) EXPECT_TRUE(std::isfinite(v));
    EXPECT_GT(record.FBinWidth[0], 0.0);
  }
}

TEST(WindowTest, OffsetRemovalIsAOneShot) {
  TDataMeas record = Ones(32);
  AnalysisContext context;
  context.RemoveOffsetOnce = true;
  ApplyTimeWindow(record, kRectangularWindow, 32, 1.0, 1.0, false, context);
  EXPECT_EQ(record.FFields[0].Values[10], 0.0);
  EXPECT_FALSE(context.RemoveOffsetOnce);
}

TEST(SlidingTailWindowTest, GateEndingBeyondHalfTheRecordStaysInsideTheData) {
  std::vector<double> x(256);
  for (std::size_t i = 0; i < x.size(); ++i) x[i] = std::sin(0.3 * i) * std::exp(-0.01 * i);
  SlidingTailWindow(x, 10, 250, 48000, true);
  for (double v : x) EXPECT_TRUE(std::isfinite(v));
  for (std::size_t i = 127; i < x.size(); ++i) EXPECT_EQ(x[i], 0.0);
}

TEST(FindWindowEdgesTest, GatesTheDirectSoundUpToTheReflection) {
  // A decaying click at 100 and a reflection rising from 381 to its peak at 400, 48 kHz: the
  // gate starts two samples before the click and ends where the reflection begins.
  std::vector<double> x(1024, 0.0);
  for (int i = 0; i < 30; ++i) x[100 + i] = std::pow(-0.5, i);
  for (int i = 0; i <= 20; ++i) x[380 + i] = 0.3 * i / 20.0;
  TDataMeas record = fixtures::TimeRecord(48000, 0.0, {x});
  record.FindPeakTime(0);
  FindWindowEdges(record, 0);
  EXPECT_EQ(record.FWinStart, 98);
  EXPECT_EQ(record.FWinEnd, 381);

  // Without a quiet stretch the gate runs to the end of the record.
  std::vector<double> noisy(256);
  for (int i = 0; i < 256; ++i) noisy[i] = (i % 2 ? 1.0 : -1.0) * (i == 50 ? 4.0 : 1.0);
  TDataMeas busy = fixtures::TimeRecord(48000, 0.0, {noisy});
  busy.FindPeakTime(0);
  FindWindowEdges(busy, 0);
  EXPECT_EQ(busy.FWinEnd, 255);
}

}  // namespace
}  // namespace vireon
