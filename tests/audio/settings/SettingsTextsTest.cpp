#include <gtest/gtest.h>

#include <cmath>

#include "audio/settings/InputDesignation.h"
#include "audio/settings/LevelMeter.h"
#include "audio/settings/LevelTexts.h"
#include "audio/settings/StatusPanels.h"
#include "audio/settings/TimingSettings.h"

namespace vireon {
namespace {

TEST(SettingsTextsTest, ReferencePanel) {
  // Half the full code with a scale of 2 through a 20 dB amplifier: 0.5 x 2 x 10 = 10 V.
  ReferencePanelInput input{4194304, 2.0, 20.0, 50.0, false, true};
  EXPECT_DOUBLE_EQ(ZeroDbOutputVolts(4194304, 2.0, 20.0), 10.0);
  EXPECT_EQ(ReferencePanelText(input).text, " 0dB out = 10Vpk");
  EXPECT_FALSE(ReferencePanelText(input).warning);
  input.power_amp_peak_volts = 9.5;
  EXPECT_EQ(ReferencePanelText(input).text, " 0dB out -> 10Vpk");
  EXPECT_TRUE(ReferencePanelText(input).warning);
  input.play_device_calibrated = false;
  EXPECT_EQ(ReferencePanelText(input).text, " 0dB out -> 10Vpk (non-absolute)");
  input.digital_output = true;
  EXPECT_EQ(ReferencePanelText(input).text, "Digital Out Mode (non-absolute)");
}

TEST(SettingsTextsTest, CalibrationLabelsAndUnits) {
  EXPECT_EQ(InputCalibrationLabel(false, 1.5e-06).text, "-uncal-");
  EXPECT_EQ(InputCalibrationLabel(true, 1.5e-06).text, "1.5E-06");
  EXPECT_TRUE(InputCalibrationLabel(true, 1.5e-06).calibrated);
  // 1 Vrms at 0 dB, set to -6 dB: 10^(-6/20) x sqrt(2) = 0.708786 V peak.
  EXPECT_EQ(OutputCalibrationLabel(true, 1.0, -6.0).text, "0.7088Vpk max");
  EXPECT_EQ(OutputCalibrationLabel(false, 1.0, -6.0).text, "-uncal-");
  EXPECT_EQ(OutputUnitLabel(false, true), "V.pk");
  EXPECT_EQ(OutputUnitLabel(false, false), "U.pk");
  EXPECT_EQ(OutputUnitLabel(true, true), "FS.pk");
}

TEST(SettingsTextsTest, InputListAndCalibrationSlots) {
  EXPECT_EQ(InputListEntries(10.0, 1000.5, "ECM8000.cal", ""),
            (std::array<std::string, 4>{"Probe 1 (10)", "Probe 2 (1000.5)", "Mic 1 (ECM8000.cal)",
                                        "Mic 2 (------------)"}));
  EXPECT_EQ(CalibrationSlotOf(0), 2);
  EXPECT_EQ(CalibrationSlotOf(1), 3);
  EXPECT_EQ(CalibrationSlotOf(2), 0);
  EXPECT_EQ(CalibrationSlotOf(3), 1);
  EXPECT_EQ(CalibrationSlotOf(4), -1);
}

TEST(SettingsTextsTest, LevelBarsAndOverload) {
  struct Case {
    double peak;
    int maximum_code;
    double bar;
  };
  for (const Case& c : {
           Case{8388608.0, 8388608, 100.0},
           Case{4194304.0, 8388608, 100.0 + 40.0 * std::log10(0.5)},  // -6.02 dB: 87.96
           Case{-4194304.0, 8388608, 100.0 + 40.0 * std::log10(0.5)},
           Case{4194304.0, 4194304, 100.0},   // relative to the calibrated maximum
           Case{8388608.0, 16777216, 100.0},  // a maximum above full scale counts as full
           Case{8388.608, 8388608, 0.0},      // -60 dB is below the bar
           Case{0.0, 8388608, 0.0},
           Case{NAN, 8388608, 0.0},
       }) {
    EXPECT_NEAR(LevelBarValue(c.peak, c.maximum_code), c.bar, 1e-9) << c.peak;
  }
  const double within_1db = LevelBarValue(8388608.0 * std::pow(10.0, -0.9 / 20.0), 8388608);
  const double below_1db = LevelBarValue(8388608.0 * std::pow(10.0, -1.1 / 20.0), 8388608);
  EXPECT_TRUE(InputOverloaded(within_1db, 0));
  EXPECT_TRUE(InputOverloaded(within_1db, 6));
  EXPECT_FALSE(InputOverloaded(within_1db, 7));
  EXPECT_FALSE(InputOverloaded(below_1db, 0));
}

TEST(SettingsTextsTest, StatusPanels) {
  using enum WaveDirection;
  EXPECT_EQ(DeviceStatusPanel(kPlay, 4, "Duplex", false, true), "D/A(88k): Duplex");
  EXPECT_EQ(DeviceStatusPanel(kRecord, 9, "Duplex", false, true), "A/D(22k): Duplex");
  EXPECT_EQ(DeviceStatusPanel(kRecord, 0, "Duplex", true, true), "A/D(768k): *DIGITAL*");
  EXPECT_EQ(DeviceStatusPanel(kPlay, -1, "Duplex", false, true), "D/A(0k): Duplex");
  EXPECT_EQ(DeviceStatusPanel(kPlay, 5, "Duplex", false, false), "D/A(48k): ");
}

TEST(SettingsTextsTest, TimingEditors) {
  EXPECT_EQ(TimingEditors().size(), 7u);
  const NumericEditorSpec& stabilizing = EditorSpec(TimingEditor::kStabilizingTime);
  EXPECT_EQ(stabilizing.caption, "DAC Stabilization");
  EXPECT_EQ(stabilizing.min, 0.1);
  EXPECT_EQ(stabilizing.max, 1.5);
  EXPECT_EQ(EditorSpec(TimingEditor::kDriverMaxBuffer).caption,
            "Maximum buffer size allwed by Windows drivers");
  EXPECT_EQ(EditorSpec(TimingEditor::kRecordPlayLatency).help,
            "Use to determine optimum synchronization parameters for synch type stimuli.\r"
            "Typical = 50m[sec]");
  EXPECT_EQ(EditorSpec(TimingEditor::kAdcLpfDelay).min, 10.0);
}

}  // namespace
}  // namespace vireon
