#include "config/ui/ConfigDialogs.h"

#include <QApplication>
#include <QFileDialog>
#include <QMessageBox>

#include <algorithm>

#include "plot/render/QtText.h"

namespace vireon {
namespace {

std::optional<std::filesystem::path> ChooseFolder(QWidget* parent, const std::string& caption,
                                                  const std::filesystem::path& start) {
  const QString folder = QFileDialog::getExistingDirectory(parent, ToQString(caption),
                                                           QString::fromStdString(start.string()));
  if (folder.isEmpty()) return std::nullopt;
  return std::filesystem::path(folder.toStdString());
}

QueryAnswer AskSave(QWidget* parent, const std::string& question) {
  std::string lines = question;
  std::replace(lines.begin(), lines.end(), '\r', '\n');
  const auto answer = QMessageBox::question(
      parent, QApplication::applicationDisplayName(), ToQString(lines),
      QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel | QMessageBox::NoToAll,
      QMessageBox::Yes);
  switch (answer) {
    case QMessageBox::Yes:
      return QueryAnswer::kYes;
    case QMessageBox::No:
      return QueryAnswer::kNo;
    case QMessageBox::NoToAll:
      return QueryAnswer::kNoToAll;
    default:
      return QueryAnswer::kCancel;  // also the window's close button
  }
}

}  // namespace

ConfigDialogs InteractiveConfigDialogs() {
  return {InteractiveDialogs().ChooseFile, ChooseFolder, AskSave};
}

}  // namespace vireon
