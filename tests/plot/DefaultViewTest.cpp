#include <gtest/gtest.h>

#include <cmath>

#include "plot/DefaultView.h"
#include "record/DataTypes.h"

namespace vireon {
namespace {

// A response from 0 Hz to 24 kHz in 100 bins, flat at 1 with a phase column.
TDataMeas UnshownResponse() {
  TDataMeas record;
  record.FDataType = kFrequencyResponse;
  record.FNumFields = 3;
  for (int i = 0; i <= 100; ++i) {
    record.FFields[0].Values.push_back(240.0 * i);
    record.FFields[1].Values.push_back(1.0);
    record.FFields[2].Values.push_back(-10.0);
  }
  record.FFields[1].ShowAsDb = 1;
  record.FFields[2].Units = "\xB0";
  record.FNumPoints = 101;
  record.FTraceA = 1;
  record.FTraceB = 2;
  return record;
}

TEST(DefaultView, AResponseIsShownOnALogAxisOverItsUsableFrequencies) {
  TDataMeas record = UnshownResponse();
  ApplyDefaultView(record, PlotOptions{});
  EXPECT_EQ(record.FNumDivisions, 8);
  EXPECT_EQ(record.FLogX, 1);
  EXPECT_DOUBLE_EQ(record.FViewStart, 240.0) << "a log axis cannot start at 0 Hz";
  EXPECT_DOUBLE_EQ(record.FViewStop, 24000.0);
  const TFieldType& phase = record.FFields[2];
  EXPECT_EQ(phase.WrapPhase, 1);
  // ±180° over the full height: 45° a division, +180° on the top line.
  EXPECT_DOUBLE_EQ(phase.PerDiv * record.FNumDivisions, 360.0);
  EXPECT_DOUBLE_EQ(-phase.RefValue - (record.FNumDivisions - phase.RefDiv) * phase.PerDiv + 360.0,
                   180.0);
}

TEST(DefaultView, ATimeRecordShowsItsFirstChannelOverAllItsSamples) {
  TDataMeas record;
  record.FDataType = kTimeDomain;
  record.FNumFields = 1;
  record.FSampleRate = 1000;
  record.FStartTime = -0.01;
  for (int i = 0; i < 100; ++i) record.FFields[0].Values.push_back(std::sin(i * 0.3));
  record.FNumPoints = 100;
  ApplyDefaultView(record, PlotOptions{});
  EXPECT_EQ(record.FTraceA, 0);
  EXPECT_EQ(record.FLogX, 0);
  EXPECT_DOUBLE_EQ(record.FViewStart, -0.01);
  EXPECT_DOUBLE_EQ(record.FViewStop, -0.01 + 99.0 / 1000.0);
  EXPECT_GT(record.FFields[0].PerDiv * record.FNumDivisions, 1.0) << "the sine fits the height";
}

TEST(DefaultView, ARecordAlreadyShownKeepsItsView) {
  TDataMeas record = UnshownResponse();
  record.FNumDivisions = 10;
  record.FViewStart = 100.0;
  record.FViewStop = 1000.0;
  const TDataMeas before = record;
  ApplyDefaultView(record, PlotOptions{});
  EXPECT_EQ(record.FViewStart, before.FViewStart);
  EXPECT_EQ(record.FViewStop, before.FViewStop);
  EXPECT_EQ(record.FFields[1].PerDiv, before.FFields[1].PerDiv);
}

}  // namespace
}  // namespace vireon
