#pragma once

#include <CLI/CLI.hpp>

#include <functional>

namespace vireon::cli {

// `info FILE`: one JSON object describing the record the file holds.
std::function<int()> AddInfoCommand(CLI::App& app);

}  // namespace vireon::cli
