#include "measure/ui/TStepFAcqCfg.h"

#include <QCheckBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QVBoxLayout>

#include <cmath>
#include <string>
#include <utility>

#include "measure/ui/TCfgAcqWidgets.h"
#include "plot/ui/TEditRealSpin.h"

namespace vireon {
namespace {

constexpr SpinRule kMultiplierRule{
    kMinComponentMultiplier, kMaxComponentMultiplier, StepModeT::smIntRound, 1.0, true, false};
constexpr SpinRule kToneRule{kMinToneNumber, kMaxToneNumber, StepModeT::smIntRound, 1.0,
                             true,           false};
constexpr SpinRule kChannelRule{1, 2, StepModeT::smIntRound, 1.0, true, false};
constexpr SpinRule kHarmonicRule{
    kMinMaxHarmonic, kMaxMaxHarmonic, StepModeT::smIntRound, 1.0, true, false};

int AsInt(double value) { return static_cast<int>(std::lround(value)); }

}  // namespace

TStepFAcqCfg::TStepFAcqCfg(ComponentTrackSettings& settings, std::function<void()> changed,
                           QWidget* parent)
    : QWidget(parent, Qt::Tool), settings_(settings), changed_(std::move(changed)) {
  setObjectName("StepFAcqCfg");
  setWindowTitle("Component Tracking Configuration");
  auto* rows = new QVBoxLayout(this);
  rows->addWidget(BuildCurve(1, settings_.curve1, curves_[0]));
  rows->addWidget(BuildCurve(2, settings_.curve2, curves_[1]));

  auto* shared = new QHBoxLayout;
  shared->addWidget(new QLabel("Max Harmonic for THD=", this));
  max_harmonic_ = MakeSpin(this, "ersMaxHarmonic", kHarmonicRule, [this](double value) {
    settings_.max_harmonic = AsInt(value);
    Edited();
  });
  shared->addWidget(max_harmonic_);
  rows->addLayout(shared);

  auto* domain = new QHBoxLayout;
  domain_ = new RadioChoice("rgDomain", "X Domain", {"Frequency", "Level"}, this, Qt::Horizontal);
  domain_->OnPick([this](int index) {
    settings_.domain_is_frequency = index == 0;
    Edited();
  });
  domain_channel_ = new RadioChoice("rgDomainOutCh", "X from Tone 1 of", {"Out Ch1", "Out Ch2"},
                                    this, Qt::Horizontal);
  domain_channel_->OnPick([this](int index) {
    settings_.domain_channel = index + 1;
    Edited();
  });
  domain->addWidget(domain_);
  domain->addWidget(domain_channel_);
  rows->addLayout(domain);
  Refresh();
}

QWidget* TStepFAcqCfg::BuildCurve(int number, ComponentCurve& curve, CurveControls& controls) {
  const std::string n = std::to_string(number);
  auto* group = new QGroupBox(QString("Curve %1 (Input %1)").arg(number), this);
  group->setObjectName(QString::fromStdString("gbCurve" + n));
  const auto spin = [&](const char* stem, const SpinRule& rule, int& value) {
    const std::string name = stem + n;
    return MakeSpin(group, name.c_str(), rule, [this, &value](double entered) {
      value = AsInt(entered);
      Edited();
    });
  };
  controls.mult_a = spin("ersMultA", kMultiplierRule, curve.mult_a);
  controls.tone_a = spin("ersToneA", kToneRule, curve.tone_a);
  controls.channel_a = spin("ersOChanA", kChannelRule, curve.channel_a);
  controls.mult_b = spin("ersMultB", kMultiplierRule, curve.mult_b);
  controls.tone_b = spin("ersToneB", kToneRule, curve.tone_b);
  controls.channel_b = spin("ersOChanB", kChannelRule, curve.channel_b);

  auto* grid = new QGridLayout;
  const auto add_term = [&](int row, const char* lead, TEditRealSpin* mult, TEditRealSpin* tone,
                            TEditRealSpin* channel, const char* tail) {
    grid->addWidget(new QLabel(lead, group), row, 0);
    grid->addWidget(mult, row, 1);
    grid->addWidget(new QLabel("x F(Tone", group), row, 2);
    grid->addWidget(tone, row, 3);
    grid->addWidget(new QLabel("of Out Ch", group), row, 4);
    grid->addWidget(channel, row, 5);
    grid->addWidget(new QLabel(tail, group), row, 6);
  };
  add_term(0, "f = | A:", controls.mult_a, controls.tone_a, controls.channel_a, ")");
  add_term(1, "  + B:", controls.mult_b, controls.tone_b, controls.channel_b, ") |");

  controls.reference =
      new RadioChoice(("rgRef" + n).c_str(), "Reference result to measurement at Frequency",
                      {"A", "B", "None"}, group, Qt::Horizontal);
  controls.reference->OnPick([this, &curve](int index) {
    curve.reference = static_cast<ComponentReference>(index);
    Edited();
  });
  controls.thd = MakeCheckBox(group, ("cbTHD" + n).c_str(), "Analyze THD", [this, &curve](bool on) {
    curve.thd = on;
    Edited();
  });

  auto* column = new QVBoxLayout(group);
  column->addLayout(grid);
  column->addWidget(controls.reference);
  column->addWidget(controls.thd);
  return group;
}

void TStepFAcqCfg::Refresh() {
  const std::array<const ComponentCurve*, 2> curves = {&settings_.curve1, &settings_.curve2};
  for (std::size_t i = 0; i < curves.size(); ++i) {
    const ComponentCurve& curve = *curves[i];
    CurveControls& controls = curves_[i];
    controls.mult_a->SetRealValue(curve.mult_a);
    controls.tone_a->SetRealValue(curve.tone_a);
    controls.channel_a->SetRealValue(curve.channel_a);
    controls.mult_b->SetRealValue(curve.mult_b);
    controls.tone_b->SetRealValue(curve.tone_b);
    controls.channel_b->SetRealValue(curve.channel_b);
    controls.reference->SetItemIndex(static_cast<int>(curve.reference));
    controls.thd->setChecked(curve.thd);
  }
  max_harmonic_->SetRealValue(settings_.max_harmonic);
  domain_->SetItemIndex(settings_.domain_is_frequency ? 0 : 1);
  domain_channel_->SetItemIndex(settings_.domain_channel - 1);
}

void TStepFAcqCfg::Edited() {
  Refresh();
  if (changed_) changed_();
}

}  // namespace vireon
