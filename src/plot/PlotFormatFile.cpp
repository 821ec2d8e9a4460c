#include "plot/PlotFormatFile.h"

#include <cmath>
#include <cstddef>
#include <limits>
#include <string>
#include <system_error>
#include <utility>

#include "common/AtomicFile.h"
#include "files/WeightingFile.h"

namespace vireon {
namespace {

constexpr int kMaxDivisions = 40;
constexpr int kMaxSymbol = 255;
constexpr int kMaxColor = 0xFFFFFF;

std::string Numbered(std::string_view key, std::size_t n) {
  return std::string(key) + std::to_string(n);
}

// Reads the format's keys one by one, each keeping its default when absent, unreadable or out
// of the range a plot can show.
class FormatReader {
 public:
  FormatReader(const IniFile& ini, std::string_view section) : ini_(ini), section_(section) {}

  void Int(std::string_view key, std::int32_t& value, int lowest, int highest) const {
    const int read = ini_.ReadInteger(section_, key, value);
    if (read >= lowest && read <= highest) value = read;
  }
  void Curve(std::string_view key, std::int32_t& value) const {
    Int(key, value, -1, kMaxColumns - 1);
  }
  void Float(std::string_view key, double& value) const {
    const double read = ini_.ReadFloat(section_, key, value);
    if (std::isfinite(read)) value = read;
  }
  void Single(std::string_view key, float& value) const {
    const double read = ini_.ReadFloat(section_, key, value);
    if (std::isfinite(read) && std::fabs(read) <= std::numeric_limits<float>::max()) {
      value = static_cast<float>(read);
    }
  }
  void Bool(std::string_view key, bool& value) const {
    value = ini_.ReadBool(section_, key, value);
  }
  void String(std::string_view key, std::string& value) const {
    value = ini_.ReadString(section_, key, std::move(value));
  }

 private:
  const IniFile& ini_;
  std::string_view section_;
};

}  // namespace

void WritePlotFormat(IniFile& ini, std::string_view section, const PlotFormat& format) {
  ini.WriteInteger(section, "DataType", format.DataType);
  ini.WriteInteger(section, "Curve0", format.Curve0);
  ini.WriteInteger(section, "Curve1", format.Curve1);
  ini.WriteString(section, "WeightFile", format.WeightFile);
  ini.WriteFloat(section, "DelayShift", format.DelayShift);
  ini.WriteFloat(section, "XRefVal", format.XRefVal);
  ini.WriteFloat(section, "ZScale", format.ZScale);
  ini.WriteString(section, "RefFile", format.RefFile);
  for (std::size_t m = 0; m < format.Mkr.size(); ++m) {
    ini.WriteFloat(section, Numbered("Mkr", m), format.Mkr[m]);
    ini.WriteBool(section, Numbered("MkrVisible", m), format.MkrVisible[m]);
  }
  ini.WriteFloat(section, "HStart", format.HStart);
  ini.WriteFloat(section, "HStop", format.HStop);
  ini.WriteBool(section, "HFormatLog", format.HFormatLog);
  ini.WriteBool(section, "HGridLabelDown", format.HGridLabelDown);
  ini.WriteInteger(section, "VNumDiv", format.VNumDiv);
  ini.WriteFloat(section, "MagOffset", format.MagOffset);
  for (std::size_t c = 0; c < format.Curves.size(); ++c) {
    const CurveFormat& curve = format.Curves[c];
    ini.WriteBool(section, Numbered("VFormatLog", c), curve.ShowAsDb);
    ini.WriteFloat(section, Numbered("VScale", c), curve.PerDiv);
    ini.WriteFloat(section, Numbered("VRefVal", c), curve.RefValue);
    ini.WriteInteger(section, Numbered("VRefDiv", c), curve.RefDiv);
    ini.WriteBool(section, Numbered("Wrap180_", c), curve.WrapPhase);
  }
  ini.WriteInteger(section, "ScaledForA", format.ScaledForA);
  ini.WriteInteger(section, "ScaledForB", format.ScaledForB);
  for (std::size_t n = 0; n < kFormatOverlays; ++n) {
    if (n < format.Overlays.size()) {
      ini.WriteString(section, Numbered("MC", n), format.Overlays[n]);
    } else {
      ini.DeleteKey(section, Numbered("MC", n));  // a shorter list leaves no stale names
    }
  }
  ini.WriteBool(section, "MPUse", format.MPUse);
  ini.WriteBool(section, "MPShowLegends", format.MPShowLegends);
  for (std::size_t k = 0; k < format.Identification.size(); ++k) {
    ini.WriteInteger(section, Numbered("TID", k), format.Identification[k].Symbol);
    ini.WriteInteger(section, Numbered("TrCol", k),
                     static_cast<int>(format.Identification[k].Color));
  }
}

std::optional<PlotFormat> ReadPlotFormat(const IniFile& ini, std::string_view section) {
  if (!ini.ValueExists(section, "DataType")) return std::nullopt;
  PlotFormat format;
  const FormatReader read(ini, section);
  format.DataType = -1;
  read.Int("DataType", format.DataType, 0, std::numeric_limits<std::uint8_t>::max());
  if (format.DataType < 0) return std::nullopt;
  read.Curve("Curve0", format.Curve0);
  read.Curve("Curve1", format.Curve1);
  read.String("WeightFile", format.WeightFile);
  read.Float("DelayShift", format.DelayShift);
  read.Float("XRefVal", format.XRefVal);
  read.Float("ZScale", format.ZScale);
  read.String("RefFile", format.RefFile);
  for (std::size_t m = 0; m < format.Mkr.size(); ++m) {
    read.Single(Numbered("Mkr", m), format.Mkr[m]);
    read.Bool(Numbered("MkrVisible", m), format.MkrVisible[m]);
  }
  read.Float("HStart", format.HStart);
  read.Float("HStop", format.HStop);
  read.Bool("HFormatLog", format.HFormatLog);
  read.Bool("HGridLabelDown", format.HGridLabelDown);
  read.Int("VNumDiv", format.VNumDiv, 1, kMaxDivisions);
  read.Float("MagOffset", format.MagOffset);
  for (std::size_t c = 0; c < format.Curves.size(); ++c) {
    CurveFormat& curve = format.Curves[c];
    read.Bool(Numbered("VFormatLog", c), curve.ShowAsDb);
    read.Float(Numbered("VScale", c), curve.PerDiv);
    read.Float(Numbered("VRefVal", c), curve.RefValue);
    read.Int(Numbered("VRefDiv", c), curve.RefDiv, 0, kMaxDivisions);
    read.Bool(Numbered("Wrap180_", c), curve.WrapPhase);
  }
  read.Curve("ScaledForA", format.ScaledForA);
  read.Curve("ScaledForB", format.ScaledForB);
  for (std::size_t n = 0; n < kFormatOverlays; ++n) {
    std::string name;
    read.String(Numbered("MC", n), name);
    if (!name.empty()) format.Overlays.push_back(std::move(name));
  }
  read.Bool("MPUse", format.MPUse);
  read.Bool("MPShowLegends", format.MPShowLegends);
  for (std::size_t k = 0; k < format.Identification.size(); ++k) {
    OverlayStyle& style = format.Identification[k];
    std::int32_t symbol = style.Symbol;
    read.Int(Numbered("TID", k), symbol, 0, kMaxSymbol);
    style.Symbol = static_cast<std::uint8_t>(symbol);
    std::int32_t color = static_cast<std::int32_t>(style.Color);
    read.Int(Numbered("TrCol", k), color, 0, kMaxColor);
    style.Color = static_cast<PlotColor>(color);
  }
  return format;
}

void SavePlotFormatFile(const std::filesystem::path& file, const PlotFormat& format) {
  IniFile ini;
  WritePlotFormat(ini, kPlotFormatSection, format);
  WriteFileAtomically(file, ini.Text());
}

std::optional<PlotFormat> LoadPlotFormatFile(const std::filesystem::path& file, Notices& notices) {
  std::optional<PlotFormat> format;
  if (const std::optional<std::string> text = ReadWholeFile(file)) {
    format = ReadPlotFormat(IniFile::FromText(*text), kPlotFormatSection);
  }
  if (!format) notices.Notice("Error loading Plot Format File:" + file.string());
  return format;
}

bool ApplyPlotFormatFile(const std::filesystem::path& file, TDataMeas& target,
                         bool target_is_primary, const WeightingLoader& load_weighting,
                         Notices& notices) {
  const std::optional<PlotFormat> format = LoadPlotFormatFile(file, notices);
  if (!format) return false;
  if (ApplyPlotFormat(*format, target, target_is_primary, load_weighting) == FormatFit::Refused) {
    notices.Notice(target_is_primary ? "Plot format load to Primary Plot is not compatible"
                                     : "Plot format load to secondary Plot is not compatible");
    return false;
  }
  return true;
}

std::filesystem::path PlotFormatFilePath(const std::filesystem::path& chosen,
                                         const std::filesystem::path& config_folder) {
  const std::string extension = "." + std::string(kPlotFormatExtension);
  if (!chosen.has_parent_path()) return (config_folder / chosen).replace_extension(extension);
  if (!chosen.has_extension()) return std::filesystem::path(chosen).replace_extension(extension);
  return chosen;
}

WeightingLoader WeightingFilesIn(std::filesystem::path folder, MessageSink& messages) {
  return [folder = std::move(folder), &messages](const std::string& name) {
    const std::filesystem::path named(name);
    for (const std::filesystem::path& candidate :
         {named, folder / named, folder / (name + ".wgt"), folder / (name + ".frd"),
          folder / (name + ".dat")}) {
      std::error_code error;
      if (std::filesystem::is_regular_file(candidate, error)) {
        return LoadWeightingFile(candidate, false, messages);
      }
    }
    return std::optional<TWeighting>();
  };
}

}  // namespace vireon
