// The desktop application's speed on the offscreen platform: the main window from nothing to
// the cover (without the splash's three seconds; target under 300 ms), the open command from
// the menu to the editor shown for a deck of 10,000 catchments (target under 1 second), and
// scrolling and editing that deck's record D grid, undoing a paste into it and keeping it aside
// for recovery.
#include "DeckBuilder.h"
#include "editor/GridTableModel.h"
#include "editor/GridView.h"
#include "fortranio/QVFortranIO.h"
#include "platform/RecordingPlatform.h"
#include "shell/MDIfrmTovan2000.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QScrollBar>
#include <QTemporaryDir>
#include <benchmark/benchmark.h>
#include <memory>
#include <string>

using namespace tovan;

namespace {

// Five one-hour storms and `catchments` catchments, each with a D1 card.
std::string OneHourDeck(int catchments) {
    return testing::WriteDeck(testing::ManyCatchments(catchments, 5));
}

struct Program {
    ApplicationState state;
    RecordingPlatform platform;
    CoreDeckFiles files;
    std::unique_ptr<MDIfrmTovan2000> main;

    void start() {
        main = std::make_unique<MDIfrmTovan2000>(state, platform, files);
        main->MDIForm_Load();
        main->show();
        main->showCover();
        QApplication::processEvents();
    }
};

const std::string& TenThousandCatchments() {
    static QTemporaryDir folder;
    static const std::string path = [] {
        const QString file = QDir(folder.path()).filePath(QStringLiteral("catchments.tvi"));
        QFile out(file);
        out.open(QIODevice::WriteOnly);
        out.write(QByteArray::fromStdString(OneHourDeck(10000)));
        return file.toStdString();
    }();
    return path;
}

void BM_MainWindowToCover(benchmark::State& state) {
    for (auto _ : state) {
        Program program;
        program.start();
        state.PauseTiming();
        program.main.reset();
        state.ResumeTiming();
    }
}
BENCHMARK(BM_MainWindowToCover)->Unit(benchmark::kMillisecond);

void BM_OpenTenThousandCatchments(benchmark::State& state) {
    const std::string& deck = TenThousandCatchments();
    Program program;
    program.start();
    for (auto _ : state) {
        program.platform.chosenFiles.push_back(deck);
        program.main->mnuOpenTovan_Click();
        QApplication::processEvents();
        state.PauseTiming();
        if (!program.main->editorWindow() || !program.main->editorWindow()->isVisible())
            state.SkipWithError("the editor was not shown");
        program.main->mnuFileClose_Click();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        state.ResumeTiming();
    }
}
BENCHMARK(BM_OpenTenThousandCatchments)->Unit(benchmark::kMillisecond);

// One page down and a repaint of the record D grid, then a typed value committed, at the
// bottom half of the 10,000 rows.
void BM_ScrollAndEditTenThousandRows(benchmark::State& state) {
    Program program;
    program.start();
    program.platform.chosenFiles.push_back(TenThousandCatchments());
    program.main->mnuOpenTovan_Click();
    frmInput* editor = program.main->editor();
    editor->cmdCD_Click();
    GridView* grid = editor->fpCardD;
    QScrollBar* bar = grid->verticalScrollBar();
    int row = 5000;
    for (auto _ : state) {
        bar->setValue((bar->value() + bar->pageStep()) % std::max(bar->maximum(), 1));
        grid->viewport()->repaint();
        auto* model = grid->gridModel();
        model->setData(model->cellIndex(2, row), QString::number(row % 100), Qt::EditRole);
        row = row % 10000 + 2;
    }
}
BENCHMARK(BM_ScrollAndEditTenThousandRows)->Unit(benchmark::kMicrosecond);

// A paste of 10,000 cells (5,000 rows of two columns) into record D of the 10,000-catchment
// deck, taken back and made again: one undo and one redo per iteration (target under 100 ms each).
void BM_UndoTenThousandCellPaste(benchmark::State& state) {
    Program program;
    program.start();
    program.platform.chosenFiles.push_back(TenThousandCatchments());
    program.main->mnuOpenTovan_Click();
    frmInput* editor = program.main->editor();
    editor->cmdCD_Click();
    QString block;
    for (int r = 0; r < 5000; ++r)
        block += QStringLiteral("%1\t%2\n").arg(r % 90 + 1).arg(r % 70 + 1);
    editor->fpCardD->gridModel()->pasteText(2, 2, block);
    editor->document().closeStep();
    if (editor->document().undoStack().undoText() != QStringLiteral("Paste of 10000 cells"))
        state.SkipWithError("the paste is not one step");
    for (auto _ : state) {
        editor->undo();
        editor->redo();
    }
}
BENCHMARK(BM_UndoTenThousandCellPaste)->Unit(benchmark::kMillisecond);

// The recovery file of the 10,000-catchment deck after a change: the part on the UI thread
// (target under 50 ms), and the whole write at a close.
void BM_RecoveryWriteTenThousandCatchments(benchmark::State& state) {
    Program program;
    program.start();
    program.platform.chosenFiles.push_back(TenThousandCatchments());
    program.main->mnuOpenTovan_Click();
    frmInput* editor = program.main->editor();
    editor->fpCardD->gridModel()->pasteText(2, 2, QStringLiteral("9\n"));
    editor->document().closeStep();
    for (auto _ : state) {
        if (state.range(0) == 0) {
            program.main->writeRecoveryInBackground();
            state.PauseTiming();
            program.main->waitForRecoveryWrites();
            state.ResumeTiming();
        } else {
            program.main->keepUnsavedDeck();
        }
    }
    program.main->forgetUnsavedDeck();
}
BENCHMARK(BM_RecoveryWriteTenThousandCatchments)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QTemporaryDir settings;
    qputenv("XDG_CONFIG_HOME", settings.path().toLocal8Bit());
    qputenv("XDG_DATA_HOME", settings.path().toLocal8Bit());
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
