#include <CLI/CLI.hpp>

#include <cstdio>
#include <string>

#include "common/Version.h"

namespace {

// Exit codes of the command-line contract.
constexpr int kExitUsage = 2;

}  // namespace

int main(int argc, char* argv[]) {
  CLI::App app("Vireon audio and acoustic measurement, headless.", "vireon-cli");
  app.set_version_flag("--version", "vireon-cli " + std::string(vireon::kProgramVersion));

  try {
    app.parse(argc, argv);
  } catch (const CLI::CallForHelp& request) {
    return app.exit(request);
  } catch (const CLI::CallForVersion& request) {
    return app.exit(request);
  } catch (const CLI::ParseError& error) {
    app.exit(error);
    return kExitUsage;
  }
  // No command given.
  std::fputs(app.help().c_str(), stderr);
  return kExitUsage;
}
