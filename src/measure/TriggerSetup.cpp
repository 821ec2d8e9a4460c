#include "measure/TriggerSetup.h"

#include <cmath>
#include <utility>

namespace vireon {

TriggerSettings EngineTrigger(const AcquisitionTrigger& trigger, const ChannelScales& scales,
                              std::int32_t converter_latency) {
  TriggerSettings settings;
  settings.armed = trigger.polarity != TriggerPolarity::kOff;
  settings.source = trigger.channel == 1 ? 1 : 0;
  const double scale = settings.source == 1 ? scales.b : scales.a;
  settings.threshold = scale != 0.0 ? trigger.threshold / std::abs(scale) : 0.0;
  settings.positive_level =
      trigger.polarity == TriggerPolarity::kPositive || trigger.polarity == TriggerPolarity::kBoth;
  settings.negative_level =
      trigger.polarity == TriggerPolarity::kNegative || trigger.polarity == TriggerPolarity::kBoth;
  settings.rising = trigger.slope != TriggerSlope::kFall;
  settings.falling = trigger.slope != TriggerSlope::kRise;
  // A negative scale turns a rising voltage into falling counts.
  if (scale < 0.0) std::swap(settings.rising, settings.falling);
  settings.pretrigger_percent = trigger.position_percent;
  settings.converter_latency = converter_latency;
  return settings;
}

}  // namespace vireon
