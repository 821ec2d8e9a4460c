#include "stimulus/StimulusGenerator.h"

#include <utility>

#include <algorithm>
#include <stdexcept>

#include "stimulus/ChirpGenerator.h"
#include "stimulus/Envelope.h"
#include "stimulus/ImpulseGenerator.h"
#include "stimulus/MlsGenerator.h"
#include "stimulus/MlsSequence.h"
#include "stimulus/SamplePacking.h"
#include "stimulus/ToneGenerator.h"
#include "stimulus/WaveletBurst.h"

namespace vireon {

namespace {

class Silence : public SampleSource {
 public:
  StereoValue Next(bool) override { return {}; }
};

bool IsTwoChannelTones(int code) { return code == 8 || code == 11; }

}  // namespace

bool StimulusGenerator::SelectGenerator(const StimulusSelection& selection,
                                        StimulusSettings& settings, const ToneLists& tones,
                                        const WavLoader& wav_loader, Notices& notices) {
  const StimulusType* type = FindStimulus(selection.stim_code);
  if (type == nullptr) {
    notices.Notice("Error: invalid stimulus type");
    return false;
  }
  const bool synchronous = type->engine == EngineKind::kSynchronous;
  std::unique_ptr<SampleSource> source;
  int mls_order = 0;
  double octaves_per_second = 0.0;
  switch (type->kind) {
    case GeneratorKind::kChirp: {
      auto chirp = std::make_unique<ChirpGenerator>(settings.chirp, selection, synchronous);
      octaves_per_second = chirp->OctavesPerSecond();
      source = std::move(chirp);
      break;
    }
    case GeneratorKind::kMlsSynchronous:
    case GeneratorKind::kMlsAsynchronous:
    case GeneratorKind::kPinkMlsSynchronous:
    case GeneratorKind::kPinkMlsAsynchronous: {
      // The stimulus window keeps the length within 4096..262144, the orders with tables.
      mls_order = SetMLSOrder(std::clamp(settings.mls_length, 1 << kMinMlsTableOrder,
                                         1 << kMaxMlsTableOrder))
                      .order;
      const bool pink = type->kind == GeneratorKind::kPinkMlsSynchronous ||
                        type->kind == GeneratorKind::kPinkMlsAsynchronous;
      source = std::make_unique<MlsGenerator>(mls_order, selection, pink);
      break;
    }
    case GeneratorKind::kTones:
      source = std::make_unique<ToneGenerator>(
          tones, IsTwoChannelTones(selection.stim_code),
          synchronous ? BuildEnvelope(settings.envelope) : std::vector<float>{}, selection);
      break;
    case GeneratorKind::kWavFile: {
      auto samples = wav_loader ? wav_loader(settings.wav_file_name) : std::nullopt;
      if (!samples || samples->channel1.empty()) {
        settings.wav_file_name.clear();
        notices.Notice("Error: WAV File not usable");
        return false;
      }
      source = std::make_unique<WavFileGenerator>(std::move(*samples), selection, synchronous);
      break;
    }
    case GeneratorKind::kImpulse:
      source = std::make_unique<ImpulseGenerator>(selection);
      break;
    case GeneratorKind::kWhiteNoise:
    case GeneratorKind::kPinkNoise:
      source = std::make_unique<NoiseGenerator>(noise_, selection,
                                                type->kind == GeneratorKind::kPinkNoise);
      break;
    case GeneratorKind::kWaveletBurst:
      source = std::make_unique<WaveletBurstGenerator>(settings.wavelet, selection);
      break;
    case GeneratorKind::kSilence:
      source = std::make_unique<Silence>();
      break;
  }
  source_ = std::move(source);
  kind_ = type->kind;
  engine_ = type->engine;
  bits_ = selection.play_bits == 16 ? 16 : 24;
  inverted_ = selection.polarity_inverted;
  mls_order_ = mls_order;
  chirp_octaves_per_second_ = octaves_per_second;
  ResetPeriod();
  return true;
}

void StimulusGenerator::ResetPeriod() {
  if (source_) source_->StartPeriod();
}

void StimulusGenerator::SetToneLists(const ToneLists& tones) {
  if (auto* generator = dynamic_cast<ToneGenerator*>(source_.get())) {
    generator->SetToneLists(tones);
  }
}

void StimulusGenerator::PostToneLists(ToneLists tones) {
  const std::lock_guard lock(posted_mutex_);
  posted_tones_ = std::move(tones);
  tones_pending_.store(true, std::memory_order_release);
}

bool StimulusGenerator::ApplyPostedToneLists() {
  if (!ToneListsPending()) return false;
  const std::unique_lock lock(posted_mutex_, std::try_to_lock);
  if (!lock.owns_lock()) return false;
  SetToneLists(posted_tones_);
  tones_pending_.store(false, std::memory_order_release);
  return true;
}

void StimulusGenerator::FillStimulus(std::span<std::uint8_t> buffer, std::int32_t first_frame,
                                     std::int32_t last_frame) {
  if (first_frame > last_frame) return;
  const int frame_bytes = FrameBytes(bits_);
  const int sample_bytes = frame_bytes / 2;
  if (first_frame < 0 || static_cast<std::size_t>(last_frame + 1) * frame_bytes > buffer.size()) {
    throw std::out_of_range("stimulus frames beyond the play buffer");
  }
  const std::int32_t full_scale = FullScale(bits_);
  const bool both_outputs = engine_ == EngineKind::kAsynchronous;
  Silence silence;
  SampleSource& source = source_ ? *source_ : silence;
  for (std::int32_t frame = first_frame; frame <= last_frame; ++frame) {
    const StereoValue value = source.Next(inverted_);
    const std::size_t offset = static_cast<std::size_t>(frame) * frame_bytes;
    PackSample(buffer, offset, bits_, SaturatedSample(value.left, full_scale));
    if (both_outputs) {
      PackSample(buffer, offset + sample_bytes, bits_, SaturatedSample(value.right, full_scale));
    }
  }
}

}  // namespace vireon
