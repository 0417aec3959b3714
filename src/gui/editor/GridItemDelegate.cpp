#include "editor/GridItemDelegate.h"

#include "editor/ButtonCellDelegate.h"
#include "editor/ComboCellDelegate.h"
#include "editor/FloatCellDelegate.h"
#include "editor/GridTableModel.h"
#include "editor/IntegerCellDelegate.h"
#include "editor/TextCellDelegate.h"

#include <QApplication>
#include <QKeyEvent>
#include <QLineEdit>
#include <optional>

namespace tovan {

GridItemDelegate::GridItemDelegate(QObject* parent)
    : QStyledItemDelegate(parent), text_(new TextCellDelegate(this)),
      integer_(new IntegerCellDelegate(this)), float_(new FloatCellDelegate(this)),
      combo_(new ComboCellDelegate(this)), button_(new ButtonCellDelegate(this)) {
    for (QStyledItemDelegate* delegate : {text_, integer_, float_, combo_, button_})
        relay(delegate);
}

// The view listens to this delegate only, so the signals of the per-type ones pass through.
void GridItemDelegate::relay(QStyledItemDelegate* delegate) {
    connect(delegate, &QAbstractItemDelegate::commitData, this, &QAbstractItemDelegate::commitData);
    connect(delegate, &QAbstractItemDelegate::closeEditor, this,
            &QAbstractItemDelegate::closeEditor);
}

QStyledItemDelegate* GridItemDelegate::delegateFor(const QModelIndex& index) const {
    const auto* model = static_cast<const GridTableModel*>(index.model());
    switch (model->format(index).type) {
    case CellType::Integer:
        return integer_;
    case CellType::Float:
        return float_;
    case CellType::ComboBox:
        return combo_;
    case CellType::Button:
        return button_;
    default:
        return text_;
    }
}

void GridItemDelegate::paint(QPainter* painter, const QStyleOptionViewItem& option,
                             const QModelIndex& index) const {
    delegateFor(index)->paint(painter, option, index);
}

QWidget* GridItemDelegate::createEditor(QWidget* parent, const QStyleOptionViewItem& option,
                                        const QModelIndex& index) const {
    return delegateFor(index)->createEditor(parent, option, index);
}

void GridItemDelegate::setEditorData(QWidget* editor, const QModelIndex& index) const {
    delegateFor(index)->setEditorData(editor, index);
}

// A value the cell refuses (out of range, half typed) leaves the cell as it was; the beep
// tells the user that nothing was stored.
void GridItemDelegate::setModelData(QWidget* editor, QAbstractItemModel* model,
                                    const QModelIndex& index) const {
    if (auto* line = qobject_cast<QLineEdit*>(editor)) {
        if (line->text() == index.data(Qt::EditRole).toString()) return;
        if (!model->setData(index, line->text(), Qt::EditRole)) QApplication::beep();
        return;
    }
    delegateFor(index)->setModelData(editor, model, index);
}

// Qt lets Tab and Enter leave a line editor only with input its validator accepts, and an
// erased number is not acceptable to a number validator. Erasing is how a user clears a cell,
// so an empty editor is committed (the cell is cleared) and left like any other editor.
bool GridItemDelegate::eventFilter(QObject* object, QEvent* event) {
    auto* line = qobject_cast<QLineEdit*>(object);
    if (!line || !line->text().isEmpty()) return QStyledItemDelegate::eventFilter(object, event);
    if (event->type() == QEvent::FocusOut) emit commitData(line); // leaving by mouse
    if (event->type() == QEvent::KeyPress) {
        std::optional<EndEditHint> hint;
        switch (static_cast<QKeyEvent*>(event)->key()) {
        case Qt::Key_Tab:
            hint = EditNextItem;
            break;
        case Qt::Key_Backtab:
            hint = EditPreviousItem;
            break;
        case Qt::Key_Return:
        case Qt::Key_Enter:
            hint = SubmitModelCache;
            break;
        default:
            break;
        }
        if (hint) {
            emit commitData(line);
            emit closeEditor(line, *hint);
            return true;
        }
    }
    return QStyledItemDelegate::eventFilter(object, event);
}

} // namespace tovan
