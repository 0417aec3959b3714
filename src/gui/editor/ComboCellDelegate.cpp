#include "editor/ComboCellDelegate.h"

#include "editor/GridTableModel.h"

#include <QAbstractItemView>
#include <QComboBox>
#include <QKeyEvent>
#include <QTimer>

namespace tovan {

namespace {

// In the open list, Enter and Tab take the highlighted item and move on, as they do from any
// other cell: Enter down a row, Tab to the next cell, Shift+Tab to the one before.
class ListKeys : public QObject {
  public:
    ListKeys(QComboBox* combo, ComboCellDelegate* delegate)
        : QObject(combo), combo_(combo), delegate_(delegate) {}

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() != QEvent::KeyPress) return QObject::eventFilter(watched, event);
        const auto key = static_cast<QKeyEvent*>(event)->key();
        QAbstractItemDelegate::EndEditHint hint = QAbstractItemDelegate::NoHint;
        if (key == Qt::Key_Return || key == Qt::Key_Enter) {
            hint = QAbstractItemDelegate::SubmitModelCache;
        } else if (key == Qt::Key_Tab) {
            hint = QAbstractItemDelegate::EditNextItem;
        } else if (key == Qt::Key_Backtab) {
            hint = QAbstractItemDelegate::EditPreviousItem;
        } else {
            return QObject::eventFilter(watched, event);
        }
        const QModelIndex highlighted = combo_->view()->currentIndex();
        if (highlighted.isValid()) combo_->setCurrentIndex(highlighted.row());
        combo_->hidePopup();
        emit delegate_->commitData(combo_);
        emit delegate_->closeEditor(combo_, hint);
        return true;
    }

  private:
    QComboBox* combo_;
    ComboCellDelegate* delegate_;
};

} // namespace

QWidget* ComboCellDelegate::createEditor(QWidget* parent, const QStyleOptionViewItem&,
                                         const QModelIndex& index) const {
    auto* editor = new QComboBox(parent);
    const CellFormat& format = static_cast<const GridTableModel*>(index.model())->format(index);
    for (const std::string& item : format.items)
        editor->addItem(QString::fromLatin1(item));
    editor->setMaxVisibleItems(std::max(format.comboMaxDrop, 1));
    // The item texts of the print options are long: let the list be as wide as they are.
    editor->view()->setMinimumWidth(editor->view()->sizeHintForColumn(0) + 24);
    // A choice is the edit: commit it at once, as a list cell does.
    connect(editor, &QComboBox::activated, this, [this, editor] {
        emit const_cast<ComboCellDelegate*>(this)->commitData(editor);
        emit const_cast<ComboCellDelegate*>(this)->closeEditor(editor);
    });
    editor->view()->installEventFilter(new ListKeys(editor, const_cast<ComboCellDelegate*>(this)));
    // The list opens with the editor, so that one click on a list cell shows its items.
    QTimer::singleShot(0, editor, [editor] {
        if (editor->isVisible()) editor->showPopup();
    });
    return editor;
}

void ComboCellDelegate::setEditorData(QWidget* editor, const QModelIndex& index) const {
    bool ok = false;
    const int item = index.data(Qt::EditRole).toString().toInt(&ok);
    static_cast<QComboBox*>(editor)->setCurrentIndex(ok ? item : -1);
}

void ComboCellDelegate::setModelData(QWidget* editor, QAbstractItemModel* model,
                                     const QModelIndex& index) const {
    // The item's text, which the cell takes by what it means, as it takes a pasted one.
    const auto* combo = static_cast<QComboBox*>(editor);
    if (combo->currentIndex() >= 0) model->setData(index, combo->currentText(), Qt::EditRole);
}

} // namespace tovan
