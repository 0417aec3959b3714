// The grid's delegate: hands each cell to the delegate of its cell type (a view takes one
// delegate per row or column, but the cell types of our grids vary within both).
#pragma once

#include "deck/CellFormat.h"

#include <QStyledItemDelegate>

namespace tovan {

class GridItemDelegate : public QStyledItemDelegate {
    Q_OBJECT
  public:
    explicit GridItemDelegate(QObject* parent = nullptr);

    void paint(QPainter* painter, const QStyleOptionViewItem& option,
               const QModelIndex& index) const override;
    QWidget* createEditor(QWidget* parent, const QStyleOptionViewItem& option,
                          const QModelIndex& index) const override;
    void setEditorData(QWidget* editor, const QModelIndex& index) const override;
    void setModelData(QWidget* editor, QAbstractItemModel* model,
                      const QModelIndex& index) const override;

  protected:
    bool eventFilter(QObject* object, QEvent* event) override;

  private:
    QStyledItemDelegate* delegateFor(const QModelIndex& index) const;
    void relay(QStyledItemDelegate* delegate);

    QStyledItemDelegate* text_;
    QStyledItemDelegate* integer_;
    QStyledItemDelegate* float_;
    QStyledItemDelegate* combo_;
    QStyledItemDelegate* button_;
};

} // namespace tovan
