#include <gtest/gtest.h>

#include <cmath>

#include "plot/PlotMouse.h"
#include "record/DataTypes.h"

namespace vireon {
namespace {

// A log-spaced response from 10 Hz to 100 kHz, 1 dB per division around 0 dB.
TDataMeas LogResponse() {
  TDataMeas record;
  record.FDataType = kFrequencyResponse;
  record.FNumFields = 2;
  for (int i = 0; i <= 400; ++i) {
    record.FFields[0].Values.push_back(10.0 * std::pow(10.0, i / 100.0));
    record.FFields[1].Values.push_back(1.0);
  }
  record.FNumPoints = 401;
  record.FEndX = 1e5;
  record.FBinWidth[0] = 10.0;
  record.FLogX = 1;
  record.FViewStart = 10.0;
  record.FViewStop = 1e5;
  record.FNumDivisions = 10;
  record.FTraceA = 1;
  record.FFields[1].ShowAsDb = 1;
  record.FFields[1].PerDiv = 2.0;
  record.FFields[1].RefDiv = 5;
  record.FFields[1].RefValue = 0.0;
  return record;
}

TDataMeas TimeRecord() {
  TDataMeas record;
  record.FDataType = kTimeDomain;
  record.FNumFields = 1;
  record.FFields[0].Values.assign(1000, 0.0);
  record.FNumPoints = 1000;
  record.FSampleRate = 1000;
  record.FStartTime = -0.1;
  record.FViewStart = -0.1;
  record.FViewStop = 0.9;
  record.FWinStart = 100;
  record.FWinEnd = 600;
  record.FNumDivisions = 8;
  record.FTraceA = 0;
  return record;
}

// A graph 400 px wide over four decades: 100 px a decade, so x = 200 is 1 kHz; y at the
// reference line (height 101, ten divisions, reference division 5) reads 0 dB, one division
// (10 px) higher 2 dB.
TEST(PlotMouse, PointerMapsToTheNearestPointAndTheTraceValue) {
  TDataMeas record = LogResponse();
  const auto at_1k = ReadPointer(record, 400, 101, 200, 50);
  ASSERT_TRUE(at_1k);
  EXPECT_EQ(at_1k->index, 200);
  EXPECT_NEAR(at_1k->domain, 1000.0, 1e-9);
  EXPECT_NEAR(at_1k->trace_a, 0.0, 1e-12);
  EXPECT_NEAR(ReadPointer(record, 400, 101, 200, 40)->trace_a, 2.0, 1e-12);

  TDataMeas time = TimeRecord();
  const auto at_half = ReadPointer(time, 500, 81, 300, 40);  // 0.6 s into a 1 s view
  ASSERT_TRUE(at_half);
  EXPECT_EQ(at_half->index, 600);
  EXPECT_NEAR(at_half->domain, 0.5, 1e-12);
}

TEST(PlotMouse, TooShortARecordReadsNothing) {
  TDataMeas record = LogResponse();
  record.FNumPoints = 1;
  EXPECT_FALSE(ReadPointer(record, 400, 101, 10, 10));
}

TEST(PlotMouse, WindowEdgesMoveOnlyOnTheirOwnSide) {
  TDataMeas record = TimeRecord();
  PointerReading reading{700, 0.6, 0.0, 0.0};
  EXPECT_FALSE(ApplyClick(record, TDPMouseMode::mmSetLWin, 0, reading).record_changed);
  EXPECT_EQ(record.FWinStart, 100) << "a start right of the end leaves the window";
  EXPECT_TRUE(ApplyClick(record, TDPMouseMode::mmSetRWin, 0, reading).record_changed);
  EXPECT_EQ(record.FWinEnd, 700);
  reading.index = 50;
  EXPECT_FALSE(ApplyClick(record, TDPMouseMode::mmSetRWin, 0, reading).record_changed);
  EXPECT_TRUE(ApplyClick(record, TDPMouseMode::mmSetLWin, 0, reading).record_changed);
  EXPECT_EQ(record.FWinStart, 50);

  TDataMeas response = LogResponse();
  EXPECT_FALSE(ApplyClick(response, TDPMouseMode::mmSetLWin, 0, reading).record_changed)
      << "only time records have a window";
}

TEST(PlotMouse, MarkersStayOnTheData) {
  TDataMeas record = LogResponse();
  const struct {
    double domain;
    float expected;
  } cases[] = {{1000.0, 1000.0f}, {2.0, 10.0f}, {5e5, 1e5f}, {1234.5678, 1234.5678f}};
  for (const auto& c : cases) {
    const ClickEffect effect =
        ApplyClick(record, TDPMouseMode::mmMarker, 2, PointerReading{0, c.domain, 0.0, 0.0});
    EXPECT_EQ(effect.marker_moved, 2);
    EXPECT_EQ(record.FMarkerX[2], c.expected) << c.domain;
  }
  EXPECT_FALSE(ApplyClick(record, TDPMouseMode::mmMarker, 5, PointerReading{}).marker_moved);
}

TEST(PlotMouse, HorizontalClicksFollowTheRangeEntry) {
  TDataMeas record = LogResponse();
  EXPECT_TRUE(ApplyClick(record, TDPMouseMode::mmSetLHor, 0, PointerReading{100, 100.0, 0, 0})
                  .record_changed);
  EXPECT_DOUBLE_EQ(record.FViewStart, 100.0);
  EXPECT_TRUE(ApplyClick(record, TDPMouseMode::mmSetRHor, 0, PointerReading{300, 1e4, 0, 0})
                  .record_changed);
  EXPECT_DOUBLE_EQ(record.FViewStop, 1e4);
  EXPECT_FALSE(ApplyClick(record, TDPMouseMode::mmReadout, 0, PointerReading{}).record_changed);
}

}  // namespace
}  // namespace vireon
