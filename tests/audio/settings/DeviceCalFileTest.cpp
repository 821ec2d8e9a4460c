#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "audio/settings/TDeviceCal.h"
#include "common/AtomicFile.h"
#include "common/VireonError.h"
#include "support/TempFolder.h"

namespace vireon {
namespace {

// A per-device file as this program writes it, line by line.
std::vector<std::string> Version4Lines() {
  std::vector<std::string> lines = {"VER=4", "-1", "1.25", "0.8", "750", "64"};
  for (const char* v : {"1", "2", "3", "4", "5", "6.5"}) lines.push_back(v);  // further values
  lines.push_back("41000");                                                   // reference level
  lines.push_back("0.97");                                                    // probe balance
  for (int i = 0; i < 16; ++i) lines.push_back(std::to_string(i + 1));        // step factors
  for (int i = 0; i < 16; ++i) lines.push_back("-" + std::to_string(i));      // second values
  for (const char* f : {"1", "1", "0", "1", "1", "1", "1", "0"}) lines.push_back(f);
  for (const char* v : {"24", "1", "0", "4194304"}) lines.push_back(v);
  for (const char* f : {"0", "0", "1", "1", "1", "1", "1", "1"}) lines.push_back(f);
  lines.push_back("7");  // further integer
  return lines;
}

std::string Join(const std::vector<std::string>& lines, std::string_view end = "\r\n") {
  std::string text;
  for (const std::string& line : lines) text += line + std::string(end);
  return text;
}

TEST(DeviceCalFileTest, ReadsEveryValueInItsPlaceAndWritesTheSameText) {
  const std::string text = Join(Version4Lines());
  const std::optional<TDeviceCal> cal = ParseDeviceCal(text);
  ASSERT_TRUE(cal);
  EXPECT_EQ(cal->version, 4);
  EXPECT_EQ(cal->mixer_number, -1);
  EXPECT_EQ(cal->scale1, 1.25);
  EXPECT_EQ(cal->scale2, 0.8);
  EXPECT_EQ(cal->stabilizing_ms, 750.0);
  EXPECT_EQ(cal->latency, 64);
  EXPECT_EQ(cal->further_values[5], 6.5);
  EXPECT_EQ(cal->reference_level, 41000.0);
  EXPECT_EQ(cal->probe_balance_ratio, 0.97);
  EXPECT_EQ(cal->volume_steps[15], (VolumeStep{16.0, -15.0}));
  EXPECT_EQ(cal->rate_flags,
            (std::array<bool, 8>{true, true, false, true, true, true, true, false}));
  EXPECT_EQ(cal->bits, 24);
  EXPECT_TRUE(cal->inverts);
  EXPECT_FALSE(cal->second_polarity);
  EXPECT_EQ(cal->maximum_code, 4194304);
  EXPECT_EQ(cal->sync_rate_flags,
            (std::array<bool, 8>{false, false, true, true, true, true, true, true}));
  EXPECT_EQ(cal->further_integer, 7);
  EXPECT_EQ(DeviceCalText(*cal), text);
}

TEST(DeviceCalFileTest, OlderVersionsAndOddValuesReadAsTheDeviceMeantThem) {
  std::vector<std::string> lines = Version4Lines();
  lines[4] = "-20";                        // stabilizing time below zero
  lines[13] = "0.05";                      // a probe balance no calibration gives
  lines[46] = "3";                         // a rate flag written as a count
  lines[57] = "999";                       // a maximum code that cannot be a full level
  lines.push_back("mixer control state");  // the mixer section, not ours to read
  const std::optional<TDeviceCal> v4 = ParseDeviceCal(Join(lines, "\n"));
  ASSERT_TRUE(v4);
  EXPECT_EQ(v4->stabilizing_ms, 0.0);
  EXPECT_EQ(v4->probe_balance_ratio, 1.0);
  EXPECT_TRUE(v4->rate_flags[0]);
  EXPECT_EQ(v4->maximum_code, 8388608);

  // Before version 3 the reference level's line held an older value.
  for (const std::string first : {"VER=2", ""}) {
    std::vector<std::string> old = Version4Lines();
    if (first.empty()) {
      old.erase(old.begin());  // version 1 has no version line
    } else {
      old[0] = first;
    }
    const std::optional<TDeviceCal> cal = ParseDeviceCal(Join(old));
    ASSERT_TRUE(cal) << first;
    EXPECT_EQ(cal->version, first.empty() ? 1 : 2);
    EXPECT_EQ(cal->older_reference, 41000.0);
    EXPECT_EQ(cal->reference_level, 40000.0);
    EXPECT_EQ(cal->latency, 64);
  }
  std::vector<std::string> v3 = Version4Lines();
  v3[0] = "VER=3";
  EXPECT_EQ(ParseDeviceCal(Join(v3))->reference_level, 41000.0);
}

TEST(DeviceCalFileTest, MalformedTextIsNoFile) {
  struct Case {
    const char* what;
    std::size_t line;
    const char* value;  // nullptr: cut the file before this line
  };
  for (const Case& c : {
           Case{"truncated", 66, nullptr},
           Case{"empty", 0, nullptr},
           Case{"unknown version", 0, "VER=5"},
           Case{"version zero", 0, "VER=0"},
           Case{"version not a number", 0, "VER=four"},
           Case{"text for a scale", 2, "abc"},
           Case{"not a number", 3, "nan"},
           Case{"fraction for the latency", 5, "64.5"},
           Case{"fraction for a flag", 50, "0.5"},
           Case{"integer too large", 57, "99999999999"},
           Case{"empty line", 30, ""},
       }) {
    std::vector<std::string> lines = Version4Lines();
    if (c.value) {
      lines[c.line] = c.value;
    } else {
      lines.resize(c.line);
    }
    EXPECT_FALSE(ParseDeviceCal(Join(lines))) << c.what;
  }
}

TEST(DeviceCalFileTest, FilesRoundTripAndUnreadableOnesAreAbsent) {
  TempFolder folder;
  TDeviceCal cal;
  cal.scale1 = 1.0 / 3.0;  // needs every digit to come back
  cal.stabilizing_ms = 123.5;
  cal.rate_flags[1] = false;
  cal.volume_steps[3] = {0.1, 2.5};
  WriteDeviceCalFile(folder / "PDEV0.QTQ", cal);
  EXPECT_EQ(ReadDeviceCalFile(folder / "PDEV0.QTQ"), cal);
  EXPECT_EQ(folder.Read("PDEV0.QTQ").substr(0, 9), "VER=4\r\n-1");

  EXPECT_FALSE(ReadDeviceCalFile(folder / "missing.QTQ"));
  EXPECT_FALSE(ReadDeviceCalFile(folder.Path()));  // a folder, not a file
  WriteFileAtomically(folder / "bad.QTQ", "VER=4\r\n-1\r\n1\r\n");
  EXPECT_FALSE(ReadDeviceCalFile(folder / "bad.QTQ"));
  EXPECT_THROW(WriteDeviceCalFile(folder / "no" / "such" / "folder.QTQ", cal), VireonError);
}

}  // namespace
}  // namespace vireon
