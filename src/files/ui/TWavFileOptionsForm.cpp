#include "files/ui/TWavFileOptionsForm.h"

#include <QButtonGroup>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QSpinBox>
#include <QVBoxLayout>
#include <algorithm>
#include <cmath>
#include <string>

#include "common/NumberText.h"
#include "plot/EngineeringFormat.h"
#include "plot/ui/TEditRealSpin.h"

namespace vireon {
namespace {

constexpr int kMinSamples = 100;
constexpr int kMaxSamples = 26460000;
constexpr int kDefaultSamples = 4096;
constexpr double kMinLevelDb = -70.0;
constexpr double kMaxLevelDb = 10.0;

QString HeaderFor(const WavSaveQuestion& question) {
  const std::string rate = FormatDouble(question.sample_rate);
  if (question.generating) {
    return QString::fromStdString(" SampleRate is " + rate + " samples/second");
  }
  return QString::fromStdString(" Sample Rate of data is " + rate + " samples/second\n" +
                                " Recorded bit resolution is " + FormatInt(question.recorded_bits));
}

QRadioButton* AddRadio(QLayout* layout, const char* name, const char* text) {
  auto* button = new QRadioButton(text);
  button->setObjectName(name);
  layout->addWidget(button);
  return button;
}

}  // namespace

int PreselectedBitsItem(int recorded_bits) {
  // Halves round to even, as everywhere in the program: 12 bits → "16 bit", 20 → "16 bit".
  // Below 8 bits (or none known) the smallest item is taken.
  const double bytes = std::nearbyint(recorded_bits / 8.0);
  return static_cast<int>(std::clamp(bytes - 1.0, 0.0, 3.0));
}

TWavFileOptionsForm::TWavFileOptionsForm(const WavSaveQuestion& question, QWidget* parent)
    : QDialog(parent), sample_rate_(question.sample_rate) {
  setWindowTitle("vireon:  WAV file save options");
  auto* layout = new QVBoxLayout(this);

  auto* header = new QLabel(HeaderFor(question));
  header->setObjectName("lbHeader");
  layout->addWidget(header);

  auto* bits_box = new QGroupBox("Save with Bit Resolution of");
  bits_box->setObjectName("rgBits");
  auto* bits_layout = new QVBoxLayout(bits_box);
  bits_ = new QButtonGroup(this);
  int item = 0;
  for (const char* text : {"8 bit", "16 bit", "24 bit", "32 bit"}) {
    auto* button = new QRadioButton(text);
    bits_layout->addWidget(button);
    bits_->addButton(button, item++);
  }
  bits_->button(PreselectedBitsItem(question.recorded_bits))->setChecked(true);
  layout->addWidget(bits_box);

  auto* channels = new QGroupBox;
  channels->setObjectName("gbChannels");
  auto* channel_layout = new QVBoxLayout(channels);
  AddRadio(channel_layout, "rbMono", "Make Mono (1ch) File");
  stereo_ = AddRadio(channel_layout, "rbStereo", "Make Stereo (2ch)  File");
  stereo_->setChecked(true);
  channels->setVisible(question.two_columns);
  layout->addWidget(channels);

  auto* level_row = new QHBoxLayout;
  level_row->addWidget(new QLabel("scale to"));
  level_ = new TEditRealSpin;
  level_->setObjectName("edLevel");
  level_->SetMinValue(kMinLevelDb);
  level_->SetMaxValue(kMaxLevelDb);
  level_->SetEngUnits(false);
  level_->SetUnits("dB");
  level_->SetShowUnits(true);
  level_->SetRealValue(std::clamp(question.level_db, kMinLevelDb, kMaxLevelDb));
  level_row->addWidget(level_);
  level_row->addWidget(new QLabel("relative to full scale"));
  layout->addLayout(level_row);

  auto* generate = new QWidget;
  generate->setObjectName("gbGenerate");
  auto* generate_row = new QHBoxLayout(generate);
  generate_row->setContentsMargins(0, 0, 0, 0);
  generate_row->addWidget(new QLabel("Generate"));
  samples_ = new QSpinBox;
  samples_->setObjectName("seSamples");
  samples_->setRange(kMinSamples, kMaxSamples);
  samples_->setValue(kDefaultSamples);
  generate_row->addWidget(samples_);
  generate_row->addWidget(new QLabel("samples"));
  duration_ = new QLabel;
  duration_->setObjectName("lbDuration");
  generate_row->addWidget(duration_);
  generate->setVisible(question.generating);
  layout->addWidget(generate);
  connect(samples_, &QSpinBox::valueChanged, this, &TWavFileOptionsForm::ShowDuration);
  ShowDuration();

  auto* buttons = new QHBoxLayout;
  auto* ok = new QPushButton("Ok");
  ok->setObjectName("bbOk");
  ok->setDefault(true);
  auto* cancel = new QPushButton("Cancel");
  cancel->setObjectName("bbCancel");
  buttons->addStretch();
  buttons->addWidget(ok);
  buttons->addWidget(cancel);
  layout->addLayout(buttons);
  connect(ok, &QPushButton::clicked, this, [this] {
    level_->AcceptEntry();  // a level typed without Enter counts too
    accept();
  });
  connect(cancel, &QPushButton::clicked, this, &QDialog::reject);
  layout->setSizeConstraint(QLayout::SetFixedSize);
}

WavSaveChoice TWavFileOptionsForm::Choice() const {
  WavSaveChoice choice;
  choice.bits = (bits_->checkedId() + 1) * 8;
  choice.stereo = stereo_->isChecked();
  choice.level_db = level_->RealValue();
  choice.samples = samples_->value();
  return choice;
}

void TWavFileOptionsForm::ShowDuration() {
  const double seconds = sample_rate_ > 0 ? samples_->value() / sample_rate_ : 0.0;
  duration_->setText(QString::fromStdString(" = " + EngFormat(seconds, 4) + "sec"));
}

std::optional<WavSaveChoice> AskWavSaveOptions(QWidget* parent, const WavSaveQuestion& question) {
  TWavFileOptionsForm form(question, parent);
  if (form.exec() != QDialog::Accepted) return std::nullopt;
  return form.Choice();
}

}  // namespace vireon
