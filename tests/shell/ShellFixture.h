// A main window as the program shows it after the splash, with a recording platform for
// its messages, dialogs and settings, and the core's reading and saving behind it.
#pragma once

#include "Screenshots.h"
#include "editor/GuiSteps.h"
#include "platform/RecordingPlatform.h"
#include "shell/MDIfrmTovan2000.h"

#include <QAbstractButton>
#include <QApplication>
#include <QClipboard>
#include <QDir>
#include <QFileInfo>
#include <QLabel>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QPixmap>
#include <QPushButton>
#include <QScrollBar>
#include <QTemporaryDir>
#include <QTest>
#include <gtest/gtest.h>
#include <memory>
#include <optional>

namespace tovan::testing {

// The core's open and save, with a scripted save result and a count of saves.
struct CountingDeckFiles : CoreDeckFiles {
    int saves = 0;
    std::optional<std::int32_t> result;
    std::int32_t save(const DeckGrids& grids, const std::string& path,
                      Platform& platform) override {
        ++saves;
        return result ? *result : CoreDeckFiles::save(grids, path, platform);
    }
};

// The engine's helper is found on the search path, as in an installation without it beside the
// program.
inline void PutEngineHelperOnThePath() {
#ifdef TOVAN_ENGINE_HOST
    const QString folder = QFileInfo(QStringLiteral(TOVAN_ENGINE_HOST)).absolutePath();
    qputenv("PATH", (folder + QLatin1Char(':')).toLocal8Bit() + qgetenv("PATH"));
#endif
}

struct Shell {
    ApplicationState state;
    RecordingPlatform platform;
    CountingDeckFiles files;
    QTemporaryDir folder;
    std::unique_ptr<MDIfrmTovan2000> main;

    Shell() { start(); }

    void start() {
        main = std::make_unique<MDIfrmTovan2000>(state, platform, files);
        main->MDIForm_Load();
        main->show();
        main->showCover();
        main->activateWindow();
        EXPECT_TRUE(QTest::qWaitForWindowActive(main.get()));
    }
    bool shown(const char* item) const { return main->menuItem(item)->isVisible(); }
    frmInput* editor() const { return main->editor(); }
    bool editorShown() const { return main->editorWindow() && main->editorWindow()->isVisible(); }
    bool coverShown() const { return main->coverWindow()->isVisible(); }
    void trigger(const char* item) { main->menuItem(item)->trigger(); }
    std::string path(const char* name) const {
        return QDir(folder.path()).filePath(QString::fromLatin1(name)).toStdString();
    }
    // Opens `deck` as File > Open does, the file dialog answered with its path.
    void open(const std::string& deck) {
        platform.chosenFiles.push_back(deck);
        trigger("mnuOpenTovan");
        ASSERT_TRUE(editorShown());
    }
    static std::string example(const char* name) {
        return std::string(TOVAN_EXAMPLES) + "/" + name;
    }
    // Pastes `text` into a cell with Edit > Paste Data, as a user does.
    void paste(GridView* grid, int col, int row, const QString& text) {
        QApplication::clipboard()->setText(text);
        grid->setFocus();
        grid->setActiveCell(col, row);
        trigger("mnuEditPaste");
        QApplication::processEvents();
    }
    std::vector<std::string> texts() const {
        std::vector<std::string> out;
        for (const auto& m : platform.messages)
            out.push_back(m.text);
        return out;
    }
};

} // namespace tovan::testing
