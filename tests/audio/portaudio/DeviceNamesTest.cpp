#include <gtest/gtest.h>

#include <cstdlib>
#include <set>
#include <string>
#include <vector>

#include "audio/devices/portaudio/PortAudioDeviceList.h"
#include "audio/devices/portaudio/PortAudioDriver.h"

namespace vireon {
namespace {

TEST(DeviceNamesTest, RepeatedNamesTakeTheFirstSuffixNotListedAnywhere) {
  struct Case {
    std::vector<std::string> names;
    std::vector<std::string> unique;
  };
  const std::vector<Case> cases = {
      {{}, {}},
      {{"ALSA: hw", "JACK: system"}, {"ALSA: hw", "JACK: system"}},
      {{"A", "A", "A"}, {"A", "A (2)", "A (3)"}},
      // A later device already called "A (2)" keeps its name; the repeat skips to "A (3)".
      {{"A", "A", "A (2)"}, {"A", "A (3)", "A (2)"}},
      {{"A (2)", "A", "A"}, {"A (2)", "A", "A (3)"}},
  };
  for (const Case& each : cases) EXPECT_EQ(MakeNamesUnique(each.names), each.unique);
}

// Runs on whatever devices the machine has; a machine without sound cards lists none.
TEST(DeviceNamesTest, EveryDeviceIsNamedAfterItsHostApiAndNamesAreUnique) {
  setenv("JACK_NO_START_SERVER", "1", 1);
  const PortAudioDriver driver;
  for (const WaveDirection direction : {WaveDirection::kPlay, WaveDirection::kRecord}) {
    const std::vector<std::string> names = driver.DeviceNames(direction);
    std::set<std::string> host_apis;
    for (PaHostApiIndex api = 0; api < Pa_GetHostApiCount(); ++api) {
      host_apis.insert(Pa_GetHostApiInfo(api)->name);
    }
    for (const std::string& name : names) {
      const std::size_t colon = name.find(": ");
      ASSERT_NE(colon, std::string::npos) << name;
      EXPECT_TRUE(host_apis.contains(name.substr(0, colon))) << name;
    }
    EXPECT_EQ(std::set<std::string>(names.begin(), names.end()).size(), names.size());
  }
}

TEST(DeviceNamesTest, ADeviceNumberOutsideTheListIsRefused) {
  setenv("JACK_NO_START_SERVER", "1", 1);
  PortAudioDriver driver;
  const WaveFormat format{48000, 24};
  for (const WaveDirection direction : {WaveDirection::kPlay, WaveDirection::kRecord}) {
    const int count = static_cast<int>(driver.DeviceNames(direction).size());
    for (const int device : {-1, count}) {
      EXPECT_EQ(driver.QueryFormat(direction, device, format), kMmBadDeviceId);
    }
  }
}

}  // namespace
}  // namespace vireon
