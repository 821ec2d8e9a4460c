#include "app/cli/LoadedRecord.h"

#include <filesystem>

#include "common/VireonError.h"
#include "files/OpenDispatch.h"

namespace vireon::cli {

TDataMeas LoadRecordOrThrow(const std::string& file) {
  const FileContext context;
  CollectedMessages messages;
  TDataMeas record(context.Defaults);
  if (!std::filesystem::is_regular_file(file)) throw VireonError("No such file: " + file);
  if (OpenDataFile(file, record, context, messages)) return record;
  std::string text;
  for (const std::string& message : messages.Texts()) text += (text.empty() ? "" : "\n") + message;
  throw VireonError(text.empty() ? "Could not load " + file : text);
}

}  // namespace vireon::cli
