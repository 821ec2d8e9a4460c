#include "stimulus/StimulusPanels.h"

#include <algorithm>
#include <array>

#include "stimulus/StimulusSelection.h"

namespace vireon {

namespace {

constexpr std::array<std::string_view, 16> kCaptions = {
    "Edit Steps (Ch 1)",       "Edit Steps (Ch 2)",   "Edit Tones (Ch 1)",
    "Edit Tones (Ch 2)",       "MLS Sequence Length", "Load Wave File",
    "Apply Envelope",          "Envelope Length",     "Chirp Parameters",
    "Invert Alternate Stims",  "Min. Inter-Silence",  "Edit Wavelet",
    "Power Amp Gain",          "Power Amp Max Volt.", "Save as WAV file",
    "LPF on Output 2 (chirps)"};

}  // namespace

std::string_view PanelCaption(StimulusPanel panel) {
  return kCaptions[static_cast<std::size_t>(panel)];
}

std::vector<StimulusPanel> PanelsForStimulus(int stim_code, int acq_type, int play_bits) {
  using enum StimulusPanel;
  std::vector<StimulusPanel> panels;
  switch (stim_code) {
    case 0:
    case 17:
      panels = {kChirpParameters, kSaveAsWavFile};
      if (acq_type == kAcqHarmonicDistortion || acq_type == kAcqIntermodulation) {
        panels.push_back(kInvertAlternateStims);
      }
      if (play_bits == 24) panels.push_back(kOutput2LowPass);
      break;
    case 1:
    case 2:
      panels = {kMlsSequenceLength};
      break;
    case 3:
      panels = {kInvertAlternateStims, kMinInterSilence};
      break;
    case 4:
    case 5:
      panels = {kMlsSequenceLength, kInvertAlternateStims};
      break;
    case 6:
      panels = {kEditTonesCh1, kApplyEnvelope, kEnvelopeLength, kInvertAlternateStims,
                kMinInterSilence};
      break;
    case 7:
      panels = {kEditTonesCh1};
      break;
    case 8:
      panels = {kEditTonesCh1, kEditTonesCh2};
      break;
    case 9:
      panels = acq_type == kAcqImpedance
                   ? std::vector{kEditStepsCh1, kMinInterSilence}
                   : std::vector{kEditStepsCh1, kApplyEnvelope, kEnvelopeLength, kMinInterSilence};
      break;
    case 10:
      panels = {kEditStepsCh1};
      break;
    case 11:
      panels = {kEditStepsCh1, kEditStepsCh2};
      break;
    case 12:
      panels = {kLoadWaveFile, kInvertAlternateStims, kMinInterSilence};
      break;
    case 13:
      panels = {kLoadWaveFile};
      break;
    case 16:
      panels = {kInvertAlternateStims, kMinInterSilence, kEditWavelet};
      break;
    default:
      break;
  }
  std::sort(panels.begin(), panels.end());
  return panels;
}

}  // namespace vireon
