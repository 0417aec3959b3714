#include "shell/frmSplash.h"

#include "Version.h"
#include "editing/ErrorTrap.h"

#include <QApplication>
#include <QFrame>
#include <QLabel>
#include <QScreen>
#include <QTimer>
#include <QVBoxLayout>

namespace tovan {

namespace {
constexpr int kSplashMilliseconds = 3000;
} // namespace

frmSplash::frmSplash(ApplicationState& state, Platform& platform, std::function<void()> handOver)
    : QWidget(nullptr, Qt::SplashScreen | Qt::FramelessWindowHint), state_(state),
      platform_(platform), handOver_(std::move(handOver)) {
    setObjectName(QStringLiteral("frmSplash"));
    setAttribute(Qt::WA_DeleteOnClose);
    auto* frame = new QFrame(this);
    frame->setFrameShape(QFrame::Box);
    auto* outer = new QVBoxLayout(this);
    outer->setContentsMargins(0, 0, 0, 0);
    outer->addWidget(frame);
    auto* layout = new QVBoxLayout(frame);
    auto* image = new QLabel(frame);
    image->setPixmap(qApp->windowIcon().pixmap(64, 64));
    lblProductName = new QLabel(QStringLiteral("Tovan2000"), frame);
    QFont big = lblProductName->font();
    big.setPointSizeF(big.pointSizeF() * 2.4);
    big.setBold(true);
    lblProductName->setFont(big);
    // Placeholder for the organisation the tool is produced for.
    lblCompanyProduct = new QLabel(QStringLiteral("Urban Stormwater Engineering"), frame);
    lblVersion = new QLabel(frame);
    lblDistMode = new QLabel(frame);
    layout->addWidget(image, 0, Qt::AlignHCenter);
    for (QLabel* label : {lblProductName, lblCompanyProduct, lblVersion, lblDistMode})
        layout->addWidget(label, 0, Qt::AlignHCenter);
    Timer1 = new QTimer(this);
    Timer1->setSingleShot(true);
    connect(Timer1, &QTimer::timeout, this, &frmSplash::Timer1_Timer);
    Form_Load();
}

void frmSplash::Form_Load() {
    state_.DeckChanged = false;
    lblVersion->setText(QStringLiteral("Version %1.%2").arg(kVersionMajor).arg(kVersionMinor));
    lblDistMode->setText(QStringLiteral("Release"));
    resize(420, 260);
    if (const QScreen* screen = QGuiApplication::primaryScreen())
        move(screen->availableGeometry().center() - rect().center());
    Timer1->start(kSplashMilliseconds);
}

void frmSplash::Timer1_Timer() {
    TrapErrors(platform_, "Timer1_Timer Error!", [this] {
        close();
        if (handOver_) handOver_();
    });
}

} // namespace tovan
