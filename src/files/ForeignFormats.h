#pragma once

#include <filesystem>

#include "files/FileContext.h"
#include "record/DataObj.h"

namespace vireon {

// Importers of the curve formats other programs write. Each returns false when the file does
// not exist (the record untouched) or does not load (the message shown, the record partly
// filled).

// Frequency, magnitude (dB, or Ohm for impedance) and phase lines, after an optional title and
// header: .frd and .dat (impedance off) and .zma (impedance on).
bool ImportResponseText(const std::filesystem::path& file, TDataMeas& record, bool impedance,
                        const FileContext& context, MessageSink& messages);

// Impulse responses: .imp (text) and .im2 (6-byte reals).
bool ImportImp(const std::filesystem::path& file, TDataMeas& record, const FileContext& context,
               MessageSink& messages);
bool ImportIm2(const std::filesystem::path& file, TDataMeas& record, const FileContext& context,
               MessageSink& messages);

// .fr2 and .zf2: legacy layouts that are not documented; refused as an invalid format.
bool ImportFr2(const std::filesystem::path& file, MessageSink& messages);
bool ImportZf2(const std::filesystem::path& file, MessageSink& messages);

}  // namespace vireon
