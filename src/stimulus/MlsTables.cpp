#include "stimulus/MlsTables.h"

#include "common/AtomicFile.h"
#include "common/VireonError.h"

namespace vireon {

namespace {

std::vector<std::int32_t> InputPermutation(MlsRegister sequence) {
  const int n = sequence.Order();
  const std::int32_t size = sequence.TableSize();
  std::vector<std::int32_t> table(static_cast<std::size_t>(size - 1));
  sequence.SeedMLS();
  std::int32_t window = 0;
  for (int i = 0; i < n; ++i) window = 2 * window + sequence.NextMLSBit();
  const auto advance = [&] { window = (2 * window) % size + sequence.NextMLSBit(); };
  for (std::int32_t k = n - 1; k <= size - 2; ++k) {
    table[k] = window;
    advance();
  }
  for (std::int32_t k = 0; k <= n - 2; ++k) {
    table[k] = window;
    advance();
  }
  return table;
}

std::vector<std::int32_t> OutputPermutation(MlsRegister sequence) {
  const std::int32_t size = sequence.TableSize();
  std::vector<std::int32_t> table(static_cast<std::size_t>(size - 1), 0);
  for (int i = 0; i < sequence.Order(); ++i) {
    const std::int32_t weight = std::int32_t{1} << i;
    sequence.SetState(std::uint32_t{1} << (i + 1));
    for (std::int32_t k = size - 2; k >= 0; --k) {
      sequence.NextMLSBit();
      if ((sequence.State() & 2u) != 0) table[k] += weight;
    }
  }
  return table;
}

bool IsPermutationOfOneToPeriod(const std::vector<std::int32_t>& table) {
  const auto period = static_cast<std::int32_t>(table.size());
  std::vector<bool> seen(table.size() + 1, false);
  for (const std::int32_t value : table) {
    if (value < 1 || value > period || seen[value]) return false;
    seen[value] = true;
  }
  return true;
}

void AppendInt32(std::string& bytes, std::int32_t value) {
  const auto u = static_cast<std::uint32_t>(value);
  for (int shift = 0; shift < 32; shift += 8)
    bytes.push_back(static_cast<char>((u >> shift) & 0xFF));
}

std::int32_t Int32At(std::string_view bytes, std::size_t index) {
  std::uint32_t u = 0;
  for (int b = 3; b >= 0; --b) {
    u = (u << 8) | static_cast<unsigned char>(bytes[4 * index + static_cast<std::size_t>(b)]);
  }
  return static_cast<std::int32_t>(u);
}

}  // namespace

MlsTables GenerateMlsTables(MlsRegister sequence) {
  return {sequence.Order(), InputPermutation(sequence), OutputPermutation(sequence)};
}

std::string MlsCacheFileName(int order) { return "MLS" + std::to_string(order) + ".QBQ"; }

std::string SerializeMlsTables(const MlsTables& tables) {
  std::string bytes;
  bytes.reserve(4 * (2 * tables.input_permutation.size() + 1));
  for (const std::int32_t value : tables.input_permutation) AppendInt32(bytes, value);
  for (const std::int32_t value : tables.output_permutation) AppendInt32(bytes, value);
  AppendInt32(bytes, static_cast<std::int32_t>(tables.input_permutation.size()));
  return bytes;
}

std::optional<MlsTables> ParseMlsTables(std::string_view bytes, int order) {
  if (order < 2 || order > 30) return std::nullopt;
  const std::size_t period = (std::size_t{1} << order) - 1;
  if (bytes.size() != 4 * (2 * period + 1)) return std::nullopt;
  if (Int32At(bytes, 2 * period) != static_cast<std::int32_t>(period)) return std::nullopt;
  MlsTables tables{order, std::vector<std::int32_t>(period), std::vector<std::int32_t>(period)};
  for (std::size_t k = 0; k < period; ++k) {
    tables.input_permutation[k] = Int32At(bytes, k);
    tables.output_permutation[k] = Int32At(bytes, period + k);
  }
  if (!IsPermutationOfOneToPeriod(tables.input_permutation) ||
      !IsPermutationOfOneToPeriod(tables.output_permutation)) {
    return std::nullopt;
  }
  return tables;
}

MlsTableStore::MlsTableStore(std::filesystem::path data_directory)
    : data_directory_(std::move(data_directory)) {}

bool MlsTableStore::BuildMLSTables(int order, const std::function<void()>& before_generating) {
  if (order < kMinMlsTableOrder || order > kMaxMlsTableOrder) {
    tables_ = {};
    return false;
  }
  if (tables_.order == order) return true;
  const std::filesystem::path cache = data_directory_ / MlsCacheFileName(order);
  if (const auto bytes = ReadWholeFile(cache)) {
    if (auto cached = ParseMlsTables(*bytes, order)) {
      tables_ = std::move(*cached);
      return true;
    }
  }
  before_generating();
  tables_ = GenerateMlsTables(MlsRegister::ForOrder(order));
  try {
    WriteFileAtomically(cache, SerializeMlsTables(tables_));
  } catch (const VireonError&) {
    // The tables are in memory all the same; the next start generates them again.
  }
  return true;
}

}  // namespace vireon
