#include "stimulus/ui/ListFileEditor.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QVBoxLayout>
#include <utility>

#include "common/AtomicFile.h"
#include "common/VireonError.h"
#include "plot/render/QtText.h"
#include "stimulus/StepListEditing.h"

namespace vireon {

namespace {

constexpr const char* kFormatHelp =
    "Format (optional, must start with F): F frequency, A amplitude, P phase [deg], S duty, "
    "W waveform, / channel 2";

QPushButton* AddButton(QHBoxLayout* row, const char* name, const char* caption, QWidget* parent) {
  auto* button = new QPushButton(caption, parent);
  button->setObjectName(name);
  row->addWidget(button);
  return button;
}

}  // namespace

ListFileEditor::ListFileEditor(ListFileEditorHooks hooks, QWidget* parent)
    : QWidget(parent, Qt::Tool), hooks_(std::move(hooks)) {
  setObjectName("ListFileEditor");
  setWindowTitle("List File Editor");
  auto* layout = new QVBoxLayout(this);
  file_name_ = new QLabel(this);
  file_name_->setObjectName("lbFileName");
  layout->addWidget(file_name_);
  layout->addWidget(new QLabel(kFormatHelp, this));
  format_ = new QLineEdit(this);
  format_->setObjectName("edFormat");
  layout->addWidget(format_);
  layout->addWidget(new QLabel("Steps, one per line:", this));
  steps_ = new QPlainTextEdit(this);
  steps_->setObjectName("meSteps");
  steps_->setMinimumSize(360, 240);
  layout->addWidget(steps_);
  check_ = new QLabel(this);
  check_->setObjectName("lbCheck");
  layout->addWidget(check_);
  auto* buttons = new QHBoxLayout;
  layout->addLayout(buttons);
  connect(AddButton(buttons, "bbSave", "Save", this), &QPushButton::clicked, this,
          &ListFileEditor::Save);
  connect(AddButton(buttons, "bbSaveAs", "Save As", this), &QPushButton::clicked, this,
          &ListFileEditor::SaveAs);
  connect(AddButton(buttons, "bbClose", "Close", this), &QPushButton::clicked, this,
          &QWidget::hide);
  connect(format_, &QLineEdit::textChanged, this, &ListFileEditor::ShowCheck);
  connect(steps_, &QPlainTextEdit::textChanged, this, &ListFileEditor::ShowCheck);
  ShowCheck();
}

bool ListFileEditor::Open(const std::filesystem::path& file) {
  StepListParts parts;
  if (!file.empty()) {
    const auto text = ReadWholeFile(file);
    if (!text) {
      hooks_.show_message(this, "File: \r" + file.string() + "\r" + "was not found!");
      return false;
    }
    parts = SplitStepListText(*text);
  }
  file_ = file;
  file_name_->setText(ToQString(file_.string()));
  format_->setText(ToQString(parts.format));
  steps_->setPlainText(ToQString(parts.step_lines));
  show();
  raise();
  return true;
}

std::string ListFileEditor::Text() const {
  return StepListText(FromQString(format_->text()), FromQString(steps_->toPlainText()));
}

void ListFileEditor::ShowCheck() {
  const StepListCheck check = CheckStepList(Text());
  QString text = QString("%1 steps").arg(check.steps);
  if (check.format.empty() && !format_->text().trimmed().isEmpty()) {
    text += ", format ignored: every number is a frequency";
  }
  if (check.steps < check.lines) {
    text += QString(": step %1 cannot be read and ends the steps").arg(check.steps + 1);
  }
  check_->setText(text);
}

void ListFileEditor::Save() {
  if (file_.empty()) {
    SaveAs();
  } else {
    WriteTo(file_);
  }
}

void ListFileEditor::SaveAs() {
  FileQuestion question;
  question.save = true;
  question.title = "Save List File";
  question.filter = kStepListFilter;
  question.default_extension = "qfl";
  question.proposed = file_;
  if (const auto file = hooks_.choose_file(this, question)) WriteTo(*file);
}

bool ListFileEditor::WriteTo(const std::filesystem::path& file) {
  const std::string text = Text();
  const StepListCheck check = CheckStepList(text);
  if (check.steps < check.lines) {
    hooks_.show_message(this, "Step " + std::to_string(check.steps + 1) +
                                  " cannot be read as numbers: please correct it");
    return false;
  }
  try {
    WriteFileAtomically(file, text);
  } catch (const VireonError&) {
    hooks_.show_message(this, "Error saving file!");
    return false;
  }
  file_ = file;
  file_name_->setText(ToQString(file_.string()));
  if (hooks_.saved) hooks_.saved(file_);
  return true;
}

}  // namespace vireon
