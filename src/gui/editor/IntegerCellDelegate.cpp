#include "editor/IntegerCellDelegate.h"

#include "editor/GridTableModel.h"

#include <QIntValidator>
#include <QLineEdit>

namespace tovan {

QWidget* IntegerCellDelegate::createEditor(QWidget* parent, const QStyleOptionViewItem&,
                                           const QModelIndex& index) const {
    auto* editor = new QLineEdit(parent);
    editor->setFrame(false);
    const CellFormat& format = static_cast<const GridTableModel*>(index.model())->format(index);
    auto* validator = new QIntValidator(static_cast<int>(format.integerMin),
                                        static_cast<int>(format.integerMax), editor);
    validator->setLocale(QLocale::c());
    editor->setValidator(validator);
    return editor;
}

} // namespace tovan
