// The open command: the dialog, the remembered folder, and the readers in their fixed order.
#include "fileio/CardReading.h"

namespace tovan {

namespace {

constexpr std::string_view kSettingsSection = "CommonDialog";
constexpr std::string_view kFolderKey = "Directory";
constexpr std::string_view kCannotOpen = "The file could not be opened as a deck.";

FileDialogRequest OpenDialogRequest(Platform& platform) {
    FileDialogRequest request;
    request.title = "Open Files";
    request.filter = "Tovan2000 Files (*.tvi)|*.tvi|All Files (*.*)|*.*";
    request.initialDirectory = platform.setting(kSettingsSection, kFolderKey, "C:\\");
    return request;
}

} // namespace

std::string FolderOf(const std::string& path) {
    const auto separator = path.find_last_of("/\\");
    return separator == std::string::npos ? std::string() : path.substr(0, separator + 1);
}

ReadOutcome ReadDeckFile(ReadingContext& context, const std::string& path, std::string* reason) {
    auto deck = OpenDeckFile(path, reason);
    if (!deck) return ReadOutcome::CannotOpen;
    return ReadDeck(context, std::move(deck));
}

ReadOutcome ReadDeck(ReadingContext& context, std::unique_ptr<DeckSource> deck) {
    ReadingState& state = context.state;
    state.deck = std::move(deck);
    state.ReadFailed = false;
    state.cardARejected = false;
    state.linesRead = 0;
    state.unread.clear();
    bool recordsABRead = false;
    {
        DeckGrids& grids = context.grids;
        const GridObserverPause a(grids.fpCardA), b1(grids.fpCardB1), b2(grids.fpCardB2),
            c(grids.fpCardC), d(grids.fpCardD);
        CardAB(context);
        recordsABRead = !state.ReadFailed;
        if (recordsABRead) Card_C(context);
    }
    if (!recordsABRead)
        return state.cardARejected ? ReadOutcome::CardARejected : ReadOutcome::CardABFailed;
    if (state.ReadFailed) return ReadOutcome::CardCFailed; // the file stays open until Initialize
    state.deck.reset();
    context.platform.setBusy(false);
    context.app.EnableA = true;
    return ReadOutcome::Read;
}

namespace {

// The windows' part of the outcome table.
OpenFileResult ResultOf(ReadOutcome outcome, const DeckGrids& grids) {
    OpenFileResult result;
    result.outcome = outcome;
    switch (outcome) {
    case ReadOutcome::Read:
        result.editor = EditorAfterOpen::Shown;
        result.smallCardA = grids.fpCardA.value(col::kAOption, 2) == "1";
        break;
    case ReadOutcome::CardARejected:
        result.fileMenuItemsShownAgain = true;
        result.editor = EditorAfterOpen::AskedToUnload;
        break;
    case ReadOutcome::CardABFailed:
        result.editor = EditorAfterOpen::AskedToUnload;
        break;
    case ReadOutcome::CardCFailed:
        result.editor = EditorAfterOpen::Hidden;
        break;
    case ReadOutcome::CannotOpen:
    case ReadOutcome::NoneChosen:
        result.fileMenuItemsShownAgain = true;
        break;
    }
    return result;
}

} // namespace

OpenFileResult OpenFile(ReadingContext& context) {
    Initialize(context);
    context.app.CloseAllowed = false;

    const auto chosen = context.platform.chooseFileToOpen(OpenDialogRequest(context.platform));
    context.state.DeckFileName = chosen.value_or("");
    context.platform.saveSetting(kSettingsSection, kFolderKey,
                                 FolderOf(context.state.DeckFileName));
    context.platform.setBusy(true);

    ReadOutcome outcome = ReadOutcome::NoneChosen;
    if (!context.state.DeckFileName.empty()) {
        std::string reason;
        outcome = ReadDeckFile(context, context.state.DeckFileName, &reason);
        if (outcome == ReadOutcome::CannotOpen) {
            // The dialog only offers existing files, but a folder, a pipe, a file that went away
            // or cannot be read still ends here; the user is told why instead of seeing nothing.
            context.platform.setBusy(false);
            context.platform.showDetailedMessage(kCannotOpen,
                                                 context.state.DeckFileName + ": " + reason,
                                                 MessageIcon::Exclamation, "OpenFile Error!");
        }
    } else {
        context.app.EnableA = true;
    }
    context.platform.setBusy(false);
    return ResultOf(outcome, context.grids);
}

} // namespace tovan
