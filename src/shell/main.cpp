// tovan2000: the desktop editor and run launcher for TOVAN input decks.
#include "shell/Main.h"

#include <QApplication>

int main(int argc, char* argv[]) {
    QApplication app(argc, argv);
    tovan::ConfigureApplication();
    tovan::Main program;
    program.start();
    return QApplication::exec();
}
