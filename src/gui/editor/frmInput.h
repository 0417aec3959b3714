// The editor form "Tovan Edit Form": a view of the open document's five record-set grids, the
// title label naming the record set on view, and the buttons that switch between record
// sets. It shows one record set at a time, C and D together.
#pragma once

#include "deck/ApplicationState.h"
#include "deck/RecordSets.h"
#include "editing/CellRules.h"
#include "editing/EditorForm.h"
#include "editor/DeckDocument.h"
#include "editor/EditorHost.h"
#include "editor/GridTableModel.h"
#include "fileio/Findings.h"
#include "platform/MessageBatch.h"
#include "platform/Platform.h"

#include <QWidget>
#include <optional>
#include <string>

class QLabel;
class QPushButton;

namespace tovan {

class GridView;
class SLOPEfrm;

class frmInput : public QWidget, public EditorForm {
    Q_OBJECT
  public:
    // The form is a view of `document`, which must outlive it.
    frmInput(DeckDocument& document, ApplicationState& state, Platform& platform, EditorHost& host,
             QWidget* parent = nullptr);
    ~frmInput() override;

    DeckGrids& grids() { return grids_; }
    // The deck being edited, with its undo history; the main window owns it.
    DeckDocument& document() { return document_; }
    // Takes back (or makes again) the last step, after storing a value still being typed.
    void undo();
    void redo();

    // Shows the record set of `place` with its cell selected (the whole row: its first column).
    void showCell(const CellPlace& place);
    // Edit > Insert Record and Delete Record, at the caret: a B1 storm (all its cards), a B2
    // storm, or a catchment (its C, D and D1 cards). One step each; nothing the user typed is
    // renumbered.
    void insertRecord();
    void deleteRecord();
    // Edit > Add Record: the grid's Add Row button pressed from the keyboard (its rules and
    // messages), the caret then on the new record.
    void addRecord();
    // Edit > Design Storm: a storm built and previewed in its dialog, then placed in record set
    // B1 as one step; a deck of one-hour depths is told why not.
    void designStorm();
    // Shows record set CD with the caret on the catchment of `row`, in both grids.
    void showCatchment(int row);
    // Tints the cells with a finding and puts the finding in their tooltips.
    void markFindings(const std::vector<Finding>& findings);
    // The grid view of a record set ("A", "B1", "B2", "C" or "D"); null for another name.
    GridView* gridView(std::string_view recordSet) const;
    // The grid view the user works in: the one with the focus, or else the first one shown.
    GridView* currentGridView() const;
    // The record set a grid view shows ("A", "B1", "B2", "C" or "D").
    std::string recordSetOf(const GridView* view) const;

    // Runs the activation rules again (after a deck was read into the grids).
    void ForceFormActivate();
    void cmdBack_Click();
    void Clear();
    void setCardASize(double widthTwips, double heightTwips);
    // Stores a value still being typed into a cell, so that a save or close includes it.
    void commitPendingEdit();

    void cmdA_Click();
    void cmdB1_Click();
    void cmdB2_Click();
    void cmdCD_Click();

    // The form's controls, by their names.
    QLabel* lblTitle;
    QPushButton* cmdA;
    QPushButton* cmdB1;
    QPushButton* cmdB2;
    QPushButton* cmdCD;
    QPushButton* cmdBack;
    GridView* fpCardA;
    GridView* fpCardB1;
    GridView* fpCardB2;
    GridView* fpCardC;
    GridView* fpCardD;

  protected:
    void closeEvent(QCloseEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

  signals:
    // Another record set came into view (its name is in lblTitle).
    void recordSetShown();

  private:
    void buildControls();
    void connectGrids();
    GridView* newGrid(Grid& grid);
    bool insertB2Storm(int row);
    void Form_Load();
    void Form_Activate();
    void Form_Resize();
    bool Form_Unload();
    void Form_KeyUp(int keyCode);
    void setButtonsFromFlags();
    void showOnly(GridView* grid, const char* title);
    void popupOver(int button, const QPoint& globalPos, const char* errorTitle);
    void closeEmptyCellReport();

    void connectRules();
    void connectHistory();
    void showUndoneCell(Grid* grid, int col, int row);
    void connectKeys();
    void connectPastes();
    void followCatchmentRow();
    void reportPaste(const GridView* view, const GridTableModel::PasteReport& report);
    std::string placeText(const GridView* view, int col, int row) const;

    // EditorForm: what the cell rules do to the form.
    void hideAllGrids() override;
    void showCardAOptionCell() override;
    void enableB1Button(bool enabled) override;
    void enableB2Button(bool enabled) override;
    void enableCDButton() override;
    void setTitle(std::string_view title) override;
    void showSlopeCalculator() override;
    std::string catchmentName(int row) const;
    void applyComposite(int col, int row, const QString& composite);

    ApplicationState& state_;
    Platform& platform_;
    EditorHost& host_;
    DeckDocument& document_;
    DeckGrids& grids_;
    MessageBatch messages_; // the rules' messages, held back while a paste runs them
    CellRules rules_;
    SLOPEfrm* slope_ = nullptr; // made on the first "Build Slope", then shown and hidden
    QWidget* buttonBar_ = nullptr;
    double cardAHeightTwips_ = 1455;
    int lastCatchmentRow_ = 2; // of C and D, for the slope calculator's Apply
};

} // namespace tovan
