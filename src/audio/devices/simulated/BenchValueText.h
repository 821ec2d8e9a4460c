#pragma once

#include <filesystem>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

#include "audio/devices/simulated/BenchFile.h"

namespace vireon {

// The value texts of a bench file. Each parser throws BenchValueError saying what is wrong
// with the value; the bench reader adds the file and the key.

class BenchValueError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

// The words of a value, split at blanks.
std::vector<std::string_view> SplitWords(std::string_view text);

double ParseFiniteNumber(std::string_view word);
long long ParseWholeNumber(std::string_view word, long long min, long long max);

// "none" or stages separated by ";"; `fir` files are looked up in `folder` when relative.
std::vector<FilterStage> ParseFilterStages(std::string_view text,
                                           const std::filesystem::path& folder);

}  // namespace vireon
