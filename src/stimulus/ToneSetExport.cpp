#include "stimulus/ToneSetExport.h"

#include <algorithm>

#include "config/AsciiCase.h"
#include "files/WavFileWrite.h"
#include "record/DataTypes.h"

namespace vireon {

TDataMeas SynthesizeToneSet(const ToneLists& lists, bool stereo, std::int32_t length,
                            int play_rate) {
  TDataMeas record;
  record.FDataType = kTimeDomain;
  record.FSampleRate = play_rate;
  record.FNumFields = stereo ? 2 : 1;
  record.FNumPoints = std::max(length, 0);
  SineParsArray p = lists.p;
  SineParsArray q = lists.q;
  SetToneRate(p, play_rate);
  SetToneRate(q, play_rate);
  for (int column = 0; column < record.FNumFields; ++column) {
    const SineParsArray& list = column == 0 ? p : q;
    DataArray& values = record.FFields[static_cast<std::size_t>(column)].Values;
    values.resize(static_cast<std::size_t>(record.FNumPoints));
    for (std::size_t n = 0; n < values.size(); ++n) {
      values[n] = ToneSetValue(list, static_cast<std::int64_t>(n));
    }
  }
  return record;
}

bool ExportToneSetWav(const std::filesystem::path& file, const ToneLists& lists, bool stereo,
                      std::int32_t length, int play_rate, int bits, MessageSink& messages) {
  if (FoldAsciiCase(file.extension().string()) != ".wav") return false;
  return SaveWavData(file, SynthesizeToneSet(lists, stereo, length, play_rate), bits, 1.0,
                     WavChannelChoice::kColumn0, stereo, messages);
}

}  // namespace vireon
