#include "shell/frmAbout.h"

#include "Version.h"

#include <QApplication>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

namespace tovan {

frmAbout::frmAbout(QWidget* mainWindow) : QDialog(mainWindow) {
    setObjectName(QStringLiteral("frmAbout"));
    setWindowTitle(QStringLiteral("About Tovan2000"));
    auto* Image1 = new QLabel(this);
    Image1->setPixmap(qApp->windowIcon().pixmap(48, 48));
    lblTitle = new QLabel(QStringLiteral("Tovan2000"), this);
    QFont big = lblTitle->font();
    big.setPointSizeF(big.pointSizeF() * 1.8);
    big.setBold(true);
    lblTitle->setFont(big);
    lblDescription = new QLabel(this);
    lblDescription->setWordWrap(true);
    lblVersion2 = new QLabel(this);
    // Placeholder for the organisation the tool was produced for.
    lblDisclaimer = new QLabel(
        QStringLiteral("Produced for an urban drainage and flood control organisation."), this);
    lblDisclaimer->setWordWrap(true);
    cmdOK = new QPushButton(QStringLiteral("OK"), this);
    connect(cmdOK, &QPushButton::clicked, this, &frmAbout::cmdOK_Click);

    auto* text = new QVBoxLayout;
    for (QLabel* label : {lblTitle, lblDescription, lblVersion2, lblDisclaimer})
        text->addWidget(label);
    text->addWidget(cmdOK, 0, Qt::AlignRight);
    auto* layout = new QHBoxLayout(this);
    layout->addWidget(Image1, 0, Qt::AlignTop);
    layout->addLayout(text, 1);
    Form_Load(mainWindow);
}

void frmAbout::Form_Load(QWidget* mainWindow) {
    if (mainWindow) move(mainWindow->pos());
    lblDescription->setText(QStringLiteral(
        "Tovan2000 creates and checks input files for the TOVAN rainfall-runoff engine."));
    lblVersion2->setText(QStringLiteral("Version %1.%2.%3 Release")
                             .arg(kVersionMajor)
                             .arg(kVersionMinor)
                             .arg(kVersionRevision));
    resize(460, 200);
}

void frmAbout::cmdOK_Click() {
    hide();
}

} // namespace tovan
