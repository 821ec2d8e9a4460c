#include "audio/ui/TSet_ADDA.h"

#include <QAction>
#include <QActionGroup>
#include <QCheckBox>
#include <QComboBox>
#include <QGridLayout>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QMessageBox>
#include <QProgressBar>
#include <QVBoxLayout>
#include <algorithm>
#include <cmath>
#include <tuple>
#include <utility>

#include "audio/settings/InputDesignation.h"
#include "audio/settings/LevelMeter.h"
#include "audio/settings/LevelTexts.h"
#include "audio/settings/RateTable.h"
#include "audio/settings/TimingEditorValues.h"
#include "common/VireonError.h"
#include "plot/render/QtText.h"
#include "plot/ui/TEditRealSpin.h"

namespace vireon {

namespace {

using enum WaveDirection;

constexpr double kMinOutputDb = -140.0;
constexpr double kMaxOutputDb = 10.0;
constexpr double kSemitoneFactor = 1.0594630943593;
constexpr double kOutputDbStep = 1.0;

// A device name shown in a menu: its ampersands are no mnemonics.
QString MenuText(std::string_view text) { return ToQString(text).replace("&", "&&"); }

// "Stabilizing Time..." -> "mnuStabilizingTime"
QString MenuObjectName(std::string_view caption) {
  QString name = "mnu";
  for (const QChar c : ToQString(caption)) {
    if (c.isLetterOrNumber()) name += c;
  }
  return name;
}

QString Coloured(bool blue) { return blue ? "color: blue;" : "color: black;"; }

}  // namespace

void ShowAddaMessage(QWidget* parent, const std::string& text) {
  QMessageBox::information(parent, "Audio Interface", ToQString(text));
}

TSet_ADDA::TSet_ADDA(QWidget* parent, AudioInterfaceSettings& audio, StimulusSettings& stimulus,
                     TimingSettings& timing, AddaWindowHooks hooks)
    : QWidget(parent, Qt::Tool),
      audio_(audio),
      stimulus_(stimulus),
      timing_(timing),
      hooks_(std::move(hooks)) {
  if (!hooks_.show_message) hooks_.show_message = ShowAddaMessage;
  if (!hooks_.edit_number) hooks_.edit_number = AskNumber;
  setObjectName("Set_ADDA");
  setWindowTitle("Audio Interface");
  auto* rows = new QVBoxLayout(this);
  rows->setMenuBar(BuildMenus());
  rows->addWidget(BuildOutputs());
  rows->addWidget(BuildInputs());
  Refresh();
}

// --- Building ----------------------------------------------------------------------------------

QMenuBar* TSet_ADDA::BuildMenus() {
  auto* bar = new QMenuBar(this);
  bar->setObjectName("MainMenu1");

  play_menu_ = bar->addMenu("&D/A&&A/D");
  play_menu_->setObjectName("mnuDA");
  play_device_menu_ = play_menu_->addMenu("Device");
  play_device_menu_->setObjectName("mnuDADevice");
  play_devices_ = new QActionGroup(this);
  play_rates_ = BuildRateMenu(play_menu_, kPlay, "Play");
  play_menu_->addSeparator();
  QAction* digital_out = play_menu_->addAction("Use Digital Out");
  digital_out->setObjectName("mnuUseDigitalOut");
  digital_out->setEnabled(false);  // no digital matching is declared on this platform

  record_menu_ = bar->addMenu("&A/D");
  record_menu_->setObjectName("mnuAD");
  record_device_menu_ = record_menu_->addMenu("Device");
  record_device_menu_->setObjectName("mnuADDevice");
  record_devices_ = new QActionGroup(this);
  record_rates_ = BuildRateMenu(record_menu_, kRecord, "Rec");
  record_menu_->addSeparator();
  QAction* digital_in = record_menu_->addAction("Use Digital In");
  digital_in->setObjectName("mnuUseDigitalIn");
  digital_in->setEnabled(false);

  for (QActionGroup* group : {play_devices_, record_devices_}) {
    group->setExclusionPolicy(QActionGroup::ExclusionPolicy::ExclusiveOptional);
  }

  BuildSetupMenu(bar->addMenu("Setup"));
  return bar;
}

TSet_ADDA::RateMenu TSet_ADDA::BuildRateMenu(QMenu* parent, WaveDirection direction,
                                             const char* prefix) {
  RateMenu built;
  built.menu = parent->addMenu("&SampleRate: ");
  built.menu->setObjectName(QString("mnu%1Rate").arg(prefix));
  auto* rates = new QActionGroup(this);
  rates->setExclusionPolicy(QActionGroup::ExclusionPolicy::ExclusiveOptional);
  for (int i = 0; i < kRateCount; ++i) {
    QAction* item =
        built.menu->addAction(ToQString(RateTable()[static_cast<std::size_t>(i)].caption));
    item->setObjectName(QString("mnu%1Rate%2").arg(prefix).arg(i));
    item->setCheckable(true);
    rates->addAction(item);
    connect(item, &QAction::triggered, this, [this, direction, i] { ChooseRate(direction, i); });
    built.rates.push_back(item);
  }
  auto* resolutions = new QActionGroup(this);
  resolutions->setExclusionPolicy(QActionGroup::ExclusionPolicy::ExclusiveOptional);
  for (const int bits : {16, 24}) {
    QAction* item = parent->addAction(QString("%1 bit").arg(bits));
    item->setObjectName(QString("mnu%1Bits%2").arg(prefix).arg(bits));
    item->setCheckable(true);
    resolutions->addAction(item);
    connect(item, &QAction::triggered, this,
            [this, direction, bits] { ChooseBits(direction, bits); });
    (bits == 16 ? built.bits16 : built.bits24) = item;
  }
  return built;
}

void TSet_ADDA::BuildSetupMenu(QMenu* menu) {
  menu->setObjectName("mnuSetup");
  // The devices may have come or gone since they were listed.
  connect(menu, &QMenu::aboutToShow, this, &TSet_ADDA::RelistIfDevicesChanged);
  const auto option = [this, menu](const char* caption, const char* name, auto apply) {
    QAction* item = menu->addAction(caption);
    item->setObjectName(name);
    item->setCheckable(true);
    connect(item, &QAction::triggered, this, apply);
    return item;
  };
  allow_separate_ = option("Allow &Separate A&&D", "mnuAllowSepAD", [this](bool allow) {
    AfterChange(true, audio_.SetAllowSeparateAD(allow));
  });
  allow_different_rates_ = option("Allow Nonequal Ra&tes", "mnuAllowDiffRates", [this](bool allow) {
    audio_.SetAllowDifferentRates(allow);
    AfterChange(true);
  });
  allow_different_resolution_ =
      option("Allow Nonequal &Resolution", "mnuAllowDiffRes", [this](bool allow) {
        audio_.SetAllowDifferentResolution(allow);
        AfterChange(false);
      });
  menu->addSeparator();
  for (const TimingEditor editor : TimingEditors()) {
    const std::string_view caption = EditorSpec(editor).menu_item;
    QAction* item = menu->addAction(ToQString(caption));
    item->setObjectName(MenuObjectName(caption));
    connect(item, &QAction::triggered, this, [this, editor] { EditTiming(editor); });
  }
  // The system volume control of either side, where one is installed.
  menu->addSeparator();
  for (const auto& [caption, name, side] :
       {std::tuple{"&Play Mixer", "mnuPlayMixer", MixerSide::kPlayback},
        std::tuple{"R&ecord Mixer", "mnuRecordMixer", MixerSide::kRecording}}) {
    QAction* item = menu->addAction(caption);
    item->setObjectName(name);
    item->setEnabled(static_cast<bool>(hooks_.open_mixer));
    connect(item, &QAction::triggered, this, [this, side] { hooks_.open_mixer(this, side); });
  }
}

QWidget* TSet_ADDA::BuildOutputs() {
  auto* box = new QWidget(this);
  box->setObjectName("pnlOutputs");
  auto* grid = new QGridLayout(box);
  for (int k = 0; k < 2; ++k) {
    OutputRow& row = outputs_[static_cast<std::size_t>(k)];
    const QString number = QString::number(k + 1);
    row.enable = new QCheckBox(k == 0 ? "Output 1 (L)" : "Output 2 (R)", box);
    row.enable->setObjectName("cbOutput" + number);
    row.level = new TEditRealSpin(box);
    row.level->setObjectName("ersOutput" + number);
    row.level->SetMinValue(kMinOutputDb);
    row.level->SetMaxValue(kMaxOutputDb);
    row.level->SetEngUnits(false);
    row.level->SetUnits("dB");
    row.level->SetShowUnits(true);
    row.level->SetStepMode(StepModeT::smReal);
    row.level->SetRealInc(kOutputDbStep);
    row.level->SetRealMult(kSemitoneFactor);
    row.calibration = new QLabel(box);
    row.calibration->setObjectName("lblOutput" + number + "Cal");
    row.unit = new QLabel(box);
    row.unit->setObjectName("lblOutput" + number + "Unit");
    grid->addWidget(row.enable, k, 0);
    grid->addWidget(row.level, k, 1);
    grid->addWidget(row.calibration, k, 2);
    grid->addWidget(row.unit, k, 3);
    connect(row.enable, &QCheckBox::clicked, this, &TSet_ADDA::TakeOutputLevels);
    connect(row.level, &TEditRealSpin::OnValChange, this, &TSet_ADDA::TakeOutputLevels);
  }
  reference_panel_ = new QLabel(box);
  reference_panel_->setObjectName("pnlReference");
  reference_panel_->setFrameShape(QFrame::Panel);
  reference_panel_->setFrameShadow(QFrame::Sunken);
  grid->addWidget(reference_panel_, 2, 0, 1, 4);
  return box;
}

QWidget* TSet_ADDA::BuildInputs() {
  auto* box = new QWidget(this);
  box->setObjectName("pnlInputs");
  auto* grid = new QGridLayout(box);
  for (int k = 0; k < 2; ++k) {
    InputRow& row = inputs_[static_cast<std::size_t>(k)];
    const QString number = QString::number(k + 1);
    auto* caption = new QLabel(ToQString(k == 0 ? kInput1Caption : kInput2Caption), box);
    caption->setObjectName("lblInput" + number);
    row.designation = new QComboBox(box);
    row.designation->setObjectName("cbxInput" + number);
    row.designation->setSizeAdjustPolicy(QComboBox::AdjustToContents);
    row.calibration = new QLabel(box);
    row.calibration->setObjectName("lblInput" + number + "Cal");
    row.bar = new QProgressBar(box);
    row.bar->setObjectName("pbLevel" + number);
    row.bar->setRange(0, 100);
    row.bar->setTextVisible(false);
    row.lamp = new QLabel(box);
    row.lamp->setObjectName("shOverload" + number);
    row.lamp->setFixedSize(14, 14);
    row.lamp->setFrameShape(QFrame::Box);
    SetLamp(k, false);
    const int top = 2 * k;
    grid->addWidget(caption, top, 0, 1, 2);
    grid->addWidget(row.calibration, top, 2);
    grid->addWidget(row.designation, top + 1, 0);
    grid->addWidget(row.bar, top + 1, 1);
    grid->addWidget(row.lamp, top + 1, 2);
    connect(row.designation, &QComboBox::activated, this, &TSet_ADDA::TakeDesignations);
  }
  return box;
}

// --- Showing the settings ----------------------------------------------------------------------

void TSet_ADDA::Refresh() {
  audio_.SetOutputLevels(OutputLevelsOf(stimulus_));
  const SoundcardSettings& choice = audio_.Soundcards();
  const bool separate = choice.allow_separate_ad;
  const bool rates_follow = choice.RecordRateFollowsPlay();
  const bool bits_follow = choice.RecordBitsFollowPlay();

  play_menu_->setTitle(separate ? "&D/A" : "&D/A&&A/D");
  FillDeviceMenu(play_device_menu_, kPlay, audio_.PlayMenuCaption());
  FillRateMenu(play_rates_, kPlay, false, false);
  // The record menu is there while anything of the record side can differ from the play side.
  record_menu_->menuAction()->setVisible(separate || !rates_follow || !bits_follow);
  FillDeviceMenu(record_device_menu_, kRecord, audio_.RecordMenuCaption());
  record_device_menu_->setEnabled(separate);
  FillRateMenu(record_rates_, kRecord, rates_follow, bits_follow);

  allow_separate_->setChecked(separate);
  allow_different_rates_->setChecked(choice.allow_different_rates);
  allow_different_resolution_->setChecked(choice.allow_different_resolution);

  const AddaSurroundings surroundings = Surroundings();
  ShowOutputs(surroundings);
  ShowInputs(surroundings);
}

void TSet_ADDA::FillDeviceMenu(QMenu* menu, WaveDirection direction, std::string_view caption) {
  menu->setTitle(MenuText(caption));
  const std::vector<MenuItem> items = audio_.DeviceMenu(direction);
  // The items stay while their captions do: a device item may be the one being triggered.
  QList<QAction*> actions = menu->actions();
  const bool same = actions.size() == static_cast<qsizetype>(items.size()) &&
                    std::equal(items.begin(), items.end(), actions.begin(),
                               [](const MenuItem& item, const QAction* action) {
                                 return action->text() == MenuText(item.caption);
                               });
  if (!same) {
    menu->clear();
    actions.clear();
    const bool listed = direction == kPlay ? audio_.HasDevices() : !audio_.Devices(kRecord).empty();
    QActionGroup* group = direction == kPlay ? play_devices_ : record_devices_;
    for (std::size_t i = 0; i < items.size(); ++i) {
      QAction* action = menu->addAction(MenuText(items[i].caption));
      action->setObjectName(QString(direction == kPlay ? "DADevice%1" : "ADDevice%1").arg(i));
      actions.push_back(action);
      if (!listed) continue;  // the "NO AUDIO CARDS" line
      action->setCheckable(true);
      group->addAction(action);
      const int index = static_cast<int>(i);
      connect(action, &QAction::triggered, this,
              [this, direction, index] { ChooseDevice(direction, index); });
    }
  }
  for (std::size_t i = 0; i < items.size(); ++i) {
    actions[static_cast<qsizetype>(i)]->setEnabled(items[i].enabled);
    actions[static_cast<qsizetype>(i)]->setChecked(items[i].checked);
  }
}

void TSet_ADDA::FillRateMenu(RateMenu& menu, WaveDirection direction, bool follows_play,
                             bool bits_follow_play) {
  const std::vector<MenuItem> items = audio_.RateMenu(direction);
  for (std::size_t i = 0; i < items.size(); ++i) {
    menu.rates[i]->setEnabled(items[i].enabled && !follows_play);
    menu.rates[i]->setChecked(items[i].checked);
  }
  menu.menu->setTitle(ToQString(SampleRateMenuCaption(audio_.RateIndex(direction))));
  const TADDASettings& settings = audio_.Settings();
  const int bits = direction == kPlay ? settings.PlayBits : settings.RecBits;
  menu.bits16->setChecked(bits == 16);
  menu.bits24->setChecked(bits == 24);
  menu.bits16->setEnabled(!bits_follow_play);
  menu.bits24->setEnabled(!bits_follow_play && audio_.Offers24Bits(direction));
}

void TSet_ADDA::ShowOutputs(const AddaSurroundings& surroundings) {
  const std::array<double, 2> levels = {stimulus_.output1_db, stimulus_.output2_db};
  const std::array<bool, 2> enabled = {stimulus_.output1_enabled, stimulus_.output2_enabled};
  const bool digital = audio_.UsesDigital(kPlay);
  for (std::size_t k = 0; k < 2; ++k) {
    OutputRow& row = outputs_[k];
    row.enable->setChecked(enabled[k]);
    // Set only when it differs: setting forgets the control's last step.
    if (row.level->RealValue() != levels[k]) row.level->SetRealValue(levels[k]);
    const std::optional<double> rms = surroundings.output_rms_volts_at_0db[k];
    const CalibrationLabel label =
        OutputCalibrationLabel(rms.has_value(), rms.value_or(0.0), levels[k]);
    row.calibration->setText(ToQString(label.text));
    row.calibration->setStyleSheet(Coloured(label.calibrated));
    row.unit->setText(ToQString(OutputUnitLabel(digital, rms.has_value())));
  }
  const TDeviceCal& cal = audio_.DeviceCal(kPlay);
  // The play device's calibration lives in its per-device file.
  const PanelText panel =
      ReferencePanelText({cal.maximum_code, cal.scale1, surroundings.power_amp_gain_db,
                          surroundings.power_amp_peak_volts, digital, audio_.HasDeviceFile(kPlay)});
  reference_panel_->setText(ToQString(panel.text));
  reference_panel_->setStyleSheet(panel.warning ? "color: red;" : "color: black;");
}

void TSet_ADDA::ShowInputs(const AddaSurroundings& surroundings) {
  const auto entries = InputListEntries(surroundings.probe1_ohms, surroundings.probe2_ohms,
                                        surroundings.mic1_file, surroundings.mic2_file);
  const TADDASettings& settings = audio_.Settings();
  const std::array<int, 2> chosen = {settings.InSel1, settings.InSel2};
  for (std::size_t k = 0; k < 2; ++k) {
    InputRow& row = inputs_[k];
    const QSignalBlocker quiet(row.designation);
    row.designation->clear();
    for (const std::string& entry : entries) row.designation->addItem(ToQString(entry));
    row.designation->setCurrentIndex(chosen[k]);
    const std::optional<double> value = surroundings.input_calibration[k];
    const CalibrationLabel label = InputCalibrationLabel(value.has_value(), value.value_or(0.0));
    row.calibration->setText(ToQString(label.text));
    row.calibration->setStyleSheet(Coloured(label.calibrated));
  }
}

bool TSet_ADDA::ShowInputPeaks(double peak1_counts, double peak2_counts) {
  const int maximum_code = audio_.DeviceCal(kRecord).maximum_code;
  const TADDASettings& settings = audio_.Settings();
  const std::array<double, 2> peaks = {peak1_counts, peak2_counts};
  const std::array<int, 2> designations = {settings.InSel1, settings.InSel2};
  bool overloaded = false;
  for (std::size_t k = 0; k < 2; ++k) {
    const double bar = LevelBarValue(peaks[k], maximum_code);
    inputs_[k].bar->setValue(static_cast<int>(std::lround(bar)));
    const bool lit = InputOverloaded(bar, designations[k]);
    SetLamp(static_cast<int>(k), lit);
    overloaded = overloaded || lit;
  }
  return overloaded;
}

bool TSet_ADDA::ShowLevels(const LevelReadings& readings) {
  return ShowInputPeaks(readings.input1.peak, readings.input2.peak);
}

void TSet_ADDA::SetLamp(int input, bool lit) {
  inputs_[static_cast<std::size_t>(input)].lamp->setStyleSheet(lit ? "background-color: red;"
                                                                   : "background-color: maroon;");
}

// --- The user's changes ------------------------------------------------------------------------

void TSet_ADDA::ChooseDevice(WaveDirection direction, int index) {
  const std::vector<std::string>& devices = audio_.Devices(direction);
  if (index < 0 || index >= static_cast<int>(devices.size())) return;
  const std::string name = devices[static_cast<std::size_t>(index)];
  if (direction == kPlay) {
    AfterChange(true, audio_.ChoosePlayDevice(name));
  } else {
    audio_.SelectADC(name);
    AfterChange(true);
  }
}

void TSet_ADDA::ChooseRate(WaveDirection direction, int index) {
  audio_.SelectRate(RateTable()[static_cast<std::size_t>(index)].rate, direction);
  AfterChange(true);
}

void TSet_ADDA::ChooseBits(WaveDirection direction, int bits) {
  audio_.SelectResolution(bits, direction);
  AfterChange(false);
}

void TSet_ADDA::EditTiming(TimingEditor editor) {
  const NumericEditorSpec& spec = EditorSpec(editor);
  const std::optional<double> value =
      hooks_.edit_number(this, spec, TimingEditorValue(editor, audio_, timing_));
  if (!value) return;
  std::optional<std::string> message;
  try {
    SetTimingEditorValue(editor, *value, audio_, timing_);
  } catch (const VireonError& error) {
    message = error.what();
  }
  AfterChange(false, message);
}

void TSet_ADDA::TakeOutputLevels() {
  stimulus_.output1_enabled = outputs_[0].enable->isChecked();
  stimulus_.output2_enabled = outputs_[1].enable->isChecked();
  stimulus_.output1_db = outputs_[0].level->RealValue();
  stimulus_.output2_db = outputs_[1].level->RealValue();
  AfterChange(false);
}

void TSet_ADDA::TakeDesignations() {
  audio_.SetInputDesignations(inputs_[0].designation->currentIndex(),
                              inputs_[1].designation->currentIndex());
  AfterChange(false);
}

void TSet_ADDA::RelistIfDevicesChanged() {
  if (audio_.RefreshDevicesIfChanged()) AfterChange(true);
}

void TSet_ADDA::AfterChange(bool devices_or_rates, const std::optional<std::string>& message) {
  if (message) hooks_.show_message(this, *message);
  Refresh();
  if (devices_or_rates && hooks_.devices_changed) hooks_.devices_changed();
  if (hooks_.changed) hooks_.changed();
}

AddaSurroundings TSet_ADDA::Surroundings() const {
  return hooks_.surroundings ? hooks_.surroundings() : AddaSurroundings{};
}

}  // namespace vireon
