#include "measure/ComponentTracking.h"

#include <algorithm>
#include <cmath>
#include <string>

namespace vireon {

namespace {

constexpr std::string_view kSection = "ComponentTracking";

void BindCurve(ConfigBindings& software, int number, ComponentCurve& curve) {
  const std::string stem = "StepFField" + std::to_string(number);
  software.Bind(kSection, stem + "MultA", curve.mult_a, kMinComponentMultiplier,
                kMaxComponentMultiplier);
  software.Bind(kSection, stem + "MultB", curve.mult_b, kMinComponentMultiplier,
                kMaxComponentMultiplier);
  software.Bind(kSection, stem + "ToneA", curve.tone_a, kMinToneNumber, kMaxToneNumber);
  software.Bind(kSection, stem + "ToneB", curve.tone_b, kMinToneNumber, kMaxToneNumber);
  software.Bind(kSection, stem + "OChanA", curve.channel_a, 1, 2);
  software.Bind(kSection, stem + "OChanB", curve.channel_b, 1, 2);
  software.BindInteger(
      kSection, stem + "Ref", [&curve] { return static_cast<int>(curve.reference); },
      [&curve](int value) { curve.reference = static_cast<ComponentReference>(value); },
      static_cast<int>(ComponentReference::kA), static_cast<int>(ComponentReference::kNone));
}

}  // namespace

const TSinePars* ToneAt(const ToneLists& tones, int channel, int tone) {
  const SineParsArray& list = channel == 2 ? tones.q : tones.p;
  if (list.empty()) return nullptr;
  const int count = static_cast<int>(list.size());
  return &list[static_cast<std::size_t>(std::clamp(tone, 1, count) - 1)];
}

double ComponentFrequency(const ComponentCurve& curve, const ToneLists& tones) {
  const TSinePars* a = ToneAt(tones, curve.channel_a, curve.tone_a);
  const TSinePars* b = ToneAt(tones, curve.channel_b, curve.tone_b);
  const double fa = a != nullptr ? a->Frequency : 0.0;
  const double fb = b != nullptr ? b->Frequency : 0.0;
  return std::abs(curve.mult_a * fa + curve.mult_b * fb);
}

void BindComponentTracking(ConfigBindings& software, ComponentTrackSettings& settings) {
  software.Bind(kSection, "DomainOutCh", settings.domain_channel, 1, 2);
  BindCurve(software, 1, settings.curve1);
  BindCurve(software, 2, settings.curve2);
  software.Bind(kSection, "StepFDomainIsFreq", settings.domain_is_frequency);
  software.Bind(kSection, "StepFField1THD", settings.curve1.thd);
  software.Bind(kSection, "StepFField2THD", settings.curve2.thd);
  software.Bind(kSection, "MaxHarmonic", settings.max_harmonic, kMinMaxHarmonic, kMaxMaxHarmonic);
}

}  // namespace vireon
