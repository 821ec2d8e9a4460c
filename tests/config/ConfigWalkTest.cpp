#include "config/ConfigWalk.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <stdexcept>
#include <string>
#include <vector>

#include "support/TempFolder.h"
#include "common/AtomicFile.h"
#include "common/VireonError.h"

namespace vireon {
namespace {

// A few settings of different kinds, bound the way their owners will bind them.
struct Settings {
  int fft_size = 4096;
  double start_freq = 20.0;
  bool linear = false;
  std::string list_file = "lists/a.txt";
  int control = 7;  // lives "in a dialog control", reached through getter and setter
  int acq18_fft = 1024;
  int acq19_fft = 1024;
  int acq27_fft = 1024;
  std::string overlay_name;

  void BindTo(ConfigBindings& bindings) {
    bindings.Bind("AcqMode0", "FftSize", fft_size, 256, 1 << 20);
    bindings.Bind("Chirp", "ChirpStartFreq", start_freq, 1.0, 20000.0);
    bindings.Bind("Chirp", "ChirpLinearSweep", linear);
    bindings.Bind("VireonSystem", "RemapListFile", list_file);
    bindings.BindInteger(
        "Priority", "TimerThreadPriority", [this] { return control; },
        [this](int value) { control = value; }, 0, 6);
    bindings.Bind("AcqMode18", "FftSize", acq18_fft, 256, 1 << 20);
    bindings.Bind("AcqMode19", "FftSize", acq19_fft, 256, 1 << 20);
    bindings.Bind("AcqMode27", "FftSize", acq27_fft, 256, 1 << 20);
    bindings.Bind("AcqMode2", "MC1", overlay_name);
  }
};

class ConfigWalkTest : public ::testing::Test {
 protected:
  ConfigWalkTest() { settings_.BindTo(walk_.Bindings()); }

  void Write(std::string_view name, std::string_view text) {
    WriteFileAtomically(folder_ / name, text);
  }

  TempFolder folder_;
  Settings settings_;
  ConfigWalk walk_{ConfigFile::kSoftware};
};

TEST_F(ConfigWalkTest, SavedValuesReadBackIntoFreshSettings) {
  settings_ = Settings{8192, 21.7, true, "x\\y.txt", 3, 2048, 4096, 65536, "Left"};
  walk_.Save(folder_ / "a.ini");
  const std::string text = folder_.Read("a.ini");
  EXPECT_EQ(text.rfind("[Vireon Version]\r\nVer=230\r\n", 0), 0u) << text.substr(0, 60);
  EXPECT_NE(text.find("[ComponentTracking]\r\nOldAcqNum=28\r\n"), std::string::npos);
  EXPECT_NE(text.find("ChirpStartFreq=21.7\r\nChirpLinearSweep=1\r\n"), std::string::npos);

  Settings loaded;
  ConfigWalk reader(ConfigFile::kSoftware);
  loaded.BindTo(reader.Bindings());
  reader.Load(folder_ / "a.ini");
  EXPECT_EQ(loaded.fft_size, 8192);
  EXPECT_EQ(loaded.start_freq, 21.7);
  EXPECT_TRUE(loaded.linear);
  EXPECT_EQ(loaded.list_file, "x\\y.txt");
  EXPECT_EQ(loaded.control, 3);
  EXPECT_EQ(loaded.acq27_fft, 65536);  // the last per-acquisition section survives a round trip
  EXPECT_EQ(loaded.overlay_name, "Left");
  EXPECT_EQ(reader.FileVersion(), 230);
}

TEST_F(ConfigWalkTest, ReadingLeavesMissingAndUnparsableValuesAndLimitsOutOfRangeOnes) {
  Write("a.ini",
        "[AcqMode0]\nFftSize=abc\n[Chirp]\nChirpStartFreq=1e9\nChirpLinearSweep=-1\n"
        "[Priority]\nTimerThreadPriority=-5\n");
  walk_.Load(folder_ / "a.ini");
  EXPECT_EQ(settings_.fft_size, 4096);            // unparsable
  EXPECT_EQ(settings_.start_freq, 20000.0);       // limited
  EXPECT_TRUE(settings_.linear);                  // any non-zero integer
  EXPECT_EQ(settings_.control, 0);                // limited
  EXPECT_EQ(settings_.list_file, "lists/a.txt");  // missing
  EXPECT_EQ(walk_.FileVersion(), 230);            // no version key: this version
}

TEST_F(ConfigWalkTest, UnboundKeysPassThroughAndUnknownTextSurvives) {
  Write("in.ini",
        "[Vireon Version]\nVer=110\n[Chirp]\nChirpStopFreq=20000,5\n[Forms]\nMainTop=junk\n"
        "[Stimulus]\nNumberPStepFSines=2\nPStepFFStt0=20\nPLogL1=1\nPStepFFStt2=99\n");
  walk_.Load(folder_ / "in.ini");
  EXPECT_EQ(walk_.FileVersion(), 110);

  Write("out.ini", "; mine\r\n[Private]\r\nA=1\r\n[Chirp]\r\nMyKey=keep\r\nChirpStopFreq=1\r\n");
  walk_.Save(folder_ / "out.ini");
  const IniFile out = IniFile::FromFile(folder_ / "out.ini");
  EXPECT_EQ(out.ReadString("Chirp", "ChirpStopFreq", ""), "20000,5");  // raw text kept
  EXPECT_EQ(out.ReadString("Forms", "MainTop", ""), "junk");
  EXPECT_EQ(out.ReadString("Vireon Version", "Ver", ""), "230");
  EXPECT_EQ(out.ReadString("Stimulus", "PStepFFStt0", ""), "20");
  EXPECT_EQ(out.ReadString("Stimulus", "PLogL1", ""), "1");
  EXPECT_FALSE(out.ValueExists("Stimulus", "PStepFFStt2"));  // beyond the count
  EXPECT_EQ(out.ReadString("Private", "A", ""), "1");
  EXPECT_EQ(out.ReadString("Chirp", "MyKey", ""), "keep");
  EXPECT_EQ(
      folder_.Read("out.ini").rfind("; mine\r\n[Private]\r\nA=1\r\n[Chirp]\r\nMyKey=keep\r\n", 0),
      0u);
  // Keys never read are not invented.
  EXPECT_FALSE(out.ValueExists("Forms", "MainLeft"));
}

TEST_F(ConfigWalkTest, OldAcqNumDecidesHowManyAcquisitionSectionsAreRead) {
  const auto file_with = [](std::string_view count_line) {
    return std::string("[ComponentTracking]\n") + std::string(count_line) +
           "\n[AcqMode18]\nFftSize=512\n[AcqMode19]\nFftSize=512\n[AcqMode27]\nFftSize=512\n";
  };
  struct Case {
    const char* count_line;
    int sections;
    int acq18, acq19, acq27;
  };
  const Case cases[] = {
      {"OldAcqNum=20", 19, 512, 1024, 1024},  // an older file: its last section is not type 19
      {"OldAcqNum=28", 28, 512, 512, 512},
      {"OldAcqNum=40", 28, 512, 512, 512},
      {"OldAcqNum=0", 0, 1024, 1024, 1024},
      {"OldAcqNum=x", 28, 512, 512, 512},  // unparsable: the count stays
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.count_line);
    Settings settings;
    ConfigWalk walk(ConfigFile::kSoftware);
    settings.BindTo(walk.Bindings());
    Write("a.ini", file_with(c.count_line));
    walk.Load(folder_ / "a.ini");
    EXPECT_EQ(walk.AcqSectionsRead(), c.sections);
    EXPECT_EQ(settings.acq18_fft, c.acq18);
    EXPECT_EQ(settings.acq19_fft, c.acq19);
    EXPECT_EQ(settings.acq27_fft, c.acq27);
  }

  // Without the key the count of the previous read stays.
  Write("a.ini", file_with("OldAcqNum=20"));
  walk_.Load(folder_ / "a.ini");
  Write("b.ini", "[AcqMode18]\nFftSize=2048\n[AcqMode19]\nFftSize=2048\n");
  walk_.Load(folder_ / "b.ini");
  EXPECT_EQ(settings_.acq18_fft, 2048);
  EXPECT_EQ(settings_.acq19_fft, 1024);
}

TEST_F(ConfigWalkTest, HardwareFileWithoutVersionCountsAs216) {
  ConfigWalk hardware(ConfigFile::kHardware);
  int rate = 44100;
  hardware.Bindings().Bind("Soundcards", "PlayRate", rate, 8000, 192000);
  Write("a.hdi", "[Soundcards]\r\nPlayRate=96000\r\n");
  hardware.Load(folder_ / "a.hdi");
  EXPECT_EQ(hardware.FileVersion(), 216);
  EXPECT_EQ(rate, 96000);
}

TEST_F(ConfigWalkTest, CountedKeysFollowTheirCountAndAHostileCountIsBounded) {
  ConfigWalk walk(ConfigFile::kSoftware);
  std::vector<double> starts = {100.0, 200.0, 300.0};
  walk.Bindings().BindInteger(
      "Stimulus", "NumberPStepFSines", [&] { return static_cast<int>(starts.size()); },
      [&](int count) { starts.resize(static_cast<std::size_t>(count), 0.0); }, 0, 64);
  walk.Bindings().BindCountedFloat(
      "Stimulus", "PStepFFStt", [&](int i) { return starts[static_cast<std::size_t>(i)]; },
      [&](int i, double value) { starts[static_cast<std::size_t>(i)] = value; }, 1.0, 96000.0);
  walk.Save(folder_ / "a.ini");
  EXPECT_NE(folder_.Read("a.ini").find(
                "NumberPStepFSines=3\r\nPStepFFStt0=100\r\nPStepFFStt1=200\r\nPStepFFStt2=300\r\n"),
            std::string::npos);

  Write("b.ini", "[Stimulus]\nNumberPStepFSines=2\nPStepFFStt0=50\nPStepFFStt1=1e9\n");
  walk.Load(folder_ / "b.ini");
  EXPECT_EQ(starts, (std::vector<double>{50.0, 96000.0}));

  // Unbound, a count of two thousand million walks no further than the bound.
  ConfigWalk plain(ConfigFile::kSoftware);
  Write("c.ini", "[Stimulus]\nNumberQStepFSines=2000000000\nQStepFFStt999=1\nQStepFFStt1000=2\n");
  plain.Load(folder_ / "c.ini");
  plain.Save(folder_ / "d.ini");
  const IniFile saved = IniFile::FromFile(folder_ / "d.ini");
  EXPECT_TRUE(saved.ValueExists("Stimulus", "QStepFFStt999"));
  EXPECT_FALSE(saved.ValueExists("Stimulus", "QStepFFStt1000"));
}

TEST_F(ConfigWalkTest, OverlayNamesAreWrittenOnlyWhenSet) {
  Write("a.ini", "[AcqMode2]\nMC1=Old name\n");
  settings_.overlay_name.clear();
  walk_.Save(folder_ / "a.ini");
  EXPECT_FALSE(IniFile::FromFile(folder_ / "a.ini").ValueExists("AcqMode2", "MC1"));
  settings_.overlay_name = "New";
  walk_.Save(folder_ / "a.ini");
  EXPECT_EQ(IniFile::FromFile(folder_ / "a.ini").ReadString("AcqMode2", "MC1", ""), "New");
}

TEST_F(ConfigWalkTest, FailedSaveThrowsAndKeepsTheOldFile) {
  Write("a.ini", "old");
  if (::geteuid() != 0) {
    std::filesystem::permissions(
        folder_.Path(), std::filesystem::perms::owner_read | std::filesystem::perms::owner_exec);
    EXPECT_THROW(walk_.Save(folder_ / "a.ini"), VireonError);
    std::filesystem::permissions(folder_.Path(), std::filesystem::perms::owner_all);
    EXPECT_EQ(folder_.Read("a.ini"), "old");
  }
  EXPECT_THROW(walk_.Save(folder_ / "a.ini" / "b.ini"), VireonError);
  EXPECT_EQ(folder_.Read("a.ini"), "old");
}

TEST(ConfigBindings, BindingMistakesAreProgrammingErrors) {
  ConfigBindings bindings(ConfigFile::kSoftware);
  int integer = 0;
  double real = 0.0;
  bindings.Bind("Chirp", "ChirpStartFreq", real, 0.0, 1.0);
  EXPECT_THROW(bindings.Bind("Chirp", "ChirpStartFreq", real, 0.0, 1.0), std::logic_error);
  EXPECT_THROW(bindings.Bind("Chirp", "NoSuchKey", integer, 0, 1), std::logic_error);
  EXPECT_THROW(bindings.Bind("Chirp", "ChirpStopFreq", integer, 0, 1), std::logic_error);
  EXPECT_THROW(bindings.Bind("Soundcards", "PlayRate", integer, 0, 1), std::logic_error);
  EXPECT_THROW(bindings.Bind("Vireon Version", "Ver", integer, 0, 1), std::logic_error);
  EXPECT_THROW(bindings.Bind("ComponentTracking", "OldAcqNum", integer, 0, 99), std::logic_error);
  EXPECT_THROW(bindings.Bind("Stimulus", "PLogF", integer, 0, 1), std::logic_error);
  EXPECT_THROW(bindings.Bind("Misc", "NormalizeWeightNumPoints", integer, 5, 1), std::logic_error);
}

TEST(ConfigAssignment, SetsBoundOrPassThroughValuesAndReportsEachKindOfError) {
  const TempFolder folder;
  ConfigWalk software(ConfigFile::kSoftware);
  ConfigWalk hardware(ConfigFile::kHardware);
  double start = 20.0;
  std::string save_folder;
  software.Bindings().Bind("Chirp", "ChirpStartFreq", start, 1.0, 20000.0);
  software.Bindings().Bind("VireonSystem", "DataSaveDirectory", save_folder);
  struct Case {
    const char* text;
    AssignmentResult result;
  };
  const Case cases[] = {
      {"chirp/chirpstartfreq=25,5", AssignmentResult::kApplied},
      {"Chirp/ChirpStartFreq=abc", AssignmentResult::kUnparsable},
      {"Chirp/ChirpStartFreq=0.5", AssignmentResult::kOutOfRange},
      {"Chirp/ChirpStartFreq=", AssignmentResult::kUnparsable},
      {"Chirp/NoSuchKey=1", AssignmentResult::kUnknownKey},
      {"NoSection/ChirpStartFreq=1", AssignmentResult::kUnknownKey},
      {"ChirpStartFreq=1", AssignmentResult::kMalformed},
      {"Chirp/ChirpStartFreq", AssignmentResult::kMalformed},
      {"VireonSystem/DataSaveDirectory=/home/u/a=b", AssignmentResult::kApplied},
      {"Soundcards/PlayRate=48000", AssignmentResult::kApplied},
      {"Soundcards/PlayRate=fast", AssignmentResult::kUnparsable},
      {"Stimulus/PStepFFStt3=100", AssignmentResult::kOutOfRange},  // beyond the count
      {"Stimulus/NumberPStepFSines=4", AssignmentResult::kApplied},
      {"Stimulus/PStepFFStt3=100", AssignmentResult::kApplied},
      {"Stimulus/PStepFFStt=100", AssignmentResult::kUnknownKey},
      {"Stimulus/PStepFFSttx=100", AssignmentResult::kUnknownKey},
      {"Chirp/ChirpLinearSweep=2", AssignmentResult::kApplied},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(ApplyAssignment(c.text, software, hardware), c.result) << c.text;
  }
  EXPECT_EQ(start, 25.5);
  EXPECT_EQ(save_folder, "/home/u/a=b");

  hardware.Save(folder / "a.hdi");
  EXPECT_EQ(IniFile::FromFile(folder / "a.hdi").ReadString("Soundcards", "PlayRate", ""), "48000");
  software.Save(folder / "a.ini");
  const IniFile saved = IniFile::FromFile(folder / "a.ini");
  EXPECT_EQ(saved.ReadString("Chirp", "ChirpLinearSweep", ""), "2");
  EXPECT_EQ(saved.ReadString("Stimulus", "PStepFFStt3", ""), "100");
}

}  // namespace
}  // namespace vireon
