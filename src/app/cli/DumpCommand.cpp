#include "app/cli/DumpCommand.h"

#include <algorithm>
#include <cstdio>
#include <memory>
#include <string>

#include "app/cli/ExitCodes.h"
#include "app/cli/LoadedRecord.h"
#include "common/NumberText.h"
#include "common/TextBytes.h"

namespace vireon::cli {
namespace {

struct DumpOptions {
  std::string file;
  bool display = false;
};

std::string CsvField(const std::string& text) {
  if (text.find_first_of(",\"\r\n") == std::string::npos) return text;
  std::string quoted = "\"";
  for (const char c : text) {
    quoted += c;
    if (c == '"') quoted += '"';
  }
  return quoted + "\"";
}

void Flush(std::string& out) {
  std::fwrite(out.data(), 1, out.size(), stdout);
  out.clear();
}

}  // namespace

std::function<int()> AddDumpCommand(CLI::App& app) {
  auto options = std::make_shared<DumpOptions>();
  CLI::App* command = app.add_subcommand("dump", "Print a data file's columns as CSV");
  command->add_option("FILE", options->file, "Data file")->required();
  command->add_flag("--display", options->display,
                    "Values as displayed: weighting and display scale applied");

  return [command, options]() -> int {
    if (!command->parsed()) return -1;
    TDataMeas record = LoadRecordOrThrow(options->file);
    const int columns = std::clamp(record.FNumFields, 0, kMaxColumns);
    std::int32_t points = std::max(record.FNumPoints, 0);
    for (int c = 0; c < columns; ++c) {
      points = std::min<std::int32_t>(
          points,
          static_cast<std::int32_t>(record.FFields[static_cast<std::size_t>(c)].Values.size()));
    }
    const bool sampled = record.IsSampled();

    std::string out;
    if (sampled) out += "t";
    for (int c = 0; c < columns; ++c) {
      if (sampled || c > 0) out += ',';
      out += CsvField(BytesToUtf8(record.FFields[static_cast<std::size_t>(c)].Name));
    }
    out += '\n';
    for (std::int32_t i = 0; i < points; ++i) {
      if (sampled)
        out += FormatDouble(record.FStartTime + i / static_cast<double>(record.FSampleRate));
      for (int c = 0; c < columns; ++c) {
        if (sampled || c > 0) out += ',';
        const double value =
            options->display
                ? record.ValueAt(c, i, -1)
                : record.FFields[static_cast<std::size_t>(c)].Values[static_cast<std::size_t>(i)];
        out += FormatDouble(value);
      }
      out += '\n';
      if (out.size() > (1 << 16)) Flush(out);
    }
    Flush(out);
    return kExitSuccess;
  };
}

}  // namespace vireon::cli
