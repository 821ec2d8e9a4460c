// The format panel's "MultiFile" and "MultiCtl" tabs: the overlay list kept in the record.

#include <QCheckBox>
#include <QListWidget>
#include <QPushButton>

#include "common/VireonError.h"
#include "plot/OverlayList.h"
#include "plot/Overlays.h"
#include "plot/render/QtTextMeasure.h"
#include "plot/ui/FormatPanelWidgets.h"
#include "plot/ui/PlotFormatPanel.h"

namespace vireon {
namespace {

using namespace format_panel;  // NOLINT: the page builders

constexpr std::string_view kDataFileFilter = "Vireon Data Files (*.vr2)|*.vr2";
constexpr std::string_view kListFilter = "Overlay lists (*.txt)|*.txt|All files (*.*)|*.*";

}  // namespace

void PlotFormatPanel::BuildOverlayPages() {
  OverlayPages& p = overlays_;
  p.file_page = NewPage(this);
  connect(AddWidget<QPushButton>(p.file_page, QStringLiteral("Save")), &QPushButton::clicked, this,
          &PlotFormatPanel::SaveOverlays);
  connect(AddWidget<QPushButton>(p.file_page, QStringLiteral("Load")), &QPushButton::clicked, this,
          &PlotFormatPanel::LoadOverlays);
  AddLabel(p.file_page, QStringLiteral("List:"));
  p.list = new QListWidget(p.file_page);
  p.list->setObjectName(QStringLiteral("List"));
  p.file_page->layout()->addWidget(p.list);
  p.add = AddWidget<QPushButton>(p.file_page, QStringLiteral("AddNew->"));
  connect(p.add, &QPushButton::clicked, this, &PlotFormatPanel::AddOverlays);
  auto* remove = AddWidget<QPushButton>(p.file_page, QStringLiteral("->Remove"));
  connect(remove, &QPushButton::clicked, this, [this] {
    const int row = overlays_.list->currentRow();
    Apply([row](TDataMeas& r) {
      return row >= 0 && RemoveOverlay(r, static_cast<std::size_t>(row));
    });
  });

  p.control_page = NewPage(this);
  p.show_curves = AddWidget<QCheckBox>(p.control_page, QStringLiteral("Show MultiCurves"));
  p.show_legends = AddWidget<QCheckBox>(p.control_page, QStringLiteral("Show Legends"));
  for (auto [box, flag] : {std::pair{p.show_curves, &TDataMeas::FOverlayFlag1},
                           std::pair{p.show_legends, &TDataMeas::FOverlayFlag2}}) {
    connect(box, &QCheckBox::clicked, this, [this, flag](bool checked) {
      Apply([&](TDataMeas& r) {
        r.*flag = checked ? 1 : 0;
        return true;
      });
    });
  }
}

void PlotFormatPanel::AddOverlays() {
  if (record_ == nullptr) return;
  const std::vector<std::filesystem::path> files =
      dialogs_.open_files(QStringLiteral("Add Overlay Data Files"), kDataFileFilter, true);
  if (files.empty()) return;
  Apply([&](TDataMeas& r) { return AddOverlayFiles(r, files) > 0; });
}

void PlotFormatPanel::SaveOverlays() {
  if (record_ == nullptr) return;
  const std::optional<std::filesystem::path> file =
      dialogs_.save_file(QStringLiteral("Save Overlay List"), kListFilter);
  if (!file) return;
  try {
    SaveOverlayList(*record_, *file);
  } catch (const VireonError& error) {
    messages_.ShowMessage(error.what());
  }
}

void PlotFormatPanel::LoadOverlays() {
  if (record_ == nullptr) return;
  const std::vector<std::filesystem::path> files =
      dialogs_.open_files(QStringLiteral("Load Overlay List"), kListFilter, false);
  if (files.empty()) return;
  Apply([&](TDataMeas& r) {
    if (LoadOverlayList(r, files.front())) return true;
    messages_.ShowMessage("Could not read the overlay list " + files.front().string());
    return false;
  });
}

// The list is filled again only when it changed, so that the selection survives a redraw.
void PlotFormatPanel::ShowOverlays() {
  OverlayPages& p = overlays_;
  p.show_curves->setChecked(record_->FOverlayFlag1 != 0);
  p.show_legends->setChecked(record_->FOverlayFlag2 != 0);
  const std::vector<OverlayEntry> entries = OverlayEntriesOf(*record_);
  p.add->setEnabled(entries.size() < kMaxHoldOverlays);

  QStringList shown;
  for (int row = 0; row < p.list->count(); ++row) shown << p.list->item(row)->toolTip();
  QStringList listed;
  for (const OverlayEntry& entry : entries) listed << PlotText(entry.file.string());
  if (shown == listed) return;
  p.list->clear();
  for (std::size_t i = 0; i < entries.size(); ++i) {
    auto* item = new QListWidgetItem(PlotText(entries[i].label), p.list);
    item->setToolTip(listed[static_cast<qsizetype>(i)]);
  }
}

}  // namespace vireon
