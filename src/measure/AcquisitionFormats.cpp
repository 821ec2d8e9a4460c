#include "measure/AcquisitionFormats.h"

#include <stdexcept>
#include <string>

#include "record/Averaging.h"
#include "stimulus/StimulusTable.h"

namespace vireon {
namespace {

std::size_t RecordIndex(int acq_type) {
  const int item = ItemOfAcqType(acq_type);
  if (item < 0 || item >= kAcquisitionItemCount) {
    throw std::out_of_range("no acquisition type " + std::to_string(acq_type));
  }
  return static_cast<std::size_t>(item);
}

bool IsAsynchronousStimulus(int stim_code) {
  const StimulusType* stimulus = FindStimulus(stim_code);
  return stimulus != nullptr && stimulus->engine == EngineKind::kAsynchronous;
}

}  // namespace

AcquisitionFormat& AcquisitionFormats::Record(int acq_type) {
  return records_[RecordIndex(acq_type)];
}

const AcquisitionFormat& AcquisitionFormats::Record(int acq_type) const {
  return records_[RecordIndex(acq_type)];
}

void AcquisitionFormats::Store(int acq_type, const AcquisitionSettings& settings) {
  AcquisitionFormat& record = Record(acq_type);
  record.primary = AcquisitionGroup{settings.avg_type,  settings.avg_target, settings.avg_on,
                                    settings.auto_stop, settings.fft_size,   settings.acq_size};
  if (IsRtaType(acq_type)) record.rta_resolution = settings.rta_resolution;
}

void AcquisitionFormats::Apply(int acq_type, AcquisitionSettings& settings) const {
  const AcquisitionFormat& record = Record(acq_type);
  settings.avg_type = record.primary.avg_type;
  settings.avg_target = record.primary.avg_target;
  settings.avg_on = record.primary.avg_on;
  settings.auto_stop = record.primary.auto_stop;
  settings.fft_size = record.primary.fft_size;
  settings.acq_size = record.primary.acq_size;
  if (IsRtaType(acq_type)) settings.rta_resolution = record.rta_resolution;
}

bool IsRtaType(int acq_type) { return acq_type == 6 || acq_type == 7; }

void ForceAcquisitionRules(int stim_code, int acq_type, AcquisitionSettings& settings) {
  constexpr int kDisplacementTime = 18;
  const bool asynchronous_time_data =
      (acq_type == 0 || acq_type == 1) && IsAsynchronousStimulus(stim_code);
  if (asynchronous_time_data || acq_type == kDisplacementTime) {
    settings.avg_on = true;
    settings.avg_target = 1;
  }
  if (acq_type == kDisplacementTime) settings.auto_stop = AutoStopMode::kOff;
  // A decaying average never reaches a count to stop at.
  if (settings.auto_stop == AutoStopMode::kAvgs && settings.avg_type == kAverageDecay) {
    settings.auto_stop = AutoStopMode::kOff;
  }
}

}  // namespace vireon
