#include "editor/FieldHelpWindow.h"

#include "deck/FieldHelp.h"

#include <QHBoxLayout>
#include <QListWidget>
#include <QTextBrowser>

namespace tovan {

FieldHelpWindow::FieldHelpWindow(QWidget* parent)
    : QWidget(parent, Qt::Tool), fields_(new QListWidget(this)), text_(new QTextBrowser(this)) {
    setObjectName(QStringLiteral("frmFieldHelp"));
    fields_->setObjectName(QStringLiteral("lstFields"));
    fields_->setWordWrap(true); // the labels are long
    text_->setObjectName(QStringLiteral("txtFieldHelp"));
    auto* layout = new QHBoxLayout(this);
    layout->addWidget(fields_, 2);
    layout->addWidget(text_, 3);
    resize(760, 420);
    connect(fields_, &QListWidget::currentRowChanged, this, &FieldHelpWindow::showSelected);
}

void FieldHelpWindow::showFields(const std::string& recordSet, int col) {
    setWindowTitle(tr("Field Help: Record Set %1").arg(QString::fromStdString(recordSet)));
    recordSet_ = recordSet;
    caretCol_ = col;
    const QSignalBlocker quiet(fields_);
    fields_->clear();
    int selected = 0;
    for (const FieldHelp& help : FieldHelpTable()) {
        if (help.recordSet != recordSet) continue;
        if (col >= help.firstCol && col <= help.lastCol) selected = fields_->count();
        const std::string text = FieldHelpText(recordSet, help.firstCol);
        auto* item = new QListWidgetItem(QString::fromLatin1(text.substr(0, text.find('\n'))));
        item->setData(Qt::UserRole, help.firstCol);
        item->setData(Qt::UserRole + 1, help.lastCol);
        item->setToolTip(item->text());
        fields_->addItem(item);
    }
    fields_->setCurrentRow(selected);
    showSelected();
}

void FieldHelpWindow::showSelected() {
    const QListWidgetItem* item = fields_->currentItem();
    if (!item) {
        text_->clear();
        return;
    }
    // A field of several columns (the B1 depths) is shown at the caret's column when it is one.
    const int first = item->data(Qt::UserRole).toInt();
    const int last = item->data(Qt::UserRole + 1).toInt();
    const int col = caretCol_ >= first && caretCol_ <= last ? caretCol_ : first;
    const QString help = QString::fromLatin1(FieldHelpText(recordSet_, col));
    QStringList lines = help.split(QLatin1Char('\n'));
    QString html = QStringLiteral("<h3>%1</h3>").arg(lines.takeFirst().toHtmlEscaped());
    for (const QString& line : lines)
        html += QStringLiteral("<p>%1</p>").arg(line.toHtmlEscaped());
    text_->setHtml(html);
}

} // namespace tovan
