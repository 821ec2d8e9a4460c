#include <gtest/gtest.h>
#include <unistd.h>

#include <cmath>
#include <cstdint>
#include <filesystem>
#include <numbers>

#include "common/AtomicFile.h"
#include "common/VireonError.h"
#include "stimulus/StepListFile.h"
#include "stimulus/SteppedTones.h"
#include "stimulus/ToneSet.h"
#include "stimulus/ToneSetExport.h"
#include "stimulus/ToneSetFile.h"

namespace vireon {
namespace {

constexpr double kPi = std::numbers::pi;

std::vector<double> Frequencies(const SineParsArray& list) {
  std::vector<double> f;
  for (const TSinePars& c : list) f.push_back(c.Frequency);
  return f;
}

std::vector<double> Amplitudes(const SineParsArray& list) {
  std::vector<double> a;
  for (const TSinePars& c : list) a.push_back(c.Amplitude);
  return a;
}

TEST(ToneSetTest, AutoPeakKeepsProportionsOrEqualises) {
  SineParsArray list;
  AddComponent(list, ToneKind::kSine, 0.5, 0, 0.7, 100, 48000);
  AddComponent(list, ToneKind::kSine, 0.5, 0, 0.5, 200, 48000);
  SineParsArray same = list;
  AutoPeak(list, PeakSetting::kProportions);
  EXPECT_LE(AmplitudeSum(list), 1.0);
  EXPECT_NEAR(AmplitudeSum(list), 1.0, 1e-8);
  EXPECT_NEAR(list[0].Amplitude / list[1].Amplitude, 7.0 / 5.0, 1e-12);
  AutoPeak(same, PeakSetting::kAllSame);
  EXPECT_EQ(same[0].Amplitude, same[1].Amplitude);
  EXPECT_LE(AmplitudeSum(same), 1.0);
}

TEST(ToneSetTest, AutoGenerateStopsAtTheLimit) {
  struct Case {
    AutoRamp frequency;
    std::vector<double> expected;
  };
  for (const Case& c : {Case{{100, 1000, 2, true}, {100, 200, 400, 800, 1600}},
                        Case{{1000, 100, 2, true}, {1000, 500, 250, 125, 62.5}},
                        Case{{100, 500, 150, false}, {100, 250, 400, 550}},
                        Case{{700, 700, 10, false}, {700, 700, 700}}}) {
    SineParsArray list;
    AutoGenerateParameters parameters;
    parameters.frequency = c.frequency;
    parameters.level = {0.1, 0.1, 1, false};
    parameters.phase = {0, 0, 1, false};
    parameters.max_components = 3 + (c.expected.size() > 3 ? 10 : 0);
    AutoGenerate(list, parameters, 48000);
    EXPECT_EQ(Frequencies(list), c.expected) << c.frequency.start << " to " << c.frequency.limit;
  }
  // Frequencies moved to the nearest bin of a 4096-point transform at 48 kHz (11.71875 Hz).
  SineParsArray list;
  AutoGenerateParameters parameters;
  parameters.frequency = {1000, 1000, 1, false};
  parameters.max_components = 1;
  parameters.exact_bins = true;
  AutoGenerate(list, parameters, 48000);
  EXPECT_EQ(Frequencies(list), std::vector<double>{996.09375});
}

TEST(ToneSetTest, PhaseIsWrappedIntoHalfOpenRange) {
  SineParsArray list;
  AddComponent(list, ToneKind::kSine, 0.5, 270 * kPi / 180, 0.5, 1000, 48000);
  AddComponent(list, ToneKind::kSine, 0.5, -kPi, 0.5, 1000, 48000);
  AddComponent(list, ToneKind::kSine, 0.5, 3 * kPi, 0.5, 1000, 48000);
  AddComponent(list, ToneKind::kImpulse, 0.5, 480, 0.5, 1000, 48000);  // a position in samples
  AddComponent(list, ToneKind::kStep, 0.5, 1e6, 0.5, 1000, 48000);
  EXPECT_NEAR(list[0].Phase, -kPi / 2, 1e-12);
  EXPECT_DOUBLE_EQ(list[1].Phase, kPi);
  EXPECT_NEAR(list[2].Phase, kPi, 1e-12);
  EXPECT_EQ(list[3].Phase, 480.0);
  EXPECT_EQ(list[4].Phase, 1e6);
  EXPECT_DOUBLE_EQ(list[0].Omega, 2 * kPi * 1000 / 48000);
}

TEST(SteppedTonesTest, FourLogStepsFromStartToStop) {
  SteppedToneSettings settings;
  settings.steps = 4;
  ToneLists lists = DefaultToneLists();
  std::vector<double> played;
  for (int k = 0; NextStep(settings, k, false, 48000, 48000, lists); ++k) {
    ASSERT_EQ(lists.p.size(), 1u);
    played.push_back(lists.p[0].Frequency);
    EXPECT_DOUBLE_EQ(lists.p[0].Phase, kPi / 2);
  }
  ASSERT_EQ(played.size(), 4u);
  for (std::size_t i = 0; i < 4; ++i) EXPECT_NEAR(played[i], 20 * std::pow(10.0, i), 1e-9);
  EXPECT_EQ(Frequencies(lists.q), std::vector<double>{1000});  // Q untouched in one channel

  // Linear level steps; a tone above 0.499 of the record rate is switched off; levels adding up
  // to more than 1 are normalised by their sum.
  settings.steps = 3;
  settings.channel1 = {TStepFSpec{1000, 3000, 0.2, 0.6, 0, 0},
                       TStepFSpec{1000, 30000, 0.8, 0.8, 0, 0}};
  settings.channel2 = {TStepFSpec{500, 500, 1, 1, 1, 1}};
  ASSERT_TRUE(NextStep(settings, 2, true, 48000, 48000, lists));
  EXPECT_EQ(Frequencies(lists.p), (std::vector<double>{3000, 0}));
  EXPECT_EQ(Amplitudes(lists.p), (std::vector<double>{0.6, 0}));
  ASSERT_TRUE(NextStep(settings, 1, true, 48000, 48000, lists));
  EXPECT_EQ(Frequencies(lists.p), (std::vector<double>{2000, 15500}));
  EXPECT_NEAR(lists.p[0].Amplitude, 0.4 / 1.2, 1e-12);
  EXPECT_EQ(Frequencies(lists.q), std::vector<double>{500});
  EXPECT_FALSE(NextStep(settings, 3, true, 48000, 48000, lists));
}

TEST(StepListFileTest, LinesWithAndWithoutFormat) {
  struct Case {
    const char* text;
    std::vector<std::vector<double>> p_frequencies;
    std::vector<std::vector<double>> p_amplitudes;
    std::vector<std::vector<double>> q_frequencies;
  };
  for (const Case& c : {
           Case{"1000 2000\r\n\r\n500\n",
                {{1000, 2000}, {500}},
                {{0.5, 0.5}, {1}},
                {{1000, 2000}, {500}}},
           Case{"# f a / f a\r\n100 0.25 0 200 0.5\n", {{100}}, {{0.25}}, {{200}}},
           Case{"#FAx junk\n300 0.1 400\n", {{300, 400}}, {{0.1 / 1.1, 1 / 1.1}}, {{300, 400}}},
           Case{"#AF\n300 0.1\n", {{300, 0.1}}, {{0.5, 0.5}}, {{300, 0.1}}},
           Case{"100\nabc\n200\n", {{100}}, {{1}}, {{100}}},
           Case{"oops\n100\n", {}, {}, {}},
       }) {
    StepListFile file(c.text);
    std::vector<std::vector<double>> pf, pa, qf;
    while (const auto lists = file.NextLine(48000)) {
      pf.push_back(Frequencies(lists->p));
      pa.push_back(Amplitudes(lists->p));
      qf.push_back(Frequencies(lists->q));
    }
    EXPECT_EQ(pf, c.p_frequencies) << c.text;
    EXPECT_EQ(qf, c.q_frequencies) << c.text;
    ASSERT_EQ(pa.size(), c.p_amplitudes.size()) << c.text;
    for (std::size_t i = 0; i < pa.size(); ++i) {
      for (std::size_t j = 0; j < pa[i].size(); ++j) {
        EXPECT_NEAR(pa[i][j], c.p_amplitudes[i][j], 1e-12) << c.text;
      }
    }
  }
  StepListFile kinds("#FPSW\n100 90 0.25 1.4\n100 0 0 5000\n");
  const auto first = kinds.NextLine(48000);
  ASSERT_TRUE(first);
  EXPECT_NEAR(first->p[0].Phase, kPi / 2, 1e-12);
  EXPECT_EQ(first->p[0].Duty, 0.25);
  EXPECT_EQ(first->p[0].Kind, 1);
  EXPECT_EQ(kinds.NextLine(48000)->p[0].Kind, 0);  // above 1000 counts as sine
}

// "Make WAV file" synthesizes list P (and Q for stereo) at the play rate, Omega taken afresh.
TEST(ToneSetTest, ExportSynthesizesEachList) {
  ToneLists lists;
  AddComponent(lists.p, ToneKind::kSine, 0.5, 0.25, 0.5, 1000, 44100);
  AddComponent(lists.q, ToneKind::kStep, 0.5, 10, 0.75, 1, 44100);
  const TDataMeas stereo = SynthesizeToneSet(lists, true, 100, 96000);
  EXPECT_EQ(stereo.FNumFields, 2);
  EXPECT_EQ(stereo.FNumPoints, 100);
  EXPECT_EQ(stereo.FSampleRate, 96000);
  for (int n = 0; n < 100; ++n) {
    EXPECT_NEAR(stereo.FFields[0].Values[n], 0.5 * std::cos(2 * kPi * 1000 * n / 96000 + 0.25),
                1e-12);
    EXPECT_EQ(stereo.FFields[1].Values[n], n > 10 ? 0.75 : 0.0);
  }
  EXPECT_EQ(SynthesizeToneSet(lists, false, 10, 48000).FNumFields, 1);
}

class ToneSetFileTest : public ::testing::Test {
 protected:
  ToneSetFileTest()
      : folder_(std::filesystem::temp_directory_path() /
                ("vireon-qmw-" + std::to_string(::getpid()) + "-" +
                 ::testing::UnitTest::GetInstance()->current_test_info()->name())) {
    std::filesystem::create_directories(folder_);
  }
  ~ToneSetFileTest() override { std::filesystem::remove_all(folder_); }
  std::filesystem::path folder_;
};

TEST_F(ToneSetFileTest, RoundTripAndMessages) {
  SineParsArray list;
  AddComponent(list, ToneKind::kTriangle, 0.3, 2.5, 0.25, 1234.5, 48000);
  AddComponent(list, ToneKind::kSine, 0.5, -1.0, 0.1, 0.1, 48000);
  AddComponent(list, ToneKind::kStep, 0.5, 2000, 0.1, 0.1, 48000);
  const auto file = folder_ / "set.qmw";
  SaveToneSet(file, list);
  EXPECT_EQ(ReadWholeFile(file).value().substr(0, 12), "3\r\n4\r\n1234.5");
  SineParsArray loaded;
  LoadToneSet(file, loaded, 96000);
  ASSERT_EQ(loaded.size(), 3u);
  EXPECT_EQ(loaded[2].Phase, 2000.0);  // a step stays at its sample
  EXPECT_EQ(loaded[0].Kind, 4);
  EXPECT_EQ(loaded[0].Phase, 2.5);
  EXPECT_EQ(loaded[0].Duty, 0.3);
  EXPECT_DOUBLE_EQ(loaded[0].Omega, 2 * kPi * 1234.5 / 96000);  // from the play rate

  const auto missing = folder_ / "none.qmw";
  try {
    LoadToneSet(missing, loaded, 48000);
    ADD_FAILURE();
  } catch (const VireonError& e) {
    EXPECT_EQ(std::string(e.what()), "File: \r" + missing.string() + "\rwas not found!");
  }
  for (const char* bad : {"", "3\n0\n100\n0.5\n0\n0.5\n", "x\n", "1\n9\n100\n0.5\n0\n0.5\n",
                          "1\n0\nnan\n0.5\n0\n0.5\n", "-1\n", "99999999999\n"}) {
    WriteFileAtomically(folder_ / "bad.qmw", bad);
    EXPECT_THROW(
        {
          try {
            LoadToneSet(folder_ / "bad.qmw", loaded, 48000);
          } catch (const VireonError& e) {
            EXPECT_EQ(std::string(e.what()), "Could not load file!");
            throw;
          }
        },
        VireonError);
    EXPECT_EQ(loaded.size(), 3u) << bad;  // the list is kept
  }
  list[0].Amplitude = 0.95;
  EXPECT_THROW(SaveToneSet(folder_ / "loud.qmw", list), VireonError);
  EXPECT_FALSE(std::filesystem::exists(folder_ / "loud.qmw"));
}

// The WAV export brings the loudest sample of either list to full scale.
TEST_F(ToneSetFileTest, ExportWavScalesTheLoudestListToFullScale) {
  ToneLists lists;
  AddComponent(lists.p, ToneKind::kSine, 0.5, 0.0, 0.5, 1000, 48000);
  AddComponent(lists.q, ToneKind::kStep, 0.5, 10, 0.75, 1, 48000);
  CollectedMessages messages;
  EXPECT_FALSE(ExportToneSetWav(folder_ / "set.txt", lists, true, 96, 48000, 16, messages));
  EXPECT_FALSE(std::filesystem::exists(folder_ / "set.txt"));

  const auto file = folder_ / "set.WAV";
  ASSERT_TRUE(ExportToneSetWav(file, lists, true, 96, 48000, 16, messages));
  const std::string bytes = ReadWholeFile(file).value();
  ASSERT_EQ(bytes.size(), 46u + 96 * 4);  // 18-byte format chunk
  const auto sample = [&](std::size_t frame, std::size_t channel) {
    const std::size_t at = bytes.size() - 96 * 4 + frame * 4 + channel * 2;
    return static_cast<std::int16_t>(static_cast<std::uint8_t>(bytes[at]) |
                                     static_cast<std::uint8_t>(bytes[at + 1]) << 8);
  };
  for (std::size_t n = 0; n < 96; ++n) {
    const double left = 0.5 / 0.75 * std::cos(2 * kPi * 1000 * n / 48000) * 32767;
    EXPECT_NEAR(sample(n, 0), std::nearbyint(left), 1) << n;
    EXPECT_EQ(sample(n, 1), n > 10 ? 32767 : 0) << n;
  }
}

}  // namespace
}  // namespace vireon
