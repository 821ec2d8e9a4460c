#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <vector>

#include "record/DataObj.h"

namespace vireon::cli {

// One column of integer samples and its name.
struct SampleColumn {
  std::string name;
  std::span<const std::int32_t> samples;
};

// A time record starting at t = 0 of `length` points per column (samples beyond a column's end
// read as 0), each value sample / `full_scale`; the first two columns become traces A and B.
TDataMeas SampledRecord(std::span<const SampleColumn> columns, std::int32_t length,
                        double full_scale, int rate, int bits);

}  // namespace vireon::cli
