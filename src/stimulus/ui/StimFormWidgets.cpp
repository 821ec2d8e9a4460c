#include "stimulus/ui/StimFormWidgets.h"

#include "plot/ui/TEditRealSpin.h"

namespace vireon {

TEditRealSpin* NewSpin(const SpinSpec& spec, QWidget* parent) {
  SpinRule rule{.min = spec.min,
                .max = spec.max,
                .int_only = spec.int_only,
                .eng_units = spec.eng_units,
                .units = spec.units,
                .digits = spec.digits};
  if (spec.step_factor > 0) {
    rule.step = StepModeT::smLog;
    rule.step_size = spec.step_factor;
  } else {
    rule.step = spec.int_only ? StepModeT::smIntRound : StepModeT::smReal;
    rule.step_size = spec.step;
  }
  return NewEditRealSpin(parent, spec.name, rule);
}

}  // namespace vireon
