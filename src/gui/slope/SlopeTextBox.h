// A one-line text box of the slope calculator that reports its focus and typed characters the
// way the calculator's handlers want them: GotFocus after the box has taken the focus (so that
// a selection made there is not undone by the box's own focus handling), LostFocus only when
// the focus moves to another control of the same window, and every typed character as a code
// that the handler may set to 0 to discard it.
#pragma once

#include <QLineEdit>

namespace tovan {

class SlopeTextBox : public QLineEdit {
    Q_OBJECT

  public:
    // The code of Enter, whichever of the two Enter keys was pressed.
    static constexpr int kEnter = 13;

    explicit SlopeTextBox(QWidget* parent = nullptr) : QLineEdit(parent) {}

  signals:
    void gotFocus();
    void lostFocus();
    // keyAscii: the character's code; a handler sets it to 0 to keep the character out.
    void keyPress(int& keyAscii);

  protected:
    void focusInEvent(QFocusEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
};

} // namespace tovan
