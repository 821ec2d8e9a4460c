#pragma once

#include <CLI/CLI.hpp>

#include <functional>

namespace vireon::cli {

// `convert IN OUT [--format mlssa] [--bits B]`: loads IN and writes OUT in the format its
// extension names.
std::function<int()> AddConvertCommand(CLI::App& app);

}  // namespace vireon::cli
