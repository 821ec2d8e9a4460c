#pragma once

#include <CLI/CLI.hpp>

#include <functional>

namespace vireon::cli {

// `capture`: one capture exactly as the engine takes it, saved as a time record.
std::function<int()> AddCaptureCommand(CLI::App& app);

}  // namespace vireon::cli
