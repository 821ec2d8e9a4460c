#pragma once

#include <QWidget>
#include <array>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "audio/devices/WaveDevice.h"
#include "audio/engine/LevelMeters.h"
#include "audio/settings/AudioInterfaceSettings.h"
#include "audio/settings/TimingSettings.h"
#include "audio/ui/NumericEditorDialog.h"
#include "config/VolumeControl.h"
#include "stimulus/CfgStim.h"

class QAction;
class QActionGroup;
class QCheckBox;
class QComboBox;
class QLabel;
class QMenu;
class QMenuBar;
class QProgressBar;

namespace vireon {

class TEditRealSpin;

// What the window shows that other parts of the program keep: the probe resistors and
// microphone files named in the input lists, the power amplifier behind the outputs, and the
// calibrations of the channels (none while a channel is uncalibrated).
struct AddaSurroundings {
  double probe1_ohms = 47500.0;
  double probe2_ohms = 47500.0;
  std::string mic1_file;  // empty: no microphone calibration file loaded
  std::string mic2_file;
  double power_amp_gain_db = 0.0;
  double power_amp_peak_volts = 5.0;
  // Of each input for its current designation.
  std::array<std::optional<double>, 2> input_calibration;
  // The rms volts of each output at a 0 dB setting.
  std::array<std::optional<double>, 2> output_rms_volts_at_0db;
};

void ShowAddaMessage(QWidget* parent, const std::string& text);  // a message box

// How the window reaches the main window and the user. The dialogs are interactive unless a
// test answers them (an empty one is the interactive one).
struct AddaWindowHooks {
  std::function<void()> changed;          // after every change of the settings: re-apply them
  std::function<void()> devices_changed;  // a device or a rate changed: the status panels follow
  std::function<AddaSurroundings()> surroundings;  // none: the defaults
  std::function<void(QWidget* parent, const std::string& text)> show_message = ShowAddaMessage;
  std::function<std::optional<double>(QWidget* parent, const NumericEditorSpec& spec,
                                      double value)>
      edit_number = AskNumber;  // none when cancelled
  // "&Play Mixer", "R&ecord Mixer": the system volume control; none disables them.
  std::function<void(QWidget* parent, MixerSide side)> open_mixer;
};

// "Audio Interface": the choice of the sound card's play and record devices, their rates and
// resolutions, the output levels, what each input is used as, the input level bars and the
// engine's timing values. It edits the settings it is given and never owns them.
class TSet_ADDA : public QWidget {
  Q_OBJECT

 public:
  TSet_ADDA(QWidget* parent, AudioInterfaceSettings& audio, StimulusSettings& stimulus,
            TimingSettings& timing, AddaWindowHooks hooks);

  // Re-reads every control from the settings, e.g. after a configuration was loaded; the output
  // gains follow the stimulus settings' levels.
  void Refresh();

  // The input level bars and overload lamps for the latest peaks (counts on the 24-bit scale).
  // True when an input is overloaded: the controller's overload flag.
  bool ShowInputPeaks(double peak1_counts, double peak2_counts);
  bool ShowLevels(const LevelReadings& readings);

 private:
  struct RateMenu {
    QMenu* menu = nullptr;
    std::vector<QAction*> rates;  // rate table order
    QAction* bits16 = nullptr;
    QAction* bits24 = nullptr;
  };
  struct OutputRow {
    QCheckBox* enable = nullptr;
    TEditRealSpin* level = nullptr;
    QLabel* calibration = nullptr;
    QLabel* unit = nullptr;
  };
  struct InputRow {
    QComboBox* designation = nullptr;
    QLabel* calibration = nullptr;
    QProgressBar* bar = nullptr;
    QLabel* lamp = nullptr;
  };

  QMenuBar* BuildMenus();
  RateMenu BuildRateMenu(QMenu* menu, WaveDirection direction, const char* prefix);
  void BuildSetupMenu(QMenu* menu);
  QWidget* BuildOutputs();
  QWidget* BuildInputs();

  void FillDeviceMenu(QMenu* menu, WaveDirection direction, std::string_view caption);
  void FillRateMenu(RateMenu& menu, WaveDirection direction, bool follows_play,
                    bool bits_follow_play);
  void ShowOutputs(const AddaSurroundings& surroundings);
  void ShowInputs(const AddaSurroundings& surroundings);
  void SetLamp(int input, bool lit);

  void ChooseDevice(WaveDirection direction, int index);
  void ChooseRate(WaveDirection direction, int index);
  void ChooseBits(WaveDirection direction, int bits);
  void EditTiming(TimingEditor editor);
  void TakeOutputLevels();
  void TakeDesignations();
  void RelistIfDevicesChanged();
  // Shows the message, if any, then refreshes and tells the main window.
  void AfterChange(bool devices_or_rates, const std::optional<std::string>& message = {});
  AddaSurroundings Surroundings() const;

  AudioInterfaceSettings& audio_;
  StimulusSettings& stimulus_;
  TimingSettings& timing_;
  AddaWindowHooks hooks_;

  QMenu* play_menu_ = nullptr;
  QMenu* record_menu_ = nullptr;
  QMenu* play_device_menu_ = nullptr;
  QMenu* record_device_menu_ = nullptr;
  QActionGroup* play_devices_ = nullptr;
  QActionGroup* record_devices_ = nullptr;
  RateMenu play_rates_;
  RateMenu record_rates_;
  QAction* allow_separate_ = nullptr;
  QAction* allow_different_rates_ = nullptr;
  QAction* allow_different_resolution_ = nullptr;
  std::array<OutputRow, 2> outputs_;
  QLabel* reference_panel_ = nullptr;
  std::array<InputRow, 2> inputs_;
};

}  // namespace vireon
