#pragma once

#include <string_view>
#include <vector>

namespace vireon {

// The panels of the stimulus window, in their top-to-bottom order.
enum class StimulusPanel {
  kEditStepsCh1,
  kEditStepsCh2,
  kEditTonesCh1,
  kEditTonesCh2,
  kMlsSequenceLength,
  kLoadWaveFile,
  kApplyEnvelope,
  kEnvelopeLength,
  kChirpParameters,
  kInvertAlternateStims,
  kMinInterSilence,
  kEditWavelet,
  kPowerAmpGain,
  kPowerAmpMaxVolt,
  kSaveAsWavFile,
  kOutput2LowPass,
};

std::string_view PanelCaption(StimulusPanel panel);  // "Edit Steps (Ch 1)", ...

// The panels the window shows for a stimulus code, in window order.
std::vector<StimulusPanel> PanelsForStimulus(int stim_code, int acq_type, int play_bits);

}  // namespace vireon
