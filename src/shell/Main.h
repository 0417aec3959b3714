// Start-up: the splash form first, the main window created at once and shown when the splash
// hands over. Owns what lives as long as the program: the shared flags, the platform and the
// main window.
#pragma once

#include "deck/ApplicationState.h"
#include "editor/QtPlatform.h"
#include "shell/DeckFiles.h"
#include "shell/MDIfrmTovan2000.h"

#include <QPointer>
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
    // What the splash's timer does: load and show the main window with the cover form.
    void handOver();

    MDIfrmTovan2000* MainWindow() const { return MainWindow_; }
    ApplicationState& state() { return state_; }

  private:
    ApplicationState state_;
    QtPlatform platform_;
    CoreDeckFiles files_;
    QPointer<MDIfrmTovan2000> MainWindow_;
};

} // namespace tovan
