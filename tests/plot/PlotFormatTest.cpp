#include "plot/PlotFormat.h"

#include <gtest/gtest.h>

#include <cmath>
#include <filesystem>
#include <limits>
#include <string>
#include <vector>

#include "common/AtomicFile.h"
#include "plot/PlotFormatFile.h"
#include "record/RecordFixtures.h"
#include "support/TempFolder.h"

namespace vireon {
namespace {

// A three-column response whose every format setting differs from the defaults.
TDataMeas FormattedResponse(std::uint8_t type = kFrequencyResponse) {
  TDataMeas record = fixtures::FrequencyRecord(type, {20.0, 200.0, 2000.0, 20000.0},
                                               {{1.0, 2.0, 3.0, 4.0}, {-10.0, 0.0, 10.0, 20.0}});
  record.FTraceA = 1;
  record.FTraceB = 2;
  record.FWeighting = TWeighting{"Pink", "", 0, 0, {{100.0, 1.0, 0.0}, {1000.0, 0.5, 0.0}}};
  record.FDisplayDelay = 0.00125;
  record.FMarkerX = {100.0f, 1000.5f, 0.0f, 3000.0f, 12345.678f};
  record.FMarkerOn = {1, 0, 1, 0, 1};
  record.FViewStart = 50.0;
  record.FViewStop = 15000.0;
  record.FLogX = 1;
  record.FGridFlag = 0;
  record.FNumDivisions = 12;
  record.FDisplayScale = 2.5;
  for (int c = 0; c < kMaxColumns; ++c) {
    TFieldType& field = record.FFields[static_cast<std::size_t>(c)];
    field.ShowAsDb = c % 2;
    field.PerDiv = 2.0 + c;
    field.RefValue = -10.0 * c;
    field.RefDiv = c + 1;
    field.WrapPhase = c == 2;
  }
  record.FOverlayNames = StringList{"a.vr2", "b.vr2"};
  record.FOverlayFlag1 = 1;
  record.FOverlayFlag2 = 1;
  record.FOverlayStyles[7] = {0x123456, 3};
  return record;
}

// Loads every weighting it is asked for as a one-point curve of that name.
std::optional<TWeighting> AnyWeighting(const std::string& name) {
  return TWeighting{name, "", 0, 0, {{1000.0, 1.0, 0.0}}};
}

// --- Capture and apply ------------------------------------------------------------------------

TEST(PlotFormatApply, CopiesTheWholeFormatButNeitherDataNorColours) {
  const TDataMeas source = FormattedResponse();
  TDataMeas target = fixtures::FrequencyRecord(kFrequencyResponse, {10.0, 100.0, 1000.0},
                                               {{7.0, 8.0, 9.0}, {0.0, 0.0, 0.0}});
  target.FColors[3] = 0x00AA00;
  target.FMarkerCacheValid = 1;
  const auto values = target.FFields[1].Values;

  ASSERT_EQ(ApplyPlotFormat(CapturePlotFormat(source), target, false, AnyWeighting),
            FormatFit::Full);
  PlotFormat expected = CapturePlotFormat(source);
  EXPECT_EQ(CapturePlotFormat(target), expected);
  ASSERT_TRUE(target.FWeighting);
  EXPECT_EQ(target.FWeighting->Name, "Pink");
  EXPECT_EQ(target.FMarkerCacheValid, 0);  // markers moved: their pixels are stale
  EXPECT_EQ(target.FFields[1].Values, values);
  EXPECT_EQ(target.FColors[3], 0x00AA00u);
  EXPECT_EQ(target.FNumPoints, 3);
}

TEST(PlotFormatApply, DataTypeGroupsDecideWhatIsApplied) {
  struct Case {
    std::uint8_t source;
    std::uint8_t target;
    bool primary;
    FormatFit fit;
  };
  const Case cases[] = {
      {kFrequencyResponse, kFrequencyResponse, true, FormatFit::Full},
      {kFrequencyResponse, kSpectrum, true, FormatFit::Refused},
      {kGroupDelay, kFrequencyResponse, true, FormatFit::Refused},
      {kFrequencyResponse, kSpectrum, false, FormatFit::Full},
      {kComplexSpectrum, 8, false, FormatFit::Full},
      {kSpectrum, kComplexSpectrum, false, FormatFit::Full},
      {kStepResponse, kTimeDomain, false, FormatFit::Full},
      {kTimeDomain, kStepResponse, false, FormatFit::Full},
      {kFrequencyResponse, kImpedance, false, FormatFit::Refused},
      {kImpedance, kFrequencyResponse, false, FormatFit::Refused},
      {kRtaBands, kSpectrum, false, FormatFit::Refused},
      {kTimeDomain, kFrequencyResponse, false, FormatFit::Refused},
      {kFrequencyResponse, kGroupDelay, false, FormatFit::Refused},
      {kGroupDelay, kGroupDelay, false, FormatFit::Full},
      {kGroupDelay, kFrequencyResponse, false, FormatFit::KeepHorizontalRange},
      {kEnergyTimeCurve, kImpedance, false, FormatFit::KeepHorizontalRange},
      {kDistortionVsLevel, kTimeDomain, false, FormatFit::KeepHorizontalRange},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message()
                 << int{c.source} << " onto " << int{c.target} << (c.primary ? " (primary)" : ""));
    const TDataMeas source = FormattedResponse(c.source);
    TDataMeas target = FormattedResponse(c.target);
    target.FViewStart = 1.0;
    target.FViewStop = 2.0;
    target.FNumDivisions = 4;
    const TDataMeas before = target;

    EXPECT_EQ(ApplyPlotFormat(CapturePlotFormat(source), target, c.primary, AnyWeighting), c.fit);
    EXPECT_EQ(target.FDataType, c.target);  // a format never changes the data type
    const bool applied = c.fit != FormatFit::Refused;
    EXPECT_EQ(target.FNumDivisions, applied ? 12 : 4);
    const bool range_copied = c.fit == FormatFit::Full;
    EXPECT_EQ(target.FViewStart, range_copied ? 50.0 : 1.0);
    EXPECT_EQ(target.FViewStop, range_copied ? 15000.0 : 2.0);
    if (!applied) {
      EXPECT_EQ(CapturePlotFormat(target), CapturePlotFormat(before));
    }
  }
}

TEST(PlotFormatApply, TooSmallPerDivisionBecomesOne) {
  struct Case {
    double per_div;
    double applied;
  };
  const Case cases[] = {{5.0, 5.0}, {1e-9, 1e-9}, {0.99e-9, 1.0},
                        {0.0, 1.0}, {-3.0, 1.0},  {std::numeric_limits<double>::quiet_NaN(), 1.0}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.per_div);
    PlotFormat format = CapturePlotFormat(FormattedResponse());
    format.Curves[1].PerDiv = c.per_div;
    TDataMeas target = FormattedResponse();
    ApplyPlotFormat(format, target, false, AnyWeighting);
    EXPECT_EQ(target.FFields[1].PerDiv, c.applied);
  }
}

TEST(PlotFormatApply, WeightingIsLoadedOrRemoved) {
  PlotFormat format = CapturePlotFormat(FormattedResponse());
  int loads = 0;
  const WeightingLoader fails = [&loads](const std::string&) {
    ++loads;
    return std::optional<TWeighting>();
  };
  TDataMeas target = FormattedResponse();
  ApplyPlotFormat(format, target, false, fails);
  EXPECT_EQ(loads, 1);
  EXPECT_FALSE(target.FWeighting) << "a weighting that cannot be loaded is removed";

  target = FormattedResponse();
  format.WeightFile.clear();
  ApplyPlotFormat(format, target, false, fails);
  EXPECT_EQ(loads, 1) << "no name, nothing to load";
  EXPECT_FALSE(target.FWeighting);
}

TEST(PlotFormatApply, TraceCurvesTheTargetLacksLeaveItsTraces) {
  // A group delay format (curves 1 and 4) dropped on a one-channel time record.
  PlotFormat format = CapturePlotFormat(FormattedResponse(kGroupDelay));
  format.Curve0 = 4;
  format.Curve1 = -1;
  TDataMeas target = fixtures::TimeRecord(48000, 0.0, {{1.0, 0.0, 0.0}});
  target.FTraceA = 0;
  target.FTraceB = 0;
  ASSERT_EQ(ApplyPlotFormat(format, target, false, AnyWeighting), FormatFit::KeepHorizontalRange);
  EXPECT_EQ(target.FTraceA, 0);
  EXPECT_EQ(target.FTraceB, -1);
}

// --- Format files -----------------------------------------------------------------------------

class PlotFormatFileTest : public testing::Test {
 protected:
  std::filesystem::path Write(const std::string& name, const std::string& text) {
    const std::filesystem::path file = folder_ / name;
    WriteFileAtomically(file, text);
    return file;
  }

  TempFolder folder_;
  Notices notices_;
};

TEST_F(PlotFormatFileTest, RoundTripKeepsEveryKeyAndAllEightOverlays) {
  PlotFormat format = CapturePlotFormat(FormattedResponse());
  format.XRefVal = 1000.0;
  format.ZScale = 0.1;
  format.RefFile = "C:\\data\\ref.vr2";
  format.Overlays.clear();
  for (int n = 0; n < 8; ++n) format.Overlays.push_back("overlay" + std::to_string(n) + ".vr2");
  const std::filesystem::path file = folder_ / "all.pf_";

  SavePlotFormatFile(file, format);
  const auto loaded = LoadPlotFormatFile(file, notices_);
  ASSERT_TRUE(loaded);
  EXPECT_EQ(*loaded, format);
  EXPECT_EQ(loaded->Overlays.size(), 8u);
  EXPECT_TRUE(notices_.Texts().empty());

  // The keys stand in the file's order.
  const IniFile ini = IniFile::FromFile(file);
  const std::vector<std::string> keys = ini.Keys("PlotFormat");
  const std::vector<std::string> head = {"DataType",   "Curve0",     "Curve1", "WeightFile",
                                         "DelayShift", "XRefVal",    "ZScale", "RefFile",
                                         "Mkr0",       "MkrVisible0"};
  ASSERT_GE(keys.size(), head.size());
  EXPECT_EQ(std::vector<std::string>(keys.begin(), keys.begin() + 10), head);
  EXPECT_EQ(keys.back(), "TrCol7");
  EXPECT_EQ(ini.Sections(), std::vector<std::string>{"PlotFormat"});
}

TEST_F(PlotFormatFileTest, WritingAShorterOverlayListLeavesNoStaleNames) {
  IniFile ini;
  PlotFormat format;
  format.Overlays = {"1", "2", "3", "4", "5", "6", "7"};
  WritePlotFormat(ini, "AcqMode3", format);
  format.Overlays = {"x"};
  WritePlotFormat(ini, "AcqMode3", format);
  EXPECT_EQ(ReadPlotFormat(ini, "AcqMode3")->Overlays, StringList{"x"});
}

TEST_F(PlotFormatFileTest, UnknownKeysAreIgnoredAndMissingOnesKeepTheDefaults) {
  const auto file = Write("old.pf_",
                          "; written by hand\r\n[Other]\r\nDataType=4\r\n"
                          "[PlotFormat]\r\nDataType=2\r\nCurve0=1\r\nFancyKey=7\r\n"
                          "HStart=20\r\nHStop=20000\r\nMC0=\r\nMC1=b.vr2\r\nMC6=g.vr2\r\n");
  const auto format = LoadPlotFormatFile(file, notices_);
  ASSERT_TRUE(format);
  EXPECT_EQ(format->DataType, kSpectrum);
  EXPECT_EQ(format->Curve0, 1);
  EXPECT_EQ(format->Curve1, -1);
  EXPECT_EQ(format->HStop, 20000.0);
  EXPECT_EQ(format->Overlays, (StringList{"b.vr2", "g.vr2"}));  // empty names dropped
  EXPECT_EQ(format->Identification, kPlotIdentificationDefaults);
  EXPECT_EQ(format->Identification[7], (OverlayStyle{0x808000, 0}));
  EXPECT_TRUE(notices_.Texts().empty());
}

TEST_F(PlotFormatFileTest, ValuesNoPlotCanShowKeepTheDefaults) {
  const auto file = Write("odd.pf_",
                          "[PlotFormat]\nDataType=1\nCurve0=7\nCurve1=-2\nVNumDiv=0\n"
                          "HStart=nan\nHStop=inf\nVRefDiv2=-5\nMkr0=1e300\nTID3=300\n"
                          "TrCol4=-1\nMagOffset=abc\n");
  const auto format = LoadPlotFormatFile(file, notices_);
  ASSERT_TRUE(format);
  const PlotFormat defaults;
  EXPECT_EQ(format->Curve0, -1);
  EXPECT_EQ(format->Curve1, -1);
  EXPECT_EQ(format->VNumDiv, defaults.VNumDiv);
  EXPECT_EQ(format->HStart, 0.0);
  EXPECT_EQ(format->HStop, 0.0);
  EXPECT_EQ(format->Curves[2].RefDiv, 0);
  EXPECT_EQ(format->Mkr[0], 0.0f);
  EXPECT_EQ(format->Identification, kPlotIdentificationDefaults);
  EXPECT_EQ(format->MagOffset, 1.0);
}

TEST_F(PlotFormatFileTest, DamagedFilesAreNoticedAndApplyNothing) {
  const std::string bytes("\x00\x01\xff[PlotFormat\x00", 14);
  const std::vector<std::filesystem::path> files = {
      folder_ / "missing.pf_",
      folder_.Path(),  // a folder
      Write("binary.pf_", bytes),
      Write("empty.pf_", ""),
      Write("nosection.pf_", "[Format]\nDataType=1\n"),
      Write("notype.pf_", "[PlotFormat]\nCurve0=1\n"),
      Write("badtype.pf_", "[PlotFormat]\nDataType=one\n"),
      Write("bigtype.pf_", "[PlotFormat]\nDataType=256\n"),
  };
  for (const auto& file : files) {
    SCOPED_TRACE(file.string());
    notices_.Clear();
    TDataMeas target = FormattedResponse();
    const PlotFormat before = CapturePlotFormat(target);
    EXPECT_FALSE(ApplyPlotFormatFile(file, target, false, AnyWeighting, notices_));
    EXPECT_EQ(notices_.Texts(),
              std::vector<std::string>{"Error loading Plot Format File:" + file.string()});
    EXPECT_EQ(CapturePlotFormat(target), before);
  }
}

TEST_F(PlotFormatFileTest, IncompatibleTypesAreNoticedForPrimaryAndSecondaryPlots) {
  const auto file = folder_ / "imp.pf_";
  SavePlotFormatFile(file, CapturePlotFormat(FormattedResponse(kImpedance)));
  struct Case {
    std::uint8_t target;
    bool primary;
    const char* notice;  // none when applied
  };
  const Case cases[] = {
      {kImpedance, true, nullptr},
      {kImpedance, false, nullptr},
      {kFrequencyResponse, true, "Plot format load to Primary Plot is not compatible"},
      {kFrequencyResponse, false, "Plot format load to secondary Plot is not compatible"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.notice ? c.notice : "applied");
    notices_.Clear();
    TDataMeas target = fixtures::FrequencyRecord(c.target, {1.0, 2.0}, {{1.0, 1.0}});
    EXPECT_EQ(ApplyPlotFormatFile(file, target, c.primary, AnyWeighting, notices_),
              c.notice == nullptr);
    EXPECT_EQ(notices_.Texts(),
              c.notice ? std::vector<std::string>{c.notice} : std::vector<std::string>{});
    EXPECT_EQ(target.FNumDivisions == 12, c.notice == nullptr);
  }
}

TEST(PlotFormatFilePathTest, BareNamesGoToTheConfigurationFolderAsFormatFiles) {
  const std::filesystem::path config = "/cfg";
  struct Case {
    std::filesystem::path chosen;
    std::filesystem::path expected;
  };
  const Case cases[] = {
      {"speaker", "/cfg/speaker.pf_"},
      {"speaker.txt", "/cfg/speaker.pf_"},
      {"speaker.pf_", "/cfg/speaker.pf_"},
      {"/data/speaker", "/data/speaker.pf_"},
      {"/data/speaker.pf_", "/data/speaker.pf_"},
      {"/data/speaker.fmt", "/data/speaker.fmt"},  // a folder and an extension chosen
  };
  for (const Case& c : cases) {
    EXPECT_EQ(PlotFormatFilePath(c.chosen, config), c.expected) << c.chosen;
  }
}

TEST_F(PlotFormatFileTest, WeightingFilesAreFoundByTheNameAFormatKeeps) {
  Write("Pink.wgt", "Pink noise\n1000 0\n2000 6.0206\n");
  CollectedMessages messages;
  const WeightingLoader load = WeightingFilesIn(folder_.Path(), messages);
  const auto found = load("Pink");
  ASSERT_TRUE(found);
  EXPECT_EQ(found->Name, "Pink");
  ASSERT_EQ(found->Points.size(), 2u);
  EXPECT_NEAR(found->Points[1].Factor, 2.0, 1e-4);
  EXPECT_TRUE(load((folder_ / "Pink.wgt").string()));
  EXPECT_FALSE(load("Brown"));
  EXPECT_TRUE(messages.Texts().empty());
}

}  // namespace
}  // namespace vireon
