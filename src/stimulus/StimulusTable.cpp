#include "stimulus/StimulusTable.h"

#include <array>

namespace vireon {

namespace {

using enum GeneratorKind;
constexpr EngineKind kSync = EngineKind::kSynchronous;
constexpr EngineKind kAsync = EngineKind::kAsynchronous;

constexpr std::array<StimulusType, 19> kStimulusTypes = {{
    {"Chirp (ReSync)", 0, kChirp, kAsync},
    {"MLS (ReSync)", 1, kMlsAsynchronous, kAsync},
    {"MLS/Pink (ReSync)", 2, kPinkMlsAsynchronous, kAsync},
    {"Chirp (synchronous)", 17, kChirp, kSync},
    {"IMpulse (synchronous)", 3, kImpulse, kSync},
    {"MLS (synchronous)", 4, kMlsSynchronous, kSync},
    {"MLS/Pink(synchronous)", 5, kPinkMlsSynchronous, kSync},
    {"Fixed Tones (synchronous)", 6, kTones, kSync},
    {"Fixed Tones (1ch asynch)", 7, kTones, kAsync},
    {"Fixed Tones (2ch asynch)", 8, kTones, kAsync},
    {"Stepped Tones(synchronous)", 9, kTones, kSync},
    {"Stepped Tones(1ch asynch)", 10, kTones, kAsync},
    {"Stepped Tones(2ch asynch)", 11, kTones, kAsync},
    {"WAV File (synch)", 12, kWavFile, kSync},
    {"WAV File (asynch)", 13, kWavFile, kAsync},
    {"White Noise", 14, kWhiteNoise, kAsync},
    {"Pink Noise", 15, kPinkNoise, kAsync},
    {"WaveletBurst(synchronous)", 16, kWaveletBurst, kSync},
    {"None", kStimNone, kSilence, kAsync},
}};

}  // namespace

std::span<const StimulusType> StimulusTypes() { return kStimulusTypes; }

const StimulusType* FindStimulus(int code) {
  for (const StimulusType& type : kStimulusTypes) {
    if (type.code == code) return &type;
  }
  return nullptr;
}

}  // namespace vireon
