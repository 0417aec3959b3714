#include "editor/FloatCellDelegate.h"

#include "editor/GridTableModel.h"

#include <QDoubleValidator>
#include <QLineEdit>

namespace tovan {

// The deck is written with a point whatever the user's locale, so the cell takes a point too.
QWidget* FloatCellDelegate::createEditor(QWidget* parent, const QStyleOptionViewItem&,
                                         const QModelIndex& index) const {
    auto* editor = new QLineEdit(parent);
    editor->setFrame(false);
    const CellFormat& format = static_cast<const GridTableModel*>(index.model())->format(index);
    auto* validator =
        new QDoubleValidator(format.floatMin, format.floatMax, format.decimals, editor);
    validator->setNotation(QDoubleValidator::StandardNotation);
    QLocale locale = QLocale::c();
    locale.setNumberOptions(QLocale::RejectGroupSeparator);
    validator->setLocale(locale);
    editor->setValidator(validator);
    return editor;
}

} // namespace tovan
