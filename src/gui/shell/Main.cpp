#include "shell/Main.h"

#include "shell/MDIfrmTovan2000.h"
#include "shell/frmSplash.h"

#include <QApplication>
#include <QIcon>

namespace tovan {

void ConfigureApplication() {
    QApplication::setOrganizationName(QStringLiteral("Tovan 2000"));
    QApplication::setApplicationName(QStringLiteral("Tovan 2000"));
    QApplication::setDesktopFileName(QStringLiteral("tovan2000"));
    QApplication::setWindowIcon(QIcon(QStringLiteral(":/tovan2000.png")));
}

Main::Main() = default;

Main::~Main() {
    delete MainWindow_;
}

void Main::start() {
    auto* splash = new frmSplash(state_, platform_, [this] { handOver(); });
    splash->show();
    MainWindow_ = new MDIfrmTovan2000(state_, platform_, files_);
    // Closing the main window ends its life, which clears MainWindow.
    MainWindow_->setAttribute(Qt::WA_DeleteOnClose);
    platform_.setParentWidget(MainWindow_);
}

void Main::handOver() {
    if (!MainWindow_) start();
    MainWindow_->MDIForm_Load();
    MainWindow_->show();
    MainWindow_->showCover();
    MainWindow_->offerRecovery();
    if (!deckToOpen_.isEmpty() && MainWindow_->cover()) {
        platform_.answerNextOpenDialog(deckToOpen_);
        deckToOpen_.clear();
        MainWindow_->cover()->cmdOpen_Click();
    }
}

} // namespace tovan
