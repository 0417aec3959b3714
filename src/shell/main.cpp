// tovan2000: the desktop editor and run launcher for TOVAN input decks.
#include "shell/Main.h"

#include <QApplication>
#include <QIcon>

int main(int argc, char* argv[]) {
    QApplication app(argc, argv);
    QApplication::setOrganizationName(QStringLiteral("Tovan 2000"));
    QApplication::setApplicationName(QStringLiteral("Tovan 2000"));
    QApplication::setApplicationDisplayName(QStringLiteral("Tovan2000"));
    QApplication::setDesktopFileName(QStringLiteral("tovan2000"));
    QApplication::setWindowIcon(QIcon(QStringLiteral(":/tovan2000.png")));
    tovan::Main program;
    program.start();
    return QApplication::exec();
}
