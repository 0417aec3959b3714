// File > Compare Decks: the cells in which the open deck (A) differs from another deck file
// (B), one row each, as `tovandeck diff` lists them. Double-clicking a row takes the editor's
// caret to the cell.
#pragma once

#include "compare/DeckDiff.h"
#include "fileio/Findings.h"
#include "platform/Platform.h"

#include <QDialog>

class QTableWidget;

namespace tovan {

class CompareDecksWindow : public QDialog {
    Q_OBJECT
  public:
    CompareDecksWindow(std::vector<CellDifference> differences, const QString& otherDeck,
                       QWidget* parent = nullptr);
    // Two deck files: `goesToCells` when a double click can take the caret to a cell of A.
    CompareDecksWindow(std::vector<CellDifference> differences, const QString& deckA,
                       const QString& deckB, bool goesToCells, QWidget* parent = nullptr);
    QTableWidget* table() const { return table_; }

  signals:
    // A cell of the open deck to show; only rows that the open deck holds have one.
    void cellChosen(const CellPlace& place);

  private:
    std::vector<CellDifference> differences_;
    QTableWidget* table_ = nullptr;
};

// Reads a deck file to compare with; false with `why` ("The deck ... could not be read: ...")
// when it cannot.
bool ReadComparedDeck(Platform& platform, const std::string& path, DeckGrids& grids,
                      std::string& why);

} // namespace tovan
