#include <gtest/gtest.h>

#include "plot/PlotInfo.h"
#include "record/DataTypes.h"

namespace vireon {
namespace {

TEST(PlotInfo, NoRecordSaysSo) {
  const PlotInfo info = DescribePlot(nullptr);
  EXPECT_EQ(info.data_type_name, "none");
  EXPECT_EQ(info.description, "data not present");
  EXPECT_EQ(info.points, 0);
}

TEST(PlotInfo, TimeRecordGivesItsSpacingWindowAndDate) {
  TDataMeas record;
  record.FDataType = kTimeDomain;
  record.FNumFields = 2;
  record.FFields[0].Values.assign(481, 0.0);
  record.FFields[1].Values.assign(481, 0.0);
  record.FNumPoints = 481;
  record.FSampleRate = 48000;
  record.FStartTime = -0.001;
  record.FWinStart = 48;
  record.FWinEnd = 240;
  record.FTitle = "Impulse";
  record.FTimeStamp = 46000.75;  // 9 Dec 2025, 18:00
  const PlotInfo info = DescribePlot(&record);
  EXPECT_EQ(info.data_type_name, "TimeDomain");
  EXPECT_EQ(info.curves, 2);
  EXPECT_DOUBLE_EQ(info.first_x, -0.001);
  EXPECT_DOUBLE_EQ(info.last_x, -0.001 + 480.0 / 48000.0);
  EXPECT_NEAR(info.x_step, 1.0 / 48000.0, 1e-18);
  EXPECT_NEAR(*info.window_start, 0.0, 1e-15);
  EXPECT_NEAR(*info.window_end, 0.004, 1e-15);
  EXPECT_EQ(info.description, "Impulse");
  const DateTimeParts expected{2025, 12, 9, 18, 0, 0};
  EXPECT_EQ(info.acquired.year, expected.year);
  EXPECT_EQ(info.acquired.month, expected.month);
  EXPECT_EQ(info.acquired.day, expected.day);
  EXPECT_EQ(info.acquired.hour, expected.hour);
}

TEST(PlotInfo, UnknownTypesAndDatesAreNamedSafely) {
  TDataMeas record;
  record.FDataType = 200;
  record.FTimeStamp = 1e300;
  record.FFields[0].Values = {10.0, 20.0, 40.0};
  record.FNumPoints = 3;
  const PlotInfo info = DescribePlot(&record);
  EXPECT_EQ(info.data_type_name, "unknown");
  EXPECT_EQ(info.acquired.year, 0);
  EXPECT_DOUBLE_EQ(info.x_step, 15.0);
  EXPECT_FALSE(info.window_start);
}

}  // namespace
}  // namespace vireon
