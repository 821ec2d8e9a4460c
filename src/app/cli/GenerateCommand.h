#pragma once

#include <CLI/CLI.hpp>

#include <functional>

namespace vireon::cli {

// `generate --stimulus CODE [--acq TYPE] [--rate R] [--bits B] [--periods N] --out FILE`: the
// frames the engine plays after its stabilizing lead-in, as a PCM WAV file or a time record.
std::function<int()> AddGenerateCommand(CLI::App& app);

}  // namespace vireon::cli
