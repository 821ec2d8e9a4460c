#pragma once

#include <QWidget>

#include <array>
#include <functional>

#include "measure/ComponentTracking.h"

class QCheckBox;

namespace vireon {

class RadioChoice;
class TEditRealSpin;

// "Component Tracking Configuration": the stimulus component each curve of the component-tracking
// acquisitions follows, f = |MultA·F(A) + MultB·F(B)|, its reference and THD choice, and the x
// domain of the points. It edits the settings in place and calls `changed` after each user edit.
class TStepFAcqCfg : public QWidget {
 public:
  TStepFAcqCfg(ComponentTrackSettings& settings, std::function<void()> changed,
               QWidget* parent = nullptr);

  // Re-reads every control from the settings.
  void Refresh();

 private:
  // The controls of one curve.
  struct CurveControls {
    TEditRealSpin* mult_a;
    TEditRealSpin* tone_a;
    TEditRealSpin* channel_a;
    TEditRealSpin* mult_b;
    TEditRealSpin* tone_b;
    TEditRealSpin* channel_b;
    RadioChoice* reference;
    QCheckBox* thd;
  };

  QWidget* BuildCurve(int number, ComponentCurve& curve, CurveControls& controls);
  void Edited();

  ComponentTrackSettings& settings_;
  std::function<void()> changed_;
  std::array<CurveControls, 2> curves_{};
  TEditRealSpin* max_harmonic_;
  RadioChoice* domain_;
  RadioChoice* domain_channel_;
};

}  // namespace vireon
