#pragma once

#include <CLI/CLI.hpp>

#include <string>
#include <vector>

#include "measure/ProgramConfiguration.h"

namespace vireon::cli {

// The settings every command takes, applied in this order over the program's defaults:
// a software configuration file, a hardware configuration file, then each assignment.
struct SettingsOptions {
  std::string software_file;
  std::string hardware_file;
  std::vector<std::string> assignments;  // "SECTION/KEY=VALUE"
};

void AddSettingsOptions(CLI::App& command, SettingsOptions& options);

// Throws UsageError naming the assignment a key or value of which is refused.
void ApplySettings(const SettingsOptions& options, ProgramConfiguration& configuration);

}  // namespace vireon::cli
