// The open dispatch by extension, shared by the plot windows and the command line.

#include <gtest/gtest.h>

#include "FileTestSupport.h"
#include "RecordSamples.h"
#include "files/FileIO_Data.h"
#include "files/OpenDispatch.h"
#include "files/TextDataFile.h"
#include "files/WavFileWrite.h"

namespace vireon {
namespace {

class OpenDispatchTest : public ::testing::Test {
 protected:
  void SetUp() override {
    const TDataMeas time = testing_support::StereoTimeRecord(8);
    ASSERT_TRUE(SaveDataFile(folder_ / "a.vr2", time, false, messages_));
    ASSERT_TRUE(SaveDataFile(folder_ / "b.VBU", time, true, messages_));
    ASSERT_TRUE(SaveTextDataFile(folder_ / "c.VRD", time, messages_));
    ASSERT_TRUE(
        SaveWavData(folder_ / "d.Wav", time, 16, 1.0, WavChannelChoice::kColumn0, true, messages_));
    const std::string response = "10 1 0\n20 2 0\n30 3 0\n40 4 0\n";
    testing_support::WriteFile(folder_ / "e.frd", response);
    testing_support::WriteFile(folder_ / "f.zma", response);
    testing_support::WriteFile(folder_ / "g.txt", response);
    testing_support::WriteFile(folder_ / "h.frd", "no data\n1 2\n");
  }

  TempFolder folder_;
  FileContext context_;
  CollectedMessages messages_;
};

TEST_F(OpenDispatchTest, ChoosesTheReaderByExtensionInAnyCase) {
  struct Case {
    const char* name;
    std::uint8_t type;
    std::int32_t points;
  };
  const Case cases[] = {{"a.vr2", kTimeDomain, 8},        {"b.VBU", kTimeDomain, 8},
                        {"c.VRD", kTimeDomain, 8},        {"d.Wav", kTimeDomain, 8},
                        {"e.frd", kFrequencyResponse, 4}, {"f.zma", kImpedance, 4},
                        {"g.txt", kFrequencyResponse, 4}};
  for (const Case& c : cases) {
    TDataMeas record;
    record.FDerived = 1;
    ASSERT_TRUE(OpenDataFile(folder_ / c.name, record, context_, messages_)) << c.name;
    EXPECT_EQ(record.FDataType, c.type) << c.name;
    EXPECT_EQ(record.FNumPoints, c.points) << c.name;
    EXPECT_EQ(record.FDerived, 0);
    EXPECT_EQ(record.FChanged, 0);
    EXPECT_EQ(record.FComplete, 1);
  }
  // The general loader has no WAV reader: it takes the file for response text.
  TDataMeas record;
  LoadAnyDataFile(folder_ / "d.Wav", record, false, context_, messages_);
  EXPECT_NE(record.FDataType, kTimeDomain);
}

TEST_F(OpenDispatchTest, FailureLeavesTheNullRecordAndAMissingFileLeavesItUntouched) {
  TDataMeas record = testing_support::StereoTimeRecord(5);
  EXPECT_FALSE(OpenDataFile(folder_ / "missing.vr2", record, context_, messages_));
  EXPECT_EQ(record.FNumPoints, 5);
  EXPECT_FALSE(OpenDataFile(folder_ / "h.frd", record, context_, messages_));
  EXPECT_EQ(record.FTitle, "null data");
  EXPECT_EQ(record.FNumPoints, 4);
  EXPECT_EQ(record.FComplete, 1);
  EXPECT_EQ(messages_.Texts().back(), "File Format Error!");
}

}  // namespace
}  // namespace vireon
