#include "editor/ComboCellDelegate.h"

#include "editor/GridTableModel.h"

#include <QAbstractItemView>
#include <QComboBox>
#include <QTimer>

namespace tovan {

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
