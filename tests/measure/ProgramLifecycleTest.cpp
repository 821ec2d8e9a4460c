#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "measure/ProgramLifecycle.h"
#include "stimulus/ToneSetFile.h"
#include "support/TempFolder.h"

namespace vireon {
namespace {

using Steps = std::vector<std::string>;

// The shutdown steps recorded in order, with the question answered as given.
ShutdownSteps Recording(Steps& done, QueryAnswer answer, bool hardware_too) {
  const auto step = [&done](std::string name) { return [&done, name] { done.push_back(name); }; };
  return {.end_debug_log = step("log"),
          .stop_measurement = step("stop"),
          .save_latest_tone_sets = step("tones"),
          .save_recent_files = step("recent"),
          .ask_save =
              [&done, answer](std::string_view question) {
                done.emplace_back(question);
                return answer;
              },
          .ask_yes_no =
              [&done, hardware_too](std::string_view question) {
                done.emplace_back(question);
                return hardware_too;
              },
          .save_software_configuration = step("ini"),
          .save_hardware_configuration = step("hdi"),
          .save_backup_record = step("vbu")};
}

TEST(ProgramLifecycleTest, CloseQuerySavesAsAnswered) {
  const std::string save(kSaveAtShutdownQuestion);
  const std::string hardware(kSaveHardwareQuestion);
  const Steps before = {"log", "stop", "tones", "recent"};
  struct Case {
    QueryAnswer answer;
    bool hardware_too;
    bool closes;
    Steps after;
  };
  const Case cases[] = {
      {QueryAnswer::kYes, false, true, {save, "hdi", "vbu", "ini"}},
      {QueryAnswer::kNo, true, true, {save, hardware, "hdi"}},
      {QueryAnswer::kNo, false, true, {save, hardware}},
      {QueryAnswer::kNoToAll, true, true, {save}},
      {QueryAnswer::kCancel, true, false, {save}},
  };
  for (const Case& c : cases) {
    Steps done;
    EXPECT_EQ(RunCloseQuery(true, Recording(done, c.answer, c.hardware_too)), c.closes);
    Steps expected = before;
    expected.insert(expected.end(), c.after.begin(), c.after.end());
    EXPECT_EQ(done, expected);
  }
  Steps done;
  EXPECT_TRUE(RunCloseQuery(false, Recording(done, QueryAnswer::kCancel, true)));
  EXPECT_EQ(done, before) << "without \"Query for Save at shutdown\" nothing is asked";
}

TEST(ProgramLifecycleTest, ActivationAsksToEnableDisabledOutputs) {
  for (const bool disabled : {false, true}) {
    Steps done;
    const auto step = [&done](std::string name) { return [&done, name] { done.push_back(name); }; };
    RunActivation({.build_mls_tables = [] { return false; },
                   .notice = [&done](std::string_view text) { done.emplace_back(text); },
                   .load_configuration = step("load"),
                   .outputs_disabled = [disabled] { return disabled; },
                   .ask_yes_no =
                       [&done](std::string_view question) {
                         done.emplace_back(question);
                         return true;
                       },
                   .enable_outputs = step("enable"),
                   .arm_auto_start = step("auto start"),
                   .enable_status_timer = step("timer")});
    Steps expected = {std::string(kMlsTableNotice), "load"};
    if (disabled) {
      expected.emplace_back(kOutputsDisabledQuestion);
      expected.emplace_back("enable");
    }
    expected.insert(expected.end(), {"auto start", "timer"});
    EXPECT_EQ(done, expected);
  }
}

TEST(ProgramLifecycleTest, LatestToneSetsAreSavedUnderTheirNames) {
  TempFolder folder;
  ToneLists tones = DefaultToneLists();
  SaveLatestToneSets(folder.Path(), tones);
  SineParsArray read;
  LoadToneSet(folder / "LATEST_WF_SET2.QTQ", read, 48000);
  ASSERT_EQ(read.size(), tones.q.size());
  EXPECT_DOUBLE_EQ(read[0].Amplitude, tones.q[0].Amplitude);
  EXPECT_TRUE(std::filesystem::exists(folder / "LATEST_WF_SET1.QTQ"));
}

}  // namespace
}  // namespace vireon
