#pragma once

#include <CLI/CLI.hpp>

#include <functional>

namespace vireon::cli {

// `plot FILE [--width W] [--height H] --png OUT`: the record drawn as the plot control draws
// it, written as a PNG of exactly W × H pixels.
std::function<int()> AddPlotCommand(CLI::App& app);

}  // namespace vireon::cli
