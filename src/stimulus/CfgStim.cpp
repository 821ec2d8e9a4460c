#include "stimulus/CfgStim.h"

#include <string>

#include "config/ConfigWalk.h"

namespace vireon {

namespace {

void BindSteppedChannel(ConfigBindings& software, std::string_view prefix, TStepFSpecArray& tones) {
  const std::string p(prefix);
  software.BindInteger(
      "Stimulus", "Number" + p + "StepFSines", [&tones] { return static_cast<int>(tones.size()); },
      [&tones](int count) { tones.resize(static_cast<std::size_t>(count)); }, 0, kMaxCountedKeys);
  const auto bind_float = [&](std::string_view stem, double TStepFSpec::*field, double min,
                              double max) {
    software.BindCountedFloat(
        "Stimulus", p + std::string(stem),
        [&tones, field](int i) { return tones[static_cast<std::size_t>(i)].*field; },
        [&tones, field](int i, double v) { tones[static_cast<std::size_t>(i)].*field = v; }, min,
        max);
  };
  bind_float("StepFFStt", &TStepFSpec::FreqStart, 0.1, 384000.0);
  bind_float("StepFFStp", &TStepFSpec::FreqStop, 0.1, 384000.0);
  bind_float("StepFLStt", &TStepFSpec::LevelStart, 0.000001, 1.0);
  bind_float("StepFLStp", &TStepFSpec::LevelStop, 0.000001, 1.0);
  const auto bind_flag = [&](std::string_view stem, std::int32_t TStepFSpec::*field) {
    software.BindCountedInteger(
        "Stimulus", p + std::string(stem),
        [&tones, field](int i) {
          return static_cast<int>(tones[static_cast<std::size_t>(i)].*field);
        },
        [&tones, field](int i, int v) { tones[static_cast<std::size_t>(i)].*field = v; }, 0, 1);
  };
  bind_flag("LogF", &TStepFSpec::LogFreq);
  bind_flag("LogL", &TStepFSpec::LogLevel);
}

}  // namespace

void BindStimulusSettings(ConfigBindings& software, StimulusSettings& s) {
  software.Bind("VireonFree", "UseChirpLP", s.chirp.output2_lowpass);
  software.Bind("VireonFree", "ChirpLPFfreq", s.chirp.output2_lowpass_hz, 1.0, 200000.0);
  software.Bind("VireonSystem", "EnvelopeLength", s.envelope.length, 1, 100000);
  software.Bind("VireonSystem", "EnvelopeType", s.envelope.kind, 0, 3);
  software.Bind("VireonSystem", "MLSLength", s.mls_length, 4096, 262144);

  software.Bind("Stimulus", "P_Out_Adj", s.output1_db, -140.0, 10.0);
  software.Bind("Stimulus", "Q_Out_Adj", s.output2_db, -140.0, 10.0);
  BindSteppedChannel(software, "P", s.stepped.channel1);
  BindSteppedChannel(software, "Q", s.stepped.channel2);
  software.Bind("Stimulus", "StepFListFileName", s.stepped.list_file_name);
  software.Bind("Stimulus", "StepFSteps", s.stepped.steps, 2, 1000);
  software.Bind("Stimulus", "StepFUseSpec", s.stepped.use_spec);

  software.Bind("Chirp", "ChirpTimeLength", s.chirp.time_length_s, 0.005, 20.0);
  software.Bind("Chirp", "ChirpStartFreq", s.chirp.start_hz, 0.01, 384000.0);
  software.Bind("Chirp", "ChirpStopFreq", s.chirp.stop_hz, 1.0, 384000.0);
  software.Bind("Chirp", "ChirpLinearSweep", s.chirp.linear_sweep);

  software.Bind("V2 Parameters", "OutputEnabled1", s.output1_enabled);
  software.Bind("V2 Parameters", "OutputEnabled2", s.output2_enabled);
  software.Bind("V2 Parameters", "InterSilence", s.inter_silence_s, 0.00005, 8.0);

  software.Bind("WaveletBurst", "WaveletLength", s.wavelet.cycles, 2.0, 100.0);
  software.Bind("WaveletBurst", "WaveletEnvelopeShape", s.wavelet.window, 0, 8);
  software.Bind("WaveletBurst", "Wavelet2ndToneFreqMult", s.wavelet.second_tone_multiple, 1.0,
                1000.0);
  software.Bind("WaveletBurst", "Wavelet2ndTonedBLev", s.wavelet.second_tone_db, -100.0, 10.0);
}

}  // namespace vireon
