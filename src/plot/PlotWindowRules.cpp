#include "plot/PlotWindowRules.h"

#include <cstdint>

#include "record/DataTypes.h"

namespace vireon {

std::string PlotRole::Name() const {
  switch (kind) {
    case PlotRoleKind::Primary:
      return "Primary";
    case PlotRoleKind::Secondary:
      return "Plot" + std::to_string(number);
    case PlotRoleKind::LiveTime:
      return "LiveTime";
    case PlotRoleKind::LiveIR:
      return "LiveIR";
    case PlotRoleKind::AuxPlot:
      return "AuxPlot";
    case PlotRoleKind::Mic:
      break;
  }
  return "mic";
}

std::string PlotRole::Caption() const {
  switch (kind) {
    case PlotRoleKind::Primary:
      return "(Primary Plot) -vireon-";
    case PlotRoleKind::Secondary:
      return "(plot" + std::to_string(number) + ") -vireon-";
    case PlotRoleKind::LiveTime:
      return "Live Time Data -vireon-";
    case PlotRoleKind::LiveIR:
      return "Live IR Data -vireon-";
    case PlotRoleKind::AuxPlot:
      return "Auxiliary Data -vireon-";
    case PlotRoleKind::Mic:
      break;
  }
  return {};  // the caller sets it
}

std::string PlotRole::ComponentName() const {
  switch (kind) {
    case PlotRoleKind::Primary:
      return "PlotForm";
    case PlotRoleKind::Secondary:
      return Name();
    case PlotRoleKind::LiveTime:
      return "LiveTimeDP";
    case PlotRoleKind::LiveIR:
      return "LiveIRDP";
    case PlotRoleKind::AuxPlot:
      return "AuxDP";
    case PlotRoleKind::Mic:
      break;
  }
  return {};
}

TDataMeas DefaultPlotRecord(const RecordDefaults& defaults) {
  constexpr std::int32_t kPoints = 4096;
  TDataMeas record(defaults);
  record.MakeNull(defaults);
  record.FNumPoints = kPoints;
  record.AllocColumns();
  record.FFields[0].Values.assign(kPoints, 0.0);
  record.FFields[0].Values[0] = 1.0;
  record.FSampleRate = 48000;
  record.FSampleBits = 16;
  record.FXUnits = "sec";
  record.FNumDivisions = 8;
  record.FTitle = "Default Time Domain Data";
  record.FEndX = (kPoints - 1) / static_cast<double>(record.FSampleRate);
  record.FWinEnd = kPoints - 1;
  record.FWindowLen = kPoints;
  record.FViewStop = record.FEndX;
  return record;
}

std::string OpenedPlotTitle(const TDataMeas& record) {
  constexpr std::int32_t kWaterfall = 2;
  switch (record.FDataType) {
    case kTimeDomain:
      return "Time Domain Data";
    case kFrequencyResponse:
      return "Frequency Response";
    case kSpectrum:
    case kComplexSpectrum:
      return record.FPlotKind == kWaterfall ? "Cumulative Spectral Decay" : "Spectrum";
    case kImpedance:
      return "Impedance";
    case kRtaBands:
      return "RTA";
    case kGroupDelay:
      return "Group Delay";
    case kEnergyTimeCurve:
      return record.IsPhase(2) ? "Analytic Signal" : "Schroeder Curve";
    case kComponentTrack:
      return "Tracked Component Data";
    case kResponseAndImpedance:
      return "Freq Resp and Impedance";
    default:
      break;
  }
  return std::string(DataTypeName(record.FDataType));
}

std::filesystem::path SaveName(std::filesystem::path file, const std::string& default_extension) {
  const std::string extension = file.extension().string();
  if (extension.size() <= 1) return file.replace_extension("." + default_extension);
  if (extension.size() > 4) file.replace_extension(extension.substr(0, 4));
  return file;
}

std::string ProposedSaveName(const TDataMeas& record) {
  return std::filesystem::path(record.FFileName).stem().string();
}

}  // namespace vireon
