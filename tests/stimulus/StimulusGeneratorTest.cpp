#include <gtest/gtest.h>

#include <random>

#include "StimulusFixtures.h"
#include "stimulus/SamplePacking.h"
#include "stimulus/StimulusTable.h"

namespace vireon {
namespace {

WavLoader ShortWav() {
  return [](const std::string&) -> std::optional<WavSamples> {
    return WavSamples{{0.5, -0.25, 1.0, -1.0, 0.125}, {}};
  };
}

// Every stimulus, filled in random block sizes (with ResetPeriod at the same points), writes
// exactly the frames of one fill of the whole range: no state is lost where blocks meet.
TEST(StimulusGeneratorTest, BlocksJoinWithoutDiscontinuity) {
  for (const StimulusType& type : StimulusTypes()) {
    for (const int bits : {16, 24}) {
      SCOPED_TRACE(std::string(type.name) + " at " + std::to_string(bits) + " bits");
      StimulusSettings settings;
      settings.envelope = {1, 500};
      settings.wav_file_name = "short.wav";
      const int acq = type.code == 16 ? 22 : (type.code == 17 ? 3 : 0);
      const StimulusSelection selection = Selection(type.code, bits, acq);
      constexpr std::int32_t kFrames = 30000;

      GeneratedFrames whole;
      ASSERT_TRUE(whole.Start(selection, settings, DefaultToneLists(), ShortWav()));
      const std::vector<Frame> expected = whole.Fill(kFrames, bits);

      GeneratedFrames blocks;
      ASSERT_TRUE(blocks.Start(selection, settings, DefaultToneLists(), ShortWav()));
      std::vector<std::uint8_t> buffer(kFrames * FrameBytes(bits));
      std::mt19937 random(static_cast<unsigned>(type.code * 100 + bits));
      for (std::int32_t first = 0; first < kFrames;) {
        const std::int32_t last = std::min<std::int32_t>(
            kFrames - 1, first + std::uniform_int_distribution<std::int32_t>(0, 2500)(random));
        blocks.generator.FillStimulus(buffer, first, last);
        first = last + 1;
      }
      const std::vector<Frame> got = UnpackFrames(buffer, bits);
      ASSERT_EQ(got.size(), expected.size());
      bool any_sound = false;
      for (std::size_t i = 0; i < got.size(); ++i) {
        ASSERT_EQ(got[i], expected[i]) << "frame " << i;
        any_sound = any_sound || got[i].left != 0;
      }
      EXPECT_EQ(any_sound, type.code != kStimNone);
    }
  }
}

TEST(StimulusGeneratorTest, SynchronousStimuliLeaveOutput2ToTheSyncCode) {
  for (const int code : {3, 4, 5, 6, 9, 12, 16, 17}) {
    GeneratedFrames run;
    StimulusSettings settings;
    settings.wav_file_name = "x.wav";
    StimulusSelection selection = Selection(code, 24, code == 16 ? 22 : 0);
    ASSERT_TRUE(run.Start(selection, settings, DefaultToneLists(), ShortWav()));
    std::vector<std::uint8_t> buffer(6 * 2000, 0xAB);
    run.generator.FillStimulus(buffer, 0, 1999);
    for (std::size_t frame = 0; frame < 2000; ++frame) {
      ASSERT_EQ(buffer[6 * frame + 3], 0xAB) << "code " << code;
      ASSERT_EQ(buffer[6 * frame + 5], 0xAB) << "code " << code;
    }
  }
}

// A gain far beyond 1 (a level of +10 dB that bypassed the limit) clips at full scale instead of
// wrapping around to the opposite sign when packed.
TEST(StimulusGeneratorTest, SamplesSaturateAtFullScale) {
  for (const int bits : {16, 24}) {
    StimulusSelection selection = Selection(7, bits);
    selection.gain1 = 3.16;
    selection.gain2 = 3.16;
    ToneLists tones{{TSinePars{1000.0, 0.0, 1.0, 0.0, 0, 0.5}}, {}};
    GeneratedFrames run;
    ASSERT_TRUE(run.Start(selection, {}, tones));
    const std::int32_t full_scale = FullScale(bits);
    const std::vector<Frame> frames = run.Fill(48, bits);
    for (std::size_t n = 0; n < frames.size(); ++n) {
      const double ideal = 3.16 * full_scale * std::cos(2 * 3.14159265358979 * 1000 * n / 48000.0);
      const double clipped = std::clamp(ideal, -double(full_scale), double(full_scale));
      ASSERT_NEAR(frames[n].left, clipped, 0.501) << bits << " bits, n " << n;
    }
  }
  EXPECT_EQ(SaturatedSample(1e300, kFullScale24), kFullScale24);
  EXPECT_EQ(SaturatedSample(-1e300, kFullScale16), -kFullScale16);
  EXPECT_EQ(SaturatedSample(std::nan(""), kFullScale16), 0);
  EXPECT_EQ(SaturatedSample(2.5, kFullScale16), 2);  // ties to even
  EXPECT_EQ(SaturatedSample(-3.5, kFullScale16), -4);
}

TEST(StimulusGeneratorTest, StartFailuresAreNotices) {
  GeneratedFrames unknown;
  EXPECT_FALSE(unknown.Start(Selection(18)));
  EXPECT_EQ(unknown.notices.Texts(), std::vector<std::string>{"Error: invalid stimulus type"});

  for (const int code : {12, 13}) {
    StimulusSettings settings;
    settings.wav_file_name = "broken.wav";
    StimulusGenerator generator;
    Notices notices;
    const WavLoader broken = [](const std::string&) { return std::optional<WavSamples>{}; };
    EXPECT_FALSE(generator.SelectGenerator(Selection(code), settings, {}, broken, notices));
    EXPECT_EQ(notices.Texts(), std::vector<std::string>{"Error: WAV File not usable"});
    EXPECT_EQ(settings.wav_file_name, "");
  }
}

TEST(StimulusTableTest, ListOrderCodesAndEngines) {
  const auto types = StimulusTypes();
  ASSERT_EQ(types.size(), 19u);
  const std::vector<int> codes = {0, 1, 2, 17, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15, 16, 99};
  for (std::size_t i = 0; i < types.size(); ++i) EXPECT_EQ(types[i].code, codes[i]) << i;
  EXPECT_EQ(types[3].name, "Chirp (synchronous)");
  EXPECT_EQ(types[6].name, "MLS/Pink(synchronous)");
  EXPECT_EQ(types[10].name, "Stepped Tones(synchronous)");
  EXPECT_EQ(FindStimulus(17)->engine, EngineKind::kSynchronous);
  EXPECT_EQ(FindStimulus(0)->engine, EngineKind::kAsynchronous);
  EXPECT_EQ(FindStimulus(5)->kind, GeneratorKind::kPinkMlsSynchronous);
  EXPECT_EQ(FindStimulus(18), nullptr);
}

}  // namespace
}  // namespace vireon
