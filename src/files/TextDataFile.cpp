#include "files/TextDataFile.h"

#include "common/AtomicFile.h"
#include "common/NumberText.h"
#include "common/VireonError.h"
#include "files/DataItemWalk.h"
#include "files/LoadError.h"
#include "files/TextItems.h"
#include "files/TextNumbers.h"

namespace vireon {
namespace {

constexpr std::string_view kWeightingSection = "****Display Weighting Data****";
constexpr std::string_view kDataSection = "****Measured Data****";

// Column 0 of non-sampled data is the x axis and keeps 7 digits; values keep 5.
std::string FormatValue(const TDataMeas& record, int column, double value) {
  if (column == 0 && !IsSampledType(record.FDataType)) return FormatGeneral(value, 7, 4);
  return FormatGeneral(value, 5);
}

void WriteDataLines(TextItemWriter& items, const TDataMeas& record, std::int32_t fields) {
  std::string units;
  for (int c = 0; c < fields; ++c) units += record.FFields[static_cast<std::size_t>(c)].Units + " ";
  items.Line(units);

  std::vector<DataArray> stored_db(static_cast<std::size_t>(fields));
  std::vector<std::span<const double>> columns;
  for (int c = 0; c < fields; ++c) {
    const DataArray& values = record.FFields[static_cast<std::size_t>(c)].Values;
    if (StoresColumnInDb(record, c)) {
      stored_db[static_cast<std::size_t>(c)] = LinearToStoredDb(values);
      columns.emplace_back(stored_db[static_cast<std::size_t>(c)]);
    } else {
      columns.emplace_back(values);
    }
  }
  std::string line;
  for (std::int32_t i = 0; i < record.FNumPoints; ++i) {
    line.clear();
    for (int c = 0; c < fields; ++c) {
      if (c > 0) line += ' ';
      line +=
          FormatValue(record, c, columns[static_cast<std::size_t>(c)][static_cast<std::size_t>(i)]);
    }
    items.Line(line);
  }
}

// Values are split at blanks or commas (the decimal point is always '.'); values beyond the
// used columns are ignored.
void ReadDataLines(TextItemReader& items, TDataMeas& record) {
  items.NextLine();  // the units
  items.RequireCount(record.FNumPoints, 0, 1);
  record.AllocColumns();
  const auto fields = static_cast<std::size_t>(record.FNumFields);
  for (std::int32_t i = 0; i < record.FNumPoints; ++i) {
    std::string_view line = items.NextLine();
    if (!line.empty() && line.front() == ',') items.Malformed();
    for (std::size_t c = 0; c < fields; ++c) {
      const auto start = line.find_first_not_of(" \t,");
      if (start == std::string_view::npos) items.Malformed();
      line.remove_prefix(start);
      const auto end = line.find_first_of(" \t,");
      const auto value = ParseDouble(line.substr(0, end));
      if (!value) items.Malformed();
      record.FFields[c].Values[static_cast<std::size_t>(i)] = *value;
      line.remove_prefix(end == std::string_view::npos ? line.size() : end);
    }
  }
}

template <class Items, class Record>
void WalkTextFile(Items& items, Record& record, const DataWalkOptions& options,
                  std::int32_t fields_to_write) {
  items.String(record.FTitle);
  items.Bint(record.FDataType);
  WalkCounts(items, record, fields_to_write);
  WalkBody(items, record, options);
  items.Section(kWeightingSection);
  WalkWeighting(items, record);
  items.Section(kDataSection);
  if constexpr (Items::kReading) {
    ReadDataLines(items, record);
  } else {
    WriteDataLines(items, record, fields_to_write);
  }
  WalkTail(items, record, options);
}

}  // namespace

std::string EncodeTextDataFile(const TDataMeas& record, const std::string& file_name) {
  const std::int32_t fields = StorableColumns(record);
  if (fields < 1) return {};
  const FileContext unused_context;
  const DataWalkOptions options{file_name, false, false, unused_context};
  TextItemWriter items;
  WalkTextFile(items, record, options, fields);
  return std::move(items.Text());
}

bool SaveTextDataFile(const std::filesystem::path& file, const TDataMeas& record,
                      MessageSink& messages) {
  const std::string text = EncodeTextDataFile(record, file.string());
  if (text.empty()) return false;
  try {
    WriteFileAtomically(file, text);
  } catch (const VireonError&) {
    messages.ShowMessage("Unable to complete file save operation");
    return false;
  }
  return true;
}

bool LoadTextDataFile(const std::filesystem::path& file, TDataMeas& record,
                      const FileContext& context, MessageSink& messages) {
  const auto text = ReadWholeFile(file);
  if (!text) return false;
  const DataWalkOptions options{file.string(), false, false, context};
  TextItemReader items(*text);
  for (auto& field : record.FFields) field.Values.clear();
  try {
    WalkTextFile(items, record, options, 0);
  } catch (const LoadError& error) {
    ReportLoadFailure(error.Failure(), 0, record, messages);
    return false;
  }
  FinishLoad(record);
  return true;
}

}  // namespace vireon
