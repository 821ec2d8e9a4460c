#pragma once

class QWidget;

namespace vireon {

class TEditRealSpin;

// The numeric fields of the stimulus windows: the range the configuration allows and how the
// spin buttons step.
struct SpinSpec {
  const char* name;  // objectName
  double min;
  double max;
  const char* units;
  double step_factor = 0;  // > 0: multiply by it per step, else add `step`
  double step = 1;
  bool int_only = false;
  bool eng_units = true;  // an engineering prefix ("1.5 k"), else plain digits
  int digits = 4;         // significant digits shown
};
TEditRealSpin* NewSpin(const SpinSpec& spec, QWidget* parent);

}  // namespace vireon
