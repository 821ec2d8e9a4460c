#pragma once

#include <CLI/CLI.hpp>

#include <functional>

namespace vireon::cli {

// `dump FILE [--display]`: the record's used columns as CSV, values exact.
std::function<int()> AddDumpCommand(CLI::App& app);

}  // namespace vireon::cli
