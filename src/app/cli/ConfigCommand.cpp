#include "app/cli/ConfigCommand.h"

#include <memory>
#include <string>

#include "app/cli/ExitCodes.h"
#include "app/cli/ProgramSettings.h"

namespace vireon::cli {
namespace {

struct ConfigCommandOptions {
  SettingsOptions settings;
  std::string software_out;
  std::string hardware_out;
};

}  // namespace

std::function<int()> AddConfigCommand(CLI::App& app) {
  auto options = std::make_shared<ConfigCommandOptions>();
  CLI::App* command = app.add_subcommand(
      "config", "Write the configuration as the desktop program does at shutdown");
  AddSettingsOptions(*command, options->settings);
  command->add_option("--save", options->software_out, "Software configuration file to write")
      ->required();
  command->add_option("--save-hardware", options->hardware_out,
                      "Hardware configuration file to write");

  return [command, options]() -> int {
    if (!command->parsed()) return -1;
    ProgramSettings settings;
    ProgramConfiguration configuration = ConfigurationOf(settings);
    ApplySettings(options->settings, configuration);
    configuration.SoftwareConfig(options->software_out, WalkDirection::kSave);
    if (!options->hardware_out.empty()) {
      configuration.HardwareConfig(options->hardware_out, WalkDirection::kSave);
    }
    return kExitSuccess;
  };
}

}  // namespace vireon::cli
