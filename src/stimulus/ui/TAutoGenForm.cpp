#include "stimulus/ui/TAutoGenForm.h"

#include <QCheckBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>
#include <algorithm>
#include <string>

#include "plot/ui/TEditRealSpin.h"
#include "stimulus/ui/StimFormWidgets.h"

namespace vireon {

namespace {

// A factor must exceed 1 for a series to move.
constexpr double kSmallestFactor = 1.0001;

// The step field's range follows the choice of adding a step or multiplying by a factor.
void LimitStep(TEditRealSpin* step, double min, double max) {
  step->SetMinValue(min);
  step->SetMaxValue(max);
  step->SetRealValue(std::clamp(step->RealValue(), min, max));
}

}  // namespace

AutoGenerateParameters InitialAutoGenerateParameters() {
  AutoGenerateParameters p;
  p.frequency = {100.0, 10000.0, 2.0, true};
  p.level = {0.05, 0.05, 0.01, false};
  p.phase = {0.0, 0.0, 30.0, false};
  return p;
}

TAutoGenForm::TAutoGenForm(const AutoGenerateParameters& initial, QWidget* parent)
    : QDialog(parent) {
  setObjectName("AutoGenForm");
  setWindowTitle("Auto-Generate Waveform Set");
  auto* layout = new QVBoxLayout(this);
  auto* grid = new QGridLayout;
  layout->addLayout(grid);
  int column = 1;
  for (const char* caption : {"Start", "Limit", "", "Step / Mult"}) {
    grid->addWidget(new QLabel(caption, this), 0, column++);
  }
  frequency_ = NewRampRow(grid, "Freq", "Frequency",
                          {0.1, 384000.0, 0.1, 100000.0, kSmallestFactor, 1000.0, "Hz", 2.0, 0},
                          initial.frequency, 1);
  level_ = NewRampRow(grid, "Level", "Level",
                      {0.000001, 1000.0, 0.000001, 100.0, kSmallestFactor, 1000.0, "", 2.0, 0},
                      initial.level, 2);
  phase_ = NewRampRow(grid, "Phase", "Phase",
                      {-1000000.0, 1000000.0, -1000000.0, 1000000.0, -100.0, 100.0, "deg", 0, 30.0},
                      initial.phase, 3);

  auto* count_row = new QHBoxLayout;
  layout->addLayout(count_row);
  count_row->addWidget(new QLabel("Max. number of components to add", this));
  max_components_ = NewSpin({.name = "ersMaxComponents",
                             .min = 1,
                             .max = 1024,
                             .units = "",
                             .step = 1,
                             .int_only = true,
                             .eng_units = false},
                            this);
  max_components_->SetRealValue(std::clamp(initial.max_components, 1, 1024));
  count_row->addWidget(max_components_);

  auto* bins_row = new QHBoxLayout;
  layout->addLayout(bins_row);
  exact_bins_ = new QCheckBox("Exact FFT bins of", this);
  exact_bins_->setObjectName("cbExactBins");
  exact_bins_->setChecked(initial.exact_bins);
  bins_row->addWidget(exact_bins_);
  fft_size_ = NewSpin({.name = "ersFftSize",
                       .min = 256,
                       .max = 2097152,
                       .units = "points",
                       .step_factor = 2.0,
                       .int_only = true,
                       .eng_units = false,
                       .digits = 7},
                      this);
  fft_size_->SetRealValue(std::clamp(initial.fft_size, 256, 2097152));
  bins_row->addWidget(fft_size_);

  auto* buttons = new QHBoxLayout;
  layout->addLayout(buttons);
  auto* ok = new QPushButton("OK", this);
  ok->setObjectName("bbOk");
  ok->setDefault(true);
  auto* cancel = new QPushButton("Cancel", this);
  cancel->setObjectName("bbCancel");
  buttons->addWidget(ok);
  buttons->addWidget(cancel);
  connect(ok, &QPushButton::clicked, this, &QDialog::accept);
  connect(cancel, &QPushButton::clicked, this, &QDialog::reject);
}

TAutoGenForm::RampFields TAutoGenForm::NewRampRow(QGridLayout* grid, const char* stem,
                                                  const char* label, const RampLimits& limits,
                                                  const AutoRamp& initial, int row) {
  const auto name = [stem](const char* part, const char* suffix) {
    return std::string(part) + stem + suffix;
  };
  const auto new_spin = [&](const char* suffix, double min, double max, const char* units) {
    const std::string object_name = name("ers", suffix);
    return NewSpin({.name = object_name.c_str(),
                    .min = min,
                    .max = max,
                    .units = units,
                    .step_factor = limits.spin_factor,
                    .step = limits.spin_increment},
                   this);
  };
  RampFields fields{};
  fields.start = new_spin("Start", limits.min, limits.max, limits.units);
  fields.start->SetRealValue(std::clamp(initial.start, limits.min, limits.max));
  fields.limit = new_spin("Limit", limits.min, limits.max, limits.units);
  fields.limit->SetRealValue(std::clamp(initial.limit, limits.min, limits.max));
  fields.step = new_spin("Step", limits.step_min, limits.step_max, "");
  fields.add = new QRadioButton("Step", this);
  fields.add->setObjectName(name("rb", "Step").c_str());
  fields.multiply = new QRadioButton("Mult", this);
  fields.multiply->setObjectName(name("rb", "Mult").c_str());
  (initial.multiply ? fields.multiply : fields.add)->setChecked(true);

  auto* mode = new QWidget(this);
  auto* mode_layout = new QHBoxLayout(mode);
  mode_layout->setContentsMargins(0, 0, 0, 0);
  mode_layout->addWidget(fields.add);
  mode_layout->addWidget(fields.multiply);

  grid->addWidget(new QLabel(label, this), row, 0);
  grid->addWidget(fields.start, row, 1);
  grid->addWidget(fields.limit, row, 2);
  grid->addWidget(mode, row, 3);
  grid->addWidget(fields.step, row, 4);

  const auto limit_step = [step = fields.step, limits](bool multiply) {
    if (multiply) {
      LimitStep(step, limits.factor_min, limits.factor_max);
    } else {
      LimitStep(step, limits.step_min, limits.step_max);
    }
  };
  fields.step->SetRealValue(initial.step);
  limit_step(initial.multiply);
  connect(fields.multiply, &QRadioButton::toggled, this, limit_step);
  return fields;
}

AutoRamp TAutoGenForm::Ramp(const RampFields& fields) {
  return {fields.start->RealValue(), fields.limit->RealValue(), fields.step->RealValue(),
          fields.multiply->isChecked()};
}

AutoGenerateParameters TAutoGenForm::Parameters() const {
  AutoGenerateParameters p;
  p.frequency = Ramp(frequency_);
  p.level = Ramp(level_);
  p.phase = Ramp(phase_);
  p.max_components = static_cast<int>(max_components_->RealValue());
  p.exact_bins = exact_bins_->isChecked();
  p.fft_size = static_cast<int>(fft_size_->RealValue());
  return p;
}

std::optional<AutoGenerateParameters> AskAutoGenerate(QWidget* parent,
                                                      const AutoGenerateParameters& initial) {
  TAutoGenForm form(initial, parent);
  if (form.exec() != QDialog::Accepted) return std::nullopt;
  return form.Parameters();
}

}  // namespace vireon
