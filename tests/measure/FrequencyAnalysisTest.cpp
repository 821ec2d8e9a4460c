#include "measure/FrequencyAnalysis.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <complex>
#include <numbers>
#include <string>
#include <utility>
#include <vector>

#include "measure/HideTones.h"
#include "measure/SpectrumHold.h"
#include "record/Averaging.h"
#include "record/DataTypes.h"
#include "record/FftWindows.h"
#include "record/RecordFixtures.h"

namespace vireon {
namespace {

constexpr int kRate = 48000;
constexpr long double kPiL = std::numbers::pi_v<long double>;

struct Tone {
  double amplitude;
  int bin;
};

// Sines centred on bins of an n-point transform.
std::vector<double> Sines(int n, const std::vector<Tone>& tones) {
  std::vector<double> x(static_cast<std::size_t>(n), 0.0);
  for (const Tone& t : tones) {
    for (int i = 0; i < n; ++i) {
      x[static_cast<std::size_t>(i)] +=
          t.amplitude * std::sin(2 * std::numbers::pi * t.bin * i / n + 0.4);
    }
  }
  return x;
}

std::complex<long double> NaiveDft(const std::vector<double>& x, int bin) {
  const auto n = static_cast<long double>(x.size());
  std::complex<long double> sum = 0;
  for (std::size_t j = 0; j < x.size(); ++j) {
    sum += static_cast<long double>(x[j]) *
           std::polar(1.0L, -2 * kPiL * static_cast<long double>((bin * j) % x.size()) / n);
  }
  return sum;
}

TDataMeas TimeRecord(const std::vector<std::vector<double>>& channels) {
  TDataMeas record = fixtures::TimeRecord(kRate, 0.0, channels);
  record.FWinStart = record.FWinStart2 = 0;
  record.FWinEnd = record.FWinEnd2 = record.FNumPoints - 1;
  return record;
}

struct Analysis {
  AcquisitionSettings settings;
  ToneLists tones;
  AnalysisContext context;

  void Convert(const TDataMeas& time_rec, TDataMeas& freq_rec, int stim_code, int acq_type,
               bool average_in_frequency) {
    const FrequencyAnalysisInput input{.stim_code = stim_code,
                                       .acq_type = acq_type,
                                       .acquisition = &settings,
                                       .tones = &tones,
                                       .average_in_frequency = average_in_frequency};
    ConvertToFrequency(time_rec, freq_rec, input, context);
  }
};

TEST(SpectrumTest, ASineReadsTheRecordsSpectrumLevelAndDbsUnitsScaleIt) {
  // The record's spectrum: the window's raw DFT sums times √2, so a rectangular-windowed sine
  // on bin k reads √2·|X(k)| (the RMS times the length). "dBS" units add the level
  // calibration, "dBSPs" 2√2 more.
  constexpr int kN = 1024;
  const std::vector<double> x = Sines(kN, {{0.3, 64}});
  const double plain = std::numbers::sqrt2 * static_cast<double>(std::abs(NaiveDft(x, 64)));
  const struct {
    std::string units;
    double factor;
  } cases[] = {{"dB", 1.0}, {"dBS", 50000.0}, {"dBSPs", 50000.0 * 2 * std::numbers::sqrt2}};
  for (const auto& c : cases) {
    Analysis analysis;
    analysis.settings.fft_size = kN;
    analysis.settings.window = kRectangularWindow;
    TDataMeas freq_rec;
    freq_rec.FFields[1].Units = c.units;
    analysis.Convert(TimeRecord({x}), freq_rec, 14, 4, true);
    ASSERT_EQ(freq_rec.FNumPoints, kN / 2 + 1) << c.units;
    EXPECT_EQ(freq_rec.FDataType, kSpectrum);
    EXPECT_EQ(freq_rec.FNumFields, 2);
    EXPECT_EQ(freq_rec.FFields[1].Name, "Frequency Domain Mag[A]");
    EXPECT_EQ(freq_rec.FFields[1].Units, c.units);
    EXPECT_DOUBLE_EQ(freq_rec.FFields[0].Values[64], kRate * 64.0 / kN);
    const std::vector<double>& mag = freq_rec.FFields[1].Values;
    EXPECT_EQ(std::max_element(mag.begin(), mag.end()) - mag.begin(), 64);
    EXPECT_NEAR(mag[64] / (plain * c.factor), 1.0, 1e-9) << c.units;
  }
  EXPECT_EQ(FrequencyCaption(4, false), "Spectrum");
}

TEST(SpectrumTest, TwoChannelSpectraCarryBothChannels) {
  constexpr int kN = 1024;
  const std::vector<double> a = Sines(kN, {{0.3, 64}});
  const std::vector<double> b = Sines(kN, {{0.1, 100}});
  Analysis analysis;
  analysis.settings.fft_size = kN;
  analysis.settings.window = kRectangularWindow;
  TDataMeas freq_rec;
  analysis.Convert(TimeRecord({a, b}), freq_rec, 14, 5, true);
  ASSERT_EQ(freq_rec.FNumFields, 3);
  EXPECT_EQ(freq_rec.FDataType, kSpectrum);
  EXPECT_EQ(freq_rec.FFields[2].Name, "Frequency Domain Mag[B]");
  EXPECT_NEAR(freq_rec.FFields[1].Values[64],
              std::numbers::sqrt2 * static_cast<double>(std::abs(NaiveDft(a, 64))), 1e-9);
  EXPECT_NEAR(freq_rec.FFields[2].Values[100],
              std::numbers::sqrt2 * static_cast<double>(std::abs(NaiveDft(b, 100))), 1e-9);
  EXPECT_LT(freq_rec.FFields[2].Values[64], 1e-9);
}

TEST(SpectrumTest, AveragesOnlyWhenTheFrequencyRecordAverages) {
  constexpr int kN = 1024;
  const TDataMeas loud = TimeRecord({Sines(kN, {{0.4, 64}})});
  const TDataMeas soft = TimeRecord({Sines(kN, {{0.2, 64}})});
  const double level_loud = std::numbers::sqrt2 * 0.4 * kN / 2;
  const double level_soft = std::numbers::sqrt2 * 0.2 * kN / 2;
  Analysis analysis;
  analysis.settings.fft_size = kN;
  analysis.settings.window = kRectangularWindow;

  // Asynchronous: the frequency record averages ("Mag") and counts.
  TDataMeas averaged;
  averaged.FAvgType = kAverageMag;
  averaged.FAvgTarget = 4;
  analysis.Convert(loud, averaged, 14, 4, true);
  analysis.Convert(soft, averaged, 14, 4, true);
  EXPECT_NEAR(averaged.FFields[1].Values[64], (level_loud + level_soft) / 2, 1e-8);
  EXPECT_EQ(averaged.FAvgCount, 2);

  // Coherent: the time record is the average, the frequency record just shows it.
  TDataMeas derived;
  derived.FAvgType = kAverageMag;
  derived.FAvgTarget = 4;
  derived.FAvgCount = 3;
  analysis.Convert(loud, derived, 4, 4, false);
  analysis.Convert(soft, derived, 4, 4, false);
  EXPECT_NEAR(derived.FFields[1].Values[64], level_soft, 1e-8);
  EXPECT_EQ(derived.FAvgCount, 3);
}

TEST(SpectrumHoldTest, MaxHoldKeepsTheHighestValuePerBinAndUncheckingRemovesIt) {
  constexpr int kN = 1024;
  const TDataMeas first = TimeRecord({Sines(kN, {{0.4, 64}})});
  const TDataMeas second = TimeRecord({Sines(kN, {{0.2, 64}, {0.3, 100}})});
  for (const bool max : {true, false}) {
    Analysis analysis;
    analysis.settings.fft_size = kN;
    analysis.settings.window = kRectangularWindow;
    analysis.settings.max_hold = max;
    analysis.settings.min_hold = !max;
    TDataMeas freq_rec;
    analysis.Convert(first, freq_rec, 14, 4, false);
    analysis.Convert(second, freq_rec, 14, 4, false);
    ASSERT_TRUE(HasHoldColumn(freq_rec));
    EXPECT_EQ(freq_rec.FFields[2].Name, "Max/Min Hold");
    EXPECT_EQ(freq_rec.FTraceB, 2);
    const std::vector<double>& now = freq_rec.FFields[1].Values;
    const std::vector<double>& hold = freq_rec.FFields[2].Values;
    EXPECT_NEAR(now[64], std::numbers::sqrt2 * 0.2 * kN / 2, 1e-8);
    if (max) {
      EXPECT_NEAR(hold[64], std::numbers::sqrt2 * 0.4 * kN / 2, 1e-8);
      EXPECT_NEAR(hold[100], std::numbers::sqrt2 * 0.3 * kN / 2, 1e-8);
    } else {
      EXPECT_NEAR(hold[64], std::numbers::sqrt2 * 0.2 * kN / 2, 1e-8);
      EXPECT_LT(hold[100], 1e-9);
    }

    analysis.settings.max_hold = analysis.settings.min_hold = false;
    analysis.Convert(first, freq_rec, 14, 4, false);
    EXPECT_FALSE(HasHoldColumn(freq_rec));
    EXPECT_EQ(freq_rec.FNumFields, 2);
    EXPECT_EQ(freq_rec.FTraceB, -1);
    EXPECT_EQ(freq_rec.FDataType, kSpectrum);
  }
}

TEST(SpectrumHoldTest, RestartDropsTheHeldValues) {
  constexpr int kN = 1024;
  Analysis analysis;
  analysis.settings.fft_size = kN;
  analysis.settings.window = kRectangularWindow;
  analysis.settings.max_hold = true;
  TDataMeas freq_rec;
  analysis.Convert(TimeRecord({Sines(kN, {{0.4, 64}})}), freq_rec, 14, 4, false);
  RestartSpectrumHold(freq_rec);
  EXPECT_FALSE(HasHoldColumn(freq_rec));
  analysis.Convert(TimeRecord({Sines(kN, {{0.2, 64}})}), freq_rec, 14, 4, false);
  EXPECT_NEAR(freq_rec.FFields[2].Values[64], std::numbers::sqrt2 * 0.2 * kN / 2, 1e-8);
}

TEST(HideTonesTest, BinsAroundEachToneTakeTheDbMeanOfTheNeighbours) {
  std::vector<double> x(100), y(100);
  for (int i = 0; i < 100; ++i) {
    x[static_cast<std::size_t>(i)] = 10.0 * i;
    y[static_cast<std::size_t>(i)] = 1.0 + 0.01 * i;
  }
  y[50] = 1000.0;  // the tone
  TDataMeas spectrum = fixtures::FrequencyRecord(kSpectrum, x, {y});
  const std::vector<double> tones = {500.0, 0.0};
  HideTones(spectrum, 1, tones, 50.0);  // ±25 Hz: bins 48..52 and 0..2
  const std::vector<double>& out = spectrum.FFields[1].Values;
  const double around_tone = std::sqrt(y[47] * y[53]);
  for (int i = 48; i <= 52; ++i) EXPECT_NEAR(out[static_cast<std::size_t>(i)], around_tone, 1e-12);
  // At the lower edge only the point above exists.
  for (int i = 0; i <= 2; ++i) EXPECT_NEAR(out[static_cast<std::size_t>(i)], y[3], 1e-12);
  for (int i : {3, 47, 53, 99})
    EXPECT_EQ(out[static_cast<std::size_t>(i)], y[static_cast<std::size_t>(i)]);
}

TEST(HideTonesTest, FixedToneStimuliHideTheChosenOutputsTones) {
  // A 1 kHz tone of output 1 over a weaker 3 kHz one of output 2; channel A hides output 1 only.
  constexpr int kN = 4800;  // not a power of two: the FFT uses 4096 points
  std::vector<double> x(kN);
  for (int i = 0; i < kN; ++i) {
    x[static_cast<std::size_t>(i)] = 0.5 * std::sin(2 * std::numbers::pi * 1000.0 * i / kRate) +
                                     0.01 * std::sin(2 * std::numbers::pi * 3000.0 * i / kRate);
  }
  Analysis analysis;
  analysis.settings.fft_size = 4096;
  analysis.settings.window = kBlackmanHarris4Window;
  analysis.settings.hide_tones[0] = {true, false};
  analysis.settings.hide_bandwidth_bins = 9;
  analysis.tones.p = {TSinePars{.Frequency = 1000.0}};
  analysis.tones.q = {TSinePars{.Frequency = 3000.0}};
  TDataMeas freq_rec;
  analysis.Convert(TimeRecord({x}), freq_rec, 7, 4, true);
  const std::vector<double>& f = freq_rec.FFields[0].Values;
  const std::vector<double>& mag = freq_rec.FFields[1].Values;
  const auto at = [&](double hz) {
    return mag[static_cast<std::size_t>(std::lower_bound(f.begin(), f.end(), hz) - f.begin())];
  };
  EXPECT_LT(at(1000.0), 1e-3 * at(3000.0));  // only leakage far out of the band remains
  EXPECT_GT(at(3000.0), 100 * at(2000.0));   // the other output's tone stays
}

TEST(RtaTest, WhiteNoiseBandsReadTheirShareOfThePower) {
  // Unit-variance white noise spreads σ² evenly over 0..fs/2: a band of width hi - lo holds
  // σ²·(hi - lo)/(fs/2), and reads its square root. Eight passes averaged ("Rms") bring the
  // scatter well within the tolerance.
  constexpr int kN = 65536;
  Analysis analysis;
  analysis.settings.fft_size = kN;
  analysis.settings.rta_resolution = 3;
  TDataMeas freq_rec;
  freq_rec.FAvgType = kAverageRms;
  freq_rec.FAvgTarget = 8;
  for (unsigned seed = 1; seed <= 8; ++seed) {
    analysis.Convert(TimeRecord({fixtures::Noise(kN + 1000, seed)}), freq_rec, 14, 6, true);
  }
  EXPECT_EQ(freq_rec.FDataType, kRtaBands);
  EXPECT_EQ(freq_rec.FAvgCount, 8);
  EXPECT_EQ(freq_rec.FNumFields, 2);
  const std::vector<double>& centres = freq_rec.FFields[0].Values;
  int checked = 0;
  for (std::size_t j = 0; j < centres.size(); ++j) {
    const double f = centres[j];
    if (f < 490.0 || f > 16500.0) continue;
    const double width = f * (std::pow(2.0, 1.0 / 6) - std::pow(2.0, -1.0 / 6));
    const double expected = std::sqrt(width / (kRate / 2.0));
    EXPECT_NEAR(freq_rec.FFields[1].Values[j] / expected, 1.0, 0.06) << f;
    ++checked;
  }
  EXPECT_EQ(checked, 16);
  EXPECT_EQ(FrequencyCaption(6, false), "RTA Spectrum");
}

TEST(RtaTest, NormalisedTwoChannelBandsReadTheChannelRatio) {
  constexpr int kN = 8192;
  const std::vector<double> b = fixtures::Noise(kN, 11);
  std::vector<double> a(b);
  for (double& v : a) v *= 0.7;
  Analysis analysis;
  analysis.settings.fft_size = kN;
  analysis.settings.normalize = true;
  TDataMeas freq_rec;
  freq_rec.FTraceA = 1;
  freq_rec.FTraceB = 4;
  analysis.Convert(TimeRecord({a, b}), freq_rec, 14, 7, true);
  EXPECT_EQ(freq_rec.FFields[1].Name, "RTA Freq Response");
  EXPECT_LE(freq_rec.FTraceB, 2);
  const std::vector<double>& centres = freq_rec.FFields[0].Values;
  for (std::size_t j = 0; j < centres.size(); ++j) {
    if (centres[j] > 100.0) {
      EXPECT_NEAR(freq_rec.FFields[1].Values[j], 0.7, 1e-9) << centres[j];
    }
  }
}

TEST(ResponseTest, OneChannelImpulseGivesItsResponseWithPhase) {
  // h = δ[i - s] + 0.5·δ[i - s - 1]: gated from s, H(ω) = 1 + 0.5·e^(-iω), and the phase
  // refers to the gate's first sample.
  constexpr int kN = 1024;
  for (const int s : {0, 10}) {
    std::vector<double> h(kN, 0.0);
    h[static_cast<std::size_t>(s)] = 1.0;
    h[static_cast<std::size_t>(s + 1)] = 0.5;
    TDataMeas time_rec = TimeRecord({h});
    time_rec.FWinStart = s;
    Analysis analysis;
    analysis.settings.fft_size = kN;
    analysis.settings.window = s == 0 ? kNoWindow : kRectangularWindow;
    TDataMeas freq_rec;
    analysis.Convert(time_rec, freq_rec, 4, 8, false);
    ASSERT_EQ(freq_rec.FNumPoints, kN / 2 + 1);
    EXPECT_EQ(freq_rec.FDataType, kFrequencyResponse);
    EXPECT_EQ(freq_rec.FNumFields, 3);
    EXPECT_EQ(freq_rec.FFields[2].Name, "Frequency Domain Ang[A]");
    EXPECT_TRUE(freq_rec.IsPhase(2));
    EXPECT_DOUBLE_EQ(freq_rec.FDelayA, static_cast<double>(s) / kRate);
    for (int k : {1, 37, 200, 511}) {
      const std::complex<double> expected =
          1.0 + 0.5 * std::polar(1.0, -2 * std::numbers::pi * k / kN);
      EXPECT_NEAR(freq_rec.FFields[1].Values[static_cast<std::size_t>(k)], std::abs(expected),
                  1e-12);
      EXPECT_NEAR(freq_rec.FFields[2].Values[static_cast<std::size_t>(k)],
                  std::arg(expected) * 180 / std::numbers::pi, 1e-9);
    }
  }
}

TEST(ResponseTest, TwoChannelsGiveTheRatioWithCoherence) {
  // A = 0.7·B: the ratio is 0.7 at 0° in every bin and the coherence 1, for the frequency
  // response of two channels and for the normalised two-channel spectrum, averaged or not.
  constexpr int kN = 4096;
  for (const int type : {8, 5}) {
    Analysis analysis;
    analysis.settings.fft_size = kN;
    analysis.settings.normalize = true;
    TDataMeas freq_rec;
    freq_rec.FAvgType = kAverageMag;
    freq_rec.FAvgTarget = 4;
    for (unsigned seed : {21u, 22u}) {
      const std::vector<double> b = fixtures::Noise(kN, seed);
      std::vector<double> a(b);
      for (double& v : a) v *= 0.7;
      analysis.Convert(TimeRecord({a, b}), freq_rec, 1, type, true);
    }
    EXPECT_EQ(freq_rec.FDataType, kFrequencyResponse) << type;
    ASSERT_EQ(freq_rec.FNumFields, 4);
    EXPECT_EQ(freq_rec.FFields[3].Name, "Coherence Function");
    EXPECT_EQ(freq_rec.FAvgCount, 2);
    for (std::size_t k = 1; k < static_cast<std::size_t>(freq_rec.FNumPoints); k += 97) {
      EXPECT_NEAR(freq_rec.FFields[1].Values[k], 0.7, 1e-9) << k;
      EXPECT_NEAR(freq_rec.FFields[2].Values[k], 0.0, 1e-7) << k;
      EXPECT_NEAR(freq_rec.FFields[3].Values[k], 1.0, 1e-9) << k;
    }
    EXPECT_EQ(FrequencyCaption(type, true), "Frequency Response");
  }
}

TEST(ResponseTest, TwoImpulseResponsesAreComparedWithinTheAnalysisWindow) {
  // Aligned impulse responses of a ReSync measurement: A = B ⊛ (1 + 0.5·z^-1) with B a click
  // at the converter delay, and a late disturbance in A outside the gate. Under a half window
  // whose flat part holds both clicks the ratio is exactly 1 + 0.5·e^(-iω).
  constexpr int kN = 4096;
  std::vector<double> a(kN, 0.0), b(kN, 0.0);
  b[56] = 1.0;
  a[56] = 1.0;
  a[57] = 0.5;
  a[3000] = 0.8;
  TDataMeas time_rec = TimeRecord({a, b});
  time_rec.FWinStart = 40;
  time_rec.FWinEnd = 400;
  Analysis analysis;
  analysis.settings.fft_size = kN;
  analysis.settings.window = WindowCode(2, true);  // half "Blackm-Harris4"
  TDataMeas freq_rec;
  analysis.Convert(time_rec, freq_rec, 1, 8, false);
  ASSERT_EQ(freq_rec.FNumFields, 4);
  const auto m = static_cast<double>(kN);
  for (std::size_t k = 1; k < static_cast<std::size_t>(freq_rec.FNumPoints); k += 89) {
    const std::complex<double> expected =
        1.0 + 0.5 * std::polar(1.0, -2 * std::numbers::pi * static_cast<double>(k) / m);
    EXPECT_NEAR(freq_rec.FFields[1].Values[k], std::abs(expected), 1e-9) << k;
    EXPECT_NEAR(freq_rec.FFields[2].Values[k], std::arg(expected) * 180 / std::numbers::pi, 1e-7)
        << k;
  }
}

TEST(LiveMonitorTest, TheImpulseOfTheChannelRatioSitsAtTheConverterDelay) {
  constexpr int kN = 4096;
  const std::vector<double> b = fixtures::Noise(kN, 31);
  std::vector<double> a(b);
  for (double& v : a) v *= 0.5;
  TDataMeas pass = TimeRecord({a, b});
  pass.FWindowType = kHannWindow;
  AnalysisContext context;
  context.ConverterDelay = 56;
  LiveMonitorImpulse(pass, context);
  ASSERT_EQ(pass.FNumFields, 1);
  ASSERT_EQ(pass.FNumPoints, kN);
  EXPECT_EQ(pass.FWindowType, kHannWindow);
  EXPECT_DOUBLE_EQ(pass.FStartTime, -56.0 / kRate);
  const std::vector<double>& h = pass.FFields[0].Values;
  for (int i = 0; i < kN; ++i) {
    EXPECT_NEAR(h[static_cast<std::size_t>(i)], i == 56 ? 0.5 : 0.0, 1e-9) << i;
  }
  EXPECT_DOUBLE_EQ(pass.FPeakTime[0], 0.0);

  // The monitor's frequency record is that impulse's response: flat at 0.5.
  Analysis analysis;
  analysis.settings.fft_size = kN;
  analysis.settings.window = kNoWindow;
  TDataMeas freq_rec;
  analysis.Convert(pass, freq_rec, 14, 11, true);
  for (std::size_t k = 1; k < static_cast<std::size_t>(freq_rec.FNumPoints); k += 101) {
    EXPECT_NEAR(freq_rec.FFields[1].Values[k], 0.5, 1e-9);
  }
  EXPECT_EQ(FrequencyCaption(11, false), "Freq Resp Monitor");
}

TEST(AnalysisWindowTest, FindEdgesRunsAfterThePassesTheRuleNames) {
  const struct {
    int stim, acq, channels, averages;
    bool runs;
  } cases[] = {
      {4, 0, 1, 5, true},  {4, 2, 1, 5, true},   {4, 8, 1, 5, false},  {4, 8, 1, 0, true},
      {1, 8, 2, 0, true},  {1, 8, 2, 3, false},  {1, 0, 2, 0, false},  {0, 3, 2, 4, true},
      {0, 8, 2, 0, true},  {0, 8, 2, 1, false},  {0, 13, 2, 0, false}, {0, 1, 2, 0, false},
      {17, 3, 1, 4, true}, {17, 3, 2, 0, false}, {14, 4, 1, 0, false}, {6, 8, 1, 0, false},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(FindEdgesAfterPass(c.stim, c.acq, c.channels, c.averages), c.runs)
        << c.stim << " " << c.acq << " " << c.channels << " " << c.averages;
  }
}

TEST(AnalysisWindowTest, StoredEdgesAreLimitedToTheRecord) {
  TDataMeas time_rec = TimeRecord({std::vector<double>(100, 0.0)});
  SetAnalysisWindow(time_rec, 10, 60, false);
  EXPECT_EQ(time_rec.FWinStart, 10);
  EXPECT_EQ(time_rec.FWinEnd, 60);
  SetAnalysisWindow(time_rec, 500, 900, false);
  EXPECT_EQ(time_rec.FWinStart, 98);
  EXPECT_EQ(time_rec.FWinEnd, 99);
  SetAnalysisWindow(time_rec, -5, 3000, false);
  EXPECT_EQ(time_rec.FWinStart, 0);
  EXPECT_EQ(time_rec.FWinEnd, 99);
  SetAnalysisWindow(time_rec, 10, 60, true);
  EXPECT_EQ(time_rec.FWinStart, 0);
  EXPECT_EQ(time_rec.FWinEnd, 99);
  EXPECT_EQ(time_rec.FWinEnd2, 99);
}

TEST(AnalysisWindowTest, FindWindowEdgesGatesAroundTheImpulse) {
  // A decaying impulse at sample 200 and a reflection at 800 after a quiet stretch: the gate
  // opens just before the impulse and closes where the reflection arrives.
  std::vector<double> h(2048, 0.0);
  for (int i = 0; i < 100; ++i)
    h[static_cast<std::size_t>(200 + i)] = std::exp(-i / 10.0) * (i % 2 ? -1 : 1);
  h[800] = 0.5;
  TDataMeas time_rec = TimeRecord({h});
  const WindowEdgesFound edges = FindAnalysisWindowEdges(time_rec);
  EXPECT_EQ(time_rec.FPeakTime[0], 200.0 / kRate);
  EXPECT_GE(edges.start, 190);
  EXPECT_LE(edges.start, 200);
  EXPECT_GT(edges.end, 250);
  EXPECT_LE(edges.end, 800);
  EXPECT_EQ(edges.start, time_rec.FWinStart);
  EXPECT_EQ(edges.end, time_rec.FWinEnd);
}

}  // namespace
}  // namespace vireon
