#include <gtest/gtest.h>

#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QMenu>
#include <QProgressBar>
#include <cmath>
#include <filesystem>
#include <functional>
#include <memory>
#include <optional>
#include <set>
#include <string>
#include <utility>
#include <vector>

#include "../support/TempFolder.h"
#include "UiTestSupport.h"
#include "audio/devices/simulated/SimulatedCard.h"
#include "audio/settings/DeviceIndexFile.h"
#include "audio/settings/StatusPanels.h"
#include "audio/settings/TDeviceCal.h"
#include "audio/ui/NumericEditorDialog.h"
#include "audio/ui/TSet_ADDA.h"
#include "plot/ui/TEditRealSpin.h"

namespace vireon {
namespace {

using enum WaveDirection;

// Devices listed by name that all accept the same formats.
class ListedDriver final : public WaveDriver {
 public:
  std::vector<std::string> play;
  std::vector<std::string> record;
  std::set<std::pair<int, int>> formats = {{48000, 16}, {48000, 24}, {96000, 16}};

  std::vector<std::string> DeviceNames(WaveDirection direction) const override {
    return direction == kPlay ? play : record;
  }
  int QueryFormat(WaveDirection direction, int device, const WaveFormat& format) override {
    const int count = static_cast<int>(DeviceNames(direction).size());
    if (device < 0 || device >= count) return kMmBadDeviceId;
    return formats.contains({format.rate, format.bits}) ? kMmNoError : kWaveBadFormat;
  }
  int Open(WaveDirection, int, const WaveFormat&, WaveCallback&,
           std::unique_ptr<WaveStream>&) override {
    return kMmNotSupported;
  }
};

Bench CardBench(std::vector<int> rates, std::vector<int> bits) {
  Bench bench;
  bench.rates = std::move(rates);
  bench.bits = std::move(bits);
  return bench;
}

const std::string kSimulated(SimulatedCard::kDeviceName);

class AddaWindowTest : public ::testing::Test {
 protected:
  // Lists the driver's devices and chooses the first play device as the main window would.
  TSet_ADDA& Open(std::unique_ptr<WaveDriver> driver) {
    window_.reset();
    audio_.reset();
    driver_ = std::move(driver);
    audio_ = std::make_unique<AudioInterfaceSettings>(*driver_, folder_.Path(), SettingsLog{});
    if (!audio_->Devices(kPlay).empty()) audio_->ChoosePlayDevice(audio_->Devices(kPlay).front());
    AddaWindowHooks hooks;
    hooks.changed = [this] { ++changes_; };
    hooks.surroundings = [this] { return surroundings_; };
    hooks.devices_changed = [this] {
      panels_ = {DeviceStatusPanel(*audio_, kPlay), DeviceStatusPanel(*audio_, kRecord)};
    };
    hooks.show_message = [this](QWidget*, const std::string& text) { messages_.push_back(text); };
    hooks.edit_number = [this](QWidget*, const NumericEditorSpec& spec, double value) {
      asked_.push_back({std::string(spec.caption), value});
      return answer_;
    };
    window_ = std::make_unique<TSet_ADDA>(nullptr, *audio_, stimulus_, timing_, std::move(hooks));
    return *window_;
  }
  TSet_ADDA& OpenCard(Bench bench) {
    return Open(std::make_unique<SimulatedCard>(std::move(bench), SimulatedCard::Clock::kFast));
  }
  TSet_ADDA& OpenListed(std::vector<std::string> play, std::vector<std::string> record) {
    auto driver = std::make_unique<ListedDriver>();
    driver->play = std::move(play);
    driver->record = std::move(record);
    listed_ = driver.get();
    return Open(std::move(driver));
  }

  QAction* Action(const char* name) { return Find<QAction>(*window_, name); }
  QMenu* Menu(const char* name) { return Find<QMenu>(*window_, name); }
  std::string Text(const char* name) { return Action(name)->text().toStdString(); }
  std::vector<bool> EnabledRates(const char* prefix) {
    std::vector<bool> enabled;
    for (int i = 0; i < kRateCount; ++i) {
      enabled.push_back(
          Action(QString("mnu%1Rate%2").arg(prefix).arg(i).toUtf8().constData())->isEnabled());
    }
    return enabled;
  }
  void TypeLevel(const char* spin_name, const char* text) {
    TEditRealSpin* spin = Find<TEditRealSpin>(*window_, spin_name);
    spin->Edit()->setText(text);
    spin->AcceptEntry();
  }

  TestApplication app_;
  TempFolder folder_;
  StimulusSettings stimulus_;
  TimingSettings timing_;
  std::unique_ptr<WaveDriver> driver_;
  ListedDriver* listed_ = nullptr;
  std::unique_ptr<AudioInterfaceSettings> audio_;
  std::unique_ptr<TSet_ADDA> window_;
  int changes_ = 0;
  std::vector<std::string> panels_;
  std::vector<std::string> messages_;
  std::vector<std::pair<std::string, double>> asked_;
  std::optional<double> answer_;
  AddaSurroundings surroundings_;
};

TEST_F(AddaWindowTest, PairsTheSimulatedCardAndOffersTheRatesItAccepts) {
  TSet_ADDA& window = OpenCard(CardBench({96000, 48000, 44100}, {16, 24}));
  EXPECT_EQ(window.objectName(), "Set_ADDA");
  EXPECT_EQ(window.windowTitle(), "Audio Interface");
  EXPECT_EQ(Menu("mnuDA")->title(), "&D/A&&A/D");
  EXPECT_FALSE(Menu("mnuAD")->menuAction()->isVisible());
  EXPECT_EQ(Menu("mnuDADevice")->title().toStdString(), "Devs = " + kSimulated + "->" + kSimulated);
  EXPECT_EQ(Text("DADevice0"), kSimulated + "->" + kSimulated);
  EXPECT_TRUE(Action("DADevice0")->isChecked());

  EXPECT_EQ(EnabledRates("Play"), (std::vector<bool>{0, 0, 0, 1, 0, 1, 1, 0, 0, 0}));
  EXPECT_EQ(Menu("mnuPlayRate")->title(), "&SampleRate: 96.000 kHz");
  Action("mnuPlayRate5")->trigger();
  EXPECT_EQ(Menu("mnuPlayRate")->title(), "&SampleRate: 48.000 kHz");
  EXPECT_TRUE(Action("mnuPlayRate5")->isChecked());
  EXPECT_FALSE(Action("mnuPlayRate3")->isChecked());
  EXPECT_EQ(audio_->Settings().PlayRate, 48000);
  EXPECT_EQ(audio_->Settings().RecRate, 48000);  // follows while nonequal rates are not allowed
  EXPECT_EQ(panels_,
            (std::vector<std::string>{"D/A(48k): " + kSimulated, "A/D(48k): " + kSimulated}));
  EXPECT_EQ(changes_, 1);

  // With nonequal rates the record side gets its own choice, among its own rates.
  Action("mnuAllowDiffRates")->trigger();
  EXPECT_TRUE(Menu("mnuAD")->menuAction()->isVisible());
  EXPECT_FALSE(Menu("mnuADDevice")->isEnabled());  // the record device still follows
  Action("mnuRecRate6")->trigger();
  EXPECT_EQ(audio_->Settings().PlayRate, 48000);
  EXPECT_EQ(audio_->Settings().RecRate, 44100);
  EXPECT_EQ(panels_[1], "A/D(44k): " + kSimulated);
}

TEST_F(AddaWindowTest, OffersTwentyFourBitsOnlyWhereTheCardAcceptsThem) {
  struct Case {
    std::vector<int> bits;
    bool offers_24;
    int bits_after_choosing_24;
  };
  for (const Case& c : {Case{{16}, false, 16}, Case{{16, 24}, true, 24}}) {
    SCOPED_TRACE(c.bits.size());
    OpenCard(CardBench({48000}, c.bits));
    EXPECT_EQ(Text("mnuPlayBits16"), "16 bit");
    EXPECT_EQ(Text("mnuPlayBits24"), "24 bit");
    EXPECT_EQ(Action("mnuPlayBits24")->isEnabled(), c.offers_24);
    Action("mnuPlayBits24")->trigger();  // a disabled item does nothing
    EXPECT_EQ(audio_->Settings().PlayBits, c.bits_after_choosing_24);
    EXPECT_EQ(audio_->Settings().RecBits, c.bits_after_choosing_24);
    EXPECT_EQ(Action("mnuPlayBits24")->isChecked(), c.offers_24);
    EXPECT_NE(Action("mnuPlayBits16")->isChecked(), c.offers_24);
  }
}

TEST_F(AddaWindowTest, ShowsNoAudioCardsWithoutAPlayOrARecordDevice) {
  for (const auto& [play, record] :
       {std::pair<std::vector<std::string>, std::vector<std::string>>{{}, {}},
        {{"Speakers"}, {}},
        {{}, {"Microphone"}}}) {
    OpenListed(play, record);
    EXPECT_EQ(Menu("mnuDADevice")->actions().size(), 1);
    EXPECT_EQ(Text("DADevice0"), "NO AUDIO CARDS");
    EXPECT_FALSE(Action("DADevice0")->isEnabled());
    EXPECT_FALSE(Action("DADevice0")->isCheckable());
    Action("DADevice0")->trigger();
    EXPECT_EQ(changes_, 0);
  }
  EXPECT_EQ(Menu("mnuDADevice")->title(), "No DAC!");
}

TEST_F(AddaWindowTest, PairsDevicesUnlessSeparateChoiceIsAllowed) {
  OpenListed({"Card A", "Card B"}, {"Card A"});
  EXPECT_EQ(Text("DADevice0"), "Card A->Card A");
  EXPECT_EQ(Text("DADevice1"), "Card B");  // no matching record device
  EXPECT_FALSE(Action("DADevice1")->isEnabled());

  Action("mnuAllowSepAD")->trigger();
  EXPECT_TRUE(Action("mnuAllowSepAD")->isChecked());
  EXPECT_EQ(Menu("mnuDA")->title(), "&D/A");
  EXPECT_TRUE(Menu("mnuAD")->menuAction()->isVisible());
  EXPECT_TRUE(Menu("mnuADDevice")->isEnabled());
  EXPECT_EQ(Text("DADevice1"), "Card B");
  ASSERT_TRUE(Action("DADevice1")->isEnabled());
  Action("DADevice1")->trigger();
  EXPECT_EQ(audio_->DeviceName(kPlay), "Card B");
  EXPECT_EQ(audio_->DeviceName(kRecord), "Card A");
  EXPECT_EQ(Menu("mnuDADevice")->title(), "Dev = Card B");
  EXPECT_EQ(Menu("mnuADDevice")->title(), "Dev: Card A");
  EXPECT_TRUE(Action("DADevice1")->isChecked());
  EXPECT_FALSE(Action("DADevice0")->isChecked());

  // Pairing again finds no record device for Card B: the choice stays separate.
  Action("mnuAllowSepAD")->trigger();
  EXPECT_EQ(messages_, (std::vector<std::string>{"Card B has no matching A/D device"}));
  EXPECT_TRUE(Action("mnuAllowSepAD")->isChecked());
  EXPECT_TRUE(audio_->Soundcards().allow_separate_ad);
}

TEST_F(AddaWindowTest, OutputLevelsSetLimitedGains) {
  OpenCard(CardBench({48000}, {16, 24}));
  EXPECT_EQ(Find<QCheckBox>(*window_, "cbOutput1")->text(), "Output 1 (L)");
  EXPECT_EQ(Find<QCheckBox>(*window_, "cbOutput2")->text(), "Output 2 (R)");

  TypeLevel("ersOutput1", "10");
  EXPECT_EQ(stimulus_.output1_db, 10.0);
  EXPECT_DOUBLE_EQ(audio_->Settings().Gain1, 0.999);  // not 3.16
  TypeLevel("ersOutput1", "25");
  EXPECT_EQ(stimulus_.output1_db, 10.0);
  TypeLevel("ersOutput2", "-20");
  EXPECT_NEAR(audio_->Settings().Gain2, 0.1, 1e-12);
  TypeLevel("ersOutput2", "-200");
  EXPECT_EQ(stimulus_.output2_db, -140.0);
  EXPECT_NEAR(audio_->Settings().Gain2, 1e-7, 1e-19);

  // A step cut short by the range returns to where it started.
  TEditRealSpin* level1 = Find<TEditRealSpin>(*window_, "ersOutput1");
  TypeLevel("ersOutput1", "9.5");
  level1->Step(StepDirection::kUp, Qt::NoModifier);
  EXPECT_EQ(stimulus_.output1_db, 10.0);
  level1->Step(StepDirection::kDown, Qt::NoModifier);
  EXPECT_EQ(stimulus_.output1_db, 9.5);

  Find<QCheckBox>(*window_, "cbOutput2")->click();
  EXPECT_FALSE(stimulus_.output2_enabled);
  EXPECT_EQ(audio_->Settings().Gain2, 0.0);
  EXPECT_EQ(changes_, 8);

  // A loaded configuration shows and applies its levels.
  stimulus_.output1_db = -6.0;
  stimulus_.output2_enabled = true;
  window_->Refresh();
  EXPECT_EQ(Find<TEditRealSpin>(*window_, "ersOutput1")->RealValue(), -6.0);
  EXPECT_TRUE(Find<QCheckBox>(*window_, "cbOutput2")->isChecked());
  EXPECT_NEAR(audio_->Settings().Gain1, std::pow(10.0, -0.3), 1e-12);
}

TEST_F(AddaWindowTest, ReferencePanelAndCalibrationLabels) {
  OpenCard(CardBench({48000}, {16}));
  EXPECT_EQ(Find<QLabel>(*window_, "pnlReference")->text(), " 0dB out = 1Vpk (non-absolute)");
  for (const char* label : {"lblOutput1Cal", "lblOutput2Cal", "lblInput1Cal", "lblInput2Cal"}) {
    EXPECT_EQ(Find<QLabel>(*window_, label)->text(), "-uncal-") << label;
  }
  EXPECT_EQ(Find<QLabel>(*window_, "lblOutput1Unit")->text(), "U.pk");

  // An amplifier of 20 dB gives 10 Vpk, beyond one of 5 Vpk; a calibrated output shows its peak.
  TDeviceCal cal;
  cal.scale1 = 2.0;
  cal.maximum_code = kFullScaleCode / 2;
  WriteDeviceCalFile(DeviceCalFilePath(folder_.Path(), kPlay, kSimulated, ""), cal);
  surroundings_.power_amp_gain_db = 20.0;
  surroundings_.output_rms_volts_at_0db[0] = 1.0;
  surroundings_.input_calibration[1] = 0.0125;
  OpenCard(CardBench({48000}, {16}));
  const QLabel* panel = Find<QLabel>(*window_, "pnlReference");
  EXPECT_EQ(panel->text(), " 0dB out -> 10Vpk");
  EXPECT_TRUE(panel->styleSheet().contains("red"));
  // 10^(1/20) x 1 V rms x sqrt 2 at the default 1 dB.
  EXPECT_EQ(Find<QLabel>(*window_, "lblOutput1Cal")->text(), "1.587Vpk max");
  EXPECT_EQ(Find<QLabel>(*window_, "lblOutput1Unit")->text(), "V.pk");
  EXPECT_EQ(Find<QLabel>(*window_, "lblOutput2Cal")->text(), "-uncal-");
  EXPECT_EQ(Find<QLabel>(*window_, "lblInput2Cal")->text(), "0.0125");
  EXPECT_TRUE(Find<QLabel>(*window_, "lblInput2Cal")->styleSheet().contains("blue"));
}

TEST_F(AddaWindowTest, InputDesignationsListTheFourEntries) {
  OpenCard(CardBench({48000}, {16}));
  EXPECT_EQ(Find<QLabel>(*window_, "lblInput1")->text(), "Input 1 (L) (meas) used as:");
  EXPECT_EQ(Find<QLabel>(*window_, "lblInput2")->text(), "Input 2 (R) (ref) used as:");
  QComboBox* input1 = Find<QComboBox>(*window_, "cbxInput1");
  QComboBox* input2 = Find<QComboBox>(*window_, "cbxInput2");
  ASSERT_EQ(input1->count(), 4);
  EXPECT_EQ(input1->itemText(0), "Probe 1 (47500)");
  EXPECT_EQ(input1->itemText(3), "Mic 2 (------------)");
  EXPECT_EQ(input1->currentIndex(), 2);  // Mic 1
  EXPECT_EQ(input2->currentIndex(), 0);  // Probe 1

  input2->setCurrentIndex(3);
  emit input2->activated(3);
  EXPECT_EQ(audio_->Settings().InSel1, 2);
  EXPECT_EQ(audio_->Settings().InSel2, 3);
  EXPECT_EQ(changes_, 1);
  window_->Refresh();
  EXPECT_EQ(input2->currentIndex(), 3);
}

TEST_F(AddaWindowTest, LevelBarsAndOverloadLamps) {
  OpenCard(CardBench({48000}, {16}));
  struct Case {
    double db_below_full_scale;
    int bar;
    bool lit;
  };
  for (const Case& c : {Case{0.0, 100, true}, Case{0.5, 99, true}, Case{1.0, 98, false},
                        Case{20.0, 60, false}, Case{60.0, 0, false}}) {
    SCOPED_TRACE(c.db_below_full_scale);
    const double peak = kFullScaleCode * std::pow(10.0, -c.db_below_full_scale / 20.0);
    EXPECT_EQ(window_->ShowInputPeaks(peak, 0.0), c.lit);
    EXPECT_EQ(Find<QProgressBar>(*window_, "pbLevel1")->value(), c.bar);
    EXPECT_EQ(Find<QProgressBar>(*window_, "pbLevel2")->value(), 0);
    EXPECT_EQ(Find<QLabel>(*window_, "shOverload1")->styleSheet().contains("red"), c.lit);
  }
  LevelReadings readings;
  readings.input2.peak = kFullScaleCode;
  EXPECT_TRUE(window_->ShowLevels(readings));
  EXPECT_EQ(Find<QProgressBar>(*window_, "pbLevel2")->value(), 100);
  EXPECT_FALSE(Find<QLabel>(*window_, "shOverload1")->styleSheet().contains("red"));
}

TEST_F(AddaWindowTest, TimingEditorsKeepTheirRanges) {
  OpenCard(CardBench({48000}, {16}));
  struct Case {
    const char* item;
    const char* caption;
    double answer;
    std::function<double()> stored;
    double expected;
  };
  const std::vector<Case> cases = {
      {"mnuStabilizingTime", "DAC Stabilization", 2.0,
       [this] { return audio_->StabilizingTimeMs(); }, 1500.0},
      {"mnuDACLatency", "DAC Latency", 250.4,
       [this] { return double(audio_->DeviceCal(kPlay).latency); }, 250.0},
      {"mnuADCLatency", "ADC Latency", -5.0,
       [this] { return double(audio_->DeviceCal(kRecord).latency); }, 0.0},
      {"mnuADCLPFdelay", "ADC LPF delay", 5.0, [this] { return double(timing_.adc_lpf_delay); },
       10.0},
      {"mnuRP48kHzLatency", "R/P Latency of soundcard", 0.5,
       [this] { return timing_.latency_48k_s; }, 0.2},
      {"mnuBufferLengthMME", "BufferLength for MME drivers", 0.3,
       [this] { return timing_.buffer_length_s; }, 0.3},
      {"mnuDriverMaxBuffer", "Maximum buffer size allwed by Windows drivers", 65535.0,
       [this] { return double(timing_.driver_max_buffer); }, 65535.0},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.item);
    asked_.clear();
    answer_ = c.answer;
    Action(c.item)->trigger();
    ASSERT_EQ(asked_.size(), 1u);
    EXPECT_EQ(asked_[0].first, c.caption);
    EXPECT_EQ(c.stored(), c.expected);
  }
  EXPECT_EQ(changes_, static_cast<int>(cases.size()));
  // The stabilizing time opened in seconds, and is kept in the play device's file at once.
  answer_ = std::nullopt;
  Action("mnuStabilizingTime")->trigger();
  EXPECT_EQ(asked_.back().second, 1.5);
  EXPECT_EQ(changes_, static_cast<int>(cases.size()));  // cancelled: nothing changed
  const std::optional<TDeviceCal> file = ReadDeviceCalFile(folder_ / "PDEV0.QTQ");
  ASSERT_TRUE(file);
  EXPECT_EQ(file->stabilizing_ms, 1500.0);
  EXPECT_EQ(file->latency, 250);
}

TEST_F(AddaWindowTest, AFailedDeviceFileWriteIsReported) {
  // A folder where the play device's file belongs: it reads as absent and cannot be written.
  std::filesystem::create_directory(DeviceCalFilePath(folder_.Path(), kPlay, kSimulated, ""));
  OpenCard(CardBench({48000}, {16}));
  answer_ = 0.5;
  Action("mnuStabilizingTime")->trigger();
  ASSERT_EQ(messages_.size(), 1u);
  EXPECT_FALSE(messages_[0].empty());
  EXPECT_EQ(changes_, 1);
}

TEST_F(AddaWindowTest, OpeningSetupRelistsChangedDevices) {
  OpenListed({"Card A"}, {"Card A"});
  listed_->play.push_back("Card C");
  listed_->record.push_back("Card C");
  emit Menu("mnuSetup")->aboutToShow();
  EXPECT_EQ(Text("DADevice1"), "Card C->Card C");
  EXPECT_EQ(audio_->DeviceName(kPlay), "Card A");
  EXPECT_EQ(panels_, (std::vector<std::string>{"D/A(96k): Card A", "A/D(96k): Card A"}));
  Action("DADevice1")->trigger();
  EXPECT_EQ(audio_->DeviceName(kRecord), "Card C");
  EXPECT_EQ(changes_, 2);
}

TEST(NumericEditorDialog, ShowsTheHelpAndLimitsTheEntry) {
  TestApplication app;
  const NumericEditorSpec& spec = EditorSpec(TimingEditor::kDriverMaxBuffer);
  NumericEditorDialog dialog(spec, 32767, nullptr);
  EXPECT_EQ(dialog.windowTitle(), "Maximum buffer size allwed by Windows drivers");
  EXPECT_TRUE(
      Find<QLabel>(dialog, "HelpText")
          ->text()
          .startsWith("Buffer size limit tolerated by the MME buffer (for Win2k+).\nOlder"));
  EXPECT_EQ(dialog.Value(), 32767.0);
  dialog.Entry()->Edit()->setText("500000");
  EXPECT_EQ(dialog.Value(), 131072.0);
  dialog.Entry()->Edit()->setText("2048.4");
  EXPECT_EQ(dialog.Value(), 2048.0);
}

}  // namespace
}  // namespace vireon
