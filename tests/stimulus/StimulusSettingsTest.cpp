#include <gtest/gtest.h>

#include "config/ConfigWalk.h"
#include "config/IniFile.h"
#include "stimulus/CfgStim.h"
#include "stimulus/OutputGain.h"
#include "stimulus/StimulusPanels.h"

namespace vireon {
namespace {

TEST(OutputGainTest, LevelsScalesAndLimit) {
  struct Case {
    OutputLevel output;
    double gain;
  };
  for (const Case& c : {
           Case{{0.0}, 0.999},   // 0 dB reaches the limit
           Case{{10.0}, 0.999},  // +10 dB is limited, not 3.16
           Case{{-20.0}, 0.1},
           Case{{-20.0, false}, 0.0},                            // disabled
           Case{{-20.0, true, 4194304.0}, 0.05},                 // half the maximum code
           Case{{-20.0, true, 8388608.0, 1.2, 1.0}, 0.1 / 1.2},  // the louder output is reduced
           Case{{-20.0, true, 8388608.0, 1.0, 1.2}, 0.1},
       }) {
    EXPECT_NEAR(OutputGain(c.output), c.gain, 1e-12) << c.output.level_db;
  }
}

TEST(StimulusPanelsTest, PanelsPerStimulusInWindowOrder) {
  using enum StimulusPanel;
  struct Case {
    int code, acq, bits;
    std::vector<StimulusPanel> panels;
  };
  for (const Case& c : {
           Case{0, 8, 16, {kChirpParameters, kSaveAsWavFile}},
           Case{0,
                16,
                24,
                {kChirpParameters, kInvertAlternateStims, kSaveAsWavFile, kOutput2LowPass}},
           Case{4, 2, 24, {kMlsSequenceLength, kInvertAlternateStims}},
           Case{6,
                0,
                24,
                {kEditTonesCh1, kApplyEnvelope, kEnvelopeLength, kInvertAlternateStims,
                 kMinInterSilence}},
           Case{9, 13, 24, {kEditStepsCh1, kMinInterSilence}},
           Case{9, 0, 24, {kEditStepsCh1, kApplyEnvelope, kEnvelopeLength, kMinInterSilence}},
           Case{11, 0, 24, {kEditStepsCh1, kEditStepsCh2}},
           Case{12, 0, 24, {kLoadWaveFile, kInvertAlternateStims, kMinInterSilence}},
           Case{16, 22, 24, {kInvertAlternateStims, kMinInterSilence, kEditWavelet}},
           Case{14, 0, 24, {}},
           Case{99, 0, 24, {}},
       }) {
    EXPECT_EQ(PanelsForStimulus(c.code, c.acq, c.bits), c.panels) << c.code << "/" << c.acq;
  }
  EXPECT_EQ(PanelCaption(kOutput2LowPass), "LPF on Output 2 (chirps)");
  EXPECT_EQ(PanelCaption(kMinInterSilence), "Min. Inter-Silence");
}

TEST(StimulusSettingsTest, ReadAndWrittenUnderTheirKeys) {
  ConfigWalk walk(ConfigFile::kSoftware);
  StimulusSettings settings;
  BindStimulusSettings(walk.Bindings(), settings);
  IniFile ini = IniFile::FromText(
      "[Chirp]\r\nChirpStartFreq=50\r\nChirpTimeLength=100\r\nChirpLinearSweep=1\r\n"
      "[VireonFree]\r\nUseChirpLP=1\r\n"
      "[VireonSystem]\r\nMLSLength=16384\r\nEnvelopeType=2\r\n"
      "[WaveletBurst]\r\nWaveletLength=12\r\n"
      "[Stimulus]\r\nNumberPStepFSines=2\r\nPStepFFStt0=30\r\nPStepFFStt1=40\r\nPLogF1=0\r\n"
      "StepFSteps=7\r\nStepFUseSpec=0\r\n");
  walk.Walk(ini, WalkDirection::kRead);
  EXPECT_EQ(settings.chirp.start_hz, 50.0);
  EXPECT_EQ(settings.chirp.time_length_s, 20.0);  // limited to the range
  EXPECT_TRUE(settings.chirp.linear_sweep);
  EXPECT_EQ(settings.chirp.stop_hz, 20000.0);  // missing key: unchanged
  EXPECT_TRUE(settings.chirp.output2_lowpass);
  EXPECT_EQ(settings.mls_length, 16384);
  EXPECT_EQ(settings.envelope.kind, 2);
  EXPECT_EQ(settings.wavelet.cycles, 12.0);
  ASSERT_EQ(settings.stepped.channel1.size(), 2u);
  EXPECT_EQ(settings.stepped.channel1[1].FreqStart, 40.0);
  EXPECT_EQ(settings.stepped.channel1[1].LogFreq, 0);
  EXPECT_EQ(settings.stepped.channel1[1].FreqStop, 20000.0);
  EXPECT_EQ(settings.stepped.steps, 7);
  EXPECT_FALSE(settings.stepped.use_spec);

  settings.inter_silence_s = 0.25;
  settings.output2_db = -12.5;
  IniFile saved;
  walk.Walk(saved, WalkDirection::kSave);
  EXPECT_EQ(saved.RawValue("V2 Parameters", "InterSilence"), "0.25");
  EXPECT_EQ(saved.RawValue("Stimulus", "Q_Out_Adj"), "-12.5");
  EXPECT_EQ(saved.RawValue("Stimulus", "PStepFFStt1"), "40");
  EXPECT_EQ(saved.RawValue("Stimulus", "NumberQStepFSines"), "1");
}

}  // namespace
}  // namespace vireon
