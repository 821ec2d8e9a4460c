#include "measure/AcquisitionConfig.h"

#include <gtest/gtest.h>

#include <stdexcept>
#include <string>

#include "audio/settings/AudioSettingsConfig.h"
#include "config/ConfigWalk.h"
#include "config/IniFile.h"
#include "measure/AcquisitionFormats.h"
#include "record/Averaging.h"
#include "stimulus/CfgStim.h"

namespace vireon {
namespace {

// The acquisition settings of one program, bound to its own software configuration walk.
struct BoundAcquisition {
  BoundAcquisition() { BindAcquisitionSettings(walk.Bindings(), settings, extras, formats); }

  // Saves into a file holding `text` and returns the file's text.
  std::string Save(std::string_view text = "") {
    IniFile ini = IniFile::FromText(text);
    walk.Walk(ini, WalkDirection::kSave);
    return ini.Text();
  }
  void Read(std::string_view text) {
    IniFile ini = IniFile::FromText(text);
    walk.Walk(ini, WalkDirection::kRead);
  }

  ConfigWalk walk{ConfigFile::kSoftware};
  AcquisitionSettings settings;
  AcquisitionExtras extras;
  AcquisitionFormats formats;
};

void ExpectSameAcquisitionSettings(const AcquisitionSettings& a, const AcquisitionSettings& b) {
  EXPECT_EQ(a.max_hold, b.max_hold);
  EXPECT_EQ(a.min_hold, b.min_hold);
  EXPECT_EQ(a.normalize, b.normalize);
  EXPECT_EQ(a.find_edges_each, b.find_edges_each);
  EXPECT_EQ(a.auto_stop, b.auto_stop);
  EXPECT_EQ(a.auto_stop_seconds, b.auto_stop_seconds);
  EXPECT_EQ(a.reference_resistor, b.reference_resistor);
  EXPECT_EQ(a.hide_tones, b.hide_tones);
  EXPECT_EQ(a.hide_bandwidth_bins, b.hide_bandwidth_bins);
}

TEST(AcquisitionConfigTest, SettingsOfTwoTypesReadBackIntoFreshObjects) {
  BoundAcquisition written;
  AcquisitionSettings& s = written.settings;
  s.max_hold = true;
  s.normalize = true;
  s.find_edges_each = true;
  s.auto_stop = AutoStopMode::kAvgs;
  s.auto_stop_seconds = 12.5;
  s.reference_resistor = 8.2;
  s.hide_tones = {{{false, true}, {true, true}}};
  s.hide_bandwidth_bins = 9;
  written.extras.trigger = {TriggerPolarity::kNegative, 1, 0.02, 25.0, TriggerSlope::kFall, true};
  written.extras.totals = {true, false, false};
  written.extras.window_sync = 15;
  written.extras.window_async = kNoWindow;
  written.extras.stimulus_item = 15;
  written.extras.acquisition_item = 6;

  // RTA type 6 and the custom type 99, each changed through the window and stored.
  AcquisitionSettings rta;
  rta.avg_type = kAverageRms;
  rta.avg_target = 20;
  rta.auto_stop = AutoStopMode::kTimer;
  rta.fft_size = 16384;
  rta.acq_size = 20000;
  rta.rta_resolution = 12;
  written.formats.Store(6, rta);
  AcquisitionSettings custom;
  custom.avg_target = 7;
  custom.avg_on = false;
  custom.auto_stop = AutoStopMode::kAvgs;
  written.formats.Store(kAcqCustom, custom);
  written.formats.Record(6).spectrum.fft_size = 1024;

  const std::string text = written.Save();
  // Type 99 is the last section; each section's flags carry its own number.
  EXPECT_NE(text.find("[AcqMode27]\r\nAverageType=1\r\nAverageLimit=6\r\n"), std::string::npos);
  EXPECT_NE(text.find("AvgMax=7\r\nAutoStop=1\r\n"), std::string::npos);
  EXPECT_NE(text.find("UseAvg27=0\r\nAutoStopOnTime27=0\r\n"), std::string::npos);
  EXPECT_NE(text.find("AverageType=2\r\nAverageLimit=12\r\n"), std::string::npos);
  EXPECT_NE(text.find("UseAvg6=1\r\nAutoStopOnTime6=1\r\n"), std::string::npos);
  EXPECT_NE(text.find("FftSize_S=1024\r\n"), std::string::npos);
  EXPECT_NE(text.find("SpectrumHideStimulus1=2\r\nSpectrumHideStimulus2=3\r\n"), std::string::npos);

  BoundAcquisition read;
  read.Read(text);
  ExpectSameAcquisitionSettings(read.settings, written.settings);
  EXPECT_EQ(read.extras, written.extras);
  for (int item = 0; item < kAcquisitionItemCount; ++item) {
    const int type = AcqTypeOfItem(item);
    EXPECT_EQ(read.formats.Record(type), written.formats.Record(type)) << "type " << type;
  }
  AcquisitionSettings restored;
  read.formats.Apply(6, restored);
  EXPECT_EQ(restored.avg_type, kAverageRms);
  EXPECT_EQ(restored.avg_target, 20);
  EXPECT_EQ(restored.auto_stop, AutoStopMode::kTimer);
  EXPECT_EQ(restored.fft_size, 16384);
  EXPECT_EQ(restored.acq_size, 20000);
  EXPECT_EQ(restored.rta_resolution, 12);
}

// The two flags of an auto-stop mode are read in either order (the per-type sections write the
// "Avgs" flag first, "VireonSystem" the timer flag first), over whatever mode was selected.
TEST(AcquisitionConfigTest, AutoStopModeReadsBackOverAnyCurrentMode) {
  const AutoStopMode modes[] = {AutoStopMode::kOff, AutoStopMode::kAvgs, AutoStopMode::kTimer};
  for (const AutoStopMode written_mode : modes) {
    BoundAcquisition written;
    written.settings.auto_stop = written_mode;
    written.formats.Record(4).primary.auto_stop = written_mode;
    const std::string text = written.Save();
    for (const AutoStopMode current : modes) {
      BoundAcquisition read;
      read.settings.auto_stop = current;
      read.formats.Record(4).primary.auto_stop = current;
      read.Read(text);
      EXPECT_EQ(read.settings.auto_stop, written_mode) << static_cast<int>(current);
      EXPECT_EQ(read.formats.Record(4).primary.auto_stop, written_mode);
    }
  }
}

TEST(AcquisitionConfigTest, ValuesOutOfRangeAreLimitedToTheWindowsLimits) {
  BoundAcquisition read;
  read.Read(
      "[VireonSystem]\r\nStimulus_Index=19\r\nAcquisition_Index=-3\r\nTrigPolarity=9\r\n"
      "TrigChannel=2\r\nTrigPosPercent=150\r\nTrigThreshold=0\r\nTrigSlope=-1\r\n"
      "AutoStopTime=0\r\nReferenceResistor=0.01\r\nWndKindSync=16\r\n"
      "[AcqMode0]\r\nAverageType=7\r\nAverageLimit=100\r\nFftSize=1000\r\nAcqSize=10\r\n"
      "AvgMax=0\r\nFftSize_S=99999999\r\nAvgMax_S=2000000\r\n"
      "[AcqMode1]\r\nFftSize=100\r\nAverageLimit=0\r\n");
  EXPECT_EQ(read.extras.stimulus_item, 18);
  EXPECT_EQ(read.extras.acquisition_item, 0);
  EXPECT_EQ(read.extras.trigger.polarity, TriggerPolarity::kBoth);
  EXPECT_EQ(read.extras.trigger.channel, 1);
  EXPECT_EQ(read.extras.trigger.position_percent, 100.0);
  EXPECT_EQ(read.extras.trigger.threshold, 1e-06);
  EXPECT_EQ(read.extras.trigger.slope, TriggerSlope::kRise);
  EXPECT_EQ(read.settings.auto_stop_seconds, 0.0001);
  EXPECT_EQ(read.settings.reference_resistor, 0.1);
  EXPECT_EQ(read.extras.window_sync, 15);

  const AcquisitionFormat& type0 = read.formats.Record(0);
  EXPECT_EQ(type0.primary.avg_type, kAverageDecay);
  EXPECT_EQ(type0.rta_resolution, 48);
  EXPECT_EQ(type0.primary.fft_size, 512);  // the power of two below
  EXPECT_EQ(type0.primary.acq_size, 256);
  EXPECT_EQ(type0.primary.avg_target, 1);
  EXPECT_EQ(type0.spectrum.fft_size, 33554432);
  EXPECT_EQ(type0.spectrum.avg_target, 1000000);
  EXPECT_EQ(read.formats.Record(1).primary.fft_size, 256);
  EXPECT_EQ(read.formats.Record(1).rta_resolution, 1);
}

// A value set from the command line is refused outside the window's range, and rounded like one
// read from a file inside it.
TEST(AcquisitionConfigTest, AssignmentsRefuseValuesOutsideTheWindowsRange) {
  BoundAcquisition bound;
  ConfigWalk hardware(ConfigFile::kHardware);
  EXPECT_EQ(ApplyAssignment("AcqMode4/FftSize=100", bound.walk, hardware),
            AssignmentResult::kOutOfRange);
  EXPECT_EQ(ApplyAssignment("VireonSystem/AutoStopTime=2e6", bound.walk, hardware),
            AssignmentResult::kOutOfRange);
  EXPECT_EQ(ApplyAssignment("AcqMode7/AverageLimit=49", bound.walk, hardware),
            AssignmentResult::kOutOfRange);
  EXPECT_EQ(ApplyAssignment("AcqMode4/FftSize=5000", bound.walk, hardware),
            AssignmentResult::kApplied);
  EXPECT_EQ(bound.formats.Record(4).primary.fft_size, 4096);
  EXPECT_EQ(bound.formats.Record(7).rta_resolution, 6);
}

TEST(AcquisitionConfigTest, BindsAlongsideTheOtherPartsSettings) {
  BoundAcquisition bound;
  ConfigWalk hardware(ConfigFile::kHardware);
  StimulusSettings stimulus;
  SoundcardSettings soundcards;
  TimingSettings timing;
  EXPECT_NO_THROW(BindStimulusSettings(bound.walk.Bindings(), stimulus));
  EXPECT_NO_THROW(
      BindAudioSettings(bound.walk.Bindings(), hardware.Bindings(), soundcards, timing));
}

TEST(AcquisitionFormatsTest, SwitchingTypesRestoresEachTypesValues) {
  AcquisitionFormats formats;
  AcquisitionSettings settings;
  formats.Apply(4, settings);
  settings.avg_target = 10;
  settings.fft_size = 8192;

  formats.Store(4, settings);  // switching from 4 to 6
  formats.Apply(6, settings);
  EXPECT_EQ(settings.avg_target, 1);
  EXPECT_EQ(settings.fft_size, 4096);
  settings.avg_target = 20;
  settings.rta_resolution = 12;

  formats.Store(6, settings);  // back to 4: the RTA resolution is not one of its values
  formats.Apply(4, settings);
  EXPECT_EQ(settings.avg_target, 10);
  EXPECT_EQ(settings.fft_size, 8192);
  EXPECT_EQ(settings.rta_resolution, 12);
  settings.rta_resolution = 3;
  formats.Store(4, settings);

  formats.Apply(7, settings);  // the other RTA type keeps its own resolution
  EXPECT_EQ(settings.rta_resolution, 6);
  formats.Apply(6, settings);
  EXPECT_EQ(settings.avg_target, 20);
  EXPECT_EQ(settings.rta_resolution, 12);

  EXPECT_EQ(&formats.Record(kAcqCustom), &formats.Record(27));
  EXPECT_THROW(formats.Record(28), std::out_of_range);
  EXPECT_THROW(formats.Record(-1), std::out_of_range);
}

TEST(AcquisitionFormatsTest, ForceAcquisitionRules) {
  struct Case {
    int stim_code;
    int acq_type;
    int avg_type;
    AutoStopMode auto_stop;
    bool expect_forced_averaging;
    AutoStopMode expect_auto_stop;
  };
  const Case cases[] = {
      {14, 0, kAverageMag, AutoStopMode::kAvgs, true, AutoStopMode::kAvgs},   // white noise
      {0, 1, kAverageMag, AutoStopMode::kTimer, true, AutoStopMode::kTimer},  // chirp ReSync
      {99, 0, kAverageMag, AutoStopMode::kOff, true, AutoStopMode::kOff},     // no stimulus
      {3, 0, kAverageMag, AutoStopMode::kAvgs, false, AutoStopMode::kAvgs},   // synchronous
      {14, 4, kAverageMag, AutoStopMode::kAvgs, false, AutoStopMode::kAvgs},
      {3, 18, kAverageMag, AutoStopMode::kTimer, true, AutoStopMode::kOff},
      {3, 4, kAverageDecay, AutoStopMode::kAvgs, false, AutoStopMode::kOff},
      {3, 4, kAverageDecay, AutoStopMode::kTimer, false, AutoStopMode::kTimer},
      {14, 0, kAverageDecay, AutoStopMode::kAvgs, true, AutoStopMode::kOff},
  };
  for (const Case& c : cases) {
    AcquisitionSettings settings;
    settings.avg_on = false;
    settings.avg_target = 5;
    settings.avg_type = c.avg_type;
    settings.auto_stop = c.auto_stop;
    ForceAcquisitionRules(c.stim_code, c.acq_type, settings);
    const std::string label =
        "stimulus " + std::to_string(c.stim_code) + ", type " + std::to_string(c.acq_type);
    EXPECT_EQ(settings.avg_on, c.expect_forced_averaging) << label;
    EXPECT_EQ(settings.avg_target, c.expect_forced_averaging ? 1 : 5) << label;
    EXPECT_EQ(settings.auto_stop, c.expect_auto_stop) << label;
    EXPECT_EQ(settings.avg_type, c.avg_type) << label;
  }
}

}  // namespace
}  // namespace vireon
