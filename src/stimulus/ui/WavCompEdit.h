#pragma once

#include <QWidget>
#include <array>
#include <filesystem>
#include <functional>
#include <optional>
#include <string>

#include "files/ui/TWavFileOptionsForm.h"
#include "plot/ui/PlotFormDialogs.h"
#include "stimulus/ToneEditing.h"
#include "stimulus/ToneSet.h"
#include "stimulus/ui/TAutoGenForm.h"

class QComboBox;
class QLabel;
class QTableWidget;

namespace vireon {

class TEditRealSpin;

// "Auto Output Peak setting": keep the proportions, make all amplitudes the same, or none for
// Cancel.
std::optional<PeakSetting> AskPeakSetting(QWidget* parent);

// What the component editor asks of the main window. The dialogs default to the interactive
// ones, so tests replace them to answer at once.
struct ToneEditorHooks {
  // After every change of the list: the main window applies the lists and restarts the capture.
  std::function<void()> changed;
  std::function<std::optional<std::filesystem::path>(QWidget* parent, const FileQuestion&)>
      choose_file = InteractiveDialogs().ChooseFile;  // none when cancelled
  std::function<bool(QWidget* parent, const std::string& question)> confirm =
      InteractiveDialogs().Confirm;  // true for Yes
  std::function<void(QWidget* parent, const std::string& text)> show_message =
      InteractiveDialogs().ShowMessage;
  std::function<std::optional<PeakSetting>(QWidget* parent)> ask_peak_setting = AskPeakSetting;
  std::function<std::optional<AutoGenerateParameters>(QWidget* parent,
                                                      const AutoGenerateParameters& initial)>
      ask_auto_generate = AskAutoGenerate;  // none when cancelled
  std::function<std::optional<WavSaveChoice>(QWidget* parent, const WavSaveQuestion&)>
      ask_wav_options = AskWavSaveOptions;  // none when cancelled
};

// "Waveform Component Editor": edits tone list P (channel 1) or Q (channel 2) in place, one grid
// row per component and an empty row for adding one; a selected cell is edited above the grid.
// Component names: "lbOutput", "lbField", "cbType", "ersFrequency", "ersAmplitude", "ersPhase",
// "ersDuty", "sgWaves", "lbPeakSum", "bbRemove", "bbClearAll", "bbAutoGen", "bbLoad", "bbSave",
// "bbMakeWav", "bbCancel", "bbDone".
class WavCompEdit : public QWidget {
  Q_OBJECT

 public:
  // Both lists are needed for a stereo WAV file; `channel` chooses the one edited.
  WavCompEdit(ToneLists& lists, int channel, int play_rate, ToneEditorHooks hooks,
              QWidget* parent = nullptr);

  // Keeps the copy "Cancel" returns to, then shows and raises the window.
  void Open();
  // Every control from the list; a list replaced from outside (a configuration load) also
  // becomes the one "Cancel" returns to.
  void Refresh();
  void SetPlayRate(int play_rate);  // recomputes Omega of every component

 private:
  SineParsArray& List() { return channel_ == 2 ? lists_.q : lists_.p; }
  QWidget* NewFieldEditor();
  QWidget* NewButtons();
  void ShowGrid();
  void ShowFieldEditor();
  void SetField(ToneField field, double value);
  void Remove();
  void ClearAll();
  void AutoGenerateSeries();
  void LoadWaveSet();
  void SaveWaveSet();
  void MakeWav();
  void Cancel();
  void Done();
  bool AcceptAmplitudeSum();  // false, after offering the peak setting, when the sum exceeds 1
  void Changed();

  ToneLists& lists_;
  const int channel_;
  int play_rate_;
  ToneEditorHooks hooks_;
  SineParsArray copy_;
  AutoGenerateParameters last_series_;
  QLabel* field_caption_;
  QComboBox* kind_;
  std::array<TEditRealSpin*, kToneFieldCount> field_spins_{};  // by ToneField; none for kType
  QTableWidget* grid_;
  QLabel* peak_sum_;
};

}  // namespace vireon
