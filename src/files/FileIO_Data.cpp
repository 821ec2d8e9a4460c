#include "files/FileIO_Data.h"

#include <limits>

#include "common/AtomicFile.h"
#include "common/VireonError.h"
#include "config/AsciiCase.h"
#include "files/BinaryItems.h"
#include "files/DataItemWalk.h"
#include "files/LoadError.h"

namespace vireon {
namespace {

// The binary file's item order: type, counts, title, the column block, then the shared body,
// the weighting and the optional tail.
template <class Items, class Record>
void WalkBinaryFile(Items& items, Record& record, const DataWalkOptions& options,
                    std::int32_t fields_to_write) {
  items.Bint(record.FDataType);
  WalkCounts(items, record, fields_to_write);

  if constexpr (Items::kReading) {
    items.String(record.FTitle);
    const std::int64_t values = std::int64_t{record.FNumFields} * record.FNumPoints;
    std::int32_t byte_count = 0;
    items.Int(byte_count);
    if (byte_count != 4 * values) items.Malformed();
    for (int c = 0; c < record.FNumFields; ++c) {
      items.SinglesBody(record.FFields[static_cast<std::size_t>(c)].Values, record.FNumPoints);
    }
  } else {
    const bool hold_title = options.Hold && std::filesystem::path(options.FileName).filename() ==
                                                std::filesystem::path(kHoldDataFileName);
    items.String(hold_title ? std::string(kHoldDataTitle) : record.FTitle);
    items.Int(static_cast<std::int32_t>(4 * std::int64_t{fields_to_write} * record.FNumPoints));
    for (int c = 0; c < fields_to_write; ++c) {
      const DataArray& values = record.FFields[static_cast<std::size_t>(c)].Values;
      if (StoresColumnInDb(record, c)) {
        items.SinglesBody(LinearToStoredDb(values), record.FNumPoints);
      } else {
        items.SinglesBody(values, record.FNumPoints);
      }
    }
  }

  WalkBody(items, record, options);
  WalkWeighting(items, record);
  if (!options.MainOnly) WalkTail(items, record, options);
}

}  // namespace

bool IsReservedHoldName(const std::filesystem::path& file) {
  return EqualIgnoringAsciiCase(file.filename().string(), kHoldDataFileName);
}

std::optional<std::string> EncodeDataFile(const TDataMeas& record, const std::string& file_name,
                                          bool hold) {
  const std::int32_t fields = StorableColumns(record);
  if (fields < 1) return std::nullopt;
  const std::int64_t column_bytes = 4 * std::int64_t{fields} * record.FNumPoints;
  if (column_bytes > std::numeric_limits<std::int32_t>::max()) return std::nullopt;

  const FileContext unused_context;
  const DataWalkOptions options{file_name, hold, false, unused_context};
  BinaryItemWriter items(static_cast<std::size_t>(column_bytes) + 4096);
  WalkBinaryFile(items, record, options, fields);
  return items.Bytes();
}

bool SaveDataFile(const std::filesystem::path& file, const TDataMeas& record, bool hold,
                  MessageSink& messages) {
  const auto bytes = EncodeDataFile(record, file.string(), hold);
  if (!bytes) return false;
  try {
    WriteFileAtomically(file, *bytes);
  } catch (const VireonError&) {
    messages.ShowMessage("Unable to complete file save operation");
    return false;
  }
  return true;
}

bool LoadDataFile(const std::filesystem::path& file, TDataMeas& record, bool hold, bool main_only,
                  const FileContext& context, MessageSink& messages) {
  const auto bytes = ReadWholeFile(file);
  if (!bytes) return false;
  const DataWalkOptions options{file.string(), hold, main_only, context};
  BinaryItemReader items(*bytes);
  for (auto& field : record.FFields) field.Values.clear();
  try {
    WalkBinaryFile(items, record, options, 0);
  } catch (const LoadError& error) {
    ReportLoadFailure(error.Failure(), 0, record, messages);
    return false;
  }
  FinishLoad(record);
  return true;
}

}  // namespace vireon
