#include "app/cli/ProgramSettings.h"

#include "config/Defaults.h"

namespace vireon::cli {

ProgramConfiguration ConfigurationOf(ProgramSettings& settings) {
  return ProgramConfiguration(settings.Values(), DataDirectory(Environment::Process()));
}

ProgramSettings LoadProgramSettings(const SettingsOptions& options) {
  ProgramSettings settings;
  ProgramConfiguration configuration = ConfigurationOf(settings);
  ApplySettings(options, configuration);
  return settings;
}

}  // namespace vireon::cli
