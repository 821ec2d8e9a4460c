#include <CLI/CLI.hpp>

#include <cstdio>
#include <exception>
#include <functional>
#include <string>
#include <vector>

#include "app/cli/CaptureCommand.h"
#include "app/cli/ConfigCommand.h"
#include "app/cli/ConvertCommand.h"
#include "app/cli/DevicesCommand.h"
#include "app/cli/DumpCommand.h"
#include "app/cli/ExitCodes.h"
#include "app/cli/GenerateCommand.h"
#include "app/cli/InfoCommand.h"
#include "app/cli/MeasureCommand.h"
#include "app/cli/PlotCommand.h"
#include "app/cli/TransformCommand.h"
#include "common/Version.h"
#include "common/VireonError.h"

int main(int argc, char* argv[]) {
  using namespace vireon::cli;

  CLI::App app("Vireon audio and acoustic measurement, headless.", "vireon-cli");
  app.set_version_flag("--version", "vireon-cli " + std::string(vireon::kProgramVersion));
  app.require_subcommand(0, 1);
  // Each command's action returns -1 when its command was not the one given.
  const std::vector<std::function<int()>> commands = {
      AddConfigCommand(app),  AddInfoCommand(app),      AddDumpCommand(app),
      AddConvertCommand(app), AddTransformCommand(app), AddGenerateCommand(app),
      AddDevicesCommand(app), AddCaptureCommand(app),   AddMeasureCommand(app),
      AddPlotCommand(app)};

  try {
    app.parse(argc, argv);
  } catch (const CLI::CallForHelp& request) {
    return app.exit(request);
  } catch (const CLI::CallForAllHelp& request) {
    return app.exit(request);
  } catch (const CLI::CallForVersion& request) {
    return app.exit(request);
  } catch (const CLI::ParseError& error) {
    app.exit(error);
    return kExitUsage;
  }

  try {
    for (const auto& command : commands) {
      const int code = command();
      if (code >= 0) return code;
    }
  } catch (const UsageError& error) {
    std::fprintf(stderr, "%s\n", error.what());
    return kExitUsage;
  } catch (const vireon::VireonError& error) {
    std::fprintf(stderr, "%s\n", error.what());
    return kExitFailed;
  } catch (const std::exception& error) {
    std::fprintf(stderr, "%s\n", error.what());
    return kExitFailed;
  }
  std::fputs(app.help().c_str(), stderr);
  return kExitUsage;
}
