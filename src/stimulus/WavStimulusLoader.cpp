#include "stimulus/WavStimulusLoader.h"

#include "files/FileContext.h"
#include "files/WavFile.h"
#include "record/DataObj.h"

namespace vireon {

WavLoader WavStimulusLoader() {
  return [](const std::string& file_name) -> std::optional<WavSamples> {
    TDataMeas record;
    CollectedMessages messages;
    if (!LoadWavData(file_name, record, FileContext{}, messages)) return std::nullopt;
    WavSamples samples;
    samples.channel1 = std::move(record.FFields[0].Values);
    if (record.FNumFields >= 2) samples.channel2 = std::move(record.FFields[1].Values);
    if (samples.channel1.empty()) return std::nullopt;
    return samples;
  };
}

}  // namespace vireon
