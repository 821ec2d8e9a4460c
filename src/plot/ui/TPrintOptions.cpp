#include "plot/ui/TPrintOptions.h"

#include <QButtonGroup>
#include <QDialogButtonBox>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

#include <initializer_list>

namespace vireon {
namespace {

// A titled column of radio buttons whose ids are their places in `captions`.
QButtonGroup* AddRadioGroup(QWidget* dialog, QBoxLayout* layout, const char* title,
                            const char* name, std::initializer_list<const char*> captions,
                            int checked) {
  auto* box = new QGroupBox(QString::fromUtf8(title), dialog);
  box->setObjectName(QString::fromUtf8(name));
  auto* column = new QVBoxLayout(box);
  auto* group = new QButtonGroup(box);
  int id = 0;
  for (const char* caption : captions) {
    auto* button = new QRadioButton(QString::fromUtf8(caption), box);
    column->addWidget(button);
    group->addButton(button, id++);
  }
  // A stored choice out of range falls back to the first entry rather than leaving none.
  QAbstractButton* const chosen = group->button(checked);
  (chosen != nullptr ? chosen : group->button(0))->setChecked(true);
  layout->addWidget(box);
  return group;
}

}  // namespace

TPrintOptions::TPrintOptions(const PrintSettings& settings, QWidget* parent) : QDialog(parent) {
  setObjectName(QStringLiteral("TPrintOptions"));
  setWindowTitle(QStringLiteral("Print Options"));
  auto* layout = new QVBoxLayout(this);
  auto* groups = new QHBoxLayout;
  layout->addLayout(groups);
  destination_ =
      AddRadioGroup(this, groups, "Destination", "rgDestination", {"To Printer", "To Disk File"},
                    settings.destination == PrintDestination::kDiskFile ? 1 : 0);
  size_ =
      AddRadioGroup(this, groups, "Size", "rgSize", {"Screen", "Double"}, settings.size_factor - 1);
  colors_ = AddRadioGroup(this, groups, "Colors", "rgColors",
                          {"Black and White", "Color Lines", "Color Fill"}, settings.colors);

  auto* buttons = new QDialogButtonBox(this);
  QPushButton* ok = buttons->addButton(QDialogButtonBox::Ok);
  ok->setObjectName(QStringLiteral("bbOk"));
  buttons->addButton(QDialogButtonBox::Cancel)->setObjectName(QStringLiteral("bbCancel"));
  QPushButton* print = buttons->addButton(QStringLiteral("Print"), QDialogButtonBox::AcceptRole);
  print->setObjectName(QStringLiteral("bbPrint"));
  ok->setDefault(true);
  layout->addWidget(buttons);
  connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
  connect(ok, &QPushButton::clicked, this, &QDialog::accept);
  connect(print, &QPushButton::clicked, this, [this] {
    print_pressed_ = true;
    accept();
  });
}

PrintSettings TPrintOptions::Settings() const {
  PrintSettings settings;
  settings.destination =
      destination_->checkedId() == 1 ? PrintDestination::kDiskFile : PrintDestination::kPrinter;
  settings.size_factor = size_->checkedId() + 1;
  settings.colors = colors_->checkedId();
  return settings;
}

bool AskPrintOptions(QWidget* parent, PrintSettings& settings) {
  TPrintOptions dialog(settings, parent);
  if (dialog.exec() != QDialog::Accepted) return false;
  settings = dialog.Settings();
  return dialog.PrintPressed();
}

}  // namespace vireon
