#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <string>
#include <thread>
#include <vector>

#include "audio/engine/FastPump.h"
#include "audio/engine/PumpThread.h"

namespace vireon {
namespace {

struct RecordingClock : SteppedClock {
  void Advance(std::int32_t frames) override {
    events.push_back("advance " + std::to_string(frames));
  }
  std::vector<std::string> events;
};

TEST(PumpTest, FastPumpAdvancesTwoMillisecondsThenServices) {
  const std::pair<int, std::int32_t> rates[] = {{48000, 96}, {44100, 88}, {22050, 44}, {11025, 22}};
  for (const auto& [rate, frames] : rates) {
    RecordingClock clock;
    FastPump pump(clock, rate, [&] { clock.events.push_back("service"); }, {});
    EXPECT_EQ(pump.FramesPerStep(), frames);
    pump.Step();
    EXPECT_EQ(clock.events,
              (std::vector<std::string>{"advance " + std::to_string(frames), "service"}));
  }
}

TEST(PumpTest, StatusTickEveryFiftiethStep) {
  RecordingClock clock;
  std::vector<std::int64_t> ticks;
  FastPump* running = nullptr;
  FastPump pump(clock, 48000, {}, [&] { ticks.push_back(running->Steps()); });
  running = &pump;
  pump.Run(160);
  EXPECT_EQ(ticks, (std::vector<std::int64_t>{50, 100, 150}));
}

TEST(PumpTest, PumpThreadTicksUntilDestroyed) {
  std::atomic<int> ticks{0};
  {
    PumpThread pump([&] { ++ticks; }, 4);
    const auto limit = std::chrono::steady_clock::now() + std::chrono::seconds(5);
    while (ticks.load() < 10 && std::chrono::steady_clock::now() < limit) {
      std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    EXPECT_GE(pump.WorstLateness().count(), 0);
  }
  const int after_stop = ticks.load();
  EXPECT_GE(after_stop, 10);
  std::this_thread::sleep_for(std::chrono::milliseconds(10));
  EXPECT_EQ(ticks.load(), after_stop);
}

}  // namespace
}  // namespace vireon
