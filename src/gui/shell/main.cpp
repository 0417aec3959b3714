// tovan2000: the desktop editor and run launcher for TOVAN input decks.
//
// tovan2000 [DECK]      starts the program; a deck named here is opened as by Open File
// tovan2000 --help      describes the command line
// tovan2000 --version   names this version
// tovan2000 --report SOURCE OUT.pdf [options]   writes a report without a window
#include "shell/Main.h"

#include "Version.h"
#include "report/HeadlessReport.h"

#include <QApplication>
#include <QCommandLineParser>
#include <QGuiApplication>
#include <QIcon>
#include <cstdio>
#include <cstring>

namespace {

void NameTheProgram() {
    QCoreApplication::setOrganizationName(QStringLiteral("Tovan 2000"));
    QCoreApplication::setApplicationName(QStringLiteral("Tovan 2000"));
    QCoreApplication::setApplicationVersion(QString::fromLatin1(tovan::kVersionText));
}

// Parses the command line; --help and --version print and end the program here.
QString DeckOnCommandLine(const QCoreApplication& app) {
    QCommandLineParser parser;
    parser.setApplicationDescription(QStringLiteral("Tovan2000 edits, checks and runs input decks "
                                                    "(.tvi) of the TOVAN rainfall-runoff engine."));
    parser.addHelpOption();
    parser.addVersionOption();
    parser.addPositionalArgument(QStringLiteral("deck"),
                                 QStringLiteral("A deck to open at start-up."),
                                 QStringLiteral("[deck]"));
    parser.process(app);
    const QStringList decks = parser.positionalArguments();
    return decks.isEmpty() ? QString() : decks.first();
}

// --help and --version need no window, so they must work without a display.
bool AsksOnlyForText(int argc, char* argv[]) {
    for (int i = 1; i < argc; ++i) {
        for (const char* option : {"--help", "-h", "-?", "--help-all", "--version", "-v"}) {
            if (std::strcmp(argv[i], option) == 0) return true;
        }
    }
    return false;
}

} // namespace

int main(int argc, char* argv[]) {
    // A report for batch work needs no display: the offscreen platform draws it.
    if (tovan::report::AsksForReport(argc, argv)) {
        if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
        // Only the report's own words on standard error: the platform's warnings about the
        // machine (no runtime folder, no display) are not the batch's business.
        qInstallMessageHandler([](QtMsgType type, const QMessageLogContext&, const QString& text) {
            if (type == QtCriticalMsg || type == QtFatalMsg)
                std::fprintf(stderr, "%s\n", text.toLocal8Bit().constData());
        });
        QGuiApplication app(argc, argv);
        NameTheProgram();
        return tovan::report::RunHeadlessReport(QCoreApplication::arguments());
    }
    if (AsksOnlyForText(argc, argv)) {
        QCoreApplication app(argc, argv);
        NameTheProgram();
        QCoreApplication::setApplicationName(QStringLiteral("tovan2000"));
        DeckOnCommandLine(app);
        return 0;
    }
    QApplication app(argc, argv);
    // No application display name: Qt would append it to every window title.
    tovan::ConfigureApplication();
    QCoreApplication::setApplicationVersion(QString::fromLatin1(tovan::kVersionText));
    const QString deck = DeckOnCommandLine(app);
    tovan::Main program;
    program.openAtStart(deck);
    program.start();
    return QApplication::exec();
}
