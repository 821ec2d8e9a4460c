#include "files/BinaryItems.h"

#include <algorithm>
#include <bit>
#include <cstring>

#include "files/LoadError.h"

namespace vireon {
namespace {

template <typename T>
void AppendLittleEndian(std::string& bytes, T value) {
  static_assert(std::endian::native == std::endian::little, "the formats are little-endian");
  char raw[sizeof(T)];
  std::memcpy(raw, &value, sizeof(T));
  bytes.append(raw, sizeof(T));
}

template <typename T>
T FromLittleEndian(std::string_view raw) {
  T value;
  std::memcpy(&value, raw.data(), sizeof(T));
  return value;
}

}  // namespace

void BinaryItemWriter::Int(std::int32_t value) { AppendLittleEndian(bytes_, value); }

void BinaryItemWriter::Double(double value) { AppendLittleEndian(bytes_, value); }

void BinaryItemWriter::String(std::string_view value) {
  const std::string_view stored = value.substr(0, kMaxStoredString);
  Int(static_cast<std::int32_t>(stored.size() + 1));
  bytes_.append(stored);
  bytes_.push_back('\0');
}

void BinaryItemWriter::Singles(std::span<const double> values, std::int64_t count) {
  Int(static_cast<std::int32_t>(4 * count));
  SinglesBody(values, count);
}

void BinaryItemWriter::SinglesBody(std::span<const double> values, std::int64_t count) {
  const auto size = static_cast<std::size_t>(count);
  const std::size_t present = std::min(size, values.size());
  const std::size_t start = bytes_.size();
  bytes_.resize(start + 4 * size, '\0');
  char* out = bytes_.data() + start;
  for (std::size_t i = 0; i < present; ++i) {
    const auto single = static_cast<float>(values[i]);
    std::memcpy(out + 4 * i, &single, 4);
  }
}

std::string_view BinaryItemReader::Take(std::size_t size) {
  if (size > Remaining()) throw LoadError(LoadFailure::kFormat);
  const std::string_view taken = bytes_.substr(position_, size);
  position_ += size;
  return taken;
}

void BinaryItemReader::Int(std::int32_t& value) { value = FromLittleEndian<std::int32_t>(Take(4)); }

void BinaryItemReader::Bint(std::uint8_t& value) {
  std::int32_t stored = 0;
  Int(stored);
  value = static_cast<std::uint8_t>(stored & 0xFF);
}

void BinaryItemReader::Byte(std::uint8_t& value) { value = static_cast<std::uint8_t>(Take(1)[0]); }

void BinaryItemReader::Double(double& value) { value = FromLittleEndian<double>(Take(8)); }

void BinaryItemReader::String(std::string& value) {
  std::int32_t length = 0;
  Int(length);
  if (length < 1 || length > static_cast<std::int32_t>(kMaxStoredString + 1)) Malformed();
  const std::string_view stored = Take(static_cast<std::size_t>(length));
  value.assign(stored.substr(0, stored.find('\0')));
}

void BinaryItemReader::Singles(DataArray& values, std::int64_t count) {
  std::int32_t byte_count = 0;
  Int(byte_count);
  if (count < 0 || byte_count != 4 * count) Malformed();
  RequireCount(count, 4, 0);
  SinglesBody(values, count);
}

void BinaryItemReader::SinglesBody(DataArray& values, std::int64_t count) {
  if (count < 0) Malformed();
  if (static_cast<std::uint64_t>(count) * 4 > Remaining()) {
    throw LoadError(LoadFailure::kEndOfFile);
  }
  const auto size = static_cast<std::size_t>(count);
  values.resize(size);
  const char* in = bytes_.data() + position_;
  for (std::size_t i = 0; i < size; ++i) {
    float single;
    std::memcpy(&single, in + 4 * i, 4);
    values[i] = single;
  }
  position_ += 4 * size;
}

void BinaryItemReader::RequireCount(std::int64_t count, std::int64_t bytes_each,
                                    std::int64_t /*lines_each*/) const {
  if (count < 0) Malformed();
  if (bytes_each > 0 && count > static_cast<std::int64_t>(Remaining()) / bytes_each) Malformed();
}

void BinaryItemReader::Malformed() const { throw LoadError(LoadFailure::kFormat); }

}  // namespace vireon
