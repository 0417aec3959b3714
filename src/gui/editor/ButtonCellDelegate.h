// Button cells: drawn as push buttons with their caption; a click is an event, not an edit.
#pragma once

#include <QStyledItemDelegate>

namespace tovan {

class ButtonCellDelegate : public QStyledItemDelegate {
    Q_OBJECT
  public:
    using QStyledItemDelegate::QStyledItemDelegate;
    void paint(QPainter* painter, const QStyleOptionViewItem& option,
               const QModelIndex& index) const override;
};

} // namespace tovan
