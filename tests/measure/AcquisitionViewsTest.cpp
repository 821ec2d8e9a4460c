#include "measure/AcquisitionViews.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <set>
#include <string>
#include <vector>

#include "config/ConfigWalk.h"
#include "config/IniFile.h"
#include "measure/FrequencyAnalysis.h"
#include "record/DataTypes.h"
#include "record/RecordFixtures.h"

namespace vireon {
namespace {

constexpr std::size_t kResponseItem = 8;  // "Freq.Resp. MAG, PHASE"
constexpr std::size_t kSpectrum2chItem = 5;
constexpr std::size_t kWaveletItem = 21;

IniFile Saved(AcquisitionViews views, IniFile ini = {}) {
  ConfigWalk walk(ConfigFile::kSoftware);
  BindAcquisitionViews(walk.Bindings(), views);
  walk.Walk(ini, WalkDirection::kSave);
  return ini;
}

AcquisitionViews Read(IniFile ini, AcquisitionViews views = {}) {
  ConfigWalk walk(ConfigFile::kSoftware);
  BindAcquisitionViews(walk.Bindings(), views);
  walk.Walk(ini, WalkDirection::kRead);
  return views;
}

// A frequency view with a value of every kind of key changed from the defaults.
PlotFormat ResponseView() {
  PlotFormat view;
  view.DataType = kFrequencyResponse;
  view.Curve0 = 2;
  view.Curve1 = -1;
  view.WeightFile = "A-weighting";
  view.DelayShift = 1.25e-3;
  view.RefFile = "/data/ref.frd";
  view.Mkr[3] = 1234.5f;
  view.MkrVisible[3] = true;
  view.HStart = 20.0;
  view.HStop = 20000.0;
  view.HFormatLog = true;
  view.VNumDiv = 10;
  view.MagOffset = 0.1;
  view.Curves[1] = {true, 6.0, -3.5, 2, false};
  view.Curves[2] = {false, 45.0, 0.0, 4, true};
  view.ScaledForA = 2;
  view.Overlays = {"first.frd", "second.frd"};
  view.MPUse = true;
  view.Identification[3] = {0x123456, 7};
  return view;
}

// The "_T" keys hold the shared keys only; the rest of a time view is its defaults.
PlotFormat TimeView() {
  PlotFormat view;
  view.DataType = kTimeDomain;
  view.Curve0 = 1;
  view.Mkr[0] = 0.004f;
  view.MkrVisible[0] = true;
  view.HStart = -0.001;
  view.HStop = 0.05;
  view.VNumDiv = 6;
  view.Curves[0] = {true, 10.0, -20.0, 3, false};
  return view;
}

TEST(AcquisitionViews, KeptViewsSurviveASaveAndLoadIntoAFreshValue) {
  AcquisitionViews views;
  views.frequency[kResponseItem] = ResponseView();
  views.time[kResponseItem] = TimeView();
  const IniFile ini = Saved(views);

  // Each domain goes to its own keys.
  EXPECT_EQ(ini.RawValue("AcqMode8", "HStop"), "20000");
  EXPECT_EQ(ini.RawValue("AcqMode8", "HStop_T"), "0.05");
  EXPECT_EQ(ini.RawValue("AcqMode8", "VScale2"), "45");
  EXPECT_EQ(ini.RawValue("AcqMode8", "Wrap180_2"), "1");
  EXPECT_EQ(ini.RawValue("AcqMode8", "VRefDiv_T0"), "3");
  EXPECT_EQ(ini.RawValue("AcqMode8", "MC1"), "second.frd");
  EXPECT_FALSE(ini.ValueExists("AcqMode8", "MC2"));         // overlay names only when set
  EXPECT_FALSE(ini.ValueExists("AcqMode8", "AutoScale0"));  // not part of a view

  const AcquisitionViews read = Read(ini);
  ASSERT_TRUE(read.frequency[kResponseItem].has_value());
  const PlotFormat& frequency = *read.frequency[kResponseItem];
  EXPECT_EQ(frequency.DataType, kFrequencyResponse);
  EXPECT_EQ(frequency.Curve0, 2);
  EXPECT_EQ(frequency.WeightFile, "A-weighting");
  EXPECT_EQ(frequency.Mkr[3], 1234.5f);
  EXPECT_TRUE(frequency.HFormatLog);
  EXPECT_EQ(frequency.Curves[1], (CurveFormat{true, 6.0, -3.5, 2, false}));
  EXPECT_EQ(frequency.Overlays, (StringList{"first.frd", "second.frd"}));
  EXPECT_EQ(frequency.Identification[3], (OverlayStyle{0x123456, 7}));
  EXPECT_EQ(frequency, ResponseView());
  ASSERT_TRUE(read.time[kResponseItem].has_value());
  EXPECT_EQ(read.time[kResponseItem]->HStart, -0.001);
  EXPECT_EQ(*read.time[kResponseItem], TimeView());
  EXPECT_TRUE(IsShowableView(frequency));
}

// Views never kept are written as blank views, which read back as nothing that can be shown.
TEST(AcquisitionViews, ViewsNotKeptReadBackAsNothingToShow) {
  AcquisitionViews views;
  views.frequency[kResponseItem] = ResponseView();
  const AcquisitionViews read = Read(Saved(views));
  for (std::size_t item = 0; item < kAcquisitionItemCount; ++item) {
    for (const auto* kept : {&read.frequency, &read.time}) {
      const std::optional<PlotFormat>& view = (*kept)[item];
      if (item == kResponseItem && kept == &read.frequency) continue;
      EXPECT_FALSE(view && IsShowableView(*view)) << "item " << item;
    }
  }
}

TEST(AcquisitionViews, AFileWithoutTheKeysLeavesTheViewsAsTheyWere) {
  IniFile other;
  other.WriteInteger("AcqMode8", "FftSize", 8192);
  other.WriteString("Chirp", "ChirpTimeLength", "1.5");
  EXPECT_EQ(Read(other), AcquisitionViews{});

  AcquisitionViews kept;
  kept.time[3] = TimeView();
  EXPECT_EQ(Read(other, kept), kept);
}

// The file has no data type: keys of a type whose result's data type is unknown are not taken,
// and a kept view of another data type is started afresh rather than mixed.
TEST(AcquisitionViews, KeysReadOnlyMakeViewsOfTheResultsDataType) {
  IniFile ini;
  for (const std::string section : {"AcqMode5", "AcqMode8", "AcqMode WaveletPrimaryINI"}) {
    ini.WriteString(section, "HStart", "100");
    ini.WriteString(section, "HStop", "1000");
  }
  AcquisitionViews before;
  PlotFormat spectrum = ResponseView();
  spectrum.DataType = kSpectrum;
  before.frequency[kSpectrum2chItem] = spectrum;
  before.frequency[kResponseItem] = spectrum;

  const AcquisitionViews read = Read(ini, before);
  EXPECT_EQ(read.frequency[kSpectrum2chItem], spectrum);  // spectrum or response: unknown
  EXPECT_FALSE(read.frequency[kWaveletItem].has_value());
  ASSERT_TRUE(read.frequency[kResponseItem].has_value());
  PlotFormat expected;
  expected.DataType = kFrequencyResponse;
  expected.HStart = 100.0;
  expected.HStop = 1000.0;
  EXPECT_EQ(*read.frequency[kResponseItem], expected);
}

TEST(AcquisitionViews, ValuesReadAreLimitedToWhatAPlotShows) {
  struct Case {
    const char* key;
    const char* text;
    double expected;
    double (*field)(const PlotFormat&);
  };
  const Case cases[] = {
      {"VNumDiv", "500", 40, [](const PlotFormat& f) { return double(f.VNumDiv); }},
      {"VNumDiv_T", "0", 1, [](const PlotFormat& f) { return double(f.VNumDiv); }},
      {"Curve0", "9", 4, [](const PlotFormat& f) { return double(f.Curve0); }},
      {"ScaledForB", "-7", -1, [](const PlotFormat& f) { return double(f.ScaledForB); }},
      {"VRefDiv2", "-3", 0, [](const PlotFormat& f) { return double(f.Curves[2].RefDiv); }},
      {"TID4", "300", 255, [](const PlotFormat& f) { return double(f.Identification[4].Symbol); }},
      {"TrCol1", "-5", 0, [](const PlotFormat& f) { return double(f.Identification[1].Color); }},
      {"TrCol2", "33554431", 0xFFFFFF,
       [](const PlotFormat& f) { return double(f.Identification[2].Color); }},
      {"Mkr1", "1e300", std::numeric_limits<float>::max(),
       [](const PlotFormat& f) { return double(f.Mkr[1]); }},
      {"HStop", "1e300", 1e300, [](const PlotFormat& f) { return f.HStop; }},
  };
  for (const Case& c : cases) {
    IniFile ini;
    ini.WriteString("AcqMode8", c.key, c.text);
    const AcquisitionViews read = Read(ini);
    const bool time = std::string(c.key).ends_with("_T");
    const std::optional<PlotFormat>& view =
        time ? read.time[kResponseItem] : read.frequency[kResponseItem];
    ASSERT_TRUE(view.has_value()) << c.key;
    EXPECT_EQ(c.field(*view), c.expected) << c.key;
  }

  IniFile unreadable;  // values that are no finite numbers are not taken
  unreadable.WriteString("AcqMode8", "HStart", "nan");
  unreadable.WriteString("AcqMode8", "HStop", "inf");
  EXPECT_FALSE(Read(unreadable).frequency[kResponseItem].has_value());
}

TEST(AcquisitionViews, TheWaveletTypesSharedViewIsWrittenToItsOwnSection) {
  AcquisitionViews views;
  PlotFormat wavelet = ResponseView();
  wavelet.HStop = 8000.0;
  views.frequency[kWaveletItem] = wavelet;
  const IniFile ini = Saved(views);
  EXPECT_EQ(ini.RawValue("AcqMode WaveletPrimaryINI", "HStop"), "8000");
  EXPECT_FALSE(ini.ValueExists("AcqMode WaveletPrimaryINI", "HStop_T"));
  for (const int type : {21, 22, 23, 24}) EXPECT_EQ(KeptViewItem(type), 21);
  EXPECT_EQ(KeptViewItem(99), 27);
}

TEST(AcquisitionViews, ShowableViewsHaveARisingFiniteRange) {
  struct Case {
    double start;
    double stop;
    bool log;
    bool showable;
  };
  for (const Case c : {Case{0.0, 0.0, false, false}, Case{10.0, 5.0, false, false},
                       Case{-1.0, 1.0, false, true}, Case{-1.0, 1.0, true, false},
                       Case{0.0, 100.0, true, false}, Case{20.0, 20000.0, true, true}}) {
    PlotFormat view;
    view.HStart = c.start;
    view.HStop = c.stop;
    view.HFormatLog = c.log;
    EXPECT_EQ(IsShowableView(view), c.showable) << c.start << ".." << c.stop << " log " << c.log;
  }
}

// The data types the views are read with are those the analysis gives the types' results, with
// one channel or two; type 5 gives two, so its views are not read.
TEST(AcquisitionViews, ResultDataTypesAreThoseTheAnalysisMakes) {
  std::vector<double> a(4096);
  std::vector<double> b(4096);
  for (std::size_t i = 0; i < a.size(); ++i) {
    a[i] = std::sin(0.37 * static_cast<double>(i)) + 0.5 * std::sin(0.011 * static_cast<double>(i));
    b[i] = 0.5 * a[i] + 0.1 * std::cos(0.2 * static_cast<double>(i));
  }
  const auto made = [&](int acq_type, bool normalize) {
    std::set<int> types;
    using Channels = std::vector<std::vector<double>>;
    for (const Channels& channels : {Channels{a}, Channels{a, b}}) {
      TDataMeas time_rec = fixtures::TimeRecord(48000, 0.0, channels);
      time_rec.FWinStart = time_rec.FWinStart2 = 0;
      time_rec.FWinEnd = time_rec.FWinEnd2 = time_rec.FNumPoints - 1;
      AcquisitionSettings settings;
      settings.normalize = normalize;
      AnalysisContext context;
      TDataMeas freq_rec;
      ConvertToFrequency(time_rec, freq_rec, {.acq_type = acq_type, .acquisition = &settings},
                         context);
      types.insert(freq_rec.FDataType);
    }
    return types;
  };
  for (const int acq_type : {4, 6, 7, 8, 11}) {
    for (const bool normalize : {false, true}) {
      const std::set<int> types = made(acq_type, normalize);
      const auto expected = ResultDataType(acq_type, ResultDomain::kFrequency);
      ASSERT_TRUE(expected.has_value()) << acq_type;
      EXPECT_EQ(types, std::set<int>{*expected}) << acq_type << " normalize " << normalize;
    }
  }
  std::set<int> spectrum_ratio = made(5, false);
  spectrum_ratio.merge(made(5, true));
  EXPECT_EQ(spectrum_ratio, (std::set<int>{kSpectrum, kFrequencyResponse}));
  EXPECT_FALSE(ResultDataType(5, ResultDomain::kFrequency).has_value());
}

}  // namespace
}  // namespace vireon
