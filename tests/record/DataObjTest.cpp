#include "record/DataObj.h"

#include <gtest/gtest.h>

#include "RecordFixtures.h"
#include "common/DateTime.h"

namespace vireon {
namespace {

using fixtures::FrequencyRecord;
using fixtures::TimeRecord;

TEST(DataMeasCreateTest, StartsFromTheDocumentedDefaults) {
  const double before = NowAsDateTime();
  const TDataMeas record;
  EXPECT_GE(record.FTimeStamp, before);
  EXPECT_LE(record.FTimeStamp, NowAsDateTime());
  EXPECT_EQ(record.FTitle, "Newly Created Data Set");
  EXPECT_EQ(record.FNumFields, 1);
  EXPECT_EQ(record.FTraceA, -1);
  EXPECT_EQ(record.FTraceB, -1);
  EXPECT_EQ(record.FChanged, 1);
  EXPECT_EQ(record.FLinearFreq, 1);
  EXPECT_EQ(record.FGridFlag, 1);
  EXPECT_EQ(record.FSliceTagMode, 1);
  EXPECT_EQ(record.FVertLimit1, -1000000.0);
  EXPECT_EQ(record.FVertDefault, 80.0);
  EXPECT_EQ(record.FOverlayStyles[3], (OverlayStyle{0x379BFF, 3}));
  EXPECT_EQ(record.FColors[1], 0x804000u);
  EXPECT_EQ(record.FDbRange[0], -30.0);
  for (const TFieldType& column : record.FFields) {
    EXPECT_EQ(column.Name, "undefined");
    EXPECT_EQ(column.Units, "?");
    EXPECT_EQ(column.PerDiv, 1.0);
    EXPECT_TRUE(column.Values.empty());
  }
}

TEST(DataMeasCreateTest, TakesTheMainPlotLookAndProgramDefaults) {
  RecordDefaults defaults;
  defaults.VertDefault = 65.0;
  defaults.MainPlot = MainPlotAppearance{.Colors = {1, 2, 3, 4, 5, 6, 7, 8},
                                         .DbRange = {-50.0, 10.0},
                                         .ColorFlag = 1,
                                         .CustomBitmap = 1};
  const TDataMeas record(defaults);
  EXPECT_EQ(record.FColors, defaults.MainPlot->Colors);
  EXPECT_EQ(record.FDbRange, defaults.MainPlot->DbRange);
  EXPECT_EQ(record.FColorFlag, 1);
  EXPECT_EQ(record.FCustomBitmap, 1);
  EXPECT_EQ(record.FVertDefault, 65.0);
}

// A source with a distinctive value in every field, and a target with other values.
class CopyFromTest : public ::testing::Test {
 protected:
  CopyFromTest() {
    source = FrequencyRecord(kFrequencyResponse, {10, 20, 30}, {{1, 2, 3}});
    source.FFields[1].Name = "Frequency Response Mag[A]";
    source.FFields[1].Units = "V";
    source.FFields[1].ShowAsDb = 1;
    source.FFields[1].AuxFlag = 1;
    source.FFields[1].InputKind = 2;
    source.FTitle = "source";
    source.FSpareInt = 5;
    source.FChanged = 0;
    source.FSpareByte2 = 9;
    source.FTitleLocked = 1;
    source.FAvgType = 3;
    source.FAvgCount = 12;
    source.FUnity = 2.0;
    source.FExtraParams[4] = 4.0;
    source.FVertLimit1 = 1.0;
    source.FVertLimit2 = 2.0;
    source.FVertLimit3 = 3.0;
    source.FDelayB = 0.002;
    source.FMarkerX[2] = 500.0f;
    source.FOverlayFlag1 = 1;
    source.FWeighting = TWeighting{.Name = "A",
                                   .Info = "info",
                                   .HiIndex = 2,
                                   .LoIndex = 1,
                                   .Points = {{10, 1, 0}, {100, 2, 0}, {1000, 3, 0}}};
    source.FNotes = StringList{"a note"};
    source.FColors[0] = 0x123456;
    source.FAxisSignature = 42.0;

    target = FrequencyRecord(kSpectrum, {1, 2, 3, 4}, {{5, 6, 7, 8}, {0, 0, 0, 0}, {1, 1, 1, 1}});
    target.FSpareInt = 77;
    target.FChanged = 1;
    target.FSpareByte2 = 4;
    target.FAvgType = 1;
    target.FUnity = 1.0;
    target.FExtraParams[4] = -1.0;
    target.FVertLimit1 = -5.0;
    target.FVertLimit2 = -6.0;
    target.FFields[3].PerDiv = 7.0;
  }

  TDataMeas source;
  TDataMeas target;
};

TEST_F(CopyFromTest, CopiesTheRecordAndItsColumns) {
  target.CopyFrom(source);
  EXPECT_EQ(target.FDataType, kFrequencyResponse);
  EXPECT_EQ(target.FNumPoints, 3);
  EXPECT_EQ(target.FNumFields, 2);
  EXPECT_EQ(target.FAxisSignature, 42.0);
  EXPECT_EQ(target.FTitle, "source");
  EXPECT_EQ(target.FAvgCount, 12);
  EXPECT_EQ(target.FDelayB, 0.002);
  EXPECT_EQ(target.FMarkerX[2], 500.0f);
  EXPECT_EQ(target.FVertLimit3, 3.0);
  EXPECT_EQ(target.FColors[0], 0x123456u);
  EXPECT_EQ(target.FNotes, source.FNotes);
  const TFieldType& column = target.FFields[1];
  EXPECT_EQ(column.Name, "Frequency Response Mag[A]");
  EXPECT_EQ(column.Units, "V");
  EXPECT_EQ(column.ShowAsDb, 1);
  EXPECT_EQ(column.AuxFlag, 1);
  EXPECT_EQ(column.InputKind, 2);
  EXPECT_EQ(column.Values, (DataArray{1, 2, 3}));
  EXPECT_EQ(target.FFields[0].Values, (DataArray{10, 20, 30}));
  // Columns the source does not use are emptied and lose their name and units only.
  for (std::size_t c = 2; c < 5; ++c) {
    EXPECT_EQ(target.FFields[c].Name, "");
    EXPECT_EQ(target.FFields[c].Units, "");
    EXPECT_TRUE(target.FFields[c].Values.empty());
  }
  EXPECT_EQ(target.FFields[3].PerDiv, 7.0);
}

TEST_F(CopyFromTest, LeavesTheUncopiedFieldsAsTheTargetHadThem) {
  target.CopyFrom(source);
  EXPECT_EQ(target.FSpareInt, 77);
  EXPECT_EQ(target.FChanged, 1);
  EXPECT_EQ(target.FSpareByte2, 4);
  EXPECT_EQ(target.FTitleLocked, 0);
  EXPECT_EQ(target.FAvgType, 1);
  EXPECT_EQ(target.FUnity, 1.0);
  EXPECT_EQ(target.FExtraParams[4], -1.0);
  EXPECT_EQ(target.FVertLimit1, -5.0);
  EXPECT_EQ(target.FVertLimit2, -6.0);
}

TEST_F(CopyFromTest, WeightingIsCopiedWithFreshCursors) {
  target.CopyFrom(source);
  ASSERT_TRUE(target.FWeighting.has_value());
  EXPECT_EQ(target.FWeighting->Name, "A");
  EXPECT_EQ(target.FWeighting->Info, "info");
  EXPECT_EQ(target.FWeighting->Points.size(), 3u);
  EXPECT_EQ(target.FWeighting->HiIndex, 0);
  EXPECT_EQ(target.FWeighting->LoIndex, 0);

  source.FWeighting.reset();
  target.CopyFrom(source);
  EXPECT_FALSE(target.FWeighting.has_value());
}

TEST_F(CopyFromTest, SlicesOfAPlainRecordAreNeitherCopiedNorTakenFromTheSource) {
  source.FSliceCount = 2;
  source.FSlices = {{1, 1, 1}, {2, 2, 2}};
  source.FSliceValues = {0.1, 0.2};
  target.CopyFrom(source);
  EXPECT_EQ(target.FSliceCount, 0);
  EXPECT_TRUE(target.FSlices.empty());
  EXPECT_EQ(source.FSliceCount, 2);
  EXPECT_EQ(source.FSlices.size(), 2u);
}

TEST_F(CopyFromTest, SliceTagsAndLabelsTravelOnlyWithDistortionPlotKinds) {
  for (const std::int32_t kind : {2, 6, 7}) {
    source.FPlotKind = kind;
    source.FSliceCount = 2;
    source.FSlices = {{1, 1, 1}, {2, 2, 2}};
    source.FSliceValues = {0.1, 0.2};
    source.FSliceUnits = "s";
    source.FSliceParam1 = 3.0;
    source.FSliceTags = {4, 5};
    source.FSliceLabels = {"a", "b"};
    target.CopyFrom(source);
    EXPECT_EQ(target.FPlotKind, kind);
    EXPECT_EQ(target.FSliceCount, 2);
    EXPECT_EQ(target.FSlices, source.FSlices);
    EXPECT_EQ(target.FSliceValues, source.FSliceValues);
    EXPECT_EQ(target.FSliceUnits, "s");
    EXPECT_EQ(target.FSliceParam1, 3.0);
    const bool tagged = kind != 2;
    EXPECT_EQ(target.FSliceTags.size(), tagged ? 2u : 0u) << kind;
    EXPECT_EQ(target.FSliceLabels.size(), tagged ? 2u : 0u) << kind;
  }
}

TEST_F(CopyFromTest, OverlayFlagsFollowOnlyWithOverlayNames) {
  target.CopyFrom(source);
  EXPECT_EQ(target.FOverlayFlag1, 0);
  source.AddOverlayName("overlay.vr2");
  target.CopyFrom(source);
  EXPECT_EQ(target.FOverlayFlag1, 1);
  EXPECT_EQ(target.FOverlayNames, source.FOverlayNames);
}

TEST_F(CopyFromTest, SignatureIsComputedWhenTheSourceHasNone) {
  source.FAxisSignature = 0.0;
  target.CopyFrom(source);
  EXPECT_EQ(target.FAxisSignature, source.AxisSignature());
  EXPECT_NE(target.FAxisSignature, 0.0);
}

TEST(DataMeasMakeNullTest, BecomesTheFourSampleNullRecord) {
  TDataMeas record = FrequencyRecord(kFrequencyResponse, {1, 2, 3}, {{1, 2, 3}, {4, 5, 6}});
  record.FWeighting = TWeighting{};
  record.FNotes = StringList{"n"};
  record.AddOverlayName("o");
  record.FPlotKind = 2;
  record.FSliceCount = 1;
  record.FSlices = {{1, 2, 3}};
  record.FDelayB = 0.25;
  record.FMarkerOn[1] = 1;
  RecordDefaults defaults;
  defaults.VertDefault = 70.0;
  record.MakeNull(defaults);

  EXPECT_EQ(record.FDataType, kTimeDomain);
  EXPECT_EQ(record.FNumFields, 1);
  EXPECT_EQ(record.FNumPoints, 4);
  EXPECT_EQ(record.FFields[0].Values, (DataArray{1, 0, 0, 0}));
  EXPECT_EQ(record.FFields[0].Name, "null time domain");
  EXPECT_EQ(record.FFields[0].Units, "");
  EXPECT_EQ(record.FFields[0].PerDiv, 0.125);
  EXPECT_EQ(record.FFields[0].RefDiv, 4);
  for (std::size_t c = 1; c <= 3; ++c) {
    EXPECT_EQ(record.FFields[c].Name, "");
    EXPECT_TRUE(record.FFields[c].Values.empty());
  }
  EXPECT_FALSE(record.FWeighting);
  EXPECT_FALSE(record.FNotes);
  EXPECT_FALSE(record.FOverlayNames);
  EXPECT_EQ(record.FPlotKind, 0);
  EXPECT_TRUE(record.FSlices.empty());
  EXPECT_EQ(record.FAxisSignature, -1.0);
  EXPECT_EQ(record.FTitle, "null data");
  EXPECT_EQ(record.FTimeStamp, -10.0);
  EXPECT_EQ(record.FSampleRate, 48000);
  EXPECT_EQ(record.FSampleBits, 16);
  EXPECT_DOUBLE_EQ(record.FEndX, 3.0 / 48000.0);
  EXPECT_EQ(record.FViewStop, 0.001);
  EXPECT_EQ(record.FXUnits, "sec");
  EXPECT_EQ(record.FTraceA, 0);
  EXPECT_EQ(record.FTraceB, -1);
  EXPECT_EQ(record.FWinEnd, 3);
  EXPECT_EQ(record.FWindowLen, 4);
  EXPECT_EQ(record.FWindowType, 3);
  EXPECT_EQ(record.FBinWidth[0], 1.0);
  EXPECT_EQ(record.FMarkerOn[1], 0);
  EXPECT_EQ(record.FGridFlag, 0);
  EXPECT_EQ(record.FSpareDouble2, 0.001);
  EXPECT_EQ(record.FVertDefault, 70.0);
  EXPECT_EQ(record.FDelayB, 0.25);  // not part of the null state
}

struct PresetCase {
  const char* title;
  TDefaultSettings preset;
  double ref_scale;
  double view_start;
  double view_stop;
  std::uint8_t log_x;
  float marker2;
  std::int32_t trace_a;
  std::int32_t trace_b;
  const char* column1_name;
  double column2_per_div;
};

TEST(DataMeasPresetTest, EachPresetResetsTheDisplayState) {
  RecordDefaults log_time;
  log_time.TimeLogMagDef = 1;
  const PresetCase cases[] = {
      {"Time Domain Data", TimePreset(log_time), 1.0, 0.0, 0.025, 0, 0.015f, 0, -1,
       "Time Domain[B]", 0.1},
      {"Frequency Domain Data", FrequencyPreset(), 1.0, 20.0, 400000.0, 1, 3000.0f, 1, -1, "dB",
       45.0},
      {"Impedance Data", ImpedancePreset(), 10.0, 20.0, 400000.0, 1, 20.0f, 1, 2, "Ohm", 90.0},
  };
  for (const PresetCase& c : cases) {
    TDataMeas record;
    record.FWeighting = TWeighting{};
    record.FMarkerOn = {1, 1, 1, 1, 1};
    record.FAvgCount = 9;
    record.ApplyPreset(c.preset);
    EXPECT_EQ(record.FTitle, c.title);
    EXPECT_EQ(record.FRefScale, c.ref_scale);
    EXPECT_EQ(record.FViewStart, c.view_start);
    EXPECT_EQ(record.FViewStop, c.view_stop);
    EXPECT_EQ(record.FLogX, c.log_x);
    EXPECT_EQ(record.FNumDivisions, 8);
    EXPECT_EQ(record.FMarkerX[2], c.marker2);
    EXPECT_EQ(record.FMarkerOn, (std::array<std::uint8_t, 5>{}));
    EXPECT_EQ(record.FTraceA, c.trace_a);
    EXPECT_EQ(record.FTraceB, c.trace_b);
    EXPECT_FALSE(record.FWeighting);
    EXPECT_EQ(record.FAvgCount, 0);
    EXPECT_EQ(record.FWindowType, 4);
    EXPECT_EQ(record.FWinEnd2, 511);
    EXPECT_EQ(record.FFields[1].Name, c.column1_name);
    EXPECT_EQ(record.FFields[2].PerDiv, c.column2_per_div);
    for (const TFieldType& column : record.FFields) {
      EXPECT_EQ(column.Units, "tbd");
      EXPECT_EQ(column.InputKind, 4);
      EXPECT_EQ(column.WrapPhase, 1);
    }
  }
  EXPECT_EQ(TimePreset(log_time).Columns[3].ShowAsDb, 1);
  EXPECT_EQ(TimePreset(RecordDefaults{}).Columns[3].ShowAsDb, 0);
  EXPECT_EQ(FrequencyPreset().Columns[4].Name, "\xB0");
  EXPECT_EQ(FrequencyPreset().Columns[3].RefDiv, 7);
  EXPECT_EQ(ImpedancePreset().Columns[3].RefValue, 50.0);
}

TEST(DataMeasResizeTest, PadsXByMillihertzStepsAndCurvesByTheirLastValue) {
  TDataMeas record = FrequencyRecord(kSpectrum, {10, 20, 30}, {{1, 2, 3}});
  record.ResizePadded(5);
  EXPECT_EQ(record.FNumPoints, 5);
  EXPECT_DOUBLE_EQ(record.FFields[0].Values[3], 30.001);
  EXPECT_DOUBLE_EQ(record.FFields[0].Values[4], 30.002);
  EXPECT_EQ(record.FFields[1].Values, (DataArray{1, 2, 3, 3, 3}));
  EXPECT_EQ(record.FAxisSignature, record.AxisSignature());
  record.ResizePadded(2);
  EXPECT_EQ(record.FFields[1].Values, (DataArray{1, 2}));

  TDataMeas time = TimeRecord(1000, 0.0, {{0.5, -0.25}});
  time.ResizePadded(4);
  EXPECT_EQ(time.FFields[0].Values, (DataArray{0.5, -0.25, -0.25, -0.25}));
}

TEST(DataMeasColumnTest, ColumnInfoAndValuesCopyBetweenRecords) {
  TDataMeas source = FrequencyRecord(kFrequencyResponse, {1, 2}, {{3, 4}, {5, 6}});
  source.FFields[2] = {.Name = "Phase",
                       .InputKind = 1,
                       .ShowAsDb = 0,
                       .PerDiv = 45.0,
                       .RefValue = 180.0,
                       .RefDiv = 8,
                       .Units = "deg",
                       .WrapPhase = 1,
                       .AuxFlag = 1,
                       .Unwrapped = 1,
                       .Values = {5, 6}};
  TDataMeas target = FrequencyRecord(kFrequencyResponse, {1, 2}, {{0, 0}});
  target.CopyColumnInfo(source, 2, 1);
  EXPECT_EQ(target.FFields[1].Name, "Phase");
  EXPECT_EQ(target.FFields[1].Unwrapped, 1);
  EXPECT_EQ(target.FFields[1].Values, (DataArray{0, 0}));
  target.CopyColumn(source, 2, 1);
  EXPECT_EQ(target.FFields[1].Values, (DataArray{5, 6}));

  const TFieldInitType init = source.GetColumnInit(2);
  EXPECT_EQ(init.Name, "Phase");
  EXPECT_EQ(init.Units, "deg");
  EXPECT_EQ(init.RefDiv, 8);
  target.SetColumnInit(4, init);
  EXPECT_EQ(target.FFields[4].PerDiv, 45.0);

  // Columns out of range are ignored.
  target.CopyColumn(source, 5, 1);
  target.CopyColumn(source, 1, -1);
  target.SetColumnInit(7, init);
  EXPECT_EQ(target.GetColumnInit(-1).Name, "");
  EXPECT_EQ(target.FFields[1].Values, (DataArray{5, 6}));
}

TEST(DataMeasOverlayTest, NamesAreKeptUpToFortyAndStylesComeFromThePlot) {
  TDataMeas record;
  EXPECT_FALSE(record.FOverlayNames);
  for (int i = 0; i < 45; ++i) record.AddOverlayName("curve" + std::to_string(i));
  ASSERT_TRUE(record.FOverlayNames);
  EXPECT_EQ(record.FOverlayNames->size(), kMaxOverlayNames);
  record.ClearOverlayNames();
  EXPECT_FALSE(record.FOverlayNames);

  OverlayStyles styles = kDefaultOverlayStyles;
  styles[0] = {0x00FF00, 9};
  record.SetOverlayNames({"a", "b"}, std::nullopt);
  EXPECT_EQ(record.FOverlayStyles, kDefaultOverlayStyles);
  record.SetOverlayNames({"c"}, styles);
  EXPECT_EQ(*record.FOverlayNames, (StringList{"c"}));
  EXPECT_EQ(record.FOverlayStyles[0], (OverlayStyle{0x00FF00, 9}));
}

TEST(DataMeasSlicesTest, ClearSlicesEmptiesEverySliceArray) {
  TDataMeas record;
  record.FPlotKind = 6;
  record.FSliceCount = 1;
  record.FSlices = {{1.0}};
  record.FSliceValues = {1.0};
  record.FSliceUnits = "V";
  record.FSliceTags = {1};
  record.FSliceLabels = {"x"};
  record.ClearSlices();
  EXPECT_EQ(record.FPlotKind, 0);
  EXPECT_EQ(record.FSliceCount, 0);
  EXPECT_TRUE(record.FSlices.empty() && record.FSliceValues.empty() && record.FSliceUnits.empty() &&
              record.FSliceTags.empty() && record.FSliceLabels.empty());
}

// Records arrive from files whose counts need not match the arrays. Every operation must stay
// inside the arrays it has (the sanitizers watch this test).
TEST(DataMeasBrokenRecordTest, OperationsStayInsideTheArrays) {
  for (const std::uint8_t type : {kTimeDomain, kFrequencyResponse, kMaximumLevelCapability}) {
    TDataMeas record;
    record.FDataType = type;
    record.FNumFields = 9;
    record.FNumPoints = 50;
    record.FSampleRate = 0;
    record.FFields[0].Values = {1, 2, 3, 4, 5, 6};
    record.FFields[1].Values = {1, 2};
    record.FFields[2] = {.Units = "deg", .Values = {10, 400, -300}};
    record.FFields[3].ShowAsDb = 1;
    record.FPlotKind = 6;
    record.FSliceCount = 7;
    record.FSlices = {{1}};
    record.FTraceA = 12;
    record.FTraceB = -7;
    record.FWeighting.emplace();
    record.FWeighting->Points = {{1, 2, 0}};
    record.FWeighting->LoIndex = 1000;

    for (int column = -1; column < 8; ++column) {
      for (const int index : {-1, 0, 2, 5, 49, 1000}) {
        record.ValueAt(column, index, -1);
        record.ValueAt(column, index, 3);
        record.PhaseWithDelay(index, column, true, 1.0);
      }
      record.IsPhase(column);
      record.TraceOf(column);
      record.UnwrapPhase(column, true, 0.0);
      record.FNumPoints = 50;
      record.RangeStats(column, -10.0, 10.0, true, true);
      record.FNumPoints = 50;
    }
    record.XAt(1000);
    record.HasPhaseTrace();
    record.FindPeakTime(0);
    record.FindPeakTime(1);
    record.RemoveMean();
    record.RemoveDelay(0.001);
    record.CheckLinearFreq();
    record.AxisSignature();
    TDataMeas other = record;
    record.SameAxis(other);
    record.IntegrateToStep(1.0);
    TDataMeas copy;
    copy.CopyFrom(record);
    EXPECT_EQ(copy.FFields[4].Values.size(), 50u);
    record.ResizePadded(60);
    record.AllocColumns();
    EXPECT_EQ(record.FFields[4].Values.size(), 60u);
  }
}

}  // namespace
}  // namespace vireon
