#pragma once

#include <CLI/CLI.hpp>

#include <functional>

namespace vireon::cli {

// `transform --to KIND IN OUT`: applies one of the record conversions (frequency response,
// time domain, spectrum, RTA bands, transfer function, two-channel spectrum, deconvolution) to
// the record IN holds and writes the result in the format OUT's extension names.
std::function<int()> AddTransformCommand(CLI::App& app);

}  // namespace vireon::cli
