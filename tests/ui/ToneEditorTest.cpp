// The tone-set editor, its series generator, the stepped-tone editor and the list file editor:
// edits reaching the lists and settings within their ranges, Cancel and Done, and the files they
// write reading back through the program's own readers.

#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QTableWidget>
#include <cmath>
#include <numbers>
#include <string>
#include <vector>

#include "../support/TempFolder.h"
#include "UiTestSupport.h"
#include "common/AtomicFile.h"
#include "files/WavFile.h"
#include "plot/ui/TEditRealSpin.h"
#include "stimulus/StepListFile.h"
#include "stimulus/ToneSetFile.h"
#include "stimulus/ui/ListFileEditor.h"
#include "stimulus/ui/SweepStimEdit.h"
#include "stimulus/ui/TAutoGenForm.h"
#include "stimulus/ui/WavCompEdit.h"

namespace vireon {
namespace {

constexpr double kPi = std::numbers::pi;
constexpr int kRate = 48000;

// Types an entry into a numeric field and takes it, as Enter does.
void Enter(const QWidget& window, const char* name, const char* text) {
  TEditRealSpin* spin = Find<TEditRealSpin>(window, name);
  ASSERT_NE(spin, nullptr);
  spin->Edit()->setText(text);
  spin->AcceptEntry();
}

void Click(const QWidget& window, const char* name) {
  Find<QAbstractButton>(window, name)->click();
}

std::vector<double> Frequencies(const SineParsArray& list) {
  std::vector<double> f;
  for (const TSinePars& c : list) f.push_back(c.Frequency);
  return f;
}

// Records what the windows ask and tells them what to answer.
class Dialogs {
 public:
  std::optional<std::filesystem::path> ChooseFile(const FileQuestion& question) {
    file_questions.push_back(question);
    return next_file;
  }
  bool Confirm(const std::string& question) {
    questions.push_back(question);
    return answer_yes;
  }

  std::vector<FileQuestion> file_questions;
  std::optional<std::filesystem::path> next_file;
  std::vector<std::string> questions;
  bool answer_yes = true;
  std::vector<std::string> messages;
};

class ToneEditor : public ::testing::Test {
 protected:
  ToneEditorHooks Hooks() {
    ToneEditorHooks hooks;
    hooks.changed = [this] { ++changes_; };
    hooks.choose_file = [this](QWidget*, const FileQuestion& q) { return dialogs_.ChooseFile(q); };
    hooks.confirm = [this](QWidget*, const std::string& q) { return dialogs_.Confirm(q); };
    hooks.show_message = [this](QWidget*, const std::string& t) { dialogs_.messages.push_back(t); };
    hooks.ask_peak_setting = [this](QWidget*) {
      ++peak_questions_;
      return peak_answer_;
    };
    hooks.ask_auto_generate = [this](QWidget*, const AutoGenerateParameters&) { return series_; };
    hooks.ask_wav_options = [this](QWidget*, const WavSaveQuestion& q) {
      wav_questions_.push_back(q);
      return wav_choice_;
    };
    return hooks;
  }

  void Select(WavCompEdit& editor, int row, ToneField field) {
    Find<QTableWidget>(editor, "sgWaves")->setCurrentCell(row, static_cast<int>(field));
  }
  QString Cell(WavCompEdit& editor, int row, ToneField field) {
    const QTableWidgetItem* item =
        Find<QTableWidget>(editor, "sgWaves")->item(row, static_cast<int>(field));
    return item != nullptr ? item->text() : QString("<none>");
  }

  TestApplication app_;
  TempFolder folder_;
  ToneLists lists_ = DefaultToneLists();
  Dialogs dialogs_;
  int changes_ = 0;
  int peak_questions_ = 0;
  std::optional<PeakSetting> peak_answer_;
  std::optional<AutoGenerateParameters> series_;
  std::vector<WavSaveQuestion> wav_questions_;
  std::optional<WavSaveChoice> wav_choice_;
  WavCompEdit editor_{lists_, 1, kRate, Hooks()};
};

TEST_F(ToneEditor, EditsInTheGridReachTheListInItsUnits) {
  EXPECT_EQ(editor_.windowTitle(), "Waveform Component Editor");
  EXPECT_TRUE(editor_.windowFlags().testFlag(Qt::Tool));
  EXPECT_EQ(Find<QLabel>(editor_, "lbOutput")->text(), "(Left or Main Output)");
  auto* grid = Find<QTableWidget>(editor_, "sgWaves");
  ASSERT_EQ(grid->rowCount(), 2);  // the component and the empty row
  EXPECT_EQ(grid->horizontalHeaderItem(2)->text(), "Amplitude [*]");

  Select(editor_, 0, ToneField::kFrequency);
  EXPECT_EQ(Find<QLabel>(editor_, "lbField")->text(), "Waveform #1, set Frequency [Hz]:");
  EXPECT_FALSE(Find<TEditRealSpin>(editor_, "ersFrequency")->isHidden());
  EXPECT_TRUE(Find<TEditRealSpin>(editor_, "ersPhase")->isHidden());
  Enter(editor_, "ersFrequency", "440");
  EXPECT_EQ(lists_.p[0].Frequency, 440.0);
  EXPECT_NEAR(lists_.p[0].Omega, 2 * kPi * 440 / kRate, 1e-15);
  EXPECT_EQ(Cell(editor_, 0, ToneField::kFrequency), "440");
  EXPECT_EQ(changes_, 1);

  // The empty row: a new default component takes the edited field.
  Select(editor_, 1, ToneField::kPhase);
  EXPECT_EQ(Find<QLabel>(editor_, "lbField")->text(), "Waveform #2, set Phase [deg]:");
  Enter(editor_, "ersPhase", "270");
  ASSERT_EQ(lists_.p.size(), 2u);
  EXPECT_NEAR(lists_.p[1].Phase, -kPi / 2, 1e-15);
  EXPECT_EQ(lists_.p[1].Frequency, 1000.0);
  EXPECT_EQ(Cell(editor_, 1, ToneField::kPhase), "-90");
  EXPECT_EQ(grid->rowCount(), 3);

  Select(editor_, 1, ToneField::kType);
  auto* type = Find<QComboBox>(editor_, "cbType");
  EXPECT_FALSE(type->isHidden());
  type->setCurrentIndex(4);
  emit type->activated(4);
  EXPECT_EQ(lists_.p[1].Kind, 4);
  EXPECT_EQ(Cell(editor_, 1, ToneField::kType), "Triangle");

  Select(editor_, 0, ToneField::kDuty);
  Enter(editor_, "ersDuty", "150");
  EXPECT_EQ(lists_.p[0].Duty, 1.0);
  Select(editor_, 0, ToneField::kAmplitude);
  Enter(editor_, "ersAmplitude", "0.25");
  EXPECT_EQ(lists_.p[0].Amplitude, 0.25);
  EXPECT_EQ(Find<QLabel>(editor_, "lbPeakSum")->text(), "0.75");
  EXPECT_EQ(lists_.q.size(), 1u);  // the other list is left alone
}

TEST_F(ToneEditor, SecondChannelEditsListQ) {
  WavCompEdit editor(lists_, 2, kRate, Hooks());
  EXPECT_EQ(Find<QLabel>(editor, "lbOutput")->text(), "(Right Output)");
  Select(editor, 0, ToneField::kFrequency);
  Enter(editor, "ersFrequency", "2000");
  EXPECT_EQ(lists_.q[0].Frequency, 2000.0);
  EXPECT_EQ(lists_.p[0].Frequency, 1000.0);
}

TEST_F(ToneEditor, CancelRestoresTheListAsOpened) {
  lists_.p[0].Frequency = 500;
  editor_.Open();
  Select(editor_, 0, ToneField::kFrequency);
  Enter(editor_, "ersFrequency", "440");
  Select(editor_, 1, ToneField::kAmplitude);
  Enter(editor_, "ersAmplitude", "0.1");
  ASSERT_EQ(lists_.p.size(), 2u);
  const int before = changes_;
  Click(editor_, "bbCancel");
  ASSERT_EQ(lists_.p.size(), 1u);
  EXPECT_EQ(lists_.p[0].Frequency, 500.0);
  EXPECT_GT(changes_, before);  // the restored list is applied again
  EXPECT_TRUE(editor_.isHidden());
  EXPECT_EQ(Find<QTableWidget>(editor_, "sgWaves")->rowCount(), 2);
}

TEST_F(ToneEditor, DoneRefusesASumAboveOneAndOffersThePeakSetting) {
  editor_.Open();
  Select(editor_, 1, ToneField::kAmplitude);
  Enter(editor_, "ersAmplitude", "0.7");  // 0.5 + 0.7
  EXPECT_TRUE(Find<QLabel>(editor_, "lbPeakSum")->styleSheet().contains("yellow"));

  Click(editor_, "bbDone");  // the peak setting is cancelled
  EXPECT_EQ(
      dialogs_.messages,
      std::vector<std::string>{"Sum of amplitudes cannot exceed 1! -- Please adjust amplitudes"});
  EXPECT_EQ(peak_questions_, 1);
  EXPECT_FALSE(editor_.isHidden());
  EXPECT_EQ(lists_.p[1].Amplitude, 0.7);

  peak_answer_ = PeakSetting::kProportions;
  Click(editor_, "bbDone");
  EXPECT_FALSE(editor_.isHidden());
  const double sum = lists_.p[0].Amplitude + lists_.p[1].Amplitude;
  EXPECT_LE(sum, 1.0);
  EXPECT_GT(sum, 1.0 - 1e-8);
  EXPECT_NEAR(lists_.p[1].Amplitude / lists_.p[0].Amplitude, 7.0 / 5.0, 1e-12);
  EXPECT_EQ(Find<QLabel>(editor_, "lbPeakSum")->styleSheet(), "");

  Click(editor_, "bbDone");
  EXPECT_TRUE(editor_.isHidden());
  EXPECT_EQ(peak_questions_, 2);
}

TEST_F(ToneEditor, RemoveAndClearAskFirst) {
  for (const double f : {2000.0, 3000.0}) {
    AddComponent(lists_.p, ToneKind::kSine, 0.5, 0, 0.1, f, kRate);
  }
  editor_.Refresh();
  Select(editor_, 1, ToneField::kFrequency);
  dialogs_.answer_yes = false;
  Click(editor_, "bbRemove");
  EXPECT_EQ(lists_.p.size(), 3u);
  dialogs_.answer_yes = true;
  Click(editor_, "bbRemove");
  EXPECT_EQ(Frequencies(lists_.p), (std::vector<double>{1000, 3000}));
  EXPECT_EQ(Cell(editor_, 1, ToneField::kFrequency), "3000");

  Click(editor_, "bbClearAll");
  EXPECT_TRUE(lists_.p.empty());
  EXPECT_EQ(
      dialogs_.questions,
      (std::vector<std::string>{"Are you sure you want to DELETE waveform #2?",
                                "Are you sure you want to DELETE waveform #2?",
                                "Are you sure you want to DELETE *ALL* waveforms in this set?"}));
  EXPECT_EQ(Find<QTableWidget>(editor_, "sgWaves")->rowCount(), 1);
}

TEST_F(ToneEditor, AutoGenerateAppendsTheSeries) {
  AutoGenerateParameters series;
  series.frequency = {100, 1000, 2, true};
  series.level = {0.05, 0.05, 0.01, false};
  series.phase = {90, 90, 30, false};
  series_ = series;
  Click(editor_, "bbAutoGen");
  EXPECT_EQ(Frequencies(lists_.p), (std::vector<double>{1000, 100, 200, 400, 800, 1600}));
  EXPECT_EQ(lists_.p[3].Amplitude, 0.05);
  EXPECT_NEAR(lists_.p[3].Phase, kPi / 2, 1e-15);
  EXPECT_EQ(Find<QTableWidget>(editor_, "sgWaves")->rowCount(), 7);

  series_.reset();  // cancelled
  Click(editor_, "bbAutoGen");
  EXPECT_EQ(lists_.p.size(), 6u);
}

TEST_F(ToneEditor, AutoGenerateWindowLimitsStepsAndFactors) {
  TAutoGenForm form(InitialAutoGenerateParameters());
  EXPECT_EQ(form.windowTitle(), "Auto-Generate Waveform Set");
  Enter(form, "ersFreqStart", "1000");
  Enter(form, "ersFreqLimit", "0.01");  // below the range
  Enter(form, "ersFreqStep", "5000");   // a factor: at most 1000
  Enter(form, "ersMaxComponents", "5000");
  Find<QAbstractButton>(form, "cbExactBins")->click();
  Enter(form, "ersFftSize", "100");
  AutoGenerateParameters p = form.Parameters();
  EXPECT_EQ(p.frequency.start, 1000.0);
  EXPECT_EQ(p.frequency.limit, 0.1);
  EXPECT_TRUE(p.frequency.multiply);
  EXPECT_EQ(p.frequency.step, 1000.0);
  EXPECT_EQ(p.max_components, 1024);
  EXPECT_TRUE(p.exact_bins);
  EXPECT_EQ(p.fft_size, 256);

  Click(form, "rbFreqStep");  // a step may be as large as 100000
  Enter(form, "ersFreqStep", "5000");
  Click(form, "rbPhaseMult");
  Enter(form, "ersPhaseStep", "-500");
  p = form.Parameters();
  EXPECT_FALSE(p.frequency.multiply);
  EXPECT_EQ(p.frequency.step, 5000.0);
  EXPECT_TRUE(p.phase.multiply);
  EXPECT_EQ(p.phase.step, -100.0);
}

TEST_F(ToneEditor, WaveSetFilesReadBackAndReportFailures) {
  AddComponent(lists_.p, ToneKind::kSquare, 0.25, 1.0, 0.125, 3000.0, kRate);
  editor_.Refresh();
  dialogs_.next_file = folder_ / "set.qmw";
  Click(editor_, "bbSave");
  ASSERT_EQ(dialogs_.file_questions.size(), 1u);
  EXPECT_EQ(dialogs_.file_questions[0].title, "Save WaveSet File");
  EXPECT_EQ(dialogs_.file_questions[0].filter, "Quenmar Instr. Wave Set (*.qmw) files| *.qmw");
  const auto read = ParseToneSetText(folder_.Read("set.qmw"), kRate);
  ASSERT_TRUE(read);
  ASSERT_EQ(read->size(), 2u);
  EXPECT_EQ((*read)[1].Kind, 1);
  EXPECT_EQ((*read)[1].Frequency, 3000.0);
  EXPECT_EQ((*read)[1].Amplitude, 0.125);
  EXPECT_EQ((*read)[1].Phase, 1.0);
  EXPECT_EQ((*read)[1].Duty, 0.25);

  WavCompEdit editor2(lists_, 2, kRate, Hooks());
  Click(editor2, "bbLoad");
  EXPECT_EQ(dialogs_.file_questions.back().title, "Load Wave Set File");
  EXPECT_EQ(Frequencies(lists_.q), (std::vector<double>{1000, 3000}));
  EXPECT_NEAR(lists_.q[1].Omega, 2 * kPi * 3000 / kRate, 1e-15);
  EXPECT_EQ(Find<QTableWidget>(editor2, "sgWaves")->rowCount(), 3);

  dialogs_.next_file = folder_ / "missing.qmw";
  Click(editor2, "bbLoad");
  WriteFileAtomically(folder_ / "bad.qmw", "3\r\n0\r\n1000\r\n");
  dialogs_.next_file = folder_ / "bad.qmw";
  Click(editor2, "bbLoad");
  EXPECT_EQ(dialogs_.messages,
            (std::vector<std::string>{
                "File: \r" + (folder_ / "missing.qmw").string() + "\rwas not found!",
                "Could not load file!"}));
  EXPECT_EQ(lists_.q.size(), 2u);

  // A sum above 1 is refused before a file is asked for.
  lists_.p[0].Amplitude = 1.0;
  editor_.Refresh();
  const std::size_t asked = dialogs_.file_questions.size();
  Click(editor_, "bbSave");
  EXPECT_EQ(dialogs_.file_questions.size(), asked);
  EXPECT_EQ(dialogs_.messages.back(),
            "Sum of amplitudes cannot exceed 1! -- Please adjust amplitudes");
  EXPECT_EQ(peak_questions_, 1);
}

// A 3000 Hz sine in list Q and a 1000 Hz sine in list P: the mono file of the second editor holds
// list Q, the stereo file both; samples are scaled so that the loudest is at full scale.
TEST_F(ToneEditor, MakesWavFilesOfTheLists) {
  lists_.q[0].Frequency = 3000;
  WavCompEdit editor2(lists_, 2, kRate, Hooks());
  wav_choice_ = WavSaveChoice{.bits = 16, .stereo = false, .samples = 64};
  dialogs_.next_file = folder_ / "mono.wav";
  Click(editor2, "bbMakeWav");
  ASSERT_EQ(wav_questions_.size(), 1u);
  EXPECT_TRUE(wav_questions_[0].generating);
  EXPECT_TRUE(wav_questions_[0].two_columns);
  EXPECT_EQ(wav_questions_[0].sample_rate, kRate);
  wav_choice_->stereo = true;
  dialogs_.next_file = folder_ / "stereo.wav";
  Click(editor2, "bbMakeWav");
  EXPECT_TRUE(dialogs_.messages.empty());

  const auto load = [&](const char* name) {
    TDataMeas record;
    CollectedMessages messages;
    EXPECT_TRUE(LoadWavData(folder_ / name, record, FileContext{}, messages)) << name;
    return record;
  };
  const TDataMeas mono = load("mono.wav");
  const TDataMeas stereo = load("stereo.wav");
  ASSERT_EQ(mono.FNumFields, 1);
  ASSERT_EQ(stereo.FNumFields, 2);
  ASSERT_EQ(mono.FNumPoints, 64);
  const auto& m = mono.FFields[0].Values;
  const auto& left = stereo.FFields[0].Values;
  const auto& right = stereo.FFields[1].Values;
  for (const std::size_t n : {0u, 1u, 5u, 37u}) {
    const long double t = 2.0L * std::numbers::pi_v<long double> * n / kRate;
    const double q = static_cast<double>(std::cos(3000.0L * t));
    EXPECT_NEAR(m[n] / m[0], q, 1e-4) << n;
    EXPECT_NEAR(right[n] / right[0], q, 1e-4) << n;
    EXPECT_NEAR(left[n] / left[0], static_cast<double>(std::cos(1000.0L * t)), 1e-4) << n;
  }

  dialogs_.next_file = folder_ / "tones.txt";
  Click(editor2, "bbMakeWav");
  EXPECT_EQ(dialogs_.messages, std::vector<std::string>{"The file name must end in \".wav\""});
  EXPECT_FALSE(std::filesystem::exists(folder_ / "tones.txt"));
}

class StepEditor : public ::testing::Test {
 protected:
  SweepStimEditHooks Hooks() {
    SweepStimEditHooks hooks;
    hooks.changed = [this] { ++changes_; };
    hooks.choose_file = [this](QWidget*, const FileQuestion& q) { return dialogs_.ChooseFile(q); };
    hooks.show_message = [this](QWidget*, const std::string& t) { dialogs_.messages.push_back(t); };
    return hooks;
  }

  TestApplication app_;
  TempFolder folder_;
  SteppedToneSettings settings_;
  Dialogs dialogs_;
  int changes_ = 0;
  SweepStimEdit editor_{settings_, 1, Hooks()};
};

TEST_F(StepEditor, FieldsReachTheSettingsOnDoneWithinTheirLimits) {
  EXPECT_EQ(editor_.windowTitle(), "=vireon= SteppedToneEditor");
  editor_.Open();
  Enter(editor_, "ersFreqStart", "0.01");
  Enter(editor_, "ersFreqStop", "1000");
  Click(editor_, "rbFreqLin");
  Enter(editor_, "ersLevelStart", "2");
  Enter(editor_, "ersLevelStop", "0");
  Enter(editor_, "ersSteps", "5000");
  Click(editor_, "bbAddTone");
  Enter(editor_, "ersFreqStart", "500");
  Click(editor_, "rbLevelLin");
  EXPECT_EQ(settings_.channel1.size(), 1u);  // nothing before Done
  EXPECT_EQ(settings_.steps, 100);

  Click(editor_, "bbDone");
  EXPECT_TRUE(editor_.isHidden());
  EXPECT_EQ(changes_, 1);
  ASSERT_EQ(settings_.channel1.size(), 2u);
  const TStepFSpec& first = settings_.channel1[0];
  EXPECT_EQ(first.FreqStart, 0.1);
  EXPECT_EQ(first.FreqStop, 1000.0);
  EXPECT_EQ(first.LogFreq, 0);
  EXPECT_EQ(first.LevelStart, 1.0);
  EXPECT_EQ(first.LevelStop, 0.000001);
  EXPECT_EQ(first.LogLevel, 1);
  const TStepFSpec& second = settings_.channel1[1];
  EXPECT_EQ(second.FreqStart, 500.0);
  EXPECT_EQ(second.FreqStop, 20000.0);
  EXPECT_EQ(second.LogFreq, 1);
  EXPECT_EQ(second.LogLevel, 0);
  EXPECT_EQ(settings_.steps, 1000);
  EXPECT_EQ(settings_.channel2.size(), 1u);
  EXPECT_EQ(settings_.channel2[0].FreqStart, 20.0);

  // Back to the first tone, delete it; Cancel drops that.
  editor_.Open();
  Enter(editor_, "ersToneNum", "1");
  EXPECT_EQ(Find<TEditRealSpin>(editor_, "ersFreqStart")->RealValue(), 0.1);
  Click(editor_, "bbDeleteTone");
  EXPECT_EQ(Find<TEditRealSpin>(editor_, "ersFreqStart")->RealValue(), 500.0);
  EXPECT_FALSE(Find<QAbstractButton>(editor_, "bbDeleteTone")->isEnabled());  // one left
  Click(editor_, "bbCancel");
  EXPECT_EQ(settings_.channel1.size(), 2u);
  EXPECT_EQ(changes_, 1);
}

TEST_F(StepEditor, SecondChannelEditsItsOwnTable) {
  SweepStimEdit editor(settings_, 2, Hooks());
  editor.Open();
  Enter(editor, "ersFreqStop", "8000");
  Click(editor, "bbDone");
  EXPECT_EQ(settings_.channel2[0].FreqStop, 8000.0);
  EXPECT_EQ(settings_.channel1[0].FreqStop, 20000.0);
}

TEST_F(StepEditor, ListFileIsSelectedOrCreatedAndReadsBack) {
  editor_.Open();
  Click(editor_, "rbUseListFile");
  dialogs_.next_file = folder_ / "chosen.qfl";
  Click(editor_, "bbSelectListFile");
  EXPECT_EQ(dialogs_.file_questions.at(0).filter, "frequency stimulus list (*.qfl)|*.qfl");
  EXPECT_EQ(Find<QLabel>(editor_, "lbListFile")->text().toStdString(),
            (folder_ / "chosen.qfl").string());

  Click(editor_, "bbNewListFile");
  auto* list_editor = editor_.findChild<ListFileEditor*>();
  ASSERT_NE(list_editor, nullptr);
  EXPECT_EQ(list_editor->windowTitle(), "List File Editor");
  Find<QLineEdit>(*list_editor, "edFormat")->setText("FA/F");
  auto* steps = Find<QPlainTextEdit>(*list_editor, "meSteps");
  steps->setPlainText("1000 0.25 0 3000\noops\n");
  EXPECT_TRUE(Find<QLabel>(*list_editor, "lbCheck")->text().startsWith("1 steps"));
  dialogs_.next_file = folder_ / "made.qfl";
  Click(*list_editor, "bbSave");  // the second step would end the steps: refused
  EXPECT_FALSE(std::filesystem::exists(folder_ / "made.qfl"));
  ASSERT_EQ(dialogs_.messages.size(), 1u);

  // "/" takes the place of a number of its own.
  steps->setPlainText("1000 0.25 0 3000\n2000 0.5 0 4000\n");
  Click(*list_editor, "bbSave");
  StepListFile file(folder_.Read("made.qfl"));
  const auto first = file.NextLine(kRate);
  ASSERT_TRUE(first);
  EXPECT_EQ(Frequencies(first->p), std::vector<double>{1000});
  EXPECT_EQ(first->p[0].Amplitude, 0.25);
  EXPECT_EQ(Frequencies(first->q), std::vector<double>{3000});
  ASSERT_TRUE(file.NextLine(kRate));
  EXPECT_FALSE(file.NextLine(kRate));

  Click(editor_, "bbDone");
  EXPECT_FALSE(settings_.use_spec);
  EXPECT_EQ(settings_.list_file_name, (folder_ / "made.qfl").string());

  // Editing the saved file shows its format and steps again.
  editor_.Open();
  Find<QPlainTextEdit>(*list_editor, "meSteps")->clear();
  Click(editor_, "bbEditListFile");
  EXPECT_EQ(Find<QLineEdit>(*list_editor, "edFormat")->text(), "FA/F");
  EXPECT_EQ(steps->toPlainText(), "1000 0.25 0 3000\n2000 0.5 0 4000\n");
}

}  // namespace
}  // namespace vireon
