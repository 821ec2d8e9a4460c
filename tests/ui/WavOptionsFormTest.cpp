// The WAV save options window: preselections, texts, the duration readout and the choice.

#include "files/ui/TWavFileOptionsForm.h"

#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QApplication>
#include <QButtonGroup>
#include <QGroupBox>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QSpinBox>
#include <QTimer>

#include "UiTestSupport.h"
#include "plot/ui/TEditRealSpin.h"

namespace vireon {
namespace {

class WavOptionsForm : public ::testing::Test {
 protected:
  static QString CheckedBitsText(const QWidget& form) {
    for (const QRadioButton* button :
         Find<QGroupBox>(form, "rgBits")->findChildren<QRadioButton*>()) {
      if (button->isChecked()) return button->text();
    }
    return {};
  }

  static void ClickBits(const QWidget& form, const QString& text) {
    for (QRadioButton* button : Find<QGroupBox>(form, "rgBits")->findChildren<QRadioButton*>()) {
      if (button->text() == text) button->click();
    }
  }

  TestApplication app_;
};

TEST_F(WavOptionsForm, BitResolutionPreselectionFollowsTheRecording) {
  struct Case {
    int recorded_bits;
    const char* item;
  };
  for (const Case& c :
       {Case{8, "8 bit"}, Case{12, "16 bit"}, Case{16, "16 bit"}, Case{20, "16 bit"},
        Case{24, "24 bit"}, Case{32, "32 bit"}, Case{64, "32 bit"}, Case{0, "8 bit"}}) {
    SCOPED_TRACE(c.recorded_bits);
    const TWavFileOptionsForm form({.recorded_bits = c.recorded_bits});
    EXPECT_EQ(CheckedBitsText(form), c.item);
  }
}

TEST_F(WavOptionsForm, HeaderSaysWhatIsSaved) {
  const TWavFileOptionsForm data({.sample_rate = 44100, .recorded_bits = 24});
  EXPECT_EQ(data.windowTitle(), "vireon:  WAV file save options");
  EXPECT_EQ(Find<QLabel>(data, "lbHeader")->text(),
            " Sample Rate of data is 44100 samples/second\n Recorded bit resolution is 24");
  EXPECT_TRUE(Find<QWidget>(data, "gbGenerate")->isHidden());

  const TWavFileOptionsForm generation({.sample_rate = 48000, .generating = true});
  EXPECT_EQ(Find<QLabel>(generation, "lbHeader")->text(), " SampleRate is 48000 samples/second");
  EXPECT_FALSE(Find<QWidget>(generation, "gbGenerate")->isHidden());
}

TEST_F(WavOptionsForm, DurationFollowsEverySampleCountChange) {
  const TWavFileOptionsForm form({.sample_rate = 44100, .generating = true});
  auto* samples = Find<QSpinBox>(form, "seSamples");
  const auto* duration = Find<QLabel>(form, "lbDuration");
  EXPECT_EQ(samples->value(), 4096);
  EXPECT_EQ(duration->text(), " = 92.88msec");  // 4096 / 44100 = 0.0928798 s
  samples->setValue(22050);
  EXPECT_EQ(duration->text(), " = 500msec");
  samples->setValue(99);  // below the range: 100 samples, 2.26757 ms
  EXPECT_EQ(duration->text(), " = 2.268msec");
  samples->setValue(30000000);  // above the range: 26460000 samples
  EXPECT_EQ(duration->text(), " = 600sec");
}

TEST_F(WavOptionsForm, ChannelChoiceOnlyForTwoColumns) {
  const TWavFileOptionsForm one_column({.two_columns = false});
  EXPECT_TRUE(Find<QGroupBox>(one_column, "gbChannels")->isHidden());
  const TWavFileOptionsForm two_columns({.two_columns = true});
  EXPECT_FALSE(Find<QGroupBox>(two_columns, "gbChannels")->isHidden());
  EXPECT_TRUE(Find<QRadioButton>(two_columns, "rbStereo")->isChecked());
  EXPECT_EQ(Find<QRadioButton>(two_columns, "rbMono")->text(), "Make Mono (1ch) File");
  EXPECT_EQ(Find<QRadioButton>(two_columns, "rbStereo")->text(), "Make Stereo (2ch)  File");
}

TEST_F(WavOptionsForm, OkReturnsWhatWasSetIncludingALevelTypedWithoutEnter) {
  TWavFileOptionsForm form(
      {.recorded_bits = 16, .generating = true, .two_columns = true, .level_db = -3});
  EXPECT_EQ(Find<TEditRealSpin>(form, "edLevel")->RealValue(), -3);
  ClickBits(form, "24 bit");
  Find<QRadioButton>(form, "rbMono")->click();
  Find<QSpinBox>(form, "seSamples")->setValue(1000);
  Find<TEditRealSpin>(form, "edLevel")->Edit()->setText("-6");
  Find<QPushButton>(form, "bbOk")->click();

  EXPECT_EQ(form.result(), QDialog::Accepted);
  const WavSaveChoice choice = form.Choice();
  EXPECT_EQ(choice.bits, 24);
  EXPECT_FALSE(choice.stereo);
  EXPECT_EQ(choice.level_db, -6);
  EXPECT_EQ(choice.samples, 1000);
}

TEST_F(WavOptionsForm, LevelStaysWithinMinus70AndPlus10Decibels) {
  for (const double initial : {-100.0, 25.0}) {
    const TWavFileOptionsForm form({.level_db = initial});
    EXPECT_EQ(form.Choice().level_db, initial < 0 ? -70 : 10);
  }
  TWavFileOptionsForm form(WavSaveQuestion{});
  Find<TEditRealSpin>(form, "edLevel")->Edit()->setText("40");
  Find<QPushButton>(form, "bbOk")->click();
  EXPECT_EQ(form.Choice().level_db, 10);
}

TEST_F(WavOptionsForm, AskGivesTheChoiceOnOkAndNoneOnCancel) {
  const auto answer_with = [](const char* button) {
    QTimer::singleShot(0, [button] {
      QWidget* dialog = QApplication::activeModalWidget();
      ASSERT_NE(dialog, nullptr);
      dialog->findChild<QPushButton*>(button)->click();
    });
  };
  answer_with("bbCancel");
  EXPECT_FALSE(AskWavSaveOptions(nullptr, {.recorded_bits = 32}).has_value());
  answer_with("bbOk");
  const std::optional<WavSaveChoice> choice = AskWavSaveOptions(nullptr, {.recorded_bits = 32});
  ASSERT_TRUE(choice.has_value());
  EXPECT_EQ(choice->bits, 32);
  EXPECT_TRUE(choice->stereo);
}

}  // namespace
}  // namespace vireon
