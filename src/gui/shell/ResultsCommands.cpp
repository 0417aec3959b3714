// The main window's commands that lead from a deck to what the engine computed from it: Run
// This Deck and File > Open > Results.
#include "editing/ErrorTrap.h"
#include "editor/GridTableModel.h"
#include "editor/GridView.h"
#include "results/ResultsWindow.h"
#include "results/RunResults.h"
#include "run/RunProgress.h"
#include "run/RunSequence.h"
#include "shell/MDIfrmTovan2000.h"

#include <QMdiArea>
#include <QMdiSubWindow>
#include <filesystem>

namespace tovan {

namespace {

namespace fs = std::filesystem;

constexpr std::string_view kRunDeckErrorTitle = "Run This Deck";
constexpr std::string_view kResultsErrorTitle = "Open Results Error!";

} // namespace

void MDIfrmTovan2000::mnuOpenResults_Click() {
    TrapErrors(platform_, "mnuOpenResults_Click Error!", [this] {
        FileDialogRequest request;
        request.title = "Open Results";
        request.filter = "Results Files (*.results.json)|*.results.json|All Files (*.*)|*.*";
        request.initialDirectory = FolderOf(deckPath());
        if (const auto chosen = platform_.chooseFileToOpen(request)) openResults(*chosen);
    });
}

std::optional<results::RunResults> MDIfrmTovan2000::readResults(const std::string& path,
                                                                std::string_view title) {
    try {
        BusyCursor busy(platform_);
        return results::ReadResults(path);
    } catch (const results::ResultsError& e) {
        platform_.showMessage(e.what(), MessageIcon::Exclamation, title);
        return std::nullopt;
    }
}

bool MDIfrmTovan2000::openResults(const std::string& path) {
    std::optional<results::RunResults> run = readResults(path, kResultsErrorTitle);
    if (run) showResults(std::move(*run));
    return run.has_value();
}

// A run of the open deck's file, from F5 or the run form, is kept in the deck's history.
void MDIfrmTovan2000::openRunResults(const std::string& path) {
    std::optional<results::RunResults> read = readResults(path, kResultsErrorTitle);
    if (!read) return;
    results::RunResults& run = *read;
    std::error_code error;
    if (!deckPath().empty() &&
        fs::equivalent(run.file.parent_path() / run.input, deckPath(), error))
        keepRun(run);
    showResults(std::move(run));
}

void MDIfrmTovan2000::showResults(results::RunResults run) {
    const fs::path outputs = run.file.parent_path();
    auto* window = new results::ResultsWindow(std::move(run), platform_);
    // A NOTE or PROBLEM leads to its catchment's row on card C when the deck is in the editor.
    connect(window, &results::ResultsWindow::catchmentActivated, this,
            [this, deck = outputs](int catchment) {
                if (!editor_ || !editorWindow_ || !editorWindow_->isVisible()) return;
                if (deckPath().empty() || fs::path(deckPath()).parent_path() != deck) return;
                editor_->cmdCD_Click();
                GridView* c = editor_->fpCardC;
                const int firstCatchmentRow = 2; // the labels are grid row 1
                c->selectRow(c->gridModel()->cellIndex(1, firstCatchmentRow + catchment).row());
            });
    showWindow(window);
}

// A deck with changes is saved first when the user wants it, through File > Save with its
// rules; a save that fails or is refused runs nothing. Without saving, the deck runs as it was
// last saved.
void MDIfrmTovan2000::mnuFileRunDeck_Click() {
    TrapErrors(platform_, "mnuFileRunDeck_Click Error!", [this] {
        if (!editor_ || !editorWindow_ || !editorWindow_->isVisible()) {
            platform_.showMessage("Nothing to Run!", MessageIcon::Exclamation, kRunDeckErrorTitle);
            return;
        }
        editor_->commitPendingEdit();
        if (state_.DeckChanged || deckPath().empty()) {
            const Answer save = platform_.askYesNo(
                "The deck has changes that are not saved. Save it before running?",
                MessageIcon::Question, kRunDeckErrorTitle);
            if (save == Answer::Yes) {
                if (!saveDeck()) return;
                state_.DeckChanged = false;
            }
        }
        if (deckPath().empty()) return; // a new deck that was not saved has no file to run
        const fs::path deck(deckPath());
        run::RunRequest request{deck.parent_path(),
                                deck.filename().string(),
                                {},
                                {},
                                {},
                                [this](const std::string& replaced) { showStatus(replaced); }};
        run::ProgressEngineCaller engine;
        const run::RunResult result = run::RunEngine(platform_, engine, request);
        if (!result.completed) return;
        const fs::path resultsFile = run::ResultsFileOf(request.folder, result.files.report);
        const std::string notComputed = results::NotComputedText(resultsFile);
        if (!notComputed.empty())
            platform_.showDetailedMessage("The engine could not compute everything in the deck.",
                                          notComputed, MessageIcon::Exclamation,
                                          kRunDeckErrorTitle);
        openRunResults(resultsFile.string());
    });
}

} // namespace tovan
