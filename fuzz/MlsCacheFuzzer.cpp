// Reads arbitrary bytes as an MLS table cache (the first byte picks the order): a file that is
// accepted must hold two true permutations, so that recovery with them stays inside its arrays,
// and must write back byte for byte.

#include <cstddef>
#include <cstdint>
#include <string_view>
#include <vector>

#include "FuzzRequire.h"
#include "stimulus/MlsRecovery.h"
#include "stimulus/MlsTables.h"

using vireon::fuzzing::Require;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size == 0) return 0;
  const int order = 2 + data[0] % 11;
  const std::string_view bytes(reinterpret_cast<const char*>(data + 1), size - 1);
  const auto tables = vireon::ParseMlsTables(bytes, order);
  if (!tables) return 0;
  Require(vireon::SerializeMlsTables(*tables) == bytes);
  std::vector<double> samples(tables->input_permutation.size() + 2, 1.0);
  Require(vireon::RecoverMLSImpulse(samples, *tables, order));
  return 0;
}
