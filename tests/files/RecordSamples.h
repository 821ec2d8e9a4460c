#pragma once

#include <cmath>

#include "record/DataObj.h"

namespace vireon::testing_support {

// A two-column time record whose samples are exact in single precision.
inline TDataMeas StereoTimeRecord(std::int32_t points, std::int32_t rate = 48000) {
  TDataMeas record;
  record.FDataType = kTimeDomain;
  record.FSampleRate = rate;
  record.FNumFields = 2;
  record.FNumPoints = points;
  record.AllocColumns();
  for (std::int32_t i = 0; i < points; ++i) {
    const auto index = static_cast<std::size_t>(i);
    record.FFields[0].Values[index] = static_cast<float>(std::sin(0.01 * i));
    record.FFields[1].Values[index] = static_cast<float>(0.5 * std::cos(0.003 * i));
  }
  record.FFields[0].Name = "Left";
  record.FFields[1].Name = "Right";
  record.FTraceA = 0;
  record.FTraceB = 1;
  record.FXUnits = "sec";
  record.FTimeStamp = 46000.5;
  return record;
}

// Every stored field the two records share, values compared exactly.
inline void ExpectSameStoredFields(const TDataMeas& a, const TDataMeas& b) {
  EXPECT_EQ(a.FDataType, b.FDataType);
  EXPECT_EQ(a.FNumFields, b.FNumFields);
  EXPECT_EQ(a.FNumPoints, b.FNumPoints);
  EXPECT_EQ(a.FTitle, b.FTitle);
  for (std::size_t c = 0; c < 5; ++c) {
    EXPECT_EQ(a.FFields[c].Name, b.FFields[c].Name);
    EXPECT_EQ(a.FFields[c].Units, b.FFields[c].Units);
    EXPECT_TRUE(a.FFields[c].Values == b.FFields[c].Values) << "column " << c;
    EXPECT_EQ(a.FFields[c].PerDiv, b.FFields[c].PerDiv);
  }
  EXPECT_EQ(a.FTraceA, b.FTraceA);
  EXPECT_EQ(a.FTraceB, b.FTraceB);
  EXPECT_EQ(a.FSampleRate, b.FSampleRate);
  EXPECT_EQ(a.FTimeStamp, b.FTimeStamp);
  EXPECT_EQ(a.FMarkerX, b.FMarkerX);
  EXPECT_EQ(a.FViewStart, b.FViewStart);
  EXPECT_EQ(a.FViewStop, b.FViewStop);
  EXPECT_EQ(a.FPlotKind, b.FPlotKind);
  EXPECT_EQ(a.FSliceCount, b.FSliceCount);
  EXPECT_EQ(a.FSlices, b.FSlices);
  EXPECT_EQ(a.FSliceValues, b.FSliceValues);
  EXPECT_EQ(a.FSliceUnits, b.FSliceUnits);
  EXPECT_EQ(a.FSliceTags, b.FSliceTags);
  EXPECT_EQ(a.FSliceLabels, b.FSliceLabels);
  EXPECT_EQ(a.FExtraParams, b.FExtraParams);
  EXPECT_EQ(a.FOverlayNames, b.FOverlayNames);
  EXPECT_EQ(a.FNotes, b.FNotes);
  EXPECT_EQ(a.FOverlayStyles, b.FOverlayStyles);
  EXPECT_EQ(a.FColors, b.FColors);
  EXPECT_EQ(a.FDbRange, b.FDbRange);
  EXPECT_EQ(a.FVertLimit3, b.FVertLimit3);
  EXPECT_EQ(a.FVertDefault, b.FVertDefault);
  EXPECT_EQ(a.FCustomBitmap, b.FCustomBitmap);
  EXPECT_EQ(a.FAvgCount, b.FAvgCount);
  EXPECT_EQ(a.FWeighting.has_value(), b.FWeighting.has_value());
}

}  // namespace vireon::testing_support
