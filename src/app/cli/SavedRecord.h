#pragma once

#include <string>

#include "record/DataObj.h"

namespace vireon::cli {

struct SaveChoices {
  std::string format;  // "mlssa": the MLSSA time export whatever the extension
  int wav_bits = 0;    // 0: the record's own resolution
};

// Writes the record in the format the file's extension names: .vr2 native binary, .vrd native
// text, .wav, .csv the ASCII export with commas, any other the ASCII export with spaces. A write
// that fails throws VireonError carrying the writer's messages (the command then exits 1).
void SaveRecordOrThrow(const std::string& file, const TDataMeas& record,
                       const SaveChoices& choices = {});

}  // namespace vireon::cli
