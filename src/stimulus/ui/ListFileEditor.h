#pragma once

#include <QWidget>
#include <filesystem>
#include <functional>
#include <optional>
#include <string>

#include "plot/ui/PlotFormDialogs.h"

class QLabel;
class QLineEdit;
class QPlainTextEdit;

namespace vireon {

inline constexpr const char* kStepListFilter = "frequency stimulus list (*.qfl)|*.qfl";

struct ListFileEditorHooks {
  std::function<void(const std::filesystem::path& file)> saved;  // after every successful save
  std::function<std::optional<std::filesystem::path>(QWidget* parent, const FileQuestion&)>
      choose_file = InteractiveDialogs().ChooseFile;  // none when cancelled
  std::function<void(QWidget* parent, const std::string& text)> show_message =
      InteractiveDialogs().ShowMessage;
};

// "List File Editor": creates and edits a stepped-tone list file, the format letters on one line
// and the steps, one per line, below; it shows how many steps the stepped tones will play and
// refuses to save a file whose steps would end early. Component names: "lbFileName",
// "edFormat", "meSteps", "lbCheck", "bbSave", "bbSaveAs", "bbClose".
class ListFileEditor : public QWidget {
  Q_OBJECT

 public:
  explicit ListFileEditor(ListFileEditorHooks hooks, QWidget* parent = nullptr);

  // Shows the window on a file, or empty for a new one; false, after the message, when the file
  // cannot be read.
  bool Open(const std::filesystem::path& file);
  const std::filesystem::path& File() const { return file_; }

 private:
  std::string Text() const;
  void ShowCheck();
  void Save();
  void SaveAs();
  bool WriteTo(const std::filesystem::path& file);

  ListFileEditorHooks hooks_;
  std::filesystem::path file_;
  QLabel* file_name_;
  QLineEdit* format_;
  QPlainTextEdit* steps_;
  QLabel* check_;
};

}  // namespace vireon
