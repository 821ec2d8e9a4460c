#include "measure/ui/AcquisitionItemDelegate.h"

#include <QPainter>

#include <utility>

#include "plot/render/DisplayListPainter.h"

namespace vireon {
namespace {

constexpr PlotColor kSilver = 0xC0C0C0;
constexpr PlotColor kGrey = 0x808080;
constexpr PlotColor kBlack = 0x000000;
constexpr PlotColor kWhite = 0xFFFFFF;

}  // namespace

AcquisitionItemDelegate::AcquisitionItemDelegate(std::function<bool(int item)> selectable,
                                                 QObject* parent)
    : QStyledItemDelegate(parent), selectable_(std::move(selectable)) {}

void AcquisitionItemDelegate::paint(QPainter* painter, const QStyleOptionViewItem& option,
                                    const QModelIndex& index) const {
  const bool selectable = selectable_(index.row());
  const bool enabled = option.state.testFlag(QStyle::State_Enabled);
  const bool highlighted = selectable && option.state.testFlag(QStyle::State_Selected);
  QColor background = ToQColor(selectable ? kWhite : kGrey);
  QColor text = ToQColor(!selectable ? kSilver : enabled ? kBlack : kGrey);
  if (highlighted) {
    background = option.palette.color(QPalette::Highlight);
    text = option.palette.color(QPalette::HighlightedText);
  }
  painter->save();
  painter->fillRect(option.rect, background);
  painter->setPen(text);
  painter->setFont(option.font);
  painter->drawText(option.rect.adjusted(3, 0, -3, 0), Qt::AlignVCenter | Qt::AlignLeft,
                    index.data(Qt::DisplayRole).toString());
  painter->restore();
}

}  // namespace vireon
