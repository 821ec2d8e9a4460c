#pragma once

#include <QStyledItemDelegate>

#include <functional>

namespace vireon {

// Draws the acquisition list: a type the current stimulus can measure in black on white (grey
// text while the list is disabled), any other in silver on grey.
class AcquisitionItemDelegate : public QStyledItemDelegate {
 public:
  AcquisitionItemDelegate(std::function<bool(int item)> selectable, QObject* parent);

  void paint(QPainter* painter, const QStyleOptionViewItem& option,
             const QModelIndex& index) const override;

 private:
  const std::function<bool(int item)> selectable_;
};

}  // namespace vireon
