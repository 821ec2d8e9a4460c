#include "plot/ui/PlotFormDialogs.h"

#include <QApplication>
#include <QComboBox>
#include <QFileDialog>
#include <QInputDialog>
#include <QMessageBox>
#include <QStringList>

#include "plot/render/QtText.h"
#include "plot/ui/FileDialogFilter.h"

namespace vireon {
namespace {

constexpr int kChooserVisibleRows = 50;

}  // namespace

std::optional<std::size_t> ChooseFromDropDown(QWidget* parent, const std::string& title,
                                              const std::vector<std::string>& rows) {
  QStringList items;
  for (const std::string& row : rows) items << ToQString(row);
  QInputDialog dialog(parent);
  dialog.setWindowTitle(ToQString(title));
  dialog.setLabelText(ToQString(title));
  dialog.setComboBoxItems(items);
  dialog.setComboBoxEditable(false);
  if (auto* combo = dialog.findChild<QComboBox*>()) combo->setMaxVisibleItems(kChooserVisibleRows);
  if (dialog.exec() != QDialog::Accepted) return std::nullopt;
  const qsizetype chosen = items.indexOf(dialog.textValue());
  if (chosen < 0) return std::nullopt;
  return static_cast<std::size_t>(chosen);
}

PlotFormDialogs InteractiveDialogs() {
  PlotFormDialogs dialogs;
  dialogs.ChooseFile = [](QWidget* parent,
                          const FileQuestion& question) -> std::optional<std::filesystem::path> {
    const QString filter = QtFileFilter(question.filter);
    QFileDialog dialog(parent, ToQString(question.title),
                       QString::fromStdString(question.proposed.parent_path().string()), filter);
    const QStringList filters = filter.split(";;");
    if (question.selected_filter > 0 && question.selected_filter < filters.size()) {
      dialog.selectNameFilter(filters[question.selected_filter]);
    }
    dialog.setAcceptMode(question.save ? QFileDialog::AcceptSave : QFileDialog::AcceptOpen);
    dialog.setFileMode(question.save ? QFileDialog::AnyFile : QFileDialog::ExistingFile);
    dialog.setDefaultSuffix(QString::fromStdString(question.default_extension));
    if (question.proposed.has_filename()) {
      dialog.selectFile(QString::fromStdString(question.proposed.filename().string()));
    }
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) {
      return std::nullopt;
    }
    return std::filesystem::path(dialog.selectedFiles().front().toStdString());
  };
  dialogs.Confirm = [](QWidget* parent, const std::string& question) {
    return QMessageBox::question(parent, QApplication::applicationDisplayName(),
                                 ToQString(question),
                                 QMessageBox::Yes | QMessageBox::No) == QMessageBox::Yes;
  };
  dialogs.ShowMessage = [](QWidget* parent, const std::string& text) {
    QMessageBox::information(parent, QApplication::applicationDisplayName(), ToQString(text));
  };
  return dialogs;
}

}  // namespace vireon
