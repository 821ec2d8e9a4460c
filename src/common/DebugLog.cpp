#include "common/DebugLog.h"

#include <algorithm>
#include <array>
#include <cstdio>
#include <ctime>
#include <mutex>
#include <string>

#include "common/Version.h"

namespace vireon {
namespace {

constexpr std::string_view kLineEnd = "\r\n";

std::string LocalDateTime() {
  const std::time_t now = std::time(nullptr);
  std::tm local{};
  localtime_r(&now, &local);
  std::array<char, 32> text{};
  const std::size_t length = std::strftime(text.data(), text.size(), "%Y-%m-%d %H:%M:%S", &local);
  return std::string(text.data(), length);
}

// One logged item stays on one line.
std::string SingleLine(std::string_view text) {
  std::string line(text);
  std::replace_if(
      line.begin(), line.end(), [](char c) { return c == '\r' || c == '\n'; }, ' ');
  return line;
}

}  // namespace

class DebugLog::Writer {
 public:
  explicit Writer(std::FILE* file) : file_(file) {}
  Writer(const Writer&) = delete;
  Writer& operator=(const Writer&) = delete;
  ~Writer() {
    WriteLine("END OF LOGGING");
    std::fclose(file_);
  }

  void WriteLine(std::string_view line) {
    const std::lock_guard lock(mutex_);
    std::fwrite(line.data(), 1, line.size(), file_);
    std::fwrite(kLineEnd.data(), 1, kLineEnd.size(), file_);
    std::fflush(file_);
  }

 private:
  std::mutex mutex_;
  std::FILE* file_;
};

DebugLog::DebugLog() = default;
DebugLog::DebugLog(DebugLog&&) noexcept = default;
DebugLog& DebugLog::operator=(DebugLog&&) noexcept = default;
DebugLog::~DebugLog() = default;

DebugLog DebugLog::Start(const std::filesystem::path& folder, std::string_view system_name) {
  DebugLog log;
  std::FILE* file = std::fopen((folder / kDebugLogFileName).c_str(), "wb");
  if (file == nullptr) return log;
  log.writer_ = std::make_unique<Writer>(file);
  log.writer_->WriteLine("Version " + std::string(kProgramVersion) + " " + LocalDateTime());
  log.writer_->WriteLine(SingleLine(system_name));
  log.writer_->WriteLine("______________");
  return log;
}

DebugLog DebugLog::StartIfRequested(const std::filesystem::path& folder,
                                    std::string_view system_name) {
  std::error_code error;
  if (!std::filesystem::exists(folder / kDebugSwitchFileName, error)) return DebugLog();
  return Start(folder, system_name);
}

void DebugLog::Log(std::string_view step, std::string_view text) {
  if (!writer_) return;
  std::string line = SingleLine(step) + ":";
  if (!text.empty()) line += " " + SingleLine(text);
  writer_->WriteLine(line);
}

void DebugLog::Close() { writer_.reset(); }

}  // namespace vireon
