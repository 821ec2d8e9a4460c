#pragma once

#include <filesystem>
#include <optional>
#include <string_view>

#include "files/FileContext.h"
#include "record/DataObj.h"
#include "record/Weighting.h"

namespace vireon {

// Weighting curve files: text lines of a frequency (Hz), a level (dB) and an optional phase
// (degrees), after an optional title.

struct CurveLine {
  double Freq = 0.0;
  double Level = 0.0;
  double Phase = 0.0;
};

// One data line: two or three numbers, each ended by one tab, blank, comma or semicolon with
// blanks or tabs allowed before the next. Fewer than two numbers or a fourth fail.
std::optional<CurveLine> ParseCurveLine(std::string_view line);

// The weighting a file holds, named after the file without its folder and extension; none when
// the file cannot be read or is not a weighting file (format errors show "File Format Error!").
// The phase is kept as each point's third value when `keep_phase` is set.
std::optional<TWeighting> LoadWeightingFile(const std::filesystem::path& file, bool keep_phase,
                                            MessageSink& messages);

// Whether a record's values can be weighted from a file: FrequencyResponse, Spectrum, RTA and
// Maximum Level Capability.
bool TakesWeightingFile(const TDataMeas& record);

// What the "Weights" tab shows for the record's weighting: its name, or "<none>".
std::string WeightingCaption(const TDataMeas& record);

}  // namespace vireon
