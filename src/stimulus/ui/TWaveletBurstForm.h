#pragma once

#include <QWidget>
#include <functional>

#include "stimulus/CfgStim.h"

class QComboBox;

namespace vireon {

class TEditRealSpin;

// "Wavelet Burst Stimulus": the cycles, window and second tone of the wavelet burst, edited in
// place. Component names: "ersWaveletCycles", "cbWaveletWindow", "ersSecondToneMult",
// "ersSecondToneLevel", "bbOK".
class TWaveletBurstForm : public QWidget {
  Q_OBJECT

 public:
  // `changed` runs after every change the user makes.
  TWaveletBurstForm(WaveletBurstSettings& settings, std::function<void()> changed,
                    QWidget* parent = nullptr);

  void Refresh();  // every control from the settings

 private:
  WaveletBurstSettings& settings_;
  std::function<void()> changed_;
  TEditRealSpin* cycles_;
  QComboBox* window_;
  TEditRealSpin* second_multiple_;
  TEditRealSpin* second_level_;
};

}  // namespace vireon
