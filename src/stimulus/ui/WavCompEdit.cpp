#include "stimulus/ui/WavCompEdit.h"

#include <QComboBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QMessageBox>
#include <QPushButton>
#include <QTableWidget>
#include <QVBoxLayout>
#include <utility>

#include "common/VireonError.h"
#include "config/AsciiCase.h"
#include "files/FileContext.h"
#include "plot/render/QtText.h"
#include "plot/ui/TEditRealSpin.h"
#include "stimulus/ToneSetExport.h"
#include "stimulus/ToneSetFile.h"
#include "stimulus/ui/StimFormWidgets.h"

namespace vireon {

namespace {

constexpr const char* kWaveSetFilter = "Quenmar Instr. Wave Set (*.qmw) files| *.qmw";
constexpr const char* kWavFilter = "WAV files ( *.wav)|*.wav";
constexpr const char* kSaveError = "Error saving file!";
constexpr const char* kWavNameMessage = "The file name must end in \".wav\"";

std::size_t Index(ToneField field) { return static_cast<std::size_t>(field); }

// How each numeric field's spin buttons step: frequency and amplitude by factors, phase by 30
// degrees, duty by 10 %.
SpinSpec FieldSpin(ToneField field) {
  const ToneFieldRange range = FieldRange(field);
  switch (field) {
    case ToneField::kFrequency:
      return {"ersFrequency", range.min, range.max, "Hz", 2.0};
    case ToneField::kAmplitude:
      return {"ersAmplitude", range.min, range.max, "", 2.0};
    case ToneField::kPhase:
      return {"ersPhase", range.min, range.max, "", 0, 30.0, false, false};
    case ToneField::kDuty:
      return {"ersDuty", range.min, range.max, "%", 0, 10.0, false, false};
    case ToneField::kType:
      break;
  }
  return {};
}

QPushButton* NewButton(const char* name, const char* caption, QWidget* parent) {
  auto* button = new QPushButton(caption, parent);
  button->setObjectName(name);
  return button;
}

QString NumberText(double value) { return QString::number(value, 'g', 7); }

}  // namespace

std::optional<PeakSetting> AskPeakSetting(QWidget* parent) {
  QMessageBox box(QMessageBox::Question, "Auto Output Peak setting",
                  "Keep components in their current Proportions,\r\nmake them all the Same "
                  "amplitude,\r\nor Cancel (and adjust manually)?",
                  QMessageBox::NoButton, parent);
  QPushButton* proportions = box.addButton("Proportions", QMessageBox::AcceptRole);
  QPushButton* same = box.addButton("All Same", QMessageBox::AcceptRole);
  box.addButton(QMessageBox::Cancel);
  box.exec();
  if (box.clickedButton() == proportions) return PeakSetting::kProportions;
  if (box.clickedButton() == same) return PeakSetting::kAllSame;
  return std::nullopt;
}

WavCompEdit::WavCompEdit(ToneLists& lists, int channel, int play_rate, ToneEditorHooks hooks,
                         QWidget* parent)
    : QWidget(parent, Qt::Tool),
      lists_(lists),
      channel_(channel),
      play_rate_(play_rate),
      hooks_(std::move(hooks)),
      last_series_(InitialAutoGenerateParameters()) {
  setObjectName(channel_ == 2 ? "WavCompEdit2" : "WavCompEdit1");
  setWindowTitle("Waveform Component Editor");
  auto* layout = new QVBoxLayout(this);
  auto* output = new QLabel(channel_ == 2 ? "(Right Output)" : "(Left or Main Output)", this);
  output->setObjectName("lbOutput");
  layout->addWidget(output);
  layout->addWidget(NewFieldEditor());

  grid_ = new QTableWidget(0, kToneFieldCount, this);
  grid_->setObjectName("sgWaves");
  QStringList captions;
  for (int i = 0; i < kToneFieldCount; ++i) {
    captions << ToQString(ToneFieldCaption(static_cast<ToneField>(i)));
  }
  grid_->setHorizontalHeaderLabels(captions);
  grid_->setEditTriggers(QAbstractItemView::NoEditTriggers);  // edited above the grid
  grid_->setSelectionMode(QAbstractItemView::SingleSelection);
  grid_->horizontalHeader()->setSectionResizeMode(QHeaderView::Stretch);
  grid_->setMinimumWidth(520);
  layout->addWidget(grid_);
  connect(grid_, &QTableWidget::currentCellChanged, this, [this] { ShowFieldEditor(); });

  auto* sum_row = new QHBoxLayout;
  layout->addLayout(sum_row);
  sum_row->addWidget(new QLabel("Peak Sum (must be <=1) :", this));
  peak_sum_ = new QLabel(this);
  peak_sum_->setObjectName("lbPeakSum");
  sum_row->addWidget(peak_sum_);
  sum_row->addStretch();
  layout->addWidget(NewButtons());

  SetToneRate(List(), play_rate_);
  Refresh();
  grid_->setCurrentCell(0, static_cast<int>(ToneField::kFrequency));
}

QWidget* WavCompEdit::NewFieldEditor() {
  auto* editor = new QWidget(this);
  auto* row = new QHBoxLayout(editor);
  row->setContentsMargins(0, 0, 0, 0);
  field_caption_ = new QLabel(editor);
  field_caption_->setObjectName("lbField");
  row->addWidget(field_caption_);
  kind_ = new QComboBox(editor);
  kind_->setObjectName("cbType");
  for (std::int32_t kind = 0; kind < 5; ++kind) kind_->addItem(ToQString(ToneKindName(kind)));
  row->addWidget(kind_);
  connect(kind_, &QComboBox::activated, this,
          [this](int index) { SetField(ToneField::kType, index); });
  for (const ToneField field :
       {ToneField::kFrequency, ToneField::kAmplitude, ToneField::kPhase, ToneField::kDuty}) {
    TEditRealSpin* spin = NewSpin(FieldSpin(field), editor);
    field_spins_[Index(field)] = spin;
    row->addWidget(spin);
    connect(spin, &TEditRealSpin::OnValChange, this,
            [this, field, spin] { SetField(field, spin->RealValue()); });
  }
  row->addStretch();
  return editor;
}

QWidget* WavCompEdit::NewButtons() {
  auto* buttons = new QWidget(this);
  auto* row = new QHBoxLayout(buttons);
  row->setContentsMargins(0, 0, 0, 0);
  const auto add = [&](const char* name, const char* caption, void (WavCompEdit::*action)()) {
    QPushButton* button = NewButton(name, caption, buttons);
    row->addWidget(button);
    connect(button, &QPushButton::clicked, this, action);
  };
  add("bbRemove", "Remove", &WavCompEdit::Remove);
  add("bbClearAll", "Clear All Waveforms", &WavCompEdit::ClearAll);
  add("bbAutoGen", "Auto-Generate", &WavCompEdit::AutoGenerateSeries);
  add("bbLoad", "Load", &WavCompEdit::LoadWaveSet);
  add("bbSave", "Save", &WavCompEdit::SaveWaveSet);
  add("bbMakeWav", "Make WAV file", &WavCompEdit::MakeWav);
  add("bbCancel", "Cancel", &WavCompEdit::Cancel);
  add("bbDone", "Done", &WavCompEdit::Done);
  return buttons;
}

void WavCompEdit::Open() {
  Refresh();
  show();
  raise();
  activateWindow();
}

void WavCompEdit::Refresh() {
  copy_ = List();
  ShowGrid();
}

void WavCompEdit::SetPlayRate(int play_rate) {
  play_rate_ = play_rate;
  SetToneRate(List(), play_rate_);
  SetToneRate(copy_, play_rate_);
}

void WavCompEdit::ShowGrid() {
  const SineParsArray& list = List();
  const QSignalBlocker blocker(grid_);
  grid_->setRowCount(static_cast<int>(list.size()) + 1);
  for (int row = 0; row < grid_->rowCount(); ++row) {
    for (int column = 0; column < kToneFieldCount; ++column) {
      QString text;
      if (static_cast<std::size_t>(row) < list.size()) {
        const TSinePars& component = list[static_cast<std::size_t>(row)];
        const auto field = static_cast<ToneField>(column);
        text = field == ToneField::kType ? ToQString(ToneKindName(component.Kind))
                                         : NumberText(ShownFieldValue(component, field));
      }
      auto* item = new QTableWidgetItem(text);
      item->setFlags(Qt::ItemIsSelectable | Qt::ItemIsEnabled);
      grid_->setItem(row, column, item);
    }
  }
  const double sum = AmplitudeSum(list);
  peak_sum_->setText(NumberText(sum));
  peak_sum_->setStyleSheet(sum > 1.0 ? "color: red; background-color: yellow;" : "");
  ShowFieldEditor();
}

// The editor of the selected cell's field, showing the component's value, or the new
// component's for the empty row.
void WavCompEdit::ShowFieldEditor() {
  const int row = std::max(grid_->currentRow(), 0);
  const auto field = static_cast<ToneField>(std::max(grid_->currentColumn(), 0));
  field_caption_->setText(
      QString("Waveform #%1, set %2:").arg(row + 1).arg(ToQString(ToneFieldCaption(field))));
  const SineParsArray& list = List();
  const TSinePars component = static_cast<std::size_t>(row) < list.size()
                                  ? list[static_cast<std::size_t>(row)]
                                  : TSinePars{};
  kind_->setVisible(field == ToneField::kType);
  kind_->setCurrentIndex(component.Kind);
  for (std::size_t i = 0; i < field_spins_.size(); ++i) {
    if (field_spins_[i] == nullptr) continue;
    field_spins_[i]->setVisible(i == Index(field));
    field_spins_[i]->SetRealValue(ShownFieldValue(component, static_cast<ToneField>(i)));
  }
}

void WavCompEdit::SetField(ToneField field, double value) {
  const int row = std::max(grid_->currentRow(), 0);
  SetToneField(List(), static_cast<std::size_t>(row), field, value, play_rate_);
  Changed();
}

void WavCompEdit::Remove() {
  const int row = grid_->currentRow();
  if (row < 0 || static_cast<std::size_t>(row) >= List().size()) return;
  const std::string question =
      "Are you sure you want to DELETE waveform #" + std::to_string(row + 1) + "?";
  if (!hooks_.confirm(this, question)) return;
  RemoveComponent(List(), static_cast<std::size_t>(row));
  Changed();
}

void WavCompEdit::ClearAll() {
  if (!hooks_.confirm(this, "Are you sure you want to DELETE *ALL* waveforms in this set?")) {
    return;
  }
  ClearToneSet(List());
  Changed();
}

void WavCompEdit::AutoGenerateSeries() {
  const auto parameters = hooks_.ask_auto_generate(this, last_series_);
  if (!parameters) return;
  last_series_ = *parameters;
  AutoGenerate(List(), *parameters, play_rate_);
  Changed();
}

void WavCompEdit::LoadWaveSet() {
  FileQuestion question;
  question.title = "Load Wave Set File";
  question.filter = kWaveSetFilter;
  question.default_extension = "qmw";
  const auto file = hooks_.choose_file(this, question);
  if (!file) return;
  try {
    LoadToneSet(*file, List(), play_rate_);
  } catch (const VireonError& error) {
    hooks_.show_message(this, error.what());
    return;
  }
  Changed();
}

void WavCompEdit::SaveWaveSet() {
  if (!AcceptAmplitudeSum()) return;
  FileQuestion question;
  question.save = true;
  question.title = "Save WaveSet File";
  question.filter = kWaveSetFilter;
  question.default_extension = "qmw";
  const auto file = hooks_.choose_file(this, question);
  if (!file) return;
  try {
    SaveToneSet(*file, List());
  } catch (const VireonError& error) {
    hooks_.show_message(this, error.what());
  }
}

// A mono file holds the list being edited; a stereo one list P and list Q.
void WavCompEdit::MakeWav() {
  WavSaveQuestion question;
  question.sample_rate = play_rate_;
  question.generating = true;
  question.two_columns = true;
  const auto choice = hooks_.ask_wav_options(this, question);
  if (!choice) return;
  FileQuestion file_question;
  file_question.save = true;
  file_question.title = "Make WAV file";
  file_question.filter = kWavFilter;
  file_question.default_extension = "wav";
  const auto file = hooks_.choose_file(this, file_question);
  if (!file) return;
  const ToneLists lists = choice->stereo ? lists_ : ToneLists{List(), {}};
  CollectedMessages messages;
  if (ExportToneSetWav(*file, lists, choice->stereo, choice->samples, play_rate_, choice->bits,
                       messages)) {
    return;
  }
  if (messages.Texts().empty()) {
    const bool wav_name = FoldAsciiCase(file->extension().string()) == ".wav";
    hooks_.show_message(this, wav_name ? kSaveError : kWavNameMessage);
  }
  for (const std::string& text : messages.Texts()) hooks_.show_message(this, text);
}

void WavCompEdit::Cancel() {
  List() = copy_;
  SetToneRate(List(), play_rate_);
  Changed();
  hide();
}

void WavCompEdit::Done() {
  if (AcceptAmplitudeSum()) hide();
}

bool WavCompEdit::AcceptAmplitudeSum() {
  if (AmplitudeSum(List()) <= 1.0) return true;
  hooks_.show_message(this, std::string(kAmplitudeSumMessage));
  if (const auto setting = hooks_.ask_peak_setting(this)) {
    AutoPeak(List(), *setting);
    Changed();
  }
  return false;
}

void WavCompEdit::Changed() {
  ShowGrid();
  if (hooks_.changed) hooks_.changed();
}

}  // namespace vireon
