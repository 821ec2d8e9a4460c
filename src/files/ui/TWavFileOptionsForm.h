#pragma once

#include <QDialog>
#include <optional>

class QButtonGroup;
class QLabel;
class QRadioButton;
class QSpinBox;

namespace vireon {

class TEditRealSpin;

// What the WAV save options window is told about the save it precedes.
struct WavSaveQuestion {
  double sample_rate = 48000;
  int recorded_bits = 16;
  bool generating = false;   // a signal is generated, not existing data saved
  bool two_columns = false;  // the record has more than one column: offer mono or stereo
  double level_db = 0;       // the program's current WAV export level
};

// What the user chose.
struct WavSaveChoice {
  int bits = 16;  // 8, 16, 24 or 32
  bool stereo = true;
  double level_db = 0;  // relative to full scale
  int samples = 4096;   // only meaningful when generating
};

// The bit resolution item preselected for a recording of `recorded_bits`: 0 = "8 bit" ... 3.
int PreselectedBitsItem(int recorded_bits);

// The window asked before each WAV save the user starts. Component names: "lbHeader",
// "rgBits", "gbChannels", "rbMono", "rbStereo", "edLevel", "gbGenerate", "seSamples",
// "lbDuration", "bbOk", "bbCancel".
class TWavFileOptionsForm : public QDialog {
  Q_OBJECT

 public:
  explicit TWavFileOptionsForm(const WavSaveQuestion& question, QWidget* parent = nullptr);

  WavSaveChoice Choice() const;

 private:
  void ShowDuration();

  double sample_rate_;
  QButtonGroup* bits_;
  QRadioButton* stereo_;
  TEditRealSpin* level_;
  QSpinBox* samples_;
  QLabel* duration_;
};

// Shows the window modally; none when it was cancelled.
std::optional<WavSaveChoice> AskWavSaveOptions(QWidget* parent, const WavSaveQuestion& question);

}  // namespace vireon
