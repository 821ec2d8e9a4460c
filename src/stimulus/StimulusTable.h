#pragma once

#include <span>
#include <string_view>

namespace vireon {

// The stimulus types of the main window's list, in list order, with the code each maps to, the
// generator that plays it and the engine that streams it.

enum class GeneratorKind {
  kMlsSynchronous = 0,
  kTones = 1,
  kWavFile = 2,
  kImpulse = 3,
  kChirp = 5,
  kWhiteNoise = 6,
  kPinkNoise = 7,
  kPinkMlsSynchronous = 8,
  kSilence = 9,
  kMlsAsynchronous = 10,
  kPinkMlsAsynchronous = 11,
  kWaveletBurst = 12,
};

// Generators that play a maximum-length sequence (plain or pink, either engine).
inline bool IsMls(GeneratorKind kind) {
  return kind == GeneratorKind::kMlsSynchronous || kind == GeneratorKind::kPinkMlsSynchronous ||
         kind == GeneratorKind::kMlsAsynchronous || kind == GeneratorKind::kPinkMlsAsynchronous;
}

enum class EngineKind { kSynchronous, kAsynchronous };

struct StimulusType {
  std::string_view name;
  int code;  // `StimCode`, the stimulus class
  GeneratorKind kind;
  EngineKind engine;
};

inline constexpr int kStimNone = 99;

std::span<const StimulusType> StimulusTypes();  // the 19 entries in list order
// The entry of a stimulus code; nullptr for an unknown code.
const StimulusType* FindStimulus(int code);

}  // namespace vireon
