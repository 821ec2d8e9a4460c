#include "stimulus/StepListFile.h"

#include <cctype>
#include <cmath>
#include <numbers>

#include "common/NumberText.h"
#include "stimulus/SteppedTones.h"

namespace vireon {

namespace {

std::vector<std::string> SplitLines(std::string_view text) {
  std::vector<std::string> lines;
  std::size_t start = 0;
  while (start <= text.size()) {
    std::size_t end = text.find('\n', start);
    if (end == std::string_view::npos) end = text.size();
    std::string line(text.substr(start, end - start));
    if (!line.empty() && line.back() == '\r') line.pop_back();
    lines.push_back(std::move(line));
    start = end + 1;
  }
  return lines;
}

std::string FormatLetters(std::string_view line) {
  std::string letters;
  for (const char c : line.substr(1)) {
    const char upper = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    if (std::string_view("FAPSW/\\|").find(upper) != std::string_view::npos) letters += upper;
  }
  return letters.starts_with('F') ? letters : std::string();
}

bool IsBlank(char c) { return c == ' ' || c == '\t' || c == ',' || c == ';'; }

std::optional<std::vector<double>> LineNumbers(std::string_view line) {
  std::vector<double> numbers;
  std::size_t i = 0;
  while (i < line.size()) {
    if (IsBlank(line[i])) {
      ++i;
      continue;
    }
    std::size_t end = i;
    while (end < line.size() && !IsBlank(line[end])) ++end;
    const auto value = ParseDouble(line.substr(i, end - i));
    if (!value || !std::isfinite(*value)) return std::nullopt;
    numbers.push_back(*value);
    i = end;
  }
  return numbers;
}

}  // namespace

StepListFile::StepListFile(std::string_view text) {
  std::vector<std::string> lines = SplitLines(text);
  std::size_t first = 0;
  if (!lines.empty() && lines.front().starts_with('#')) {
    format_ = FormatLetters(lines.front());
    first = 1;
  }
  for (std::size_t i = first; i < lines.size(); ++i) {
    if (lines[i].find_first_not_of(" \t") != std::string::npos) lines_.push_back(lines[i]);
  }
}

std::optional<ToneLists> StepListFile::NextLine(int play_rate) {
  if (next_ >= lines_.size()) return std::nullopt;
  const auto numbers = LineNumbers(lines_[next_]);
  if (!numbers) {
    next_ = lines_.size();
    return std::nullopt;
  }
  ++next_;
  ToneLists lists;
  SineParsArray* channel = &lists.p;
  for (std::size_t i = 0; i < numbers->size(); ++i) {
    const double value = (*numbers)[i];
    const char letter = i < format_.size() ? format_[i] : 'F';
    if (letter == 'F') {
      AddComponent(*channel, ToneKind::kSine, 0.5, std::numbers::pi / 2.0, 1.0, value, play_rate);
    } else if (letter == '/' || letter == '\\' || letter == '|') {
      channel = &lists.q;
    } else if (!channel->empty()) {
      TSinePars& component = channel->back();
      if (letter == 'A') component.Amplitude = value;
      if (letter == 'P') component.Phase = WrapPhase(value * std::numbers::pi / 180.0);
      if (letter == 'S') component.Duty = value;
      if (letter == 'W') {
        const double kind = std::nearbyint(std::fabs(value));
        component.Kind = kind > 1000.0 ? 0 : static_cast<std::int32_t>(kind);
      }
    }
  }
  NormaliseStepAmplitudes(lists.p);
  NormaliseStepAmplitudes(lists.q);
  if (lists.q.empty()) lists.q = lists.p;
  return lists;
}

}  // namespace vireon
