// The binary data file: round trips, the writer's handling of short columns and waterfalls,
// and hostile or truncated files, which must fail with the format's message and never crash
// or allocate from a count the file cannot hold.

#include <gtest/gtest.h>

#include <cstring>

#include "FileTestSupport.h"
#include "RecordSamples.h"
#include "common/AtomicFile.h"
#include "files/FileIO_Data.h"

namespace vireon {
namespace {

using testing_support::ExpectSameStoredFields;
using testing_support::StereoTimeRecord;

TDataMeas RichRecord() {
  TDataMeas record = StereoTimeRecord(100);
  record.FTitle = std::string(600, 'x');  // stored as its first 510 characters
  record.FPlotKind = 6;
  record.FSliceCount = 2;
  record.FSlices = {DataArray(100, 0.25), DataArray(100, -1.5)};
  record.FSliceValues = {1.0, 2.0};
  record.FSliceUnits = "ms";
  record.FSliceTags = {7, 8};
  record.FSliceLabels = {"first", "second"};
  record.FSliceTagMode = 3;
  record.FSliceTagScale = 0.5;
  record.FExtraParams[3] = 1.25;
  record.FOverlayNames = StringList{"one", "two"};
  record.FNotes = StringList{"note a", "note b"};
  record.FWeighting.emplace();
  record.FWeighting->Points = {{10.0, 0.5, 0.0}, {100.0, 2.0, 0.0}};
  record.FOverlayStyles[2] = {0x010203, 5};
  record.FColors[4] = 0x00C0FFEE;
  record.FDbRange = {-12.0, 6.0};
  record.FCustomBitmap = 0;
  record.FAvgCount = 17;
  record.FTimeStamp = 46000.5;
  record.FMarkerX = {0.1f, 0.2f, 0.3f, 0.4f, 0.5f};
  return record;
}

class DataFileTest : public ::testing::Test {
 protected:
  bool Load(const std::string& name, TDataMeas& record) {
    messages_ = CollectedMessages();
    return LoadDataFile(folder_ / name, record, false, false, context_, messages_);
  }
  std::string Message() const { return messages_.Texts().empty() ? "" : messages_.Texts().front(); }

  TempFolder folder_;
  FileContext context_;
  CollectedMessages messages_;
};

TEST_F(DataFileTest, RoundTripIsBitExactForSinglePrecisionValues) {
  const TDataMeas saved = RichRecord();
  ASSERT_TRUE(SaveDataFile(folder_ / "r.vr2", saved, false, messages_));
  TDataMeas loaded;
  ASSERT_TRUE(Load("r.vr2", loaded));
  TDataMeas expected = saved;
  expected.FTitle = std::string(510, 'x');
  ExpectSameStoredFields(loaded, expected);
  EXPECT_EQ(loaded.FWeighting->Points[1].Factor, 2.0);
  EXPECT_EQ(loaded.FSliceTagMode, 3);
  EXPECT_EQ(loaded.FSliceTagScale, 0.5);
}

TEST_F(DataFileTest, SamplesAreStoredInSinglePrecision) {
  TDataMeas record = StereoTimeRecord(4);
  record.FFields[0].Values[1] = 0.1;
  ASSERT_TRUE(SaveDataFile(folder_ / "s.vr2", record, false, messages_));
  TDataMeas loaded;
  ASSERT_TRUE(Load("s.vr2", loaded));
  EXPECT_EQ(loaded.FFields[0].Values[1], static_cast<double>(0.1f));
}

TEST_F(DataFileTest, WaterfallColumnOneRoundTripsThroughItsStoredDecibels) {
  TDataMeas record = StereoTimeRecord(8);
  record.FDataType = kSpectrum;
  record.FFields[1].Values = {1.0, 0.5, 2.0, 1e-3, 10.0, 0.0, 1.0, 1.0};
  record.FPlotKind = 2;
  record.FSliceCount = 1;
  record.FSlices = {DataArray(8, 0.0)};
  record.FSliceValues = {0.0};
  const DataArray linear = record.FFields[1].Values;
  ASSERT_TRUE(SaveDataFile(folder_ / "w.vr2", record, false, messages_));
  EXPECT_EQ(record.FFields[1].Values, linear) << "saving must not change the record";
  TDataMeas loaded;
  ASSERT_TRUE(Load("w.vr2", loaded));
  for (std::size_t i = 0; i < linear.size(); ++i) {
    const double want = linear[i] > 0 ? linear[i] : 1e-20;
    EXPECT_NEAR(loaded.FFields[1].Values[i], want, want * 1e-6) << i;
  }
}

TEST_F(DataFileTest, ShortColumnsAreLeftOutAndNeverOverrun) {
  TDataMeas record = StereoTimeRecord(10);
  record.FNumFields = 4;
  record.FFields[2].Values.assign(10, 1.0);
  record.FFields[3].Values.assign(3, 1.0);  // short last column
  ASSERT_TRUE(SaveDataFile(folder_ / "a.vr2", record, false, messages_));
  TDataMeas loaded;
  ASSERT_TRUE(Load("a.vr2", loaded));
  EXPECT_EQ(loaded.FNumFields, 3);

  record.FFields[1].Values.resize(2);  // a short middle column ends the stored columns
  ASSERT_TRUE(SaveDataFile(folder_ / "b.vr2", record, false, messages_));
  ASSERT_TRUE(Load("b.vr2", loaded));
  EXPECT_EQ(loaded.FNumFields, 1);
  EXPECT_EQ(loaded.FFields[0].Values.size(), 10u);

  record.FFields[0].Values.clear();
  EXPECT_FALSE(SaveDataFile(folder_ / "c.vr2", record, false, messages_));
  record.FNumFields = 0;
  EXPECT_FALSE(SaveDataFile(folder_ / "c.vr2", record, false, messages_));
  EXPECT_FALSE(std::filesystem::exists(folder_ / "c.vr2"));
}

TEST_F(DataFileTest, SavingTwiceIsIdenticalAndAShorterRecordLeavesNoOldBytes) {
  ASSERT_TRUE(SaveDataFile(folder_ / "x.vr2", StereoTimeRecord(1000), false, messages_));
  const std::string first = folder_.Read("x.vr2");
  ASSERT_TRUE(SaveDataFile(folder_ / "x.vr2", StereoTimeRecord(1000), false, messages_));
  EXPECT_TRUE(folder_.Read("x.vr2") == first);
  ASSERT_TRUE(SaveDataFile(folder_ / "x.vr2", StereoTimeRecord(10), false, messages_));
  EXPECT_TRUE(folder_.Read("x.vr2") ==
              *EncodeDataFile(StereoTimeRecord(10), (folder_ / "x.vr2").string(), false));
}

TEST_F(DataFileTest, FailedSaveReportsAndWritesNothing) {
  EXPECT_FALSE(SaveDataFile(folder_ / "missing" / "x.vr2", StereoTimeRecord(4), false, messages_));
  EXPECT_EQ(Message(), "Unable to complete file save operation");
}

TEST_F(DataFileTest, SaveThatCannotReplaceTheTargetLeavesItAndNoTemporary) {
  std::filesystem::create_directories(folder_ / "busy.vr2" / "inside");
  EXPECT_FALSE(SaveDataFile(folder_ / "busy.vr2", StereoTimeRecord(4), false, messages_));
  EXPECT_TRUE(std::filesystem::exists(folder_ / "busy.vr2" / "inside"));
  EXPECT_EQ(std::distance(std::filesystem::directory_iterator(folder_.Path()),
                          std::filesystem::directory_iterator()),
            1);
}

TEST_F(DataFileTest, MissingFileLeavesTheRecordUntouched) {
  TDataMeas record = StereoTimeRecord(5);
  EXPECT_FALSE(Load("nothing.vr2", record));
  EXPECT_TRUE(messages_.Texts().empty());
  EXPECT_EQ(record.FNumPoints, 5);
  EXPECT_EQ(record.FFields[0].Values.size(), 5u);
}

TEST_F(DataFileTest, EveryTruncationFailsCleanlyOrEndsAtASection) {
  const std::string bytes = *EncodeDataFile(RichRecord(), "r.vr2", false);
  for (std::size_t size = 0; size < bytes.size(); ++size) {
    testing_support::WriteFile(folder_ / "cut.vr2", std::string_view(bytes).substr(0, size));
    TDataMeas record;
    if (!Load("cut.vr2", record)) {
      EXPECT_TRUE(Message() == "Invalid File Format! 0" || Message() == "File ended unexpectedly!")
          << size << ": " << Message();
    }
  }
}

// Offsets of the counts in a file of StereoTimeRecord(4) with an empty title.
constexpr std::size_t kFieldsAt = 4;
constexpr std::size_t kPointsAt = 8;
constexpr std::size_t kTitleLengthAt = 24;
constexpr std::size_t kColumnBytesAt = 29;

std::string Patched(std::string bytes, std::size_t at, std::int32_t value) {
  std::memcpy(bytes.data() + at, &value, 4);
  return bytes;
}

TEST_F(DataFileTest, HostileCountsGiveTheFormatMessageBeforeAnyAllocation) {
  TDataMeas small = StereoTimeRecord(4);
  small.FTitle.clear();
  const std::string bytes = *EncodeDataFile(small, "h.vr2", false);
  struct Case {
    const char* what;
    std::size_t at;
    std::int32_t value;
    const char* message;
  };
  const Case cases[] = {
      {"no columns", kFieldsAt, 0, "Invalid File Format! 0"},
      {"six columns", kFieldsAt, 6, "Invalid File Format! 0"},
      {"negative points", kPointsAt, -4, "Invalid File Format! 0"},
      {"points beyond the file", kPointsAt, 0x10000000, "Invalid File Format! 0"},
      {"string length 0", kTitleLengthAt, 0, "Invalid File Format! 0"},
      {"string length 512", kTitleLengthAt, 512, "Invalid File Format! 0"},
      {"column bytes not 4·F·N", kColumnBytesAt, 31, "Invalid File Format! 0"},
  };
  for (const Case& c : cases) {
    testing_support::WriteFile(folder_ / "h.vr2", Patched(bytes, c.at, c.value));
    TDataMeas record;
    EXPECT_FALSE(Load("h.vr2", record)) << c.what;
    EXPECT_EQ(Message(), c.message) << c.what;
  }
  // A column block whose count agrees with huge counts but whose values are not there.
  std::string huge = Patched(Patched(bytes, kPointsAt, 0x08000000), kColumnBytesAt, 0x40000000);
  huge = Patched(huge, kFieldsAt, 2);
  testing_support::WriteFile(folder_ / "h.vr2", huge);
  TDataMeas record;
  EXPECT_FALSE(Load("h.vr2", record));
  EXPECT_EQ(Message(), "File ended unexpectedly!");
}

TEST_F(DataFileTest, HostileTailCountsFailOrEndAsTheFormatSays) {
  TDataMeas record = StereoTimeRecord(4);
  record.FTitle.clear();
  const std::string main_only = *EncodeDataFile(record, "t.vr2", false);
  const std::size_t tail =
      main_only.size() - (4 + 32 * 8 + 4 + 2 + 8 + 8 + 4 + 4 + 8 * 8 + 8 * 4 + 16 + 1 + 1);
  testing_support::Bytes plot_kind;
  plot_kind.I32(2);
  for (int i = 0; i < 32; ++i) plot_kind.F64(0.0);

  // A waterfall claiming 2^30 slices in a small file.
  testing_support::Bytes slices = plot_kind;
  slices.I32(0x40000000).F64(0).F64(0).Str("");
  testing_support::WriteFile(folder_ / "t.vr2", main_only.substr(0, tail) + slices.Data());
  EXPECT_FALSE(Load("t.vr2", record));
  EXPECT_EQ(Message(), "Invalid File Format! 0");

  // 41 overlay names end the load successfully, without overlays or notes.
  testing_support::Bytes overlays;
  overlays.I32(0);
  for (int i = 0; i < 32; ++i) overlays.F64(0.0);
  overlays.I32(41).U8(0).U8(0);
  record.FNotes = StringList{"stale"};
  testing_support::WriteFile(folder_ / "t.vr2", main_only.substr(0, tail) + overlays.Data());
  EXPECT_TRUE(Load("t.vr2", record));
  EXPECT_FALSE(record.FOverlayNames);
  EXPECT_FALSE(record.FNotes);

  // A note count beyond the file.
  testing_support::Bytes notes;
  notes.I32(0);
  for (int i = 0; i < 32; ++i) notes.F64(0.0);
  notes.I32(0).U8(0).U8(0).F64(0).F64(0).I32(1).I32(0x7FFFFFFF);
  testing_support::WriteFile(folder_ / "t.vr2", main_only.substr(0, tail) + notes.Data());
  EXPECT_FALSE(Load("t.vr2", record));
  EXPECT_EQ(Message(), "Invalid File Format! 0");
}

TEST_F(DataFileTest, PrimaryColorsOnOpenReplaceTheStoredOnes) {
  ASSERT_TRUE(SaveDataFile(folder_ / "c.vr2", RichRecord(), false, messages_));
  context_.UsePrimaryColorsOnOpen = true;
  context_.PlotColors[0] = 0x111111;
  TDataMeas loaded;
  ASSERT_TRUE(Load("c.vr2", loaded));
  EXPECT_EQ(loaded.FColors, context_.PlotColors);
  EXPECT_EQ(loaded.FOverlayStyles, context_.OverlayTable);
  EXPECT_EQ(loaded.FDbRange, (std::array<double, 2>{-12.0, 6.0}));
}

TEST_F(DataFileTest, MainOnlyStopsAfterTheWeighting) {
  ASSERT_TRUE(SaveDataFile(folder_ / "m.vr2", RichRecord(), false, messages_));
  TDataMeas loaded;
  ASSERT_TRUE(LoadDataFile(folder_ / "m.vr2", loaded, false, true, context_, messages_));
  EXPECT_EQ(loaded.FNumPoints, 100);
  EXPECT_EQ(loaded.FPlotKind, 0);
  EXPECT_FALSE(loaded.FNotes);
}

}  // namespace
}  // namespace vireon
