#include "files/WavFile.h"

#include <cstring>
#include <fstream>
#include <optional>
#include <string>
#include <vector>

#include "common/AtomicFile.h"
#include "common/DateTime.h"
#include "files/DataItemWalk.h"
#include "files/RiffChunks.h"

namespace vireon {
namespace {

constexpr std::uint16_t kFormatPcm = 1;
// The probe reads this much: the headers of any common file, without its samples.
constexpr std::size_t kProbeBytes = 1 << 20;
constexpr std::uint16_t kFormatFloat = 3;
constexpr std::uint16_t kFormatExtensible = 0xFFFE;

// Divisors that map integer samples of each container to about ±1.
constexpr double kScale8 = 128.0;
constexpr double kScale16 = 32768.0;
constexpr double kScale24 = 8388610.0;
constexpr double kScale32 = 2147485000.0;

std::optional<std::string> ReadFileStart(const std::filesystem::path& file, std::size_t size) {
  std::error_code error;
  if (!std::filesystem::is_regular_file(file, error)) return std::nullopt;
  std::ifstream stream(file, std::ios::binary);
  if (!stream) return std::nullopt;
  std::string bytes(size, '\0');
  stream.read(bytes.data(), static_cast<std::streamsize>(size));
  bytes.resize(static_cast<std::size_t>(stream.gcount()));
  return bytes;
}

std::uint16_t Uint16At(std::string_view bytes, std::size_t at) {
  return static_cast<std::uint16_t>(static_cast<std::uint8_t>(bytes[at]) |
                                    (static_cast<std::uint8_t>(bytes[at + 1]) << 8));
}

std::uint32_t Uint32At(std::string_view bytes, std::size_t at) {
  return Uint16At(bytes, at) | (std::uint32_t{Uint16At(bytes, at + 2)} << 16);
}

struct WavLayout {
  std::uint16_t Encoding = 0;  // PCM or float, the extensible form resolved
  std::uint16_t Channels = 0;
  std::uint32_t SampleRate = 0;
  std::uint16_t BlockAlign = 0;
  std::uint16_t BitsPerSample = 0;
  std::uint32_t DataDeclared = 0;
  std::string_view Data;
};

enum class WavProblem { kNone, kNotWav, kUnreadable };

struct ParsedWav {
  WavProblem Problem = WavProblem::kNone;
  WavLayout Layout;
};

// The RIFF structure, the format chunk and the data chunk. What makes a file no WAV file of
// one or two channels is kNotWav; what makes its data unreadable is kUnreadable.
ParsedWav ParseWav(std::string_view bytes) {
  ParsedWav parsed;
  const auto chunks = ReadRiffChunks(bytes, "WAVE");
  const RiffChunk* format = chunks ? FindChunk(*chunks, "fmt ") : nullptr;
  const RiffChunk* data = chunks ? FindChunk(*chunks, "data") : nullptr;
  if (format == nullptr || data == nullptr || format->DeclaredSize < 16 ||
      format->Data.size() != format->DeclaredSize) {
    parsed.Problem = WavProblem::kNotWav;
    return parsed;
  }
  WavLayout& layout = parsed.Layout;
  const std::string_view fmt = format->Data;
  layout.Encoding = Uint16At(fmt, 0);
  layout.Channels = Uint16At(fmt, 2);
  layout.SampleRate = Uint32At(fmt, 4);
  layout.BlockAlign = Uint16At(fmt, 12);
  layout.BitsPerSample = Uint16At(fmt, 14);
  layout.DataDeclared = data->DeclaredSize;
  layout.Data = data->Data;
  if (layout.Channels > 2) {
    parsed.Problem = WavProblem::kNotWav;
    return parsed;
  }
  // The extensible form names its encoding in the first two bytes of the sub-format id.
  if (layout.Encoding == kFormatExtensible) {
    layout.Encoding = fmt.size() >= 26 ? Uint16At(fmt, 24) : 0;
  }
  const bool pcm =
      layout.Encoding == kFormatPcm && layout.BitsPerSample >= 1 && layout.BitsPerSample <= 32;
  const bool floating =
      layout.Encoding == kFormatFloat && (layout.BitsPerSample == 32 || layout.BitsPerSample == 64);
  if (!(pcm || floating) || layout.Channels == 0 || layout.DataDeclared == 0 ||
      layout.Data.size() != layout.DataDeclared) {
    parsed.Problem = WavProblem::kUnreadable;
  }
  return parsed;
}

// The bits class: the container an integer sample of that many bits is stored in.
int BitsClass(int bits) {
  if (bits >= 25) return 32;
  if (bits >= 17) return 24;
  if (bits >= 9) return 16;
  return 8;
}

std::size_t ContainerBytes(const WavLayout& layout) {
  if (layout.Encoding == kFormatFloat) return layout.BitsPerSample / 8u;
  return static_cast<std::size_t>(BitsClass(layout.BitsPerSample)) / 8;
}

double DecodeSample(const WavLayout& layout, const char* raw) {
  const auto* b = reinterpret_cast<const std::uint8_t*>(raw);
  if (layout.Encoding == kFormatFloat) {
    if (layout.BitsPerSample == 32) {
      float value;
      std::memcpy(&value, raw, 4);
      return value;
    }
    double value;
    std::memcpy(&value, raw, 8);
    return value;
  }
  switch (BitsClass(layout.BitsPerSample)) {
    case 8:
      return (b[0] - 128) / kScale8;
    case 16:
      return static_cast<std::int16_t>(b[0] | (b[1] << 8)) / kScale16;
    case 24: {
      const std::uint32_t unsigned_value = b[0] | (b[1] << 8) | (std::uint32_t{b[2]} << 16);
      const std::int32_t value = static_cast<std::int32_t>(unsigned_value << 8) >> 8;
      return value / kScale24;
    }
    default: {
      std::int32_t value;
      std::memcpy(&value, raw, 4);
      return value / kScale32;
    }
  }
}

void FillWavRecord(TDataMeas& record, const WavLayout& layout, const std::filesystem::path& file,
                   const FileContext& context) {
  const std::size_t container = ContainerBytes(layout);
  // A frame is at least the channels' containers; a larger block alignment is honoured.
  const std::size_t stride = std::max<std::size_t>(layout.BlockAlign, layout.Channels * container);
  const std::size_t frames = layout.Data.size() / stride;

  record.MakeNull(context.Defaults);
  record.FDataType = kTimeDomain;
  record.FNumFields = layout.Channels;
  record.FNumPoints = static_cast<std::int32_t>(frames);
  record.AllocColumns();
  static constexpr std::array<const char*, 2> kNames = {"LeftChan", "RightChan"};
  for (std::size_t c = 0; c < layout.Channels; ++c) {
    TFieldType& column = record.FFields[c];
    column.Name = kNames[c];
    column.Units = "U";
    column.ShowAsDb = 0;
    column.PerDiv = 0.1;
    column.RefValue = 0.0;
    column.RefDiv = 4;
    DataArray& values = column.Values;
    const char* raw = layout.Data.data() + c * container;
    for (std::size_t i = 0; i < frames; ++i) values[i] = DecodeSample(layout, raw + i * stride);
  }
  const auto points = record.FNumPoints;
  record.FTraceA = 0;
  record.FTraceB = layout.Channels == 2 ? 1 : -1;
  record.FSampleRate =
      static_cast<std::int32_t>(std::min<std::uint32_t>(layout.SampleRate, INT32_MAX));
  record.FSampleBits = layout.Encoding == kFormatFloat ? 32 : BitsClass(layout.BitsPerSample);
  record.FTitle = file.filename().string();
  record.FTimeStamp = NowAsDateTime();
  record.FStartTime = 0.0;
  record.FViewStart = 0.0;
  record.FEndX =
      record.FSampleRate > 0 ? (points - 1) / static_cast<double>(record.FSampleRate) : 0.0;
  record.FViewStop = std::min(record.FEndX, 0.25);
  record.FWinStart = record.FWinStart2 = 0;
  record.FWinEnd = record.FWinEnd2 = points - 1;
  record.FBinWidth = {0.0, 1.0};
  record.FDisplayDelay = record.FDelayA = record.FDelayB = 0.0;
  record.FPeakTime = {};
  record.FXUnits = "sec";
  record.FLogX = 0;
  record.FLinearFreq = 1;
  record.FNumDivisions = 8;
  record.FRtaFlag = record.FTitleLocked = record.FSpareByte1 = 0;
  record.FOverlayFlag1 = record.FOverlayFlag2 = 0;
  record.FColors = context.PlotColors;
  FinishLoad(record);
}

}  // namespace

WavProbe ProbeWavFile(const std::filesystem::path& file) {
  WavProbe probe;
  const auto bytes = ReadFileStart(file, kProbeBytes);
  if (!bytes) return probe;
  const ParsedWav parsed = ParseWav(*bytes);
  if (parsed.Problem == WavProblem::kNotWav || parsed.Layout.Channels == 0) return probe;
  probe.Ok = true;
  probe.SampleRate =
      static_cast<std::int32_t>(std::min<std::uint32_t>(parsed.Layout.SampleRate, INT32_MAX));
  probe.BitsPerSample = parsed.Layout.BitsPerSample;
  probe.Stereo = parsed.Layout.Channels == 2;
  probe.DataBytes = parsed.Layout.DataDeclared;
  return probe;
}

WavInfo WavFileInfo(const std::filesystem::path& file) {
  const WavProbe probe = ProbeWavFile(file);
  if (!probe.Ok || probe.BitsPerSample < 8 || probe.SampleRate < 1) return {};
  WavInfo info;
  info.Channels = probe.Stereo ? 2 : 1;
  info.BitsPerSample = probe.BitsPerSample;
  info.SampleRate = probe.SampleRate;
  const double frames =
      static_cast<double>(probe.DataBytes / static_cast<std::uint32_t>(info.Channels) /
                          static_cast<std::uint32_t>(probe.BitsPerSample / 8));
  info.Duration = frames / probe.SampleRate;
  return info;
}

bool LoadWavData(const std::filesystem::path& file, TDataMeas& record, const FileContext& context,
                 MessageSink& messages) {
  if (file.string().size() < 2) return false;
  const auto bytes = ReadWholeFile(file);
  if (!bytes) return false;
  const ParsedWav parsed = ParseWav(*bytes);
  if (parsed.Problem == WavProblem::kNotWav) return false;
  const std::size_t frame = std::max<std::size_t>(
      parsed.Layout.BlockAlign, parsed.Layout.Channels * ContainerBytes(parsed.Layout));
  if (parsed.Problem == WavProblem::kUnreadable || parsed.Layout.Data.size() < frame ||
      parsed.Layout.Data.size() / frame > static_cast<std::size_t>(INT32_MAX)) {
    messages.ShowMessage(std::string(kWavReadError));
    return false;
  }
  FillWavRecord(record, parsed.Layout, file, context);
  return true;
}

}  // namespace vireon
