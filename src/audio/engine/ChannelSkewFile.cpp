#include "audio/engine/ChannelSkewFile.h"

#include <optional>
#include <system_error>

#include "common/AtomicFile.h"
#include "common/NumberText.h"
#include "config/AsciiCase.h"

namespace vireon {

namespace {

constexpr std::string_view kFileError = "Error in SpecialSoundcard.qtq file!";

struct SkewEntry {
  bool has_shift = false;
  std::int64_t shifted_rate = 96000;
  bool late_on_left = false;
};

std::string_view Trimmed(std::string_view text) {
  const auto first = text.find_first_not_of(" \t\r");
  if (first == std::string_view::npos) return {};
  const auto last = text.find_last_not_of(" \t\r");
  return text.substr(first, last - first + 1);
}

std::string SectionOfDevice(std::string_view device_name) {
  const std::string_view cut = device_name.substr(0, device_name.find('['));
  std::string upper(Trimmed(cut));
  for (char& c : upper) {
    if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
  }
  return upper;
}

// The entry of `wanted` (or nullopt when the file has no such section); false on a line that is
// neither blank, comment, section header nor key, or a rate that is not an integer.
bool FindEntry(std::string_view text, std::string_view wanted, std::optional<SkewEntry>& entry) {
  bool in_wanted = false;
  bool found = false;
  while (!text.empty()) {
    const auto end = text.find('\n');
    const std::string_view line = Trimmed(text.substr(0, end));
    text = end == std::string_view::npos ? std::string_view{} : text.substr(end + 1);
    if (line.empty() || line.front() == '"') continue;
    if (line.front() == '[') {
      if (line.back() != ']') return false;
      // The first section of a name counts, as in any INI file.
      in_wanted =
          !found && EqualIgnoringAsciiCase(Trimmed(line.substr(1, line.size() - 2)), wanted);
      if (in_wanted) {
        found = true;
        entry = SkewEntry{};
      }
      continue;
    }
    const auto equals = line.find('=');
    if (equals == std::string_view::npos) return false;
    const std::string_view key = Trimmed(line.substr(0, equals));
    const std::string_view value = Trimmed(line.substr(equals + 1));
    const bool is_rate = EqualIgnoringAsciiCase(key, "ShiftedSampleRate");
    const std::optional<std::int64_t> rate = is_rate ? ParseInt(value) : std::nullopt;
    if (is_rate && !rate) return false;
    if (!in_wanted) continue;
    if (is_rate) {
      entry->shifted_rate = *rate;
    } else if (EqualIgnoringAsciiCase(key, "HasSampleShift")) {
      entry->has_shift = EqualIgnoringAsciiCase(value, "TRUE");
    } else if (EqualIgnoringAsciiCase(key, "ShiftLateOnLeft")) {
      entry->late_on_left = EqualIgnoringAsciiCase(value, "TRUE");
    }
  }
  return true;
}

ChannelSkew SkewOf(const SkewEntry& entry, int record_rate) {
  ChannelSkew skew;
  if (!entry.has_shift) return skew;
  if (entry.shifted_rate == record_rate || entry.shifted_rate == 0) {
    skew.left_late = entry.late_on_left;
    skew.right_late = !entry.late_on_left;
  } else {
    const double rate =
        entry.shifted_rate < 1 ? record_rate : static_cast<double>(entry.shifted_rate);
    if (rate > 0) skew.time_correction = (entry.late_on_left ? -1.0 : 1.0) / rate;
  }
  return skew;
}

}  // namespace

ChannelSkewReading ParseChannelSkew(std::string_view text, std::string_view play_device_name,
                                    int record_rate) {
  std::optional<SkewEntry> entry;
  if (!FindEntry(text, SectionOfDevice(play_device_name), entry))
    return {{}, std::string(kFileError)};
  if (!entry && !FindEntry(text, "DEFAULT", entry)) return {{}, std::string(kFileError)};
  return {entry ? SkewOf(*entry, record_rate) : ChannelSkew{}, {}};
}

ChannelSkewReading ReadChannelSkewFile(const std::filesystem::path& data_directory,
                                       std::string_view play_device_name, int record_rate) {
  const std::filesystem::path file = data_directory / kChannelSkewFileName;
  std::error_code error;
  if (!std::filesystem::exists(file, error)) return {};
  const std::optional<std::string> text = ReadWholeFile(file);
  if (!text) return {{}, "Could not open " + file.string()};
  return ParseChannelSkew(*text, play_device_name, record_rate);
}

}  // namespace vireon
