#pragma once

#include <CLI/CLI.hpp>

#include <functional>

namespace vireon::cli {

// `config`: writes the software (and hardware) configuration as the desktop program does at
// shutdown. Registers the command; the returned action runs it and gives the exit code.
std::function<int()> AddConfigCommand(CLI::App& app);

}  // namespace vireon::cli
