// The native text data file: the same items as the binary file, one a line, with '.' as the
// decimal point under every locale.

#include <gtest/gtest.h>

#include <locale>

#include "FileTestSupport.h"
#include "RecordSamples.h"
#include "files/TextDataFile.h"
#include "files/TextNumbers.h"

namespace vireon {
namespace {

TDataMeas ResponseRecord() {
  TDataMeas record;
  record.FDataType = kFrequencyResponse;
  record.FNumFields = 3;
  record.FNumPoints = 4;
  record.AllocColumns();
  record.FFields[0].Values = {20.0, 1234.5678, 19999.99, 12345678.0};
  record.FFields[1].Values = {1.0, 0.123456789, 2.5, 1e-7};
  record.FFields[2].Values = {-179.5, 0.0, 45.123456, 12.0};
  record.FFields[2].Units = "\xB0";
  record.FTitle = "Woofer, 1 m";
  record.FTimeStamp = 46000.123456789012;
  record.FDisplayDelay = 1.0 / 3.0;
  record.FNotes = StringList{"line one", "line two"};
  record.FOverlayNames = StringList{"ref"};
  record.FColors[0] = 0x123456;
  return record;
}

class TextDataFileTest : public ::testing::Test {
 protected:
  bool Load(const std::string& name, TDataMeas& record) {
    messages_ = CollectedMessages();
    return LoadTextDataFile(folder_ / name, record, FileContext{}, messages_);
  }
  std::string Message() const { return messages_.Texts().empty() ? "" : messages_.Texts().front(); }

  TempFolder folder_;
  CollectedMessages messages_;
};

TEST_F(TextDataFileTest, RoundTripKeepsTheItemsToTheirPrintedPrecision) {
  const TDataMeas saved = ResponseRecord();
  ASSERT_TRUE(SaveTextDataFile(folder_ / "r.vrd", saved, messages_));
  TDataMeas loaded;
  ASSERT_TRUE(Load("r.vrd", loaded));
  EXPECT_EQ(loaded.FTitle, saved.FTitle);
  EXPECT_EQ(loaded.FNumFields, 3);
  EXPECT_EQ(loaded.FFields[2].Units, "\xB0");
  EXPECT_NEAR(loaded.FTimeStamp, saved.FTimeStamp, 1e-10);  // 15 digits
  EXPECT_NEAR(loaded.FDisplayDelay, 1.0 / 3.0, 1e-15);
  for (std::size_t i = 0; i < 4; ++i) {
    const double x = saved.FFields[0].Values[i];
    EXPECT_NEAR(loaded.FFields[0].Values[i], x, std::fabs(x) * 5e-7) << i;  // 7 digits
    for (std::size_t c = 1; c < 3; ++c) {
      const double v = saved.FFields[c].Values[i];
      EXPECT_NEAR(loaded.FFields[c].Values[i], v, std::fabs(v) * 5e-5) << c << "," << i;
    }
  }
  EXPECT_EQ(loaded.FNotes, saved.FNotes);
  EXPECT_EQ(loaded.FOverlayNames, saved.FOverlayNames);
  EXPECT_EQ(loaded.FColors, saved.FColors);
  EXPECT_EQ(loaded.FFileName, (folder_ / "r.vrd").string());
}

TEST_F(TextDataFileTest, NumbersAndLineEndsAreTheFileFormatsWhateverTheLocale) {
  struct CommaDecimal : std::numpunct<char> {
    char do_decimal_point() const override { return ','; }
  };
  const std::locale previous =
      std::locale::global(std::locale(std::locale::classic(), new CommaDecimal));
  const std::string text = EncodeTextDataFile(ResponseRecord(), "r.vrd");
  std::locale::global(previous);
  EXPECT_NE(text.find("\r\n20 1 -179.5\r\n"), std::string::npos);
  EXPECT_NE(text.find("\r\n1234.568 0.12346 0\r\n"), std::string::npos);
  EXPECT_NE(text.find("\r\n1.234568E+0007 1E-07 12\r\n"), std::string::npos);
  EXPECT_NE(text.find("\r\n0.333333333333333\r\n"), std::string::npos);
  EXPECT_NE(text.find("****Display Weighting Data****\r\n0\r\n****Measured Data****\r\n"),
            std::string::npos);
}

TEST_F(TextDataFileTest, DataLinesSplitAtBlanksOrCommasAndIgnoreExtraValues) {
  std::string text = EncodeTextDataFile(testing_support::StereoTimeRecord(2), "t.vrd");
  const auto data = text.find("****Measured Data****\r\n");
  const auto units_end = text.find("\r\n", data + 23);
  const auto second_line_end = text.find("\r\n", text.find("\r\n", units_end + 2) + 2);
  text.replace(units_end + 2, second_line_end - units_end - 2, "0.5,0.25,9 9\r\n  -1   2   3");
  testing_support::WriteFile(folder_ / "t.vrd", text);
  TDataMeas loaded;
  ASSERT_TRUE(Load("t.vrd", loaded)) << Message();
  EXPECT_EQ(loaded.FFields[0].Values, (DataArray{0.5, -1.0}));
  EXPECT_EQ(loaded.FFields[1].Values, (DataArray{0.25, 2.0}));
}

TEST_F(TextDataFileTest, MalformedFilesGiveTheirMessages) {
  const std::string text = EncodeTextDataFile(ResponseRecord(), "r.vrd");
  const auto data = text.find("****Measured Data****");
  const auto first_value = text.find("\r\n", text.find("\r\n", data) + 2) + 2;
  struct Case {
    const char* what;
    std::string content;
    const char* message;
  };
  const Case cases[] = {
      {"cut before the data", text.substr(0, data), "File Format Error!"},
      {"a data line starting with a comma",
       text.substr(0, first_value) + "," + text.substr(first_value), "File Format Error!"},
      {"a data line without numbers", text.substr(0, first_value) + "x" + text.substr(first_value),
       "File Format Error!"},
      {"more points than lines",
       [&] {
         std::string t = text;
         const auto points = t.find("\r\n4\r\n");  // FNumPoints follows FNumFields 3
         t.replace(points, 5, "\r\n2000000000\r\n");
         return t;
       }(),
       "File Format Error!"},
  };
  for (const Case& c : cases) {
    testing_support::WriteFile(folder_ / "bad.vrd", c.content);
    TDataMeas record;
    EXPECT_FALSE(Load("bad.vrd", record)) << c.what;
    EXPECT_EQ(Message(), c.message) << c.what;
  }
}

TEST_F(TextDataFileTest, TextWhereANumberBelongsFailsSilentlyAndMarksTheTimeStamp) {
  std::string text = EncodeTextDataFile(ResponseRecord(), "r.vrd");
  text.replace(text.find("\r\n3\r\n"), 5, "\r\nthree\r\n");  // FNumFields
  testing_support::WriteFile(folder_ / "c.vrd", text);
  TDataMeas record;
  EXPECT_FALSE(Load("c.vrd", record));
  EXPECT_TRUE(messages_.Texts().empty());
  EXPECT_EQ(record.FTimeStamp, -10.0);
}

TEST_F(TextDataFileTest, FileWithoutTheTailTakesItsDefaults) {
  const std::string text = EncodeTextDataFile(ResponseRecord(), "r.vrd");
  const auto data = text.find("****Measured Data****");
  std::size_t end = data;
  for (int line = 0; line < 6; ++line) end = text.find("\r\n", end) + 2;  // marker, units, 4 points
  testing_support::WriteFile(folder_ / "n.vrd", text.substr(0, end));
  TDataMeas record;
  record.FNotes = StringList{"stale"};
  ASSERT_TRUE(Load("n.vrd", record)) << Message();
  EXPECT_EQ(record.FPlotKind, 0);
  EXPECT_FALSE(record.FNotes);
  EXPECT_FALSE(record.FOverlayNames);
  EXPECT_EQ(record.FAvgCount, 2);
  EXPECT_EQ(record.FVertLimit3, -1000000.0);
  EXPECT_EQ(record.FColors, kDefaultPlotColors);
  EXPECT_EQ(record.FCustomBitmap, 1);
}

TEST_F(TextDataFileTest, EveryTruncationLoadsOrFailsCleanly) {
  const std::string text = EncodeTextDataFile(ResponseRecord(), "r.vrd");
  for (std::size_t size = 0; size < text.size(); size += 3) {
    testing_support::WriteFile(folder_ / "cut.vrd", std::string_view(text).substr(0, size));
    TDataMeas record;
    if (!Load("cut.vrd", record)) {
      EXPECT_TRUE(Message().empty() || Message() == "File Format Error!") << size << Message();
    }
  }
}

TEST(TextNumbers, FormatsAsTheFilesPrintThem) {
  EXPECT_EQ(FormatGeneral(1000.0, 7, 4), "1000");
  EXPECT_EQ(FormatGeneral(12345678.0, 7, 4), "1.234568E+0007");
  EXPECT_EQ(FormatGeneral(0.00001, 5), "1E-05");
  EXPECT_EQ(FormatGeneral(0.5, 15), "0.5");
  EXPECT_EQ(FormatScientific(1234.5, 4), "1.2345E+03");
  EXPECT_EQ(FormatScientific(-0.00012, 4), "-1.2000E-04");
  EXPECT_EQ(FormatScientific(1e120, 4), "1.0000E+120");
}

}  // namespace
}  // namespace vireon
