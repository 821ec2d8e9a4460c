#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <tuple>
#include <utility>
#include <vector>

#include "config/ConfigKeys.h"
#include "config/IniFile.h"
#include "measure/ProgramConfiguration.h"
#include "support/TempFolder.h"

namespace vireon {
namespace {

// Every setting at its defaults, with the configuration of a data directory bound to it.
struct Program {
  explicit Program(const std::filesystem::path& data_directory)
      : configuration({stimulus, timing, soundcards, acquisition, extras, formats, tracking,
                       preferences, folders},
                      data_directory) {}

  StimulusSettings stimulus;
  TimingSettings timing;
  SoundcardSettings soundcards;
  AcquisitionSettings acquisition;
  AcquisitionExtras extras;
  AcquisitionFormats formats;
  ComponentTrackSettings tracking;
  ProgramPreferences preferences;
  DataFolders folders;
  ProgramConfiguration configuration;
};

using KeyList = std::vector<std::pair<std::string, std::string>>;

// The section and key of every line, in file order.
KeyList KeysOf(const IniFile& ini) {
  KeyList keys;
  for (const std::string& section : ini.Sections()) {
    for (const std::string& key : ini.Keys(section)) keys.emplace_back(section, key);
  }
  return keys;
}

class ProgramConfigurationTest : public ::testing::Test {
 protected:
  std::filesystem::path DataDirectory() const { return folder_.Path() / "data/"; }
  void SetUp() override { std::filesystem::create_directories(DataDirectory()); }

  TempFolder folder_;
};

// A save from the defaults writes the table's keys in the table's order: nothing of a part that
// binds its settings is missing, and only keys whose values are unknown are left out.
TEST_F(ProgramConfigurationTest, DefaultsAreWrittenInTableOrder) {
  Program program(DataDirectory());
  for (const ConfigFile file : {ConfigFile::kSoftware, ConfigFile::kHardware}) {
    const std::filesystem::path saved = folder_ / "defaults";
    if (file == ConfigFile::kSoftware) {
      program.configuration.SoftwareConfig(saved, WalkDirection::kSave);
    } else {
      program.configuration.HardwareConfig(saved, WalkDirection::kSave);
    }
    const KeyList written = KeysOf(IniFile::FromFile(saved));
    std::filesystem::remove(saved);

    KeyList table;
    for (const ConfigKey& entry : ConfigKeyTable()) {
      if (entry.file == file && entry.count_key.empty())
        table.emplace_back(entry.section, entry.key);
    }
    // The written keys are a subsequence of the table (counted keys aside).
    std::size_t next = 0;
    for (const auto& key : written) {
      if (std::find(table.begin(), table.end(), key) == table.end()) continue;  // counted
      while (next < table.size() && table[next] != key) ++next;
      if (next == table.size()) {
        ADD_FAILURE() << key.first << "/" << key.second << " is out of the table's order";
        break;
      }
    }
  }

  const IniFile software = [&] {
    program.configuration.SoftwareConfig(folder_ / "all.ini", WalkDirection::kSave);
    return IniFile::FromFile(folder_ / "all.ini");
  }();
  const KeyList expected = {{"Vireon Version", "Ver"},
                            {"LivePlots", "QueryForSaveAtShutdown1"},
                            {"Forms", "CfgStimLeft"},
                            {"PrintOptions", "PrintStyle"},
                            {"UserPreferences", "BackDrop"},
                            {"VireonSystem", "DataDefaultsFollowChanges"},
                            {"VireonSystem", "MLSLength"},
                            {"VireonSystem", "WndKindAsync"},
                            {"ComponentTracking", "StepFDomainIsFreq"},
                            {"ComponentTracking", "OldAcqNum"},
                            {"AcqMode0", "FftSize"},
                            {"AcqMode27", "AutoStop_S"},
                            {"Stimulus", "StepFSteps"},
                            {"Chirp", "ChirpLinearSweep"},
                            {"V2 Parameters", "OutputEnabled2"},
                            {"V2 Parameters", "LineFrequency"},
                            {"WaveletBurst", "Wavelet2ndTonedBLev"}};
  for (const auto& [section, key] : expected) {
    EXPECT_TRUE(software.ValueExists(section, key)) << section << "/" << key;
  }
}

TEST_F(ProgramConfigurationTest, ChangedSettingsOfEveryOwnerSurviveASaveAndLoad) {
  Program before(DataDirectory());
  before.stimulus.chirp.time_length_s = 1.5;
  before.stimulus.output2_enabled = false;
  before.timing.latency_48k_s = 0.07;
  before.soundcards.play_device_name = "Card B";
  before.acquisition.normalize = true;
  before.extras.acquisition_item = 5;
  before.formats.Record(3).primary.fft_size = 65536;
  before.tracking.max_harmonic = 7;
  before.preferences.query_for_save_at_shutdown = false;
  before.preferences.live_ir = {10, 20, 300, 200};
  before.folders.load = "/somewhere/else";
  before.folders.follow_changes = false;
  PlotFormat time_view;
  time_view.HStart = 0.0;
  time_view.HStop = 0.02;
  before.configuration.Views().time[3] = time_view;
  before.configuration.SoftwareConfig(folder_ / "a.ini", WalkDirection::kSave);
  before.configuration.HardwareConfig(folder_ / "a.hdi", WalkDirection::kSave);

  Program after(DataDirectory());
  after.configuration.SoftwareConfig(folder_ / "a.ini", WalkDirection::kRead);
  after.configuration.HardwareConfig(folder_ / "a.hdi", WalkDirection::kRead);
  EXPECT_EQ(after.stimulus.chirp.time_length_s, 1.5);
  EXPECT_FALSE(after.stimulus.output2_enabled);
  EXPECT_EQ(after.timing.latency_48k_s, 0.07);
  EXPECT_EQ(after.soundcards.play_device_name, "Card B");
  EXPECT_TRUE(after.acquisition.normalize);
  EXPECT_EQ(after.extras.acquisition_item, 5);
  EXPECT_EQ(after.formats.Record(3).primary.fft_size, 65536);
  EXPECT_EQ(after.tracking.max_harmonic, 7);
  EXPECT_FALSE(after.preferences.query_for_save_at_shutdown);
  EXPECT_EQ(after.preferences.live_ir, (WindowPlace{10, 20, 300, 200}));
  EXPECT_EQ(after.folders.load, "/somewhere/else");
  EXPECT_FALSE(after.folders.follow_changes);
  ASSERT_TRUE(after.configuration.Views().time[3].has_value());
  EXPECT_EQ(after.configuration.Views().time[3]->HStop, 0.02);
}

// The save folder is taken only when it still exists; the open folder as stored.
TEST_F(ProgramConfigurationTest, DefaultFoldersStartAtTheDataDirectory) {
  const std::string data = (folder_ / "data").string();
  std::filesystem::create_directories(folder_ / "kept");
  const std::string kept = (folder_ / "kept").string();
  Program program(DataDirectory());
  EXPECT_EQ(program.folders.save, data);
  EXPECT_EQ(program.folders.load, data);

  for (const auto& [stored, expected] :
       {std::pair{kept, kept}, std::pair{(folder_ / "gone").string(), data}}) {
    std::filesystem::path ini = folder_ / "folders.ini";
    IniFile file;
    file.WriteString("VireonSystem", "DataSaveDirectory", stored);
    file.WriteString("VireonSystem", "DataLoadDirectory", "/any/where");
    file.SaveFile(ini);
    program.folders.save = "/left/over";
    program.configuration.SoftwareConfig(ini, WalkDirection::kRead);
    EXPECT_EQ(program.folders.save, expected) << stored;
    EXPECT_EQ(program.folders.load, "/any/where");
  }

  program.folders.follow_changes = true;
  program.folders.FileOpened("/x/y/opened.vr2");
  program.folders.FileSaved("/p/q/saved.vr2");
  EXPECT_EQ(program.folders.load, "/x/y");
  EXPECT_EQ(program.folders.save, "/p/q");
  program.folders.follow_changes = false;
  program.folders.FileOpened("/elsewhere/opened.vr2");
  EXPECT_EQ(program.folders.load, "/x/y");
}

// A list file inside the data directory is stored relative to it, so it keeps working when the
// whole directory moves; one outside is stored as it is.
TEST_F(ProgramConfigurationTest, FileNamesInsideTheDataDirectoryAreStoredRelative) {
  Program program(DataDirectory());
  for (const auto& [name, stored] : {std::pair<std::string, std::string>{
                                         DataDirectory().string() + "lists/f.txt", "lists/f.txt"},
                                     {"/elsewhere/f.txt", "/elsewhere/f.txt"}}) {
    program.stimulus.stepped.list_file_name = name;
    program.configuration.SoftwareConfig(folder_ / "r.ini", WalkDirection::kSave);
    EXPECT_EQ(IniFile::FromFile(folder_ / "r.ini").RawValue("Stimulus", "StepFListFileName"),
              stored);

    Program moved(folder_ / "moved/");
    moved.configuration.SoftwareConfig(folder_ / "r.ini", WalkDirection::kRead);
    const std::string expected =
        name.starts_with("/elsewhere") ? name : (folder_ / "moved/lists/f.txt").string();
    EXPECT_EQ(moved.stimulus.stepped.list_file_name, expected);
  }
}

// Files of 2.25 and older read "StrictScripts" as on; later ones keep what they hold.
TEST_F(ProgramConfigurationTest, OldFilesReadStrictScriptsAsOn) {
  for (const auto& [version, stored, written] :
       {std::tuple{"225", "0", "1"}, std::tuple{"226", "0", "0"}, std::tuple{"110", "0", "1"}}) {
    IniFile file;
    file.WriteString("Vireon Version", "Ver", version);
    file.WriteString("WaveletBurst", "StrictScripts", stored);
    file.SaveFile(folder_ / "old.ini");
    Program program(DataDirectory());
    program.configuration.SoftwareConfig(folder_ / "old.ini", WalkDirection::kRead);
    program.configuration.SoftwareConfig(folder_ / "new.ini", WalkDirection::kSave);
    EXPECT_EQ(IniFile::FromFile(folder_ / "new.ini").RawValue("WaveletBurst", "StrictScripts"),
              written)
        << "Ver " << version;
    std::filesystem::remove(folder_ / "new.ini");
  }
}

// Files before 1.14 kept no column flags: the views read show dB and wrap the phase in columns
// 1 to 4; later files keep the flags they hold.
TEST_F(ProgramConfigurationTest, FilesBefore114ShowDbAndWrapThePhase) {
  for (const auto& [version, forced] : {std::pair{"113", true}, std::pair{"114", false}}) {
    IniFile file;
    file.WriteString("Vireon Version", "Ver", version);
    file.WriteString("AcqMode8", "HStart", "20");  // a frequency response
    file.WriteString("AcqMode8", "HStop", "20000");
    file.SaveFile(folder_ / "old.ini");
    Program program(DataDirectory());
    program.configuration.SoftwareConfig(folder_ / "old.ini", WalkDirection::kRead);
    const std::optional<PlotFormat>& view = program.configuration.Views().frequency[8];
    ASSERT_TRUE(view.has_value()) << "Ver " << version;
    EXPECT_FALSE(view->Curves[0].ShowAsDb) << "the x column keeps its flags";
    for (std::size_t column = 1; column <= 4; ++column) {
      EXPECT_EQ(view->Curves[column].ShowAsDb, forced) << "Ver " << version << " column " << column;
      EXPECT_EQ(view->Curves[column].WrapPhase, forced)
          << "Ver " << version << " column " << column;
    }
  }
}

}  // namespace
}  // namespace vireon
