#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>

#include "LoopbackRig.h"
#include "stimulus/SyncCode.h"

namespace vireon {
namespace {

constexpr std::int32_t kBlock = 5460;  // 24 bits at 192 kHz, 0.17 s
constexpr std::int32_t kMlsPreRoll = 4096 - 56 - 1;
constexpr std::int64_t kImpulseIndex = 40;  // where the impulse generator puts its pulse

SyncEngineSettings Settings(std::int32_t capture_length, double latency_s = 0.05) {
  SyncEngineSettings settings;
  settings.capture_length = capture_length;
  settings.latency_s = latency_s;
  settings.timing.sync_bit_length = SyncBitLength(latency_s);
  settings.timing.inter_silence = 480;
  return settings;
}

// The first output frame of stimulus: the start of the first period, or its impulse.
std::int64_t FirstStimulusFrame(const std::vector<Frame>& played) {
  const auto it = std::find_if(played.begin(), played.end(), [](const Frame& f) { return f.left; });
  return it - played.begin();
}

std::int64_t FirstPeriodStart(const std::vector<Frame>& played, int stim_code) {
  return FirstStimulusFrame(played) - (stim_code == 3 ? kImpulseIndex : 0);
}

// The capture must hold exactly the played output 1 from `start` on, on the record scale.
::testing::AssertionResult CaptureMatches(const LoopbackRig& rig, std::int64_t start,
                                          int record_bits) {
  const std::int32_t length = rig.captures.length;
  for (std::int32_t k = 0; k < length; ++k) {
    std::int32_t expected = rig.played[start + k].left;
    if (record_bits == 16) expected = (expected >> 8) * 256;
    if (rig.captures.a[k] != expected) {
      return ::testing::AssertionFailure()
             << "capture[" << k << "] = " << rig.captures.a[k] << ", played " << expected;
    }
  }
  return ::testing::AssertionSuccess();
}

// Whatever the round trip, capture index 0 is the first sample of a period (after the MLS
// pre-roll), and the whole capture is that period as played. The lead-in ends mid-block, on an
// odd frame: the period then starts on the next whole 24-bit frame pair.
TEST(SyncLoopbackTest, CaptureStartsAtTheFirstStimulusSampleWhateverTheDelay) {
  struct Case {
    int stim_code, play_bits, record_bits;
    std::int32_t capture_length;
    std::int64_t capture_offset;  // from the period start
  };
  for (const Case c : {Case{3, 24, 24, 2048, 0}, Case{4, 24, 24, 4095, kMlsPreRoll},
                       Case{3, 24, 16, 2048, 0}, Case{4, 16, 16, 4095, kMlsPreRoll}}) {
    for (const std::int32_t delay : {0, 1, 57, 1024, 4000}) {
      SCOPED_TRACE(::testing::Message() << "stimulus " << c.stim_code << ", play " << c.play_bits
                                        << ", record " << c.record_bits << ", delay " << delay);
      LoopbackRig rig(c.stim_code, Settings(c.capture_length), 20001, kBlock, c.record_bits,
                      c.play_bits);
      ASSERT_TRUE(rig.Started());
      rig.delay = delay;
      ASSERT_TRUE(rig.RunUntil([&] { return rig.Complete(); }, 40));
      EXPECT_TRUE(rig.SyncGood());
      const std::int64_t period_start = FirstPeriodStart(rig.played, c.stim_code);
      EXPECT_EQ(period_start, c.play_bits == 24 ? 20002 : 20001);
      EXPECT_TRUE(CaptureMatches(rig, period_start + c.capture_offset, c.record_bits));
      if (c.stim_code == 3) {
        EXPECT_NE(rig.captures.a[kImpulseIndex], 0);
        EXPECT_EQ(std::count(rig.captures.a.begin(), rig.captures.a.begin() + c.capture_length, 0),
                  c.capture_length - 1);
      }
    }
  }
}

// Both outputs are silent through the lead-in; the sync code begins at the frame where it ends,
// in preamble mode, until the input has locked.
TEST(SyncLoopbackTest, SyncCodeBeginsWhereTheLeadInEnds) {
  const std::int32_t lead_in = 3 * kBlock + 1234;
  SyncEngineSettings settings = Settings(2048);
  LoopbackRig rig(3, settings, lead_in, kBlock);
  ASSERT_TRUE(rig.Started());
  for (std::int32_t n = 0; n < lead_in; ++n) {
    ASSERT_EQ(rig.played[n], (Frame{0, 0})) << n;
  }
  SyncCode code(24, settings.timing.sync_pulse_level_db, settings.timing.sync_bit_length);
  for (std::size_t n = lead_in; n < rig.played.size(); ++n) {
    ASSERT_EQ(rig.played[n].right, code.NextPreamble()) << n;
  }
  EXPECT_EQ(FirstStimulusFrame(rig.played), lead_in + kImpulseIndex);
}

// Later periods start (k + ½) line cycles after the previous one, or whole cycles with alternate
// inversion, with the polarity toggling; every capture still has the impulse at its index.
TEST(SyncLoopbackTest, PeriodsFollowTheLineCycle) {
  for (const bool invert : {false, true}) {
    SyncEngineSettings settings = Settings(1000);
    settings.timing.line_period = 960;
    settings.timing.invert_alternate = invert;
    LoopbackRig rig(3, settings, 4 * 510, 510);
    ASSERT_TRUE(rig.Started());
    rig.delay = 333;
    std::vector<std::int32_t> captured_impulses;
    for (int block = 0; block < 200; ++block) {
      rig.Step();
      if (!rig.Complete()) continue;
      captured_impulses.push_back(rig.captures.a[kImpulseIndex]);
      rig.TakeCapture();
    }
    ASSERT_FALSE(captured_impulses.empty());
    for (const std::int32_t impulse : captured_impulses) ASSERT_NE(impulse, 0);

    std::vector<std::int64_t> pulses;
    for (std::size_t n = 0; n < rig.played.size(); ++n) {
      if (rig.played[n].left != 0) pulses.push_back(static_cast<std::int64_t>(n));
    }
    ASSERT_GT(pulses.size(), 5u);
    const std::int64_t earliest = 1000 + 480;  // the period and the inter-period silence
    for (std::size_t p = 1; p < pulses.size(); ++p) {
      const std::int64_t step = pulses[p] - pulses[p - 1];
      const std::int64_t offset = invert ? 0 : 480;
      EXPECT_EQ((step - offset) % 960, 0) << p;
      EXPECT_GE(step, earliest) << p;
      EXPECT_LT(step, earliest + 960) << "the smallest whole k, period " << p;
      const bool opposite =
          (rig.played[pulses[p]].left > 0) != (rig.played[pulses[p - 1]].left > 0);
      EXPECT_EQ(opposite, invert) << p;
    }
  }
}

// Without a clear correlation peak there is no lock: the flags stay clear, and the whole sequence
// starts again (a new lead-in, a new search) until the code comes back.
TEST(SyncLoopbackTest, MissingReturnFailsAndSearchesAgain) {
  struct Case {
    const char* name;
    ReturnPath path;
  };
  for (const Case& c : {Case{"input 2 silent", {.connected = false}},
                        Case{"noise only", {.connected = false, .noise_rms = 1e5}},
                        Case{"code far below the noise", {.gain = 0.01, .noise_rms = 1e5}}}) {
    SCOPED_TRACE(c.name);
    const std::int32_t lead_in = 12000;
    LoopbackRig rig(3, Settings(2048), lead_in, 510);  // small blocks: every state shows
    ASSERT_TRUE(rig.Started());
    rig.delay = 100;
    rig.path = c.path;
    for (int block = 0; block < 200; ++block) {
      rig.Step();
      ASSERT_FALSE(rig.SyncGood()) << block;
      ASSERT_FALSE(rig.Complete()) << block;
    }
    // The output went back to its lead-in: both outputs silent for a whole lead-in after the code
    // had begun (the preamble alone is never silent for more than a few frames).
    const auto first_code = std::find_if(rig.played.begin(), rig.played.end(),
                                         [](const Frame& f) { return f.right != 0; });
    std::int64_t run = 0, longest = 0;
    for (auto it = first_code; it != rig.played.end(); ++it) {
      run = *it == Frame{0, 0} ? run + 1 : 0;
      longest = std::max(longest, run);
    }
    EXPECT_GE(longest, lead_in) << "a new lead-in";
    // Never locked, not even for a moment: output 2 stayed in preamble mode (0 or ±A, where the
    // running mode sends ±A/2).
    const std::int32_t amplitude =
        std::max_element(rig.played.begin(), rig.played.end(), [](const Frame& a, const Frame& b) {
          return a.right < b.right;
        })->right;
    EXPECT_TRUE(std::all_of(rig.played.begin(), rig.played.end(), [&](const Frame& f) {
      return f.right == 0 || std::abs(f.right) == amplitude;
    }));

    rig.path = ReturnPath{};
    ASSERT_TRUE(rig.RunUntil([&] { return rig.Complete(); }, 200));
    EXPECT_TRUE(rig.SyncGood());
    EXPECT_NE(rig.captures.a[kImpulseIndex], 0);
  }
}

// A round trip longer than the code period (here also longer than the capture buffer) must not
// alias to a short one: the search fails over and over instead of aligning the capture wrongly.
TEST(SyncLoopbackTest, RoundTripBeyondTheCaptureBufferFails) {
  const SyncEngineSettings settings = Settings(500, 0.001);  // h = 3: a code period of 765
  ASSERT_EQ(SyncCaptureSize(settings), 765u);
  for (const std::int32_t delay : {300, 4000}) {
    LoopbackRig rig(3, settings, 2 * 4 * 510, 510);
    ASSERT_TRUE(rig.Started());
    rig.delay = delay;
    const bool locked = rig.RunUntil([&] { return rig.SyncGood() || rig.Complete(); }, 300);
    EXPECT_EQ(locked, delay < 765) << delay;
    if (locked) {
      ASSERT_TRUE(rig.RunUntil([&] { return rig.Complete(); }, 20));
      EXPECT_NE(rig.captures.a[kImpulseIndex], 0);
    }
  }
}

// A capture longer than what follows the lock in the search window is complete only once every
// sample of it has come in.
TEST(SyncLoopbackTest, CaptureCompletesOnlyWithTheWholeLength) {
  const std::int32_t length = 30000;
  LoopbackRig rig(4, Settings(length), 20000, kBlock);
  ASSERT_TRUE(rig.Started());
  rig.delay = 57;
  bool locked_before_complete = false;
  ASSERT_TRUE(rig.RunUntil(
      [&] {
        locked_before_complete |= rig.SyncGood() && !rig.Complete();
        return rig.Complete();
      },
      40));
  EXPECT_TRUE(locked_before_complete);
  const std::int64_t capture_start = FirstPeriodStart(rig.played, 4) + kMlsPreRoll;
  EXPECT_GE(rig.Recorded(), capture_start + rig.delay + length);
  EXPECT_TRUE(CaptureMatches(rig, capture_start, 24));
}

// The weakest usable return (the default level, 20 dB down, low-passed, in noise) still locks to
// the sample; an inverted return locks only when the device calibration says so.
TEST(SyncLoopbackTest, WeakOrInvertedReturnsLock) {
  struct Case {
    const char* name;
    ReturnPath path;
    bool record_inverted;
    bool locks;
  };
  for (const Case& c :
       {Case{"weak", {.gain = 0.1, .low_pass = true, .noise_rms = 300.0}, false, true},
        Case{"inverted, declared", {.gain = -1.0}, true, true},
        Case{"inverted, undeclared", {.gain = -1.0}, false, false}}) {
    SCOPED_TRACE(c.name);
    SyncEngineSettings settings = Settings(2048);
    settings.record_polarity_inverted = c.record_inverted;
    LoopbackRig rig(3, settings, 20000, kBlock);
    ASSERT_TRUE(rig.Started());
    rig.delay = 1024;
    rig.path = c.path;
    EXPECT_EQ(rig.RunUntil([&] { return rig.Complete(); }, 30), c.locks);
    if (c.locks) {
      EXPECT_TRUE(CaptureMatches(rig, FirstPeriodStart(rig.played, 3), 24));
    }
  }
}

// Every later period checks the chip phase again: a changed round trip loses the lock, and the
// sequence starts again and locks to the new delay.
TEST(SyncLoopbackTest, ChangedRoundTripLosesSyncAndRelocks) {
  LoopbackRig rig(3, Settings(2048), 20000, kBlock);
  ASSERT_TRUE(rig.Started());
  rig.delay = 100;
  ASSERT_TRUE(rig.RunUntil([&] { return rig.Complete(); }, 30));
  rig.TakeCapture();
  rig.delay = 107;
  ASSERT_TRUE(rig.RunUntil([&] { return !rig.SyncGood(); }, 4));
  EXPECT_FALSE(rig.Complete());
  ASSERT_TRUE(rig.RunUntil([&] { return rig.Complete(); }, 40));
  EXPECT_TRUE(rig.SyncGood());
  EXPECT_NE(rig.captures.a[kImpulseIndex], 0);
  EXPECT_EQ(std::count(rig.captures.a.begin(), rig.captures.a.begin() + 2048, 0), 2047);
}

// A capture nobody has taken yet stays as it is while later periods pass; once taken, the next
// period is captured.
TEST(SyncLoopbackTest, UntakenCaptureIsNotOverwritten) {
  LoopbackRig rig(3, Settings(1000), 4 * 510, 510);
  ASSERT_TRUE(rig.Started());
  rig.delay = 57;
  ASSERT_TRUE(rig.RunUntil([&] { return rig.Complete(); }, 60));
  const std::vector<std::int32_t> first(rig.captures.a.begin(), rig.captures.a.begin() + 1000);
  std::fill(rig.captures.a.begin(), rig.captures.a.end(), 12345);
  for (int block = 0; block < 40; ++block) rig.Step();
  EXPECT_TRUE(rig.Complete());
  EXPECT_EQ(std::count(rig.captures.a.begin(), rig.captures.a.begin() + 1000, 12345), 1000);
  rig.TakeCapture();
  ASSERT_TRUE(rig.RunUntil([&] { return rig.Complete(); }, 60));
  EXPECT_TRUE(std::equal(first.begin(), first.end(), rig.captures.a.begin()));
}

}  // namespace
}  // namespace vireon
