#include <gtest/gtest.h>

#include <cmath>
#include <set>
#include <string>
#include <utility>
#include <vector>

#include "audio/settings/AudioInterfaceSettings.h"
#include "audio/settings/DeviceIndexFile.h"
#include "audio/settings/TimingEditorValues.h"
#include "common/AtomicFile.h"
#include "support/TempFolder.h"

namespace vireon {
namespace {

using enum WaveDirection;

// A driver that accepts exactly the formats each device is given.
class ScriptedDriver final : public WaveDriver {
 public:
  struct Device {
    std::string name;
    std::set<std::pair<int, int>> formats;  // (rate, bits)
  };
  std::vector<Device> play;
  std::vector<Device> record;

  std::vector<std::string> DeviceNames(WaveDirection direction) const override {
    std::vector<std::string> names;
    for (const Device& device : Of(direction)) names.push_back(device.name);
    return names;
  }
  int QueryFormat(WaveDirection direction, int device, const WaveFormat& format) override {
    const std::vector<Device>& devices = Of(direction);
    if (device < 0 || device >= static_cast<int>(devices.size())) return kMmBadDeviceId;
    return devices[static_cast<std::size_t>(device)].formats.contains({format.rate, format.bits})
               ? kMmNoError
               : kWaveBadFormat;
  }
  int Open(WaveDirection, int, const WaveFormat&, WaveCallback&,
           std::unique_ptr<WaveStream>&) override {
    return kMmNotSupported;
  }

 private:
  const std::vector<Device>& Of(WaveDirection direction) const {
    return direction == kPlay ? play : record;
  }
};

ScriptedDriver::Device Card(std::string name, std::initializer_list<int> rates_16,
                            std::initializer_list<int> rates_24 = {}) {
  ScriptedDriver::Device device{std::move(name), {}};
  for (const int rate : rates_16) device.formats.insert({rate, 16});
  for (const int rate : rates_24) device.formats.insert({rate, 24});
  return device;
}

RateAvailability Only(std::initializer_list<int> rates) {
  RateAvailability available{};
  for (const int rate : rates) available[static_cast<std::size_t>(RateIndexOf(rate))] = true;
  return available;
}

constexpr std::initializer_list<int> kEveryRate = {768000, 384000, 192000, 96000, 88200,
                                                   48000,  44100,  32000,  24000, 22050};

class AudioInterfaceSettingsTest : public ::testing::Test {
 protected:
  AudioInterfaceSettings MakeSettings() {
    return AudioInterfaceSettings(driver_, folder_.Path(), [this](auto step, auto text) {
      log_.push_back(std::string(step) + ": " + std::string(text));
    });
  }
  // A per-device file for a play device, as calibration leaves it.
  void WritePlayFile(std::string_view device, const TDeviceCal& cal) {
    WriteDeviceCalFile(DeviceCalFilePath(folder_.Path(), kPlay, device, ""), cal);
  }

  TempFolder folder_;
  ScriptedDriver driver_;
  std::vector<std::string> log_;
};

TEST_F(AudioInterfaceSettingsTest, WithoutADeviceFileTheDriverDecidesTheRates) {
  driver_.play = {Card("Duplex", {96000, 48000, 44100, 24000}, {48000})};
  driver_.record = {Card("Duplex", {48000, 44100}, {96000})};
  AudioInterfaceSettings settings = MakeSettings();
  log_.clear();
  EXPECT_FALSE(settings.ChoosePlayDevice("Duplex"));

  EXPECT_EQ(settings.Availability(kPlay), Only({96000, 48000, 44100, 24000}));
  EXPECT_EQ(settings.Availability(kRecord), Only({48000, 44100}));
  std::vector<bool> enabled;
  for (const MenuItem& item : settings.RateMenu(kPlay)) enabled.push_back(item.enabled);
  EXPECT_EQ(enabled, (std::vector<bool>{0, 0, 0, 1, 0, 1, 1, 0, 1, 0}));
  // 24 bits where the device takes them at 48000 Hz, not at some other rate.
  EXPECT_TRUE(settings.Offers24Bits(kPlay));
  EXPECT_FALSE(settings.Offers24Bits(kRecord));
  EXPECT_EQ(settings.RateIndex(kPlay), RateIndexOf(96000));
  EXPECT_TRUE(settings.Ready());
  EXPECT_FALSE(settings.HasDeviceFile(kPlay));
  EXPECT_EQ(settings.StabilizingTimeMs(), 100.0);
  EXPECT_EQ(settings.DeviceCal(kPlay).latency, 100);

  const std::string play_file = (folder_ / "PDEV0.QTQ").string();
  const std::string record_file = (folder_ / "RDEV0.QTQ").string();
  EXPECT_EQ(log_, (std::vector<std::string>{
                      "SelectDAC: Name = Duplex",
                      "SelectDAC: PlayDevNum = 0",
                      "SelectDAC: PlayDevName = Duplex",
                      "SelectDAC: PDevFileName = " + play_file,
                      "SelectDAC: MixerNum = -1",
                      "SelectDAC: PDevFileName does not exist. Using defaults",
                      "SelectADC: Name = Duplex",
                      "SelectADC: RecDevNum = 0",
                      "SelectADC: RecDevName = Duplex",
                      "SelectADC: RDevFileName = " + record_file,
                      "SelectADC: MixerNum = -1",
                      "SelectADC: RDevFileName does not exist. Using defaults.",
                  }));
  EXPECT_EQ(folder_.Read("PLAYDEV.QTQ"), "Duplex\r\nPDEV0\r\n\r\n");
  EXPECT_FALSE(std::filesystem::exists(play_file));
}

TEST_F(AudioInterfaceSettingsTest, ADeviceFileLimitsTheRatesAndSetsTheOutputBalance) {
  driver_.play = {Card("Duplex", {96000, 48000, 44100, 22050}, {48000})};
  driver_.record = {Card("Duplex", kEveryRate)};
  TDeviceCal cal;
  cal.rate_flags[static_cast<std::size_t>(RateIndexOf(96000))] = false;
  cal.rate_flags[static_cast<std::size_t>(RateIndexOf(44100))] = false;
  cal.bits = 24;
  cal.scale1 = 1.2;
  cal.scale2 = 1.0;
  cal.stabilizing_ms = 250.0;
  cal.latency = 64;
  WritePlayFile("Duplex", cal);

  AudioInterfaceSettings settings = MakeSettings();
  log_.clear();
  EXPECT_TRUE(settings.SelectDAC("Duplex"));
  EXPECT_EQ(std::vector<std::string>(log_.begin() + 5, log_.end()),
            (std::vector<std::string>{"SelectDAC: PDevFileName exists.",
                                      "SelectDAC: Set mixer settings."}));
  // The file's flags and the driver must both allow a rate; 22050 Hz needs only the driver.
  EXPECT_EQ(settings.Availability(kPlay), Only({48000, 22050}));
  EXPECT_EQ(settings.Settings().PlayRate, 48000);  // 96000 is not usable here
  EXPECT_EQ(settings.StabilizingTimeMs(), 250.0);
  EXPECT_EQ(settings.DeviceCal(kPlay).latency, 64);
  EXPECT_TRUE(settings.Offers24Bits(kPlay));

  // The louder output is turned down to the quieter one's voltage; nothing exceeds 0.999.
  struct Case {
    double level_db;
    double gain1, gain2;
  };
  for (const Case& c :
       {Case{-20.0, 0.1 / 1.2, 0.1}, Case{0.0, 1.0 / 1.2, 0.999}, Case{10.0, 0.999, 0.999}}) {
    settings.SetOutputLevels({c.level_db, c.level_db, true, true});
    EXPECT_NEAR(settings.Settings().Gain1, c.gain1, 1e-12) << c.level_db;
    EXPECT_NEAR(settings.Settings().Gain2, c.gain2, 1e-12) << c.level_db;
  }
  settings.SetOutputLevels({-20.0, -20.0, true, false});
  EXPECT_EQ(settings.Settings().Gain2, 0.0);
}

TEST_F(AudioInterfaceSettingsTest, AnUnreadableDeviceFileCountsAsAbsent) {
  driver_.play = {Card("Duplex", {48000, 44100})};
  driver_.record = {Card("Duplex", {48000, 44100})};
  TDeviceCal cal;
  cal.maximum_code = 4194304;
  WritePlayFile("Duplex", cal);
  const std::filesystem::path file = folder_ / "PDEV0.QTQ";
  WriteFileAtomically(file, "VER=4\r\n-1\r\n1.0\r\n");  // cut short

  AudioInterfaceSettings settings = MakeSettings();
  log_.clear();
  settings.SelectDAC("Duplex");
  EXPECT_EQ(log_.back(), "SelectDAC: Could not set mixer settings.");
  EXPECT_FALSE(settings.HasDeviceFile(kPlay));
  EXPECT_EQ(settings.DeviceCal(kPlay).maximum_code, 8388608);
  EXPECT_EQ(settings.Availability(kPlay), Only({48000, 44100}));
}

TEST_F(AudioInterfaceSettingsTest, ADeviceWithoutUsableRatesIsNotReady) {
  driver_.play = {Card("Odd", {11025})};
  driver_.record = {Card("Odd", {11025})};
  AudioInterfaceSettings settings = MakeSettings();
  settings.ChoosePlayDevice("Odd");
  EXPECT_FALSE(settings.Ready());
  EXPECT_EQ(settings.RateIndex(kPlay), -1);
  EXPECT_EQ(SampleRateMenuCaption(settings.RateIndex(kPlay)), "&SampleRate: INVALID");
}

TEST_F(AudioInterfaceSettingsTest, PlayDevicesPairWithTheRecordDeviceOfTheSameName) {
  driver_.play = {Card("Duplex", kEveryRate), Card("Speaker", kEveryRate)};
  driver_.record = {Card("Mic", kEveryRate), Card("Duplex", kEveryRate)};
  AudioInterfaceSettings settings = MakeSettings();
  EXPECT_FALSE(settings.ChoosePlayDevice("Duplex"));
  EXPECT_EQ(settings.DeviceNumber(kRecord), 1);
  EXPECT_EQ(settings.DeviceMenu(kPlay),
            (std::vector<MenuItem>{{"Duplex->Duplex", true, true}, {"Speaker", false, false}}));
  EXPECT_EQ(settings.PlayMenuCaption(), "Devs = Duplex->Duplex");

  EXPECT_EQ(settings.ChoosePlayDevice("Speaker"), "Speaker has no matching A/D device");
  EXPECT_TRUE(settings.Soundcards().allow_separate_ad);
  EXPECT_EQ(settings.PlayMenuCaption(), "Dev = Speaker");
  EXPECT_EQ(settings.DeviceMenu(kPlay)[1], (MenuItem{"Speaker", true, true}));
  settings.SelectADC("Mic");
  EXPECT_EQ(settings.RecordMenuCaption(), "Dev: Mic");

  settings.SelectDAC("Duplex");
  EXPECT_FALSE(settings.SetAllowSeparateAD(false));
  EXPECT_EQ(settings.DeviceName(kRecord), "Duplex");
  // A device that is gone: the first one is taken.
  EXPECT_FALSE(settings.SelectDAC("Unplugged"));
  EXPECT_EQ(settings.DeviceName(kPlay), "Duplex");
}

TEST_F(AudioInterfaceSettingsTest, WithoutDevicesTheMenusSaySoAndNothingStarts) {
  AudioInterfaceSettings settings = MakeSettings();
  EXPECT_EQ(settings.DeviceMenu(kPlay), (std::vector<MenuItem>{{"NO AUDIO CARDS", false, false}}));
  EXPECT_EQ(settings.DeviceMenu(kRecord), (std::vector<MenuItem>{{"NO ADC!", false, false}}));
  settings.ChoosePlayDevice("");
  EXPECT_FALSE(settings.HasDevices());
  EXPECT_FALSE(settings.Ready());
  EXPECT_EQ(settings.PlayMenuCaption(), "No DAC!");
  EXPECT_EQ(settings.RecordMenuCaption(), "No ADC!");
  EXPECT_EQ(log_.front(), "ListWavDevices: Finished Procedure.");
}

TEST_F(AudioInterfaceSettingsTest, RecordRateAndResolutionFollowPlayUnlessAllowedToDiffer) {
  driver_.play = {Card("Duplex", kEveryRate, kEveryRate), Card("Plain", kEveryRate)};
  driver_.record = {Card("Duplex", kEveryRate, kEveryRate)};
  AudioInterfaceSettings settings = MakeSettings();
  settings.ChoosePlayDevice("Duplex");
  settings.SelectResolution(24, kPlay);
  settings.SelectRate(44100, kPlay);
  EXPECT_EQ(settings.Settings().RecBits, 24);
  EXPECT_EQ(settings.Settings().RecRate, 44100);

  settings.SetAllowDifferentResolution(true);
  settings.SetAllowDifferentRates(true);
  settings.SelectResolution(16, kRecord);
  EXPECT_EQ(settings.SelectRate(50000, kRecord), RateIndexOf(88200));
  EXPECT_EQ(settings.Settings(), (TADDASettings{24, 16, 44100, 88200, settings.Settings().Gain1,
                                                settings.Settings().Gain2, 0, 0, 2, 0}));

  // A device without 24-bit output falls back to 16 bits.
  settings.SelectDAC("Plain");
  EXPECT_EQ(settings.Settings().PlayBits, 16);
}

TEST_F(AudioInterfaceSettingsTest, LoadedChoicesAreAppliedAndTheStabilizingTimeIsKept) {
  driver_.play = {Card("Other", kEveryRate), Card("Duplex", kEveryRate)};
  driver_.record = {Card("Duplex", kEveryRate)};
  AudioInterfaceSettings settings = MakeSettings();
  settings.Soundcards().play_device_name = "Duplex";
  settings.Soundcards().play_rate = 50000;  // not a table rate
  EXPECT_FALSE(settings.ApplySoundcards());
  EXPECT_EQ(settings.DeviceNumber(kPlay), 1);
  EXPECT_EQ(settings.Settings().PlayRate, 88200);
  EXPECT_EQ(settings.Soundcards().play_rate, 88200);

  // Loaded choices are fitted to the loaded devices, not to the ones current before.
  driver_.record.push_back(Card("Basic", kEveryRate));
  settings.ListWavDevices();
  settings.SetAllowSeparateAD(true);
  settings.SelectADC("Basic");
  settings.Soundcards().record_device_name = "Duplex";
  settings.Soundcards().allow_different_resolution = true;
  settings.Soundcards().record_bits = 24;
  driver_.record[0] = Card("Duplex", kEveryRate, {48000});
  settings.ApplySoundcards();
  EXPECT_EQ(settings.Settings().RecBits, 24);
  EXPECT_EQ(settings.Settings().PlayBits, 16);

  settings.SetStabilizingTime(350.0);
  ASSERT_TRUE(std::filesystem::exists(folder_ / "PDEV0.QTQ"));
  settings.SelectDAC("Other");
  settings.SelectDAC("Duplex");
  EXPECT_TRUE(settings.HasDeviceFile(kPlay));
  EXPECT_EQ(settings.StabilizingTimeMs(), 350.0);
  EXPECT_EQ(settings.Availability(kPlay), Only(kEveryRate));
}

TEST_F(AudioInterfaceSettingsTest, ANewDeviceListSelectsTheRememberedDevicesByName) {
  driver_.play = {Card("Duplex", kEveryRate)};
  driver_.record = {Card("Duplex", kEveryRate)};
  AudioInterfaceSettings settings = MakeSettings();
  settings.ChoosePlayDevice("Duplex");
  EXPECT_FALSE(settings.RefreshDevicesIfChanged());
  driver_.play.insert(driver_.play.begin(), Card("", kEveryRate));  // a driver that does not answer
  EXPECT_TRUE(settings.RefreshDevicesIfChanged());
  EXPECT_EQ(settings.Devices(kPlay), (std::vector<std::string>{"ERROR!", "Duplex"}));
  EXPECT_EQ(settings.DeviceNumber(kPlay), 1);

  // After a sleep the list is read again even when the counts stayed the same.
  driver_.play = {Card("Duplex", kEveryRate), Card("USB", kEveryRate)};
  EXPECT_FALSE(settings.RefreshDevicesIfChanged());
  EXPECT_EQ(settings.DeviceNumber(kPlay), 1);
  settings.RelistDevices();
  EXPECT_EQ(settings.Devices(kPlay), (std::vector<std::string>{"Duplex", "USB"}));
  EXPECT_EQ(settings.DeviceNumber(kPlay), 0);
  EXPECT_EQ(settings.DeviceName(kPlay), "Duplex");
}

TEST_F(AudioInterfaceSettingsTest, DigitalTwinsAreUsedOnlyWhereDeclared) {
  driver_.play = {Card("Studio", {48000}, {192000}), Card("Studio Digital", {48000}),
                  Card("Basic", {48000})};
  driver_.record = {Card("Studio", {48000}, {192000}), Card("Basic", {48000})};
  AudioInterfaceSettings settings = MakeSettings();
  settings.ChoosePlayDevice("Studio");
  settings.SetDigitalDevices("Studio Digital", "NONE");
  EXPECT_FALSE(settings.UseDigital(kPlay, true));
  EXPECT_EQ(settings.StreamDeviceNumber(kPlay), 1);
  EXPECT_EQ(settings.UseDigital(kRecord, true),
            "Digital Input device is not declared for this soundcard");
  EXPECT_FALSE(settings.UsesDigital(kRecord));
  EXPECT_EQ(settings.StreamDeviceNumber(kRecord), 0);

  // Another card: the twin was the old card's, and this one cannot have one.
  settings.ChoosePlayDevice("Basic");
  EXPECT_FALSE(settings.UsesDigital(kPlay));
  settings.SetDigitalDevices("Studio Digital", "");
  EXPECT_EQ(settings.UseDigital(kPlay, true),
            "Digital Out device is not declared for this soundcard");
}

TEST_F(AudioInterfaceSettingsTest, TimingEditorsTakeValuesInTheirUnitsAndRanges) {
  driver_.play = {Card("Duplex", {48000})};
  driver_.record = {Card("Duplex", {48000})};
  AudioInterfaceSettings settings = MakeSettings();
  settings.ChoosePlayDevice("Duplex");
  TimingSettings timing;
  using enum TimingEditor;
  EXPECT_EQ(TimingEditorValue(kStabilizingTime, settings, timing), 0.1);  // seconds

  SetTimingEditorValue(kStabilizingTime, 0.75, settings, timing);
  SetTimingEditorValue(kAdcLatency, 42.4, settings, timing);
  SetTimingEditorValue(kDriverMaxBuffer, 1e9, settings, timing);
  SetTimingEditorValue(kBufferLength, std::nan(""), settings, timing);
  EXPECT_EQ(settings.StabilizingTimeMs(), 750.0);
  EXPECT_EQ(settings.DeviceCal(kRecord).latency, 42);
  EXPECT_EQ(timing.driver_max_buffer, 131072);
  EXPECT_EQ(timing.buffer_length_s, TimingSettings{}.buffer_length_s);
  // Each device's value is in its own file.
  EXPECT_EQ(ReadDeviceCalFile(folder_ / "PDEV0.QTQ").value().stabilizing_ms, 750.0);
  EXPECT_EQ(ReadDeviceCalFile(folder_ / "RDEV0.QTQ").value().latency, 42);
}

}  // namespace
}  // namespace vireon
