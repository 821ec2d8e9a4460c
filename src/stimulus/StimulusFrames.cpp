#include "stimulus/StimulusFrames.h"

#include <algorithm>

#include "stimulus/SamplePacking.h"
#include "stimulus/SyncCode.h"

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

class FrameWriter {
 public:
  explicit FrameWriter(int bits) : frame_bytes_(FrameBytes(bits)) {}
  std::int64_t Frames() const { return static_cast<std::int64_t>(bytes_.size()) / frame_bytes_; }
  void Silence(std::int64_t frames) {
    bytes_.resize(bytes_.size() +
                  static_cast<std::size_t>(std::max<std::int64_t>(frames, 0)) * frame_bytes_);
  }
  void Stimulus(StimulusGenerator& generator, std::int32_t frames) {
    if (frames <= 0) return;
    const auto first = static_cast<std::int32_t>(Frames());
    Silence(frames);
    generator.FillStimulus(bytes_, first, first + frames - 1);
  }
  std::vector<std::uint8_t>& Bytes() { return bytes_; }

 private:
  int frame_bytes_;
  std::vector<std::uint8_t> bytes_;
};

}  // namespace

std::int32_t PeriodLeadFrames(const StimulusGenerator& generator, const PeriodTiming& timing) {
  if (IsMls(generator.Kind())) {
    return std::max((std::int32_t{1} << generator.MlsOrder()) - timing.adc_lpf_delay - 1, 0);
  }
  return std::max(timing.extra_tail, 0);
}

std::vector<std::uint8_t> GenerateStimulusFrames(StimulusGenerator& generator,
                                                 const StimulusSelection& selection,
                                                 const PeriodTiming& timing, int periods) {
  const int bits = selection.play_bits == 16 ? 16 : 24;
  FrameWriter writer(bits);
  if (generator.Engine() == EngineKind::kAsynchronous) {
    for (int p = 0; p < periods; ++p) writer.Stimulus(generator, selection.period_length);
    return std::move(writer.Bytes());
  }
  const bool align = AlignsToLineCycle(selection.stim_code);
  const std::int32_t period_frames =
      PeriodLeadFrames(generator, timing) + std::max(selection.period_length, 0);
  std::int64_t previous_start = 0;
  for (int p = 0; p < periods; ++p) {
    if (p > 0) {
      writer.Silence(std::max(1, timing.inter_silence));
      if (align) {
        const std::int64_t start = AlignedStart(previous_start, writer.Frames(), timing.line_period,
                                                timing.invert_alternate);
        writer.Silence(start - writer.Frames());
      }
      // 24-bit frames are generated in pairs: a period starting inside a pair waits one frame.
      if (bits == 24 && writer.Frames() % 2 != 0) writer.Silence(1);
    }
    if (timing.invert_alternate) generator.TogglePolarity();
    generator.ResetPeriod();
    previous_start = writer.Frames();
    writer.Stimulus(generator, period_frames);
  }
  SyncCode sync(bits, timing.sync_pulse_level_db, timing.sync_bit_length);
  std::vector<std::uint8_t>& bytes = writer.Bytes();
  const int frame_bytes = FrameBytes(bits);
  for (std::size_t offset = 0; offset < bytes.size(); offset += frame_bytes) {
    PackSample(bytes, offset + frame_bytes / 2, bits, sync.NextPreamble());
  }
  return std::move(bytes);
}

}  // namespace vireon
