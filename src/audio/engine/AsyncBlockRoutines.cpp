#include "audio/engine/AsyncBlockRoutines.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>

#include "audio/engine/InputFrames.h"
#include "audio/engine/StreamFormats.h"
#include "stimulus/StimulusGenerator.h"

namespace vireon {

AsyncBlockRoutines::AsyncBlockRoutines(const StreamLayout& layout, EngineStatus& status,
                                       Captures& captures, StimulusGenerator& generator,
                                       AsyncCaptureControl& control)
    : layout_(layout),
      status_(status),
      captures_(captures),
      generator_(generator),
      control_(control),
      length_(std::max(0, captures.length)),
      silence_left_(AsynchronousLeadIn(layout.lead_in, layout.play_frames_per_block)),
      discard_left_(silence_left_) {
  const std::size_t size = static_cast<std::size_t>(length_) + 3;
  if (captures_.a.size() < size) captures_.a.resize(size);
  if (captures_.b.size() < size) captures_.b.resize(size);
  control_.restart_until.store(0, std::memory_order_relaxed);
  control_.hold_until.store(0, std::memory_order_relaxed);
  control_.blocks_played.store(0, std::memory_order_relaxed);
  control_.trigger.TryLoad(trigger_settings_);
  BeginCapture();
}

void AsyncBlockRoutines::FillOutputBlock(std::span<std::uint8_t> block, std::int32_t frames) {
  // New tones begin with this block, which the input records as its own block number; with a
  // round trip under one block, the input holds only new tones from the next block on.
  if (generator_.ApplyPostedToneLists()) {
    control_.hold_until.store(blocks_played_ + 2, std::memory_order_release);
  }
  const int frame_bytes = 2 * (layout_.play_bits / 8);
  const std::int32_t silent = std::min(frames, silence_left_);
  std::memset(block.data(), 0, static_cast<std::size_t>(silent) * frame_bytes);
  silence_left_ -= silent;
  generator_.FillStimulus(block, silent, frames - 1);
  control_.blocks_played.store(++blocks_played_, std::memory_order_release);
}

void AsyncBlockRoutines::BeginCapture() {
  position_ = 0;
  peak_a_ = peak_b_ = 0;
  complete_ = false;
  status_.capture_complete.store(false, std::memory_order_release);
  if (trigger_settings_.armed) {
    trigger_.Begin(trigger_settings_, length_);
  } else {
    trigger_ = TriggeredCapture{};
  }
  control_.trigger_phase.store(trigger_.Phase(), std::memory_order_release);
  control_.captured.store(0, std::memory_order_relaxed);
  control_.peak_a.store(0, std::memory_order_relaxed);
  control_.peak_b.store(0, std::memory_order_relaxed);
}

void AsyncBlockRoutines::Capture(std::int32_t a, std::int32_t b) {
  if (complete_) return;
  peak_a_ = std::max(peak_a_, std::abs(a));
  peak_b_ = std::max(peak_b_, std::abs(b));
  if (trigger_.Phase() != TriggerPhase::kOff) {
    complete_ = trigger_.Take(a, b, captures_.a, captures_.b);
    position_ = complete_ ? length_ : position_;
    return;
  }
  captures_.a[position_] = a;
  captures_.b[position_] = b;
  complete_ = ++position_ >= length_;
}

void AsyncBlockRoutines::ProcessInputBlock(std::span<const std::uint8_t> block,
                                           std::int32_t frames) {
  ++blocks_recorded_;
  control_.trigger.TryLoad(trigger_settings_);
  trigger_.UpdateTests(trigger_settings_);
  if (blocks_recorded_ <= control_.restart_until.load(std::memory_order_acquire)) BeginCapture();
  // A held capture takes nothing before its block.
  const bool held = blocks_recorded_ < control_.hold_until.load(std::memory_order_acquire);
  if (held) BeginCapture();

  const std::int32_t skipped = std::min(frames, discard_left_);
  discard_left_ -= skipped;
  for (std::int32_t i = held ? frames : skipped; i < frames; ++i) {
    const InputFrame frame = ReadInputFrame(block, layout_.record_bits, i);
    Capture(frame.left, frame.right);
  }

  control_.trigger_phase.store(trigger_.Phase(), std::memory_order_release);
  control_.captured.store(position_, std::memory_order_relaxed);
  control_.peak_a.store(peak_a_, std::memory_order_relaxed);
  control_.peak_b.store(peak_b_, std::memory_order_relaxed);
  if (complete_ && !status_.capture_complete.load(std::memory_order_relaxed)) {
    status_.capture_complete.store(true, std::memory_order_release);
  }
}

BlockRoutinesFactory AsynchronousBlocks(StimulusGenerator& generator,
                                        AsyncCaptureControl& control) {
  return [&generator, &control](const StreamLayout& layout, EngineStatus& status,
                                Captures& captures) -> std::unique_ptr<BlockRoutines> {
    return std::make_unique<AsyncBlockRoutines>(layout, status, captures, generator, control);
  };
}

}  // namespace vireon
