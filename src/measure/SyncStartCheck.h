#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "audio/settings/RateTable.h"
#include "audio/settings/TDeviceCal.h"
#include "record/DataObj.h"

namespace vireon {

// What a start needs to know about the timing between the played stimulus and the recording.

inline constexpr std::string_view kSameDeviceNotice =
    "Synchronous operation must use SAME DEVICE for record and play!";
inline constexpr std::string_view kNoSyncRateNotice =
    "Could not find sample rates usable for Synchronous operation!";

inline constexpr int kSyncStartOk = 0;
inline constexpr int kNoSyncRate = -1;
inline constexpr int kDifferentDevices = -2;

struct SyncStartResult {
  int result = kSyncStartOk;
  int rate = 0;  // Hz: the rate both play and record take when the result is kSyncStartOk
};

// The synchronous engine needs one device for play and record and a rate the play device can
// lock its sync code at: the table rate at or above the record rate, else the nearest usable
// faster one, else the nearest usable slower one down to 32000 Hz. `sync_usable` is indexed as
// the rate table.
SyncStartResult CheckSynchronousStart(bool same_device, int record_rate,
                                      const RateAvailability& sync_usable);
// The play device's flags; the slow rates its file keeps no flag for count as usable.
RateAvailability SyncUsableRates(const TDeviceCal& play_device);
// The notice a failed check ends the start with; empty for kSyncStartOk.
std::string_view SyncStartNotice(int result);

// Samples of an asynchronous capture that precede the stimulus (the engine's two latencies, in
// samples at their own rates), and where the analysis starts: after them and the acoustic
// propagation time.
std::int32_t AsynchronousPreRoll(int record_rate, int play_rate, std::int32_t output_latency,
                                 std::int32_t input_latency);
std::int32_t AnalysisStartOffset(int record_rate, int play_rate, std::int32_t output_latency,
                                 std::int32_t input_latency, double propagation_time_s);

// The plot title's note of the record's display delay, " (DComp = 0.001167sec)"; empty when the
// delay is at most 1 µs, for band (RTA) and component-track data, or when suppressed.
std::string DelayCompensationTitle(const TDataMeas& record, bool suppressed);

}  // namespace vireon
