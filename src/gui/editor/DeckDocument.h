// The deck being edited: its five record-set grids, the file it came from and the history of
// the user's changes, which can be taken back and made again.
//
// Every change of a grid cell or of the grid rows is recorded while recording is on. The changes
// made before control returns to the event loop form one step: an edit together with what the
// cell rules change because of it (a fitted number, fields cleared by an interlock, rows added),
// so that one undo takes back the whole of what the user saw happen.
#pragma once

#include "deck/RecordSets.h"

#include <QObject>
#include <QTimer>
#include <QUndoStack>
#include <string>
#include <vector>

namespace tovan {

class DeckDocument : public QObject, public GridRecorder {
    Q_OBJECT
  public:
    // How many steps are kept; older ones are forgotten, so the history's memory is bounded.
    static constexpr int kUndoLimit = 100;

    explicit DeckDocument(QObject* parent = nullptr);
    ~DeckDocument() override;

    DeckGrids& grids() { return grids_; }
    const DeckGrids& grids() const { return grids_; }
    QUndoStack& undoStack() { return undo_; }

    // The deck file on disk; empty for a new deck.
    const std::string& filePath() const { return filePath_; }
    void setFilePath(std::string path) { filePath_ = std::move(path); }

    // Names the step being made (shown as "Undo <name>"); the first name given wins.
    void nameStep(const QString& name);
    // Ends the step being made now rather than at the return to the event loop.
    void closeStep();
    // Loading a deck or setting up the form is no user change: it is not recorded.
    void setRecording(bool on);
    bool isRecording() const { return recording_; }
    // Forgets the history; the grids as they are now are the saved state.
    void resetHistory();
    void markSaved() {
        undo_.setClean();
        unsavedBase_ = false;
    }
    // The grids as they are now were never saved (a recovered deck).
    void markUnsaved() { unsavedBase_ = true; }
    // Whether the grids are as they were last read or saved.
    bool isSaved() const { return !unsavedBase_ && undo_.isClean(); }

    struct Change {
        enum class Kind { Cell, RowsInserted, RowsRemoved } kind;
        Grid* grid;
        int col;
        int row;
        Grid::Cell before, after;    // Cell
        int count = 0;               // RowsInserted
        std::vector<Grid::Row> rows; // RowsRemoved
    };
    // Plays a step's changes back (undo) or forward (redo) without recording them.
    void apply(const std::vector<Change>& changes, bool forward);

  signals:
    // An undo or redo changed this cell first: the editor shows it.
    void stepApplied(Grid* grid, int col, int row);
    // Some cell or row of the grids changed: by the user, an undo, or a deck being read. Sent
    // once when control returns to the event loop, however many cells changed before.
    void contentsChanged();

  private:
    void cellAboutToChange(Grid& grid, int col, int row) override;
    void cellDidChange(Grid& grid, int col, int row) override;
    void rowsInserted(Grid& grid, int firstRow, int count) override;
    void rowsAboutToBeRemoved(Grid& grid, int firstRow, int lastRow) override;
    void startStep();
    void noteChange();
    void setRecorderOnGrids(GridRecorder* recorder);

    DeckGrids grids_;
    QUndoStack undo_;
    std::string filePath_;
    std::vector<Change> pending_;
    QString pendingName_;
    QTimer stepCloser_;
    QTimer changeNotice_;
    bool recording_ = true;
    bool unsavedBase_ = false;
};

// Turns recording off for a scope, e.g. while a deck is read into the grids.
class RecordingPause {
  public:
    explicit RecordingPause(DeckDocument& document)
        : document_(document), was_(document.isRecording()) {
        document_.closeStep();
        document_.setRecording(false);
    }
    ~RecordingPause() { document_.setRecording(was_); }
    RecordingPause(const RecordingPause&) = delete;
    RecordingPause& operator=(const RecordingPause&) = delete;

  private:
    DeckDocument& document_;
    bool was_;
};

} // namespace tovan
