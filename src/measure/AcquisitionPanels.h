#pragma once

namespace vireon {

// Which parts of the acquisition configuration window apply to a stimulus and acquisition type.
// Kept free of widgets so the rules read (and are tested) on their own.
struct AcquisitionPanels {
  bool window_edges = false;        // "Find Window Edges": impulse-like results of the stimulus
  bool rta = false;                 // "RTA Resolution"
  bool impedance = false;           // wiring and "Reference Resistor"
  bool propagation = false;         // "Propagation time": synchronous stimuli
  bool component_track = false;     // "Edit Component Track"
  bool wavelet_parameters = false;  // "Analysis Parameters" of the wavelet types
  bool half_window = false;         // "half" may be checked
  bool normalize = false;           // "Normalize ch1/ch2"
  bool hide_tones = false;          // fixed tones hidden from a spectrum
  bool hold = false;                // "Max"/"Min" hold
  bool trigger = false;             // level trigger: asynchronous stimuli
  bool totals = false;              // "Calc Total:"
  bool chirp_reference = false;     // "Use Ideal Cal Reference", "Use Math RefCal"
  bool isolation = false;           // "Isolate Distortion"
  bool late_normalize = false;      // "   use Late Normalize"
  bool averaging_forced = false;    // "Average/Decay ON" with a target of 1, not to be changed
  bool auto_stop_forced = false;    // auto stop held "Off"
};

AcquisitionPanels PanelsFor(int stim_code, int acq_type);

// Stimuli streamed by the synchronous engine (which keeps its own window choice).
bool IsSynchronousStimulus(int stim_code);

}  // namespace vireon
