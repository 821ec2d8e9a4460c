#include "common/DebugLog.h"

#include <gtest/gtest.h>

#include <regex>
#include <string>
#include <thread>
#include <vector>

#include "support/TempFolder.h"
#include "common/AtomicFile.h"

namespace vireon {
namespace {

std::vector<std::string> CrLfLines(const std::string& text) {
  std::vector<std::string> lines;
  std::size_t start = 0;
  for (std::size_t end; (end = text.find("\r\n", start)) != std::string::npos; start = end + 2) {
    lines.push_back(text.substr(start, end - start));
  }
  EXPECT_EQ(start, text.size()) << "text after the last CR LF";
  return lines;
}

TEST(DebugLog, StartsOnlyWhenTheSwitchFileExists) {
  const TempFolder folder;
  DebugLog log = DebugLog::StartIfRequested(folder.Path(), "Linux 6.1");
  EXPECT_FALSE(log.Enabled());
  log.Log("SelectDAC", "nothing happens");
  log.Close();
  EXPECT_FALSE(std::filesystem::exists(folder / "DebugFile.qtq"));

  EXPECT_FALSE(DebugLog::Start(folder / "missing-folder", "x").Enabled());
}

TEST(DebugLog, WritesHeaderStepsAndEndWithCrLfFlushingEachLine) {
  const TempFolder folder;
  WriteFileAtomically(folder / "DoDebug.qtq", "");
  {
    DebugLog log = DebugLog::StartIfRequested(folder.Path(), "Linux 6.1.0-18-amd64");
    ASSERT_TRUE(log.Enabled());
    log.Log("SelectDAC", "device 2\r\nopened");
    log.Log("ListWavDevices", "");
    // Already on disk while the log is open, so a crash keeps it.
    EXPECT_EQ(CrLfLines(folder.Read("DebugFile.qtq")).size(), 5u);
  }
  const std::vector<std::string> lines = CrLfLines(folder.Read("DebugFile.qtq"));
  ASSERT_EQ(lines.size(), 6u);
  EXPECT_TRUE(
      std::regex_match(lines[0], std::regex(R"(Version 2\.30\.0 \d{4}-\d\d-\d\d \d\d:\d\d:\d\d)")))
      << lines[0];
  EXPECT_EQ(lines[1], "Linux 6.1.0-18-amd64");
  EXPECT_EQ(lines[2], "______________");
  EXPECT_EQ(lines[3], "SelectDAC: device 2  opened");
  EXPECT_EQ(lines[4], "ListWavDevices:");
  EXPECT_EQ(lines[5], "END OF LOGGING");
}

TEST(DebugLog, LinesFromSeveralThreadsStayWhole) {
  const TempFolder folder;
  DebugLog log = DebugLog::Start(folder.Path(), "sys");
  constexpr int kThreads = 4;
  constexpr int kLines = 200;
  {
    std::vector<std::jthread> threads;
    for (int t = 0; t < kThreads; ++t) {
      threads.emplace_back([&log, t] {
        for (int i = 0; i < kLines; ++i) log.Log("Pump" + std::to_string(t), std::string(50, 'x'));
      });
    }
  }
  log.Close();
  log.Close();  // closing twice ends the log once
  const std::vector<std::string> lines = CrLfLines(folder.Read("DebugFile.qtq"));
  ASSERT_EQ(lines.size(), 3u + kThreads * kLines + 1);
  const std::regex whole_line("Pump[0-3]: x{50}");
  for (std::size_t i = 3; i + 1 < lines.size(); ++i) {
    ASSERT_TRUE(std::regex_match(lines[i], whole_line)) << lines[i];
  }
  EXPECT_EQ(lines.back(), "END OF LOGGING");
}

}  // namespace
}  // namespace vireon
