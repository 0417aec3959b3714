#include "editor/DeckDocument.h"

#include <map>
#include <tuple>
#include <utility>

namespace tovan {

namespace {

using Change = DeckDocument::Change;

bool HasRowChanges(const std::vector<Change>& changes) {
    for (const Change& change : changes) {
        if (change.kind != Change::Kind::Cell) return true;
    }
    return false;
}

// Without rows moving, a cell's many changes in one step are one change from its first state
// to its last; a change that came back to where it started (a refused value put back) is none.
std::vector<Change> NetCellChanges(std::vector<Change> changes) {
    std::map<std::tuple<Grid*, int, int>, std::size_t> firstOf;
    std::vector<Change> net;
    for (Change& change : changes) {
        const auto key = std::make_tuple(change.grid, change.col, change.row);
        const auto [found, isNew] = firstOf.try_emplace(key, net.size());
        if (isNew) {
            net.push_back(std::move(change));
        } else {
            net[found->second].after = std::move(change.after);
        }
    }
    std::erase_if(net, [](const Change& change) { return change.before == change.after; });
    return net;
}

class GridStep : public QUndoCommand {
  public:
    GridStep(DeckDocument& document, std::vector<Change> changes, const QString& name)
        : QUndoCommand(name), document_(document), changes_(std::move(changes)) {}

    void undo() override { document_.apply(changes_, false); }
    void redo() override {
        if (std::exchange(done_, false)) return; // made by the user already
        document_.apply(changes_, true);
    }

  private:
    DeckDocument& document_;
    std::vector<Change> changes_;
    bool done_ = true;
};

} // namespace

DeckDocument::DeckDocument(QObject* parent) : QObject(parent) {
    undo_.setUndoLimit(kUndoLimit);
    stepCloser_.setSingleShot(true);
    stepCloser_.setInterval(0);
    connect(&stepCloser_, &QTimer::timeout, this, &DeckDocument::closeStep);
    changeNotice_.setSingleShot(true);
    changeNotice_.setInterval(0);
    connect(&changeNotice_, &QTimer::timeout, this, &DeckDocument::contentsChanged);
    setRecorderOnGrids(this);
}

// The stack clears itself as it goes and would announce that to windows already half gone.
DeckDocument::~DeckDocument() {
    undo_.blockSignals(true);
    setRecorderOnGrids(nullptr);
}

void DeckDocument::setRecorderOnGrids(GridRecorder* recorder) {
    for (Grid* grid :
         {&grids_.fpCardA, &grids_.fpCardB1, &grids_.fpCardB2, &grids_.fpCardC, &grids_.fpCardD})
        grid->setRecorder(recorder);
}

void DeckDocument::nameStep(const QString& name) {
    if (pendingName_.isEmpty()) pendingName_ = name;
}

void DeckDocument::setRecording(bool on) {
    recording_ = on;
}

void DeckDocument::resetHistory() {
    closeStep();
    undo_.clear();
    markSaved();
}

void DeckDocument::startStep() {
    if (!stepCloser_.isActive()) stepCloser_.start();
}

void DeckDocument::closeStep() {
    stepCloser_.stop();
    std::vector<Change> changes = std::exchange(pending_, {});
    const QString name = std::exchange(pendingName_, {});
    if (!HasRowChanges(changes)) changes = NetCellChanges(std::move(changes));
    if (changes.empty()) return;
    undo_.push(new GridStep(*this, std::move(changes), name.isEmpty() ? tr("Edit") : name));
}

void DeckDocument::cellAboutToChange(Grid& grid, int col, int row) {
    if (!recording_) return;
    const Grid::Cell state = grid.cellState(col, row);
    pending_.push_back({Change::Kind::Cell, &grid, col, row, state, state, 0, {}});
    startStep();
}

// Reading a deck changes every cell: the timer is only started, not restarted, per change.
void DeckDocument::noteChange() {
    if (!changeNotice_.isActive()) changeNotice_.start();
}

void DeckDocument::cellDidChange(Grid& grid, int col, int row) {
    noteChange();
    if (!recording_ || pending_.empty()) return;
    Change& last = pending_.back();
    if (last.kind == Change::Kind::Cell && last.grid == &grid && last.col == col && last.row == row)
        last.after = grid.cellState(col, row);
}

void DeckDocument::rowsInserted(Grid& grid, int firstRow, int count) {
    noteChange();
    if (!recording_) return;
    pending_.push_back({Change::Kind::RowsInserted, &grid, 1, firstRow, {}, {}, count, {}});
    startStep();
}

void DeckDocument::rowsAboutToBeRemoved(Grid& grid, int firstRow, int lastRow) {
    noteChange();
    if (!recording_) return;
    pending_.push_back({Change::Kind::RowsRemoved,
                        &grid,
                        1,
                        firstRow,
                        {},
                        {},
                        0,
                        grid.copyRows(firstRow, lastRow)});
    startStep();
}

void DeckDocument::apply(const std::vector<Change>& changes, bool forward) {
    if (changes.empty()) return;
    const bool was = std::exchange(recording_, false);
    const auto play = [forward](const Change& change) {
        Grid& grid = *change.grid;
        switch (change.kind) {
        case Change::Kind::Cell:
            grid.restoreCell(change.col, change.row, forward ? change.after : change.before);
            break;
        case Change::Kind::RowsInserted:
            if (forward) {
                grid.insertRows(change.row, change.count);
            } else {
                grid.deleteRows(change.row, change.row + change.count - 1);
            }
            break;
        case Change::Kind::RowsRemoved:
            if (forward) {
                grid.deleteRows(change.row, change.row + static_cast<int>(change.rows.size()) - 1);
            } else {
                grid.insertRowsWith(change.row, change.rows);
            }
            break;
        }
    };
    if (forward) {
        for (const Change& change : changes)
            play(change);
    } else {
        for (auto it = changes.rbegin(); it != changes.rend(); ++it)
            play(*it);
    }
    recording_ = was;
    const Change& shown = changes.front();
    emit stepApplied(shown.grid, shown.col, shown.row);
}

} // namespace tovan
