#include "stimulus/ui/TWaveletBurstForm.h"

#include <QComboBox>
#include <QFormLayout>
#include <QPushButton>
#include <QVBoxLayout>
#include <utility>

#include "plot/render/QtText.h"
#include "plot/ui/TEditRealSpin.h"
#include "stimulus/CfgStimRules.h"
#include "stimulus/ui/StimFormWidgets.h"

namespace vireon {

TWaveletBurstForm::TWaveletBurstForm(WaveletBurstSettings& settings, std::function<void()> changed,
                                     QWidget* parent)
    : QWidget(parent, Qt::Tool), settings_(settings), changed_(std::move(changed)) {
  setObjectName("WaveletBurstForm");
  setWindowTitle("Wavelet Burst Stimulus");
  auto* layout = new QVBoxLayout(this);
  layout->setSizeConstraint(QLayout::SetFixedSize);
  auto* fields = new QFormLayout;
  layout->addLayout(fields);

  // Half cycles count: an odd number of them turns the sine carrier into a cosine.
  cycles_ = NewSpin(
      {.name = "ersWaveletCycles", .min = 2.0, .max = 100.0, .units = "", .step = 0.5}, this);
  fields->addRow("Cycles", cycles_);
  window_ = new QComboBox(this);
  window_->setObjectName("cbWaveletWindow");
  for (const std::string_view name : WaveletWindowNames()) window_->addItem(ToQString(name));
  fields->addRow("Envelope Shape", window_);
  second_multiple_ = NewSpin(
      {.name = "ersSecondToneMult", .min = 1.0, .max = 1000.0, .units = "", .step = 1.0}, this);
  fields->addRow("2nd Tone Freq. Multiplier", second_multiple_);
  second_level_ = NewSpin(
      {.name = "ersSecondToneLevel", .min = -100.0, .max = 10.0, .units = "dB", .eng_units = false},
      this);
  fields->addRow("2nd Tone Level", second_level_);

  auto* ok = new QPushButton("OK", this);
  ok->setObjectName("bbOK");
  layout->addWidget(ok, 0, Qt::AlignRight);
  connect(ok, &QPushButton::clicked, this, &QWidget::hide);

  const auto edited = [this](auto apply) {
    return [this, apply] {
      apply();
      if (changed_) changed_();
    };
  };
  connect(cycles_, &TEditRealSpin::OnValChange, this,
          edited([this] { settings_.cycles = cycles_->RealValue(); }));
  connect(window_, &QComboBox::activated, this,
          edited([this] { settings_.window = window_->currentIndex(); }));
  connect(second_multiple_, &TEditRealSpin::OnValChange, this,
          edited([this] { settings_.second_tone_multiple = second_multiple_->RealValue(); }));
  connect(second_level_, &TEditRealSpin::OnValChange, this,
          edited([this] { settings_.second_tone_db = second_level_->RealValue(); }));
  Refresh();
}

void TWaveletBurstForm::Refresh() {
  cycles_->SetRealValue(settings_.cycles);
  window_->setCurrentIndex(settings_.window);
  second_multiple_->SetRealValue(settings_.second_tone_multiple);
  second_level_->SetRealValue(settings_.second_tone_db);
}

}  // namespace vireon
