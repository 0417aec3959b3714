// Integer cells: whole numbers within the cell's minimum and maximum.
#pragma once

#include <QStyledItemDelegate>

namespace tovan {

class IntegerCellDelegate : public QStyledItemDelegate {
    Q_OBJECT
  public:
    using QStyledItemDelegate::QStyledItemDelegate;
    QWidget* createEditor(QWidget* parent, const QStyleOptionViewItem& option,
                          const QModelIndex& index) const override;
};

} // namespace tovan
