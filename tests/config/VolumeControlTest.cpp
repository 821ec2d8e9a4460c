#include "config/VolumeControl.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <set>
#include <string>
#include <vector>

#include "support/TempFolder.h"

namespace vireon {
namespace {

using Command = std::optional<std::vector<std::string>>;

TEST(VolumeControl, PrefersTheSoundServersControlThenTheConsoleMixer) {
  struct Case {
    std::set<std::string_view> installed;
    MixerSide side;
    Command expected;
  };
  const Case cases[] = {
      {{"pavucontrol", "alsamixer", "x-terminal-emulator"},
       MixerSide::kRecording,
       std::vector<std::string>{"pavucontrol", "--tab=2"}},
      {{"pavucontrol"}, MixerSide::kPlayback, std::vector<std::string>{"pavucontrol", "--tab=1"}},
      {{"alsamixer", "x-terminal-emulator"},
       MixerSide::kRecording,
       std::vector<std::string>{"x-terminal-emulator", "-e", "alsamixer", "--view=capture"}},
      {{"alsamixer"}, MixerSide::kPlayback, std::nullopt},  // no terminal to run it in
      {{}, MixerSide::kPlayback, std::nullopt},
  };
  for (const Case& c : cases) {
    const auto installed = [&c](std::string_view program) { return c.installed.count(program) > 0; };
    EXPECT_EQ(VolumeControlCommand(c.side, installed), c.expected);
  }
}

TEST(VolumeControl, ProgramsAreFoundOnEveryFolderOfTheSearchPath) {
  const TempFolder folder;
  std::filesystem::create_directories(folder / "a");
  std::filesystem::create_directories(folder / "b");
  std::ofstream(folder / "b" / "pavucontrol") << "#!/bin/sh\n";
  const ProgramLookup lookup =
      ProgramsOnPath((folder / "a").string() + "::" + (folder / "b").string());
  EXPECT_TRUE(lookup("pavucontrol"));
  EXPECT_FALSE(lookup("alsamixer"));
  EXPECT_FALSE(ProgramsOnPath("")("pavucontrol"));
}

}  // namespace
}  // namespace vireon
