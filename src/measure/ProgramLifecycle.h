#pragma once

#include <filesystem>
#include <functional>
#include <string_view>

#include "stimulus/ToneSet.h"

namespace vireon {

// The start-up and shutdown of the program in the main window's order, without the windows: each
// step is a function the desktop program (or a test) supplies.

inline constexpr std::string_view kOutputsDisabledQuestion =
    "VIREON\r\rOne or both Outputs are disabled in the startup configuration.\r"
    "Do you want to enable them (recommended)?";
inline constexpr std::string_view kSaveAtShutdownQuestion =
    "Closing Down -- save configuration settings for next Startup?";
inline constexpr std::string_view kSaveHardwareQuestion = "Save Hardware settings?";
inline constexpr std::string_view kMlsTableNotice = "Couldn't generate the MLS Permutation Table";

// The answers of the shutdown question's buttons.
enum class QueryAnswer { kYes, kNo, kCancel, kNoToAll };

// What the main window does once, when it is first shown, after its windows exist.
struct ActivationSteps {
  std::function<bool()> build_mls_tables;  // false: the notice
  std::function<void(std::string_view text)> notice;
  std::function<void()> load_configuration;
  std::function<bool()> outputs_disabled;
  std::function<bool(std::string_view question)> ask_yes_no;
  std::function<void()> enable_outputs;
  std::function<void()> arm_auto_start;
  std::function<void()> enable_status_timer;
};
void RunActivation(const ActivationSteps& steps);

// What closing the main window does before the windows go.
struct ShutdownSteps {
  std::function<void()> end_debug_log;
  std::function<void()> stop_measurement;
  std::function<void()> save_latest_tone_sets;
  std::function<void()> save_recent_files;
  std::function<QueryAnswer(std::string_view question)> ask_save;  // Yes, No, Cancel, No to All
  std::function<bool(std::string_view question)> ask_yes_no;
  std::function<void()> save_software_configuration;  // "VireonFree.ini"
  std::function<void()> save_hardware_configuration;  // "VireonFree.hdi"
  std::function<void()> save_backup_record;           // the primary plot's, "VireonSaveData.vbu"
};
// False when the user cancelled: the program stays open, with nothing saved after the question.
bool RunCloseQuery(bool query_for_save, const ShutdownSteps& steps);

// The two latest wave sets, "LATEST_WF_SET1.QTQ" and "LATEST_WF_SET2.QTQ" in the data folder.
// Throws VireonError when one cannot be written.
void SaveLatestToneSets(const std::filesystem::path& data_directory, const ToneLists& tones);

}  // namespace vireon
