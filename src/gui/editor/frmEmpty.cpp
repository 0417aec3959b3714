#include "editor/frmEmpty.h"

#include "editor/GridView.h"
#include "editor/Twips.h"

#include <QApplication>
#include <QHeaderView>
#include <QLabel>

namespace tovan {

namespace {
constexpr int kListCols = 25, kListRows = 5000;
constexpr double kListTopTwips = 1000;
} // namespace

frmEmpty::frmEmpty(QWidget* parent)
    : QWidget(parent), list_("fpSpread1", kListCols, kListRows), Label1(new QLabel(this)),
      Label2(new QLabel(this)), fpSpread1(new GridView(this)) {
    setObjectName(QStringLiteral("frmEmpty"));
    setWindowTitle(QStringLiteral("Error Check"));
    Label1->setText(QStringLiteral("Error Check"));
    QFont heading = Label1->font();
    heading.setPointSizeF(heading.pointSizeF() * 1.6);
    heading.setBold(true);
    Label1->setFont(heading);
    Label1->move(8, 4);
    Label2->setText(QStringLiteral("All of the cells displayed on this form are empty and need "
                                   "to be filled on the edit form."));
    Label2->setWordWrap(true);
    fpSpread1->setGrid(list_, false);
    fpSpread1->verticalHeader()->hide();
    fpSpread1->setEditTriggers(QAbstractItemView::NoEditTriggers);
    Form_Load();
}

// The list view goes before the grid it shows.
frmEmpty::~frmEmpty() {
    delete fpSpread1;
}

bool frmEmpty::isListEmpty() const {
    return list_.value(1, 1).empty();
}

void frmEmpty::placeList() {
    const int top = TwipsToPixelsY(kListTopTwips);
    const int height = this->height() > top ? this->height() - top : top;
    fpSpread1->setGeometry(0, top, width(), height);
    Label2->setGeometry(8, Label1->y() + Label1->sizeHint().height() + 4, width() - 16,
                        std::max(top - Label1->sizeHint().height() - 12, 10));
}

void frmEmpty::Form_Load() {
    placeList();
    fpSpread1->setActiveCell(1, 1);
    if (isListEmpty()) hide();
    QApplication::restoreOverrideCursor();
}

void frmEmpty::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    placeList();
}

} // namespace tovan
