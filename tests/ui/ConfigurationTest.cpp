#include <gtest/gtest.h>

#include <QComboBox>
#include <QGuiApplication>
#include <QImage>
#include <QScreen>

#include <filesystem>
#include <string>
#include <utility>

#include "MainWindowFixture.h"
#include "common/DateTime.h"
#include "config/IniFile.h"
#include "files/FileIO_Data.h"
#include "measure/AcquisitionTypes.h"
#include "measure/ProgramLifecycle.h"
#include "stimulus/AcquisitionCompatibility.h"

namespace vireon {
namespace {

using ConfigurationWindow = MainWindowFixture;

// A second main window on the same data folder: the program started again.
struct Restart {
  Restart(TestFormContext context, const PlotFormContext& plots)
      : form(std::move(context)), primary({PlotRoleKind::Primary, 0}, plots) {
    form.SetPrimaryPlot(&primary, DefaultPlotRecord(plots.files.Defaults));
    form.show();
  }
  TTestForm form;
  TPlotForm primary;
};

bool Exists(const TempFolder& folder, std::string_view name) {
  return std::filesystem::exists(folder / name);
}

TEST_F(ConfigurationWindow, ShutdownSavesAsTheQueryIsAnswered) {
  struct Case {
    QueryAnswer answer;
    bool hardware_too;
    bool closes;
    bool software_saved;
    bool hardware_saved;
  };
  const Case cases[] = {
      {QueryAnswer::kCancel, true, false, false, false},
      {QueryAnswer::kNoToAll, true, true, false, false},
      {QueryAnswer::kNo, false, true, false, false},
      {QueryAnswer::kNo, true, true, false, true},
      {QueryAnswer::kYes, false, true, true, true},
  };
  for (const Case& c : cases) {
    for (const char* name : {"VireonFree.ini", "VireonFree.hdi", "VireonSaveData.vbu"}) {
      std::filesystem::remove(folder_ / name);
    }
    questions_.clear();
    save_answer_ = c.answer;
    yes_no_answer_ = c.hardware_too;
    form_.show();
    EXPECT_EQ(form_.close(), c.closes);
    EXPECT_EQ(questions_.front(), kSaveAtShutdownQuestion);
    EXPECT_EQ(Exists(folder_, "VireonFree.ini"), c.software_saved);
    EXPECT_EQ(Exists(folder_, "VireonFree.hdi"), c.hardware_saved);
    EXPECT_EQ(Exists(folder_, kBackupDataFileName), c.software_saved)
        << "Yes also keeps the primary plot's record";
  }

  // Without "Query for Save at shutdown" nothing is asked and nothing saved.
  MenuItem("QueryForSave")->trigger();
  EXPECT_FALSE(form_.Preferences().query_for_save_at_shutdown);
  std::filesystem::remove(folder_ / "VireonFree.ini");
  questions_.clear();
  form_.show();
  EXPECT_TRUE(form_.close());
  EXPECT_TRUE(questions_.empty());
  EXPECT_FALSE(Exists(folder_, "VireonFree.ini"));
}

// What a user changes in the windows is there again after a restart.
TEST_F(ConfigurationWindow, SettingsSurviveARestart) {
  form_.Station().Stimulus().chirp.time_length_s = 1.5;
  form_.Station().Timing().latency_48k_s = 0.08;
  int chosen = 1;
  while (!IsAcquisitionCompatible(form_.Controller().StimCode(), chosen)) ++chosen;
  Find<QComboBox>(form_, "cAcquisition")->setCurrentIndex(ItemOfAcqType(chosen));
  ASSERT_EQ(form_.Controller().AcqType(), chosen);
  MenuItem("DefaultsTrackChanges")->trigger();
  QComboBox* input2 = Find<QComboBox>(form_, "cbxInput2");
  input2->setCurrentIndex(3);  // "Mic 2"
  emit input2->activated(3);
  const double tomorrow = NowAsDateTime() + 1.0;
  auto_start_answer_ = AutoStartChoice{.start = tomorrow, .enabled = true};
  MenuItem("AutoStartTimer")->trigger();
  save_answer_ = QueryAnswer::kYes;
  ASSERT_TRUE(form_.close());

  Restart again(Context(), windows_.Context());
  EXPECT_EQ(again.form.Station().Stimulus().chirp.time_length_s, 1.5);
  EXPECT_EQ(again.form.Station().Timing().latency_48k_s, 0.08);
  EXPECT_EQ(again.form.Controller().AcqType(), chosen);
  EXPECT_EQ(Find<QComboBox>(again.form, "cAcquisition")->currentIndex(), ItemOfAcqType(chosen));
  EXPECT_FALSE(MenuItemOf(again.form, "DefaultsTrackChanges")->isChecked());
  EXPECT_EQ(again.form.Station().Audio().Settings().InSel2, 3);
  EXPECT_EQ(Find<QComboBox>(again.form, "cbxInput2")->currentIndex(), 3);
  auto_start_shown_.clear();
  MenuItemOf(again.form, "AutoStartTimer")->trigger();
  ASSERT_EQ(auto_start_shown_.size(), 1u);
  EXPECT_TRUE(auto_start_shown_[0].enabled);
  EXPECT_EQ(auto_start_shown_[0].start, tomorrow);
  EXPECT_EQ(again.form.Station().Audio().DeviceName(WaveDirection::kPlay),
            SimulatedCard::kDeviceName);
}

TEST_F(ConfigurationWindow, DisabledOutputsAreOfferedAtStartup) {
  IniFile file;
  file.WriteString("V2 Parameters", "OutputEnabled2", "0");
  file.SaveFile(folder_ / "VireonFree.ini");
  for (const bool enable : {false, true}) {
    questions_.clear();
    yes_no_answer_ = enable;
    Restart again(Context(), windows_.Context());
    ASSERT_EQ(questions_.size(), 1u);
    EXPECT_EQ(questions_[0], kOutputsDisabledQuestion);
    EXPECT_EQ(again.form.Station().Stimulus().output2_enabled, enable);
    EXPECT_EQ(again.form.Station().Audio().Settings().Gain2 > 0, enable);
  }
}

// Places kept in the file are taken at start-up; one that would leave a window out of reach, kept
// on a larger screen say, brings the window onto the screen.
TEST_F(ConfigurationWindow, WindowPlacesAreTakenAndKeptWithinReach) {
  IniFile file;
  const std::pair<const char*, const char*> places[] = {
      {"ADDALeft", "40"},   {"ADDATop", "50"},       {"PriPlotLeft", "120"},
      {"PriPlotTop", "30"}, {"PriPlotWidth", "500"}, {"PriPlotHeight", "300"},
      {"MainLeft", "9000"}, {"MainTop", "-7000"},
  };
  for (const auto& [key, value] : places) file.WriteString("Forms", key, value);
  file.SaveFile(folder_ / "VireonFree.ini");

  Restart again(Context(), windows_.Context());
  EXPECT_EQ(again.form.AudioWindow().pos(), QPoint(40, 50));
  EXPECT_EQ(again.primary.pos(), QPoint(120, 30));
  EXPECT_EQ(again.primary.size(), QSize(500, 300));
  const QRect screen = QGuiApplication::primaryScreen()->availableGeometry();
  EXPECT_TRUE(screen.contains(again.form.frameGeometry().topLeft())) << "not out of reach";

  // A plot place without a size is none: the plot stays where it is.
  file.WriteString("Forms", "PriPlotWidth", "0");
  file.WriteString("Forms", "PriPlotLeft", "0");
  file.SaveFile(folder_ / "VireonFree.ini");
  Restart third(Context(), windows_.Context());
  third.primary.move(200, 40);
  MenuItemOf(third.form, "UseStartupConfigs")->trigger();
  EXPECT_EQ(third.primary.pos(), QPoint(200, 40));
}

// "Software and Hardware" keeps an .ini and an .hdi of one base name; loading takes both back.
TEST_F(ConfigurationWindow, ConfigMenuSavesAndLoadsUnderOtherNames) {
  form_.Station().Stimulus().mls_length = 16384;
  form_.Station().Audio().Soundcards().allow_different_rates = true;
  config_file_answer_ = folder_ / "lab";
  MenuItem("SaveBothConfigsAs")->trigger();
  ASSERT_TRUE(Exists(folder_, "lab.ini"));
  ASSERT_TRUE(Exists(folder_, "lab.hdi"));

  form_.Station().Stimulus().mls_length = 4096;
  form_.Station().Audio().Soundcards().allow_different_rates = false;
  config_file_answer_ = folder_ / "lab.ini";
  MenuItem("LoadBothConfigs")->trigger();
  EXPECT_EQ(form_.Station().Stimulus().mls_length, 16384);
  EXPECT_TRUE(form_.Station().Audio().Soundcards().allow_different_rates);

  // A cancelled choice changes nothing.
  config_file_answer_.reset();
  form_.Station().Stimulus().mls_length = 8192;
  MenuItem("LoadSoftwareConfig")->trigger();
  EXPECT_EQ(form_.Station().Stimulus().mls_length, 8192);

  // A file that cannot be written is reported and nothing is claimed.
  config_file_answer_ = folder_ / "no-such-folder" / "x.ini";
  MenuItem("SaveSoftwareConfigAs")->trigger();
  ASSERT_EQ(messages_.size(), 1u);
  EXPECT_NE(messages_[0].find("x.ini"), std::string::npos);
}

TEST_F(ConfigurationWindow, DefaultDataFoldersAreChosenAndFollowTheFilesUsed) {
  const std::filesystem::path chosen = folder_ / "measurements";
  folder_answer_ = chosen;
  MenuItem("DefaultFolderForSaving")->trigger();
  MenuItem("DefaultFolderForLoading")->trigger();
  EXPECT_EQ(questions_, (std::vector<std::string>{std::string(kSaveFolderCaption),
                                                  std::string(kOpenFolderCaption)}));
  const DataFolders& folders = windows_.Context().session->folders;
  EXPECT_EQ(folders.save, chosen.string());
  EXPECT_EQ(folders.load, chosen.string());
}

// "BackDrop" → "Select" shows the chosen picture behind the windows; a cancelled choice keeps the
// default picture. The picture and whether it shows are kept.
TEST_F(ConfigurationWindow, BackdropPictureAndVisibilityAreKept) {
  const std::filesystem::path picture = folder_ / "stage.bmp";
  QImage image(8, 8, QImage::Format_RGB32);
  image.fill(Qt::darkGreen);
  ASSERT_TRUE(image.save(QString::fromStdString(picture.string()), "BMP"));
  QWidget* backdrop = Find<QWidget>(form_, "Backdrop");
  EXPECT_FALSE(backdrop->isVisible());

  config_file_answer_ = picture;
  MenuItem("BackDropSelect")->trigger();
  EXPECT_TRUE(backdrop->isVisible());
  EXPECT_EQ(form_.Preferences().backdrop_bitmap, picture.string());
  save_answer_ = QueryAnswer::kYes;
  ASSERT_TRUE(form_.close());
  {
    Restart again(Context(), windows_.Context());
    EXPECT_TRUE(Find<QWidget>(again.form, "Backdrop")->isVisible());
    EXPECT_EQ(again.form.Preferences().backdrop_bitmap, picture.string());
    MenuItemOf(again.form, "BackDropToggle")->trigger();
    EXPECT_FALSE(Find<QWidget>(again.form, "Backdrop")->isVisible());
  }

  form_.show();
  config_file_answer_.reset();
  MenuItem("BackDropSelect")->trigger();
  EXPECT_TRUE(backdrop->isVisible());
  EXPECT_TRUE(form_.Preferences().backdrop_bitmap.empty()) << "the default picture";
}

}  // namespace
}  // namespace vireon
