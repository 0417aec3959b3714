// Float cells: decimal numbers within the cell's range, with at most its decimal places.
#pragma once

#include <QStyledItemDelegate>

namespace tovan {

class FloatCellDelegate : public QStyledItemDelegate {
    Q_OBJECT
  public:
    using QStyledItemDelegate::QStyledItemDelegate;
    QWidget* createEditor(QWidget* parent, const QStyleOptionViewItem& option,
                          const QModelIndex& index) const override;
};

} // namespace tovan
