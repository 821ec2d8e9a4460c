// Text exports: the MLSSA time layout, the general ASCII export with its x digits and traces,
// the slice export and the polar CSV.

#include <gtest/gtest.h>

#include "FileTestSupport.h"
#include "RecordSamples.h"
#include "common/DateTime.h"
#include "files/TextExports.h"
#include "files/TextNumbers.h"

namespace vireon {
namespace {

std::vector<std::string> LinesOf(const std::string& text) {
  std::vector<std::string> lines;
  for (const std::string_view line : SplitLines(text)) lines.emplace_back(line);
  return lines;
}

TDataMeas Response(std::vector<double> x) {
  TDataMeas record;
  record.FDataType = kFrequencyResponse;
  record.FNumFields = 3;
  record.FNumPoints = static_cast<std::int32_t>(x.size());
  record.AllocColumns();
  record.FFields[0].Values = std::move(x);
  for (std::size_t i = 0; i < record.FFields[0].Values.size(); ++i) {
    record.FFields[1].Values[i] = 0.1;  // -20 dB
    record.FFields[2].Values[i] = 30.0;
  }
  record.FFields[1].ShowAsDb = 1;
  record.FFields[2].Units = "deg";
  record.FFields[2].WrapPhase = 1;
  record.FTraceA = 1;
  record.FTraceB = 2;
  return record;
}

TEST(TextExports, MlssaTimeLayout) {
  TempFolder folder;
  TDataMeas record = testing_support::StereoTimeRecord(3, 50000);
  record.FFields[0].Values = {0.5, -0.25, 0.0};
  record.FTitle = "Impulse";
  ASSERT_TRUE(ExportMlssaTime(folder / "m.txt", record));
  EXPECT_EQ(folder.Read("m.txt"), " 1\r\n 0.02\r\n 3\r\n 0.5\r\n -0.25\r\n 0\r\n Impulse\r\n");
  record.FDataType = kFrequencyResponse;
  EXPECT_FALSE(ExportMlssaTime(folder / "n.txt", record));
}

TEST(TextExports, AsciiGeneralPrintsXTraceAAndTraceB) {
  TempFolder folder;
  const TDataMeas record = Response({0.0, 100.0, 1000.0});
  AsciiExportOptions options;
  options.HeaderLines = {"My header", std::string(200, 'h')};
  ASSERT_TRUE(ExportAsciiGeneral(folder / "a.txt", record, options));
  EXPECT_EQ(LinesOf(folder.Read("a.txt")),
            (std::vector<std::string>{
                "My header", std::string(125, 'h'), "5.0000E+01   -2.0000E+01   3.0000E+01",
                "1.0000E+02   -2.0000E+01   3.0000E+01", "1.0000E+03   -2.0000E+01   3.0000E+01"}));
  EXPECT_EQ(record.FFields[0].Values[0], 0.0) << "the record keeps its DC point";

  options = {};
  options.Comma = true;
  options.DistortionAsPercent = true;
  ASSERT_TRUE(ExportAsciiGeneral(folder / "b.csv", record, options));
  EXPECT_EQ(LinesOf(folder.Read("b.csv"))[1], "1.0000E+02,1.0000E+01,3.0000E+01");
}

TEST(TextExports, XGetsTheDigitsThatKeepItRising) {
  TempFolder folder;
  std::vector<double> x;
  for (int i = 0; i < 1000; ++i) x.push_back(19500.0 + i);
  ASSERT_TRUE(ExportAsciiGeneral(folder / "x.txt", Response(x), {}));
  const auto lines = LinesOf(folder.Read("x.txt"));
  ASSERT_EQ(lines.size(), 1000u);
  EXPECT_EQ(lines[0].substr(0, lines[0].find(' ')), "1.9500E+04");
  EXPECT_EQ(lines[1].substr(0, lines[1].find(' ')), "1.9501E+04");
  double previous = -1.0;
  for (const std::string& line : lines) {
    const double printed = std::stod(line.substr(0, line.find(' ')));
    EXPECT_GT(printed, previous) << line;
    previous = printed;
  }
  ASSERT_TRUE(ExportAsciiGeneral(folder / "z.txt", Response({100000.0, 100001.0, 100001.5}), {}));
  const auto more = LinesOf(folder.Read("z.txt"));
  EXPECT_EQ(more[1].substr(0, more[1].find(' ')), "1.00001E+05");
  EXPECT_EQ(more[2].substr(0, more[2].find(' ')), "1.00002E+05");
  EXPECT_FALSE(ExportAsciiGeneral(folder / "y.txt", Response({10.0, 20.0, 20.0}), {}));
}

TEST(TextExports, SampledDataExportsTheViewRangeOrEveryPoint) {
  TempFolder folder;
  TDataMeas record = testing_support::StereoTimeRecord(100, 1000);
  record.FViewStart = 0.010;
  record.FViewStop = 0.020;
  ASSERT_TRUE(ExportAsciiGeneral(folder / "v.txt", record, {}));
  const auto lines = LinesOf(folder.Read("v.txt"));
  ASSERT_EQ(lines.size(), 12u);  // samples 10 to 21
  EXPECT_EQ(lines[0], "1.0000E-02   " + FormatScientific(record.FFields[0].Values[10], 4) + "   " +
                          FormatScientific(record.FFields[1].Values[10], 4));
  AsciiExportOptions all;
  all.AllPoints = true;
  ASSERT_TRUE(ExportAsciiGeneral(folder / "w.txt", record, all));
  EXPECT_EQ(LinesOf(folder.Read("w.txt")).size(), 100u);
}

TEST(TextExports, SlicesWithTheirParameters) {
  TempFolder folder;
  TDataMeas record = Response({100.0, 200.0});
  record.FPlotKind = 2;
  record.FXUnits = "Hz";
  record.FFields[1].Units = "dB";
  record.FSliceUnits = "ms";
  record.FSliceCount = 2;
  record.FSliceValues = {0.0, 1.5};
  record.FSlices = {{1.0, 2.0}, {3.0, 4.0}};
  ASSERT_TRUE(ExportSlices(folder / "s.txt", record));
  EXPECT_EQ(folder.Read("s.txt"), "ms, Hz, dB\r\n, 0, 1.5\r\n100, 1, 3\r\n200, 2, 4\r\n");
  record.FPlotKind = 0;
  EXPECT_FALSE(ExportSlices(folder / "t.txt", record));
}

// The angles across, then per frequency from 0.1 Hz the level at every angle in dB.
TEST(TextExports, PolarCsvListsTheLevelAtEveryAngle) {
  TempFolder folder;
  TDataMeas record = Response({0.05, 100.0, 1000.0});
  record.FNumFields = 2;
  record.FPlotKind = kPolarPlotKind;
  record.FTimeStamp = 46000.75;
  record.FSliceUnits = "\xB0";
  record.FSliceCount = 2;
  record.FSliceValues = {0.0, 97.5};
  record.FSlices = {{1.0, 1.0, 0.5}, {3.0, 0.1, 10.0}};
  ASSERT_TRUE(ExportPolarCsv(folder / "p.csv", record));
  EXPECT_EQ(folder.Read("p.csv"),
            "Vireon Polar Data:  dB\r\n"
            "  data aquired on " +
                FormatDateTime(46000.75).value() +
                "\r\n"
                "Hz \\ \xB0,0,97.5\r\n"
                "100,0,-20\r\n"
                "1000,-6.02,20\r\n");
  record.FPlotKind = 2;
  EXPECT_FALSE(ExportPolarCsv(folder / "q.csv", record));
}

}  // namespace
}  // namespace vireon
