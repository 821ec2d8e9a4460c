#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <span>

#include "stimulus/StimulusFrames.h"
#include "stimulus/StimulusGenerator.h"
#include "stimulus/SyncCode.h"

namespace vireon {

// The output frames at which the captured part of the latest stimulus periods begins (after the
// MLS pre-roll), oldest first. Fixed capacity: the oldest entry gives way to a new one.
class PeriodStartRing {
 public:
  static constexpr std::size_t kCapacity = 512;

  void Clear() { count_ = 0; }
  void Push(std::int64_t frame);
  // The earliest recorded start at or after `frame`.
  std::optional<std::int64_t> FirstAtOrAfter(std::int64_t frame) const;

 private:
  std::array<std::int64_t, kCapacity> starts_{};
  std::size_t next_ = 0;
  std::size_t count_ = 0;
};

// The synchronous engine's output, frame after frame: a silent lead-in, then stimulus periods on
// output 1 (MLS pre-roll or extra tail, gaps, line-cycle alignment, alternate inversion) and the
// sync code on output 2. The same frames come out whatever the block sizes.
class SyncOutputSequence {
 public:
  // `generator` has been selected for a synchronous stimulus and outlives the sequence.
  SyncOutputSequence(StimulusGenerator& generator, int stim_code, int play_bits,
                     std::int32_t record_length, const PeriodTiming& timing);

  // Starts the whole sequence again at the next frame: `lead_in` silent frames, then the sync
  // code in preamble mode and the first period.
  void Restart(std::int32_t lead_in);
  // After `count` periods of this sequence the output stays silent (stimulus files end there).
  void StopAfterPeriods(std::int64_t count) { period_limit_ = count; }
  // The input has locked: the sync code continues by its chips alone.
  void SwitchToRunning() { running_ = true; }
  // Writes the next `frames` frames of a play buffer (which must hold them).
  void Fill(std::span<std::uint8_t> block, std::int32_t frames);

  // The frame of the current sequence's first sync-code sample (the end of its lead-in).
  std::int64_t SyncStart() const { return sync_start_; }
  const PeriodStartRing& CaptureStarts() const { return capture_starts_; }
  // Whether the period whose capture starts at this frame plays tones older than the ones
  // posted last (stepped tones change at a period start).
  bool PlaysOlderTones(std::int64_t capture_start) const {
    return generator_.ToneListsPending() || capture_start < first_capture_of_tones_;
  }
  std::int64_t PeriodsEnded() const { return periods_ended_; }     // of the current sequence
  std::int64_t LastPeriodEnd() const { return last_period_end_; }  // frame after its last sample

 private:
  enum class Phase { kLeadIn, kStimulus, kGap, kWaitForStart, kEnded };

  std::int32_t WriteSegment(std::span<std::uint8_t> block, std::int32_t frame, std::int32_t frames);
  std::int64_t NextPeriodStart() const;
  void StartPeriod();

  StimulusGenerator& generator_;
  int bits_;
  PeriodTiming timing_;
  bool align_to_line_;
  std::int32_t period_frames_;   // pre-roll or tail + record length
  std::int32_t capture_offset_;  // the MLS pre-roll: the capture begins after it
  SyncCode sync_;
  bool running_ = false;

  Phase phase_ = Phase::kLeadIn;
  std::int64_t position_ = 0;
  std::int64_t phase_left_ = 0;  // frames left of the lead-in, the period or the gap
  std::int64_t next_start_ = 0;  // while waiting for the next period
  std::optional<std::int64_t> previous_start_;
  std::int64_t sync_start_ = 0;
  std::int64_t periods_ended_ = 0;
  std::int64_t last_period_end_ = 0;
  std::optional<std::int64_t> period_limit_;
  PeriodStartRing capture_starts_;
  std::int64_t first_capture_of_tones_ = -1;  // capture start of the first period of the tones
};

}  // namespace vireon
