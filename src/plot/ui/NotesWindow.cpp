#include "plot/ui/NotesWindow.h"

#include <QDialogButtonBox>
#include <QPlainTextEdit>
#include <QStringList>
#include <QVBoxLayout>

#include "plot/render/QtText.h"

namespace vireon {

NotesWindow::NotesWindow(QWidget* parent) : QWidget(parent, Qt::Window) {
  setObjectName("NotesWindow");
  resize(360, 240);
  auto* layout = new QVBoxLayout(this);
  editor_ = new QPlainTextEdit(this);
  editor_->setObjectName("NotesEditor");
  layout->addWidget(editor_, 1);
  auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
  connect(buttons, &QDialogButtonBox::accepted, this, [this] {
    emit Accepted();
    close();
  });
  connect(buttons, &QDialogButtonBox::rejected, this, &QWidget::close);
  layout->addWidget(buttons);
}

void NotesWindow::SetNotes(const std::optional<StringList>& notes) {
  QStringList lines;
  if (notes) {
    for (const std::string& line : *notes) lines << ToQString(line);
  }
  editor_->setPlainText(lines.join('\n'));
}

std::optional<StringList> NotesWindow::Notes() const {
  const QString text = editor_->toPlainText();
  if (text.trimmed().isEmpty()) return std::nullopt;
  StringList notes;
  for (const QString& line : text.split('\n')) notes.push_back(FromQString(line));
  return notes;
}

}  // namespace vireon
