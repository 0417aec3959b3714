#include "editor/ComboCellDelegate.h"

#include "editor/GridTableModel.h"

#include <QAbstractItemView>
#include <QComboBox>
#include <QElapsedTimer>
#include <QKeyEvent>
#include <QTimer>

namespace tovan {

namespace {

// The item a user means by what was typed in the open list: the one whose leading number is
// that number ("5" is "005", "10" is "010"), or else the first that starts with the text.
int ItemTyped(const QComboBox& combo, const QString& typed) {
    bool isNumber = false;
    const int number = typed.toInt(&isNumber);
    for (int i = 0; isNumber && i < combo.count(); ++i) {
        const QString item = combo.itemText(i).trimmed();
        qsizetype digits = 0;
        while (digits < item.size() && item[digits].isDigit())
            ++digits;
        if (digits > 0 && item.left(digits).toInt() == number) return i;
    }
    for (int i = 0; i < combo.count(); ++i) {
        if (combo.itemText(i).trimmed().startsWith(typed, Qt::CaseInsensitive)) return i;
    }
    return -1;
}

// In the open list, Enter and Tab take the highlighted item and move on, as they do from any
// other cell: Enter down a row, Tab to the next cell, Shift+Tab to the one before. What is
// typed in quick succession picks the item it names.
class ListKeys : public QObject {
  public:
    ListKeys(QComboBox* combo, ComboCellDelegate* delegate)
        : QObject(combo), combo_(combo), delegate_(delegate) {}

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() != QEvent::KeyPress) return QObject::eventFilter(watched, event);
        const auto* press = static_cast<QKeyEvent*>(event);
        const auto key = press->key();
        if (const QString text = press->text(); text.size() == 1 && text[0].isLetterOrNumber()) {
            constexpr qint64 kTypingPauseMs = 1000;
            if (!typing_.isValid() || typing_.elapsed() > kTypingPauseMs) typed_.clear();
            typing_.start();
            typed_ += text;
            if (const int item = ItemTyped(*combo_, typed_); item >= 0)
                combo_->view()->setCurrentIndex(combo_->model()->index(item, 0));
            return true;
        }
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
    QString typed_;
    QElapsedTimer typing_;
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
