#include "editor/clsEdit.h"

#include "editing/ErrorTrap.h"
#include "editor/GridView.h"

#include <QApplication>
#include <QClipboard>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QTextEdit>

namespace tovan {

namespace {

QWidget* FocusedControl() {
    return QApplication::focusWidget();
}

// Text boxes of every kind: single-line ones and the multi-line ones.
template <typename Action>
bool OnTextBox(QWidget* control, Action action) {
    if (auto* line = qobject_cast<QLineEdit*>(control)) {
        action(*line);
        return true;
    }
    if (auto* text = qobject_cast<QTextEdit*>(control)) {
        action(*text);
        return true;
    }
    if (auto* plain = qobject_cast<QPlainTextEdit*>(control)) {
        action(*plain);
        return true;
    }
    return false;
}

QString SelectedText(QLineEdit& box) {
    return box.selectedText();
}
QString SelectedText(QTextEdit& box) {
    return box.textCursor().selectedText();
}
QString SelectedText(QPlainTextEdit& box) {
    return box.textCursor().selectedText();
}

void ReplaceSelection(QLineEdit& box, const QString& text) {
    box.insert(text);
}
void ReplaceSelection(QTextEdit& box, const QString& text) {
    box.insertPlainText(text);
}
void ReplaceSelection(QPlainTextEdit& box, const QString& text) {
    box.insertPlainText(text);
}

} // namespace

void clsEdit::Copy() {
    TrapErrors(platform_, "Copy Error!", [] {
        QApplication::clipboard()->clear();
        QWidget* control = FocusedControl();
        if (auto* grid = qobject_cast<GridView*>(control)) {
            grid->copyToClipboard();
            return;
        }
        OnTextBox(control,
                  [](auto& box) { QApplication::clipboard()->setText(SelectedText(box)); });
    });
}

void clsEdit::Cut() {
    TrapErrors(platform_, "Cut Error!", [] {
        QApplication::clipboard()->clear();
        QWidget* control = FocusedControl();
        if (auto* grid = qobject_cast<GridView*>(control)) {
            grid->cutToClipboard();
            return;
        }
        OnTextBox(control, [](auto& box) {
            QApplication::clipboard()->setText(SelectedText(box));
            ReplaceSelection(box, QString());
        });
    });
}

void clsEdit::Paste() {
    TrapErrors(platform_, "Paste Error!", [] {
        QWidget* control = FocusedControl();
        if (auto* grid = qobject_cast<GridView*>(control)) {
            grid->pasteFromClipboard();
            return;
        }
        OnTextBox(control,
                  [](auto& box) { ReplaceSelection(box, QApplication::clipboard()->text()); });
    });
}

} // namespace tovan
