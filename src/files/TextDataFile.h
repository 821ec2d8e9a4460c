#pragma once

#include <filesystem>
#include <string>

#include "files/FileContext.h"
#include "record/DataObj.h"

namespace vireon {

// The native text data file (.vrd): the items of the binary file, one a line, with the data
// as one line per point. Numbers always use '.', whatever the locale.

// The text `file_name` would hold; empty when no column holds all points.
std::string EncodeTextDataFile(const TDataMeas& record, const std::string& file_name);

bool SaveTextDataFile(const std::filesystem::path& file, const TDataMeas& record,
                      MessageSink& messages);

// False when the file does not exist (the record untouched) or does not load.
bool LoadTextDataFile(const std::filesystem::path& file, TDataMeas& record,
                      const FileContext& context, MessageSink& messages);

}  // namespace vireon
