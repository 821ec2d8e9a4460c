#include "config/ConfigKeys.h"

#include <algorithm>
#include <array>
#include <initializer_list>
#include <string>
#include <unordered_map>
#include <vector>

#include "config/AsciiCase.h"

namespace vireon {
namespace {

constexpr ConfigType I = ConfigType::kInteger;
constexpr ConfigType D = ConfigType::kDouble;
constexpr ConfigType B = ConfigType::kBool;
constexpr ConfigType S = ConfigType::kString;

std::string Indexed(std::string_view stem, int index) {
  return std::string(stem) + std::to_string(index);
}

class TableBuilder {
 public:
  TableBuilder(std::vector<ConfigKey>& keys, ConfigFile file) : keys_(keys), file_(file) {}

  void Section(std::string name, int acq_index = -1) {
    section_ = std::move(name);
    acq_index_ = acq_index;
  }
  void Add(ConfigType type, std::initializer_list<std::string_view> names) {
    for (const std::string_view name : names) Push(std::string(name), type);
  }
  // stem + first .. stem + last, one after the other.
  void Range(ConfigType type, std::string_view stem, int first, int last) {
    for (int index = first; index <= last; ++index) Push(Indexed(stem, index), type);
  }
  void Counted(ConfigType type, std::string_view stem, std::string_view count_key) {
    keys_.push_back(
        ConfigKey{file_, section_, std::string(stem), type, std::string(count_key), acq_index_});
  }
  void OnlyWhenSet(ConfigType type, std::string_view stem, int first, int last) {
    for (int index = first; index <= last; ++index) {
      keys_.push_back(ConfigKey{file_, section_, Indexed(stem, index), type, {}, acq_index_, true});
    }
  }

 private:
  void Push(std::string key, ConfigType type) {
    keys_.push_back(ConfigKey{file_, section_, std::move(key), type, {}, acq_index_});
  }

  std::vector<ConfigKey>& keys_;
  ConfigFile file_;
  std::string section_;
  int acq_index_ = -1;
};

// The keys of one plot display format; `suffix` marks the time plot's copy ("_T").
void AddMarkerKeys(TableBuilder& table, std::string_view marker, std::string_view visible) {
  for (int k = 0; k <= 4; ++k) {
    table.Add(D, {Indexed(marker, k)});
    table.Add(B, {Indexed(visible, k)});
  }
}

void AddColumnFormatKeys(TableBuilder& table, std::string_view suffix) {
  const std::string s(suffix);
  for (int k = 0; k <= 4; ++k) {
    table.Add(B, {Indexed("VFormatLog" + s, k)});
    table.Add(D, {Indexed("VScale" + s, k), Indexed("VRefVal" + s, k)});
    table.Add(I, {Indexed("VRefDiv" + s, k)});
    table.Add(B, {Indexed(s.empty() ? "Wrap180_" : "Wrap180" + s, k)});
  }
}

// One "AcqMode" section. The wavelet primary plot's section holds only the display format of
// the frequency plot: no averaging, size, auto-stop, time-plot, spectrum or late-EQ keys.
void AddAcqModeKeys(TableBuilder& table, int acq_index, bool with_acquisition_keys) {
  if (with_acquisition_keys) table.Add(I, {"AverageType", "AverageLimit"});
  table.Add(I, {"Curve0", "Curve1"});
  table.Add(S, {"WeightFile"});
  if (with_acquisition_keys) {
    table.Add(I, {"FftSize", "AcqSize", "AvgMax"});
    table.Add(B, {"AutoStop"});
  }
  table.Add(B, {"AutoScale0", "AutoRef0", "AutoScale1", "AutoRef1"});
  table.Add(D, {"DelayShift", "XRefVal", "ZScale"});
  table.Add(S, {"RefFile"});
  AddMarkerKeys(table, "Mkr", "MkrVisible");
  table.Add(D, {"HStart", "HStop"});
  table.Add(B, {"HFormatLog", "HGridLabelDown"});
  table.Add(I, {"VNumDiv"});
  table.Add(D, {"MagOffset"});
  AddColumnFormatKeys(table, "");
  table.Add(I, {"ScaledForA", "ScaledForB"});
  if (with_acquisition_keys) {
    // The index of these two is the section's own acquisition number.
    table.Add(B, {Indexed("UseAvg", acq_index), Indexed("AutoStopOnTime", acq_index)});
    table.Add(I, {"Curve0_T", "Curve1_T"});
    AddMarkerKeys(table, "Mkr_T", "MkrVisible_T");
    table.Add(D, {"HStart_T", "HStop_T"});
    table.Add(I, {"VNumDiv_T"});
    AddColumnFormatKeys(table, "_T");
    table.Add(I, {"AverageType_S", "FftSize_S", "AcqSize_S", "AvgMax_S"});
    table.Add(
        B, {"AutoStop_S", Indexed("UseAvg_S", acq_index), Indexed("AutoStopOnTime_S", acq_index)});
  }
  table.OnlyWhenSet(S, "MC", 0, 4);
  table.Add(B, {"MPUse", "MPShowLegends"});
  for (int k = 0; k <= 7; ++k) table.Add(I, {Indexed("TID", k), Indexed("TrCol", k)});
  if (with_acquisition_keys) {
    table.Add(B, {"UseLateEQ"});
    table.Add(S, {"LateEQfilename"});
  }
}

void AddStepFToneKeys(TableBuilder& table, std::string_view channel) {
  const std::string c(channel);
  const std::string count_key = "Number" + c + "StepFSines";
  for (const std::string_view stem : {"StepFFStt", "StepFFStp", "StepFLStt", "StepFLStp"}) {
    table.Counted(D, c + std::string(stem), count_key);
  }
  table.Counted(I, c + "LogF", count_key);
  table.Counted(I, c + "LogL", count_key);
}

void AddSoftwareKeys(std::vector<ConfigKey>& keys) {
  TableBuilder t(keys, ConfigFile::kSoftware);
  t.Section(std::string(kVersionSection));
  t.Add(I, {kVersionKey});

  t.Section("LivePlots");
  for (const std::string_view plot : {"LiveIR", "LiveTime", "AuxPlot"}) {
    for (const std::string_view suffix : {"_x", "_y", "_Height", "_Width"}) {
      t.Add(I, {std::string(plot) + std::string(suffix)});
    }
  }
  t.Add(B, {"QueryForSaveAtShutdown1"});

  t.Section("VireonFree");
  t.Add(B, {"UseChirpLP"});
  t.Add(D, {"ChirpLPFfreq"});
  t.Add(I, {"SpectroLeft", "SpectroTop", "SpectroWidth", "SpectroHeight"});
  t.Add(B, {"WSEqHF"});
  t.Add(D, {"WSDbRange"});
  t.Add(B, {"WSNormalizeEach"});
  t.Add(D, {"SpectroOctFrac", "WSFreqMin", "WSFreqMax"});
  t.Add(I, {"WSWinType"});

  t.Section("Forms");
  t.Add(I, {"MainTop", "MainLeft", "ADDATop", "ADDALeft"});
  t.Add(B, {"LevelsVisible"});
  t.Add(I, {"PriPlotTop", "PriPlotLeft", "PriPlotHeight", "PriPlotWidth", "SDLeft", "SDTop",
            "SDHeight", "SDWidth"});
  t.Add(B, {"CfgAcqVisible"});
  t.Add(I, {"CfgAcqTop", "CfgAcqLeft"});
  t.Add(B, {"CfgStimVisible"});
  t.Add(I,
        {"CfgStimTop", "CfgStimLeft", "CfgPpTop", "CfgPpLeft", "OLCTop", "OLCLeft", "PlotBackColor",
         "PlotGridColor", "PlotCurveColor1", "PlotCurveColor2", "PlotMarkerColor"});
  t.Range(I, "MPTraceColor", 1, 8);
  t.Add(I, {"TraceWidth"});

  t.Section("PrintOptions");
  t.Add(I, {"PrintScale", "PrintTarget", "PrintStyle"});

  t.Section("Priority");
  t.Add(I, {"TimerThreadPriority", "OverallPriority"});

  t.Section("UserPreferences");
  t.Add(B, {"UnitsMetric"});
  t.Add(D, {"GroundResistance"});
  t.Add(S, {"BackDropBitmap"});
  t.Add(B, {"BackDrop", "ShowHint", "UseDashed", "UseDcCancel"});
  t.Add(D, {"TimeDbRangeDef"});
  t.Add(B, {"TimeLogMagDef", "ZLogMagDef"});

  t.Section("InputSourceGainSettings");
  t.Add(I, {"SyncPulseInputGain", "PulseOutHeight"});

  t.Section("VireonSystem");
  t.Add(S, {"DataSaveDirectory", "DataLoadDirectory"});
  t.Add(B, {"DataDefaultsFollowChanges"});
  t.Add(I, {"CalInputIndex", "Stimulus_Index", "Acquisition_Index", "PostProcess_Index"});
  t.Add(B, {"CfgPpVisible", "UseFastTSExtract", "UseFlexWindow", "UseMaxHold", "UseMinHold",
            "PostProcUseFlexWindow", "SpectrumNormalize", "FindWinEdgesEachAcq"});
  t.Add(I, {"LF_TruncFixMethod", "EnvelopeLength", "EnvelopeType"});
  t.Add(D, {"StepTrim"});
  t.Add(I, {"PostProcFftSize", "PostProcWindowType"});
  t.Add(D, {"SmoothingOctBandwidth", "SmoothingOctLimit"});
  t.Add(I, {"SmoothingFilter", "SmoothingFilterOrder"});
  t.Add(B, {"SmoothIncPhase"});
  t.Add(D, {"SchroederOctBandwidth"});
  t.Add(I, {"SchroederFilter", "SchroederFilterOrder"});
  t.Add(B, {"CalculateSTI", "FilterMagOnly"});
  t.Add(D, {"PostProcGain", "PostProcDelay"});
  t.Add(I, {"FilterShape", "FilterType", "FilterOrder"});
  t.Add(D, {"PostProcFreq1", "PostProcFreq2"});
  t.Add(I,
        {"PasteOverMode", "MathOp", "RemapFreqFormat", "RemapSampleRate", "RemapNumberOfPoints"});
  t.Add(S, {"RemapListFile"});
  t.Add(I, {"TrigPolarity", "TrigChannel"});
  t.Add(D, {"TrigPosPercent", "TrigThreshold"});
  t.Add(I, {"TrigSlope"});
  t.Add(B, {"FreeRunAfterTrig"});
  t.Add(D, {"AutoStartTime", "AutoStopTime"});
  t.Add(B, {"UseAutoStopTime", "UseAutoStopAvg", "UseAutoStart", "ShouldCalcTotal1",
            "ShouldCalcTotal2", "CalcDisplayedFreqsOnly"});
  t.Add(D, {"TimeConstant"});
  t.Add(I, {"TimeChan1From", "TimeChan1UseChan", "TimeChan2From", "TimeChan2UseChan",
            "TimeLengthMode", "TimeMathMode", "TimeGainMode"});
  t.Add(D, {"TimeLengthAdjustVal", "PostProcTimeGainDb1", "PostProcTimeGainDb2", "SmStartFreq",
            "SmStopFreq"});
  t.Add(I, {"MLSLength"});
  t.Add(D, {"ReferenceResistor"});
  t.Add(I, {"OffsetSPLdbV", "Ch1_Input_Select", "Ch2_Input_Select"});
  t.Add(D, {"WndL", "WndR"});
  t.Add(I, {"WndKindSync", "WndKindAsync"});

  t.Section("TheileSmall");
  t.Add(B, {"TSuseAddedMass"});
  t.Add(D, {"TSvolume", "TSmass", "TSdia"});
  t.Add(B, {"TSanimate"});

  t.Section(std::string(kAcqSectionCountSection));
  t.Add(I, {"DomainOutCh"});
  for (int field = 1; field <= 2; ++field) {
    for (const std::string_view item :
         {"MultA", "MultB", "ToneA", "ToneB", "OChanA", "OChanB", "Ref"}) {
      t.Add(I, {Indexed("StepFField", field) + std::string(item)});
    }
  }
  t.Add(B, {"StepFDomainIsFreq", "StepFField1THD", "StepFField2THD"});
  t.Add(I, {"MaxHarmonic"});
  t.Add(B, {"DistortionAsPercent"});
  t.Add(I, {kAcqSectionCountKey});

  for (int n = 0; n < kAcqSectionCount; ++n) {
    t.Section(Indexed("AcqMode", n), n);
    AddAcqModeKeys(t, n, true);
  }

  t.Section("Waterfall formats");
  t.Add(D, {"Hstart", "Hstop"});
  t.Add(B, {"HFormatLog"});
  t.Add(I, {"VNumDiv"});
  t.Add(D, {"MagOffset", "VScale", "VRefVal"});
  t.Add(I, {"VRefDiv", "ScaledFor"});

  t.Section("AcqMode WaveletPrimaryINI");
  AddAcqModeKeys(t, -1, false);

  t.Section("Stimulus");
  t.Add(D, {"P_Out_Adj", "Q_Out_Adj"});
  t.Add(I, {"NumberPStepFSines", "NumberQStepFSines"});
  AddStepFToneKeys(t, "P");
  AddStepFToneKeys(t, "Q");
  t.Add(S, {"StepFListFileName"});
  t.Add(I, {"StepFSteps"});
  t.Add(B, {"StepFUseSpec"});

  t.Section("Chirp");
  t.Add(D, {"ChirpTimeLength", "ChirpStartFreq", "ChirpStopFreq"});
  t.Add(B, {"ChirpLinearSweep"});

  t.Section("3DDefaults");
  t.Add(I, {"FillColor1", "FillColor2", "BaseColor"});
  t.Add(D, {"Horiz3D", "Vert3D", "WfTimInc"});
  t.Add(I, {"WfSteps"});

  t.Section("Misc");
  t.Add(I, {"NormalizeWeightNumPoints"});

  t.Section("V2 Parameters");
  t.Add(B, {"OutputEnabled1", "OutputEnabled2"});
  t.Add(D, {"FreqRatio"});
  t.Add(I, {"MaxDistOrder"});
  t.Add(B, {"CompensateForResp", "DenormalizeDist", "MaxWindow", "UsesASIO"});
  t.Add(I, {"SpectrumHideStimulus1", "SpectrumHideStimulus2"});
  t.Add(D, {"SpeedOfSound", "DensityOfAir"});
  t.Add(B, {"UseAverage"});
  t.Add(D, {"TimeOfFlightSyncFft", "TimeOfFlightAsynch", "InterSilence", "Latency48k",
            "LineFrequency"});
  t.Add(I, {"HideLineBW"});

  t.Section("WaveletBurst");
  t.Add(B, {"WaveletUseWindow"});
  t.Add(I, {"WaveletWindowMinCycles", "WaveletLimitCondition"});
  t.Add(D, {"WaveletLength"});
  t.Add(I, {"WaveletEnvelopeShape"});
  t.Add(D, {"WaveletLimitVal", "WaveletAnalysisBandwidth", "WaveletStartFrequency",
            "WaveletStopFrequency", "WaveletFrequencyStep", "WaveletLevelStart", "WaveletLevelStep",
            "WaveletLevelResolution"});
  t.Add(S, {"ReferenceResponseFile"});
  t.Add(I, {"WaveletAvgOptions"});
  t.Add(S, {"WaveletMaxLevelFile"});
  t.Add(B, {"WaveletUseMaxLevelFile", "WaveletRefResponseMeasure", "WaveletUseRefResp"});
  t.Add(D, {"Wavelet2ndToneFreqMult", "Wavelet2ndTonedBLev"});
  t.Add(S, {"SpectrumGrowthWeightFile"});
  t.Add(B, {"SpectrumGrowthIncludeCompression", "UseMathRefCal"});
  t.Add(I, {"ConvertToSampleRate"});
  t.Add(D, {"TailCorrLowerFreq", "TailCorrUpperFreq", "TailCorrLowerSlope", "TailCorrUpperSlope"});
  t.Add(I, {"GraphicFileDef"});
  t.Add(B, {"StrictScripts"});
}

void AddHardwareKeys(std::vector<ConfigKey>& keys) {
  TableBuilder t(keys, ConfigFile::kHardware);
  t.Section(std::string(kVersionSection));
  t.Add(I, {kVersionKey});

  t.Section("Graphics");
  t.Add(B, {"CustomBitmapStretched", "UseCustomBitmap"});
  t.Add(S, {"CustomBitmapName"});

  t.Section("MicsAndProbes");
  t.Add(I, {"ImpedanceConnection"});
  t.Add(B, {"Mic1UsesProbeJack", "Mic2UsesProbeJack"});
  t.Add(S, {"Mic1FileName", "Mic2FileName"});
  t.Add(D, {"ProbeResistor", "ProbeResistorFor1", "ProbeResistorFor2"});

  t.Section("Soundcards");
  t.Add(I, {"DriverMaxBuffer"});
  t.Add(D, {"BufferLengthMME"});
  t.Add(S, {"DPLayDevName"});
  t.Add(B, {"WAVE_EXT"});
  t.Add(S, {"RecDevName", "PlayDevName"});
  t.Add(B, {"AllowSepAD", "AllowDiffRes", "AllowDiffRates"});
  t.Add(I, {"PlayRate", "RecRate", "PlayResolution", "RecResolution"});
  t.Add(B, {"SkipCalibration"});

  t.Section("Version2");
  t.Add(D, {"PowerAmpdBGain", "PowerAmplifierPeakVCap", "SpeakerSensitivity",
            "GainReferenceFrequency", "PowerAmpGainMeasurementLevel"});
  t.Add(I, {"FIRshift"});
}

}  // namespace

bool IsDataRelativeKey(const ConfigKey& entry) {
  static constexpr std::array<std::string_view, 5> kNames = {
      "RemapListFile", "StepFListFileName", "ReferenceResponseFile", "WaveletMaxLevelFile",
      "SpectrumGrowthWeightFile"};
  return entry.file == ConfigFile::kSoftware && entry.count_key.empty() &&
         std::find(kNames.begin(), kNames.end(), entry.key) != kNames.end();
}

std::span<const ConfigKey> ConfigKeyTable() {
  static const std::vector<ConfigKey> table = [] {
    std::vector<ConfigKey> keys;
    AddSoftwareKeys(keys);
    AddHardwareKeys(keys);
    return keys;
  }();
  return table;
}

namespace {

std::string IndexName(ConfigFile file, std::string_view section, std::string_view key) {
  return FoldAsciiCase(std::string(1, file == ConfigFile::kSoftware ? 's' : 'h') + "\n" +
                       std::string(section) + "\n" + std::string(key));
}

}  // namespace

const ConfigKey* FindConfigKey(ConfigFile file, std::string_view section, std::string_view key) {
  // Every part binds its keys by name at start-up: look them up by hash, not by scanning.
  static const std::unordered_map<std::string, const ConfigKey*> index = [] {
    std::unordered_map<std::string, const ConfigKey*> names;
    for (const ConfigKey& entry : ConfigKeyTable()) {
      names.emplace(IndexName(entry.file, entry.section, entry.key), &entry);
    }
    return names;
  }();
  const auto found = index.find(IndexName(file, section, key));
  return found == index.end() ? nullptr : found->second;
}

}  // namespace vireon
