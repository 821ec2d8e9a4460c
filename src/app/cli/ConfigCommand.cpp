#include "app/cli/ConfigCommand.h"

#include <memory>
#include <string>

#include "app/cli/ExitCodes.h"
#include "app/cli/SettingsOptions.h"
#include "config/ConfigWalk.h"

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
    ConfigWalk software(ConfigFile::kSoftware);
    ConfigWalk hardware(ConfigFile::kHardware);
    ApplySettings(options->settings, software, hardware);
    software.Save(options->software_out);
    if (!options->hardware_out.empty()) hardware.Save(options->hardware_out);
    return kExitSuccess;
  };
}

}  // namespace vireon::cli
