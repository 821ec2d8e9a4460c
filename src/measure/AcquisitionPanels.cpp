#include "measure/AcquisitionPanels.h"

#include "measure/AcquisitionFormats.h"
#include "measure/AcquisitionTypes.h"
#include "measure/AnalysisWindow.h"
#include "measure/CodeSets.h"
#include "stimulus/StimulusTable.h"

namespace vireon {

bool IsSynchronousStimulus(int stim_code) {
  const StimulusType* stimulus = FindStimulus(stim_code);
  return stimulus != nullptr && stimulus->engine == EngineKind::kSynchronous;
}

AcquisitionPanels PanelsFor(int stim_code, int acq_type) {
  const bool synchronous = IsSynchronousStimulus(stim_code);
  const int channels = NeedsSecondInput(stim_code, acq_type) ? 2 : 1;
  const bool spectrum = OneOf(acq_type, {4, 5, 20, 21, 22});

  // The forcing rules are the core's own: they show here as whatever they change in settings
  // that differ from what they force.
  AcquisitionSettings probe;
  probe.avg_on = false;
  probe.avg_target = 2;
  probe.auto_stop = AutoStopMode::kTimer;
  ForceAcquisitionRules(stim_code, acq_type, probe);

  AcquisitionPanels panels;
  panels.window_edges = FindEdgesAfterPass(stim_code, acq_type, channels, 0);
  panels.rta = IsRtaType(acq_type);
  panels.impedance = acq_type == 13;
  panels.propagation = synchronous;
  panels.component_track = OneOf(acq_type, {14, 15});
  panels.wavelet_parameters = OneOf(acq_type, {21, 22, 23, 24});
  panels.half_window = OneOf(stim_code, {6, 9, 12, 16});
  panels.normalize = OneOf(acq_type, {5, 7});
  panels.hide_tones = OneOf(stim_code, {6, 7, 8}) && OneOf(acq_type, {4, 5, 20});
  panels.hold = OneOf(acq_type, {4, 5, 20});
  panels.trigger = !synchronous;
  panels.totals = spectrum;
  panels.chirp_reference = OneOf(stim_code, {0, 17}) && OneOf(acq_type, {3, 8, 16, 17});
  panels.isolation = synchronous && OneOf(acq_type, {0, 4, 21, 22, 23, 24});
  panels.late_normalize = OneOf(acq_type, {8, 9, 10, 11, 16, 17});
  panels.averaging_forced = probe.avg_on;
  panels.auto_stop_forced = probe.auto_stop == AutoStopMode::kOff;
  return panels;
}

}  // namespace vireon
