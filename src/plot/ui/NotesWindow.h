#pragma once

#include <QWidget>

#include <optional>
#include <string>

#include "record/DataObj.h"

class QPlainTextEdit;

namespace vireon {

// The editor of a record's user notes, a small window of its own. It keeps a copy of the
// notes: the plot window gives it the notes and takes them back when OK is pressed, so the
// editor never refers to a record that may go away.
class NotesWindow : public QWidget {
  Q_OBJECT

 public:
  explicit NotesWindow(QWidget* parent = nullptr);

  // One line per note; none or no lines leave the editor empty.
  void SetNotes(const std::optional<StringList>& notes);
  // What the editor holds; none when it is empty.
  std::optional<StringList> Notes() const;

 signals:
  void Accepted();  // OK: the owner applies Notes() to the record

 private:
  QPlainTextEdit* editor_;
};

}  // namespace vireon
