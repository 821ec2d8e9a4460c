#include "plot/ui/AsciiExportDialog.h"

#include <QCheckBox>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QLabel>
#include <QPlainTextEdit>
#include <QVBoxLayout>

#include "plot/render/QtText.h"
#include "plot/ui/TEditRealSpin.h"

namespace vireon {
namespace {

constexpr const char* kCaption = "Header lines for ASCII Export file";
constexpr const char* kPrompt =
    "Enter any text lines you wish to have precede the Exported data.\r\n"
    "(Otherwise, leave the text editor below empty)";

TEditRealSpin* RangeEdit(const char* name, double value, const std::string& units,
                         QWidget* parent) {
  auto* edit = new TEditRealSpin(parent);
  edit->setObjectName(name);
  edit->SetDefNumChars(6);
  edit->SetUnits(ToQString(units));
  edit->SetShowUnits(!units.empty());
  edit->SetRealValue(value);
  return edit;
}

}  // namespace

AsciiExportDialog::AsciiExportDialog(const AsciiExportQuestion& question, QWidget* parent)
    : QDialog(parent) {
  setObjectName("AsciiExportDialog");
  setWindowTitle(kCaption);
  auto* layout = new QVBoxLayout(this);
  auto* prompt = new QLabel(QString(kPrompt).replace("\r\n", "\n"), this);
  prompt->setObjectName("Prompt");
  layout->addWidget(prompt);

  header_editor_ = new QPlainTextEdit(this);
  header_editor_->setObjectName("HeaderLines");
  header_editor_->setLineWrapMode(QPlainTextEdit::NoWrap);
  layout->addWidget(header_editor_, 1);

  comma_box_ = new QCheckBox("Comma separated", this);
  comma_box_->setObjectName("CommaSeparated");
  layout->addWidget(comma_box_);

  auto* range = new QFormLayout;
  start_edit_ = RangeEdit("ExportStart", question.start, question.units, this);
  stop_edit_ = RangeEdit("ExportStop", question.stop, question.units, this);
  range->addRow("Start", start_edit_);
  range->addRow("Stop", stop_edit_);
  layout->addLayout(range);

  auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
  connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
  connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
  layout->addWidget(buttons);
}

AsciiExportChoice AsciiExportDialog::Choice() const {
  AsciiExportChoice choice;
  QStringList lines = header_editor_->toPlainText().split('\n');
  // The line break after the last line ends it; it adds no empty header line.
  if (!lines.isEmpty() && lines.back().isEmpty()) lines.removeLast();
  for (const QString& line : lines) choice.header_lines.push_back(FromQString(line));
  choice.comma = comma_box_->isChecked();
  choice.start = start_edit_->RealValue();
  choice.stop = stop_edit_->RealValue();
  return choice;
}

std::optional<AsciiExportChoice> AskAsciiExport(QWidget* parent,
                                                const AsciiExportQuestion& question) {
  AsciiExportDialog dialog(question, parent);
  if (dialog.exec() != QDialog::Accepted) return std::nullopt;
  return dialog.Choice();
}

}  // namespace vireon
