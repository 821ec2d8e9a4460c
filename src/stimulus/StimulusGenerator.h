#pragma once

#include <atomic>
#include <cstdint>
#include <memory>
#include <mutex>
#include <span>

#include "common/Notices.h"
#include "stimulus/CfgStim.h"
#include "stimulus/NoiseGenerator.h"
#include "stimulus/SampleSource.h"
#include "stimulus/StimulusSelection.h"
#include "stimulus/StimulusTable.h"
#include "stimulus/ToneSet.h"
#include "stimulus/WavFileGenerator.h"

namespace vireon {

// The stimulus the engine plays: chosen at start, restarted at every stimulus period, and asked
// block by block to fill frames of a play buffer. Lives for the program run, so that the noise
// sequence continues from one measurement to the next.
class StimulusGenerator {
 public:
  StimulusGenerator() = default;
  // The noise generator refers to the noise state held here.
  StimulusGenerator(const StimulusGenerator&) = delete;
  StimulusGenerator& operator=(const StimulusGenerator&) = delete;

  // Sets up the generator of the selected stimulus and starts its first period. False, with a
  // notice, when the start must end: an unknown code or an unusable WAV file (whose name is then
  // cleared from the settings).
  bool SelectGenerator(const StimulusSelection& selection, StimulusSettings& settings,
                       const ToneLists& tones, const WavLoader& wav_loader, Notices& notices);
  void ResetPeriod();
  // Writes frames first..last (inclusive) of a stereo buffer in the play format. The synchronous
  // engine's stimuli write output 1 only, leaving output 2 to the sync code.
  void FillStimulus(std::span<std::uint8_t> buffer, std::int32_t first_frame,
                    std::int32_t last_frame);

  void SetPolarity(bool inverted) { inverted_ = inverted; }
  void TogglePolarity() { inverted_ = !inverted_; }
  // New tone lists for the next stepped-tone step (tone stimuli only).
  void SetToneLists(const ToneLists& tones);
  // The same while streaming: the user-interface thread posts the lists, and the pump takes them
  // at the start of its next block (asynchronous) or period (synchronous).
  void PostToneLists(ToneLists tones);
  bool ToneListsPending() const { return tones_pending_.load(std::memory_order_acquire); }
  // Pump thread: takes posted lists into the tone generator; true when it did. Never waits.
  bool ApplyPostedToneLists();

  GeneratorKind Kind() const { return kind_; }
  EngineKind Engine() const { return engine_; }
  int MlsOrder() const { return mls_order_; }
  double ChirpOctavesPerSecond() const { return chirp_octaves_per_second_; }

 private:
  NoiseState noise_;
  std::unique_ptr<SampleSource> source_;
  GeneratorKind kind_ = GeneratorKind::kSilence;
  EngineKind engine_ = EngineKind::kAsynchronous;
  int bits_ = 24;
  bool inverted_ = false;
  int mls_order_ = 0;
  double chirp_octaves_per_second_ = 0.0;
  std::mutex posted_mutex_;
  ToneLists posted_tones_;
  std::atomic<bool> tones_pending_{false};
};

}  // namespace vireon
