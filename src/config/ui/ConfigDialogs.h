#pragma once

#include <filesystem>
#include <functional>
#include <optional>
#include <string>

#include "measure/ProgramLifecycle.h"
#include "plot/ui/PlotFormDialogs.h"

class QWidget;

namespace vireon {

inline constexpr std::string_view kSoftwareConfigFilter = "Init (*.ini)|*.ini";
inline constexpr std::string_view kHardwareConfigFilter = "Hardware Specific Init (*.hdi)|*.hdi";
inline constexpr std::string_view kOpenFolderCaption =
    "Select the default directory from which to OPEN data files";
inline constexpr std::string_view kSaveFolderCaption =
    "Select the default directory where data files are to be SAVED";

// What the configuration commands ask the user. The desktop program shows dialogs; tests answer
// at once.
struct ConfigDialogs {
  // A configuration file to load or save; none when cancelled.
  std::function<std::optional<std::filesystem::path>(QWidget* parent, const FileQuestion&)>
      choose_file;
  // A folder chooser; none when cancelled.
  std::function<std::optional<std::filesystem::path>(QWidget* parent, const std::string& caption,
                                                     const std::filesystem::path& start)>
      choose_folder;
  // The shutdown question with Yes, No, Cancel and No to All.
  std::function<QueryAnswer(QWidget* parent, const std::string& question)> ask_save;
};
ConfigDialogs InteractiveConfigDialogs();

}  // namespace vireon
