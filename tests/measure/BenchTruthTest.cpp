// Measurements of simulated benches through the controller, compared with what each bench's
// device under test does in closed form: filter responses, the time origin, tone and noise
// levels, and the noise floor of averaged impulses.

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <complex>
#include <cstdint>
#include <numbers>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "ControllerRig.h"
#include "record/Averaging.h"
#include "stimulus/ToneSet.h"

namespace vireon {
namespace {

using Complex = std::complex<long double>;

constexpr double kFs = ControllerRig::kRate;
constexpr std::int32_t kConverterDelay = 56;  // TimingSettings' default d
constexpr long double kPi = std::numbers::pi_v<long double>;
// Counts of a 24-bit full scale, the output gain 0 dB gives, and the uncalibrated input scales.
constexpr double kFullScale = 8388608.0;
constexpr double kGain0dB = 0.999;
constexpr double kMicrophoneScale = 1.5e-06;  // input 1: Pa per count
constexpr double kProbeScale = 1.0;           // input 2: V per count

// ---- The benches' filters in closed form, at the record rate ----

// Butterworth of any order by the bilinear transform prewarped at the cutoff: the analog
// prototype 1/∏(s − p_k), p_k = e^{iπ(2k+n−1)/2n}, at s = i·x (lowpass) or 1/(i·x) (highpass),
// x = tan(πf/fs)/tan(πfc/fs).
Complex Butterworth(bool highpass, int order, double fc, double f) {
  const long double x = std::tan(kPi * f / kFs) / std::tan(kPi * fc / kFs);
  const Complex s = highpass ? Complex(0, -1.0L / x) : Complex(0, x);
  Complex h = 1;
  for (int k = 1; k <= order; ++k) {
    h /= s - std::polar(1.0L, kPi * (2 * k + order - 1) / (2 * order));
  }
  return h;
}

// The audio-EQ-cookbook peaking biquad on the unit circle.
Complex Peak(double f0, double db, double q, double f) {
  const long double a = std::pow(10.0L, db / 40.0L);
  const long double w0 = 2 * kPi * f0 / kFs;
  const long double alpha = std::sin(w0) / (2 * q);
  const Complex z1 = std::polar(1.0L, -2 * kPi * f / kFs);  // z^-1
  const Complex num = (1 + alpha * a) - 2 * std::cos(w0) * z1 + (1 - alpha * a) * z1 * z1;
  const Complex den = (1 + alpha / a) - 2 * std::cos(w0) * z1 + (1 - alpha / a) * z1 * z1;
  return num / den;
}

struct FilterCase {
  const char* stages;  // the bench's Filter value
  Complex (*truth)(double f);
  // Allowed errors over 200 Hz .. 10 kHz. The MLS recovery's circular correlation is −1 off its
  // peak, so every recovered sample is low by H(0)·A/2^n; under the half window that constant
  // leaks about H(0)/(2πk) into bin k: 0.08 dB at 200 Hz for a response that passes DC. A
  // response without DC is recovered to rounding.
  double magnitude_db;
  double phase_deg;
};

const FilterCase kFilterCases[] = {
    {"lowpass 2 2000", [](double f) { return Butterworth(false, 2, 2000, f); }, 0.1, 0.5},
    {"highpass 3 150", [](double f) { return Butterworth(true, 3, 150, f); }, 1e-4, 1e-3},
    {"peak 1000 6 2", [](double f) { return Peak(1000, 6, 2, f); }, 0.1, 0.5},
    {"highpass 2 45; peak 2500 3 2; lowpass 4 12000",
     [](double f) {
       return Butterworth(true, 2, 45, f) * Peak(2500, 3, 2, f) * Butterworth(false, 4, 12000, f);
     },
     1e-4, 1e-3},
};

std::string BenchWithFilter(const char* stages) {
  return std::string("[Card]\nLatency=300\n[Input1]\nFilter=") + stages + "\n";
}

// ---- Running a measurement ----

const DataArray& Column(const TDataMeas& record, int column) {
  return record.FFields[static_cast<std::size_t>(column)].Values;
}

void Select(ControllerRig& rig, int stim_code, int acq_type) {
  rig.controller().SelectStimulus(stim_code);
  ASSERT_TRUE(rig.controller().SelectAcquisition(acq_type));
}

// Starts the selected measurement with `averages` passes and runs it until it stops by itself.
void MeasureAveraged(ControllerRig& rig, int averages) {
  MeasurementController& controller = rig.controller();
  controller.Acquisition().avg_on = true;
  controller.SetAvgTarget(averages);
  controller.Acquisition().auto_stop = AutoStopMode::kAvgs;
  controller.ClickStart();
  ASSERT_TRUE(controller.Running()) << (rig.messages.empty() ? "" : rig.messages.front());
  ASSERT_TRUE(rig.RunUntilStopped(60.0));
  ASSERT_FALSE(rig.controller().EngineOverran());
}

double Db(long double ratio) { return 20.0 * std::log10(static_cast<double>(ratio)); }

// Difference of two angles in degrees, into (−180, 180].
double AngleDifference(double a, double b) {
  double d = std::fmod(a - b, 360.0);
  if (d > 180.0) d -= 360.0;
  if (d <= -180.0) d += 360.0;
  return d;
}

// Index of the bin nearest to f in a record on a linear frequency axis.
std::size_t NearestBin(const TDataMeas& record, double f) {
  const DataArray& x = Column(record, 0);
  const auto it = std::lower_bound(x.begin(), x.end(), f);
  std::size_t k = static_cast<std::size_t>(it - x.begin());
  if (k > 0 && (k == x.size() || f - x[k - 1] < x[k] - f)) --k;
  return k;
}

struct ResponseErrors {
  double magnitude_db = 0.0;  // largest |error| of the magnitude
  double phase_deg = 0.0;     // largest |error| of the phase, modulo 360
  int bins = 0;
};

// Compares a magnitude/phase record (columns 1, 2) over 200 Hz .. 10 kHz with scale·truth(f),
// or, without a scale, with truth(f)/truth(1 kHz) against the record relative to its 1 kHz bin.
ResponseErrors CompareResponse(const TDataMeas& record, Complex (*truth)(double),
                               std::optional<double> scale) {
  ResponseErrors errors;
  const DataArray& x = Column(record, 0);
  const DataArray& magnitude = Column(record, 1);
  const DataArray& phase = Column(record, 2);
  const std::size_t reference = NearestBin(record, 1000.0);
  const long double measured_reference = scale ? 1.0L : magnitude[reference];
  const long double truth_reference = scale ? 1.0L / *scale : std::abs(truth(x[reference]));
  for (std::size_t k = 0; k < x.size(); ++k) {
    if (x[k] < 200.0 || x[k] > 10000.0) continue;
    const Complex h = truth(x[k]);
    const double magnitude_error =
        Db(magnitude[k] / measured_reference) - Db(std::abs(h) / truth_reference);
    const double phase_error =
        AngleDifference(phase[k], static_cast<double>(std::arg(h) * 180.0L / kPi));
    errors.magnitude_db = std::max(errors.magnitude_db, std::abs(magnitude_error));
    errors.phase_deg = std::max(errors.phase_deg, std::abs(phase_error));
    ++errors.bins;
  }
  return errors;
}

// ---- Frequency responses ----

TEST(BenchTruthTest, SynchronousMlsResponseFollowsTheBenchFilter) {
  for (const FilterCase& filter : kFilterCases) {
    SCOPED_TRACE(filter.stages);
    ControllerRig rig(BenchWithFilter(filter.stages));
    ASSERT_NO_FATAL_FAILURE(Select(rig, 4, 8));
    ASSERT_NO_FATAL_FAILURE(MeasureAveraged(rig, 1));
    const ResponseErrors errors = CompareResponse(rig.controller().FreqRec(), filter.truth, {});
    EXPECT_EQ(errors.bins, 836);
    EXPECT_LT(errors.magnitude_db, filter.magnitude_db);
    EXPECT_LT(errors.phase_deg, filter.phase_deg);
  }
}

// The impulse stimulus records the impulse response itself: its frequency response must follow
// the filter as the MLS one does (magnitude relative to 1 kHz; the phase carries the impulse's
// position in the period).
TEST(BenchTruthTest, ImpulseStimulusResponseFollowsTheBenchFilter) {
  for (const FilterCase& filter : kFilterCases) {
    SCOPED_TRACE(filter.stages);
    ControllerRig rig(BenchWithFilter(filter.stages));
    ASSERT_NO_FATAL_FAILURE(Select(rig, 3, 8));
    ASSERT_NO_FATAL_FAILURE(MeasureAveraged(rig, 1));
    const ResponseErrors errors = CompareResponse(rig.controller().FreqRec(), filter.truth, {});
    EXPECT_GT(errors.bins, 0);
    EXPECT_LT(errors.magnitude_db, std::max(filter.magnitude_db, 0.01));
  }
}

// ---- The time origin ----

TEST(BenchTruthTest, ImpulsePeakSitsAtTheInputsOwnDelayWhateverTheLatency) {
  struct Stimulus {
    int stim_code;
    int acq_type;
  };
  struct Timing {
    int latency;
    int delay;  // input 1 only
  };
  for (const Stimulus stimulus : {Stimulus{4, 2}, Stimulus{17, 3}}) {
    for (const Timing timing : {Timing{0, 0}, Timing{1029, 0}, Timing{300, 7}}) {
      SCOPED_TRACE(testing::Message() << "stimulus " << stimulus.stim_code << " latency "
                                      << timing.latency << " delay " << timing.delay);
      ControllerRig rig("[Card]\nLatency=" + std::to_string(timing.latency) +
                        "\n[Input1]\nDelay=" + std::to_string(timing.delay) + "\n");
      ASSERT_NO_FATAL_FAILURE(Select(rig, stimulus.stim_code, stimulus.acq_type));
      ASSERT_NO_FATAL_FAILURE(MeasureAveraged(rig, 1));
      const TDataMeas& impulse = rig.controller().TimeRec();
      const DataArray& h = Column(impulse, 0);
      const auto peak =
          std::max_element(h.begin(), h.end(),
                           [](double l, double r) { return std::abs(l) < std::abs(r); }) -
          h.begin();
      EXPECT_EQ(impulse.FStartTime, -kConverterDelay / kFs);
      EXPECT_EQ(peak, kConverterDelay + timing.delay);
      EXPECT_NEAR(impulse.FStartTime + static_cast<double>(peak) / kFs, timing.delay / kFs, 1e-15);
    }
  }
}

// ---- Levels ----

constexpr std::string_view kWire = "[Card]\nLatency=300\n";

// A sine on bin k of the n-point transform reads, in the spectrum, the windowed DFT sum times
// √2: A/2 times the window's sum. The Blackman-Harris window (a0 = 0.355768, gain factor
// 2.8109) over the gate of n samples (n − 1 intervals) is zero at its first sample and sums to
// 2.8109·a0·(n − 1).
TEST(BenchTruthTest, ToneSpectrumPeaksAtTheToneWithTheLevelTheChainGives) {
  constexpr std::int32_t kFft = 4096;
  constexpr int kBin = 88;
  constexpr double kToneHz = kBin * kFs / kFft;  // 1031.25 Hz
  constexpr double kAmplitude = 0.5;             // of full scale
  const double amplitude_pa = kAmplitude * kGain0dB * kFullScale * kMicrophoneScale;
  const double window_sum = 2.8109 * 0.355768 * (kFft - 1);
  const double expected = amplitude_pa / 2.0 * window_sum * std::numbers::sqrt2;
  for (const int stim_code : {6, 7}) {  // synchronous and one-channel asynchronous
    SCOPED_TRACE(stim_code);
    ControllerRig rig(kWire);
    MeasurementController& controller = rig.controller();
    ToneLists tones;
    AddComponent(tones.p, ToneKind::kSine, 0.5, 0.0, kAmplitude, kToneHz, ControllerRig::kRate);
    AddComponent(tones.q, ToneKind::kSine, 0.5, 0.0, kAmplitude, kToneHz, ControllerRig::kRate);
    controller.SetToneLists(tones);
    ASSERT_NO_FATAL_FAILURE(Select(rig, stim_code, 4));
    controller.SetFftSize(kFft);
    ASSERT_NO_FATAL_FAILURE(MeasureAveraged(rig, 1));
    const TDataMeas& spectrum = controller.FreqRec();
    const DataArray& magnitude = Column(spectrum, 1);
    const auto peak = static_cast<std::size_t>(
        std::max_element(magnitude.begin(), magnitude.end()) - magnitude.begin());
    EXPECT_EQ(Column(spectrum, 0)[peak], kToneHz);
    EXPECT_NEAR(magnitude[peak] / expected, 1.0, 1e-4);
  }
}

// White noise has equal power per hertz, so a 1/N-octave band, whose width grows with its
// centre, holds σ²·width/(fs/2): 3 dB more each octave. The generator's noise is uniform in
// ±0.5 times 0.3 of full scale at 24 bits (σ = 0.3/√12). A band of K bins averaged (power) over
// M passes reads its power within a relative spread of about √(ENBW/(K·M)) (ENBW: 2 bins for
// the Blackman-Harris window); each band is held to five times that.
TEST(BenchTruthTest, WhiteNoiseBandsRiseThreeDbPerOctaveAtTheGeneratorsLevel) {
  constexpr std::int32_t kFft = 16384;
  constexpr int kPasses = 8;
  constexpr int kBandsPerOctave = 3;
  const double sigma_pa = 0.3 / std::sqrt(12.0) * kGain0dB * kFullScale * kMicrophoneScale;
  ControllerRig rig(kWire);
  MeasurementController& controller = rig.controller();
  ASSERT_NO_FATAL_FAILURE(Select(rig, 14, 6));
  controller.SetFftSize(kFft);
  controller.Acquisition().rta_resolution = kBandsPerOctave;
  controller.Acquisition().avg_type = kAverageRms;
  ASSERT_NO_FATAL_FAILURE(MeasureAveraged(rig, kPasses));
  const TDataMeas& bands = controller.FreqRec();
  ASSERT_EQ(bands.FAvgCount, kPasses);
  const double half_width = std::pow(2.0, 0.5 / kBandsPerOctave);
  int checked = 0;
  for (std::size_t j = 0; j < Column(bands, 0).size(); ++j) {
    const double centre = Column(bands, 0)[j];
    if (centre < 240.0 || centre > 17000.0) continue;
    const double width = centre * (half_width - 1.0 / half_width);
    const double expected = sigma_pa * std::sqrt(width / (kFs / 2));
    const double bins = width / (kFs / kFft);
    const double tolerance_db = 5.0 * 4.343 * std::sqrt(2.0 / (bins * kPasses));
    EXPECT_NEAR(Db(Column(bands, 1)[j] / expected), 0.0, tolerance_db) << centre << " Hz";
    ++checked;
  }
  EXPECT_EQ(checked, 19) << "the 1/3-octave bands 250 Hz .. 16 kHz";
}

// ---- The noise floor of averaged impulses ----

constexpr std::string_view kNoisyWire = "[Card]\nLatency=300\n[Input1]\nNoise=-60\n";
constexpr double kNoiseOfFullScale = 1e-3;  // -60 dB
constexpr int kMlsPoints = 4096;            // the default MLS length: period 4095

// The spread of the impulse's tail (3500 samples of the period, far from the impulse, less their
// mean: the recovery's constant offset is no noise), relative to the impulse.
double TailSpread(const TDataMeas& time_rec) {
  const DataArray& h = Column(time_rec, 0);
  const auto first = h.begin() + 500;
  const auto last = h.begin() + 4000;
  const double count = static_cast<double>(last - first);
  double mean = 0.0;
  for (auto it = first; it != last; ++it) mean += *it;
  mean /= count;
  double sum = 0.0;
  for (auto it = first; it != last; ++it) sum += (*it - mean) * (*it - mean);
  return std::sqrt(sum / count) / h[kConverterDelay];
}

// The recovery sums the period's N − 1 samples with signs and divides by N, so noise of RMS σ
// keeps σ·√(N − 1)/N per sample against the MLS level A = 0.3·0.999 of full scale.
double SinglePassSpread() {
  return kNoiseOfFullScale / (0.3 * kGain0dB) * std::sqrt(kMlsPoints - 1.0) / kMlsPoints;
}

// Noise added after the device is uncorrelated from pass to pass, so the coherent average of 16
// impulses keeps a quarter of it. The spread of 3500 samples is estimated to about 1/√7000 = 1.2 %,
// a ratio of two such to 1.7 %; 6 % and 10 % are more than five times these.
TEST(BenchTruthTest, SixteenAveragesLowerTheImpulseNoiseFloorFourfold) {
  const auto measure = [](int averages) {
    ControllerRig rig(kNoisyWire);
    Select(rig, 4, 2);
    MeasureAveraged(rig, averages);
    return TailSpread(rig.controller().TimeRec());
  };
  const double single = measure(1);
  const double sixteen = measure(16);
  EXPECT_NEAR(single / SinglePassSpread(), 1.0, 0.06);
  EXPECT_NEAR(single / sixteen, 4.0, 0.4);
}

// With averaging off every pass replaces the time record: after several passes its noise is
// that of one pass (an exponential average weighing each pass 1/2 would hold 1/√3 of it).
TEST(BenchTruthTest, WithoutAveragingTheTimeRecordHoldsTheLastPassOnly) {
  ControllerRig rig(kNoisyWire);
  MeasurementController& controller = rig.controller();
  ASSERT_NO_FATAL_FAILURE(Select(rig, 4, 2));
  controller.Acquisition().avg_on = false;
  controller.ClickStart();
  ASSERT_TRUE(controller.Running());
  EXPECT_FALSE(rig.RunUntilStopped(3.0)) << "without averaging it runs on";
  controller.ClickStop();
  EXPECT_GE(std::count(rig.events.begin(), rig.events.end(), "OnAcqOnceDone"), 5);
  EXPECT_NEAR(TailSpread(controller.TimeRec()) / SinglePassSpread(), 1.0, 0.06);
}

// ---- ReSync: input 1 through the filter over input 2 as a wire ----

// The A/B response is the bench filter times the ratio of the inputs' scales (microphone over
// probe); the common latency cancels, so its phase is the filter's. Both channels' MLS impulses
// carry the recovery's constant offset (see kFilterCases), hence the 0.1 dB and 0.5°.
void ExpectResyncResponseIsTheFilter(int stim_code) {
  const FilterCase& filter = kFilterCases[0];
  ControllerRig rig(BenchWithFilter(filter.stages));
  ASSERT_NO_FATAL_FAILURE(Select(rig, stim_code, 8));
  ASSERT_NO_FATAL_FAILURE(MeasureAveraged(rig, 1));
  const ResponseErrors errors =
      CompareResponse(rig.controller().FreqRec(), filter.truth, kMicrophoneScale / kProbeScale);
  EXPECT_GT(errors.bins, 800);
  EXPECT_LT(errors.magnitude_db, 0.1);
  EXPECT_LT(errors.phase_deg, 0.5);
}

TEST(BenchTruthTest, ChirpResyncResponseIsTheInputFilterOverTheWire) {
  ExpectResyncResponseIsTheFilter(0);
}

TEST(BenchTruthTest, MlsResyncResponseIsTheInputFilterOverTheWire) {
  ExpectResyncResponseIsTheFilter(1);
}

}  // namespace
}  // namespace vireon
