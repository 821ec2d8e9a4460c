#pragma once

#include <CLI/CLI.hpp>

#include <functional>

namespace vireon::cli {

// `measure`: one measurement through the controller, from start until it stops by itself.
std::function<int()> AddMeasureCommand(CLI::App& app);

}  // namespace vireon::cli
