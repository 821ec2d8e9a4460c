#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "record/DataObj.h"

namespace vireon {

// The item kinds of the text data file, one item a line (CR LF): integers and bytes in decimal,
// flags as "T" or "F", doubles with 15 significant digits, strings as they are, and series of
// values one a line with 5 significant digits. Same operations as the binary items, so the
// walks over a record serve both files.

inline constexpr std::size_t kMaxTextLine = 125;

class TextItemWriter {
 public:
  static constexpr bool kReading = false;

  void Int(std::int32_t value);
  void Bint(std::uint8_t value) { Int(value); }
  void Byte(std::uint8_t value) { Int(value); }
  void Flag(std::uint8_t value) { Line(value != 0 ? "T" : "F"); }
  void Double(double value);
  void String(std::string_view value);  // line breaks inside become blanks
  void Singles(std::span<const double> values, std::int64_t count);
  void Section(std::string_view line) { Line(line); }
  bool AtEnd() const { return false; }

  void Line(std::string_view line);  // cut to 125 characters
  std::string& Text() { return text_; }

 private:
  std::string text_;
};

// Lines are delivered without surrounding blanks. Running out of lines or an impossible count
// throws LoadError(kLinesExhausted); a line that is not the number expected, kConversion.
class TextItemReader {
 public:
  static constexpr bool kReading = true;

  explicit TextItemReader(std::string_view text);

  void Int(std::int32_t& value);
  void Bint(std::uint8_t& value);
  void Byte(std::uint8_t& value) { Bint(value); }
  void Flag(std::uint8_t& value);
  void Double(double& value);
  void String(std::string& value) { value.assign(NextLine()); }
  void Singles(DataArray& values, std::int64_t count);
  void Section(std::string_view) { NextLine(); }
  bool AtEnd() const { return next_ >= lines_.size(); }

  std::string_view NextLine();
  void RequireCount(std::int64_t count, std::int64_t bytes_each, std::int64_t lines_each) const;
  [[noreturn]] void Malformed() const;

 private:
  std::vector<std::string_view> lines_;
  std::size_t next_ = 0;
};

}  // namespace vireon
