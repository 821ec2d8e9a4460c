#include "app/cli/SettingsOptions.h"

#include "app/cli/ExitCodes.h"

namespace vireon::cli {
namespace {

std::string RefusalText(AssignmentResult result, const std::string& assignment) {
  switch (result) {
    case AssignmentResult::kMalformed:
      return "--set takes SECTION/KEY=VALUE: " + assignment;
    case AssignmentResult::kUnknownKey:
      return "No configuration key " + assignment.substr(0, assignment.find('='));
    case AssignmentResult::kUnparsable:
      return "The value does not parse: " + assignment;
    case AssignmentResult::kOutOfRange:
      return "The value is out of range: " + assignment;
    case AssignmentResult::kApplied:
      break;
  }
  return {};
}

}  // namespace

void AddSettingsOptions(CLI::App& command, SettingsOptions& options) {
  command.add_option("--config", options.software_file, "Software configuration file (.ini)")
      ->check(CLI::ExistingFile);
  command.add_option("--hardware", options.hardware_file, "Hardware configuration file (.hdi)")
      ->check(CLI::ExistingFile);
  command.add_option("--set", options.assignments, "Set one key: SECTION/KEY=VALUE")
      ->allow_extra_args(false);
}

void ApplySettings(const SettingsOptions& options, ProgramConfiguration& configuration) {
  if (!options.software_file.empty()) {
    configuration.SoftwareConfig(options.software_file, WalkDirection::kRead);
  }
  if (!options.hardware_file.empty()) {
    configuration.HardwareConfig(options.hardware_file, WalkDirection::kRead);
  }
  for (const std::string& assignment : options.assignments) {
    const AssignmentResult result =
        ApplyAssignment(assignment, configuration.Software(), configuration.Hardware());
    if (result != AssignmentResult::kApplied) throw UsageError(RefusalText(result, assignment));
  }
}

}  // namespace vireon::cli
