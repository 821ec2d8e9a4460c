#pragma once

#include <QDialog>

#include <optional>
#include <string>
#include <vector>

class QCheckBox;
class QPlainTextEdit;

namespace vireon {

class TEditRealSpin;

// What "ASCII general format" asks before it asks for the file.
struct AsciiExportQuestion {
  double start = 0.0;  // the range offered: frequencies, or times for waterfall and polar data
  double stop = 0.0;
  std::string units;  // shown beside the range, as records store it
};

struct AsciiExportChoice {
  std::vector<std::string> header_lines;  // as records store text; none when the editor is empty
  bool comma = false;
  double start = 0.0;
  double stop = 0.0;
};

// The header-lines prompt: a multi-line editor, the comma option and the range.
class AsciiExportDialog : public QDialog {
  Q_OBJECT

 public:
  explicit AsciiExportDialog(const AsciiExportQuestion& question, QWidget* parent = nullptr);

  AsciiExportChoice Choice() const;

 private:
  QPlainTextEdit* header_editor_;
  QCheckBox* comma_box_;
  TEditRealSpin* start_edit_;
  TEditRealSpin* stop_edit_;
};

// Modal; none when cancelled.
std::optional<AsciiExportChoice> AskAsciiExport(QWidget* parent,
                                                const AsciiExportQuestion& question);

}  // namespace vireon
