#include "record/FftWindows.h"

#include <algorithm>
#include <cmath>
#include <numbers>

namespace vireon {
namespace {

constexpr std::array<std::string_view, 9> kWindowNames = {
    "No Window", "Rectangular", "Blackm-Harris4", "Hodie5", "Hodie7",
    "Hamming",   "Bingham",     "FlatTop",        "Hann"};

// The code of a full window is 2·entry for entries from "Blackm-Harris4" on.
int WindowFamily(std::uint8_t code) { return code / 2; }

constexpr int kTaperFamily = 5;  // codes 10, 11: cosine taper over the outer tenths

// The cosine taper: rising over the first tenth of the gate, falling over the last.
double TaperValue(double d, double length) {
  if (d <= 0.1 * length) return 0.5 - 0.5 * std::cos(10.0 * std::numbers::pi * d / length);
  if (d >= 0.9 * length) {
    return 0.5 + 0.5 * std::cos(10.0 * std::numbers::pi * (d - 0.9 * length) / length);
  }
  return 1.0;
}

// a0 − a1·cos F + a2·cos 2F − ...: one cosine per point, the multiples by the Chebyshev
// recurrence cos mF = 2·cos F·cos (m−1)F − cos (m−2)F.
double CosineSum(const std::array<double, 6>& a, double f) {
  const double c1 = std::cos(f);
  double previous = 1.0;
  double current = c1;
  double w = a[0] - a[1] * c1;
  for (std::size_t m = 2; m < a.size(); ++m) {
    const double next = 2.0 * c1 * current - previous;
    previous = current;
    current = next;
    w += (m % 2 == 0) ? a[m] * current : -a[m] * current;
  }
  return w;
}

// The value at the middle of the gate (F = π), where a half window starts falling. Some
// cosine sums peak above 1 there; dividing by it joins the flat half without a step.
double PeakValue(std::uint8_t code) {
  if (WindowFamily(code) == kTaperFamily) return 1.0;
  const std::array<double, 6> a = WindowCoefficients(code);
  double sum = 0.0;
  for (double v : a) sum += v;
  return sum > 0 ? sum : 1.0;
}

struct Gate {
  std::int32_t start = 0;
  std::int32_t end = 0;
};

struct ChannelGate {
  int column;
  double gain;
  std::int32_t& win_start;
  std::int32_t& win_end;
  double& delay;
  double& peak_time;
  double& bin_width;
};

void WindowChannel(TDataMeas& record, std::uint8_t code, std::int32_t max_length, bool blend,
                   bool remove_offset, const ChannelGate& channel) {
  DataArray& x = record.FFields[static_cast<std::size_t>(channel.column)].Values;
  const auto n = static_cast<std::int32_t>(std::min<std::size_t>(x.size(), record.FNumPoints));
  if (n < 2) return;
  std::int32_t e = 0;
  std::int32_t o = n - 1;
  if (code != kNoWindow) {
    e = channel.win_start;
    o = channel.win_end;
    if (static_cast<std::int64_t>(o) - e + 1 > max_length) o = e + max_length - 1;
  }
  // A gate outside the record (negative start, end before start) is pulled back into it.
  e = std::clamp(e, 0, n - 2);
  // The gated samples move to the start of the column, so the time origin becomes the gate
  // start: the channel's delay grows by it and the peak time is taken against the new delay.
  const double fs = record.FSampleRate;
  channel.delay += fs > 0 ? e / fs : 0.0;
  channel.peak_time -= channel.delay;
  o = std::clamp(o, e + 1, n - 1);
  channel.bin_width = fs / (o - e);
  record.FWindowLen = std::max(std::min(o, n) - e, 1);

  if (remove_offset) {
    const double offset = x[static_cast<std::size_t>(e)];
    for (std::int32_t j = e; j <= o; ++j) x[static_cast<std::size_t>(j)] -= offset;
  }
  const std::int32_t gate = o - e;
  const double gain = channel.gain;
  if (code == kNoWindow || code == kRectangularWindow || gate < 2) {
    for (std::int32_t i = 0; i <= gate; ++i) {
      x[static_cast<std::size_t>(i)] = gain * x[static_cast<std::size_t>(e + i)];
    }
    std::fill(x.begin() + gate + 1, x.end(), 0.0);
    return;
  }
  const bool half = IsHalfWindow(code);
  const bool blended = blend && half;
  const double half_scale = half ? 1.0 / PeakValue(code) : 1.0;
  const std::int32_t middle = (e + o) / 2;
  double first = 0.0;
  double last = 0.0;
  for (std::int32_t i = 0; i <= gate; ++i) {
    const std::int32_t j = e + i;
    const double sample = x[static_cast<std::size_t>(j)];
    double out;
    if (half && j <= middle) {
      out = gain * sample;
    } else {
      const double w = WindowValue(code, i, gate, gain) * half_scale;
      out = blended ? sample * w + (1.0 - w) * first : sample * w;
    }
    if (i == 0) first = out;
    x[static_cast<std::size_t>(i)] = out;
    last = out;
  }
  const std::int32_t fill_end = std::min(n, max_length);
  for (std::int32_t i = gate + 1; i < fill_end; ++i) {
    x[static_cast<std::size_t>(i)] = blended ? first : last;
  }
}

}  // namespace

std::string_view WindowListName(int entry) {
  if (entry < 0 || entry >= static_cast<int>(kWindowNames.size())) return {};
  return kWindowNames[static_cast<std::size_t>(entry)];
}

std::uint8_t WindowCode(int entry, bool half) {
  if (entry <= 1) return static_cast<std::uint8_t>(std::max(entry, 0));
  return static_cast<std::uint8_t>(2 * (entry - 1) + (half ? 1 : 0));
}

bool IsHalfWindow(std::uint8_t code) { return code >= 3 && code <= 15 && code % 2 == 1; }

std::array<double, 6> WindowCoefficients(std::uint8_t code) {
  switch (WindowFamily(code)) {
    case 1:
      return {0.355768, 0.487396, 0.144232, 0.012604, 0, 0};
    case 2:
      return {0.67163459718823,  0.98017116095934,   0.36542092481817,
              0.059489208003165, 0.0026481652930186, 0};
    case 3:
      return {0.6164032131405,  0.98537119272586, 0.49603771622007,
              0.14992232793243, 0.02458719103474, 0.0017660465148687};
    case 4:
      return {0.54, 0.46, 0, 0, 0, 0};
    case 6:
      return {0.99944841, 1.9114562, 1.0785782, 0.18316202, 0, 0};
    case 7:
      return {0.5, 0.5, 0, 0, 0, 0};
    default:
      return {};
  }
}

double WindowGainFactor(std::uint8_t code) {
  constexpr std::array<double, 8> kFactors = {0.9999007, 2.8109, 1.4889,    1.6222,
                                              1.852,     1.111,  1.0005528, 2.0000645};
  const int family = WindowFamily(code);
  return family < static_cast<int>(kFactors.size()) ? kFactors[static_cast<std::size_t>(family)]
                                                    : 1.0;
}

double WindowValue(std::uint8_t code, std::int64_t i, std::int64_t length, double gain) {
  if (code <= kRectangularWindow || code > 15 || length <= 0) return gain;
  const double scaled_gain = code % 2 == 0 ? gain * WindowGainFactor(code) : gain;
  if (WindowFamily(code) == kTaperFamily) {
    return scaled_gain * TaperValue(static_cast<double>(i), static_cast<double>(length));
  }
  const double f = 2.0 * std::numbers::pi * static_cast<double>(i) / static_cast<double>(length);
  return scaled_gain * CosineSum(WindowCoefficients(code), f);
}

void ApplyTimeWindow(TDataMeas& record, std::uint8_t code, std::int32_t max_length, double gain_a,
                     double gain_b, bool blend, AnalysisContext& context) {
  if (record.FNumPoints <= 15) return;
  const bool remove_offset = context.RemoveOffsetOnce;
  WindowChannel(record, code, max_length, blend, remove_offset,
                {0, gain_a, record.FWinStart, record.FWinEnd, record.FDelayA, record.FPeakTime[0],
                 record.FBinWidth[0]});
  if (record.FNumFields > 1) {
    WindowChannel(record, code, max_length, blend, remove_offset,
                  {1, gain_b, record.FWinStart2, record.FWinEnd2, record.FDelayB,
                   record.FPeakTime[1], record.FBinWidth[1]});
  }
  record.FChanged = 1;
  context.RemoveOffsetOnce = false;
}

}  // namespace vireon
