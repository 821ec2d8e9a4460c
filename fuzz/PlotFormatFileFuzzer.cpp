// Reads arbitrary bytes as a plot format file and applies what loads to a record: nothing may
// crash or hang, a loaded format stays within what a plot can show, and writing it keeps every
// number and flag (texts are settled by their first write: the INI file turns line breaks in
// a value into blanks and trims them).

#include <cmath>
#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <optional>

#include "FuzzInputFile.h"
#include "plot/PlotFormatFile.h"

using vireon::fuzzing::Require;

namespace {

std::optional<vireon::PlotFormat> WrittenAndRead(const vireon::PlotFormat& format) {
  vireon::IniFile ini;
  vireon::WritePlotFormat(ini, vireon::kPlotFormatSection, format);
  return vireon::ReadPlotFormat(vireon::IniFile::FromText(ini.Text()), vireon::kPlotFormatSection);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::filesystem::path file = vireon::fuzzing::WriteInput(data, size, ".pf_");
  vireon::Notices notices;
  const auto format = vireon::LoadPlotFormatFile(file, notices);
  Require(format.has_value() != (notices.Texts().size() == 1));
  if (format) {
    Require(format->VNumDiv >= 1 && format->VNumDiv <= 40);
    Require(format->Overlays.size() <= vireon::kFormatOverlays);
    Require(std::isfinite(format->HStart) && std::isfinite(format->HStop));
    vireon::TDataMeas record;
    vireon::ApplyPlotFormat(*format, record, false, {});
    Require(record.FTraceA >= -1 && record.FTraceA < vireon::kMaxColumns);
    for (const vireon::TFieldType& field : record.FFields) Require(field.PerDiv >= 1e-9);

    const auto once = WrittenAndRead(*format);
    Require(once.has_value());
    vireon::PlotFormat numbers = *once;
    numbers.WeightFile = format->WeightFile;
    numbers.RefFile = format->RefFile;
    numbers.Overlays = format->Overlays;
    Require(numbers == *format);
    Require(WrittenAndRead(*once) == once);
  }
  std::filesystem::remove(file);
  return 0;
}
