// The deck open in the program: its grids and the history of their changes, the file they came
// from, the reading state its open used, and the file its unsaved state is kept aside in, written
// at most 30 s after each change (a crash loses no more) on a thread of its own. One is
// made when a deck is created, opened or recovered and goes with its editor, so that a deck
// opened after a Close starts from nothing, as in a program just started. It keeps the deck's
// runs too, for comparison. The editor form, the docks, the status bar and the results window
// are views of it.
#pragma once

#include "editor/DeckDocument.h"
#include "fileio/basFileRoutines.h"
#include "results/RunHistory.h"

#include <QObject>
#include <QString>
#include <QThreadPool>
#include <QTimer>
#include <string>
#include <vector>

namespace tovan {

class DeckSession : public QObject {
    Q_OBJECT
  public:
    static constexpr int kRecoveryDelayMs = 30'000;
    // `parent` only finds it (its timer is "recoveryTimer"); the owner deletes it.
    explicit DeckSession(QObject* parent);
    ~DeckSession() override;

    DeckDocument& document() { return document_; }
    const DeckDocument& document() const { return document_; }
    DeckGrids& grids() { return document_.grids(); }
    ReadingState& reading() { return reading_; }

    // The deck's file: the one it was read from or saved to last; empty for a new deck.
    const std::string& filePath() const { return document_.filePath(); }
    // Whether the grids differ from that file (or there is none): from the history's clean
    // step, so that undoing back to what was saved counts as saved. DeckChanged, the editor's
    // own flag, keeps its own rules: File > Save leaves it set.
    bool differsFromFile() const { return !document_.isSaved(); }

    // The read is over: the history starts here and, when the deck is shown, the file read is
    // the deck's. A file whose catchments failed to read stays open until the session goes.
    void read(bool shown);
    // What the file held that its reading did not take; nothing once the grids are saved.
    std::vector<Finding> fileFindings() const { return UnreadFindings(reading_); }
    // The grids were written to `path`, which is now the deck's file; nothing is kept aside.
    void savedAs(const std::string& path);

    // Where the grids are kept aside while they differ from the file.
    const QString& recoveryPath() const { return recoveryPath_; }
    // A deck brought back from `path`: kept aside there from now on, never saved.
    void recoveredFrom(const QString& path);

    // The deck closes: what differs from its file is written aside at once (the program may be
    // about to end), or what was kept aside is removed.
    void keepAside();
    void forgetKeptAside();
    // What the delay's end does: a copy of the grids taken here, written on the worker so that
    // typing never waits for the disk.
    void writeAsideInBackground();
    // Waits for a write still going.
    void waitForRecoveryWrites() { recoveryWriter_.waitForDone(); }

    // The runs kept of the deck's file (none for a deck without one).
    results::RunHistory& history() { return history_; }
    // What the grids are beside the file that runs: "saved", or "edited <digest of the grids>".
    std::string deckState() const;
    // Keeps a run of the deck's file; throws results::HistoryError when it cannot.
    void keepRun(const results::RunResults& run, const results::RunTime& time, std::size_t limit);

  signals:
    // Runs were kept or deleted, or the deck's file is another and so its history.
    void historyChanged();

  private:
    void followFile();

    DeckDocument document_;
    ReadingState reading_;
    QString recoveryPath_;
    QTimer* recoveryTimer_;
    QThreadPool recoveryWriter_; // one thread: the writes keep their order
    results::RunHistory history_;
};

} // namespace tovan
