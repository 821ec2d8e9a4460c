#include <gtest/gtest.h>

#include "audio/settings/AudioSettingsConfig.h"
#include "config/ConfigWalk.h"
#include "config/IniFile.h"
#include "stimulus/CfgStim.h"

namespace vireon {
namespace {

class AudioSettingsConfigTest : public ::testing::Test {
 protected:
  AudioSettingsConfigTest() {
    BindAudioSettings(software_.Bindings(), hardware_.Bindings(), soundcards_, timing_);
  }

  ConfigWalk software_{ConfigFile::kSoftware};
  ConfigWalk hardware_{ConfigFile::kHardware};
  SoundcardSettings soundcards_;
  TimingSettings timing_;
};

TEST_F(AudioSettingsConfigTest, ReadAndWrittenUnderTheirKeys) {
  IniFile hardware_in = IniFile::FromText(
      "[Soundcards]\r\nPlayDevName=ALSA: USB Card\r\nRecDevName=ALSA: Mic\r\nAllowSepAD=1\r\n"
      "PlayRate=44100\r\nRecRate=50000\r\nPlayResolution=24\r\nRecResolution=16\r\n"
      "BufferLengthMME=0.12\r\nDriverMaxBuffer=65535\r\nWAVE_EXT=1\r\nDPLayDevName=Player\r\n");
  hardware_.Walk(hardware_in, WalkDirection::kRead);
  IniFile software_in = IniFile::FromText(
      "[Priority]\r\nTimerThreadPriority=9\r\nOverallPriority=2\r\n"
      "[InputSourceGainSettings]\r\nPulseOutHeight=-12\r\n"
      "[VireonSystem]\r\nCh1_Input_Select=3\r\nCh2_Input_Select=7\r\n"
      "[V2 Parameters]\r\nLatency48k=0.08\r\nLineFrequency=50\r\n");
  software_.Walk(software_in, WalkDirection::kRead);

  EXPECT_EQ(soundcards_.play_device_name, "ALSA: USB Card");
  EXPECT_EQ(soundcards_.record_device_name, "ALSA: Mic");
  EXPECT_EQ(soundcards_.playback_device_name, "Player");
  EXPECT_TRUE(soundcards_.allow_separate_ad);
  EXPECT_TRUE(soundcards_.wave_extensible);
  EXPECT_EQ(soundcards_.play_rate, 44100);
  EXPECT_EQ(soundcards_.record_rate, 50000);  // kept in Hz until applied to the devices
  EXPECT_EQ(soundcards_.play_bits, 24);
  EXPECT_EQ(soundcards_.record_bits, 16);
  EXPECT_EQ(timing_.buffer_length_s, 0.12);
  EXPECT_EQ(timing_.driver_max_buffer, 65535);
  EXPECT_EQ(timing_.timer_thread_priority, 6);  // limited to 1 .. 6
  EXPECT_EQ(timing_.overall_priority, 2);
  EXPECT_EQ(timing_.pulse_out_height_db, -12);
  EXPECT_EQ(timing_.latency_48k_s, 0.08);
  EXPECT_EQ(timing_.line_frequency_hz, 50.0);
  EXPECT_EQ(soundcards_.input1_designation, 3);  // "Mic 2"
  EXPECT_EQ(soundcards_.input2_designation, 3);  // limited to the four entries

  // Without separate A&D or nonequal resolution the record resolution is the play one.
  soundcards_.allow_separate_ad = false;
  IniFile hardware_out;
  hardware_.Walk(hardware_out, WalkDirection::kSave);
  EXPECT_EQ(hardware_out.RawValue("Soundcards", "RecResolution"), "24");
  EXPECT_EQ(hardware_out.RawValue("Soundcards", "AllowSepAD"), "0");
  EXPECT_EQ(hardware_out.RawValue("Soundcards", "PlayDevName"), "ALSA: USB Card");
  soundcards_.allow_different_resolution = true;
  hardware_.Walk(hardware_out, WalkDirection::kSave);
  EXPECT_EQ(hardware_out.RawValue("Soundcards", "RecResolution"), "16");

  IniFile software_out;
  software_.Walk(software_out, WalkDirection::kSave);
  EXPECT_EQ(software_out.RawValue("V2 Parameters", "Latency48k"), "0.08");
  EXPECT_EQ(software_out.RawValue("Priority", "TimerThreadPriority"), "6");
}

TEST_F(AudioSettingsConfigTest, BindsAlongsideTheStimulusSettings) {
  StimulusSettings stimulus;
  EXPECT_NO_THROW(BindStimulusSettings(software_.Bindings(), stimulus));
}

}  // namespace
}  // namespace vireon
