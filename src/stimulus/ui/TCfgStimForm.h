#pragma once

#include <QWidget>
#include <array>

#include "stimulus/CfgStim.h"
#include "stimulus/StimulusPanels.h"
#include "stimulus/StimulusSelection.h"
#include "stimulus/ui/StimFormHooks.h"

class QCheckBox;
class QComboBox;
class QKeyEvent;
class QLabel;
class QPushButton;
class QRadioButton;

namespace vireon {

class TEditRealSpin;
class TWaveletBurstForm;

// The stimulus configuration window: for the chosen stimulus only the panels that apply, each
// editing the stimulus settings in place. Component names: "bbTitle" (shows the stimulus name),
// "bbEditSteps1", "bbEditSteps2", "bbEditTones1", "bbEditTones2", "gbMLSLength" with
// "ersMLSLength", "gbWaveFile" with "bbLoadWave", "lbWaveFileName", "lbWaveFileInfo",
// "gbEnvelope" with "cbEnvelopeType", "gbEnvelopeLength" with "ersEnvelopeLength", "gbChirp"
// with "ersChirpStart", "ersChirpStop", "lbChirpStartFixed", "lbChirpStopFixed", "ersChirpTime",
// "rbChirpLog", "rbChirpLin", "cbInvertAlternate", "gbInterSilence" with "ersInterSilence",
// "bbEditWavelet", "bbSaveWav", "pnChirpLPF" with "cbChirpLPF", "ersChirpLPFfreq".
class TCfgStimForm : public QWidget {
  Q_OBJECT

 public:
  TCfgStimForm(StimulusSettings& settings, StimFormHooks hooks, QWidget* parent = nullptr);

  // Shows the panels of the selection's stimulus code, acquisition type and play resolution,
  // and limits the chirp to its sample rates.
  void ShowFor(const StimulusSelection& selection);
  void Refresh();  // every control from the settings

 protected:
  void keyPressEvent(QKeyEvent* event) override;

 private:
  QWidget* NewEditorButton(const char* name, StimulusPanel panel,
                           const std::function<void(int)>& editor, int channel);
  QWidget* NewMlsPanel();
  QWidget* NewWaveFilePanel();
  QWidget* NewEnvelopePanel();
  QWidget* NewEnvelopeLengthPanel();
  QWidget* NewChirpPanel();
  QWidget* NewInvertPanel();
  QWidget* NewInterSilencePanel();
  QWidget* NewActionButton(const char* name, StimulusPanel panel, void (TCfgStimForm::*action)());
  QWidget* NewLowPassPanel();

  void TakeMlsLength();
  void LoadWaveFile();
  void SaveChirpAsWav();
  void OpenWaveletForm();
  void ShowWaveFile();
  void ShowChirpLimits();
  void Changed();

  StimulusSettings& settings_;
  StimFormHooks hooks_;
  StimulusSelection selection_;
  std::array<QWidget*, 16> panels_{};  // by StimulusPanel; none for the power amplifier
  QPushButton* title_;
  TEditRealSpin* mls_length_;
  QLabel* wave_name_;
  QLabel* wave_format_;
  QComboBox* envelope_;
  TEditRealSpin* envelope_length_;
  TEditRealSpin* chirp_start_;
  TEditRealSpin* chirp_stop_;
  QLabel* chirp_start_fixed_;
  QLabel* chirp_stop_fixed_;
  TEditRealSpin* chirp_time_;
  QRadioButton* chirp_log_;
  QRadioButton* chirp_linear_;
  QCheckBox* invert_;
  TEditRealSpin* inter_silence_;
  QCheckBox* lowpass_;
  TEditRealSpin* lowpass_hz_;
  TWaveletBurstForm* wavelet_form_ = nullptr;  // made when first opened
};

}  // namespace vireon
