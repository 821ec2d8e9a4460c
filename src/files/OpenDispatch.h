#pragma once

#include <filesystem>

#include "files/FileContext.h"
#include "record/DataObj.h"

namespace vireon {

// The general loader of the plots and the controller, by the file's extension in any letter
// case: ".vr2" native binary, ".vrd" native text, ".zma" impedance text, ".imp", ".im2",
// ".fr2", ".zf2" their importers, anything else frequency-response text. False, with the
// record untouched, when the file does not exist; a file that does not load leaves the null
// record. Either way the record is then unchanged and complete.
bool LoadAnyDataFile(const std::filesystem::path& file, TDataMeas& record, bool main_only,
                     const FileContext& context, MessageSink& messages);

// The plot window's Open: as LoadAnyDataFile, and also ".vbu" backups as native binary and
// ".wav" through the WAV reader.
bool OpenDataFile(const std::filesystem::path& file, TDataMeas& record, const FileContext& context,
                  MessageSink& messages);

}  // namespace vireon
