// The main window's configuration windows: the audio interface, stimulus and acquisition
// windows, what they are told when the choices change, and the device panels of the status bar.

#include "measure/ui/TestForm.h"

#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QStatusBar>

#include <string>
#include <utility>

#include "audio/settings/StatusPanels.h"
#include "audio/settings/TDeviceCal.h"
#include "audio/ui/TSet_ADDA.h"
#include "config/ui/BackdropWindow.h"
#include "config/ui/VolumeControlLaunch.h"
#include "measure/ui/MlsWaitWindow.h"
#include "measure/ui/TCfgAcqForm.h"
#include "plot/render/QtText.h"
#include "stimulus/MlsTables.h"
#include "stimulus/ui/SweepStimEdit.h"
#include "stimulus/ui/TCfgStimForm.h"
#include "stimulus/ui/WavCompEdit.h"

namespace vireon {

void TTestForm::BuildConfigWindows() {
  const auto show_message = [this](QWidget* parent, const std::string& text) {
    context_.show_message(parent, text);
  };

  AddaWindowHooks audio_hooks;
  audio_hooks.changed = [this] { ShowDevicePanels(); };
  audio_hooks.devices_changed = [this] {
    ShowDevicePanels();
    RefreshConfigWindows();
  };
  audio_hooks.show_message = show_message;
  audio_hooks.open_mixer = [show_message](QWidget* parent, MixerSide side) {
    OpenVolumeControl(parent, side, show_message);
  };
  audio_window_ = new TSet_ADDA(this, station_.Audio(), station_.Stimulus(), station_.Timing(),
                                std::move(audio_hooks));

  StimFormHooks stimulus_hooks;
  stimulus_hooks.changed = [] {};
  stimulus_hooks.measuring = [this] { return Controller().Running(); };
  stimulus_hooks.stop = [this] { sbStopClick(); };
  stimulus_hooks.build_mls_tables = [this](int order) {
    MlsTableStore store(context_.data_directory);
    return BuildWithMlsWaitWindow(this, store, order);
  };
  stimulus_hooks.show_message = show_message;
  stimulus_hooks.edit_tones = [this](int channel) { OpenToneEditor(channel); };
  stimulus_hooks.edit_steps = [this](int channel) { OpenStepEditor(channel); };
  stimulus_window_ = new TCfgStimForm(station_.Stimulus(), std::move(stimulus_hooks), this);

  CfgAcqHooks acquisition_hooks;
  acquisition_hooks.restart_averages = [this] { Controller().RestartAverages(); };
  acquisition_hooks.find_window_edges = [this] {
    if (Controller().FindWindowEdges()) RedrawPlots();
  };
  acquisition_window_ = new TCfgAcqForm(Controller(), std::move(acquisition_hooks), this);

  for (const char* name : {"bbStimulusConfig", "bbAcqConfig"}) {
    auto* button = findChild<QPushButton*>(name);
    button->setEnabled(true);
    button->setToolTip({});
  }
  connect(findChild<QPushButton*>("bbStimulusConfig"), &QPushButton::clicked, this, [this] {
    RefreshConfigWindows();
    stimulus_window_->show();
    stimulus_window_->raise();
  });
  connect(findChild<QPushButton*>("bbAcqConfig"), &QPushButton::clicked, acquisition_window_,
          &TCfgAcqForm::ShowForCurrentType);
  ShowDevicePanels();
}

QWidget& TTestForm::AudioWindow() { return *audio_window_; }

// "Preferences" → "BackDrop": the picture behind the program's windows.
void TTestForm::BuildBackdrop() {
  backdrop_ = new BackdropWindow(context_.data_directory, this);
  QMenu* preferences = menuBar()->addMenu("Preferences");
  preferences->setObjectName("PreferencesMenu");
  QMenu* backdrop = preferences->addMenu("BackDrop");
  backdrop->addAction("Select", this, &TTestForm::SelectBackdrop)->setObjectName("BackDropSelect");
  backdrop->addAction("Toggle", this, [this] { ShowBackdrop(!backdrop_->isVisible()); })
      ->setObjectName("BackDropToggle");
}

// Cancelling the choice returns to the default picture; the backdrop is shown either way.
void TTestForm::SelectBackdrop() {
  const std::filesystem::path current = preferences_.backdrop_bitmap.empty()
                                            ? context_.data_directory / ""
                                            : std::filesystem::path(preferences_.backdrop_bitmap);
  const auto file = context_.config_dialogs.choose_file(
      this, {false, "", std::string(kBackdropFilter), "bmp", current});
  preferences_.backdrop_bitmap = backdrop_->SetBackdropBitmap(file ? file->string() : "");
  ShowBackdrop(true);
}

void TTestForm::ShowBackdrop(bool shown) {
  preferences_.backdrop_shown = shown;
  if (shown) {
    backdrop_->ShowBehind();
  } else {
    backdrop_->hide();
  }
}

// "Edit Tones (Ch n)": the Waveform Component Editor of list P (1) or Q (2), made once.
void TTestForm::OpenToneEditor(int channel) {
  WavCompEdit*& editor = tone_editors_[channel == 2 ? 1 : 0];
  if (editor == nullptr) {
    ToneEditorHooks hooks;
    hooks.changed = [this] { Controller().SetToneLists(tones_); };
    hooks.show_message = [this](QWidget* parent, const std::string& text) {
      context_.show_message(parent, text);
    };
    editor = new WavCompEdit(tones_, channel, station_.Audio().Settings().PlayRate,
                             std::move(hooks), this);
  }
  editor->Open();
}

// "Edit Steps (Ch n)": the stepped tones of that channel, made once.
void TTestForm::OpenStepEditor(int channel) {
  SweepStimEdit*& editor = step_editors_[channel == 2 ? 1 : 0];
  if (editor == nullptr) {
    SweepStimEditHooks hooks;
    hooks.changed = [this] { stimulus_window_->Refresh(); };
    hooks.show_message = [this](QWidget* parent, const std::string& text) {
      context_.show_message(parent, text);
    };
    editor = new SweepStimEdit(station_.Stimulus().stepped, channel, std::move(hooks), this);
  }
  editor->Open();
}

// The windows follow the stimulus, the acquisition type and the rates chosen.
void TTestForm::RefreshConfigWindows() {
  const TADDASettings& audio = station_.Audio().Settings();
  StimulusSelection selection;
  selection.stim_code = Controller().StimCode();
  selection.acq_type = Controller().AcqType();
  selection.play_rate = audio.PlayRate;
  selection.record_rate = audio.RecRate;
  selection.play_bits = audio.PlayBits;
  stimulus_window_->ShowFor(selection);
  stimulus_window_->Refresh();
  acquisition_window_->Refresh();
  for (WavCompEdit* editor : tone_editors_) {
    if (editor != nullptr) {
      editor->SetPlayRate(audio.PlayRate);
      editor->Refresh();
    }
  }
  for (SweepStimEdit* editor : step_editors_) {
    if (editor != nullptr) editor->Refresh();
  }
}

void TTestForm::ShowDevicePanels() {
  const char* names[] = {"StatusPanel1", "StatusPanel2"};
  const WaveDirection directions[] = {WaveDirection::kPlay, WaveDirection::kRecord};
  for (int i = 0; i < 2; ++i) {
    if (auto* panel = statusBar()->findChild<QLabel*>(names[i])) {
      panel->setText(ToQString(DeviceStatusPanel(station_.Audio(), directions[i])));
    }
  }
}

// The input level bars follow each pass; an overload is also shown on the primary plot.
void TTestForm::ShowInputLevels() {
  const PassLevels& levels = Controller().Levels();
  audio_window_->ShowInputPeaks(levels.channels[0].peak_of_full_scale * kFullScaleCode,
                                levels.channels[1].peak_of_full_scale * kFullScaleCode);
}

}  // namespace vireon
