// The main window "Tovan2000": a multiple-document area holding the cover form and the
// editor form, the menus that create, open, save, close and run decks, and the status bar.
// It remembers its placement in the settings store.
#pragma once

#include "deck/ApplicationState.h"
#include "editor/EditorHost.h"
#include "editor/frmInput.h"
#include "fileio/DeckFiles.h"
#include "fileio/Findings.h"
#include "fileio/basFileRoutines.h"
#include "platform/Platform.h"
#include "report/ReportLayout.h"
#include "results/RunHistory.h"
#include "shell/DeckSession.h"
#include "shell/frmCover.h"

#include <QMainWindow>
#include <QPointer>
#include <QThreadPool>
#include <QTimer>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <utility>
#include <vector>

class QMdiArea;
#include <QMdiSubWindow>

class QDockWidget;
class QLabel;
class QMenu;

namespace tovan {

class CardViewPanel;
class CheckDeckPanel;
class ElidedLabel;
class RunsPanel;
class FieldHelpWindow;

class MDIfrmTovan2000 : public QMainWindow, public EditorHost {
    Q_OBJECT
  public:
    MDIfrmTovan2000(ApplicationState& state, Platform& platform, DeckFiles& files,
                    QWidget* parent = nullptr);
    ~MDIfrmTovan2000() override;

    // Hides the editing menu items and restores the placement; run once before showing.
    void MDIForm_Load();
    // Loads the cover form and shows it maximised.
    void showCover();
    void sendCoverToBack();

    void mnuFileCreate_Click();
    void mnuOpenTovan_Click();
    void mnuFileClose_Click();
    void mnuFileSave_Click() override;
    void mnuFileSaveTo_Click();
    void mnuFileSaveCopy_Click();
    void mnuFileRun_click();
    void mnuFileExit_Click();
    void mnuEditCut_Click();
    void mnuEditCopy1_Click();
    void mnuEditPaste_Click();
    void mnuEditFillDown_Click();
    void mnuEditAddRecord_Click();
    void mnuEditInsertRecord_Click();
    void mnuEditDeleteRecord_Click();
    void mnuEditDesignStorm_Click();
    void mnuFileCompareDecks_Click();
    void mnuEditGoTo_Click();
    void mnuEdit2Back_click();
    void mnuEdit2Clear_click();
    void mnuHelpAbout_Click();
    // File > Open > Results...: a run's results file in a results window.
    void mnuOpenResults_Click();
    // File > Run This Deck (F5): saves the deck when the user wants, runs the engine on its
    // file with the default output names and opens the results (ResultsCommands.cpp).
    void mnuFileRunDeck_Click();
    // Opens the results window of a results file; false (after saying why) when it cannot.
    bool openResults(const std::string& path);
    void showResults(results::RunResults run);
    // The results of a run just ended: kept when the run was of the open deck, then shown.
    void openRunResults(const std::string& path);
    // File > Compare Results...: two results files, A and then B, side by side.
    void mnuFileCompareResults_Click();
    // File > Compare with Previous Run: the deck's last run against the one before it.
    void mnuFileComparePrevious_Click();
    // Opens a comparison window of two runs (RunsCommands.cpp).
    void compareRuns(const results::KeptRun& a, const results::KeptRun& b);
    // File > Print... and File > Export Report as PDF... (ReportCommands.cpp).
    void mnuFilePrint_Click();
    void mnuFileExportReport_Click();
    // View > Units: every results and comparison window in the units chosen.
    void chooseUnits(results::UnitSystem units);
    RunsPanel* runsPanel() const { return runsPanel_; }
    QDockWidget* runsDock() const { return runsDock_; }
    // The deck file the editor shows: the one opened or saved last; empty for a new deck.
    const std::string& deckPath() const;
    std::string dialogFolder() const;
    void mnuEditUndo_Click();
    void mnuEditRedo_Click();

    // A menu item (or whole menu) by its name, e.g. "mnuFileSave" or "mnuEdit".
    QAction* menuItem(std::string_view name) const;
    QMenu* editMenu() const { return mnuEdit_; }
    QMdiArea* mdiArea() const { return mdi_; }
    frmCover* cover() const { return cover_; }
    frmInput* editor() const { return editor_; }
    // The deck being edited: one session, made with the editor and gone when it closes. The
    // editor form, the status bar, the docks and the results window all look at this one.
    DeckSession* session() const { return session_.get(); }
    DeckDocument* document() const { return session_ ? &session_->document() : nullptr; }
    QMdiSubWindow* editorWindow() const { return editorWindow_; }
    QMdiSubWindow* coverWindow() const { return coverWindow_; }
    // The panels beside the editor, shown while a deck is open and their View item is checked.
    CheckDeckPanel* checkPanel() const { return checkPanel_; }
    QDockWidget* checkDock() const { return checkDock_; }
    CardViewPanel* cardView() const { return cardView_; }
    QDockWidget* cardDock() const { return cardDock_; }
    // Help > Field Help (F1): the fields of the record set in front, the caret's selected.
    void mnuHelpFields_Click();
    FieldHelpWindow* fieldHelp() const { return fieldHelp_; }
    // The program is ending: only now may the cover form close.
    bool isClosing() const { return closing_; }
    // The recent decks, the last opened or saved first (at most kRecentCount).
    std::vector<std::string> recentDecks() const;
    static constexpr int kRecentCount = 8;

    // EditorHost
    void menuMoment(MenuMoment moment) override;
    void popupEditMenu(const QPoint& globalPos) override;
    void hideCover() override;
    void keepUnsavedDeck() override;
    void forgetUnsavedDeck() override;
    void showStatus(std::string_view text) override;

    // After the splash: offers each deck a closed or crashed run left unsaved.
    void offerRecovery();
    // Where the deck being edited is kept aside; written 30 s after a change.
    QString recoveryPath() const { return session_ ? session_->recoveryPath() : QString(); }
    // Waits for a background write still going.
    void waitForRecoveryWrites() {
        if (session_) session_->waitForRecoveryWrites();
    }

    // The editor form in its window: loaded hidden with a session of its own, shown, hidden.
    void loadEditor();
    void showEditor();
    void hideEditor();

  signals:
    // A document came (with the editor) or went (null): observers attach to the new one.
    void documentChanged(tovan::DeckDocument* document);

  protected:
    void closeEvent(QCloseEvent* event) override;
    bool event(QEvent* event) override;
    // A .tvi file dropped on the window opens (DroppedDeck.cpp).
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dropEvent(QDropEvent* event) override;

  private:
    void buildMenus();
    void buildFileMenu();
    void buildEditMenu();
    void buildViewMenu();
    void buildWindowMenu();
    void buildDocks();
    void buildRunsDock();
    void buildUnitsMenu();
    void followHistory();
    // Keeps a run of the deck in its history; a run that cannot be kept is said in the status
    // bar and opens all the same.
    void keepRun(const results::RunResults& run);
    void showWindow(QWidget* window);
    std::optional<results::RunResults> reportedRun();
    std::optional<report::ReportDocument> askForReport(bool printing);
    // A results file read, or nothing after a message with `title` saying why.
    std::optional<results::RunResults> readResults(const std::string& path, std::string_view title);
    QDockWidget* addPanel(QWidget* panel, const char* name, const QString& title,
                          const char* viewItem, Qt::DockWidgetArea area);
    void showPanels();
    void followFindings();
    void showFinding(const CellPlace& place);
    void followCaret();
    void showCaretCards();
    QAction* addItem(QMenu* menu, const char* name, const char* caption);
    QAction* addItem(QMenu* menu, const char* name, const char* caption,
                     void (MDIfrmTovan2000::*handler)());
    QAction* addSeparator(QMenu* menu, const char* name);
    QMenu* addMenu(QMenu* parent, const char* name, const char* caption);
    void onSubWindowActivated(QMdiSubWindow* window);
    void dropDocumentAfterEditor();
    // Every menu item's state from the session and the menus' moments: shown as the moments
    // left it, available when it has something to work on; Undo and Redo name their steps.
    void updateActions();
    void openWith(Platform& platform);
    void recoverDeck(const QString& path);
    void openDeck(const std::string& path);
    // Does to the windows what the open command said, then brings the editor or the cover up.
    void showOpenResult(const OpenFileResult& result);
    void activateAfterOpen();
    void afterOpen();
    void updateStatus();
    void rememberRecent(const std::string& path);
    void fillRecentMenu();
    bool closeLoadedDeck();
    void backToCover();
    bool saveDeck(); // true when the deck was written
    enum class AfterSave { FileIsTheDeck, FileStays };
    bool writeDeck(const std::string& path, AfterSave after);
    void MDIForm_Activate();
    void MDIForm_QueryUnload();

    ApplicationState& state_;
    Platform& platform_;
    DeckFiles& files_;
    QMdiArea* mdi_;
    QMenu* mnuEdit_ = nullptr;
    std::map<std::string, QAction*, std::less<>> items_;
    MenuVisibility menus_; // what updateActions shows
    QPointer<frmCover> cover_;
    QPointer<QMdiSubWindow> coverWindow_;
    std::unique_ptr<DeckSession> session_; // before editor_: the editor views it
    QPointer<frmInput> editor_;
    QPointer<QMdiSubWindow> editorWindow_;
    QPointer<QMdiSubWindow> lastActive_;
    QMenu* recentMenu_ = nullptr;
    ElidedLabel* status_ = nullptr; // "statusDeck"
    QLabel* findings_ = nullptr; // "statusFindings"
    QMenu* mnuView_ = nullptr;
    CheckDeckPanel* checkPanel_ = nullptr;
    QDockWidget* checkDock_ = nullptr;
    CardViewPanel* cardView_ = nullptr;
    QDockWidget* cardDock_ = nullptr;
    FieldHelpWindow* fieldHelp_ = nullptr;
    QTimer* caretMoved_ = nullptr;
    std::vector<std::pair<QDockWidget*, QAction*>> panels_;
    RunsPanel* runsPanel_ = nullptr;
    QDockWidget* runsDock_ = nullptr;
    QAction* runsItem_ = nullptr;
    bool closing_ = false;
};

} // namespace tovan
