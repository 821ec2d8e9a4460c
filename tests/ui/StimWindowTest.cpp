// The stimulus window and the wavelet burst window: panels per stimulus, edits reaching the
// settings within their ranges, the WAV file lines, saving the chirp, and the editor hooks.

#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QKeyEvent>
#include <QLabel>
#include <QLayout>
#include <QPushButton>
#include <QRadioButton>
#include <cmath>
#include <numbers>
#include <string>
#include <vector>

#include "../support/TempFolder.h"
#include "UiTestSupport.h"
#include "files/WavFile.h"
#include "files/WavFileWrite.h"
#include "plot/ui/TEditRealSpin.h"
#include "record/DataTypes.h"
#include "stimulus/ui/TCfgStimForm.h"
#include "stimulus/ui/TWaveletBurstForm.h"

namespace vireon {
namespace {

// The panels in the window's top-to-bottom order.
const std::vector<std::string> kPanelNames = {
    "bbEditSteps1",   "bbEditSteps2",  "bbEditTones1",     "bbEditTones2", "gbMLSLength",
    "gbWaveFile",     "gbEnvelope",    "gbEnvelopeLength", "gbChirp",      "cbInvertAlternate",
    "gbInterSilence", "bbEditWavelet", "bbSaveWav",        "pnChirpLPF"};

class StimWindow : public ::testing::Test {
 protected:
  StimFormHooks Hooks() {
    StimFormHooks hooks;
    hooks.changed = [this] { ++changes_; };
    hooks.edit_steps = [this](int channel) {
      opened_.push_back("steps" + std::to_string(channel));
    };
    hooks.edit_tones = [this](int channel) {
      opened_.push_back("tones" + std::to_string(channel));
    };
    hooks.measuring = [this] { return measuring_; };
    hooks.stop = [this] { ++stops_; };
    hooks.build_mls_tables = [this](int order) {
      built_orders_.push_back(order);
      return tables_available_;
    };
    hooks.choose_file = [this](QWidget*, const FileQuestion& question) {
      file_questions_.push_back(question);
      return next_file_;
    };
    hooks.ask_wav_options = [this](QWidget*, const WavSaveQuestion& question) {
      wav_questions_.push_back(question);
      return wav_choice_;
    };
    hooks.show_message = [this](QWidget*, const std::string& text) { messages_.push_back(text); };
    return hooks;
  }

  // Types an entry into a numeric field and takes it, as Enter does.
  static void Enter(const QWidget& window, const char* name, const char* text) {
    TEditRealSpin* spin = Find<TEditRealSpin>(window, name);
    ASSERT_NE(spin, nullptr);
    spin->Edit()->setText(text);
    spin->AcceptEntry();
  }
  void Enter(const char* name, const char* text) { Enter(form_, name, text); }
  double Shown(const char* name) { return Find<TEditRealSpin>(form_, name)->RealValue(); }
  void Click(const char* name) { Find<QAbstractButton>(form_, name)->click(); }
  QString Text(const char* name) { return Find<QLabel>(form_, name)->text(); }

  std::vector<std::string> ShownPanels() {
    std::vector<std::string> shown;
    for (const std::string& name : kPanelNames) {
      if (!Find<QWidget>(form_, name.c_str())->isHidden()) shown.push_back(name);
    }
    return shown;
  }

  TestApplication app_;
  TempFolder folder_;
  StimulusSettings settings_;
  int changes_ = 0;
  int stops_ = 0;
  bool measuring_ = false;
  bool tables_available_ = true;
  std::vector<std::string> opened_;
  std::vector<int> built_orders_;
  std::vector<FileQuestion> file_questions_;
  std::optional<std::filesystem::path> next_file_;
  std::vector<WavSaveQuestion> wav_questions_;
  std::optional<WavSaveChoice> wav_choice_;
  std::vector<std::string> messages_;
  TCfgStimForm form_{settings_, Hooks()};
};

TEST_F(StimWindow, ShowsOnlyThePanelsOfTheStimulusTopToBottom) {
  EXPECT_EQ(form_.windowTitle(), "Stimulus Configuration");
  EXPECT_TRUE(form_.windowFlags().testFlag(Qt::Tool));
  struct Case {
    int stim_code;
    int acq_type;
    int play_bits;
    const char* title;
    std::vector<std::string> panels;
  };
  const std::vector<Case> cases = {
      {0,
       kAcqHarmonicDistortion,
       24,
       "Chirp (ReSync)",
       {"gbChirp", "cbInvertAlternate", "bbSaveWav", "pnChirpLPF"}},
      {17, kAcqFreqRespMagPhase, 16, "Chirp (synchronous)", {"gbChirp", "bbSaveWav"}},
      {1, 0, 24, "MLS (ReSync)", {"gbMLSLength"}},
      {5, 0, 24, "MLS/Pink(synchronous)", {"gbMLSLength", "cbInvertAlternate"}},
      {6,
       0,
       24,
       "Fixed Tones (synchronous)",
       {"bbEditTones1", "gbEnvelope", "gbEnvelopeLength", "cbInvertAlternate", "gbInterSilence"}},
      {8, 0, 24, "Fixed Tones (2ch asynch)", {"bbEditTones1", "bbEditTones2"}},
      {9, kAcqImpedance, 24, "Stepped Tones(synchronous)", {"bbEditSteps1", "gbInterSilence"}},
      {11, 0, 24, "Stepped Tones(2ch asynch)", {"bbEditSteps1", "bbEditSteps2"}},
      {12, 0, 24, "WAV File (synch)", {"gbWaveFile", "cbInvertAlternate", "gbInterSilence"}},
      {16,
       0,
       24,
       "WaveletBurst(synchronous)",
       {"cbInvertAlternate", "gbInterSilence", "bbEditWavelet"}},
      {99, 0, 24, "None", {}},
  };
  form_.show();
  for (const Case& c : cases) {
    SCOPED_TRACE(c.title);
    form_.ShowFor({.stim_code = c.stim_code, .acq_type = c.acq_type, .play_bits = c.play_bits});
    EXPECT_EQ(Find<QPushButton>(form_, "bbTitle")->text(), c.title);
    EXPECT_EQ(ShownPanels(), c.panels);
    form_.layout()->activate();
    int previous_bottom = -1;
    for (const std::string& name : c.panels) {
      const QRect place = Find<QWidget>(form_, name.c_str())->geometry();
      EXPECT_GE(place.top(), previous_bottom) << name;
      previous_bottom = place.bottom();
    }
  }
}

TEST_F(StimWindow, MlsLengthIsAPowerOfTwoWithinTheTables) {
  struct Case {
    const char* entry;
    int length;
  };
  // Nearest power of two on a log scale; the first entry keeps the length, so builds nothing.
  for (const Case& c : {Case{"5000", 4096}, Case{"6000", 8192}, Case{"1000000", 262144},
                        Case{"100", 4096}, Case{"40000", 32768}}) {
    SCOPED_TRACE(c.entry);
    Enter("ersMLSLength", c.entry);
    EXPECT_EQ(settings_.mls_length, c.length);
    EXPECT_EQ(Shown("ersMLSLength"), c.length);
  }
  EXPECT_EQ(built_orders_, (std::vector<int>{13, 18, 12, 15}));
  EXPECT_EQ(changes_, 5);
  EXPECT_TRUE(messages_.empty());

  // Tables that cannot be had fall back to the shortest sequence.
  tables_available_ = false;
  Enter("ersMLSLength", "65536");
  EXPECT_EQ(messages_,
            (std::vector<std::string>{"Couldn't Generate Permutation Table for that MLS size"}));
  EXPECT_EQ(settings_.mls_length, 4096);
  EXPECT_EQ(Shown("ersMLSLength"), 4096);
}

TEST_F(StimWindow, ChirpFieldsStayWithinTheirRangesAndTheSampleRates) {
  form_.ShowFor({.stim_code = 0, .acq_type = 0, .play_rate = 48000, .record_rate = 44100});
  struct Case {
    const char* field;
    const char* entry;
    double ChirpSettings::*setting;
    double expected;
  };
  for (const Case& c :
       {Case{"ersChirpStop", "30000", &ChirpSettings::stop_hz, 22050},
        Case{"ersChirpStop", "0.5", &ChirpSettings::stop_hz, 1},
        Case{"ersChirpStart", "0.001", &ChirpSettings::start_hz, 0.01},
        Case{"ersChirpStart", "500", &ChirpSettings::start_hz, 500},
        Case{"ersChirpTime", "100", &ChirpSettings::time_length_s, 20},
        Case{"ersChirpTime", "0.001", &ChirpSettings::time_length_s, 0.005},
        Case{"ersChirpLPFfreq", "300k", &ChirpSettings::output2_lowpass_hz, 200000}}) {
    SCOPED_TRACE(std::string(c.field) + " " + c.entry);
    Enter(c.field, c.entry);
    EXPECT_DOUBLE_EQ(settings_.chirp.*c.setting, c.expected);
  }
  // The stop limit follows the rates the window is shown for.
  form_.ShowFor({.stim_code = 0, .acq_type = 0, .play_rate = 192000, .record_rate = 192000});
  Enter("ersChirpStop", "200000");
  EXPECT_DOUBLE_EQ(settings_.chirp.stop_hz, 96000);

  Click("rbChirpLin");
  EXPECT_TRUE(settings_.chirp.linear_sweep);
  Click("rbChirpLog");
  EXPECT_FALSE(settings_.chirp.linear_sweep);
  Click("cbChirpLPF");
  EXPECT_TRUE(settings_.chirp.output2_lowpass);
  EXPECT_EQ(changes_, 11);
}

TEST_F(StimWindow, ResponseAcquisitionsShowTheFixedChirpLimits) {
  const QString hint = "Chirp freq limits cannot be selected for Impulse or Frequency Response";
  form_.ShowFor({.stim_code = 0, .acq_type = kAcqFreqRespMagPhase});
  EXPECT_TRUE(Find<QWidget>(form_, "ersChirpStart")->isHidden());
  EXPECT_TRUE(Find<QWidget>(form_, "ersChirpStop")->isHidden());
  EXPECT_FALSE(Find<QWidget>(form_, "lbChirpStartFixed")->isHidden());
  EXPECT_EQ(Text("lbChirpStartFixed"), "   ( 0 [Hz] )");
  EXPECT_EQ(Text("lbChirpStopFixed"), " ( Fs/2 [Hz] )");
  EXPECT_EQ(Find<QWidget>(form_, "gbChirp")->toolTip(), hint);

  form_.ShowFor({.stim_code = 17, .acq_type = 0});
  EXPECT_FALSE(Find<QWidget>(form_, "ersChirpStart")->isHidden());
  EXPECT_TRUE(Find<QWidget>(form_, "lbChirpStopFixed")->isHidden());
  EXPECT_TRUE(Find<QWidget>(form_, "gbChirp")->toolTip().isEmpty());
}

TEST_F(StimWindow, ToneAndSilenceFieldsReachTheSettings) {
  QComboBox* envelope = Find<QComboBox>(form_, "cbEnvelopeType");
  ASSERT_EQ(envelope->count(), 4);
  EXPECT_EQ(envelope->itemText(2), "Cosine Squared");
  envelope->setCurrentIndex(2);
  emit envelope->activated(2);
  EXPECT_EQ(settings_.envelope.kind, 2);

  Enter("ersEnvelopeLength", "0");
  EXPECT_EQ(settings_.envelope.length, 1);
  Enter("ersEnvelopeLength", "250000");
  EXPECT_EQ(settings_.envelope.length, 100000);
  Enter("ersInterSilence", "0");
  EXPECT_DOUBLE_EQ(settings_.inter_silence_s, 0.00005);
  Enter("ersInterSilence", "10");
  EXPECT_DOUBLE_EQ(settings_.inter_silence_s, 8);
  Click("cbInvertAlternate");
  EXPECT_TRUE(settings_.invert_alternate);
  EXPECT_EQ(changes_, 6);
}

TEST_F(StimWindow, EditorButtonsCallTheMainWindowWithTheirChannel) {
  for (const char* name : {"bbEditSteps2", "bbEditSteps1", "bbEditTones1", "bbEditTones2"}) {
    Click(name);
  }
  EXPECT_EQ(opened_, (std::vector<std::string>{"steps2", "steps1", "tones1", "tones2"}));

  StimulusSettings settings;
  const TCfgStimForm without_editors(settings, StimFormHooks{});
  for (const char* name : {"bbEditSteps1", "bbEditSteps2", "bbEditTones1", "bbEditTones2"}) {
    EXPECT_FALSE(Find<QPushButton>(without_editors, name)->isEnabled()) << name;
  }
}

TEST_F(StimWindow, WaveFileLinesDescribeTheLoadedFile) {
  struct Case {
    const char* name;
    int rate;
    int columns;
    int points;
    int bits;
    const char* format;
  };
  for (const Case& c :
       {Case{"music.wav", 48000, 2, 24000, 16, "16 bits stereo at 48000Hz 2ch (0.5 sec)"},
        Case{"voice.wav", 44100, 1, 11025, 24, "24 bits mono at 44100Hz 1ch (0.25 sec)"}}) {
    SCOPED_TRACE(c.name);
    TDataMeas record;
    record.FDataType = kTimeDomain;
    record.FSampleRate = c.rate;
    record.FNumFields = c.columns;
    record.FNumPoints = c.points;
    for (int column = 0; column < c.columns; ++column) {
      record.FFields[static_cast<std::size_t>(column)].Values.assign(c.points, 0.25);
    }
    CollectedMessages messages;
    ASSERT_TRUE(SaveWavData(folder_ / c.name, record, c.bits, 1.0, WavChannelChoice::kColumn0, true,
                            messages));
    next_file_ = folder_ / c.name;
    Click("bbLoadWave");
    EXPECT_EQ(settings_.wav_file_name, (folder_ / c.name).string());
    EXPECT_EQ(Text("lbWaveFileName"), c.name);
    EXPECT_EQ(Text("lbWaveFileInfo"), c.format);
  }
  EXPECT_EQ(file_questions_.back().filter, "WAV files ( *.wav)|*.wav");
  EXPECT_FALSE(file_questions_.back().save);

  // Cancelling keeps the file.
  next_file_.reset();
  Click("bbLoadWave");
  EXPECT_EQ(settings_.wav_file_name, (folder_ / "voice.wav").string());

  // A file that is no WAV file, and a missing one, give no description.
  WriteFileAtomically(folder_ / "notes.wav", "RIFF but not really");
  next_file_ = folder_ / "notes.wav";
  Click("bbLoadWave");
  EXPECT_EQ(Text("lbWaveFileName"), "<valid file not specified>");
  EXPECT_EQ(Text("lbWaveFileInfo"), "-----------");
  settings_.wav_file_name = (folder_ / "missing.wav").string();
  form_.Refresh();
  EXPECT_EQ(Text("lbWaveFileName"), "<valid file not specified>");
  EXPECT_EQ(changes_, 3);
}

// The chirp of start = stop = 1000 Hz sweeps 1000 to 1010 Hz over N = 480 samples (10 ms at
// 48 kHz); the file holds it scaled so that its loudest sample is at full scale, then silence.
TEST_F(StimWindow, SavesTheCurrentChirpAsAWavFile) {
  settings_.chirp = {.start_hz = 1000, .stop_hz = 1000, .time_length_s = 0.01};
  form_.ShowFor({.stim_code = 17, .acq_type = 0, .play_rate = 48000, .record_rate = 48000});
  wav_choice_ = WavSaveChoice{.bits = 24, .stereo = false, .samples = 600};
  next_file_ = folder_ / "chirp.wav";
  Click("bbSaveWav");
  ASSERT_EQ(wav_questions_.size(), 1u);
  EXPECT_TRUE(wav_questions_[0].generating);
  EXPECT_EQ(wav_questions_[0].sample_rate, 48000);
  EXPECT_TRUE(file_questions_.at(0).save);
  EXPECT_TRUE(messages_.empty());

  TDataMeas saved;
  CollectedMessages messages;
  ASSERT_TRUE(LoadWavData(folder_ / "chirp.wav", saved, FileContext{}, messages));
  ASSERT_EQ(saved.FNumPoints, 600);
  EXPECT_EQ(saved.FSampleRate, 48000);

  std::vector<long double> expected;
  const long double two_pi = 2.0L * std::numbers::pi_v<long double>;
  long double phase = 0.0L;
  long double step = two_pi * 1000.0L / 48000.0L;
  const long double ratio = std::pow(1010.0L / 1000.0L, 1.0L / 480.0L);
  long double peak = 0.0L;
  for (int k = 0; k < 480; ++k) {
    expected.push_back(std::sin(phase));
    peak = std::max(peak, std::fabs(expected.back()));
    phase += step;
    step *= ratio;
  }
  const DataArray& values = saved.FFields[0].Values;
  for (int k = 0; k < 600; ++k) {
    const double want = k < 480 ? static_cast<double>(expected[k] / peak) : 0.0;
    ASSERT_NEAR(values[k], want, 2e-6) << k;
  }

  // A save that cannot be written says so.
  next_file_ = folder_ / "no such folder" / "chirp.wav";
  Click("bbSaveWav");
  EXPECT_EQ(messages_, (std::vector<std::string>{"Error saving file!"}));
  // Cancelling the options asks for no file.
  wav_choice_.reset();
  Click("bbSaveWav");
  EXPECT_EQ(file_questions_.size(), 2u);
}

TEST_F(StimWindow, EscapeStopsARunningMeasurementOnly) {
  QKeyEvent escape(QEvent::KeyPress, Qt::Key_Escape, Qt::NoModifier);
  QApplication::sendEvent(&form_, &escape);
  EXPECT_EQ(stops_, 0);
  measuring_ = true;
  QApplication::sendEvent(&form_, &escape);
  EXPECT_EQ(stops_, 1);
}

TEST_F(StimWindow, RefreshRereadsTheSettings) {
  settings_.mls_length = 16384;
  settings_.envelope = {.kind = 1, .length = 480};
  settings_.chirp.linear_sweep = true;
  settings_.chirp.start_hz = 30;
  settings_.invert_alternate = true;
  settings_.inter_silence_s = 0.5;
  form_.Refresh();
  EXPECT_EQ(Shown("ersMLSLength"), 16384);
  EXPECT_EQ(Find<QComboBox>(form_, "cbEnvelopeType")->currentText(), "Raised Cosine");
  EXPECT_EQ(Shown("ersEnvelopeLength"), 480);
  EXPECT_TRUE(Find<QRadioButton>(form_, "rbChirpLin")->isChecked());
  EXPECT_EQ(Shown("ersChirpStart"), 30);
  EXPECT_TRUE(Find<QCheckBox>(form_, "cbInvertAlternate")->isChecked());
  EXPECT_EQ(Shown("ersInterSilence"), 0.5);
  EXPECT_EQ(changes_, 0);
}

TEST_F(StimWindow, WaveletWindowEditsTheBurst) {
  Click("bbEditWavelet");
  TWaveletBurstForm* wavelet = form_.findChild<TWaveletBurstForm*>();
  ASSERT_NE(wavelet, nullptr);
  EXPECT_TRUE(wavelet->isVisible());
  EXPECT_EQ(wavelet->windowTitle(), "Wavelet Burst Stimulus");

  QComboBox* shape = Find<QComboBox>(*wavelet, "cbWaveletWindow");
  const QStringList names = {"none (CW)",       "raised cosine", "cos squared",
                             "Blackman-Harris", "Hodie5",        "Hodie7",
                             "FlatTop",         "Blackman",      "Hamming"};
  ASSERT_EQ(shape->count(), names.size());
  for (int i = 0; i < shape->count(); ++i) EXPECT_EQ(shape->itemText(i), names[i]);
  EXPECT_EQ(shape->currentIndex(), 3);  // the default window
  shape->setCurrentIndex(6);
  emit shape->activated(6);
  EXPECT_EQ(settings_.wavelet.window, 6);

  struct Case {
    const char* field;
    const char* entry;
    double WaveletBurstSettings::*setting;
    double expected;
  };
  for (const Case& c :
       {Case{"ersWaveletCycles", "1", &WaveletBurstSettings::cycles, 2},
        Case{"ersWaveletCycles", "150", &WaveletBurstSettings::cycles, 100},
        Case{"ersWaveletCycles", "7.5", &WaveletBurstSettings::cycles, 7.5},
        Case{"ersSecondToneMult", "0.5", &WaveletBurstSettings::second_tone_multiple, 1},
        Case{"ersSecondToneMult", "2000", &WaveletBurstSettings::second_tone_multiple, 1000},
        Case{"ersSecondToneLevel", "-200", &WaveletBurstSettings::second_tone_db, -100},
        Case{"ersSecondToneLevel", "20", &WaveletBurstSettings::second_tone_db, 10}}) {
    SCOPED_TRACE(std::string(c.field) + " " + c.entry);
    Enter(*wavelet, c.field, c.entry);
    EXPECT_DOUBLE_EQ(settings_.wavelet.*c.setting, c.expected);
  }
  EXPECT_EQ(changes_, 8);

  // The stimulus window's refresh reaches the open wavelet window.
  settings_.wavelet.cycles = 12;
  form_.Refresh();
  EXPECT_EQ(Find<TEditRealSpin>(*wavelet, "ersWaveletCycles")->RealValue(), 12);
  Find<QPushButton>(*wavelet, "bbOK")->click();
  EXPECT_FALSE(wavelet->isVisible());
}

}  // namespace
}  // namespace vireon
