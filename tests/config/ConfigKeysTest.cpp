#include "config/ConfigKeys.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <set>
#include <string>
#include <vector>

#include "config/AsciiCase.h"

namespace vireon {
namespace {

using Strings = std::vector<std::string>;

std::vector<const ConfigKey*> KeysOf(ConfigFile file, std::string_view section = {}) {
  std::vector<const ConfigKey*> keys;
  for (const ConfigKey& entry : ConfigKeyTable()) {
    if (entry.file == file && (section.empty() || entry.section == section)) keys.push_back(&entry);
  }
  return keys;
}

Strings Names(const std::vector<const ConfigKey*>& keys) {
  Strings names;
  for (const ConfigKey* entry : keys) names.push_back(entry->key);
  return names;
}

Strings SectionOrder(ConfigFile file) {
  Strings sections;
  for (const ConfigKey* entry : KeysOf(file)) {
    if (sections.empty() || sections.back() != entry->section) sections.push_back(entry->section);
  }
  return sections;
}

TEST(ConfigKeys, SectionsComeInFileOrderEachOnce) {
  Strings software = {
      "Vireon Version", "LivePlots",   "VireonFree",       "Forms",
      "PrintOptions",   "Priority",    "UserPreferences",  "InputSourceGainSettings",
      "VireonSystem",   "TheileSmall", "ComponentTracking"};
  for (int n = 0; n < 28; ++n) software.push_back("AcqMode" + std::to_string(n));
  for (const char* name : {"Waterfall formats", "AcqMode WaveletPrimaryINI", "Stimulus", "Chirp",
                           "3DDefaults", "Misc", "V2 Parameters", "WaveletBurst"}) {
    software.push_back(name);
  }
  EXPECT_EQ(SectionOrder(ConfigFile::kSoftware), software);
  EXPECT_EQ(SectionOrder(ConfigFile::kHardware),
            (Strings{"Vireon Version", "Graphics", "MicsAndProbes", "Soundcards", "Version2"}));
}

TEST(ConfigKeys, CountsMatchTheListedSections) {
  struct Case {
    ConfigFile file;
    const char* section;
    std::size_t count;
  };
  const Case cases[] = {
      {ConfigFile::kSoftware, "Vireon Version", 1},
      {ConfigFile::kSoftware, "LivePlots", 13},
      {ConfigFile::kSoftware, "VireonSystem", 80},
      {ConfigFile::kSoftware, "WaveletBurst", 31},
      {ConfigFile::kSoftware, "ComponentTracking", 21},
      {ConfigFile::kSoftware, "V2 Parameters", 19},
      {ConfigFile::kHardware, "Soundcards", 14},
      {ConfigFile::kHardware, "MicsAndProbes", 8},
      {ConfigFile::kHardware, "Version2", 6},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(KeysOf(c.file, c.section).size(), c.count) << c.section;
  }
  EXPECT_EQ(KeysOf(ConfigFile::kHardware).size(), 1u + 3 + 8 + 14 + 6);
}

TEST(ConfigKeys, NoKeyIsListedTwiceInASection) {
  std::set<std::string> seen;
  for (const ConfigKey& entry : ConfigKeyTable()) {
    const std::string name = std::to_string(static_cast<int>(entry.file)) + "/" +
                             FoldAsciiCase(entry.section + "/" + entry.key);
    EXPECT_TRUE(seen.insert(name).second) << name;
  }
}

TEST(ConfigKeys, IndexFamiliesAreExpandedInPlace) {
  const Strings forms = Names(KeysOf(ConfigFile::kSoftware, "Forms"));
  const auto colour = std::find(forms.begin(), forms.end(), "PlotMarkerColor");
  ASSERT_NE(colour, forms.end());
  EXPECT_EQ(
      Strings(colour + 1, forms.end()),
      (Strings{"MPTraceColor1", "MPTraceColor2", "MPTraceColor3", "MPTraceColor4", "MPTraceColor5",
               "MPTraceColor6", "MPTraceColor7", "MPTraceColor8", "TraceWidth"}));

  const Strings tracking = Names(KeysOf(ConfigFile::kSoftware, "ComponentTracking"));
  EXPECT_EQ(tracking[1], "StepFField1MultA");
  EXPECT_EQ(tracking[14], "StepFField2Ref");
  EXPECT_EQ(tracking.back(), "OldAcqNum");

  // Every per-acquisition section holds the same keys, its own number on the two indexed ones.
  const Strings first = Names(KeysOf(ConfigFile::kSoftware, "AcqMode0"));
  EXPECT_EQ(first.front(), "AverageType");
  EXPECT_EQ(first.back(), "LateEQfilename");
  for (int n = 0; n < 28; ++n) {
    const std::string section = "AcqMode" + std::to_string(n);
    Strings keys = Names(KeysOf(ConfigFile::kSoftware, section));
    for (const ConfigKey* entry : KeysOf(ConfigFile::kSoftware, section)) {
      EXPECT_EQ(entry->acq_index, n);
    }
    for (const char* stem : {"UseAvg", "AutoStopOnTime", "UseAvg_S", "AutoStopOnTime_S"}) {
      const auto found = std::find(keys.begin(), keys.end(), stem + std::to_string(n));
      ASSERT_NE(found, keys.end()) << section << " " << stem;
      *found = std::string(stem) + "0";
    }
    EXPECT_EQ(keys, first) << section;
  }
  const auto at = [&](std::string_view key) {
    return std::find(first.begin(), first.end(), key) - first.begin();
  };
  EXPECT_EQ(at("MkrVisible0"), at("Mkr0") + 1);
  EXPECT_EQ(at("Mkr4"), at("Mkr0") + 8);
  EXPECT_EQ(at("Wrap180_4"), at("VFormatLog0") + 24);
  EXPECT_EQ(at("Wrap180_T0"), at("VFormatLog_T0") + 4);
  EXPECT_EQ(at("TrCol7"), at("TID0") + 15);
  EXPECT_EQ(first.size(), 134u);
}

TEST(ConfigKeys, WaveletPrimaryHoldsOnlyTheFrequencyPlotFormat) {
  const Strings wavelet = Names(KeysOf(ConfigFile::kSoftware, "AcqMode WaveletPrimaryINI"));
  for (const char* absent : {"AverageType", "FftSize", "AcqSize", "AvgMax", "AutoStop", "Curve0_T",
                             "AutoStop_S", "UseLateEQ"}) {
    EXPECT_EQ(std::count(wavelet.begin(), wavelet.end(), absent), 0) << absent;
  }
  EXPECT_EQ(wavelet.front(), "Curve0");
  EXPECT_EQ(wavelet.back(), "TrCol7");
}

TEST(ConfigKeys, TypesAndSpecialEntries) {
  const auto type_of = [](ConfigFile file, std::string_view section, std::string_view key) {
    const ConfigKey* entry = FindConfigKey(file, section, key);
    return entry == nullptr ? '?' : static_cast<char>(entry->type);
  };
  EXPECT_EQ(type_of(ConfigFile::kSoftware, "vireon version", "VER"), 'i');
  EXPECT_EQ(type_of(ConfigFile::kHardware, "Vireon Version", "Ver"), 'i');
  EXPECT_EQ(type_of(ConfigFile::kSoftware, "VireonSystem", "RemapListFile"), 's');
  EXPECT_EQ(type_of(ConfigFile::kSoftware, "WaveletBurst", "StrictScripts"), 'b');
  EXPECT_EQ(type_of(ConfigFile::kSoftware, "AcqMode3", "ZScale"), 'd');
  EXPECT_EQ(type_of(ConfigFile::kHardware, "Soundcards", "PlayRate"), 'i');
  EXPECT_EQ(type_of(ConfigFile::kSoftware, "Soundcards", "PlayRate"), '?');
  EXPECT_EQ(ConfigKeyTable().front().key, "Ver");
  EXPECT_EQ(KeysOf(ConfigFile::kSoftware).back()->key, "StrictScripts");

  const ConfigKey* tone = FindConfigKey(ConfigFile::kSoftware, "Stimulus", "QLogL");
  ASSERT_NE(tone, nullptr);
  EXPECT_EQ(tone->count_key, "NumberQStepFSines");
  EXPECT_TRUE(FindConfigKey(ConfigFile::kSoftware, "AcqMode0", "MC4")->only_when_set);
}

}  // namespace
}  // namespace vireon
