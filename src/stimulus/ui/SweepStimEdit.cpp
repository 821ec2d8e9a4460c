#include "stimulus/ui/SweepStimEdit.h"

#include <QButtonGroup>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>
#include <algorithm>
#include <utility>

#include "plot/render/QtText.h"
#include "plot/ui/TEditRealSpin.h"
#include "stimulus/ui/ListFileEditor.h"
#include "stimulus/ui/StimFormWidgets.h"

namespace vireon {

namespace {

constexpr double kMinFrequency = 0.1;
constexpr double kMaxFrequency = 384000.0;
constexpr double kMinLevel = 0.000001;
constexpr double kMaxLevel = 1.0;
constexpr int kMinSteps = 2;
constexpr int kMaxSteps = 1000;

QPushButton* NewButton(const char* name, const char* caption, QWidget* parent) {
  auto* button = new QPushButton(caption, parent);
  button->setObjectName(name);
  return button;
}

QRadioButton* NewRadio(const char* name, const char* caption, QWidget* parent) {
  auto* radio = new QRadioButton(caption, parent);
  radio->setObjectName(name);
  return radio;
}

}  // namespace

SweepStimEdit::SweepStimEdit(SteppedToneSettings& settings, int channel, SweepStimEditHooks hooks,
                             QWidget* parent)
    : QWidget(parent, Qt::Tool),
      settings_(settings),
      channel_(channel),
      hooks_(std::move(hooks)),
      edited_(settings) {
  setObjectName(channel_ == 2 ? "SweepStimEdit2" : "SweepStimEdit1");
  setWindowTitle("=vireon= SteppedToneEditor");
  auto* layout = new QVBoxLayout(this);
  layout->addWidget(new QLabel(QString("Stepped tones of channel %1").arg(channel_), this));

  auto* source = new QHBoxLayout;
  layout->addLayout(source);
  use_spec_ = NewRadio("rbUseSpec", "Use Specification", this);
  use_list_file_ = NewRadio("rbUseListFile", "Use List File", this);
  source->addWidget(use_spec_);
  source->addWidget(use_list_file_);
  connect(use_spec_, &QRadioButton::clicked, this, [this] {
    edited_.use_spec = true;
    ShowControls();
  });
  connect(use_list_file_, &QRadioButton::clicked, this, [this] {
    edited_.use_spec = false;
    ShowControls();
  });

  spec_panel_ = NewSpecPanel();
  layout->addWidget(spec_panel_);
  list_panel_ = NewListFilePanel();
  layout->addWidget(list_panel_);

  auto* buttons = new QHBoxLayout;
  layout->addLayout(buttons);
  buttons->addStretch();
  auto* cancel = NewButton("bbCancel", "Cancel", this);
  auto* done = NewButton("bbDone", "Done", this);
  buttons->addWidget(cancel);
  buttons->addWidget(done);
  connect(cancel, &QPushButton::clicked, this, &QWidget::hide);
  connect(done, &QPushButton::clicked, this, &SweepStimEdit::Done);

  ShowControls();
}

QWidget* SweepStimEdit::NewSpecPanel() {
  auto* panel = new QGroupBox(this);
  auto* layout = new QGridLayout(panel);

  tone_number_ = NewSpin({.name = "ersToneNum",
                          .min = 1,
                          .max = 1,
                          .units = "",
                          .step = 1,
                          .int_only = true,
                          .eng_units = false},
                         panel);
  connect(tone_number_, &TEditRealSpin::OnValChange, this, [this] {
    tone_ = static_cast<std::size_t>(tone_number_->RealValue()) - 1;
    ShowTone();
  });
  tone_count_ = new QLabel(panel);
  tone_count_->setObjectName("lbToneCount");
  auto* add = NewButton("bbAddTone", "Add Tone", panel);
  delete_tone_ = NewButton("bbDeleteTone", "Delete Tone", panel);
  connect(add, &QPushButton::clicked, this, &SweepStimEdit::AddTone);
  connect(delete_tone_, &QPushButton::clicked, this, &SweepStimEdit::DeleteTone);
  layout->addWidget(new QLabel("Tone #", panel), 0, 0);
  layout->addWidget(tone_number_, 0, 1);
  layout->addWidget(tone_count_, 0, 2);
  layout->addWidget(add, 0, 3);
  layout->addWidget(delete_tone_, 0, 4);

  freq_start_ =
      NewToneSpin("ersFreqStart", kMinFrequency, kMaxFrequency, "Hz", &TStepFSpec::FreqStart);
  freq_stop_ =
      NewToneSpin("ersFreqStop", kMinFrequency, kMaxFrequency, "Hz", &TStepFSpec::FreqStop);
  freq_log_ = NewLogChoice("rbFreqLog", "rbFreqLin", &TStepFSpec::LogFreq, &freq_linear_);
  level_start_ = NewToneSpin("ersLevelStart", kMinLevel, kMaxLevel, "", &TStepFSpec::LevelStart);
  level_stop_ = NewToneSpin("ersLevelStop", kMinLevel, kMaxLevel, "", &TStepFSpec::LevelStop);
  level_log_ = NewLogChoice("rbLevelLog", "rbLevelLin", &TStepFSpec::LogLevel, &level_linear_);
  const auto add_row = [&](int row, const char* start, TEditRealSpin* start_spin, const char* stop,
                           TEditRealSpin* stop_spin, QRadioButton* log, QRadioButton* linear) {
    auto* choice = new QWidget(panel);
    auto* choice_layout = new QHBoxLayout(choice);
    choice_layout->setContentsMargins(0, 0, 0, 0);
    choice_layout->addWidget(log);
    choice_layout->addWidget(linear);
    layout->addWidget(new QLabel(start, panel), row, 0);
    layout->addWidget(start_spin, row, 1);
    layout->addWidget(new QLabel(stop, panel), row, 2);
    layout->addWidget(stop_spin, row, 3);
    layout->addWidget(choice, row, 4);
  };
  add_row(1, "Freq Start", freq_start_, "Freq Stop", freq_stop_, freq_log_, freq_linear_);
  add_row(2, "Level Start", level_start_, "Level Stop", level_stop_, level_log_, level_linear_);

  steps_ = NewSpin({.name = "ersSteps",
                    .min = kMinSteps,
                    .max = kMaxSteps,
                    .units = "",
                    .step_factor = 2.0,
                    .int_only = true,
                    .eng_units = false},
                   panel);
  connect(steps_, &TEditRealSpin::OnValChange, this,
          [this] { edited_.steps = static_cast<int>(steps_->RealValue()); });
  layout->addWidget(new QLabel("Steps", panel), 3, 0);
  layout->addWidget(steps_, 3, 1);
  return panel;
}

TEditRealSpin* SweepStimEdit::NewToneSpin(const char* name, double min, double max,
                                          const char* units, double TStepFSpec::*field) {
  TEditRealSpin* spin =
      NewSpin({.name = name, .min = min, .max = max, .units = units, .step_factor = 2.0}, this);
  connect(spin, &TEditRealSpin::OnValChange, this,
          [this, spin, field] { Tone().*field = spin->RealValue(); });
  return spin;
}

QRadioButton* SweepStimEdit::NewLogChoice(const char* log_name, const char* linear_name,
                                          std::int32_t TStepFSpec::*field, QRadioButton** linear) {
  QRadioButton* log = NewRadio(log_name, "Log", this);
  *linear = NewRadio(linear_name, "Lin", this);
  auto* group = new QButtonGroup(this);  // one choice per row, apart from the source choice
  group->addButton(log);
  group->addButton(*linear);
  connect(log, &QRadioButton::clicked, this, [this, field] { Tone().*field = 1; });
  connect(*linear, &QRadioButton::clicked, this, [this, field] { Tone().*field = 0; });
  return log;
}

QWidget* SweepStimEdit::NewListFilePanel() {
  auto* panel = new QGroupBox(this);
  auto* layout = new QVBoxLayout(panel);
  list_file_ = new QLabel(panel);
  list_file_->setObjectName("lbListFile");
  layout->addWidget(list_file_);
  auto* buttons = new QHBoxLayout;
  layout->addLayout(buttons);
  auto* select = NewButton("bbSelectListFile", "Select List File", panel);
  auto* edit = NewButton("bbEditListFile", "Edit List File", panel);
  auto* create = NewButton("bbNewListFile", "New List File", panel);
  buttons->addWidget(select);
  buttons->addWidget(edit);
  buttons->addWidget(create);
  connect(select, &QPushButton::clicked, this, &SweepStimEdit::SelectListFile);
  connect(edit, &QPushButton::clicked, this, [this] { EditListFile(false); });
  connect(create, &QPushButton::clicked, this, [this] { EditListFile(true); });
  return panel;
}

void SweepStimEdit::Open() {
  Refresh();
  show();
  raise();
  activateWindow();
}

void SweepStimEdit::Refresh() {
  edited_ = settings_;
  tone_ = 0;
  ShowControls();
}

// A table is never left without a tone: the editor always has one to show.
TStepFSpec& SweepStimEdit::Tone() {
  TStepFSpecArray& tones = Tones();
  if (tones.empty()) tones.resize(1);
  tone_ = std::min(tone_, tones.size() - 1);
  return tones[tone_];
}

void SweepStimEdit::ShowControls() {
  use_spec_->setChecked(edited_.use_spec);
  use_list_file_->setChecked(!edited_.use_spec);
  spec_panel_->setEnabled(edited_.use_spec);
  list_panel_->setEnabled(!edited_.use_spec);
  steps_->SetRealValue(std::clamp(edited_.steps, kMinSteps, kMaxSteps));
  list_file_->setText(ToQString(edited_.list_file_name));
  ShowTone();
}

void SweepStimEdit::ShowTone() {
  const TStepFSpec& tone = Tone();
  const std::size_t count = Tones().size();
  tone_number_->SetMaxValue(static_cast<double>(count));
  tone_number_->SetRealValue(static_cast<double>(tone_ + 1));
  tone_count_->setText(QString("of %1").arg(count));
  delete_tone_->setEnabled(count > 1);
  freq_start_->SetRealValue(tone.FreqStart);
  freq_stop_->SetRealValue(tone.FreqStop);
  level_start_->SetRealValue(tone.LevelStart);
  level_stop_->SetRealValue(tone.LevelStop);
  (tone.LogFreq != 0 ? freq_log_ : freq_linear_)->setChecked(true);
  (tone.LogLevel != 0 ? level_log_ : level_linear_)->setChecked(true);
}

void SweepStimEdit::AddTone() {
  Tones().emplace_back();
  tone_ = Tones().size() - 1;
  ShowTone();
}

void SweepStimEdit::DeleteTone() {
  TStepFSpecArray& tones = Tones();
  if (tones.size() <= 1) return;
  Tone();  // keeps tone_ within the table
  tones.erase(tones.begin() + static_cast<std::ptrdiff_t>(tone_));
  ShowTone();
}

void SweepStimEdit::SelectListFile() {
  FileQuestion question;
  question.title = "Select List File";
  question.filter = kStepListFilter;
  question.default_extension = "qfl";
  question.proposed = edited_.list_file_name;
  const auto file = hooks_.choose_file(this, question);
  if (!file) return;
  edited_.list_file_name = file->string();
  ShowControls();
}

// The file saved in the editor becomes the list file of the stepped tones.
void SweepStimEdit::EditListFile(bool new_file) {
  if (list_editor_ == nullptr) {
    ListFileEditorHooks hooks;
    hooks.saved = [this](const std::filesystem::path& file) {
      edited_.list_file_name = file.string();
      ShowControls();
    };
    hooks.choose_file = hooks_.choose_file;
    hooks.show_message = hooks_.show_message;
    list_editor_ = new ListFileEditor(std::move(hooks), this);
  }
  list_editor_->Open(new_file ? std::filesystem::path()
                              : std::filesystem::path(edited_.list_file_name));
}

void SweepStimEdit::Done() {
  (channel_ == 2 ? settings_.channel2 : settings_.channel1) = Tones();
  settings_.steps = edited_.steps;
  settings_.use_spec = edited_.use_spec;
  settings_.list_file_name = edited_.list_file_name;
  if (hooks_.changed) hooks_.changed();
  hide();
}

}  // namespace vireon
