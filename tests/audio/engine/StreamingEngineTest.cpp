#include <gtest/gtest.h>

#include <unistd.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <functional>

#include "EngineFixture.h"
#include "audio/engine/DriverErrorReport.h"

namespace vireon {
namespace {

// Block routines that only count: every output block is filled with its block number.
class CountingBlocks : public BlockRoutines {
 public:
  void FillOutputBlock(std::span<std::uint8_t> block, std::int32_t) override {
    std::fill(block.begin(), block.end(), static_cast<std::uint8_t>(++filled));
  }
  void ProcessInputBlock(std::span<const std::uint8_t>, std::int32_t) override { ++processed; }
  int filled = 0;
  int processed = 0;
};

struct CountingFactory {
  CountingBlocks* blocks = nullptr;
  BlockRoutinesFactory Factory() {
    return [this](const StreamLayout&, EngineStatus&, Captures&) {
      auto made = std::make_unique<CountingBlocks>();
      blocks = made.get();
      return made;
    };
  }
};

std::vector<std::string> Slice(const std::vector<std::string>& log, std::size_t from) {
  return {log.begin() + static_cast<std::ptrdiff_t>(std::min(from, log.size())), log.end()};
}

TEST(StreamingEngineTest, StartOpensPrimesAndStartsRecordBeforePlay) {
  EngineOnCard bench(ShortBlocks());
  CountingFactory counting;
  ASSERT_TRUE(bench.engine.StartSynchronous(counting.Factory()));
  const std::vector<std::string> expected = {
      "open play",      "pause play",   "open record",    "queue play 0",   "queue play 1",
      "queue play 2",   "queue play 3", "queue record 0", "queue record 1", "queue record 2",
      "queue record 3", "start record", "start play"};
  EXPECT_EQ(bench.card.log, expected);
  EXPECT_EQ(counting.blocks->filled, 4);
  const EngineStatus& status = bench.engine.Status();
  EXPECT_TRUE(status.output_open && status.input_open);
  EXPECT_FALSE(status.idle || status.stop_request);
  EXPECT_TRUE(bench.messages.empty());
}

TEST(StreamingEngineTest, StreamsWithoutLossUntilStopped) {
  EngineOnCard bench(ShortBlocks());
  CountingFactory counting;
  ASSERT_TRUE(bench.engine.StartSynchronous(counting.Factory()));
  ASSERT_TRUE(bench.PumpUntil([&] { return counting.blocks->processed >= 40; }));
  const EngineStatus& status = bench.engine.Status();
  EXPECT_FALSE(status.playback_underrun || status.record_overrun || status.stop_request);
  // The card played the blocks in the order they were filled: 1, 2, 3, ...
  const std::int32_t frames = bench.engine.Layout().play_frames_per_block;
  for (int block = 0; block < 30; ++block) {
    const std::int32_t sample = bench.card.played_left[static_cast<std::size_t>(block) * frames];
    EXPECT_EQ(sample & 0xFF, (block + 1) & 0xFF) << block;
  }

  bench.card.log.clear();
  bench.card.returned_by_reset = 0;
  bench.engine.StopStreaming();
  EXPECT_EQ(bench.card.log,
            (std::vector<std::string>{"reset record", "close record", "reset play", "close play"}));
  // Every buffer in flight came back, and those returns are not taken for an underrun.
  EXPECT_EQ(bench.card.returned_by_reset, 8);
  EXPECT_FALSE(status.playback_underrun || status.record_overrun);
  EXPECT_TRUE(status.idle);
  EXPECT_FALSE(status.output_open || status.input_open);
  EXPECT_EQ(bench.card.open_streams, 0);
}

// Without servicing the card runs out of buffers: the engine stops and says which side it was.
TEST(StreamingEngineTest, UnservicedRingsStopWithUnderrunOrOverrun) {
  for (const bool play : {true, false}) {
    SCOPED_TRACE(play ? "play only" : "record only");
    EngineSettings settings = ShortBlocks();
    (play ? settings.record_device : settings.play_device) = -1;
    EngineOnCard bench(settings);
    CountingFactory counting;
    ASSERT_TRUE(bench.engine.StartSynchronous(counting.Factory()));
    const EngineStatus& status = bench.engine.Status();
    const std::int32_t block = bench.engine.Layout().play_frames_per_block;
    bench.card.Advance(3 * block);
    EXPECT_FALSE(status.stop_request);
    EXPECT_TRUE(status.ring_low);
    bench.card.Advance(block);
    EXPECT_TRUE(status.stop_request);
    EXPECT_EQ(status.playback_underrun.load(), play);
    EXPECT_EQ(status.record_overrun.load(), !play);

    bench.engine.ServiceTick();  // finds the stop request: stops both directions
    EXPECT_TRUE(status.idle);
    EXPECT_EQ(bench.card.open_streams, 0);
    EXPECT_EQ(counting.blocks->processed, 0);
  }
}

// An xrun the host's audio system reports behind full rings still stops the stream as one.
TEST(StreamingEngineTest, HostXrunsStopLikeOurOwn) {
  for (const bool play : {true, false}) {
    SCOPED_TRACE(play ? "play" : "record");
    EngineOnCard bench(ShortBlocks());
    CountingFactory counting;
    ASSERT_TRUE(bench.engine.StartSynchronous(counting.Factory()));
    bench.pump.Run(100);
    const EngineStatus& status = bench.engine.Status();
    EXPECT_FALSE(status.stop_request);
    bench.card.host_xruns[play ? 0 : 1] = 1;
    bench.pump.Step();
    EXPECT_TRUE(status.stop_request);
    EXPECT_TRUE(status.idle);
    EXPECT_EQ(status.playback_underrun.load(), play);
    EXPECT_EQ(status.record_overrun.load(), !play);
  }
}

TEST(StreamingEngineTest, FailedStartStepsAreReported) {
  using Setup = std::function<void(ScriptedCard::Failures&)>;
  struct Case {
    Setup fail;
    int step;
    int result;
  };
  const Case cases[] = {
      {[](auto& f) { f.open_play = kMmAllocated; }, kStepOutputOpen, kMmAllocated},
      {[](auto& f) { f.pause = kMmNotSupported; }, kStepOutputPause, kMmNotSupported},
      {[](auto& f) { f.open_record = kMmBadDeviceId; }, kStepInputOpen, kMmBadDeviceId},
      {[](auto& f) { f.queue_play_call = 0, f.queue_result = kMmNoMem; }, kStepOutputWrite0,
       kMmNoMem},
      {[](auto& f) { f.queue_play_call = 1, f.queue_result = kMmNoMem; }, kStepOutputWrite1,
       kMmNoMem},
      {[](auto& f) { f.queue_play_call = 3, f.queue_result = kMmNoMem; }, kStepOutputWrite2,
       kMmNoMem},
      {[](auto& f) { f.queue_record_call = 2, f.queue_result = kMmError; }, kStepInputAdd,
       kMmError},
      {[](auto& f) { f.start_record = kMmNotEnabled; }, kStepInputStart, kMmNotEnabled},
      {[](auto& f) { f.start_play = kMmHandleBusy; }, kStepOutputRestart, kMmHandleBusy},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE("step " + std::to_string(c.step));
    EngineOnCard bench(ShortBlocks());
    c.fail(bench.card.failures);
    CountingFactory counting;
    EXPECT_FALSE(bench.engine.StartSynchronous(counting.Factory()));
    EXPECT_EQ(bench.messages, std::vector<std::string>{DriverErrorReport(c.step, c.result)});
    const EngineStatus& status = bench.engine.Status();
    EXPECT_TRUE(status.idle && status.stop_request);
    EXPECT_FALSE(status.output_open || status.input_open);
    EXPECT_EQ(bench.card.open_streams, 0);
  }
}

TEST(StreamingEngineTest, ASecondStartClosesThePreviousDevicesFirst) {
  EngineOnCard bench(ShortBlocks());
  CountingFactory counting;
  ASSERT_TRUE(bench.engine.StartSynchronous(counting.Factory()));
  bench.pump.Run(100);
  bench.card.log.clear();
  ASSERT_TRUE(bench.engine.StartSynchronous(counting.Factory()));
  const std::vector<std::string> drain = {"reset record", "close record", "reset play",
                                          "close play", "open play"};
  EXPECT_EQ(std::vector<std::string>(bench.card.log.begin(), bench.card.log.begin() + 5), drain);
  EXPECT_EQ(bench.card.open_streams, 2);
  ASSERT_TRUE(bench.PumpUntil([&] { return counting.blocks->processed >= 10; }));
  EXPECT_FALSE(bench.engine.Status().stop_request);
}

// A reset that keeps failing leaves the device open; the next start retries it before opening.
TEST(StreamingEngineTest, ADeviceThatWouldNotStopIsStoppedByTheNextStart) {
  EngineOnCard bench(ShortBlocks());
  bench.card.failures.reset_failures = 10;  // more than the 6 tries of the controller's stop
  CountingFactory counting;
  ASSERT_TRUE(bench.engine.StartSynchronous(counting.Factory()));
  bench.engine.StopStreaming();
  EXPECT_TRUE(bench.engine.Status().idle);
  EXPECT_TRUE(bench.engine.Status().output_open && bench.engine.Status().input_open);
  EXPECT_EQ(bench.card.open_streams, 2);

  bench.card.failures.reset_failures = 0;
  const std::size_t mark = bench.card.log.size();
  ASSERT_TRUE(bench.engine.StartSynchronous(counting.Factory()));
  const std::vector<std::string> after = Slice(bench.card.log, mark);
  EXPECT_EQ(std::count(after.begin(), after.end(), "reset record"), 5);  // 4 more failures
  EXPECT_EQ(bench.card.open_streams, 2);
  EXPECT_TRUE(bench.messages.empty());
}

// Retrying is bounded: a device that never stops makes the start give up with a report.
TEST(StreamingEngineTest, AStartGivesUpOnADeviceThatNeverStops) {
  EngineOnCard bench(ShortBlocks());
  bench.card.failures.reset_failures = 1000;
  CountingFactory counting;
  ASSERT_TRUE(bench.engine.StartSynchronous(counting.Factory()));
  bench.engine.StopStreaming();
  EXPECT_FALSE(bench.engine.StartSynchronous(counting.Factory()));
  EXPECT_EQ(bench.messages,
            std::vector<std::string>{DriverErrorReport(kStepAborted, kMmHandleBusy)});
  EXPECT_TRUE(bench.engine.Status().idle && bench.engine.Status().stop_request);
}

// In servicing mode 0 the pump only fills buffers; the card's callbacks hand them over, also
// when the card calls back from inside the pump's own Advance.
TEST(StreamingEngineTest, ModeZeroHandsBuffersOverOnlyInCallbacks) {
  for (const int mode : {0, 1}) {
    SCOPED_TRACE("mode " + std::to_string(mode));
    EngineSettings settings = ShortBlocks();
    settings.servicing_mode = mode;
    EngineOnCard bench(settings);
    CountingFactory counting;
    ASSERT_TRUE(bench.engine.StartSynchronous(counting.Factory()));
    ASSERT_TRUE(bench.PumpUntil([&] { return counting.blocks->processed >= 30; }));
    EXPECT_FALSE(bench.engine.Status().stop_request);
    if (mode == 0) {
      EXPECT_EQ(bench.card.queued_outside_callbacks, 0);
    } else {
      EXPECT_GT(bench.card.queued_outside_callbacks, 0);
    }
  }
}

TEST(StreamingEngineTest, TheBackendsOwnTextJoinsTheReport) {
  ScriptedCard card;
  card.failures.open_record = kMmAllocated;
  std::vector<std::string> messages;
  StreamingEngine engine(
      card, [&](const std::string& text) { messages.push_back(text); },
      [] { return std::string("Device unavailable"); });
  CountingFactory counting;
  EXPECT_FALSE(engine.StartSynchronous(counting.Factory()));
  EXPECT_EQ(messages, std::vector<std::string>{
                          DriverErrorReport(kStepInputOpen, kMmAllocated, "Device unavailable")});
}

// Each start reads the skew entry of the play device; a bad file is shown, and the stream runs.
TEST(StreamingEngineTest, StartReadsTheChannelSkewFile) {
  const std::filesystem::path folder =
      std::filesystem::temp_directory_path() / ("vireon-engine-" + std::to_string(::getpid()));
  std::filesystem::create_directories(folder);
  EngineSettings settings = ShortBlocks();
  settings.data_directory = folder;
  EngineOnCard bench(settings);
  CountingFactory counting;

  std::ofstream(folder / "SpecialSoundcard.qtq")
      << "[SCRIPTED CARD]\r\nHasSampleShift=TRUE\r\nShiftedSampleRate=48000\r\n";
  ASSERT_TRUE(bench.engine.StartSynchronous(counting.Factory()));
  EXPECT_TRUE(bench.engine.Skew().right_late);

  std::ofstream(folder / "SpecialSoundcard.qtq") << "[SCRIPTED CARD]\r\nShiftedSampleRate=?\r\n";
  ASSERT_TRUE(bench.engine.StartSynchronous(counting.Factory()));
  EXPECT_EQ(bench.engine.Skew(), ChannelSkew{});
  EXPECT_EQ(bench.messages, std::vector<std::string>{"Error in SpecialSoundcard.qtq file!"});
  std::filesystem::remove_all(folder);
}

TEST(StreamingEngineTest, FormatQueriesCheckTheDeviceNumber) {
  EngineOnCard bench;
  EXPECT_TRUE(bench.engine.QueryOutputFormat(0, 44100, 16));
  EXPECT_TRUE(bench.engine.QueryInputFormat(0, 96000, 24));
  EXPECT_FALSE(bench.engine.QueryInputFormat(0, 96000, 8));
  EXPECT_FALSE(bench.engine.QueryOutputFormat(1, 44100, 16));
  EXPECT_FALSE(bench.engine.QueryInputFormat(-1, 44100, 16));
  EXPECT_TRUE(bench.card.log.empty());  // nothing was opened
}

}  // namespace
}  // namespace vireon
