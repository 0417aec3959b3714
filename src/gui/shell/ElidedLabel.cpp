#include "shell/ElidedLabel.h"

#include <QResizeEvent>

namespace tovan {

void ElidedLabel::setFullText(const QString& text) {
    full_ = text;
    setToolTip(text);
    fit();
}

QSize ElidedLabel::minimumSizeHint() const {
    return {fontMetrics().horizontalAdvance(QStringLiteral("...")) * 4,
            QLabel::minimumSizeHint().height()};
}

void ElidedLabel::resizeEvent(QResizeEvent* event) {
    QLabel::resizeEvent(event);
    fit();
}

void ElidedLabel::fit() {
    setText(fontMetrics().elidedText(full_, Qt::ElideRight, contentsRect().width()));
}

} // namespace tovan
