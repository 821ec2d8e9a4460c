#pragma once

#include <functional>
#include <string>

#include "config/VolumeControl.h"

class QWidget;

namespace vireon {

inline constexpr std::string_view kNoVolumeControl =
    "No system volume control was found.\rInstall pavucontrol, or alsamixer with a terminal.";

// Starts the system volume control of one side as a program of its own; tells the user when
// none is installed or it does not start.
void OpenVolumeControl(QWidget* parent, MixerSide side,
                       const std::function<void(QWidget*, const std::string&)>& show_message);

}  // namespace vireon
