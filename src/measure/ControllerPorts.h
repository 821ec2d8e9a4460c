#pragma once

#include <cstdint>
#include <functional>
#include <string>

namespace vireon {

// Colours of the status panel (0x00BBGGRR).
inline constexpr std::uint32_t kStatusRed = 0x0000FF;
inline constexpr std::uint32_t kStatusBlue = 0xFF0000;
inline constexpr std::uint32_t kStatusGreen = 0x008000;

// What the controller reaches outside itself. The desktop program implements these with its
// windows and timers; the command line and tests with the fast clock and plain functions.
struct ControllerPorts {
  // A message box with an OK button (the texts use "\r" line breaks).
  std::function<void(const std::string& text)> show_message = [](const std::string&) {};
  // Enables or disables the engine pump: its enabled state is the "running" state.
  std::function<void(bool enabled)> set_pump = [](bool) {};
  // The current date-time, days since 30 Dec 1899 (the fast clock's time on the command line).
  std::function<double()> now = [] { return 0.0; };
  // Redraws the primary plot and the live plots.
  std::function<void()> redraw_plots = [] {};
  // The status panel changed (text or colour).
  std::function<void()> status_changed = [] {};
};

// The notifications scripts subscribe to; each is a do-nothing function until replaced.
struct ControllerEvents {
  std::function<void()> OnStarted = [] {};
  std::function<void()> OnStopped = [] {};
  std::function<void()> OnAcqBurst = [] {};
  std::function<void()> OnAcqOnceDone = [] {};
  std::function<void()> OnAcqAvgSetDone = [] {};
  std::function<void()> OnBeforeAcqPlot = [] {};
  std::function<void()> OnAfterAcqPlot = [] {};
  std::function<void()> OnTrigger = [] {};
  std::function<void()> OnAutoStopTimer = [] {};
  std::function<void()> OnAutoStopAvgLimit = [] {};
  std::function<void()> OnAutoStart = [] {};
};

}  // namespace vireon
