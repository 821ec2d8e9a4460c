#include "stimulus/ui/TCfgStimForm.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>
#include <algorithm>
#include <utility>

#include "files/WavFileWrite.h"
#include "plot/render/QtText.h"
#include "plot/ui/TEditRealSpin.h"
#include "stimulus/CfgStimRules.h"
#include "stimulus/ChirpGenerator.h"
#include "stimulus/MlsSequence.h"
#include "stimulus/StimulusTable.h"
#include "stimulus/ui/StimFormWidgets.h"
#include "stimulus/ui/TWaveletBurstForm.h"

namespace vireon {

namespace {

constexpr const char* kWavFilter = "WAV files ( *.wav)|*.wav";
constexpr const char* kFixedLimitsHint =
    "Chirp freq limits cannot be selected for Impulse or Frequency Response";
constexpr const char* kMlsTablesMessage = "Couldn't Generate Permutation Table for that MLS size";
constexpr const char* kSaveError = "Error saving file!";

std::size_t Index(StimulusPanel panel) { return static_cast<std::size_t>(panel); }

QString Caption(StimulusPanel panel) { return ToQString(PanelCaption(panel)); }

// A titled frame around one field.
QGroupBox* NewFieldPanel(const char* name, StimulusPanel panel, QWidget* field) {
  auto* box = new QGroupBox(Caption(panel));
  box->setObjectName(name);
  auto* layout = new QHBoxLayout(box);
  layout->addWidget(field);
  return box;
}

QLabel* NewLabel(const char* name, const QString& text, QWidget* parent) {
  auto* label = new QLabel(text, parent);
  label->setObjectName(name);
  return label;
}

}  // namespace

TCfgStimForm::TCfgStimForm(StimulusSettings& settings, StimFormHooks hooks, QWidget* parent)
    : QWidget(parent, Qt::Tool), settings_(settings), hooks_(std::move(hooks)) {
  setObjectName("CfgStimForm");
  setWindowTitle("Stimulus Configuration");
  auto* layout = new QVBoxLayout(this);
  layout->setSizeConstraint(QLayout::SetFixedSize);  // shrinks as panels hide

  title_ = new QPushButton(this);
  title_->setObjectName("bbTitle");
  title_->setFocusPolicy(Qt::NoFocus);
  layout->addWidget(title_);

  using enum StimulusPanel;
  const auto add = [&](StimulusPanel panel, QWidget* widget) {
    panels_[Index(panel)] = widget;
    layout->addWidget(widget);
  };
  add(kEditStepsCh1, NewEditorButton("bbEditSteps1", kEditStepsCh1, hooks_.edit_steps, 1));
  add(kEditStepsCh2, NewEditorButton("bbEditSteps2", kEditStepsCh2, hooks_.edit_steps, 2));
  add(kEditTonesCh1, NewEditorButton("bbEditTones1", kEditTonesCh1, hooks_.edit_tones, 1));
  add(kEditTonesCh2, NewEditorButton("bbEditTones2", kEditTonesCh2, hooks_.edit_tones, 2));
  add(kMlsSequenceLength, NewMlsPanel());
  add(kLoadWaveFile, NewWaveFilePanel());
  add(kApplyEnvelope, NewEnvelopePanel());
  add(kEnvelopeLength, NewEnvelopeLengthPanel());
  add(kChirpParameters, NewChirpPanel());
  add(kInvertAlternateStims, NewInvertPanel());
  add(kMinInterSilence, NewInterSilencePanel());
  add(kEditWavelet, NewActionButton("bbEditWavelet", kEditWavelet, &TCfgStimForm::OpenWaveletForm));
  add(kSaveAsWavFile, NewActionButton("bbSaveWav", kSaveAsWavFile, &TCfgStimForm::SaveChirpAsWav));
  add(kOutput2LowPass, NewLowPassPanel());

  Refresh();
  ShowFor(selection_);
}

void TCfgStimForm::ShowFor(const StimulusSelection& selection) {
  selection_ = selection;
  const StimulusType* type = FindStimulus(selection.stim_code);
  title_->setText(type != nullptr ? ToQString(type->name) : QString());
  ShowChirpLimits();
  const std::vector<StimulusPanel> shown =
      PanelsForStimulus(selection.stim_code, selection.acq_type, selection.play_bits);
  for (std::size_t i = 0; i < panels_.size(); ++i) {
    if (panels_[i] == nullptr) continue;
    const auto panel = static_cast<StimulusPanel>(i);
    panels_[i]->setVisible(std::find(shown.begin(), shown.end(), panel) != shown.end());
  }
}

void TCfgStimForm::Refresh() {
  mls_length_->SetRealValue(settings_.mls_length);
  ShowWaveFile();
  envelope_->setCurrentIndex(settings_.envelope.kind);
  envelope_length_->SetRealValue(settings_.envelope.length);
  chirp_start_->SetRealValue(settings_.chirp.start_hz);
  chirp_stop_->SetRealValue(settings_.chirp.stop_hz);
  chirp_time_->SetRealValue(settings_.chirp.time_length_s);
  (settings_.chirp.linear_sweep ? chirp_linear_ : chirp_log_)->setChecked(true);
  invert_->setChecked(settings_.invert_alternate);
  inter_silence_->SetRealValue(settings_.inter_silence_s);
  lowpass_->setChecked(settings_.chirp.output2_lowpass);
  lowpass_hz_->SetRealValue(settings_.chirp.output2_lowpass_hz);
  if (wavelet_form_ != nullptr) wavelet_form_->Refresh();
}

void TCfgStimForm::keyPressEvent(QKeyEvent* event) {
  if (event->key() == Qt::Key_Escape && hooks_.measuring && hooks_.measuring()) {
    if (hooks_.stop) hooks_.stop();
    event->accept();
    return;
  }
  QWidget::keyPressEvent(event);
}

// --- Panels -------------------------------------------------------------------------------------

QWidget* TCfgStimForm::NewEditorButton(const char* name, StimulusPanel panel,
                                       const std::function<void(int)>& editor, int channel) {
  auto* button = new QPushButton(Caption(panel), this);
  button->setObjectName(name);
  button->setEnabled(static_cast<bool>(editor));
  // The hook lives in hooks_, as long as the window.
  connect(button, &QPushButton::clicked, this, [&editor, channel] { editor(channel); });
  return button;
}

QWidget* TCfgStimForm::NewMlsPanel() {
  // Doubling per step: only powers of two are taken.
  mls_length_ = NewSpin({.name = "ersMLSLength",
                         .min = kMinMlsLength,
                         .max = kMaxMlsLength,
                         .units = "",
                         .step_factor = 2.0,
                         .eng_units = false,
                         .digits = 6},
                        this);
  connect(mls_length_, &TEditRealSpin::OnValChange, this, &TCfgStimForm::TakeMlsLength);
  return NewFieldPanel("gbMLSLength", StimulusPanel::kMlsSequenceLength, mls_length_);
}

QWidget* TCfgStimForm::NewWaveFilePanel() {
  auto* box = new QGroupBox(this);
  box->setObjectName("gbWaveFile");
  auto* layout = new QVBoxLayout(box);
  auto* load = new QPushButton(Caption(StimulusPanel::kLoadWaveFile), box);
  load->setObjectName("bbLoadWave");
  connect(load, &QPushButton::clicked, this, &TCfgStimForm::LoadWaveFile);
  layout->addWidget(load);
  wave_name_ = NewLabel("lbWaveFileName", {}, box);
  wave_format_ = NewLabel("lbWaveFileInfo", {}, box);
  layout->addWidget(wave_name_);
  layout->addWidget(wave_format_);
  return box;
}

QWidget* TCfgStimForm::NewEnvelopePanel() {
  envelope_ = new QComboBox(this);
  envelope_->setObjectName("cbEnvelopeType");
  for (const std::string_view name : EnvelopeNames()) envelope_->addItem(ToQString(name));
  connect(envelope_, &QComboBox::activated, this, [this](int index) {
    settings_.envelope.kind = index;
    Changed();
  });
  return NewFieldPanel("gbEnvelope", StimulusPanel::kApplyEnvelope, envelope_);
}

QWidget* TCfgStimForm::NewEnvelopeLengthPanel() {
  envelope_length_ = NewSpin({.name = "ersEnvelopeLength",
                              .min = 1,
                              .max = 100000,
                              .units = "",
                              .step = 100,
                              .int_only = true,
                              .eng_units = false},
                             this);
  connect(envelope_length_, &TEditRealSpin::OnValChange, this, [this] {
    settings_.envelope.length = static_cast<int>(envelope_length_->RealValue());
    Changed();
  });
  return NewFieldPanel("gbEnvelopeLength", StimulusPanel::kEnvelopeLength, envelope_length_);
}

QWidget* TCfgStimForm::NewChirpPanel() {
  auto* box = new QGroupBox(Caption(StimulusPanel::kChirpParameters), this);
  box->setObjectName("gbChirp");
  auto* grid = new QGridLayout(box);
  const auto frequency = [this](const char* name, double min) {
    return NewSpin({.name = name, .min = min, .max = 384000, .units = "Hz", .step_factor = 2.0},
                   this);
  };
  chirp_start_ = frequency("ersChirpStart", 0.01);
  chirp_stop_ = frequency("ersChirpStop", 1);  // the maximum follows the sample rates
  chirp_start_fixed_ = NewLabel("lbChirpStartFixed", "   ( 0 [Hz] )", box);
  chirp_stop_fixed_ = NewLabel("lbChirpStopFixed", " ( Fs/2 [Hz] )", box);
  chirp_time_ = NewSpin(
      {.name = "ersChirpTime", .min = 0.005, .max = 20, .units = "s", .step_factor = 2.0}, this);
  chirp_log_ = new QRadioButton("Log", box);
  chirp_log_->setObjectName("rbChirpLog");
  chirp_linear_ = new QRadioButton("Lin", box);
  chirp_linear_->setObjectName("rbChirpLin");

  grid->addWidget(new QLabel("Start Freq.", box), 0, 0);
  grid->addWidget(chirp_start_, 0, 1);
  grid->addWidget(chirp_start_fixed_, 0, 1);
  grid->addWidget(new QLabel("Stop Freq.", box), 1, 0);
  grid->addWidget(chirp_stop_, 1, 1);
  grid->addWidget(chirp_stop_fixed_, 1, 1);
  grid->addWidget(new QLabel("Time Length", box), 2, 0);
  grid->addWidget(chirp_time_, 2, 1);
  auto* sweep = new QHBoxLayout;
  sweep->addWidget(chirp_log_);
  sweep->addWidget(chirp_linear_);
  grid->addLayout(sweep, 3, 1);

  const auto take = [this](TEditRealSpin* spin, double ChirpSettings::*field) {
    connect(spin, &TEditRealSpin::OnValChange, this, [this, spin, field] {
      settings_.chirp.*field = spin->RealValue();
      Changed();
    });
  };
  take(chirp_start_, &ChirpSettings::start_hz);
  take(chirp_stop_, &ChirpSettings::stop_hz);
  take(chirp_time_, &ChirpSettings::time_length_s);
  for (QRadioButton* button : {chirp_log_, chirp_linear_}) {
    connect(button, &QRadioButton::clicked, this, [this] {
      settings_.chirp.linear_sweep = chirp_linear_->isChecked();
      Changed();
    });
  }
  return box;
}

QWidget* TCfgStimForm::NewInvertPanel() {
  invert_ = new QCheckBox(Caption(StimulusPanel::kInvertAlternateStims), this);
  invert_->setObjectName("cbInvertAlternate");
  connect(invert_, &QCheckBox::clicked, this, [this](bool on) {
    settings_.invert_alternate = on;
    Changed();
  });
  return invert_;
}

QWidget* TCfgStimForm::NewInterSilencePanel() {
  inter_silence_ = NewSpin(
      {.name = "ersInterSilence", .min = 0.00005, .max = 8, .units = "s", .step_factor = 2.0},
      this);
  connect(inter_silence_, &TEditRealSpin::OnValChange, this, [this] {
    settings_.inter_silence_s = inter_silence_->RealValue();
    Changed();
  });
  return NewFieldPanel("gbInterSilence", StimulusPanel::kMinInterSilence, inter_silence_);
}

QWidget* TCfgStimForm::NewActionButton(const char* name, StimulusPanel panel,
                                       void (TCfgStimForm::*action)()) {
  auto* button = new QPushButton(Caption(panel), this);
  button->setObjectName(name);
  connect(button, &QPushButton::clicked, this, action);
  return button;
}

QWidget* TCfgStimForm::NewLowPassPanel() {
  auto* panel = new QWidget(this);
  panel->setObjectName("pnChirpLPF");
  auto* row = new QHBoxLayout(panel);
  row->setContentsMargins(0, 0, 0, 0);
  lowpass_ = new QCheckBox(Caption(StimulusPanel::kOutput2LowPass), panel);
  lowpass_->setObjectName("cbChirpLPF");
  lowpass_hz_ = NewSpin(
      {.name = "ersChirpLPFfreq", .min = 1, .max = 200000, .units = "Hz", .step_factor = 2.0},
      panel);
  row->addWidget(lowpass_);
  row->addWidget(lowpass_hz_);
  connect(lowpass_, &QCheckBox::clicked, this, [this](bool on) {
    settings_.chirp.output2_lowpass = on;
    Changed();
  });
  connect(lowpass_hz_, &TEditRealSpin::OnValChange, this, [this] {
    settings_.chirp.output2_lowpass_hz = lowpass_hz_->RealValue();
    Changed();
  });
  return panel;
}

// --- Actions ------------------------------------------------------------------------------------

// A new length builds the tables of its order at once, so that the first measurement need not
// wait; when they cannot be had the shortest sequence is used instead.
void TCfgStimForm::TakeMlsLength() {
  const int length = RoundMlsLength(mls_length_->RealValue());
  if (length != settings_.mls_length) {
    settings_.mls_length = length;
    if (hooks_.build_mls_tables && !hooks_.build_mls_tables(SetMLSOrder(length).order)) {
      hooks_.show_message(this, kMlsTablesMessage);
      settings_.mls_length = kMinMlsLength;
    }
  }
  mls_length_->SetRealValue(settings_.mls_length);
  Changed();
}

void TCfgStimForm::LoadWaveFile() {
  FileQuestion question;
  question.title = "Load Wave File";
  question.filter = kWavFilter;
  question.default_extension = "wav";
  question.proposed = std::filesystem::path(settings_.wav_file_name);
  const auto file = hooks_.choose_file(this, question);
  if (!file) return;
  settings_.wav_file_name = file->string();
  ShowWaveFile();
  Changed();
}

// The chirp as the acquisition would play it, at the play rate; the options window gives the
// resolution and the number of samples.
void TCfgStimForm::SaveChirpAsWav() {
  WavSaveQuestion question;
  question.sample_rate = selection_.play_rate;
  question.recorded_bits = selection_.play_bits;
  question.generating = true;
  const auto choice = hooks_.ask_wav_options(this, question);
  if (!choice) return;
  FileQuestion file_question;
  file_question.save = true;
  file_question.title = "Save as WAV file";
  file_question.filter = kWavFilter;
  file_question.default_extension = "wav";
  const auto file = hooks_.choose_file(this, file_question);
  if (!file) return;
  const TDataMeas record = ChirpRecord(settings_.chirp, selection_.acq_type, selection_.play_rate,
                                       selection_.record_rate, choice->samples);
  CollectedMessages ignored;  // the one message for every failure follows
  if (!SaveWavData(*file, record, choice->bits, 1.0, WavChannelChoice::kColumn0, choice->stereo,
                   ignored)) {
    hooks_.show_message(this, kSaveError);
  }
}

void TCfgStimForm::OpenWaveletForm() {
  if (wavelet_form_ == nullptr) {
    wavelet_form_ = new TWaveletBurstForm(
        settings_.wavelet, [this] { Changed(); }, this);
  }
  wavelet_form_->show();
  wavelet_form_->raise();
}

void TCfgStimForm::ShowWaveFile() {
  const WavFileLines lines = DescribeWavStimulus(std::filesystem::path(settings_.wav_file_name));
  wave_name_->setText(ToQString(lines.name));
  wave_format_->setText(ToQString(lines.format));
}

// The impulse and frequency response acquisitions sweep the whole band: their limits are shown,
// not edited.
void TCfgStimForm::ShowChirpLimits() {
  const bool fixed = HasFixedChirpLimits(selection_.acq_type);
  chirp_start_->setVisible(!fixed);
  chirp_stop_->setVisible(!fixed);
  chirp_start_fixed_->setVisible(fixed);
  chirp_stop_fixed_->setVisible(fixed);
  panels_[Index(StimulusPanel::kChirpParameters)]->setToolTip(fixed ? kFixedLimitsHint : "");
  chirp_stop_->SetMaxValue(ChirpStopLimit(selection_.play_rate, selection_.record_rate));
}

void TCfgStimForm::Changed() {
  if (hooks_.changed) hooks_.changed();
}

}  // namespace vireon
