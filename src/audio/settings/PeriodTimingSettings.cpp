#include "audio/settings/PeriodTimingSettings.h"

#include <cmath>

#include "stimulus/SyncCode.h"

namespace vireon {

PeriodTiming PeriodTimingFromSettings(const TimingSettings& timing, double inter_silence_s,
                                      int play_rate, int record_rate, bool invert_alternate) {
  PeriodTiming period;
  period.adc_lpf_delay = timing.adc_lpf_delay;
  period.inter_silence = static_cast<std::int32_t>(std::nearbyint(play_rate * inter_silence_s));
  period.line_period =
      timing.line_frequency_hz > 0.0
          ? static_cast<std::int32_t>(std::nearbyint(record_rate / timing.line_frequency_hz))
          : 0;
  period.invert_alternate = invert_alternate;
  period.sync_pulse_level_db = timing.pulse_out_height_db;
  period.sync_bit_length = SyncBitLength(timing.latency_48k_s);
  return period;
}

}  // namespace vireon
