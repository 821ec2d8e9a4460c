#include "stimulus/SteppedTones.h"

#include <cmath>
#include <numbers>

namespace vireon {

namespace {

double StepValue(double start, double stop, bool logarithmic, double fraction) {
  if (logarithmic) return start * std::pow(stop / start, fraction);
  return start + fraction * (stop - start);
}

SineParsArray StepList(const TStepFSpecArray& tones, double fraction, int play_rate,
                       int record_rate) {
  SineParsArray list;
  for (const TStepFSpec& tone : tones) {
    double frequency = StepValue(tone.FreqStart, tone.FreqStop, tone.LogFreq != 0, fraction);
    double level = StepValue(tone.LevelStart, tone.LevelStop, tone.LogLevel != 0, fraction);
    if (!std::isfinite(frequency) || !std::isfinite(level) || frequency < 0.0 ||
        frequency > 0.499 * record_rate) {
      frequency = 0.0;
      level = 0.0;
    }
    AddComponent(list, ToneKind::kSine, 0.5, std::numbers::pi / 2.0, level, frequency, play_rate);
  }
  NormaliseStepAmplitudes(list);
  return list;
}

}  // namespace

void NormaliseStepAmplitudes(SineParsArray& list) {
  double sum = 0.0;
  for (const TSinePars& c : list) sum += std::fabs(c.Amplitude);
  if (sum >= 1.0 && std::isfinite(sum)) {
    for (TSinePars& c : list) c.Amplitude /= sum;
  }
}

bool NextStep(const SteppedToneSettings& settings, int k, bool two_channel, int play_rate,
              int record_rate, ToneLists& lists) {
  if (k < 0 || k >= settings.steps) return false;
  const double fraction = settings.steps > 1 ? static_cast<double>(k) / (settings.steps - 1) : 0.0;
  lists.p = StepList(settings.channel1, fraction, play_rate, record_rate);
  if (two_channel) lists.q = StepList(settings.channel2, fraction, play_rate, record_rate);
  return true;
}

}  // namespace vireon
