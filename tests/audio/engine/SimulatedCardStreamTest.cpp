#include <gtest/gtest.h>

#include <chrono>
#include <string>
#include <thread>
#include <vector>

#include "audio/devices/simulated/SimulatedCard.h"
#include "audio/engine/FastPump.h"
#include "audio/engine/InputFrames.h"
#include "audio/engine/PumpThread.h"
#include "audio/engine/StreamFormats.h"
#include "audio/engine/StreamingEngine.h"
#include "common/Notices.h"
#include "stimulus/StimulusGenerator.h"

namespace vireon {
namespace {

StimulusSelection WhiteNoise(int bits) {
  StimulusSelection selection;
  selection.stim_code = 14;
  selection.play_bits = bits;
  selection.gain1 = 0.5;
  selection.gain2 = 0.25;
  return selection;
}

// The asynchronous engine on the simulated card's fast clock, through a plain wire with the
// card's round-trip latency, in both servicing modes: the captures are the stimulus, delayed.
TEST(SimulatedCardStreamTest, CapturesTheStimulusThroughAWire) {
  for (const int mode : {1, 0}) {
    SCOPED_TRACE("servicing mode " + std::to_string(mode));
    Bench wire;
    wire.latency = 300;
    SimulatedCard card(wire, SimulatedCard::Clock::kFast);
    std::vector<std::string> messages;
    StreamingEngine engine(card, [&](const std::string& text) { messages.push_back(text); });
    EngineSettings settings;
    settings.block_seconds = 0.05;
    settings.stabilizing_ms = 110.0;
    settings.servicing_mode = mode;
    engine.Configure(settings);
    engine.SetPlayFormat(48000, 24);
    engine.SetRecordFormat(48000, 24);
    engine.CaptureBuffers().length = 8000;

    StimulusSettings stimulus;
    Notices notices;
    StimulusGenerator generator;
    ASSERT_TRUE(
        generator.SelectGenerator(WhiteNoise(24), stimulus, DefaultToneLists(), {}, notices));
    ASSERT_TRUE(engine.StartAsynchronous(generator));
    FastPump pump(card, 48000, [&] { engine.ServiceTick(); }, {});
    for (int step = 0; step < 5000 && !engine.Status().capture_complete; ++step) pump.Step();
    ASSERT_TRUE(engine.Status().capture_complete);
    EXPECT_FALSE(engine.Status().stop_request);
    engine.StopStreaming();
    EXPECT_TRUE(messages.empty());

    // The same stimulus again, from a generator started the same way.
    StimulusGenerator again;
    ASSERT_TRUE(again.SelectGenerator(WhiteNoise(24), stimulus, DefaultToneLists(), {}, notices));
    std::vector<std::uint8_t> frames(8000 * 6);
    again.FillStimulus(frames, 0, 7999);
    const Captures& captures = engine.CaptureBuffers();
    for (std::int32_t i = 0; i < 8000; ++i) {
      const std::int32_t played = i - wire.latency;
      const InputFrame expected =
          played < 0 ? InputFrame{0, 0} : ReadInputFrame(frames, 24, played);
      ASSERT_EQ(captures.a[i], expected.left) << i;
      ASSERT_EQ(captures.b[i], expected.right) << i;
    }
  }
}

// On the card's real-time clock, with the pump on its own thread: a capture completes with
// exactly the played samples, or the engine stops with an underrun or overrun raised. Nothing
// in between: a late pump must never cost samples silently. (The two directions start a moment
// apart in real time, so the delay is the latency or more.)
void RealTimeCapture(int mode) {
  Bench wire;
  wire.latency = 300;
  SimulatedCard card(wire, SimulatedCard::Clock::kRealTime);
  StreamingEngine engine(card, {});
  EngineSettings settings;
  settings.block_seconds = 0.05;
  settings.stabilizing_ms = 110.0;
  settings.servicing_mode = mode;
  engine.Configure(settings);
  engine.SetPlayFormat(48000, 24);
  engine.SetRecordFormat(48000, 24);
  engine.CaptureBuffers().length = 9600;

  StimulusSettings stimulus;
  Notices notices;
  StimulusGenerator generator;
  ASSERT_TRUE(generator.SelectGenerator(WhiteNoise(24), stimulus, DefaultToneLists(), {}, notices));
  {
    PumpThread pump([&] { engine.ServiceTick(); }, 4);
    ASSERT_TRUE(engine.StartAsynchronous(generator));
    const EngineStatus& status = engine.Status();
    const auto limit = std::chrono::steady_clock::now() + std::chrono::seconds(20);
    while (!status.capture_complete && !status.stop_request &&
           std::chrono::steady_clock::now() < limit) {
      std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
    engine.StopStreaming();
  }
  const EngineStatus& status = engine.Status();
  if (!status.capture_complete) {
    EXPECT_TRUE(status.playback_underrun || status.record_overrun);
    return;
  }
  StimulusGenerator again;
  ASSERT_TRUE(again.SelectGenerator(WhiteNoise(24), stimulus, DefaultToneLists(), {}, notices));
  std::vector<std::uint8_t> frames(9600 * 6);
  again.FillStimulus(frames, 0, 9599);
  const Captures& captures = engine.CaptureBuffers();
  std::int32_t delay = 0;
  while (delay < 4800 && captures.a[delay] == 0) ++delay;
  EXPECT_GE(delay, wire.latency);
  ASSERT_LT(delay, 4800);
  for (std::int32_t i = delay; i < 9600; ++i) {
    const InputFrame expected = ReadInputFrame(frames, 24, i - delay);
    ASSERT_EQ(captures.a[i], expected.left) << i;
    ASSERT_EQ(captures.b[i], expected.right) << i;
  }
}

TEST(SimulatedCardStreamTest, RealTimeStreamIsExactOrReportsTheXrun) {
  for (const int mode : {1, 0}) {
    SCOPED_TRACE("servicing mode " + std::to_string(mode));
    RealTimeCapture(mode);
  }
}

}  // namespace
}  // namespace vireon
