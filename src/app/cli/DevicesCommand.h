#pragma once

#include <CLI/CLI.hpp>

#include <functional>

namespace vireon::cli {

// `devices [--json]`: the play and record devices with the rates and resolutions each accepts.
std::function<int()> AddDevicesCommand(CLI::App& app);

}  // namespace vireon::cli
