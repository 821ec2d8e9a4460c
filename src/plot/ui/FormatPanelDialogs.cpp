#include <QColorDialog>
#include <QFileDialog>

#include "plot/ui/FileDialogFilter.h"
#include "plot/ui/PlotFormatPanel.h"

namespace vireon {
namespace {

std::vector<std::filesystem::path> PathsOf(const QStringList& names) {
  std::vector<std::filesystem::path> files;
  for (const QString& name : names) {
    if (!name.isEmpty()) files.emplace_back(name.toStdString());
  }
  return files;
}

}  // namespace

FormatPanelDialogs StandardFormatPanelDialogs(QWidget* parent) {
  FormatPanelDialogs dialogs;
  dialogs.choose_color = [parent](const QColor& current, const QString& title) {
    return QColorDialog::getColor(current, parent, title);
  };
  dialogs.open_files = [parent](const QString& title, std::string_view filter, bool multiple) {
    const QString filters = QtFileFilter(filter);
    return PathsOf(
        multiple ? QFileDialog::getOpenFileNames(parent, title, QString(), filters)
                 : QStringList{QFileDialog::getOpenFileName(parent, title, QString(), filters)});
  };
  dialogs.save_file = [parent](const QString& title,
                               std::string_view filter) -> std::optional<std::filesystem::path> {
    const QString name =
        QFileDialog::getSaveFileName(parent, title, QString(), QtFileFilter(filter));
    if (name.isEmpty()) return std::nullopt;
    return std::filesystem::path(name.toStdString());
  };
  return dialogs;
}

}  // namespace vireon
