// The editor form "Tovan Edit Form": the five record-set grids (the open document), the
// title label naming the record set on view, and the buttons that switch between record
// sets. It shows one record set at a time, C and D together.
#pragma once

#include "deck/ApplicationState.h"
#include "deck/RecordSets.h"
#include "editor/EditorHost.h"
#include "platform/Platform.h"

#include <QWidget>
#include <optional>
#include <string>

class QLabel;
class QPushButton;

namespace tovan {

class GridView;

class frmInput : public QWidget {
    Q_OBJECT
  public:
    frmInput(ApplicationState& state, Platform& platform, EditorHost& host,
             QWidget* parent = nullptr);
    ~frmInput() override;

    DeckGrids& grids() { return grids_; }

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

  private:
    void buildControls();
    void connectGrids();
    GridView* newGrid(Grid& grid);
    void Form_Load();
    void Form_Activate();
    void Form_Resize();
    bool Form_Unload();
    void Form_KeyUp(int keyCode);
    void setButtonsFromFlags();
    void applyD1Locks();
    void showOnly(GridView* grid, const char* title);
    void popupOver(int button, const QPoint& globalPos, const char* errorTitle);
    void closeEmptyCellReport();

    void fpCardA_Change(int col, int row);
    void fpCardB1_Change(int col, int row);
    void fpCardB2_Change(int col, int row);
    void fpCardC_Change(int col, int row);
    void fpCardD_Change(int col, int row);
    void fpCardB1_ButtonClicked(int col, int row);
    void fpCardC_ButtonClicked(int col, int row);
    void fpCardD_ButtonClicked(int col, int row);

    ApplicationState& state_;
    Platform& platform_;
    EditorHost& host_;
    DeckGrids grids_;
    QWidget* buttonBar_ = nullptr;
    std::optional<std::string> SavedRainOption;
    double cardAHeightTwips_ = 1455;
};

} // namespace tovan
