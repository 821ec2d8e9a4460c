#pragma once

#include <cstdint>
#include <filesystem>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "stimulus/MlsSequence.h"

namespace vireon {

// The two permutation tables that turn the circular cross-correlation with a sequence into one
// fast Hadamard transform. Each holds Period() = 2^order - 1 entries, a permutation of 1..Period().
struct MlsTables {
  int order = 0;
  std::vector<std::int32_t> input_permutation;   // P_in: the window of the `order` latest bits
  std::vector<std::int32_t> output_permutation;  // P_out
};

// Builds both tables for the sequence of the given register (seeded with 2), in any order.
MlsTables GenerateMlsTables(MlsRegister sequence);

// The cache file of an order's tables: "MLS" + order + ".QBQ". Its content is P_in, P_out and a
// trailer equal to the period, all little-endian 32-bit integers.
std::string MlsCacheFileName(int order);
std::string SerializeMlsTables(const MlsTables& tables);
// The tables of a cache file; nullopt unless its size, trailer and both permutations are sound.
std::optional<MlsTables> ParseMlsTables(std::string_view bytes, int order);

// Keeps the tables of one order, read from the cache in the data directory or generated and then
// written there. Asking again for the order it holds does nothing.
class MlsTableStore {
 public:
  explicit MlsTableStore(std::filesystem::path data_directory);

  // False for orders outside 12..18, leaving no tables. `before_generating` runs only when the
  // tables are generated rather than read from the cache (to tell the user it takes a while).
  bool BuildMLSTables(
      int order, const std::function<void()>& before_generating = [] {});
  // Empty tables (order 0) until a build succeeds.
  const MlsTables& Tables() const { return tables_; }

 private:
  std::filesystem::path data_directory_;
  MlsTables tables_;
};

}  // namespace vireon
