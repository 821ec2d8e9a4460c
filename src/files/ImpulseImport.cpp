#include <array>
#include <cmath>
#include <cstdio>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "common/AtomicFile.h"
#include "common/DateTime.h"
#include "common/NumberText.h"
#include "files/DataItemWalk.h"
#include "files/ForeignFormats.h"
#include "files/LoadError.h"
#include "files/Real48.h"
#include "files/TextNumbers.h"

namespace vireon {
namespace {

// Progress numbers shown with "Invalid File Format! ".
constexpr int kImpCountStep = 5;
constexpr int kImpDataStep = 6;
constexpr int kIm2CountStep = 7;
constexpr int kIm2WindowStep = 8;
constexpr int kIm2RateStep = 9;
constexpr int kIm2DataStep = 10;
constexpr int kLegacyHeaderStep = 12;

constexpr std::size_t kIm2TextReals = 13;

// Impulse files hold 256·2^k points, k = 0..6.
bool IsImpulseLength(double count) {
  for (int k = 0; k <= 6; ++k) {
    if (count == 256.0 * (1 << k)) return true;
  }
  return false;
}

std::int32_t RoundedInt(double value) {
  if (!(std::fabs(value) < 2.0e9)) throw LoadError(LoadFailure::kFormat);
  return static_cast<std::int32_t>(std::nearbyint(value));
}

constexpr std::int32_t kNoInputCode = -1;

std::uint8_t InputKindOfCode(std::int32_t code) {
  if (code == 0 || code == 4) return 0;
  if (code == 1 || code == 2) return 2;
  return 4;
}

// The sampled one-column record both impulse formats produce.
void FillImpulseRecord(TDataMeas& record, std::vector<double> samples, std::int32_t rate,
                       std::int32_t window_len, std::int32_t input_code,
                       const FileContext& context) {
  const auto count = static_cast<std::int32_t>(samples.size());
  record.MakeNull(context.Defaults);
  record.FDataType = kTimeDomain;
  record.FNumFields = 1;
  record.FNumPoints = count;
  TFieldType& column = record.FFields[0];
  column.Values = std::move(samples);
  column.Name = "Amplitude";
  column.ShowAsDb = context.Defaults.TimeLogMagDef;
  column.InputKind = InputKindOfCode(input_code);
  column.Units = column.InputKind == 0 ? "Pr" : "V";
  record.AllocColumns();
  record.FXUnits = "sec";
  record.FTraceA = 0;
  record.FTraceB = -1;
  record.FLinearFreq = 1;
  record.FSampleRate = rate;
  record.FSampleBits = (rate > 49000 || rate < 5000) ? 12 : 16;
  record.FWindowLen = window_len;
  record.FStartTime = 0.0;
  record.FEndX = (count - 1) / static_cast<double>(rate);
  record.FViewStart = 0.0;
  record.FViewStop = record.FEndX;
  record.FWinStart = 0;
  record.FWinEnd = count - 1;
  record.FTimeStamp = NowAsDateTime();
  record.FChanged = 0;
  record.FDerived = 0;
  record.FAxisSignature = record.AxisSignature();
}

class ImpLines {
 public:
  explicit ImpLines(std::string_view text) : lines_(SplitLines(text)) {}
  bool AtEnd() const { return next_ >= lines_.size(); }
  std::string_view Line() {
    if (AtEnd()) throw LoadError(LoadFailure::kStreamEnd);
    return TrimBlanks(lines_[next_++]);
  }
  double Number() {
    const auto value = ParseDouble(Line());
    if (!value || !std::isfinite(*value)) throw LoadError(LoadFailure::kConversion);
    return *value;
  }
  std::size_t Left() const { return lines_.size() - next_; }

 private:
  std::vector<std::string_view> lines_;
  std::size_t next_ = 0;
};

class Real48Stream {
 public:
  explicit Real48Stream(std::string_view bytes) : bytes_(bytes) {}
  bool AtEnd() const { return Left() == 0; }
  std::size_t Left() const { return (bytes_.size() - position_) / 6; }
  double Number() {
    if (AtEnd()) throw LoadError(LoadFailure::kStreamEnd);
    std::array<std::uint8_t, 6> raw{};
    for (auto& byte : raw) byte = static_cast<std::uint8_t>(bytes_[position_++]);
    return DecodeReal48(raw);
  }
  // 13 reals holding a string whose first byte is its length.
  std::string Text() {
    std::string raw;
    for (std::size_t i = 0; i < kIm2TextReals * 6; ++i) {
      if (position_ >= bytes_.size()) throw LoadError(LoadFailure::kStreamEnd);
      raw += bytes_[position_++];
    }
    const auto length = std::min<std::size_t>(static_cast<std::uint8_t>(raw[0]), raw.size() - 1);
    return raw.substr(1, length);
  }

 private:
  std::string_view bytes_;
  std::size_t position_ = 0;
};

// Days since 30 Dec 1899 of a civil date (proleptic Gregorian).
double SerialDay(int year, int month, int day) {
  const int y = year - (month <= 2 ? 1 : 0);
  const int era = (y >= 0 ? y : y - 399) / 400;
  const int yoe = y - era * 400;
  const int doy = (153 * (month + (month > 2 ? -3 : 9)) + 2) / 5 + day - 1;
  const int doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
  const long days_since_1970 = static_cast<long>(era) * 146097 + doe - 719468;
  return static_cast<double>(days_since_1970 + 25569);
}

// "YYYY-MM-DD hh:mm:ss" or "M/D/YYYY hh:mm:ss" (the time part optional).
std::optional<double> ParseDateTime(const std::string& text) {
  int a = 0, b = 0, c = 0, hour = 0, minute = 0, second = 0;
  char s1 = 0, s2 = 0;
  const int fields = std::sscanf(text.c_str(), "%d%c%d%c%d %d:%d:%d", &a, &s1, &b, &s2, &c, &hour,
                                 &minute, &second);
  if (fields < 5 || s1 != s2 || (s1 != '-' && s1 != '/')) return std::nullopt;
  const int year = s1 == '-' ? a : c;
  const int month = s1 == '-' ? b : a;
  const int day = s1 == '-' ? c : b;
  if (year < 1900 || year > 9999 || month < 1 || month > 12 || day < 1 || day > 31 || hour < 0 ||
      hour > 23 || minute < 0 || minute > 59 || second < 0 || second > 59) {
    return std::nullopt;
  }
  return SerialDay(year, month, day) + (hour * 3600.0 + minute * 60.0 + second) / 86400.0;
}

}  // namespace

bool ImportImp(const std::filesystem::path& file, TDataMeas& record, const FileContext& context,
               MessageSink& messages) {
  const auto text = ReadWholeFile(file);
  if (!text) return false;
  int progress = kImpCountStep;
  try {
    ImpLines lines(*text);
    const double count = lines.Number();
    if (!IsImpulseLength(count)) throw LoadError(LoadFailure::kFormat);
    progress = kImpDataStep;
    const std::int32_t window_len = RoundedInt(lines.Number());
    const std::int32_t rate = RoundedInt(lines.Number());
    if (rate < 1) throw LoadError(LoadFailure::kFormat);
    lines.Line();
    std::vector<double> samples(static_cast<std::size_t>(count));
    for (double& sample : samples) sample = lines.Number();

    std::string title = file.filename().string();
    std::int32_t input_code = kNoInputCode;
    if (!lines.AtEnd()) title = std::string(lines.Line());
    if (!lines.AtEnd()) {
      const auto code = ParseInt(lines.Line());
      if (code && *code >= 0 && *code <= INT32_MAX) input_code = static_cast<std::int32_t>(*code);
    }
    FillImpulseRecord(record, std::move(samples), rate, window_len, input_code, context);
    record.FTitle = title;
  } catch (const LoadError& error) {
    ReportLoadFailure(error.Failure(), progress, record, messages);
    return false;
  }
  return true;
}

bool ImportIm2(const std::filesystem::path& file, TDataMeas& record, const FileContext& context,
               MessageSink& messages) {
  const auto bytes = ReadWholeFile(file);
  if (!bytes) return false;
  int progress = kIm2CountStep;
  try {
    Real48Stream reals(*bytes);
    const double count = reals.Number();
    if (!IsImpulseLength(count)) throw LoadError(LoadFailure::kFormat);
    progress = kIm2WindowStep;
    const std::int32_t window_len = RoundedInt(reals.Number());
    if (window_len < 1) throw LoadError(LoadFailure::kFormat);
    progress = kIm2RateStep;
    const std::int32_t rate = RoundedInt(reals.Number());
    if (rate < 1920) throw LoadError(LoadFailure::kFormat);
    progress = kIm2DataStep;
    reals.Number();
    if (reals.Left() < static_cast<std::size_t>(count)) throw LoadError(LoadFailure::kStreamEnd);
    std::vector<double> samples(static_cast<std::size_t>(count));
    for (double& sample : samples) sample = reals.Number();
    const std::string title = reals.Text();
    const double code = reals.Number();
    const std::int32_t input_code =
        code >= 0.0 && code < 2.0e9 ? static_cast<std::int32_t>(code) : kNoInputCode;
    const std::string date_time = reals.Text();

    FillImpulseRecord(record, std::move(samples), rate, window_len, input_code, context);
    record.FTitle = title;
    record.FWindowType = 3;
    if (const auto stamp = ParseDateTime(date_time)) record.FTimeStamp = *stamp;
    if (reals.Left() >= 2) {
      const auto last = static_cast<double>(record.FNumPoints - 1);
      const double start = reals.Number();
      const double end = reals.Number();
      if (std::isfinite(start) && std::isfinite(end)) {
        record.FWinStart = static_cast<std::int32_t>(std::clamp(std::nearbyint(start), 0.0, last));
        record.FWinEnd = static_cast<std::int32_t>(std::clamp(std::nearbyint(end), 0.0, last));
      }
    }
  } catch (const LoadError& error) {
    ReportLoadFailure(error.Failure(), progress, record, messages);
    return false;
  }
  return true;
}

namespace {

bool RefuseLegacyCurve(const std::filesystem::path& file, MessageSink& messages) {
  std::error_code error;
  if (!std::filesystem::is_regular_file(file, error)) return false;
  messages.ShowMessage("Invalid File Format! " + std::to_string(kLegacyHeaderStep));
  return false;
}

}  // namespace

bool ImportFr2(const std::filesystem::path& file, MessageSink& messages) {
  return RefuseLegacyCurve(file, messages);
}

bool ImportZf2(const std::filesystem::path& file, MessageSink& messages) {
  return RefuseLegacyCurve(file, messages);
}

}  // namespace vireon
