#pragma once

#include "audio/settings/AudioInterfaceSettings.h"
#include "audio/settings/TimingSettings.h"

namespace vireon {

// What the timing menu items of the audio interface window edit: the stabilizing time and the
// converter latencies of the current devices, the other values in the timing settings.

// The value an editor opens with, in the editor's unit (the stabilizing time in seconds).
double TimingEditorValue(TimingEditor editor, const AudioInterfaceSettings& audio,
                         const TimingSettings& timing);

// Takes an edited value, limited to the editor's range and rounded where the editor takes whole
// numbers; a value that is not a number changes nothing. A device's value is written to its
// per-device file at once, which throws VireonError when it cannot be.
void SetTimingEditorValue(TimingEditor editor, double value, AudioInterfaceSettings& audio,
                          TimingSettings& timing);

}  // namespace vireon
