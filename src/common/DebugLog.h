#pragma once

#include <filesystem>
#include <memory>
#include <string_view>

namespace vireon {

inline constexpr std::string_view kDebugSwitchFileName = "DoDebug.qtq";
inline constexpr std::string_view kDebugLogFileName = "DebugFile.qtq";

// The debug log "DebugFile.qtq": a header (version and time, system name, a rule), then one line
// per logged step ("SelectDAC: ..."), then "END OF LOGGING" when it is closed or destroyed. Every
// line is flushed at once so a crash keeps it. A disabled log does nothing; pass it by reference
// to the code that logs. Lines may be written from several threads; closing must wait until they
// have stopped. Never use it from the audio callback (it locks and writes files).
class DebugLog {
 public:
  DebugLog();  // disabled
  // Starts a new log in the folder; a log that cannot be created stays disabled.
  static DebugLog Start(const std::filesystem::path& folder, std::string_view system_name);
  // Starts only when the switch file "DoDebug.qtq" exists in the folder.
  static DebugLog StartIfRequested(const std::filesystem::path& folder,
                                   std::string_view system_name);
  DebugLog(DebugLog&&) noexcept;
  DebugLog& operator=(DebugLog&&) noexcept;
  ~DebugLog();

  bool Enabled() const { return writer_ != nullptr; }
  void Log(std::string_view step, std::string_view text);
  void Close();

 private:
  class Writer;
  std::unique_ptr<Writer> writer_;
};

}  // namespace vireon
