// Start-up: the splash form first, the main window created at once and shown when the splash
// hands over. Owns what lives as long as the program: the shared flags, the platform and the
// main window.
#pragma once

#include "deck/ApplicationState.h"
#include "editor/QtPlatform.h"
#include "fileio/DeckFiles.h"
#include "shell/MDIfrmTovan2000.h"

#include <QPointer>
#include <QString>
#include <memory>

namespace tovan {

// The application's names for the settings store and the desktop, and its icon. No display
// name is set: Qt would append it to every window title, and the titles are the program's own.
void ConfigureApplication();

class Main {
  public:
    Main();
    ~Main();

    // Shows the splash and creates the main window; the splash's timer does the rest.
    void start();
    // What the splash's timer does: load and show the main window with the cover form, then
    // open the deck named on the command line, if any.
    void handOver();
    // A deck to open once the cover is shown, as if chosen with the cover's Open File button.
    void openAtStart(const QString& path) { deckToOpen_ = path; }

    MDIfrmTovan2000* MainWindow() const { return MainWindow_; }
    ApplicationState& state() { return state_; }

  private:
    ApplicationState state_;
    QtPlatform platform_;
    CoreDeckFiles files_;
    QPointer<MDIfrmTovan2000> MainWindow_;
    QString deckToOpen_;
};

} // namespace tovan
