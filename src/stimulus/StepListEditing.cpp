#include "stimulus/StepListEditing.h"

#include <algorithm>

#include "stimulus/StepListFile.h"

namespace vireon {

namespace {

void AppendLines(std::string& text, std::string_view lines) {
  std::size_t start = 0;
  while (start < lines.size()) {
    std::size_t end = lines.find('\n', start);
    if (end == std::string_view::npos) end = lines.size();
    std::string_view line = lines.substr(start, end - start);
    if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
    text.append(line).append("\r\n");
    start = end + 1;
  }
}

bool IsBlankLine(std::string_view line) {
  return line.find_first_not_of(" \t\r") == std::string_view::npos;
}

}  // namespace

std::string StepListText(std::string_view format, std::string_view step_lines) {
  std::string text;
  if (!IsBlankLine(format)) text.append("#").append(format).append("\r\n");
  AppendLines(text, step_lines);
  return text;
}

StepListParts SplitStepListText(std::string_view text) {
  StepListParts parts;
  if (text.starts_with('#')) {
    std::size_t end = text.find('\n');
    if (end == std::string_view::npos) end = text.size();
    std::string_view format = text.substr(1, end - 1);
    if (!format.empty() && format.back() == '\r') format.remove_suffix(1);
    parts.format = std::string(format);
    text.remove_prefix(std::min(end + 1, text.size()));
  }
  for (const char c : text) {
    if (c != '\r') parts.step_lines += c;
  }
  return parts;
}

StepListCheck CheckStepList(std::string_view text) {
  StepListCheck check;
  StepListFile file(text);
  check.format = file.Format();
  constexpr int kAnyRate = 48000;  // the rate changes only Omega, not whether a line reads
  while (file.NextLine(kAnyRate)) ++check.steps;
  const StepListParts parts = SplitStepListText(text);
  const std::string_view lines = parts.step_lines;
  std::size_t start = 0;
  while (start < lines.size()) {
    std::size_t end = lines.find('\n', start);
    if (end == std::string_view::npos) end = lines.size();
    if (!IsBlankLine(lines.substr(start, end - start))) ++check.lines;
    start = end + 1;
  }
  return check;
}

}  // namespace vireon
