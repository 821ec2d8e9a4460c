#include "files/OpenDispatch.h"

#include <system_error>

#include "config/AsciiCase.h"
#include "files/FileIO_Data.h"
#include "files/ForeignFormats.h"
#include "files/TextDataFile.h"
#include "files/WavFile.h"

namespace vireon {
namespace {

bool HasExtension(const std::filesystem::path& file, std::string_view extension) {
  return EqualIgnoringAsciiCase(file.extension().string(), extension);
}

bool Import(const std::filesystem::path& file, TDataMeas& record, bool main_only,
            const FileContext& context, MessageSink& messages) {
  if (HasExtension(file, ".vr2")) {
    return LoadDataFile(file, record, false, main_only, context, messages);
  }
  if (HasExtension(file, ".vrd")) return LoadTextDataFile(file, record, context, messages);
  if (HasExtension(file, ".zma")) return ImportResponseText(file, record, true, context, messages);
  if (HasExtension(file, ".imp")) return ImportImp(file, record, context, messages);
  if (HasExtension(file, ".im2")) return ImportIm2(file, record, context, messages);
  if (HasExtension(file, ".fr2")) return ImportFr2(file, messages);
  if (HasExtension(file, ".zf2")) return ImportZf2(file, messages);
  return ImportResponseText(file, record, false, context, messages);
}

bool Settle(bool loaded, TDataMeas& record, const FileContext& context) {
  if (loaded) {
    record.FDerived = 0;
  } else {
    record.MakeNull(context.Defaults);
  }
  record.FChanged = 0;
  record.FComplete = 1;
  return loaded;
}

}  // namespace

bool LoadAnyDataFile(const std::filesystem::path& file, TDataMeas& record, bool main_only,
                     const FileContext& context, MessageSink& messages) {
  std::error_code error;
  if (!std::filesystem::is_regular_file(file, error)) return false;
  return Settle(Import(file, record, main_only, context, messages), record, context);
}

bool OpenDataFile(const std::filesystem::path& file, TDataMeas& record, const FileContext& context,
                  MessageSink& messages) {
  std::error_code error;
  if (!std::filesystem::is_regular_file(file, error)) return false;
  if (HasExtension(file, ".wav")) {
    return Settle(LoadWavData(file, record, context, messages), record, context);
  }
  if (HasExtension(file, ".vbu")) {
    return Settle(LoadDataFile(file, record, false, false, context, messages), record, context);
  }
  return LoadAnyDataFile(file, record, false, context, messages);
}

}  // namespace vireon
