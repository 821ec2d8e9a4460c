#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <string_view>

#include "record/DataObj.h"

namespace vireon {

// The item kinds of the binary data file, little-endian. The writer and the reader offer the
// same operations, so one walk over a record's items serves both directions.

// Longest string stored; longer ones are cut to this many bytes.
inline constexpr std::size_t kMaxStoredString = 510;

class BinaryItemWriter {
 public:
  static constexpr bool kReading = false;

  explicit BinaryItemWriter(std::size_t expected_size = 0) { bytes_.reserve(expected_size); }

  void Int(std::int32_t value);
  void Bint(std::uint8_t value) { Int(value); }  // an 8-bit field stored as 32 bits
  void Byte(std::uint8_t value) { bytes_.push_back(static_cast<char>(value)); }
  void Flag(std::uint8_t value) { Byte(value); }
  void Double(double value);
  void String(std::string_view value);  // length with the terminating 0, bytes, 0
  // A byte count, then `count` single-precision values (zeros past the end of `values`).
  void Singles(std::span<const double> values, std::int64_t count);
  // Only the values, without a count.
  void SinglesBody(std::span<const double> values, std::int64_t count);
  void Section(std::string_view) {}  // the binary file has no section lines
  bool AtEnd() const { return false; }

  const std::string& Bytes() const { return bytes_; }

 private:
  std::string bytes_;
};

// Every read is checked against the bytes left; a short read or an impossible count throws
// LoadError (kFormat), so nothing is ever sized from a count the file cannot hold.
class BinaryItemReader {
 public:
  static constexpr bool kReading = true;

  explicit BinaryItemReader(std::string_view bytes) : bytes_(bytes) {}

  void Int(std::int32_t& value);
  void Bint(std::uint8_t& value);  // keeps the low byte
  void Byte(std::uint8_t& value);
  void Flag(std::uint8_t& value) { Byte(value); }
  void Double(double& value);
  void String(std::string& value);
  void Singles(DataArray& values, std::int64_t count);
  // `count` values without a count; a short block is kEndOfFile.
  void SinglesBody(DataArray& values, std::int64_t count);
  void Section(std::string_view) {}
  bool AtEnd() const { return position_ >= bytes_.size(); }

  // Refuses a count below 0 or one whose entries, each at least `bytes_each` long, cannot fit
  // in what is left. `lines_each` belongs to the text file.
  void RequireCount(std::int64_t count, std::int64_t bytes_each, std::int64_t lines_each) const;
  [[noreturn]] void Malformed() const;
  std::size_t Remaining() const { return bytes_.size() - position_; }

 private:
  std::string_view Take(std::size_t size);

  std::string_view bytes_;
  std::size_t position_ = 0;
};

}  // namespace vireon
