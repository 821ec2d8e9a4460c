#include <gtest/gtest.h>

#include <cmath>
#include <complex>
#include <numbers>
#include <optional>
#include <vector>

#include "config/ConfigWalk.h"
#include "config/IniFile.h"
#include "measure/ComponentTracking.h"
#include "measure/SteppedToneAnalysis.h"
#include "record/DataTypes.h"
#include "record/FftWindows.h"
#include "stimulus/SteppedTones.h"

namespace vireon {
namespace {

constexpr double kPi = std::numbers::pi;
constexpr int kRate = 48000;

struct Partial {
  double frequency;
  double amplitude;
  double phase_deg;
};

// Σ a·cos(2π f i / fs + φ) over n samples, i counted from the record's first sample.
std::vector<double> Tones(const std::vector<Partial>& partials, std::size_t n) {
  std::vector<double> x(n, 0.0);
  for (std::size_t i = 0; i < n; ++i) {
    for (const Partial& p : partials) {
      x[i] += p.amplitude * std::cos(2.0 * kPi * p.frequency * static_cast<double>(i) / kRate +
                                     p.phase_deg * kPi / 180.0);
    }
  }
  return x;
}

TDataMeas Pass(const std::vector<std::vector<double>>& channels, std::int32_t win_start,
               std::int32_t win_end) {
  TDataMeas record;
  record.FDataType = kTimeDomain;
  record.FSampleRate = kRate;
  record.FNumPoints = static_cast<std::int32_t>(channels.front().size());
  record.FNumFields = static_cast<std::int32_t>(channels.size());
  record.AllocColumns();
  for (std::size_t c = 0; c < channels.size(); ++c) {
    record.FFields[c].Values = channels[c];
    record.FFields[c].InputKind = 4;  // a line input: no microphone correction
  }
  record.FWinStart = win_start;
  record.FWinEnd = win_end;
  return record;
}

ToneLists Lists(const std::vector<double>& p, const std::vector<double>& q) {
  ToneLists lists;
  for (const double f : p) AddComponent(lists.p, ToneKind::kSine, 0.5, kPi / 2, 1.0, f, kRate);
  for (const double f : q) AddComponent(lists.q, ToneKind::kSine, 0.5, kPi / 2, 0.5, f, kRate);
  return lists;
}

const DataArray& Column(const TDataMeas& record, int column) {
  return record.FFields[static_cast<std::size_t>(column)].Values;
}

// A sine of amplitude a reads a/√2 (the window's coherent gain is 1 and √2/n turns the DFT sum
// n·a/2 into a/√2) with its phase against sample 0, wherever the window lies.
TEST(SteppedToneTest, MeasureToneReadsRmsAndPhaseOfASine) {
  struct Case {
    std::uint8_t window;
    double frequency;
    double tolerance;
  };
  // Rectangular on a whole number of cycles (85 over 4096 samples) is exact; the tapered
  // windows are not on a bin and carry their gain factors' rounding (about 3e-5).
  const Case cases[] = {{kRectangularWindow, 48000.0 * 85 / 4096, 1e-9},
                        {kNoWindow, 48000.0 * 85 / 4096, 1e-9},
                        {kBlackmanHarris4Window, 1000.0, 2e-4},
                        {kHannWindow, 1000.0, 2e-4}};
  for (const Case& c : cases) {
    SCOPED_TRACE(static_cast<int>(c.window));
    const TDataMeas pass = Pass({Tones({{c.frequency, 0.8, -120.0}}, 8192)}, 333, 333 + 4095);
    const ToneReading reading = MeasureTone(pass, 0, c.frequency, c.window, AnalysisContext{});
    EXPECT_NEAR(reading.magnitude, 0.8 / std::sqrt(2.0), 0.8 * c.tolerance);
    EXPECT_NEAR(reading.phase_deg, -120.0, 0.01);
  }
}

TEST(SteppedToneTest, MeasureToneGivesNothingOutsideItsRange) {
  TDataMeas pass = Pass({Tones({{kRate / 2.0, 1.0, 0.0}, {1200.0, 1.0, 0.0}}, 4096)}, 0, 4095);
  const AnalysisContext context;
  EXPECT_EQ(MeasureTone(pass, 0, kRate / 2.0, kHannWindow, context).magnitude, 0.0);
  EXPECT_EQ(MeasureTone(pass, 0, 30000.0, kHannWindow, context).magnitude, 0.0);
  EXPECT_EQ(MeasureTone(pass, 1, 1200.0, kHannWindow, context).magnitude, 0.0);  // no column B
  pass.FWinStart = pass.FWinEnd = 100;  // a one-sample window
  EXPECT_EQ(MeasureTone(pass, 0, 1200.0, kHannWindow, context).magnitude, 0.0);
  // A window reaching past the record is cut to it: 4000 samples, 100 cycles.
  pass.FWinStart = 96;
  pass.FWinEnd = 1000000;
  EXPECT_NEAR(MeasureTone(pass, 0, 1200.0, kRectangularWindow, context).magnitude, std::sqrt(0.5),
              1e-9);
}

TEST(SteppedToneTest, MicrophoneColumnsAreCorrectedAtTheToneFrequency) {
  const double f = 48000.0 * 85 / 4096;
  TDataMeas pass = Pass({Tones({{f, 1.0, 10.0}}, 4096), Tones({{f, 1.0, 10.0}}, 4096)}, 0, 4095);
  pass.FFields[0].InputKind = 1;  // microphone 2
  pass.FFields[1].InputKind = 2;  // a probe
  AnalysisContext context;
  std::optional<double> asked;
  context.Correction = [&asked](std::uint8_t /*kind*/,
                                double frequency) -> std::optional<std::complex<double>> {
    asked = frequency;
    return std::polar(2.0, kPi / 4);  // ×2 and +45° at every frequency, for every kind
  };
  const ToneReading mic = MeasureTone(pass, 0, f, kRectangularWindow, context);
  EXPECT_NEAR(mic.magnitude, 2.0 * std::sqrt(0.5), 1e-9);
  EXPECT_NEAR(mic.phase_deg, 55.0, 1e-6);
  EXPECT_EQ(asked, f);
  const ToneReading probe = MeasureTone(pass, 1, f, kRectangularWindow, context);
  EXPECT_NEAR(probe.magnitude, std::sqrt(0.5), 1e-9);
  EXPECT_NEAR(probe.phase_deg, 10.0, 1e-6);
}

// The stepped tone list 20 Hz .. 20 kHz in 4 logarithmic steps, played twice, out of order the
// second time: each frequency is one point, sorted, with its own values.
TEST(SteppedToneTest, ASteppedListMeasuredTwiceInsertsEachFrequencyOnce) {
  SteppedToneSettings steps;
  steps.steps = 4;
  TDataMeas freq_rec;
  freq_rec.FNumFields = 3;
  freq_rec.FNumPoints = 7;  // left over from another measurement
  freq_rec.AllocColumns();
  ResetSteppedResult(freq_rec, 8);
  EXPECT_EQ(freq_rec.FNumPoints, 0);
  EXPECT_EQ(freq_rec.FStartTime, 1e12);

  const AnalysisContext context;
  for (const int k : {0, 1, 2, 3, 2, 0, 3, 1}) {
    ToneLists tones;
    ASSERT_TRUE(NextStep(steps, k, false, kRate, kRate, tones));
    const double f = tones.p.front().Frequency;
    // One second at 48 kHz holds a whole number of cycles of every step.
    const TDataMeas pass =
        Pass({Tones({{f, 0.5, -60.0 + k}}, kRate), Tones({{f, 1.0, 15.0}}, kRate)}, 0, kRate - 1);
    StoreSteppedTone(freq_rec, pass, 8, 10, tones, ComponentTrackSettings{}, kRectangularWindow,
                     context);
  }
  ASSERT_EQ(freq_rec.FNumPoints, 4);
  ASSERT_EQ(freq_rec.FNumFields, 5);
  const std::vector<double> expected_x = {20.0, 200.0, 2000.0, 20000.0};
  for (int i = 0; i < 4; ++i) {
    SCOPED_TRACE(i);
    EXPECT_NEAR(Column(freq_rec, 0)[i], expected_x[i], 1e-9 * expected_x[i]);
    EXPECT_NEAR(Column(freq_rec, 1)[i], 0.5 * std::sqrt(0.5), 1e-9);
    EXPECT_NEAR(Column(freq_rec, 2)[i], -60.0 + i, 1e-6);
    EXPECT_NEAR(Column(freq_rec, 3)[i], std::sqrt(0.5), 1e-9);
    EXPECT_NEAR(Column(freq_rec, 4)[i], 15.0, 1e-6);
  }
  EXPECT_NEAR(freq_rec.FStartTime, 20.0, 1e-9);
  EXPECT_NEAR(freq_rec.FEndX, 20000.0, 1e-6);
  EXPECT_EQ(freq_rec.FDataType, kFrequencyResponse);
  EXPECT_EQ(freq_rec.FTitle, "Frequency Response Data");
  EXPECT_EQ(freq_rec.FFields[2].Name, "Frequency Domain Ang[A]");
  EXPECT_EQ(freq_rec.FFields[2].Units, "\xB0");
  EXPECT_EQ(freq_rec.FFields[3].Name, "Frequency Domain Mag[B]");
}

TEST(SteppedToneTest, MagnitudesOfBothChannelsAndStartStateByType) {
  const double f = 48000.0 * 85 / 4096;
  const TDataMeas pass =
      Pass({Tones({{f, 0.2, 0.0}}, 4096), Tones({{f, 0.6, 0.0}}, 4096)}, 0, 4095);
  TDataMeas freq_rec;
  freq_rec.FTitleLocked = 1;
  freq_rec.FTitle = "Mine";
  ResetSteppedResult(freq_rec, 10);
  StoreSteppedTone(freq_rec, pass, 10, 10, Lists({f}, {}), ComponentTrackSettings{},
                   kRectangularWindow, AnalysisContext{});
  ASSERT_EQ(freq_rec.FNumPoints, 1);
  EXPECT_EQ(freq_rec.FNumFields, 3);
  EXPECT_NEAR(Column(freq_rec, 1)[0], 0.2 * std::sqrt(0.5), 1e-9);
  EXPECT_NEAR(Column(freq_rec, 2)[0], 0.6 * std::sqrt(0.5), 1e-9);
  EXPECT_EQ(freq_rec.FFields[2].Name, "Frequency Domain Mag[B]");
  EXPECT_EQ(freq_rec.FTitle, "Mine");

  // A tone switched off by the stepping (frequency 0) adds no point; types that are not
  // stepped neither reset nor store.
  StoreSteppedTone(freq_rec, pass, 10, 10, Lists({0.0}, {}), ComponentTrackSettings{},
                   kRectangularWindow, AnalysisContext{});
  StoreSteppedTone(freq_rec, pass, 13, 10, Lists({2 * f}, {}), ComponentTrackSettings{},
                   kRectangularWindow, AnalysisContext{});
  ResetSteppedResult(freq_rec, 4);
  EXPECT_EQ(freq_rec.FNumPoints, 1);
}

TEST(SteppedToneTest, ComponentFrequencyCombinesClampedTones) {
  const ToneLists tones = Lists({1000.0, 1500.0}, {700.0});
  struct Case {
    ComponentCurve curve;
    double expected;
  };
  const Case cases[] = {
      {{.mult_a = 2, .mult_b = -1, .tone_a = 1, .tone_b = 2}, 500.0},  // 2·F1 − F2
      {{.mult_a = 2, .mult_b = -1, .tone_a = 1, .tone_b = 7}, 500.0},  // tone 7 → the last
      {{.mult_a = -1, .mult_b = 0, .tone_a = 0}, 1000.0},              // |−F1|, tone 0 → 1
      {{.mult_a = 2, .mult_b = -1, .tone_a = 1, .tone_b = 5, .channel_b = 2}, 1300.0},
      {{.mult_a = 1, .mult_b = 1, .tone_a = 2, .tone_b = 1, .channel_a = 1, .channel_b = 1},
       2500.0},
  };
  for (const Case& c : cases) EXPECT_DOUBLE_EQ(ComponentFrequency(c.curve, tones), c.expected);
  EXPECT_EQ(ComponentFrequency({.mult_a = 1, .mult_b = 1, .channel_a = 2, .channel_b = 2},
                               Lists({1000.0}, {})),
            0.0);
}

TEST(SteppedToneTest, TotalHarmonicDistortionOfKnownHarmonics) {
  const TDataMeas pass = Pass(
      {Tones({{1000.0, 1.0, 0.0}, {2000.0, 0.1, 40.0}, {3000.0, 0.05, -70.0}}, 9600)}, 0, 9599);
  const AnalysisContext context;
  EXPECT_NEAR(TotalHarmonicDistortion(pass, 0, 1000.0, 5, kBlackmanHarris4Window, context),
              std::sqrt(0.1 * 0.1 + 0.05 * 0.05), 1e-5);  // 0.1118
  EXPECT_NEAR(TotalHarmonicDistortion(pass, 0, 1000.0, 2, kBlackmanHarris4Window, context), 0.1,
              1e-5);
  // Harmonics from 0.499·fs up are left out: the third of 7990 Hz lies at 23970 Hz.
  const TDataMeas high =
      Pass({Tones({{7990.0, 1.0, 0.0}, {15980.0, 0.2, 0.0}, {23970.0, 0.5, 0.0}}, 9600)}, 0, 9599);
  EXPECT_NEAR(TotalHarmonicDistortion(high, 0, 7990.0, 10, kRectangularWindow, context), 0.2, 1e-9);
}

// Two-tone intermodulation on channel A, a louder copy on channel B; the domain is tone 1 of
// output 2 only for the two-channel stepped code.
TEST(SteppedToneTest, ComponentTrackingStoresEachCurve) {
  const ToneLists tones = Lists({1000.0, 1500.0}, {3000.0});
  const std::vector<Partial> partials = {{1000.0, 1.0, 0.0},
                                         {1500.0, 0.5, 0.0},
                                         {500.0, 0.02, 0.0},
                                         {2000.0, 0.1, 0.0},
                                         {3000.0, 0.05, 0.0}};
  std::vector<Partial> louder = partials;
  for (Partial& p : louder) p.amplitude *= 3.0;
  const TDataMeas pass = Pass({Tones(partials, 9600), Tones(louder, 9600)}, 0, 9599);
  ComponentTrackSettings settings;
  settings.curve1 = {.mult_a = 2, .mult_b = -1, .tone_a = 1, .tone_b = 2};  // 2·F1 − F2 = 500
  // THD of F1 against the magnitude at F(B) = tone 2 (1500 Hz, amplitude 0.5).
  settings.curve2 = {
      .mult_a = 1, .mult_b = 0, .tone_b = 2, .reference = ComponentReference::kB, .thd = true};
  settings.domain_channel = 2;
  const AnalysisContext context;
  const double thd_over_ref = std::sqrt(0.1 * 0.1 + 0.05 * 0.05) / 0.5;

  struct Case {
    int acq_type;
    int stim_code;
    double x;
    double curve1;
  };
  for (const Case& c : {Case{14, 10, 1000.0, 0.02}, Case{15, 11, 3000.0, 0.02}}) {
    SCOPED_TRACE(c.acq_type);
    TDataMeas freq_rec;
    ResetSteppedResult(freq_rec, c.acq_type);
    StoreSteppedTone(freq_rec, pass, c.acq_type, c.stim_code, tones, settings,
                     kBlackmanHarris4Window, context);
    ASSERT_EQ(freq_rec.FNumPoints, 1);
    EXPECT_EQ(freq_rec.FDataType, kComponentTrack);
    EXPECT_EQ(freq_rec.FTitle, "Frequency Component Tracked Data");
    EXPECT_DOUBLE_EQ(Column(freq_rec, 0)[0], c.x);
    EXPECT_NEAR(Column(freq_rec, 1)[0], c.curve1 * std::sqrt(0.5), 2e-4 * c.curve1);
    EXPECT_EQ(freq_rec.FFields[1].Name, "Frequency Comp[A]");
    // The distortion ratio of curve 2 is the same on either channel.
    EXPECT_NEAR(Column(freq_rec, 2)[0], thd_over_ref, 2e-4 * thd_over_ref);
    EXPECT_EQ(freq_rec.FFields[2].Name, "Total Harmonic Distortion[B]/Ref");
    EXPECT_EQ(freq_rec.FFields[2].Units, "dB");
  }

  // Channel B is three times louder: curve 2 of type 15 reads it, curve 1 stays on A. A level
  // domain puts the tone's level on x.
  settings.curve2 = {.mult_a = 2, .mult_b = 0};
  settings.domain_is_frequency = false;
  TDataMeas freq_rec;
  ResetSteppedResult(freq_rec, 15);
  StoreSteppedTone(freq_rec, pass, 15, 10, tones, settings, kBlackmanHarris4Window, context);
  EXPECT_DOUBLE_EQ(Column(freq_rec, 0)[0], 1.0);  // level of tone 1 of output 1
  EXPECT_NEAR(Column(freq_rec, 1)[0], 0.02 * std::sqrt(0.5), 2e-4 * 0.02);
  EXPECT_NEAR(Column(freq_rec, 2)[0], 0.3 * std::sqrt(0.5), 2e-4 * 0.3);
  EXPECT_EQ(freq_rec.FFields[2].Name, "Frequency Comp[B]");
}

TEST(SteppedToneTest, ComponentTrackingSettingsRoundTripThroughTheConfiguration) {
  ComponentTrackSettings written;
  written.curve1 = {-3, 2, 4, 1, 2, 1, ComponentReference::kB, true};
  written.curve2 = {1, -1, 1, 2, 1, 2, ComponentReference::kA, false};
  written.max_harmonic = 9;
  written.domain_channel = 2;
  written.domain_is_frequency = false;
  ConfigWalk writer(ConfigFile::kSoftware);
  BindComponentTracking(writer.Bindings(), written);
  IniFile ini;
  writer.Walk(ini, WalkDirection::kSave);
  EXPECT_EQ(ini.RawValue("ComponentTracking", "StepFField1MultA"), "-3");
  EXPECT_EQ(ini.RawValue("ComponentTracking", "StepFField2OChanB"), "2");
  EXPECT_EQ(ini.RawValue("ComponentTracking", "StepFField1Ref"), "1");

  ComponentTrackSettings read;
  ConfigWalk reader(ConfigFile::kSoftware);
  BindComponentTracking(reader.Bindings(), read);
  reader.Walk(ini, WalkDirection::kRead);
  const auto same_curve = [](const ComponentCurve& a, const ComponentCurve& b) {
    return a.mult_a == b.mult_a && a.mult_b == b.mult_b && a.tone_a == b.tone_a &&
           a.tone_b == b.tone_b && a.channel_a == b.channel_a && a.channel_b == b.channel_b &&
           a.reference == b.reference && a.thd == b.thd;
  };
  EXPECT_TRUE(same_curve(read.curve1, written.curve1));
  EXPECT_TRUE(same_curve(read.curve2, written.curve2));
  EXPECT_EQ(read.max_harmonic, 9);
  EXPECT_EQ(read.domain_channel, 2);
  EXPECT_FALSE(read.domain_is_frequency);

  // Values beyond the limits are held to them.
  IniFile wild = IniFile::FromText(
      "[ComponentTracking]\r\nStepFField1MultA=500\r\nStepFField1ToneB=0\r\n"
      "StepFField2OChanA=3\r\nStepFField2Ref=7\r\nMaxHarmonic=1\r\n");
  reader.Walk(wild, WalkDirection::kRead);
  EXPECT_EQ(read.curve1.mult_a, 100);
  EXPECT_EQ(read.curve1.tone_b, 1);
  EXPECT_EQ(read.curve2.channel_a, 2);
  EXPECT_EQ(read.curve2.reference, ComponentReference::kNone);
  EXPECT_EQ(read.max_harmonic, 2);
}

}  // namespace
}  // namespace vireon
