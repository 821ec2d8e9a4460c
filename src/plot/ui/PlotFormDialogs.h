#pragma once

#include <cstddef>
#include <filesystem>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "files/ui/TWavFileOptionsForm.h"
#include "plot/ui/AsciiExportDialog.h"
#include "plot/ui/PlotPrinting.h"

class QWidget;

namespace vireon {

// The interactive drop-down choice: up to 50 rows shown at once.
std::optional<std::size_t> ChooseFromDropDown(QWidget* parent, const std::string& title,
                                              const std::vector<std::string>& rows);

// A file the window asks the user for.
struct FileQuestion {
  bool save = false;
  std::string title;
  std::string filter;              // "Description|*.x;*.y|Description|*.z|"
  std::string default_extension;   // without the dot
  std::filesystem::path proposed;  // the folder to start in, with a proposed name for a save
  int selected_filter = 0;         // the filter entry shown first, counted from 0
};

// What the window asks and tells the user. The desktop program shows dialogs; tests answer
// at once, so that nothing waits for a click.
struct PlotFormDialogs {
  std::function<std::optional<std::filesystem::path>(QWidget* parent, const FileQuestion&)>
      ChooseFile;                                                             // none when cancelled
  std::function<bool(QWidget* parent, const std::string& question)> Confirm;  // true for Yes
  std::function<void(QWidget* parent, const std::string& text)> ShowMessage;
  // The exports' questions; none when cancelled.
  std::function<std::optional<AsciiExportChoice>(QWidget* parent, const AsciiExportQuestion&)>
      AskAsciiExport = vireon::AskAsciiExport;
  std::function<std::optional<WavSaveChoice>(QWidget* parent, const WavSaveQuestion&)>
      AskWavOptions = AskWavSaveOptions;
  PrintDialogs print = InteractivePrintDialogs();
  // A drop-down choice ("Add Plot to Set"); the row chosen, none when cancelled.
  std::function<std::optional<std::size_t>(QWidget* parent, const std::string& title,
                                           const std::vector<std::string>& rows)>
      ChooseRow = ChooseFromDropDown;
};
PlotFormDialogs InteractiveDialogs();  // file dialogs and message boxes

}  // namespace vireon
