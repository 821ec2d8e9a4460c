#pragma once

#include <filesystem>
#include <functional>
#include <optional>
#include <string>

#include "files/ui/TWavFileOptionsForm.h"
#include "plot/ui/PlotFormDialogs.h"

class QWidget;

namespace vireon {

// What the stimulus window asks of the main window. An empty editor hook disables its buttons;
// the dialogs default to the interactive ones, so tests replace them to answer at once.
struct StimFormHooks {
  std::function<void()> changed;                // after every change the user makes
  std::function<void(int channel)> edit_steps;  // "Edit Steps (Ch 1)" = 1, "(Ch 2)" = 2
  std::function<void(int channel)> edit_tones;  // "Edit Tones (Ch 1)" = 1, "(Ch 2)" = 2
  std::function<bool()> measuring;              // a measurement runs
  std::function<void()> stop;                   // Escape while a measurement runs
  // Makes the MLS permutation tables of a new order available; false when they cannot be.
  std::function<bool(int order)> build_mls_tables;

  std::function<std::optional<std::filesystem::path>(QWidget* parent, const FileQuestion&)>
      choose_file = InteractiveDialogs().ChooseFile;  // none when cancelled
  std::function<std::optional<WavSaveChoice>(QWidget* parent, const WavSaveQuestion&)>
      ask_wav_options = AskWavSaveOptions;  // none when cancelled
  std::function<void(QWidget* parent, const std::string& text)> show_message =
      InteractiveDialogs().ShowMessage;
};

}  // namespace vireon
