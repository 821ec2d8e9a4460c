#pragma once

#include <QWidget>
#include <filesystem>
#include <functional>
#include <optional>
#include <string>

#include "plot/ui/PlotFormDialogs.h"
#include "stimulus/SteppedTones.h"

class QLabel;
class QPushButton;
class QRadioButton;

namespace vireon {

class ListFileEditor;
class TEditRealSpin;

struct SweepStimEditHooks {
  std::function<void()> changed;  // after "Done" copied the edits into the settings
  std::function<std::optional<std::filesystem::path>(QWidget* parent, const FileQuestion&)>
      choose_file = InteractiveDialogs().ChooseFile;  // none when cancelled
  std::function<void(QWidget* parent, const std::string& text)> show_message =
      InteractiveDialogs().ShowMessage;
};

// "=vireon= SteppedToneEditor": the stepped tones of one channel, either from its tone table
// (start and stop of frequency and level, each stepped logarithmically or linearly) and the
// common number of steps, or from a list file. It edits a copy; "Done" copies it into the
// settings, "Cancel" drops it. Component names: "rbUseSpec", "rbUseListFile", "ersToneNum",
// "lbToneCount", "bbAddTone", "bbDeleteTone", "ersFreqStart", "ersFreqStop", "rbFreqLog",
// "rbFreqLin", "ersLevelStart", "ersLevelStop", "rbLevelLog", "rbLevelLin", "ersSteps",
// "lbListFile", "bbSelectListFile", "bbEditListFile", "bbNewListFile", "bbCancel", "bbDone".
class SweepStimEdit : public QWidget {
  Q_OBJECT

 public:
  // `channel` 1 edits the tone table of channel 1, 2 that of channel 2.
  SweepStimEdit(SteppedToneSettings& settings, int channel, SweepStimEditHooks hooks,
                QWidget* parent = nullptr);

  // Takes a fresh copy of the settings, then shows and raises the window.
  void Open();
  void Refresh();  // the copy and every control from the settings

 private:
  TStepFSpecArray& Tones() { return channel_ == 2 ? edited_.channel2 : edited_.channel1; }
  TStepFSpec& Tone();
  QWidget* NewSpecPanel();
  QWidget* NewListFilePanel();
  TEditRealSpin* NewToneSpin(const char* name, double min, double max, const char* units,
                             double TStepFSpec::*field);
  QRadioButton* NewLogChoice(const char* log_name, const char* linear_name,
                             std::int32_t TStepFSpec::*field, QRadioButton** linear);
  void ShowControls();
  void ShowTone();
  void AddTone();
  void DeleteTone();
  void SelectListFile();
  void EditListFile(bool new_file);
  void Done();

  SteppedToneSettings& settings_;
  const int channel_;
  SweepStimEditHooks hooks_;
  SteppedToneSettings edited_;
  std::size_t tone_ = 0;  // the tone shown
  QRadioButton* use_spec_;
  QRadioButton* use_list_file_;
  QWidget* spec_panel_;
  QWidget* list_panel_;
  TEditRealSpin* tone_number_;
  QLabel* tone_count_;
  QPushButton* delete_tone_;
  TEditRealSpin* freq_start_;
  TEditRealSpin* freq_stop_;
  QRadioButton* freq_log_;
  QRadioButton* freq_linear_;
  TEditRealSpin* level_start_;
  TEditRealSpin* level_stop_;
  QRadioButton* level_log_;
  QRadioButton* level_linear_;
  TEditRealSpin* steps_;
  QLabel* list_file_;
  ListFileEditor* list_editor_ = nullptr;  // made when first opened
};

}  // namespace vireon
