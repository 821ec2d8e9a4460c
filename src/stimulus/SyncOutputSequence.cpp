#include "stimulus/SyncOutputSequence.h"

#include <algorithm>
#include <stdexcept>

#include "stimulus/SamplePacking.h"

namespace vireon {
namespace {

// Successive periods of these stimuli start half a line cycle apart (a whole cycle with alternate
// inversion), so that averaging cancels the mains hum.
bool AlignsToLineCycle(int stim_code) {
  switch (stim_code) {
    case 0:
    case 3:
    case 4:
    case 5:
    case 6:
    case 12:
    case 16:
    case 17:
      return true;
    default:
      return false;
  }
}

// The first allowed period start at or after `position`: previous + (k + ½)·L, or previous + k·L
// with alternate inversion.
std::int64_t AlignedStart(std::int64_t previous, std::int64_t position, std::int32_t line_period,
                          bool invert_alternate) {
  if (line_period <= 0) return position;
  const std::int64_t half = invert_alternate ? 0 : line_period / 2;
  std::int64_t k = std::max<std::int64_t>(0, (position - previous - half) / line_period);
  while (previous + half + k * line_period < position) ++k;
  return previous + half + k * line_period;
}

}  // namespace

void PeriodStartRing::Push(std::int64_t frame) {
  starts_[next_] = frame;
  next_ = (next_ + 1) % kCapacity;
  count_ = std::min(count_ + 1, kCapacity);
}

std::optional<std::int64_t> PeriodStartRing::FirstAtOrAfter(std::int64_t frame) const {
  const std::size_t oldest = (next_ + kCapacity - count_) % kCapacity;
  for (std::size_t i = 0; i < count_; ++i) {
    const std::int64_t start = starts_[(oldest + i) % kCapacity];
    if (start >= frame) return start;
  }
  return std::nullopt;
}

SyncOutputSequence::SyncOutputSequence(StimulusGenerator& generator, int stim_code, int play_bits,
                                       std::int32_t record_length, const PeriodTiming& timing)
    : generator_(generator),
      bits_(play_bits == 16 ? 16 : 24),
      timing_(timing),
      align_to_line_(AlignsToLineCycle(stim_code)),
      period_frames_(PeriodLeadFrames(generator, timing) + std::max(record_length, 0)),
      capture_offset_(IsMls(generator.Kind()) ? PeriodLeadFrames(generator, timing) : 0),
      sync_(bits_, timing.sync_pulse_level_db, timing.sync_bit_length) {}

void SyncOutputSequence::Restart(std::int32_t lead_in) {
  phase_ = Phase::kLeadIn;
  phase_left_ = std::max(lead_in, 0);
  sync_ = SyncCode(bits_, timing_.sync_pulse_level_db, timing_.sync_bit_length);
  running_ = false;
  sync_start_ = position_ + phase_left_;
  previous_start_.reset();
  periods_ended_ = 0;
  capture_starts_.Clear();
}

void SyncOutputSequence::Fill(std::span<std::uint8_t> block, std::int32_t frames) {
  const int frame_bytes = FrameBytes(bits_);
  const std::size_t bytes = static_cast<std::size_t>(std::max(frames, 0)) * frame_bytes;
  if (bytes > block.size()) throw std::out_of_range("frames beyond the play buffer");
  std::fill_n(block.begin(), bytes, std::uint8_t{0});
  std::int32_t sync_from = phase_ == Phase::kLeadIn ? frames : 0;
  for (std::int32_t frame = 0; frame < frames;) {
    if (phase_ == Phase::kLeadIn && phase_left_ == 0) {
      sync_from = frame;
      next_start_ = NextPeriodStart();
      phase_ = Phase::kWaitForStart;
    }
    frame += WriteSegment(block, frame, frames);
  }
  // Output 2 is empty until here: the sync code runs on every frame after the lead-in.
  for (std::int32_t frame = sync_from; frame < frames; ++frame) {
    const std::int32_t sample = running_ ? sync_.NextRunning() : sync_.NextPreamble();
    PackSample(block, static_cast<std::size_t>(frame) * frame_bytes + frame_bytes / 2, bits_,
               sample);
  }
}

std::int32_t SyncOutputSequence::WriteSegment(std::span<std::uint8_t> block, std::int32_t frame,
                                              std::int32_t frames) {
  const std::int64_t room = frames - frame;
  switch (phase_) {
    case Phase::kLeadIn:
    case Phase::kGap: {
      const auto n = static_cast<std::int32_t>(std::min(room, phase_left_));
      phase_left_ -= n;
      position_ += n;
      if (phase_ == Phase::kGap && phase_left_ == 0) {
        next_start_ = NextPeriodStart();
        phase_ = Phase::kWaitForStart;
      }
      return n;
    }
    case Phase::kWaitForStart: {
      if (position_ == next_start_) {
        StartPeriod();
        return 0;
      }
      const auto n = static_cast<std::int32_t>(std::min(room, next_start_ - position_));
      position_ += n;
      return n;
    }
    case Phase::kStimulus: {
      const auto n = static_cast<std::int32_t>(std::min(room, phase_left_));
      generator_.FillStimulus(block, frame, frame + n - 1);
      phase_left_ -= n;
      position_ += n;
      if (phase_left_ == 0) {
        ++periods_ended_;
        last_period_end_ = position_;
        // The whole period has played, so the gap is the inter-period silence, at least a frame.
        phase_left_ = std::max(timing_.inter_silence, 1);
        phase_ = period_limit_ == periods_ended_ ? Phase::kEnded : Phase::kGap;
      }
      return n;
    }
    case Phase::kEnded:
      position_ += room;
      return static_cast<std::int32_t>(room);
  }
  return 0;
}

std::int64_t SyncOutputSequence::NextPeriodStart() const {
  std::int64_t start = position_;
  if (align_to_line_ && previous_start_) {
    start =
        AlignedStart(*previous_start_, position_, timing_.line_period, timing_.invert_alternate);
  }
  // 24-bit frames are written in pairs of 12 bytes: a period starts on a whole pair, so the
  // recorded start is its first stimulus sample.
  if (bits_ == 24 && start % 2 != 0) ++start;
  return start;
}

void SyncOutputSequence::StartPeriod() {
  if (timing_.invert_alternate) generator_.TogglePolarity();
  if (generator_.ApplyPostedToneLists()) first_capture_of_tones_ = position_ + capture_offset_;
  generator_.ResetPeriod();  // re-seeds the MLS register
  previous_start_ = position_;
  capture_starts_.Push(position_ + capture_offset_);
  phase_left_ = period_frames_;
  phase_ = Phase::kStimulus;
}

}  // namespace vireon
