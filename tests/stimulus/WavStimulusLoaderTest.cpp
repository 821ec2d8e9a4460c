#include "stimulus/WavStimulusLoader.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

#include "common/AtomicFile.h"
#include "support/TempFolder.h"

namespace vireon {
namespace {

void AppendLittleEndian(std::string& bytes, std::uint32_t value, int count) {
  for (int i = 0; i < count; ++i) bytes.push_back(static_cast<char>((value >> (8 * i)) & 0xFF));
}

// A 16-bit stereo PCM file at 48 kHz holding the given interleaved samples.
std::string StereoWav16(const std::vector<std::int16_t>& interleaved) {
  const auto data_bytes = static_cast<std::uint32_t>(interleaved.size() * 2);
  std::string bytes = "RIFF";
  AppendLittleEndian(bytes, 36 + data_bytes, 4);
  bytes += "WAVEfmt ";
  AppendLittleEndian(bytes, 16, 4);
  AppendLittleEndian(bytes, 1, 2);          // PCM
  AppendLittleEndian(bytes, 2, 2);          // channels
  AppendLittleEndian(bytes, 48000, 4);      // rate
  AppendLittleEndian(bytes, 48000 * 4, 4);  // bytes per second
  AppendLittleEndian(bytes, 4, 2);          // bytes per frame
  AppendLittleEndian(bytes, 16, 2);         // bits
  bytes += "data";
  AppendLittleEndian(bytes, data_bytes, 4);
  for (const std::int16_t sample : interleaved) {
    AppendLittleEndian(bytes, static_cast<std::uint16_t>(sample), 2);
  }
  return bytes;
}

TEST(WavStimulusLoaderTest, DecodesBothChannelsAsFractionsOfFullScale) {
  const TempFolder folder;
  WriteFileAtomically(folder / "stim.wav", StereoWav16({16384, -32768, 0, 8192}));
  const auto samples = WavStimulusLoader()((folder / "stim.wav").string());
  ASSERT_TRUE(samples.has_value());
  EXPECT_EQ(samples->channel1, (std::vector<double>{0.5, 0.0}));
  EXPECT_EQ(samples->channel2, (std::vector<double>{-1.0, 0.25}));
}

TEST(WavStimulusLoaderTest, FilesThatDoNotDecodeGiveNothing) {
  const TempFolder folder;
  WriteFileAtomically(folder / "text.wav", "not a wave file");
  WriteFileAtomically(folder / "empty.wav", StereoWav16({}));
  const WavLoader load = WavStimulusLoader();
  EXPECT_FALSE(load((folder / "absent.wav").string()).has_value());
  EXPECT_FALSE(load((folder / "text.wav").string()).has_value());
  EXPECT_FALSE(load((folder / "empty.wav").string()).has_value());
}

}  // namespace
}  // namespace vireon
