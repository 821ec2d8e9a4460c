#pragma once

#include <filesystem>
#include <optional>
#include <string_view>

#include "common/Notices.h"
#include "config/IniFile.h"
#include "files/FileContext.h"
#include "plot/PlotFormat.h"
#include "record/DataObj.h"

namespace vireon {

// Plot format files (".pf_"): an INI file with the one section "PlotFormat". The same keys form
// the per-acquisition plot formats of the configuration file.

inline constexpr std::string_view kPlotFormatSection = "PlotFormat";
inline constexpr std::string_view kPlotFormatFilter = "Data Formats (*.pf_)|*.pf_";
inline constexpr std::string_view kPlotFormatExtension = "pf_";  // without the dot

// Writes every key, eight overlay files included, in the file's key order.
void WritePlotFormat(IniFile& ini, std::string_view section, const PlotFormat& format);
// Keys that are missing or do not parse keep the defaults (the identification table the plot
// starts with); values no plot could show (a curve that cannot exist, a division count outside
// 1..40, numbers that are not finite) keep them too. None without the section or "DataType".
std::optional<PlotFormat> ReadPlotFormat(const IniFile& ini, std::string_view section);

// Replaces the file only once it is completely written. Throws VireonError on failure.
void SavePlotFormatFile(const std::filesystem::path& file, const PlotFormat& format);
// None, with the notice "Error loading Plot Format File:" and the file name, when the file
// cannot be read or holds no plot format.
std::optional<PlotFormat> LoadPlotFormatFile(const std::filesystem::path& file, Notices& notices);

// Loads a format file and applies it to a record; false, the record untouched, when the file
// fails to load or its data type does not suit the target (noticed as "Plot format load to
// Primary Plot is not compatible" or "... secondary Plot ...").
bool ApplyPlotFormatFile(const std::filesystem::path& file, TDataMeas& target,
                         bool target_is_primary, const WeightingLoader& load_weighting,
                         Notices& notices);

// Where a format file named `chosen` goes: a name without a folder is put in `config_folder`
// with the extension ".pf_"; a name without an extension gets ".pf_".
std::filesystem::path PlotFormatFilePath(const std::filesystem::path& chosen,
                                         const std::filesystem::path& config_folder);

// Weighting files looked up by the name a format keeps: as it stands, then in `folder` as it
// stands and with the extensions ".wgt", ".frd" and ".dat".
WeightingLoader WeightingFilesIn(std::filesystem::path folder, MessageSink& messages);

}  // namespace vireon
