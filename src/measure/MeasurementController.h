#pragma once

#include <cstdint>
#include <filesystem>
#include <map>
#include <memory>
#include <optional>
#include <string>

#include "common/Notices.h"
#include "measure/AcquisitionAnalysis.h"
#include "measure/AcquisitionConfig.h"
#include "measure/AcquisitionFormats.h"
#include "measure/AcquisitionSettings.h"
#include "measure/ControllerPorts.h"
#include "measure/PassBuilder.h"
#include "record/AnalysisContext.h"
#include "record/DataObj.h"
#include "stimulus/MlsTables.h"
#include "stimulus/StimulusGenerator.h"
#include "stimulus/ToneSet.h"

namespace vireon {

class AudioInterfaceSettings;
class StreamingEngine;
struct StimulusSettings;
struct TimingSettings;

// What the controller measures with; owned by the program and outliving the controller.
struct MeasurementContext {
  StreamingEngine& engine;
  AudioInterfaceSettings& audio;
  StimulusSettings& stimulus;
  TimingSettings& timing;
  std::filesystem::path data_directory;  // MLS caches, per-device files
};

// Bits of `PendingEvents`, set by whatever finishes something and consumed by the status tick.
enum PendingEvent : std::uint16_t {
  kEventStopped = 1u << 0,
  kEventStarted = 1u << 1,
  kEventAvgSetDone = 1u << 3,
};

// The measurement loop of the main window without the window: the stimulus and acquisition
// choice, the start checks, the status tick that takes each completed pass through the analysis
// and averaging, the stop paths, automatic start and stop, and the notifications. Everything
// runs on the user-interface thread; the pump services the engine on its own.
class MeasurementController {
 public:
  MeasurementController(MeasurementContext context, ControllerPorts ports);
  ~MeasurementController();
  MeasurementController(const MeasurementController&) = delete;
  MeasurementController& operator=(const MeasurementController&) = delete;

  // Selection (the stimulus and acquisition combo boxes).
  void SelectStimulus(int stim_code);
  bool SelectAcquisition(int acq_type);  // false: incompatible, the previous type stays
  int StimCode() const { return stim_code_; }
  int AcqType() const { return acq_type_; }
  AcquisitionSettings& Acquisition() { return acquisition_; }
  // Each type's own averaging, auto stop and sizes, restored when the type is selected.
  AcquisitionFormats& Formats() { return formats_; }
  // The trigger, the spectrum totals and the window kept for each engine class.
  AcquisitionExtras& Extras() { return extras_; }
  // What the component-tracking types measure ("Component Tracking Configuration").
  ComponentTrackSettings& Tracking() { return tracking_; }
  // The fixed tones (the tone-set editor's lists).
  void SetToneLists(const ToneLists& tones) { tones_ = tones; }

  // The configuration files: before a save the current type's record and the chosen stimulus
  // and acquisition items are brought up to date; after a read the items read are selected
  // (an incompatible pair keeps the stimulus and takes its first compatible type) with the
  // records read. Nothing changes while a measurement runs.
  void StoreForConfiguration();
  void ApplyConfiguration();

  // "Find Window Edges" (not while measuring): the analysis window of the time record found from
  // its impulse peaks, kept for the passes of the next starts. False without a record to search.
  bool FindWindowEdges();
  // "Restart": the next pass starts the averages and the hold traces afresh.
  void RestartAverages();

  // Script-safe setters: values are limited to the ranges of the acquisition window.
  void SetFftSize(std::int64_t size);
  void SetAcqSize(std::int64_t size);
  void SetAvgTarget(std::int64_t target);

  // Start/Stop button, F12 (a start two ticks later), Esc.
  void ClickStart();
  void RequestStart();
  void ClickStop();
  // Automatic start at a date-time (days); nullopt disarms it.
  void SetAutoStart(std::optional<double> when);

  // The 100 ms status tick.
  void StatusTick();

  bool Running() const { return running_; }
  const std::string& StatusWord() const { return status_word_; }
  std::uint32_t StatusColour() const { return status_colour_; }
  std::uint16_t PendingEvents() const { return pending_events_; }
  const TDataMeas& TimeRec() const { return time_rec_; }
  const TDataMeas& FreqRec() const { return freq_rec_; }
  // The last pass as captured, for the live time plot.
  const TDataMeas& LiveTimeRec() const { return live_time_rec_; }
  // The record the primary plot shows after a pass.
  const TDataMeas& PrimaryRecord() const;
  const PassLevels& Levels() const { return levels_; }
  Notices& NoticeLog() { return notices_; }
  bool EngineOverran() const { return engine_overran_; }

  ControllerEvents events;

 private:
  void ChangeAcquisition(int acq_type);
  void StartAcqManual();
  void StopAcqManual();
  void CommonStop();
  void ProcessPass();
  bool AdvanceSteppedTone();  // true when the whole list has been measured
  void AfterPass();
  void UpdateDecayWeights();
  void TakeEngineStop();
  void DiscardCapture();
  void ConsumeStopped();
  void SetStatus(std::string text, std::uint32_t colour);
  std::string IdleText() const;

  MeasurementContext context_;
  ControllerPorts ports_;
  Notices notices_;
  AcquisitionSettings acquisition_;
  AcquisitionFormats formats_;
  AcquisitionExtras extras_;
  ComponentTrackSettings tracking_;
  AnalysisContext analysis_context_;
  StimulusGenerator generator_;
  MlsTableStore mls_store_;
  std::unique_ptr<MlsTables> sync_tables_;
  std::optional<AnalysisSetup> setup_;
  TDataMeas time_rec_;
  TDataMeas freq_rec_;
  TDataMeas live_time_rec_;
  PassLevels levels_;
  PassLayout pass_layout_;
  PassState pass_state_;
  ChannelScales scales_;
  ToneLists tones_ = DefaultToneLists();

  int stim_code_ = 0;
  int acq_type_ = 0;
  std::map<int, int> last_acq_of_stimulus_;
  std::uint16_t pending_events_ = 0;
  int start_request_ticks_ = 0;
  bool running_ = false;
  bool auto_stop_ = false;
  bool engine_overran_ = false;
  bool first_pass_ = false;
  bool trigger_mode_ = false;
  bool discard_capture_ = false;  // the next capture is not yet a steady period  // the
                                  // asynchronous capture waits for the level trigger
  double last_pass_time_ = 0.0;
  std::int32_t pass_count_ = 0;
  int step_index_ = 0;  // the stepped tone being measured
  std::optional<double> auto_stop_at_;
  std::optional<double> auto_start_at_;
  std::string status_word_ = "ready";
  std::uint32_t status_colour_ = kStatusBlue;
};

}  // namespace vireon
