#include <gtest/gtest.h>

#include "audio/settings/DeviceIndexFile.h"
#include "common/AtomicFile.h"
#include "support/TempFolder.h"

namespace vireon {
namespace {

TEST(DeviceIndexFileTest, NewDevicesAndNewMixersGetTheirOwnTriples) {
  TempFolder folder;
  EXPECT_EQ(DeviceCalFilePath(folder.Path(), WaveDirection::kPlay, "Card A", "Mixer A"),
            folder / "PDEV0.QTQ");
  EXPECT_EQ(DeviceCalFilePath(folder.Path(), WaveDirection::kPlay, "Card B", "Mixer A"),
            folder / "PDEV1.QTQ");
  // The same device on another mixer is another entry; a known pair is found again.
  EXPECT_EQ(DeviceCalFilePath(folder.Path(), WaveDirection::kPlay, "Card A", "Mixer B"),
            folder / "PDEV2.QTQ");
  EXPECT_EQ(DeviceCalFilePath(folder.Path(), WaveDirection::kPlay, "Card A", "Mixer A"),
            folder / "PDEV0.QTQ");
  EXPECT_EQ(folder.Read("PLAYDEV.QTQ"),
            "Card A\r\nPDEV0\r\nMixer A\r\nCard B\r\nPDEV1\r\nMixer A\r\n"
            "Card A\r\nPDEV2\r\nMixer B\r\n");
  // Record devices have their own index, starting at 0 again.
  EXPECT_EQ(DeviceCalFilePath(folder.Path(), WaveDirection::kRecord, "Card A", ""),
            folder / "RDEV0.QTQ");
  EXPECT_EQ(folder.Read("RECDEV.QTQ"), "Card A\r\nRDEV0\r\n\r\n");
}

TEST(DeviceIndexFileTest, ReadsForeignIndexesSafely) {
  // LF line ends and a trailing partial triple.
  EXPECT_EQ(ParseDeviceIndex("Card A\nPDEV4\nMix\nCard B\nPDEV9\n"),
            (std::vector<DeviceIndexEntry>{{"Card A", "PDEV4", "Mix"}}));

  std::vector<DeviceIndexEntry> entries = {
      {"Card A", "PDEV7", ""}, {"Card B", "PDEV2", ""}, {"Card C", "../../outside", ""}};
  bool added = false;
  // One more than the highest number, so an edited index never hands out a used name.
  EXPECT_EQ(FindOrAddDeviceBaseName(entries, WaveDirection::kPlay, "Card D", "", added), "PDEV8");
  EXPECT_TRUE(added);
  // An entry whose base name would leave the data directory is never used.
  EXPECT_EQ(FindOrAddDeviceBaseName(entries, WaveDirection::kPlay, "Card C", "", added), "PDEV9");
  EXPECT_TRUE(added);
  EXPECT_EQ(FindOrAddDeviceBaseName(entries, WaveDirection::kPlay, "Card C", "", added), "PDEV9");
  EXPECT_FALSE(added);
  // A line break in a name would shift every later triple.
  entries.push_back({"Bad\r\nName", "PDEV10", ""});
  EXPECT_EQ(ParseDeviceIndex(DeviceIndexText(entries)).back().device_name, "Bad  Name");
}

TEST(DeviceIndexFileTest, AnIndexThatCannotBeWrittenStillNamesTheFile) {
  TempFolder folder;
  std::filesystem::create_directory(folder / "PLAYDEV.QTQ");  // in the way of the index
  EXPECT_EQ(DeviceCalFilePath(folder.Path(), WaveDirection::kPlay, "Card A", ""),
            folder / "PDEV0.QTQ");
}

}  // namespace
}  // namespace vireon
