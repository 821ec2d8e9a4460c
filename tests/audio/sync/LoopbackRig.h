#pragma once

#include <cmath>
#include <cstdint>
#include <memory>
#include <random>
#include <vector>

#include "audio/engine/EngineBlocks.h"
#include "audio/sync/SyncBlockRoutines.h"
#include "stimulus/MlsTables.h"
#include "stimulus/SamplePacking.h"
#include "stimulus/StimulusFixtures.h"

namespace vireon {

// What comes back on input 2: the returned sync code scaled, optionally smoothed by the
// zero-phase low-pass [¼ ½ ¼], plus Gaussian noise (counts on the 24-bit scale).
struct ReturnPath {
  bool connected = true;
  double gain = 1.0;
  bool low_pass = false;
  double noise_rms = 0.0;
};

// The block routines between a loopback model and the pump's order of calls: four play blocks
// primed, then for every record block the play block four ahead. Output frame n comes back as
// input frame n + delay, both channels; the record blocks have the play blocks' size.
class LoopbackRig {
 public:
  LoopbackRig(int stim_code, const SyncEngineSettings& settings, std::int32_t lead_in,
              std::int32_t frames_per_block, int record_bits = 24, int play_bits = 24)
      : settings_(settings) {
    selection_ = Selection(stim_code, play_bits);
    selection_.period_length = settings.capture_length;
    started_ = run_.Start(selection_);
    layout_.play_bits = play_bits;
    layout_.record_bits = record_bits;
    layout_.play_frames_per_block = frames_per_block;
    layout_.record_frames_per_block = frames_per_block;
    layout_.lead_in = lead_in;
    routines_ = MakeSyncBlockRoutines(run_.generator, selection_, settings_, tables_)(
        layout_, status, captures);
    for (int i = 0; i < 4; ++i) PlayBlock();
  }

  bool Started() const { return started_; }
  std::int32_t delay = 0;
  ReturnPath path;
  EngineStatus status;
  Captures captures;
  std::vector<Frame> played;  // every output frame so far

  // One pump pass: the next record block, then the next play block.
  void Step() {
    RecordBlock();
    PlayBlock();
  }
  // Steps until `done` holds after a record block, at most `blocks` times; false if it never does.
  template <typename Done>
  bool RunUntil(Done done, int blocks) {
    for (int i = 0; i < blocks; ++i) {
      Step();
      if (done()) return true;
    }
    return false;
  }
  std::int64_t Recorded() const { return recorded_; }
  bool SyncGood() const { return status.sync_good.load(std::memory_order_acquire); }
  bool Complete() const { return status.capture_complete.load(std::memory_order_acquire); }
  // What the controller does once it has converted a capture.
  void TakeCapture() { status.capture_complete.store(false, std::memory_order_release); }

 private:
  void PlayBlock() {
    const std::int32_t frames = layout_.play_frames_per_block;
    std::vector<std::uint8_t> block(
        static_cast<std::size_t>(frames) * FrameBytes(layout_.play_bits),
        0xA5);  // stale bytes the filler must overwrite
    routines_->FillOutputBlock(block, frames);
    for (const Frame& frame : UnpackFrames(block, layout_.play_bits)) {
      const int scale = layout_.play_bits == 16 ? 256 : 1;  // on the 24-bit scale
      played.push_back({frame.left * scale, frame.right * scale});
    }
  }

  Frame Returned(std::int64_t n) {
    const auto at = [&](std::int64_t i) {
      return i >= 0 && i < static_cast<std::int64_t>(played.size()) ? played[i] : Frame{0, 0};
    };
    const std::int64_t source = n - delay;
    const Frame frame = at(source);
    double right = frame.right;
    if (path.low_pass)
      right = 0.25 * at(source - 1).right + 0.5 * right + 0.25 * at(source + 1).right;
    right = path.connected ? right * path.gain : 0.0;
    if (path.noise_rms > 0.0) right += noise_(random_) * path.noise_rms;
    return {frame.left, static_cast<std::int32_t>(std::lround(right))};
  }

  void RecordBlock() {
    const std::int32_t frames = layout_.record_frames_per_block;
    const int bits = layout_.record_bits;
    const int width = bits / 8;
    std::vector<std::uint8_t> block(static_cast<std::size_t>(frames) * 2 * width);
    for (std::int32_t f = 0; f < frames; ++f) {
      const Frame frame = Returned(recorded_ + f);
      const std::size_t offset = static_cast<std::size_t>(f) * 2 * width;
      const auto put = [&](std::size_t at, std::int32_t value) {
        const std::int32_t sample = bits == 16 ? (value >> 8) : value;
        const std::int32_t full = bits == 16 ? 32767 : 8388607;
        PackSample(block, at, bits, std::clamp(sample, -full, full));
      };
      put(offset, frame.left);
      put(offset + width, frame.right);
    }
    routines_->ProcessInputBlock(block, frames);
    recorded_ += frames;
  }

  SyncEngineSettings settings_;
  StimulusSelection selection_;
  GeneratedFrames run_;
  bool started_ = false;
  MlsTables tables_ = GenerateMlsTables(MlsRegister::SyncCode());
  StreamLayout layout_;
  std::unique_ptr<BlockRoutines> routines_;
  std::int64_t recorded_ = 0;
  std::mt19937 random_{7};
  std::normal_distribution<double> noise_;
};

}  // namespace vireon
