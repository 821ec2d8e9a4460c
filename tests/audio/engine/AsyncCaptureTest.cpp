#include <gtest/gtest.h>

#include "EngineFixture.h"
#include "audio/engine/StreamFormats.h"
#include "audio/settings/LevelMeter.h"
#include "audio/settings/TDeviceCal.h"
#include "common/Notices.h"
#include "stimulus/StimulusGenerator.h"

namespace vireon {
namespace {

constexpr std::int32_t kLatency = 37;

// White noise on both outputs, output 2 at half the level of output 1.
struct Noise {
  explicit Noise(int bits) {
    StimulusSelection selection;
    selection.stim_code = 14;
    selection.play_bits = bits;
    selection.gain1 = 0.5;
    selection.gain2 = 0.25;
    StimulusSettings settings;
    Notices notices;
    EXPECT_TRUE(generator.SelectGenerator(selection, settings, DefaultToneLists(), {}, notices));
  }
  StimulusGenerator generator;
};

struct AsyncBench : EngineOnCard {
  AsyncBench(int bits, std::int32_t length) : EngineOnCard(ShortBlocks(), kLatency, 48000, bits) {
    engine.CaptureBuffers().length = length;
  }
  std::int32_t LeadIn() const {
    return AsynchronousLeadIn(engine.Layout().lead_in, engine.Layout().play_frames_per_block);
  }
  bool Complete() { return engine.Status().capture_complete.load(); }
  // Whether the capture holds the played samples from recorded frame `first` on, delayed by the
  // card's latency: input 1 in capture A, input 2 in capture B.
  void ExpectCaptureOfRecordedFrames(std::int32_t first) {
    const Captures& captures = engine.CaptureBuffers();
    for (std::int32_t i = 0; i < captures.length; ++i) {
      const std::int32_t played = first + i - kLatency;
      const std::int32_t left = played < 0 ? 0 : card.played_left.at(played);
      const std::int32_t right = played < 0 ? 0 : card.played_right.at(played);
      ASSERT_EQ(captures.a[i], left) << i;
      ASSERT_EQ(captures.b[i], right) << i;
    }
  }
};

TEST(AsyncCaptureTest, CapturesThePlayedStimulusAfterTheLeadIn) {
  for (const int bits : {24, 16}) {
    SCOPED_TRACE(std::to_string(bits) + " bits");
    AsyncBench bench(bits, 6000);
    Noise noise(bits);
    ASSERT_TRUE(bench.engine.StartAsynchronous(noise.generator));
    ASSERT_TRUE(bench.PumpUntil([&] { return bench.Complete(); }));
    const std::int32_t lead_in = bench.LeadIn();
    EXPECT_EQ(lead_in, 7200);  // 5280 lead-in samples, rounded up to 3 blocks of 2400

    // The lead-in played silence, then the stimulus on both outputs (16-bit samples × 256).
    const auto& left = bench.card.played_left;
    EXPECT_TRUE(std::all_of(left.begin(), left.begin() + lead_in, [](auto s) { return s == 0; }));
    EXPECT_NE(left.at(lead_in), 0);
    if (bits == 16) {
      EXPECT_EQ(left.at(lead_in) % 256, 0);
    }
    EXPECT_NEAR(bench.card.played_right.at(lead_in + 5), left.at(lead_in + 5) / 2, 256);

    bench.ExpectCaptureOfRecordedFrames(lead_in);
    EXPECT_EQ(bench.engine.Asynchronous().captured.load(), 6000);

    // The meters saw output 2 and input 2 at half the level of output 1 and input 1.
    const LevelReadings levels = bench.engine.Meters().Read();
    EXPECT_GT(levels.output1.peak, 0);
    EXPECT_NEAR(levels.output2.peak, levels.output1.peak / 2, 256);
    EXPECT_GT(levels.input1.peak, 0);
    EXPECT_NEAR(levels.input2.peak, levels.input1.peak / 2, 256);
    EXPECT_DOUBLE_EQ(levels.input1.bar, LevelBarValue(levels.input1.peak, kFullScaleCode));
    EXPECT_FALSE(bench.engine.Status().stop_request);
  }
}

TEST(AsyncCaptureTest, RestartCapturesAgainFromTheBlockAfterTheRequest) {
  AsyncBench bench(24, 3000);
  Noise noise(24);
  ASSERT_TRUE(bench.engine.StartAsynchronous(noise.generator));
  ASSERT_TRUE(bench.PumpUntil([&] { return bench.Complete(); }));
  bench.pump.Run(200);

  AsyncCaptureControl& control = bench.engine.Asynchronous();
  control.RestartCapture();
  const std::int32_t restart_block = control.restart_until.load();
  EXPECT_EQ(restart_block, control.blocks_played.load() + 1);
  ASSERT_TRUE(bench.PumpUntil([&] { return !bench.Complete(); }));
  ASSERT_TRUE(bench.PumpUntil([&] { return bench.Complete(); }));
  // The capture starts with the first frame of the last block that reset it.
  const std::int32_t frames = bench.engine.Layout().record_frames_per_block;
  bench.ExpectCaptureOfRecordedFrames((restart_block - 1) * frames);
}

TEST(AsyncCaptureTest, ArmedTriggerCapturesAroundTheFirstLoudSample) {
  AsyncBench bench(24, 1000);
  Noise noise(24);
  TriggerSettings trigger;
  trigger.armed = true;
  trigger.source = 1;                  // input 2
  trigger.threshold = 0.03 * 8388607;  // the noise on output 2 peaks at 0.0375 of full scale
  trigger.pretrigger_percent = 10;
  bench.engine.Asynchronous().trigger.Store(trigger);
  ASSERT_TRUE(bench.engine.StartAsynchronous(noise.generator));
  EXPECT_EQ(bench.engine.Asynchronous().trigger_phase.load(), TriggerPhase::kFilling);
  ASSERT_TRUE(bench.PumpUntil([&] { return bench.Complete(); }));
  EXPECT_EQ(bench.engine.Asynchronous().trigger_phase.load(), TriggerPhase::kComplete);

  // Capture B at index 100 is the first sample after the pre-trigger fill that rose through the
  // threshold; the capture holds the recording around it without a gap.
  const Captures& captures = bench.engine.CaptureBuffers();
  const std::int32_t fire = captures.b[100];
  EXPECT_GE(fire, trigger.threshold);
  EXPECT_LT(captures.b[99], trigger.threshold);
  // Tests begin after the 100 pre-trigger samples; it fires at the first loud sample after a
  // quiet one has been seen.
  const auto& right = bench.card.played_right;
  const std::int32_t armed = bench.LeadIn() + 100 - kLatency;
  bool quiet_seen = false;
  std::int32_t first = -1;
  for (std::int32_t k = armed; k < static_cast<std::int32_t>(right.size()) && first < 0; ++k) {
    if (quiet_seen && right[k] >= trigger.threshold) first = k;
    quiet_seen = quiet_seen || right[k] < trigger.threshold;
  }
  ASSERT_GE(first, 0);
  EXPECT_EQ(right[first], fire);
  bench.ExpectCaptureOfRecordedFrames(first - 100 + kLatency);
}

}  // namespace
}  // namespace vireon
