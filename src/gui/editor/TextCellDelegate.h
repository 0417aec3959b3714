// Edit cells: free text up to the cell's maximum length.
#pragma once

#include <QStyledItemDelegate>

namespace tovan {

class TextCellDelegate : public QStyledItemDelegate {
    Q_OBJECT
  public:
    using QStyledItemDelegate::QStyledItemDelegate;
    QWidget* createEditor(QWidget* parent, const QStyleOptionViewItem& option,
                          const QModelIndex& index) const override;
};

} // namespace tovan
