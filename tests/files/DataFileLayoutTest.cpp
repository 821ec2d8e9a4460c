// The binary data file's bytes, assembled item by item from the layout tables and compared
// with what the writer produces; then the tail's defaults and the file-name and title rules.

#include <gtest/gtest.h>

#include "FileTestSupport.h"
#include "files/FileIO_Data.h"

namespace vireon {
namespace {

using testing_support::Bytes;

TDataMeas SmallRecord() {
  TDataMeas r;
  r.FDataType = kFrequencyResponse;
  r.FNumFields = 2;
  r.FNumPoints = 3;
  r.AllocColumns();
  r.FFields[0].Values = {100.0, 200.0, 400.0};
  r.FFields[1].Values = {1.0, 0.5, 0.25};
  r.FFields[0].Name = "Freq";
  r.FFields[0].Units = "Hz";
  r.FFields[1].Name = "Mag";
  r.FFields[1].Units = "dB";
  r.FFields[1].RefDiv = 6;
  r.FFields[1].ShowAsDb = 1;
  r.FFields[1].WrapPhase = 1;
  r.FFields[1].AuxFlag = 1;
  r.FFields[1].PerDiv = 5.0;
  r.FFields[1].RefValue = -10.0;
  r.FFields[1].InputKind = 4;
  r.FTraceA = 1;
  r.FTraceB = -1;
  r.FSampleRate = 48000;
  r.FTitle = "T";
  r.FSampleBits = 16;
  r.FSpareInt = 7;
  r.FAvgCount = 3;
  r.FAvgTarget = 4;
  r.FWinStart = 1;
  r.FWinEnd = 2;
  r.FWinStart2 = 3;
  r.FWinEnd2 = 4;
  r.FWindowLen = 5;
  r.FNumDivisions = 8;
  for (std::size_t i = 0; i < 5; ++i) {
    r.FMarkerPixY[i] = static_cast<std::int32_t>(10 * i);
    r.FMarkerPixX[i] = static_cast<std::int32_t>(20 * i);
    r.FMarkerOn[i] = static_cast<std::uint8_t>(i % 2);
    r.FMarkerX[i] = 0.1f * static_cast<float>(i);
  }
  r.FSpareByte1 = 9;
  r.FChanged = 1;
  r.FTitleLocked = 0;
  r.FLinearFreq = 0;
  r.FMarkerCacheValid = 1;
  r.FLogX = 1;
  r.FGridFlag = 1;
  r.FDisplayDelay = 0.001;
  r.FDelayA = 0.002;
  r.FDelayB = 0.003;
  r.FBinWidth = {1.5, 2.5};
  r.FPeakTime = {0.01, 0.02};
  r.FRefScale = 10.0;
  r.FUnity = 3.0;  // stored as 1.0 whatever it holds
  r.FViewStart = 20.0;
  r.FViewStop = 20000.0;
  r.FStartTime = 100.0;
  r.FEndX = 400.0;
  r.FSpareDouble1 = 0.5;
  r.FSpareDouble2 = 0.001;
  r.FSpareDouble3 = -1.0;
  r.FDisplayScale = 2.0;
  r.FTimeStamp = 45000.25;
  r.FSubTitle = "sub";
  r.FXUnits = "Hz";
  r.FFileName = "/old/name.vr2";
  r.FRtaFlag = 1;
  r.FSpareByte2 = 2;
  r.FAvgType = 3;
  r.FWindowType = 4;
  r.FWeighting.emplace();
  r.FWeighting->Name = "W";
  r.FWeighting->Info = "I";
  r.FWeighting->HiIndex = 1;
  r.FWeighting->LoIndex = 0;
  r.FWeighting->Points = {{1000.0, 2.0, 0.0}};
  r.FExtraParams[31] = 5.5;
  r.FOverlayNames = StringList{"a", "b"};
  r.FOverlayFlag1 = 1;
  r.FVertLimit3 = -5.0;
  r.FVertDefault = 70.0;
  r.FNotes = StringList{"n1"};
  r.FDbRange = {-40.0, 10.0};
  r.FColorFlag = 1;
  r.FCustomBitmap = 0;
  return r;
}

// Items 1 to 55 of SmallRecord, written under the name `file_name`.
Bytes MainPart(const std::string& title, const std::string& file_name) {
  Bytes b;
  b.I32(1).I32(2).I32(3).I32(1).I32(-1).I32(48000).Str(title);
  b.I32(24).F32(100.0f).F32(200.0f).F32(400.0f).F32(1.0f).F32(0.5f).F32(0.25f);
  b.I32(16).I32(7).I32(3).I32(4).I32(1).I32(2).I32(3).I32(4).I32(5).I32(8);
  for (int i = 0; i < 5; ++i) {
    b.I32(10 * i)
        .I32(20 * i)
        .U8(static_cast<std::uint8_t>(i % 2))
        .F64(0.1f * static_cast<float>(i));
  }
  b.Str("Freq").Str("Hz").I32(0).U8(0).U8(0).U8(0).U8(0).F64(1.0).F64(0.0).I32(0);
  b.Str("Mag").Str("dB").I32(6).U8(1).U8(1).U8(1).U8(0).F64(5.0).F64(-10.0).I32(4);
  for (int k = 2; k < 5; ++k) {
    b.Str("undefined").Str("?").I32(0).U8(0).U8(0).U8(0).U8(0).F64(1.0).F64(0.0).I32(0);
  }
  b.U8(9).U8(1).U8(1).U8(0).U8(0).U8(1).U8(1).U8(1);
  for (double d : {0.001, 0.002, 0.003, 1.5, 2.5, 0.01, 0.02, 10.0, 1.0, 20.0, 20000.0, 100.0,
                   400.0, 0.5, 0.001, -1.0, 2.0, 45000.25}) {
    b.F64(d);
  }
  b.Str("sub").Str("Hz").Str(file_name);
  b.I32(1).I32(2).I32(3).I32(4);
  b.I32(1).Str("W").Str("I").I32(1).I32(0).I32(1).F64(1000.0).F64(2.0);
  return b;
}

void AppendTail(Bytes& b) {
  b.I32(0);
  for (int i = 0; i < 31; ++i) b.F64(0.0);
  b.F64(5.5);
  b.I32(2).U8(1).U8(0).Str("a").Str("b");
  b.F64(-5.0).F64(70.0).I32(3);
  b.I32(1).Str("n1");
  for (const OverlayStyle& style : kDefaultOverlayStyles) b.I32(style.Symbol).U32(style.Color);
  b.U32(0x9F0000).U32(0x7E7EFA).U32(0xFFFFFF).U32(0x804000).U32(0x1E7500);
  b.U32(0xFFFFFF).U32(0x800000).U32(0xFFFFFF);
  b.F64(-40.0).F64(10.0).U8(1).U8(0);
}

TEST(DataFileLayout, WriterProducesTheItemTablesByteForByte) {
  Bytes expected = MainPart("T", "/data/x.vr2");
  AppendTail(expected);
  const auto written = EncodeDataFile(SmallRecord(), "/data/x.vr2", false);
  ASSERT_TRUE(written);
  EXPECT_EQ(*written, expected.Data());
}

TEST(DataFileLayout, HoldKeepsTheStoredNameAndMarksHoldDataByTitle) {
  Bytes expected = MainPart("<\"Hold\" Data file>", "/old/name.vr2");
  AppendTail(expected);
  EXPECT_EQ(*EncodeDataFile(SmallRecord(), "/data/HoldData.vr2", true), expected.Data());

  Bytes numbered = MainPart("T", "/old/name.vr2");
  AppendTail(numbered);
  EXPECT_EQ(*EncodeDataFile(SmallRecord(), "/data/HoldData1.vr2", true), numbered.Data());
}

TEST(DataFileLayout, FileEndingAfterTheWeightingTakesEveryTailDefault) {
  TempFolder folder;
  testing_support::WriteFile(folder / "short.vr2", MainPart("T", "stored").Data());
  FileContext context;
  context.Defaults.VertDefault = 66.0;
  context.OverlayTable[0] = {0x123456, 9};
  context.PlotColors[3] = 0x00AA00;
  CollectedMessages messages;
  TDataMeas record;
  record.FPlotKind = 3;
  record.FOverlayNames = StringList{"stale"};
  record.FNotes = StringList{"stale"};
  record.FCustomBitmap = 0;
  ASSERT_TRUE(LoadDataFile(folder / "short.vr2", record, false, false, context, messages));
  EXPECT_TRUE(messages.Texts().empty());
  EXPECT_EQ(record.FPlotKind, 0);
  EXPECT_FALSE(record.FOverlayNames);
  EXPECT_FALSE(record.FNotes);
  EXPECT_EQ(record.FVertLimit3, -1000000.0);
  EXPECT_EQ(record.FVertDefault, 66.0);
  EXPECT_EQ(record.FAvgCount, 2);
  EXPECT_EQ(record.FOverlayStyles, context.OverlayTable);
  EXPECT_EQ(record.FColors, context.PlotColors);
  EXPECT_EQ(record.FCustomBitmap, 1);
  // Without the hold flag the name is the one actually read; the rest as stored.
  EXPECT_EQ(record.FFileName, (folder / "short.vr2").string());
  EXPECT_EQ(record.FTitle, "T");
  EXPECT_EQ(record.FFields[1].Values, (DataArray{1.0, 0.5, 0.25}));
  EXPECT_EQ(record.FUnity, 1.0);
  EXPECT_EQ(record.FChanged, 0);
  EXPECT_EQ(record.FComplete, 1);
}

TEST(DataFileLayout, HoldLoadKeepsTheStoredName) {
  TempFolder folder;
  testing_support::WriteFile(folder / "h.vr2", MainPart("T", "/first/source.vr2").Data());
  CollectedMessages messages;
  TDataMeas record;
  ASSERT_TRUE(LoadDataFile(folder / "h.vr2", record, true, false, FileContext{}, messages));
  EXPECT_EQ(record.FFileName, "/first/source.vr2");
}

TEST(DataFileLayout, ReservedHoldNameInAnyLetterCase) {
  EXPECT_TRUE(IsReservedHoldName("/a/HoldData.vr2"));
  EXPECT_TRUE(IsReservedHoldName("holddata.VR2"));
  EXPECT_FALSE(IsReservedHoldName("/a/HoldData1.vr2"));
}

}  // namespace
}  // namespace vireon
