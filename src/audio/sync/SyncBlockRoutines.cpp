#include "audio/sync/SyncBlockRoutines.h"

#include <algorithm>
#include <cmath>
#include <stdexcept>

#include "audio/engine/InputFrames.h"
#include "audio/sync/SyncCorrelation.h"
#include "audio/sync/SyncSearch.h"
#include "stimulus/SyncOutputSequence.h"

namespace vireon {
namespace {

// Record blocks that may still carry the start-up transient of the devices.
constexpr int kIgnoredInputBlocks = 3;

std::int64_t Modulo(std::int64_t value, std::int64_t modulus) {
  return ((value % modulus) + modulus) % modulus;
}

// Both directions run on one sample clock from frame 0, so output frame n comes back as input
// frame n + latency. The output side records where the periods begin; the input side locks to
// the sync code, measures the latency and captures each period from its returning first sample.
class SyncBlockRoutines : public BlockRoutines {
 public:
  SyncBlockRoutines(StimulusGenerator& generator, const StimulusSelection& selection,
                    const SyncEngineSettings& settings, const MlsTables& sync_tables,
                    const StreamLayout& layout, EngineStatus& status, Captures& captures)
      : output_(generator, selection.stim_code, layout.play_bits, selection.period_length,
                settings.timing),
        search_(settings.timing.sync_bit_length),
        tables_(sync_tables),
        status_(status),
        capture_(captures.a),
        capture_length_(std::max(settings.capture_length, 0)),
        record_bits_(layout.record_bits),
        lead_in_(layout.lead_in),
        // The first search must begin no later than the sync code (see BeginSequence).
        first_lead_in_(
            std::max(layout.lead_in, kIgnoredInputBlocks * layout.record_frames_per_block)),
        return_inverted_(settings.record_polarity_inverted != settings.play_polarity_inverted) {
    captures.length = capture_length_;
    captures.a.assign(SyncCaptureSize(settings), 0);
  }

  void FillOutputBlock(std::span<std::uint8_t> block, std::int32_t frames) override {
    if (!initialised_) {
      output_.Restart(output_started_ ? lead_in_ : first_lead_in_);
      initialised_ = true;
    }
    output_started_ = true;
    output_.Fill(block, frames);
  }

  void ProcessInputBlock(std::span<const std::uint8_t> block, std::int32_t frames) override {
    // Never read beyond the buffer, whatever the frame count says.
    const std::size_t frame_bytes = record_bits_ == 16 ? 4 : 6;
    frames = static_cast<std::int32_t>(std::min<std::size_t>(
        static_cast<std::size_t>(std::max(frames, 0)), block.size() / frame_bytes));
    if (phase_ == Phase::kIgnore) {
      if (output_started_ && ++ignored_blocks_ >= kIgnoredInputBlocks) phase_ = Phase::kWaiting;
      position_ += frames;
      return;
    }
    if (phase_ == Phase::kWaitForPeriod && !period_start_) FindNextPeriod(position_);
    for (std::int32_t frame = 0; frame < frames; ++frame, ++position_) {
      const InputFrame sample = ReadInputFrame(block, record_bits_, frame);
      Process(sample);
    }
  }

 private:
  enum class Phase { kIgnore, kWaiting, kSkip, kSearch, kWaitForPeriod, kCapture };

  void Process(const InputFrame& sample) {
    switch (phase_) {
      case Phase::kIgnore:
        return;
      case Phase::kWaiting:
        if (!initialised_) return;
        BeginSequence();
        [[fallthrough]];
      case Phase::kSkip:
        if (position_ < search_start_) return;
        BeginSearch();
        [[fallthrough]];
      case Phase::kSearch:
        Search(sample);
        return;
      case Phase::kWaitForPeriod:
        if (!period_start_ || position_ != *period_start_ + latency_) return;
        if (status_.capture_complete.load(std::memory_order_acquire) ||
            output_.PlaysOlderTones(*period_start_)) {
          // The last capture has not been taken yet, or the period still plays the tones of the
          // last step: it passes uncaptured.
          last_period_start_ = *period_start_;
          FindNextPeriod(position_ + 1);
          return;
        }
        BeginPeriod();
        [[fallthrough]];
      case Phase::kCapture:
        Capture(sample);
        return;
    }
  }

  // The output has started a sequence: search from its first sync-code sample on. With the
  // window opening no later than the code can return, a code still on its way at the end of the
  // window (a round trip of 255·h or more) is never mistaken for a nearer one.
  void BeginSequence() {
    search_start_ = std::max(position_, output_.SyncStart());
    phase_ = Phase::kSkip;
  }

  void BeginSearch() {
    search_.Reset();
    phase_ = Phase::kSearch;
  }

  void Search(const InputFrame& sample) {
    const std::int64_t index = position_ - search_start_;
    if (index < static_cast<std::int64_t>(capture_.size())) {
      capture_[static_cast<std::size_t>(index)] = sample.left;
    }
    if (!search_.Add(sample.right)) return;
    const std::optional<std::int64_t> code_start = search_.Lock(tables_, !return_inverted_);
    if (!code_start) {
      Fail();
      return;
    }
    latency_ = Modulo(search_start_ + *code_start - output_.SyncStart(), search_.Length());
    status_.sync_good.store(true, std::memory_order_release);
    output_.SwitchToRunning();
    // The first period whose capture has not begun before the window may already be in it.
    const std::optional<std::int64_t> start =
        output_.CaptureStarts().FirstAtOrAfter(search_start_ - latency_);
    const std::int64_t filled = std::min<std::int64_t>(index + 1, capture_.size());
    if (start && *start + latency_ - search_start_ < filled) {
      const std::int64_t offset = *start + latency_ - search_start_;
      std::copy(capture_.begin() + offset, capture_.begin() + filled, capture_.begin());
      filled_ = static_cast<std::int32_t>(filled - offset);
      period_start_ = start;
      chip_checked_ = true;  // the lock itself has just checked the code
      phase_ = Phase::kCapture;
      if (filled_ >= capture_length_) EndPeriod();
      return;
    }
    period_start_ = start;
    phase_ = Phase::kWaitForPeriod;
  }

  // The next period to capture: the first recorded start after the last one whose first sample
  // comes back at `next_frame` or later. Asked again at block starts while none is known yet.
  void FindNextPeriod(std::int64_t next_frame) {
    const std::int64_t after = std::max(last_period_start_ + 1, next_frame - latency_);
    period_start_ = output_.CaptureStarts().FirstAtOrAfter(after);
  }

  void BeginPeriod() {
    filled_ = 0;
    chip_count_ = 0;
    chip_checked_ = false;
    phase_ = Phase::kCapture;
  }

  void Capture(const InputFrame& sample) {
    if (filled_ < capture_length_) capture_[static_cast<std::size_t>(filled_++)] = sample.left;
    if (!chip_checked_) {
      chips_[chip_count_++] = sample.right;
      if (chip_count_ == kSyncSequenceLength) {
        chip_checked_ = true;
        // The code must still arrive with the phase the lock found.
        const std::int64_t code_index = *period_start_ - output_.SyncStart();
        const int delay = ChipDelay(chips_, tables_, !return_inverted_);
        if (delay < 0 || Modulo(delay + code_index, kSyncSequenceLength) != 0) {
          Fail();
          return;
        }
      }
    }
    if (filled_ >= capture_length_ && chip_checked_) EndPeriod();
  }

  void EndPeriod() {
    status_.capture_complete.store(true, std::memory_order_release);
    last_period_start_ = *period_start_;
    phase_ = Phase::kWaitForPeriod;
    FindNextPeriod(position_ + 1);
  }

  // The code was not found or has been lost: the next output block starts the whole sequence
  // again, with a new lead-in, and the input searches anew. The stream keeps running.
  void Fail() {
    status_.sync_good.store(false, std::memory_order_release);
    // The search overwrites capture A: it no longer holds an aligned capture.
    status_.capture_complete.store(false, std::memory_order_release);
    status_.sync_failures.fetch_add(1, std::memory_order_release);
    initialised_ = false;
    period_start_.reset();
    phase_ = Phase::kWaiting;
  }

  SyncOutputSequence output_;
  SyncSearch search_;
  const MlsTables& tables_;
  EngineStatus& status_;
  std::vector<std::int32_t>& capture_;
  std::int32_t capture_length_;
  int record_bits_;
  std::int32_t lead_in_;
  std::int32_t first_lead_in_;
  bool return_inverted_;

  bool initialised_ = false;  // the output has started the current sequence
  bool output_started_ = false;
  Phase phase_ = Phase::kIgnore;
  int ignored_blocks_ = 0;
  std::int64_t position_ = 0;  // input frames since the stream began
  std::int64_t search_start_ = 0;
  std::int64_t latency_ = 0;                  // round trip, frames
  std::optional<std::int64_t> period_start_;  // output frame of the period being captured
  std::int64_t last_period_start_ = -1;
  std::int32_t filled_ = 0;
  std::array<double, kSyncSequenceLength> chips_{};
  int chip_count_ = 0;
  bool chip_checked_ = true;
};

}  // namespace

std::size_t SyncCaptureSize(const SyncEngineSettings& settings) {
  const std::int64_t search =
      std::int64_t{kSyncSequenceLength} * std::max(settings.timing.sync_bit_length, 1);
  const std::int64_t capture = std::int64_t{std::max(settings.capture_length, 0)} +
                               std::llround(settings.latency_s * 48000.0) + 3;
  return static_cast<std::size_t>(std::max(search, capture));
}

BlockRoutinesFactory MakeSyncBlockRoutines(StimulusGenerator& generator,
                                           const StimulusSelection& selection,
                                           const SyncEngineSettings& settings,
                                           const MlsTables& sync_tables) {
  if (sync_tables.order != kSyncCodeOrder ||
      sync_tables.input_permutation.size() != kSyncSequenceLength ||
      sync_tables.output_permutation.size() != kSyncSequenceLength) {
    throw std::invalid_argument("the sync search needs the order-8 tables of the sync register");
  }
  return [&generator, selection, settings, &sync_tables](
             const StreamLayout& layout, EngineStatus& status,
             Captures& captures) -> std::unique_ptr<BlockRoutines> {
    return std::make_unique<SyncBlockRoutines>(generator, selection, settings, sync_tables, layout,
                                               status, captures);
  };
}

}  // namespace vireon
