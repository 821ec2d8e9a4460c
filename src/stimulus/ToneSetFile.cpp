#include "stimulus/ToneSetFile.h"

#include <cmath>
#include <vector>

#include "common/AtomicFile.h"
#include "common/NumberText.h"
#include "common/VireonError.h"

namespace vireon {

namespace {

constexpr int kValuesPerComponent = 5;

std::vector<std::string_view> NonEmptyLines(std::string_view text) {
  std::vector<std::string_view> lines;
  std::size_t start = 0;
  while (start < text.size()) {
    std::size_t end = text.find('\n', start);
    if (end == std::string_view::npos) end = text.size();
    std::string_view line = text.substr(start, end - start);
    if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
    if (line.find_first_not_of(" \t") != std::string_view::npos) lines.push_back(line);
    start = end + 1;
  }
  return lines;
}

}  // namespace

std::string ToneSetText(const SineParsArray& list) {
  std::string text = FormatInt(static_cast<std::int64_t>(list.size())) + "\r\n";
  for (const TSinePars& c : list) {
    text += FormatInt(c.Kind) + "\r\n";
    for (const double value : {c.Frequency, c.Amplitude, c.Phase, c.Duty}) {
      text += FormatDouble(value) + "\r\n";
    }
  }
  return text;
}

std::optional<SineParsArray> ParseToneSetText(std::string_view text, int play_rate) {
  const std::vector<std::string_view> lines = NonEmptyLines(text);
  if (lines.empty()) return std::nullopt;
  const auto count = ParseInt(lines[0]);
  if (!count || *count < 0 ||
      static_cast<std::size_t>(*count) > (lines.size() - 1) / kValuesPerComponent) {
    return std::nullopt;
  }
  SineParsArray list;
  for (std::int64_t i = 0; i < *count; ++i) {
    const std::size_t first = 1 + static_cast<std::size_t>(i) * kValuesPerComponent;
    const auto kind = ParseInt(lines[first]);
    double values[4];
    for (int v = 0; v < 4; ++v) {
      const auto value = ParseDouble(lines[first + 1 + static_cast<std::size_t>(v)]);
      if (!value || !std::isfinite(*value)) return std::nullopt;
      values[v] = *value;
    }
    if (!kind || *kind < 0 || *kind > static_cast<std::int64_t>(ToneKind::kTriangle)) {
      return std::nullopt;
    }
    AddComponent(list, static_cast<ToneKind>(*kind), values[3], values[2], values[1], values[0],
                 play_rate);
  }
  return list;
}

void SaveToneSet(const std::filesystem::path& file, const SineParsArray& list) {
  if (AmplitudeSum(list) > 1.0) throw VireonError(std::string(kAmplitudeSumMessage));
  try {
    WriteFileAtomically(file, ToneSetText(list));
  } catch (const VireonError&) {
    throw VireonError("Error saving file!");
  }
}

void LoadToneSet(const std::filesystem::path& file, SineParsArray& list, int play_rate) {
  std::error_code error;
  if (!std::filesystem::exists(file, error)) {
    throw VireonError("File: \r" + file.string() + "\r" + "was not found!");
  }
  const auto text = ReadWholeFile(file);
  auto loaded = text ? ParseToneSetText(*text, play_rate) : std::nullopt;
  if (!loaded) throw VireonError("Could not load file!");
  list = std::move(*loaded);
}

}  // namespace vireon
