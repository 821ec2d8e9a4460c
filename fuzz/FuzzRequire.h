#pragma once

#include <cstdlib>

namespace vireon::fuzzing {

// A property every input must keep; breaking it is a finding, so the fuzzer stops here.
inline void Require(bool condition) {
  if (!condition) std::abort();
}

}  // namespace vireon::fuzzing
