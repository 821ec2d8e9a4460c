#include <gtest/gtest.h>

#include <cmath>
#include <complex>
#include <numbers>

#include "StimulusFixtures.h"
#include "stimulus/Envelope.h"
#include "stimulus/MlsSequence.h"
#include "stimulus/SamplePacking.h"
#include "stimulus/ToneOscillator.h"
#include "stimulus/WaveletBurst.h"

namespace vireon {
namespace {

constexpr double kPi = std::numbers::pi;

// 16-bit MLS alternates between +A and the complement -A - 1; 24-bit between +A and -A; the signs
// follow the register's bits, reversed by the polarity flag.
TEST(MlsGeneratorTest, LevelsFollowTheRegisterBits) {
  struct Case {
    int bits;
    bool inverted;
  };
  for (const Case c : {Case{16, false}, Case{16, true}, Case{24, false}, Case{24, true}}) {
    StimulusSelection selection = Selection(1, c.bits);
    selection.polarity_inverted = c.inverted;
    GeneratedFrames run;
    ASSERT_TRUE(run.Start(selection));
    const std::vector<Frame> frames = run.Fill(5000, c.bits);
    MlsRegister reference = MlsRegister::ForOrder(12);
    reference.SeedMLS();
    const double a1 = std::nearbyint(0.5 * 0.3 * FullScale(c.bits));
    const double a2 = std::nearbyint(0.25 * 0.3 * FullScale(c.bits));
    const double low = c.bits == 16 ? 1.0 : 0.0;
    for (const Frame& frame : frames) {
      const bool high = (reference.NextMLSBit() == 1) != c.inverted;
      ASSERT_EQ(frame.left, high ? a1 : -a1 - low);
      ASSERT_EQ(frame.right, high ? a2 : -a2 - low);
    }
  }
}

TEST(MlsGeneratorTest, OrderComesFromTheSequenceLength) {
  StimulusSettings settings;
  settings.mls_length = 5000;
  GeneratedFrames run;
  ASSERT_TRUE(run.Start(Selection(4), settings));
  EXPECT_EQ(run.generator.MlsOrder(), 13);
  for (const int length : {0, -5000, 10000000}) {
    StimulusSettings odd;
    odd.mls_length = length;
    GeneratedFrames limited;
    ASSERT_TRUE(limited.Start(Selection(1), odd));
    EXPECT_EQ(limited.generator.MlsOrder(), length > 0 ? 18 : 12) << length;
  }
  // A new period re-seeds the register: the synchronous engine plays the same sequence each time.
  const std::vector<Frame> first = run.Fill(300, 24);
  run.generator.ResetPeriod();
  EXPECT_EQ(run.Fill(300, 24), first);
}

// White noise is the 32-bit congruential sequence seeded with 2222 once per program run; at the
// same gain it peaks at 0.5 of full scale at 16 bits and 0.15 at 24 bits.
TEST(NoiseGeneratorTest, SequenceSeedAndPeaks) {
  for (const int bits : {16, 24}) {
    GeneratedFrames run;
    StimulusSelection selection = Selection(14, bits);
    selection.gain1 = 1.0;
    ASSERT_TRUE(run.Start(selection));
    std::uint32_t s = 2222;
    double peak = 0.0;
    const double level = bits == 16 ? 1.0 : 0.3;
    const std::vector<Frame> frames = run.Fill(200000, bits);
    for (const Frame& frame : frames) {
      s = s * 1664525u + 1013904223u;
      const double u = s / 4294967296.0 - 0.5;
      ASSERT_EQ(frame.left, std::nearbyint(FullScale(bits) * level * u));
      peak = std::max(peak, std::fabs(frame.left / double(FullScale(bits))));
    }
    EXPECT_NEAR(peak, bits == 16 ? 0.5 : 0.15, 1e-4);
    // A second start continues the sequence instead of repeating it.
    ASSERT_TRUE(run.Start(selection));
    s = s * 1664525u + 1013904223u;
    EXPECT_EQ(run.Fill(1, bits)[0].left,
              std::nearbyint(FullScale(bits) * level * (s / 4294967296.0 - 0.5)));
  }
}

// Average power per DFT bin of x between two frequencies (cycles per sample), over consecutive
// segments: Hann-windowed for noise, plain over exactly one period for a periodic sequence.
double BandPower(const std::vector<double>& x, double f_low, double f_high, std::size_t segment,
                 bool hann) {
  std::vector<std::complex<double>> twiddle(segment);
  std::vector<double> window(segment, 1.0);
  for (std::size_t n = 0; n < segment; ++n) {
    twiddle[n] = std::polar(1.0, -2 * kPi * double(n) / double(segment));
    if (hann) window[n] = 0.5 - 0.5 * std::cos(2 * kPi * double(n) / double(segment));
  }
  double power = 0.0;
  int terms = 0;
  for (std::size_t start = 0; start + segment <= x.size(); start += segment) {
    for (auto bin = static_cast<std::size_t>(std::ceil(f_low * segment));
         bin <= static_cast<std::size_t>(std::floor(f_high * segment)); ++bin) {
      std::complex<double> sum = 0.0;
      for (std::size_t n = 0; n < segment; ++n) {
        sum += window[n] * x[start + n] * twiddle[bin * n % segment];
      }
      power += std::norm(sum);
      ++terms;
    }
  }
  return power / terms;
}

// Pink noise and pink MLS fall by 3 dB per octave: the power in octave bands from 75 Hz to
// 9.6 kHz (at 48 kHz), measured by a plain DFT, drops 3 dB from each band to the next.
TEST(PinkGeneratorTest, SlopeIsMinusThreeDbPerOctave) {
  struct Case {
    int code;
    std::size_t skip, segment;
    bool hann;
  };
  // The MLS is periodic (4095 samples): one whole period, after the filter has settled, holds
  // its exact line spectrum.
  for (const Case c : {Case{15, 0, 4096, true}, Case{2, 2 * 4095, 4095, false}}) {
    GeneratedFrames run;
    ASSERT_TRUE(run.Start(Selection(c.code)));
    const std::vector<Frame> frames = run.Fill(16 * 4096, 24);
    std::vector<double> x;
    for (std::size_t n = c.skip; n < frames.size(); ++n) x.push_back(frames[n].left);
    if (!c.hann) x.resize(c.segment);
    double previous = 0.0;
    for (double f = 75.0; f <= 9600.0; f *= 2.0) {
      const double power =
          10 * std::log10(BandPower(x, f / 48000, std::sqrt(2.0) * f / 48000, c.segment, c.hann));
      if (f > 75.0) {
        EXPECT_NEAR(power - previous, -3.01, 0.75) << "code " << c.code << " at " << f;
      }
      previous = power;
    }
  }
}

TEST(ImpulseGeneratorTest, OnePulseAtSampleFortyEachPeriod) {
  for (const bool inverted : {false, true}) {
    StimulusSelection selection = Selection(3);
    selection.polarity_inverted = inverted;
    GeneratedFrames run;
    ASSERT_TRUE(run.Start(selection));
    for (int period = 0; period < 2; ++period) {
      const std::vector<Frame> frames = run.Fill(1000, 24);
      for (std::size_t n = 0; n < frames.size(); ++n) {
        const double expected = n == 40 ? std::nearbyint(0.5 * 8388607 * 0.3) : 0.0;
        ASSERT_EQ(frames[n].left, inverted ? -expected : expected) << n;
      }
      run.generator.ResetPeriod();
    }
  }
}

// Amplitude and phase of each sine, recovered from the generated samples by correlation over
// whole cycles, are the components' own.
TEST(ToneGeneratorTest, SineAmplitudesAndPhases) {
  ToneLists tones;
  AddComponent(tones.p, ToneKind::kSine, 0.5, 0.7, 0.3, 1000.0, 48000);
  AddComponent(tones.p, ToneKind::kSine, 0.5, -2.0, 0.2, 3000.0, 48000);
  AddComponent(tones.q, ToneKind::kSine, 0.5, 1.2, 0.9, 750.0, 48000);
  GeneratedFrames run;
  StimulusSelection selection = Selection(8);
  selection.gain1 = selection.gain2 = 0.999;
  ASSERT_TRUE(run.Start(selection, {}, tones));
  const std::vector<Frame> frames = run.Fill(4800, 24);
  struct Expect {
    bool right;
    double frequency, amplitude, phase;
  };
  for (const Expect e : {Expect{false, 1000, 0.3, 0.7}, Expect{false, 3000, 0.2, -2.0},
                         Expect{true, 750, 0.9, 1.2}}) {
    std::complex<double> sum = 0.0;
    for (std::size_t n = 0; n < frames.size(); ++n) {
      const double x = (e.right ? frames[n].right : frames[n].left) / (0.999 * 8388607);
      sum += x * std::polar(1.0, -2 * kPi * e.frequency * n / 48000.0);
    }
    sum *= 2.0 / frames.size();
    EXPECT_NEAR(std::abs(sum), e.amplitude, 1e-6) << e.frequency;
    EXPECT_NEAR(std::arg(sum), e.phase, 1e-6) << e.frequency;
  }
}

// The other component kinds against their definitions at chosen samples.
TEST(ToneGeneratorTest, SquareStepImpulseAndTriangle) {
  const double omega = 2 * kPi * 1000 / 48000;  // 48 samples per cycle
  const auto value = [&](ToneKind kind, double phase, double duty, std::int64_t n) {
    return ToneSetValue({TSinePars{1000, omega, 0.5, phase, static_cast<int>(kind), duty}}, n);
  };
  EXPECT_EQ(value(ToneKind::kSquare, 0, 0.5, 1), 0.5);    // sin > 0 = cos(π/2)
  EXPECT_EQ(value(ToneKind::kSquare, 0, 0.5, 30), -0.5);  // sin < 0
  EXPECT_EQ(value(ToneKind::kSquare, 0, 0.25, 2), -0.5);  // sin(15°) < cos(45°)
  EXPECT_EQ(value(ToneKind::kSquare, 0, 0.25, 12), 0.5);  // sin(90°)
  EXPECT_EQ(value(ToneKind::kStep, 10, 0, 10), 0.0);
  EXPECT_EQ(value(ToneKind::kStep, 10, 0, 11), 0.5);
  EXPECT_EQ(value(ToneKind::kImpulse, 7, 0, 7), 0.5);
  EXPECT_EQ(value(ToneKind::kImpulse, 7, 0, 8), 0.0);
  EXPECT_NEAR(value(ToneKind::kTriangle, 0, 0, 0), 0.5, 1e-12);    // t = 0
  EXPECT_NEAR(value(ToneKind::kTriangle, 0, 0, 12), 0.0, 1e-12);   // t = 0.25
  EXPECT_NEAR(value(ToneKind::kTriangle, 0, 0, 24), -0.5, 1e-12);  // t = 0.5
  EXPECT_NEAR(value(ToneKind::kTriangle, 0, 0, 36), 0.0, 1e-12);   // t = 0.75
  // Past 2^31 samples (3 hours at 192 kHz) the counter still advances the phase correctly.
  const std::int64_t late = (std::int64_t{1} << 31) + 5;
  EXPECT_NEAR(value(ToneKind::kSine, 0, 0, late), 0.5 * std::cos(omega * static_cast<double>(late)),
              1e-6);
}

// The oscillator's phasors stay on the exact sums of the components, across its exact restarts
// and after jumps of the counter.
TEST(ToneGeneratorTest, OscillatorFollowsTheExactSum) {
  SineParsArray list;
  AddComponent(list, ToneKind::kSine, 0.5, 0.3, 0.4, 997.0, 192000);
  AddComponent(list, ToneKind::kSine, 0.5, -2.9, 0.3, 19999.5, 192000);
  AddComponent(list, ToneKind::kSquare, 0.5, 0.0, 0.2, 1000.0, 48000);  // edges on exact samples
  AddComponent(list, ToneKind::kTriangle, 0.5, 1.0, 0.1, 440.0, 192000);
  ToneOscillator oscillator;
  oscillator.SetList(list);
  for (std::int64_t n = 0; n < 5000; ++n) {
    ASSERT_NEAR(oscillator.Value(n), ToneSetValue(list, n), 1e-12) << n;
  }
  // Far along, n·Omega itself carries a rounding error of about 1e-16 of its size.
  for (const std::int64_t n : {std::int64_t{123456789}, std::int64_t{1} << 33, std::int64_t{7}}) {
    for (std::int64_t k = n; k < n + 2000; ++k) {
      ASSERT_NEAR(oscillator.Value(k), ToneSetValue(list, k), 1e-12 + 1e-15 * double(k)) << k;
    }
  }
}

// Synchronous tones with the envelope on play a burst of the envelope's length in each period;
// the raised cosine is sin(π i / (L - 1)).
TEST(ToneGeneratorTest, EnvelopeMakesABurstPerPeriod) {
  StimulusSettings settings;
  settings.envelope = {static_cast<int>(EnvelopeKind::kRaisedCosine), 201};
  ToneLists tones{{TSinePars{1000.0, 0.0, 1.0, 0.0, 0, 0.5}}, {}};
  GeneratedFrames run;
  ASSERT_TRUE(run.Start(Selection(6), settings, tones));
  for (int period = 0; period < 2; ++period) {
    const std::vector<Frame> frames = run.Fill(1000, 24);
    for (std::size_t n = 0; n < frames.size(); ++n) {
      const double envelope = n < 201 ? static_cast<float>(std::sin(kPi * n / 200.0)) : 0.0;
      const double expected = 0.5 * 8388607 * envelope * std::cos(2 * kPi * 1000 * n / 48000.0);
      ASSERT_NEAR(frames[n].left, expected, 1.0) << n;
    }
    run.generator.ResetPeriod();
  }
  const std::vector<float> squared = BuildEnvelope({2, 5});
  const std::vector<float> expected = {0.0f, 0.5f, 1.0f, 0.5f, 0.0f};
  for (std::size_t i = 0; i < 5; ++i) EXPECT_NEAR(squared[i], expected[i], 1e-7);
  EXPECT_EQ(BuildEnvelope({1, 1}), std::vector<float>{1.0f});  // no 0/0 for one sample
  EXPECT_EQ(BuildEnvelope({3, 3}), std::vector<float>(3, 1.0f));
  EXPECT_TRUE(BuildEnvelope({0, 100}).empty());
}

TEST(ToneGeneratorTest, OutputTwoPlaysListQOrListP) {
  ToneLists tones;
  AddComponent(tones.p, ToneKind::kSine, 0.5, 0.0, 1.0, 1000.0, 48000);
  AddComponent(tones.q, ToneKind::kSine, 0.5, 0.0, 1.0, 2000.0, 48000);
  for (const int code : {7, 8, 10, 11}) {
    GeneratedFrames run;
    ASSERT_TRUE(run.Start(Selection(code), {}, tones));
    const std::vector<Frame> frames = run.Fill(30, 24);
    const double f = code == 8 || code == 11 ? 2000.0 : 1000.0;
    for (std::size_t n = 0; n < frames.size(); ++n) {
      ASSERT_NEAR(frames[n].right, 0.25 * 8388607 * std::cos(2 * kPi * f * n / 48000.0), 0.501);
    }
  }
}

TEST(WavFileGeneratorTest, SynchronousPlaysOnceAsynchronousLoops) {
  const WavLoader mono = [](const std::string&) -> std::optional<WavSamples> {
    return WavSamples{{0.5, -0.5, 1.0}, {}};
  };
  StimulusSettings settings;
  settings.wav_file_name = "a.wav";
  GeneratedFrames sync;
  ASSERT_TRUE(sync.Start(Selection(12), settings, {}, mono));
  const auto a = [](double x) {
    return static_cast<std::int32_t>(std::nearbyint(0.5 * 8388607 * x));
  };
  const auto b = [](double x) {
    return static_cast<std::int32_t>(std::nearbyint(0.25 * 8388607 * x));
  };
  EXPECT_EQ(sync.Fill(5, 24),
            (std::vector<Frame>{{a(0.5), 0}, {a(-0.5), 0}, {a(1), 0}, {0, 0}, {0, 0}}));
  GeneratedFrames async;
  ASSERT_TRUE(async.Start(Selection(13), settings, {}, mono));
  EXPECT_EQ(async.Fill(5, 24), (std::vector<Frame>{{a(0.5), b(0.5)},
                                                   {a(-0.5), b(-0.5)},
                                                   {a(1), b(1)},
                                                   {a(0.5), b(0.5)},
                                                   {a(-0.5), b(-0.5)}}));
}

// C cycles at f: B = trunc(rate·C/f) samples, silent after; the window is 1 at the burst centre
// for every window kind, so the burst's peak sits there.
TEST(WaveletBurstTest, LengthWindowAndCentre) {
  for (int window = 0; window <= 8; ++window) {
    WaveletBurstSettings settings;
    settings.window = window;
    EXPECT_EQ(WaveletShape(settings, 1000.0, 48000).BurstLength(), 336);
    EXPECT_EQ(WaveletShape(settings, 1000.0, 48000).Value(337), 0.0);
    // An odd number of half cycles has a cosine carrier, 1 at the centre (n = 180 of 0..360).
    settings.cycles = 7.5;
    const WaveletShape odd(settings, 1000.0, 48000);
    EXPECT_EQ(odd.BurstLength(), 360);
    EXPECT_NEAR(odd.Value(180), 1.0, 1e-12) << window;
    EXPECT_LT(std::fabs(odd.Value(0)), window == 0 ? 1.0 + 1e-12 : 0.01) << window;
  }
  // Blackman-Harris at a quarter of the burst, against its definition in long double.
  WaveletBurstSettings settings;
  settings.window = 3;
  const WaveletShape shape(settings, 1000.0, 48000);
  const long double t = 84 * 2 * std::numbers::pi_v<long double> * 1000 / (7 * 48000.0L);
  const long double sum = 0.355768L + 0.487396L + 0.144232L + 0.012604L;
  const long double w = (0.355768L - 0.487396L * std::cos(t) + 0.144232L * std::cos(2 * t) -
                         0.012604L * std::cos(3 * t)) /
                        sum;
  const long double carrier =
      std::sin(84 * 2 * std::numbers::pi_v<long double> / 48 - 7 * std::numbers::pi_v<long double>);
  EXPECT_NEAR(shape.Value(84), static_cast<double>(w * carrier), 1e-12);

  const std::vector<double> array = BuildWaveletArray(settings, 1000.0, 48000, 400);
  for (int n = 0; n < 400; ++n) EXPECT_EQ(array[n], shape.Value(n));
}

TEST(WaveletBurstTest, SecondToneMixesByLevel) {
  WaveletBurstSettings settings;
  settings.window = 0;
  settings.cycles = 4;  // round(2C) even: sine carrier
  settings.second_tone_multiple = 3;
  settings.second_tone_db = 0;  // m = 1/2
  const WaveletShape shape(settings, 1000.0, 48000);
  for (const int n : {0, 5, 17, 100}) {
    const double carrier = std::sin(n * 2 * kPi / 48 - 4 * kPi);
    const double second =
        std::cos(n * 2 * kPi * 3 / 48 - (2 * kPi * 3000 * (4 / 2000.0) + kPi / 2));
    EXPECT_NEAR(shape.Value(n), 0.5 * carrier + 0.5 * second, 1e-12) << n;
  }
}

}  // namespace
}  // namespace vireon
