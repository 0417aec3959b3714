// A main window as the program shows it after the splash, with a recording platform for
// its messages, dialogs and settings, and the core's reading and saving behind it.
#pragma once

#include "editor/GridTableModel.h"
#include "editor/GridView.h"
#include "platform/RecordingPlatform.h"
#include "shell/MDIfrmTovan2000.h"

#include <QAbstractItemView>
#include <QApplication>
#include <QClipboard>
#include <QComboBox>
#include <QLabel>
#include <QMdiArea>
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
    bool type(GridView* grid, int col, int row, const char* text) {
        auto* model = grid->gridModel();
        return model->setData(model->cellIndex(col, row), QString::fromLatin1(text), Qt::EditRole);
    }
    // Types into a cell as a user does: the first key opens the cell's editor, Enter stores.
    void typeKeys(GridView* grid, int col, int row, const QString& text) {
        grid->setFocus();
        grid->setActiveCell(col, row);
        QTest::keyClicks(grid, text.left(1));
        QWidget* cellEditor = QApplication::focusWidget();
        QTest::keyClicks(cellEditor, text.mid(1));
        QTest::keyClick(cellEditor, Qt::Key_Return);
        QApplication::processEvents(); // the delegate commits, the step closes
    }
    // Pastes `text` into a cell with Edit > Paste Data: no cell rule fits what a paste puts in.
    void paste(GridView* grid, int col, int row, const QString& text) {
        QApplication::clipboard()->setText(text);
        grid->setFocus();
        grid->setActiveCell(col, row);
        trigger("mnuEditPaste");
        QApplication::processEvents();
    }
    // Opens the cell's list with F2 and takes an item with Enter.
    void pick(GridView* grid, int col, int row, int item) {
        grid->setFocus();
        grid->setActiveCell(col, row);
        QTest::keyClick(grid, Qt::Key_F2);
        auto* combo = qobject_cast<QComboBox*>(QApplication::focusWidget());
        ASSERT_NE(combo, nullptr) << "the list editor is open";
        ASSERT_TRUE(QTest::qWaitFor([combo] { return combo->view()->isVisible(); }));
        combo->view()->setCurrentIndex(combo->model()->index(item, 0));
        QTest::keyClick(combo->view(), Qt::Key_Return);
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
