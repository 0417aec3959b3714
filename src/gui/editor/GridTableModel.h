// The item-model face of one core grid. Row 1 of the grid, the labels, is the horizontal
// header (so it stays in view while the records scroll); model row 0 is grid row 2.
//
// Every change the user makes reaches the grid through applyUserValue: typing (setData), the
// paste, the cut and the Delete key. That one path is where the undo history learns the name of
// each step.
#pragma once

#include "deck/Grid.h"
#include "fileio/Findings.h"

#include <QAbstractTableModel>
#include <QColor>
#include <QRect>
#include <functional>
#include <map>
#include <string>
#include <utility>
#include <vector>

namespace tovan {

class GridTableModel : public QAbstractTableModel, public GridObserver {
    Q_OBJECT
  public:
    // With `labelsInHeader` false (a grid without headings) model row 0 is grid row 1.
    explicit GridTableModel(Grid& grid, bool labelsInHeader = true, QObject* parent = nullptr);
    ~GridTableModel() override;

    Grid& grid() const { return grid_; }
    int gridRow(int modelRow) const { return modelRow + firstRow_; }
    int gridCol(int modelCol) const { return modelCol + 1; }
    QModelIndex cellIndex(int col, int row) const;
    const CellFormat& format(const QModelIndex& index) const;
    bool isEditable(int col, int row) const;

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;
    bool setData(const QModelIndex& index, const QVariant& value, int role) override;

    // The block (in grid columns and rows) as tab-separated lines, one line per row.
    QString copyText(const QRect& block) const;
    // What a paste did beside storing values, cell by cell, for the one report after it.
    struct PasteNote {
        int col, row;     // grid column and row
        std::string text; // what was pasted there (Latin-1 where it could be)
        std::string why;  // why it was not stored, or what was stored instead
    };
    struct PasteReport {
        QRect covered;                  // the block of grid cells the paste reached
        std::vector<PasteNote> skipped; // cells that kept their value
        std::vector<PasteNote> rounded; // numbers stored at the decimals their cells keep
        int beyondEdge = 0;             // values that fell past the grid's last column or row
    };
    // Pastes tab-separated lines from (col, row) on, each value through the rules of typing:
    // it is taken as its field means it (a list item by its text or number) and raises the
    // change event, so the editor's cell rules run for it. Within the pasted block every cell
    // keeps what was pasted into it, as its own rule left it: a rule run for one pasted cell
    // does not overwrite another. Locked cells and values a cell refuses keep their value and
    // are named in the report, as is every value that fell past the grid's edge.
    // `stepName` names the step for undo; by default "Paste of N cells".
    PasteReport pasteText(int col, int row, const QString& text, const QString& stepName = {});
    // Clears the unlocked cells of the block; `stepName` names the step for undo.
    void clearBlock(const QRect& block, const QString& stepName = QStringLiteral("Delete"));

    // What a check found in a cell: a tint over its background and the words of its tooltip.
    // A mark at column 0 covers the whole row.
    struct CellMark {
        QColor tint;
        QString text;
        FindingClass kind = FindingClass::EngineNote; // the gravest finding of the cell
    };
    using CellMarks = std::map<std::pair<int, int>, CellMark>; // (grid column, grid row)
    void setMarks(CellMarks marks);
    const CellMark* markAt(int col, int row) const;
    // The help of the field in a grid column, for the tooltips of its label and its cells.
    void setFieldHelp(std::function<QString(int col)> help) { help_ = std::move(help); }
    // A name shown after a record's number in the row header (the D grid names the catchment of
    // each row); rowNamesChanged tells the header to show them again.
    void setRowName(std::function<QString(int row)> name) { rowName_ = std::move(name); }
    // A line of the cell's tooltip before the field's help (the step of a B1 depth).
    void setCellNote(std::function<QString(int col, int row)> note) { cellNote_ = std::move(note); }
    void rowNamesChanged();

  signals:
    // The user changed one cell (the grid's change event), in grid column and row.
    void userChanged(int col, int row);
    // A paste, cut or Delete changed cells without raising change events.
    void blockEdited(const QRect& block);
    // A paste begins; it ends with its report (after blockEdited).
    void pasteBegins();
    void pasteEnded(const tovan::GridTableModel::PasteReport& report);
    // A user action is about to change cells: the name of its undo step.
    void stepStarting(const QString& name);
    // The grid's active cell moved, whoever moved it.
    void activeCellMoved();

  private:
    bool applyUserValue(int col, int row, const QString& text);
    bool pasteCell(int col, int row, const std::string& text, PasteReport& report);
    bool isButtonRow(int row) const;

    void cellChanged(int col, int row) override;
    void beforeRowsInserted(int firstRow, int count) override;
    void afterRowsInserted() override;
    void beforeRowsRemoved(int firstRow, int lastRow) override;
    void afterRowsRemoved() override;
    void beforeReset() override;
    void afterReset() override;
    void activeCellChanged() override { emit activeCellMoved(); }

    QVariant toolTip(int col, int row) const;

    Grid& grid_;
    int firstRow_;
    CellMarks marks_;
    std::function<QString(int col)> help_;
    std::function<QString(int row)> rowName_;
    std::function<QString(int col, int row)> cellNote_;
};

} // namespace tovan
