#include "app/cli/InfoCommand.h"

#include <nlohmann/json.hpp>

#include <cstdio>
#include <memory>
#include <string>

#include "app/cli/ExitCodes.h"
#include "app/cli/LoadedRecord.h"
#include "common/TextBytes.h"
#include "record/DataTypes.h"

namespace vireon::cli {

std::function<int()> AddInfoCommand(CLI::App& app) {
  auto file = std::make_shared<std::string>();
  CLI::App* command = app.add_subcommand("info", "Describe the record a data file holds (JSON)");
  command->add_option("FILE", *file, "Data file")->required();

  return [command, file]() -> int {
    if (!command->parsed()) return -1;
    const TDataMeas record = LoadRecordOrThrow(*file);
    // Keys in the documented order; non-finite numbers are written as null.
    nlohmann::ordered_json info;
    info["title"] = BytesToUtf8(record.FTitle);
    info["subTitle"] = BytesToUtf8(record.FSubTitle);
    info["dataType"] = record.FDataType;
    info["dataTypeName"] = std::string(DataTypeName(record.FDataType));
    info["numPoints"] = record.FNumPoints;
    info["numFields"] = record.FNumFields;
    info["sampleRate"] = record.FSampleRate;
    info["sampleBits"] = record.FSampleBits;
    info["startTime"] = record.FStartTime;
    info["endX"] = record.FEndX;
    info["plotKind"] = record.FPlotKind;
    info["sliceCount"] = record.FSliceCount;
    info["avgCount"] = record.FAvgCount;
    info["columns"] = nlohmann::ordered_json::array();
    for (int c = 0; c < std::clamp(record.FNumFields, 0, kMaxColumns); ++c) {
      const TFieldType& field = record.FFields[static_cast<std::size_t>(c)];
      nlohmann::ordered_json column;
      column["name"] = BytesToUtf8(field.Name);
      column["units"] = BytesToUtf8(field.Units);
      column["showAsDb"] = field.ShowAsDb;
      info["columns"].push_back(column);
    }
    const std::string text = info.dump(2) + "\n";
    std::fwrite(text.data(), 1, text.size(), stdout);
    return kExitSuccess;
  };
}

}  // namespace vireon::cli
