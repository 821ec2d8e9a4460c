#include "stimulus/ui/StimFormWidgets.h"

#include "plot/ui/TEditRealSpin.h"

namespace vireon {

TEditRealSpin* NewSpin(const SpinSpec& spec, QWidget* parent) {
  auto* spin = new TEditRealSpin(parent);
  spin->setObjectName(spec.name);
  spin->SetMinValue(spec.min);
  spin->SetMaxValue(spec.max);
  spin->SetIntOnly(spec.int_only);
  spin->SetEngUnits(spec.eng_units);
  spin->SetDefNumChars(spec.digits);
  spin->SetUnits(spec.units);
  spin->SetShowUnits(*spec.units != '\0');
  if (spec.step_factor > 0) {
    spin->SetRealMult(spec.step_factor);
    spin->SetStepMode(StepModeT::smLog);
  } else if (spec.int_only) {
    spin->SetCardInc(static_cast<int>(spec.step));
    spin->SetStepMode(StepModeT::smIntRound);
  } else {
    spin->SetRealInc(spec.step);
    spin->SetStepMode(StepModeT::smReal);
  }
  return spin;
}

}  // namespace vireon
