#include "shell/frmCover.h"

#include "shell/MDIfrmTovan2000.h"

#include <QApplication>
#include <QCloseEvent>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

namespace tovan {

namespace {

QString Explanation(const char* before, const char* button) {
    return QString::fromLatin1(before) + QLatin1Char('"') + QString::fromLatin1(button) +
           QStringLiteral("\" button.");
}

} // namespace

frmCover::frmCover(ApplicationState& state, MDIfrmTovan2000& mainWindow)
    : state_(state), main_(mainWindow) {
    setObjectName(QStringLiteral("frmCover"));
    setWindowTitle(QStringLiteral("TOVAN 2000"));
    setAutoFillBackground(true);
    // The header stays stretched across the top and the button panel centred in the window,
    // whatever the window's size: the layout does what the resize handler used to do.
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(buildHeader());
    layout->addStretch(1);
    auto* middle = new QHBoxLayout;
    middle->addStretch(1);
    middle->addWidget(buildButtons());
    middle->addStretch(1);
    layout->addLayout(middle);
    layout->addStretch(2);
}

QWidget* frmCover::buildHeader() {
    pnlHeader = new QWidget(this);
    pnlHeader->setAutoFillBackground(true);
    QPalette banner = pnlHeader->palette();
    banner.setColor(QPalette::Window, QColor(0, 64, 128));
    banner.setColor(QPalette::WindowText, Qt::white);
    pnlHeader->setPalette(banner);
    auto* row = new QHBoxLayout(pnlHeader);
    Image2 = new QLabel(pnlHeader);
    Image2->setPixmap(qApp->windowIcon().pixmap(56, 56));
    auto* name = new QLabel(QStringLiteral("Tovan2000"), pnlHeader);
    QFont big = name->font();
    big.setPointSizeF(big.pointSizeF() * 2.2);
    big.setBold(true);
    name->setFont(big);
    row->addWidget(Image2);
    row->addWidget(name);
    row->addStretch(1);
    return pnlHeader;
}

QGroupBox* frmCover::buildButtons() {
    Frame1 = new QGroupBox(this);
    cmdNew = new QPushButton(QStringLiteral("&New File"), Frame1);
    cmdOpen = new QPushButton(QStringLiteral("&Open File"), Frame1);
    cmdRun = new QPushButton(QStringLiteral("&Run File"), Frame1);
    Label2 = new QLabel(Explanation("Select Create New from the file menu to make a new file or "
                                    "press the ",
                                    "New File"),
                        Frame1);
    Label3 = new QLabel(Explanation("Select Open from the file menu to open existing file or "
                                    "press the ",
                                    "Open File"),
                        Frame1);
    Label4 = new QLabel(Explanation("Selet Run from the file menu to run an existing file or "
                                    "press the ",
                                    "Run File"),
                        Frame1);
    auto* grid = new QGridLayout(Frame1);
    grid->setHorizontalSpacing(16);
    grid->setVerticalSpacing(14);
    const std::pair<QPushButton*, QLabel*> rows[] = {
        {cmdNew, Label2}, {cmdOpen, Label3}, {cmdRun, Label4}};
    int at = 0;
    for (const auto& [button, label] : rows) {
        button->setMinimumWidth(110);
        label->setWordWrap(true);
        label->setMinimumWidth(360);
        grid->addWidget(button, at, 0);
        grid->addWidget(label, at++, 1);
    }
    connect(cmdNew, &QPushButton::clicked, this, &frmCover::cmdNew_Click);
    connect(cmdOpen, &QPushButton::clicked, this, &frmCover::cmdOpen_Click);
    connect(cmdRun, &QPushButton::clicked, this, &frmCover::cmdRun_Click);
    return Frame1;
}

// A new deck starts with record set A only.
void frmCover::cmdNew_Click() {
    state_.EnableA = true;
    state_.EnableB1 = state_.EnableB2 = state_.EnableC = state_.EnableD = false;
    main_.mnuFileCreate_Click();
}

// The readers enable the record sets they find.
void frmCover::cmdOpen_Click() {
    state_.EnableA = state_.EnableB1 = state_.EnableB2 = state_.EnableC = state_.EnableD = false;
    main_.mnuOpenTovan_Click();
}

void frmCover::cmdRun_Click() {
    main_.mnuFileRun_click();
}

// The cover is the program's home while no deck is open; its close box does not take it away
// (the program's Exit does).
void frmCover::closeEvent(QCloseEvent* event) {
    if (main_.isClosing()) {
        event->accept();
    } else {
        event->ignore();
    }
}

void frmCover::Form_Activate() {
    main_.menuMoment(MenuMoment::CoverActivated);
    main_.sendCoverToBack();
}

} // namespace tovan
