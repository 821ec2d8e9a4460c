#include "stimulus/StimulusFrames.h"

#include <algorithm>

#include "stimulus/SamplePacking.h"
#include "stimulus/SyncOutputSequence.h"

namespace vireon {
namespace {

// Fill blocks of the size the engine uses at 192 kHz: the sequence does not depend on it.
constexpr std::int32_t kBlockFrames = 5460;

std::vector<std::uint8_t> Frames(StimulusGenerator& generator, std::int64_t frames, int bits) {
  std::vector<std::uint8_t> bytes(static_cast<std::size_t>(frames) * FrameBytes(bits));
  generator.FillStimulus(bytes, 0, static_cast<std::int32_t>(frames - 1));
  return bytes;
}

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
  if (generator.Engine() == EngineKind::kAsynchronous) {
    return Frames(generator,
                  std::int64_t{std::max(periods, 0)} * std::max(selection.period_length, 0), bits);
  }
  SyncOutputSequence sequence(generator, selection.stim_code, bits, selection.period_length,
                              timing);
  sequence.Restart(0);
  sequence.StopAfterPeriods(periods);
  const int frame_bytes = FrameBytes(bits);
  std::vector<std::uint8_t> bytes;
  while (sequence.PeriodsEnded() < periods) {
    const std::size_t used = bytes.size();
    bytes.resize(used + static_cast<std::size_t>(kBlockFrames) * frame_bytes);
    sequence.Fill(std::span(bytes).subspan(used), kBlockFrames);
  }
  // The last period has no gap after it.
  bytes.resize(static_cast<std::size_t>(periods > 0 ? sequence.LastPeriodEnd() : 0) * frame_bytes);
  return bytes;
}

}  // namespace vireon
