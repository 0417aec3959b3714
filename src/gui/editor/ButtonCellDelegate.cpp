#include "editor/ButtonCellDelegate.h"

#include <QApplication>
#include <QPainter>
#include <QStyle>
#include <QStyleOptionButton>

namespace tovan {

void ButtonCellDelegate::paint(QPainter* painter, const QStyleOptionViewItem& option,
                               const QModelIndex& index) const {
    QStyleOptionButton button;
    button.rect = option.rect.adjusted(1, 1, -1, -1);
    button.text = index.data(Qt::DisplayRole).toString();
    button.state = QStyle::State_Enabled | QStyle::State_Raised;
    if (option.state & QStyle::State_HasFocus) button.state |= QStyle::State_HasFocus;
    const QWidget* widget = option.widget;
    QStyle* style = widget ? widget->style() : QApplication::style();
    style->drawControl(QStyle::CE_PushButton, &button, painter, widget);
}

} // namespace tovan
