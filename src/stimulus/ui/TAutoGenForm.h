#pragma once

#include <QDialog>
#include <optional>

#include "stimulus/ToneSet.h"

class QCheckBox;
class QGridLayout;
class QRadioButton;

namespace vireon {

class TEditRealSpin;

// "Auto-Generate Waveform Set": start, limit and step or factor of the frequency, the level and
// the phase of a series of sines, how many to add at most, and whether frequencies move to exact
// transform bins. Component names per quantity Q of "Freq", "Level", "Phase": "ersQStart",
// "ersQLimit", "ersQStep", "rbQStep", "rbQMult"; then "ersMaxComponents", "cbExactBins",
// "ersFftSize", "bbOk", "bbCancel".
class TAutoGenForm : public QDialog {
  Q_OBJECT

 public:
  explicit TAutoGenForm(const AutoGenerateParameters& initial, QWidget* parent = nullptr);

  AutoGenerateParameters Parameters() const;

 private:
  struct RampFields {
    TEditRealSpin* start;
    TEditRealSpin* limit;
    TEditRealSpin* step;
    QRadioButton* add;
    QRadioButton* multiply;
  };
  struct RampLimits {
    double min;
    double max;
    double step_min;
    double step_max;
    double factor_min;
    double factor_max;
    const char* units;
    double spin_factor;  // the spin buttons multiply by it, or with 0 add `spin_increment`
    double spin_increment;
  };
  RampFields NewRampRow(QGridLayout* grid, const char* stem, const char* label,
                        const RampLimits& limits, const AutoRamp& initial, int row);
  static AutoRamp Ramp(const RampFields& fields);

  RampFields frequency_;
  RampFields level_;
  RampFields phase_;
  TEditRealSpin* max_components_;
  QCheckBox* exact_bins_;
  TEditRealSpin* fft_size_;
};

// Shows the window modally; none when it was cancelled.
std::optional<AutoGenerateParameters> AskAutoGenerate(QWidget* parent,
                                                      const AutoGenerateParameters& initial);

// The first parameters the window offers: octaves from 100 Hz to 10 kHz at a level of 0.05.
AutoGenerateParameters InitialAutoGenerateParameters();

}  // namespace vireon
