#include "audio/settings/InputDesignation.h"

#include "common/NumberText.h"

namespace vireon {

namespace {

std::string WithNote(std::string_view name, std::string_view note) {
  return std::string(name) + " (" + std::string(note) + ")";
}

}  // namespace

std::array<std::string, kInputDesignationCount> InputListEntries(double probe1_ohms,
                                                                 double probe2_ohms,
                                                                 std::string_view mic1_file,
                                                                 std::string_view mic2_file) {
  const auto mic = [](std::string_view name, std::string_view file) {
    return WithNote(name, file.empty() ? std::string_view("------------") : file);
  };
  return {WithNote("Probe 1", FormatDouble(probe1_ohms)),
          WithNote("Probe 2", FormatDouble(probe2_ohms)), mic("Mic 1", mic1_file),
          mic("Mic 2", mic2_file)};
}

int CalibrationSlotOf(int list_index) {
  constexpr std::array<int, kInputDesignationCount> kSlots = {2, 3, 0, 1};
  if (list_index < 0 || list_index >= kInputDesignationCount) return -1;
  return kSlots[static_cast<std::size_t>(list_index)];
}

}  // namespace vireon
