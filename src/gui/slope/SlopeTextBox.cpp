#include "slope/SlopeTextBox.h"

#include <QFocusEvent>
#include <QKeyEvent>

namespace tovan {

namespace {

// The character code a key press types, or -1 for keys that type nothing (arrows, Delete,
// function keys), which the handlers never see.
int TypedCode(const QKeyEvent& event) {
    if (event.key() == Qt::Key_Return || event.key() == Qt::Key_Enter) return SlopeTextBox::kEnter;
    const QString text = event.text();
    if (text.size() != 1 || text.front() == QChar(0x7f)) return -1;
    return text.front().unicode();
}

} // namespace

void SlopeTextBox::focusInEvent(QFocusEvent* event) {
    QLineEdit::focusInEvent(event);
    emit gotFocus();
}

void SlopeTextBox::focusOutEvent(QFocusEvent* event) {
    QLineEdit::focusOutEvent(event);
    // Switching to another window (or a message box of our own popping up) is not leaving the
    // box: the caret comes back to it, and a check that shows a message would otherwise run
    // again as soon as its own message box took the focus.
    const Qt::FocusReason reason = event->reason();
    if (reason != Qt::ActiveWindowFocusReason && reason != Qt::PopupFocusReason) emit lostFocus();
}

void SlopeTextBox::keyPressEvent(QKeyEvent* event) {
    const int typed = TypedCode(*event);
    if (typed < 0) {
        QLineEdit::keyPressEvent(event);
        return;
    }
    int keyAscii = typed;
    emit keyPress(keyAscii);
    if (keyAscii == 0) {
        event->accept();
        return;
    }
    QLineEdit::keyPressEvent(event);
}

} // namespace tovan
