#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>

#include "audio/engine/ChannelSkewFile.h"

namespace vireon {
namespace {

constexpr const char* kDevice = "Scripted Card [loopback]";

TEST(ChannelSkewFileTest, EntryOfThePlayDeviceOrDefault) {
  struct Case {
    const char* name;
    const char* text;
    int record_rate;
    ChannelSkew skew;
  };
  const Case cases[] = {
      {"device section, rate matches: left late",
       "[DEFAULT]\r\nHasSampleShift=FALSE\r\n[SCRIPTED CARD]\r\nHasSampleShift=TRUE\r\n"
       "ShiftedSampleRate=48000\r\nShiftLateOnLeft=TRUE\r\n",
       48000,
       {true, false, 0.0}},
      {"default section, rate 0 counts for every rate: right late",
       "\"a comment [SCRIPTED CARD]\n[DEFAULT]\nhassampleshift=true\nShiftedSampleRate=0\n",
       44100,
       {false, true, 0.0}},
      {"other rate: time correction, negative for left late",
       "[DEFAULT]\nHasSampleShift=TRUE\nShiftLateOnLeft=TRUE\n",
       48000,
       {false, false, -1.0 / 96000}},
      {"other rate, right late",
       "[DEFAULT]\nHasSampleShift=TRUE\nShiftedSampleRate=192000\n",
       96000,
       {false, false, 1.0 / 192000}},
      {"negative rate: one record sample",
       "[DEFAULT]\nHasSampleShift=TRUE\nShiftedSampleRate=-1\n",
       44100,
       {false, false, 1.0 / 44100}},
      {"no shift", "[SCRIPTED CARD]\nHasSampleShift=yes\nShiftedSampleRate=48000\n", 48000, {}},
      {"another card only", "[OTHER CARD]\nHasSampleShift=TRUE\n", 48000, {}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    const ChannelSkewReading reading = ParseChannelSkew(c.text, kDevice, c.record_rate);
    EXPECT_EQ(reading.error, "");
    EXPECT_EQ(reading.skew, c.skew);
  }
}

TEST(ChannelSkewFileTest, MalformedFilesAreReported) {
  for (const char* text : {"[DEFAULT]\nShiftedSampleRate=fast\n", "[DEFAULT\nHasSampleShift=TRUE\n",
                           "[DEFAULT]\nHasSampleShift\n"}) {
    SCOPED_TRACE(text);
    const ChannelSkewReading reading = ParseChannelSkew(text, kDevice, 48000);
    EXPECT_EQ(reading.error, "Error in SpecialSoundcard.qtq file!");
    EXPECT_EQ(reading.skew, ChannelSkew{});
  }
}

TEST(ChannelSkewFileTest, MissingAndUnreadableFiles) {
  const std::filesystem::path folder =
      std::filesystem::temp_directory_path() / ("vireon-skew-" + std::to_string(::getpid()));
  std::filesystem::remove_all(folder);
  std::filesystem::create_directories(folder);
  EXPECT_EQ(ReadChannelSkewFile(folder, kDevice, 48000).error, "");

  const std::filesystem::path file = folder / "SpecialSoundcard.qtq";
  std::ofstream(file) << "[DEFAULT]\r\nHasSampleShift=TRUE\r\nShiftedSampleRate=48000\r\n";
  EXPECT_TRUE(ReadChannelSkewFile(folder, kDevice, 48000).skew.right_late);

  std::filesystem::remove(file);
  std::filesystem::create_directory(file);  // there, but not a file that can be read
  EXPECT_EQ(ReadChannelSkewFile(folder, kDevice, 48000).error, "Could not open " + file.string());
  std::filesystem::remove_all(folder);
}

}  // namespace
}  // namespace vireon
