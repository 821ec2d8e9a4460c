#include "files/TextItems.h"

#include <algorithm>
#include <limits>

#include "common/NumberText.h"
#include "files/LoadError.h"
#include "files/TextNumbers.h"

namespace vireon {

void TextItemWriter::Int(std::int32_t value) { Line(FormatInt(value)); }

void TextItemWriter::Double(double value) { Line(FormatGeneral(value, 15)); }

void TextItemWriter::String(std::string_view value) {
  std::string line(value.substr(0, kMaxTextLine));
  std::replace(line.begin(), line.end(), '\r', ' ');
  std::replace(line.begin(), line.end(), '\n', ' ');
  Line(line);
}

void TextItemWriter::Singles(std::span<const double> values, std::int64_t count) {
  for (std::int64_t i = 0; i < count; ++i) {
    const auto index = static_cast<std::size_t>(i);
    Line(FormatGeneral(index < values.size() ? values[index] : 0.0, 5));
  }
}

void TextItemWriter::Line(std::string_view line) {
  text_.append(line.substr(0, kMaxTextLine));
  text_.append("\r\n");
}

TextItemReader::TextItemReader(std::string_view text) : lines_(SplitLines(text)) {
  // Blank lines at the end are no further items.
  while (!lines_.empty() && TrimBlanks(lines_.back()).empty()) lines_.pop_back();
}

std::string_view TextItemReader::NextLine() {
  if (AtEnd()) throw LoadError(LoadFailure::kLinesExhausted);
  return TrimBlanks(lines_[next_++]);
}

void TextItemReader::Int(std::int32_t& value) {
  const auto parsed = ParseInt(NextLine());
  if (!parsed || *parsed < std::numeric_limits<std::int32_t>::min() ||
      *parsed > std::numeric_limits<std::int32_t>::max()) {
    throw LoadError(LoadFailure::kConversion);
  }
  value = static_cast<std::int32_t>(*parsed);
}

void TextItemReader::Bint(std::uint8_t& value) {
  std::int32_t stored = 0;
  Int(stored);
  value = static_cast<std::uint8_t>(stored & 0xFF);
}

void TextItemReader::Flag(std::uint8_t& value) {
  const std::string_view line = NextLine();
  if (line == "T" || line == "t" || line == "TRUE" || line == "True") {
    value = 1;
  } else if (line == "F" || line == "f" || line == "FALSE" || line == "False") {
    value = 0;
  } else {
    throw LoadError(LoadFailure::kConversion);
  }
}

void TextItemReader::Double(double& value) {
  const auto parsed = ParseDouble(NextLine());
  if (!parsed) throw LoadError(LoadFailure::kConversion);
  value = *parsed;
}

void TextItemReader::Singles(DataArray& values, std::int64_t count) {
  RequireCount(count, 0, 1);
  values.resize(static_cast<std::size_t>(count));
  for (double& value : values) Double(value);
}

void TextItemReader::RequireCount(std::int64_t count, std::int64_t /*bytes_each*/,
                                  std::int64_t lines_each) const {
  if (count < 0) Malformed();
  const auto left = static_cast<std::int64_t>(lines_.size() - next_);
  if (lines_each > 0 && count > left / lines_each) Malformed();
}

void TextItemReader::Malformed() const { throw LoadError(LoadFailure::kLinesExhausted); }

}  // namespace vireon
