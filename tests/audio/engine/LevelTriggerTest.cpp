#include <gtest/gtest.h>

#include <chrono>
#include <functional>
#include <thread>
#include <vector>

#include "audio/engine/LevelTrigger.h"

namespace vireon {
namespace {

// Feeds x(0), x(1), ... to a triggered capture of `length` until it completes; returns the first
// `length` samples of capture A, or nothing when it never fired.
std::vector<std::int32_t> TriggeredRun(const TriggerSettings& settings, std::int32_t length,
                                       const std::function<std::int32_t(int)>& x,
                                       int samples = 2000) {
  TriggeredCapture capture;
  capture.Begin(settings, length);
  std::vector<std::int32_t> a(length + 3, -1);
  std::vector<std::int32_t> b(length + 3, -1);
  for (int k = 0; k < samples; ++k) {
    if (capture.Take(x(k), -x(k), a, b)) {
      EXPECT_EQ(capture.Phase(), TriggerPhase::kComplete);
      for (std::int32_t i = 0; i < length; ++i) EXPECT_EQ(b[i], -a[i]) << i;  // both rotated
      a.resize(length);
      return a;
    }
  }
  return {};
}

TriggerSettings Rising(double threshold, double pretrigger_percent) {
  TriggerSettings settings;
  settings.armed = true;
  settings.threshold = threshold;
  settings.pretrigger_percent = pretrigger_percent;
  return settings;
}

// Each sample's value tells its index, so a capture shows exactly which samples it kept.
TEST(LevelTriggerTest, KeepsThePretriggerSamplesBeforeTheFiringSample) {
  const auto signal = [](int k) { return k < 300 ? -(10000 + k) : 10000 + k; };
  struct Case {
    std::int32_t latency;
    std::int32_t first_sample;
  };
  // 25 % of 100 samples before the firing sample (index 300), and the converter latency more.
  for (const Case c : {Case{0, 275}, Case{10, 265}}) {
    TriggerSettings settings = Rising(0.0, 25.0);
    settings.converter_latency = c.latency;
    const std::vector<std::int32_t> kept = TriggeredRun(settings, 100, signal);
    ASSERT_EQ(kept.size(), 100u);
    for (int i = 0; i < 100; ++i) EXPECT_EQ(kept[i], signal(c.first_sample + i)) << i;
  }
}

TEST(LevelTriggerTest, ASignalStartingAboveTheThresholdMustFirstGoBelowIt) {
  // Above 1000 for 50 samples, below it for 10, then above again from sample 60.
  const auto signal = [](int k) { return k < 50 || k >= 60 ? 2000 + k : -k; };
  const std::vector<std::int32_t> kept = TriggeredRun(Rising(1000.0, 10.0), 50, signal);
  ASSERT_EQ(kept.size(), 50u);
  EXPECT_EQ(kept[5], 2060);  // the firing sample sits after the 5 pre-trigger samples
  EXPECT_EQ(kept[0], -55);
}

TEST(LevelTriggerTest, LevelsAndEdges) {
  // 0 until sample 200, then a step to -5000 until 400, then back to 0.
  const auto step = [](int k) { return k >= 200 && k < 400 ? -5000 - k : 0; };
  struct Case {
    const char* name;
    bool positive, negative, rising, falling;
    int fires_at;  // -1: never
  };
  const Case cases[] = {
      {"falling through -T", false, true, false, true, 200},
      {"rising back through -T", false, true, true, false, 400},
      {"positive level ignores a negative step", true, false, true, true, -1},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    TriggerSettings settings = Rising(1000.0, 0.0);
    settings.positive_level = c.positive;
    settings.negative_level = c.negative;
    settings.rising = c.rising;
    settings.falling = c.falling;
    const std::vector<std::int32_t> kept = TriggeredRun(settings, 40, step, 1000);
    if (c.fires_at < 0) {
      EXPECT_TRUE(kept.empty());
    } else {
      ASSERT_EQ(kept.size(), 40u);
      EXPECT_EQ(kept[0], step(c.fires_at));
      EXPECT_EQ(kept[39], step(c.fires_at + 39));
    }
  }
}

// The pump never sees half of one write and half of another.
TEST(LevelTriggerTest, SettingsAreReadWhole) {
  TriggerSettingsCell cell;
  std::jthread writer([&cell](std::stop_token stop) {
    for (int i = 0; !stop.stop_requested(); ++i) {
      TriggerSettings settings;
      settings.threshold = i;
      settings.converter_latency = i;
      settings.pretrigger_percent = i;
      cell.Store(settings);
      // Leave the reader a gap now and then, as the user-interface thread does, or on a busy
      // machine every read could meet a write in progress.
      if (i % 16 == 0) std::this_thread::yield();
    }
  });
  int loads = 0;
  const auto give_up = std::chrono::steady_clock::now() + std::chrono::seconds(20);
  while (loads < 10000 && std::chrono::steady_clock::now() < give_up) {
    TriggerSettings read;
    if (!cell.TryLoad(read)) continue;
    ++loads;
    ASSERT_EQ(read.threshold, read.converter_latency);
    ASSERT_EQ(read.pretrigger_percent, read.converter_latency);
  }
  EXPECT_EQ(loads, 10000);
}

}  // namespace
}  // namespace vireon
