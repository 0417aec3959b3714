// The field help window (F1): the fields of the record set in front, listed by their labels,
// and the full help of the one selected, from the core's field table.
#pragma once

#include <QWidget>
#include <string>

class QListWidget;
class QTextBrowser;

namespace tovan {

class FieldHelpWindow : public QWidget {
    Q_OBJECT
  public:
    explicit FieldHelpWindow(QWidget* parent = nullptr);

    // Lists the fields of `recordSet` ("A", "B1", "B2", "C" or "D") and selects the one of grid
    // column `col` (the first field when that column holds none).
    void showFields(const std::string& recordSet, int col);

    QListWidget* fields() const { return fields_; }
    QTextBrowser* text() const { return text_; }

  private:
    void showSelected();

    QListWidget* fields_;
    QTextBrowser* text_;
    std::string recordSet_;
    int caretCol_ = 0;
};

} // namespace tovan
