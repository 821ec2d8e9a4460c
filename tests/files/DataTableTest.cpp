// The table window's numbers: columns, headers, on-screen cells and the clipboard text.

#include "files/DataTable.h"

#include <gtest/gtest.h>

#include "record/RecordFixtures.h"

namespace vireon {
namespace {

using fixtures::FrequencyRecord;
using fixtures::TimeRecord;

TableSelection Everything() { return {0, 99, 0, 99}; }

TEST(DataTable, TimeRecordShowsTimeColumnFirstAndCopiesTimeFromZero) {
  TDataMeas record = TimeRecord(48000, 0.0, {{0.5, 1.0, 2.0}, {-0.25, 3.0, 4.0}});
  record.FXUnits = "s";
  record.FFields[0].Units = "V";
  record.FFields[1].Units = "Pa";
  const PlotOptions options;
  DataTable table(record, options);

  ASSERT_EQ(table.ColumnCount(), 3);
  EXPECT_EQ(table.HeaderText(0), "  s");
  EXPECT_EQ(table.HeaderText(1), " V");
  EXPECT_EQ(table.HeaderText(2), " Pa");
  EXPECT_EQ(table.CellText(1, 1), "1");
  EXPECT_EQ(table.CellText(2, 0), "-0.25");
  // 1/48000 = 2.0833…e-5.
  EXPECT_EQ(table.CopyText({0, 2, 0, 1}),
            "0.0000E+00\t5.000000E-01\t-2.500000E-01\t\r\n"
            "2.0833E-05\t1.000000E+00\t3.000000E+00\t\r\n");
}

TEST(DataTable, StepResponseCopiesEveryColumnAfterItsTime) {
  TDataMeas record = TimeRecord(2, 0.0, {{0.5}, {0.25}});
  record.FDataType = kStepResponse;
  const PlotOptions options;
  DataTable table(record, options);
  ASSERT_EQ(table.ColumnCount(), 3);
  EXPECT_EQ(table.CellText(2, 0), "0.25");
  EXPECT_EQ(table.CopyText(Everything()), "0.0000E+00\t5.000000E-01\t2.500000E-01\t\r\n");
}

TEST(DataTable, TimeCellsAddTheStartTimeOnScreenOnly) {
  TDataMeas late = TimeRecord(3, 0.5, {{0, 0, 0, 0}});
  TDataMeas early = TimeRecord(3, -1.0, {{0, 0, 0, 0}});
  const PlotOptions options;
  DataTable late_table(late, options);
  DataTable early_table(early, options);

  EXPECT_EQ(late_table.CellText(0, 1), "0.8333333");
  EXPECT_EQ(early_table.CellText(0, 1), "-0.666667");  // one digit fewer for the sign
  EXPECT_EQ(early_table.CellText(0, 3), "0");
  EXPECT_EQ(late_table.CopyText({0, 0, 1, 1}), "3.3333E-01\t\r\n");
}

TEST(DataTable, FirstCopiedColumnWidensUntilLinesDifferAndNeverNarrows) {
  const TDataMeas record =
      FrequencyRecord(kFrequencyResponse, {1000.0001, 1000.0002, 1000.0003, 2000.0}, {});
  const PlotOptions options;
  DataTable table(record, options);
  // 1000.0002 first reads apart from the previous line's 1.000E+03 with 7 decimals.
  EXPECT_EQ(table.CopyText({0, 0, 0, 3}),
            "1.0000E+03\t\r\n"
            "1.00000020E+03\t\r\n"
            "1.00000030E+03\t\r\n"
            "2.00000000E+03\t\r\n");
}

TEST(DataTable, RepeatedFirstColumnValuesStopWidening) {
  const TDataMeas record = FrequencyRecord(kFrequencyResponse, {5.0, 5.0}, {});
  const PlotOptions options;
  DataTable table(record, options);
  EXPECT_EQ(table.CopyText(Everything()), "5.0000E+00\t\r\n5.0000000000000000E+00\t\r\n");
}

TEST(DataTable, CopyCutsRangesToTheRecord) {
  const TDataMeas record = FrequencyRecord(kFrequencyResponse, {100, 200}, {{1.5, 2.5}});
  const PlotOptions options;
  DataTable table(record, options);
  ASSERT_EQ(table.ColumnCount(), 2);
  const std::string expected =
      "1.0000E+02\t1.500000E+00\t\r\n"
      "2.0000E+02\t2.500000E+00\t\r\n";
  EXPECT_EQ(table.CopyText(Everything()), expected);
  EXPECT_EQ(table.CopyText({99, 0, 99, 0}), expected);  // corners given the other way round
  EXPECT_EQ(table.CopyText({1, 1, 1, 1}), "2.500000E+00\t\r\n");
  EXPECT_EQ(table.CellText(2, 0), "");
  EXPECT_EQ(table.HeaderText(2), "");
  EXPECT_EQ(table.CellText(0, 2), "");
}

TEST(DataTable, LevelColumnsShowDecibelsOrDistortionPercent) {
  TDataMeas record = FrequencyRecord(kComponentTrack, {1000}, {{0.5}, {0.01}, {-40.0}});
  record.FFields[1].ShowAsDb = 1;
  record.FFields[2].ShowAsDb = 1;
  record.FFields[2].Units = "dB";
  record.FFields[3].Units = "dB";  // already in dB: percent is 100·10^(v/20)
  struct Case {
    bool percent;
    int column;
    const char* header;
    const char* cell;
    const char* copied;
  };
  for (const Case& c :
       {Case{true, 1, " ?", "-6.0206", "-6.020600E+00"}, Case{true, 2, " %", "1", "1.000000E+00"},
        Case{false, 2, " dB", "-40", "-4.000000E+01"}, Case{true, 3, " %", "1", "1.000000E+00"},
        Case{false, 3, " dB", "-40", "-4.000000E+01"}}) {
    SCOPED_TRACE(testing::Message() << "column " << c.column << " percent " << c.percent);
    PlotOptions options;
    options.DistortionAsPercent = c.percent;
    DataTable table(record, options);
    EXPECT_EQ(table.HeaderText(c.column), c.header);
    EXPECT_EQ(table.CellText(c.column, 0), c.cell);
    EXPECT_EQ(table.CopyText({c.column, c.column, 0, 0}), std::string(c.copied) + "\t\r\n");
  }
}

TEST(DataTable, ImpedanceShowsOhmsAndDelayCorrectedPhase) {
  TDataMeas record = FrequencyRecord(kImpedance, {100}, {{8.2}, {10.0}});
  record.FFields[1].ShowAsDb = 1;  // an impedance magnitude is read in ohms all the same
  fixtures::MakePhaseColumn(record, 2);
  record.FFields[2].WrapPhase = 1;
  record.FDelayA = 0.001;  // -360°·0.001 s·100 Hz = -36°
  PlotOptions options;
  {
    DataTable table(record, options);
    EXPECT_EQ(table.CellText(1, 0), "8.2");
    EXPECT_EQ(table.CellText(2, 0), "-26");
    EXPECT_EQ(table.CopyText({1, 2, 0, 0}), "8.200000E+00\t-2.600000E+01\t\r\n");
  }
  options.PhaseInvert = true;  // 10 - 180 - 36 = -206, wrapped to 154
  DataTable inverted(record, options);
  EXPECT_EQ(inverted.CellText(2, 0), "154");
}

TEST(DataTable, FirstColumnFormatsFollowTheRecordType) {
  struct Case {
    std::uint8_t type;
    double x;
    const char* cell;
  };
  for (const Case& c :
       {Case{kFrequencyResponse, 1000.0, "1000"}, Case{kFrequencyResponse, 12.3456, "12.346"},
        Case{kFrequencyResponse, 1234567890.123, "1234567890.1"},
        Case{kEnergyTimeCurve, 0.00123456789, "0.001234568"},
        Case{kPowerCepstrum, 1000.0, "1000"}}) {
    SCOPED_TRACE(testing::Message() << "type " << int{c.type} << " x " << c.x);
    const TDataMeas record = FrequencyRecord(c.type, {c.x}, {{1.0}});
    const PlotOptions options;
    DataTable table(record, options);
    EXPECT_EQ(table.CellText(0, 0), c.cell);
  }
}

TEST(DataTable, SelectionCountsCellsWhicheverWayItWasDragged) {
  EXPECT_EQ((TableSelection{2, 0, 100000, 33334}.CellCount()), 200001);
  EXPECT_EQ(BigCopyQuestion(200001),
            "Selected range includes 200001 cells, and will require you to wait!  Continue?");
  EXPECT_EQ(TableScrollMaximum(100, 10), 91);  // points 91..99 fill the nine point rows
  EXPECT_EQ(TableScrollMaximum(5, 10), 1);
}

}  // namespace
}  // namespace vireon
