// WAV files: every sample format recorders write, the scale factors of reading and writing,
// and malformed files, which fail with the reader's message before any allocation.

#include <gtest/gtest.h>

#include "FileTestSupport.h"
#include "RecordSamples.h"
#include "files/WavFile.h"
#include "files/WavFileWrite.h"

namespace vireon {
namespace {

using testing_support::Bytes;

struct WavHeader {
  std::uint16_t tag = 1;
  std::uint16_t channels = 1;
  std::uint32_t rate = 48000;
  std::uint16_t bits = 16;
  bool extensible = false;
};

// A WAV file assembled by hand; an extensible one names `tag` in its sub-format id.
std::string WavBytes(const WavHeader& header, const std::string& data,
                     std::uint32_t declared_data = 0xFFFFFFFF,
                     const std::string& extra_chunk = "") {
  Bytes fmt;
  const std::uint16_t block = static_cast<std::uint16_t>(header.channels * ((header.bits + 7) / 8));
  fmt.U16(header.extensible ? 0xFFFE : header.tag).U16(header.channels).U32(header.rate);
  fmt.U32(header.rate * block).U16(block).U16(header.bits);
  if (header.extensible) {
    fmt.U16(22).U16(header.bits).U32(header.channels == 2 ? 3 : 4).U16(header.tag);
    fmt.Text(std::string("\x00\x00\x00\x00\x10\x00\x80\x00\x00\xAA\x00\x38\x9B\x71", 14));
  }
  Bytes body;
  body.Text("WAVE")
      .Text(extra_chunk)
      .Text("fmt ")
      .U32(static_cast<std::uint32_t>(fmt.Size()))
      .Text(fmt.Data());
  body.Text("data").U32(declared_data == 0xFFFFFFFF ? static_cast<std::uint32_t>(data.size())
                                                    : declared_data);
  body.Text(data);
  if (data.size() % 2 != 0) body.U8(0);
  Bytes file;
  file.Text("RIFF").U32(static_cast<std::uint32_t>(body.Size())).Text(body.Data());
  return file.Data();
}

class WavFileTest : public ::testing::Test {
 protected:
  bool LoadBytes(const std::string& bytes) {
    testing_support::WriteFile(folder_ / "in.wav", bytes);
    messages_ = CollectedMessages();
    return LoadWavData(folder_ / "in.wav", record_, context_, messages_);
  }
  std::string Message() const { return messages_.Texts().empty() ? "" : messages_.Texts().front(); }
  const DataArray& Column(std::size_t c) const { return record_.FFields[c].Values; }

  TempFolder folder_;
  FileContext context_;
  CollectedMessages messages_;
  TDataMeas record_;
};

TEST_F(WavFileTest, EverySampleFormatDecodesWithItsDivisor) {
  struct Case {
    const char* what;
    WavHeader header;
    Bytes data;
    DataArray expected;
    std::int32_t sample_bits;
  };
  const Case cases[] = {
      {"8-bit", {1, 1, 8000, 8}, Bytes().U8(255).U8(0).U8(128), {127 / 128.0, -1.0, 0.0}, 8},
      {"16-bit",
       {1, 1, 44100, 16},
       Bytes().U16(32767).U16(0x8000).U16(1),
       {32767 / 32768.0, -1.0, 1 / 32768.0},
       16},
      {"24-bit",
       {1, 1, 96000, 24},
       Bytes().Text(std::string("\xFF\xFF\x7F\x00\x00\x80\x01\x00\x00", 9)),
       {8388607 / 8388610.0, -8388608 / 8388610.0, 1 / 8388610.0},
       24},
      {"32-bit",
       {1, 1, 192000, 32},
       Bytes().I32(2147483647).I32(-2147483647 - 1),
       {2147483647 / 2147485000.0, -2147483648.0 / 2147485000.0},
       32},
      {"12-bit in 16", {1, 1, 48000, 12}, Bytes().U16(0x7FF0), {0x7FF0 / 32768.0}, 16},
      {"20-bit in 24",
       {1, 1, 48000, 20},
       Bytes().Text(std::string("\x00\x00\x80", 3)),
       {-8388608 / 8388610.0},
       24},
      {"float", {3, 1, 48000, 32}, Bytes().F32(0.25f).F32(-1.5f), {0.25, -1.5}, 32},
      {"double", {3, 1, 48000, 64}, Bytes().F64(0.1).F64(-0.2), {0.1, -0.2}, 32},
      {"extensible 24-bit",
       {1, 1, 48000, 24, true},
       Bytes().Text(std::string("\x00\x00\x40", 3)),
       {4194304 / 8388610.0},
       24},
      {"extensible float", {3, 1, 48000, 32, true}, Bytes().F32(-0.5f), {-0.5}, 32},
  };
  for (const Case& c : cases) {
    ASSERT_TRUE(LoadBytes(WavBytes(c.header, c.data.Data()))) << c.what << " " << Message();
    EXPECT_EQ(Column(0), c.expected) << c.what;
    EXPECT_EQ(record_.FSampleBits, c.sample_bits) << c.what;
    EXPECT_EQ(record_.FSampleRate, static_cast<std::int32_t>(c.header.rate)) << c.what;
  }
}

TEST_F(WavFileTest, StereoFileFillsTheTimeRecord) {
  Bytes data;
  for (int i = 0; i < 96000; ++i)
    data.U16(static_cast<std::uint16_t>(i)).U16(static_cast<std::uint16_t>(-i));
  ASSERT_TRUE(LoadBytes(WavBytes({1, 2, 48000, 16}, data.Data(), 0xFFFFFFFF,
                                 std::string("LIST\x03\0\0\0abc\0", 12))));
  EXPECT_EQ(record_.FNumFields, 2);
  EXPECT_EQ(record_.FNumPoints, 96000);
  EXPECT_EQ(Column(1)[1], -1 / 32768.0);
  EXPECT_EQ(record_.FFields[1].Name, "RightChan");
  EXPECT_EQ(record_.FFields[0].Units, "U");
  EXPECT_EQ(record_.FTraceB, 1);
  EXPECT_EQ(record_.FTitle, "in.wav");
  EXPECT_EQ(record_.FViewStop, 0.25);
  EXPECT_DOUBLE_EQ(record_.FEndX, 95999.0 / 48000.0);
  EXPECT_EQ(record_.FWinEnd2, 95999);
  EXPECT_EQ(record_.FBinWidth[1], 1.0);
  EXPECT_EQ(record_.FComplete, 1);

  ASSERT_TRUE(LoadBytes(WavBytes({1, 1, 10000, 16}, std::string(2000, '\0'))));
  EXPECT_DOUBLE_EQ(record_.FViewStop, 999.0 / 10000.0) << "a short file shows its whole length";
  EXPECT_EQ(record_.FTraceB, -1);
}

TEST_F(WavFileTest, MalformedFilesAreRefusedWithTheirMessage) {
  const std::string four_samples(8, '\x10');
  struct Case {
    const char* what;
    std::string bytes;
    const char* message;  // "" for a silent refusal
  };
  const Case cases[] = {
      {"not RIFF", "RIFX" + WavBytes({}, four_samples).substr(4), ""},
      {"three channels", WavBytes({1, 3, 48000, 16}, std::string(12, '\0')), ""},
      {"no data chunk", WavBytes({}, four_samples).substr(0, 36), ""},
      {"cut format chunk", WavBytes({}, four_samples).substr(0, 30), ""},
      {"no channels", WavBytes({1, 0, 48000, 16}, four_samples), "Error Reading .WAV file"},
      {"empty data", WavBytes({}, ""), "Error Reading .WAV file"},
      {"data beyond the file", WavBytes({}, four_samples, 0x7FFFFFF0), "Error Reading .WAV file"},
      {"0 bits", WavBytes({1, 1, 48000, 0}, four_samples), "Error Reading .WAV file"},
      {"40 bits", WavBytes({1, 1, 48000, 40}, std::string(10, '\0')), "Error Reading .WAV file"},
      {"ADPCM", WavBytes({2, 1, 48000, 4}, four_samples), "Error Reading .WAV file"},
      {"16-bit float", WavBytes({3, 1, 48000, 16}, four_samples), "Error Reading .WAV file"},
      {"less than a frame", WavBytes({1, 2, 48000, 24}, std::string(4, '\0')),
       "Error Reading .WAV file"},
  };
  for (const Case& c : cases) {
    EXPECT_FALSE(LoadBytes(c.bytes)) << c.what;
    EXPECT_EQ(Message(), c.message) << c.what;
  }
  EXPECT_FALSE(ProbeWavFile(folder_ / "missing.wav").Ok);
}

TEST_F(WavFileTest, EveryTruncationFailsCleanly) {
  const std::string bytes = WavBytes({1, 2, 48000, 24}, std::string(60, '\x55'));
  for (std::size_t size = 0; size < bytes.size(); ++size) {
    LoadBytes(bytes.substr(0, size));
  }
}

// Four seconds: more than the probe reads, so only the header is read.
TEST_F(WavFileTest, ProbeAndInfoReadTheHeader) {
  testing_support::WriteFile(folder_ / "p.wav",
                             WavBytes({1, 2, 44100, 24}, std::string(4 * 6 * 44100, '\0')));
  const WavProbe probe = ProbeWavFile(folder_ / "p.wav");
  EXPECT_TRUE(probe.Ok);
  EXPECT_EQ(probe.SampleRate, 44100);
  EXPECT_EQ(probe.BitsPerSample, 24);
  EXPECT_TRUE(probe.Stereo);
  EXPECT_EQ(probe.DataBytes, 4u * 6u * 44100u);
  const WavInfo info = WavFileInfo(folder_ / "p.wav");
  EXPECT_DOUBLE_EQ(info.Duration, 4.0);
  EXPECT_EQ(info.Channels, 2);

  testing_support::WriteFile(folder_ / "q.wav", WavBytes({1, 3, 44100, 16}, std::string(6, '\0')));
  EXPECT_FALSE(ProbeWavFile(folder_ / "q.wav").Ok);
  EXPECT_EQ(WavFileInfo(folder_ / "q.wav").SampleRate, 0);
}

// The samples of a written file, read back as raw integers.
std::string DataOf(const std::string& file) { return file.substr(46); }

TEST_F(WavFileTest, WriterScalesThePeakToTheLevel) {
  TDataMeas record = testing_support::StereoTimeRecord(2);
  record.FNumFields = 1;
  record.FFields[0].Values = {0.5, -0.25};
  record.FFields[1].Values.clear();
  ASSERT_TRUE(SaveWavData(folder_ / "a.wav", record, 16, 1.0, WavChannelChoice::kColumn0, false,
                          messages_));
  EXPECT_EQ(DataOf(folder_.Read("a.wav")),
            Bytes().U16(32767).U16(static_cast<std::uint16_t>(-16384)).Data());
  ASSERT_TRUE(SaveWavData(folder_ / "a.wav", record, 16, 0.5, WavChannelChoice::kColumn0, false,
                          messages_));
  // 16383.5 rounds to even.
  EXPECT_EQ(DataOf(folder_.Read("a.wav")),
            Bytes().U16(16384).U16(static_cast<std::uint16_t>(-8192)).Data());

  record.FFields[0].Values = {0.25, -0.5};
  ASSERT_TRUE(
      SaveWavData(folder_ / "b.wav", record, 8, 1.0, WavChannelChoice::kColumn0, false, messages_));
  EXPECT_EQ(DataOf(folder_.Read("b.wav")), Bytes().U8(192).U8(1).Data());
  ASSERT_TRUE(SaveWavData(folder_ / "c.wav", record, 24, 1.0, WavChannelChoice::kColumn0, false,
                          messages_));
  EXPECT_EQ(DataOf(folder_.Read("c.wav")), std::string("\x00\x00\x40\x01\x00\x80", 6));
  ASSERT_TRUE(SaveWavData(folder_ / "d.wav", record, 32, 1.0, WavChannelChoice::kColumn0, false,
                          messages_));
  EXPECT_EQ(DataOf(folder_.Read("d.wav")), Bytes().I32(1073741800).I32(-2147483600).Data());

  record.FFields[0].Values = {0.0, 0.0};
  ASSERT_TRUE(SaveWavData(folder_ / "e.wav", record, 16, 1.0, WavChannelChoice::kColumn0, false,
                          messages_));
  EXPECT_EQ(DataOf(folder_.Read("e.wav")), std::string(4, '\0')) << "silence stays silence";
}

TEST_F(WavFileTest, WriterHeaderIsTheEighteenByteFormatChunk) {
  TDataMeas record = testing_support::StereoTimeRecord(3, 44100);
  ASSERT_TRUE(
      SaveWavData(folder_ / "h.wav", record, 24, 1.0, WavChannelChoice::kColumn0, true, messages_));
  const std::string expected = Bytes()
                                   .Text("RIFF")
                                   .U32(4 + 26 + 8 + 18)
                                   .Text("WAVEfmt ")
                                   .U32(18)
                                   .U16(1)
                                   .U16(2)
                                   .U32(44100)
                                   .U32(44100 * 6)
                                   .U16(6)
                                   .U16(24)
                                   .U16(0)
                                   .Text("data")
                                   .U32(18)
                                   .Data();
  EXPECT_EQ(folder_.Read("h.wav").substr(0, 46), expected);
}

TEST_F(WavFileTest, StereoRoundTripAndMonoChoices) {
  const TDataMeas record = testing_support::StereoTimeRecord(1000);
  ASSERT_TRUE(
      SaveWavData(folder_ / "s.wav", record, 16, 1.0, WavChannelChoice::kColumn0, true, messages_));
  ASSERT_TRUE(LoadWavData(folder_ / "s.wav", record_, context_, messages_));
  ASSERT_EQ(record_.FNumFields, 2);
  double peak = 0.0;
  for (const double v : record.FFields[0].Values) peak = std::max(peak, std::fabs(v));
  for (std::size_t c = 0; c < 2; ++c) {
    for (std::size_t i = 0; i < 1000; ++i) {
      // Written as round(v/peak·32767), read as /32768.
      const double expected =
          std::nearbyint(record.FFields[c].Values[i] / peak * 32767.0) / 32768.0;
      ASSERT_EQ(Column(c)[i], expected) << c << "," << i;
    }
  }
  ASSERT_TRUE(
      SaveWavData(folder_ / "m.wav", record, 16, 1.0, WavChannelChoice::kMix, true, messages_));
  ASSERT_TRUE(
      SaveWavData(folder_ / "m.wav", record, 16, 1.0, WavChannelChoice::kMix, false, messages_));
  ASSERT_TRUE(LoadWavData(folder_ / "m.wav", record_, context_, messages_));
  EXPECT_EQ(record_.FNumFields, 1);
  ASSERT_TRUE(SaveWavData(folder_ / "r.wav", record, 16, 1.0, WavChannelChoice::kColumn1, false,
                          messages_));
  ASSERT_TRUE(LoadWavData(folder_ / "r.wav", record_, context_, messages_));
  EXPECT_EQ(Column(0)[0], std::nearbyint(record.FFields[1].Values[0] / peak * 32767.0) / 32768.0);
}

TEST_F(WavFileTest, OnlyTimeRecordsAreWrittenAndTheOldFileIsKept) {
  testing_support::WriteFile(folder_ / "keep.wav", "old");
  TDataMeas response = testing_support::StereoTimeRecord(4);
  response.FDataType = kFrequencyResponse;
  EXPECT_FALSE(SaveWavData(folder_ / "keep.wav", response, 16, 1.0, WavChannelChoice::kColumn0,
                           false, messages_));
  EXPECT_EQ(messages_.Texts().back(), "Error: Only Time domain data can be saves as WAV files!");
  EXPECT_FALSE(SaveWavData(folder_ / "keep.wav", testing_support::StereoTimeRecord(4), 12, 1.0,
                           WavChannelChoice::kColumn0, false, messages_));
  EXPECT_EQ(folder_.Read("keep.wav"), "old");
}

}  // namespace
}  // namespace vireon
