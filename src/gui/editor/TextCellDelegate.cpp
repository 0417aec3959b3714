#include "editor/TextCellDelegate.h"

#include "editor/GridTableModel.h"

#include <QLineEdit>

namespace tovan {

QWidget* TextCellDelegate::createEditor(QWidget* parent, const QStyleOptionViewItem&,
                                        const QModelIndex& index) const {
    auto* editor = new QLineEdit(parent);
    editor->setFrame(false);
    const auto* model = static_cast<const GridTableModel*>(index.model());
    editor->setMaxLength(std::max(model->format(index).maxLength, 0));
    return editor;
}

} // namespace tovan
