#include "shell/MDIfrmTovan2000.h"

#include "shell/ElidedLabel.h"

#include "compare/CompareDecksWindow.h"
#include "editing/ErrorTrap.h"
#include "editor/CardViewPanel.h"
#include "editor/CheckDeckPanel.h"
#include "editor/FieldHelpWindow.h"
#include "editor/GridTableModel.h"
#include "editor/GridView.h"
#include "editor/Twips.h"
#include "editor/clsEdit.h"
#include "editor/frmInput.h"
#include "fileio/SaveFile.h"
#include "run/frmTOVAN98.h"
#include "shell/DeckRecovery.h"
#include "shell/WindowPlacement.h"
#include "shell/frmAbout.h"
#include "shell/frmCover.h"
#include "shell/frmTech.h"
#include "storms/StormPlacement.h"

#include <QApplication>
#include <QCloseEvent>
#include <QDir>
#include <QDockWidget>
#include <QFile>
#include <QFileInfo>
#include <QInputDialog>
#include <QLabel>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenuBar>
#include <QStatusBar>
#include <filesystem>
#include <memory>

namespace tovan {

namespace {

constexpr std::string_view kDialogSection = "CommonDialog";
constexpr std::string_view kFolderKey = "Directory";
constexpr const char* kDeckFilter = "Tovan2000 Files (*.tvi)|*.tvi|All Files (*.*)|*.*";

} // namespace

MDIfrmTovan2000::MDIfrmTovan2000(ApplicationState& state, Platform& platform, DeckFiles& files,
                                 QWidget* parent)
    : QMainWindow(parent), state_(state), platform_(platform), files_(files),
      mdi_(new QMdiArea(this)) {
    setObjectName(QStringLiteral("MDIfrmTovan2000"));
    setWindowTitle(QStringLiteral("Tovan2000"));
    mdi_->setBackground(QColor(128, 128, 128));
    setCentralWidget(mdi_);
    setAcceptDrops(true);
    statusBar()->setObjectName(QStringLiteral("StatusBar1"));
    status_ = new ElidedLabel(statusBar());
    status_->setObjectName(QStringLiteral("statusDeck"));
    statusBar()->addPermanentWidget(status_, 1);
    findings_ = new QLabel(statusBar());
    findings_->setObjectName(QStringLiteral("statusFindings"));
    statusBar()->addPermanentWidget(findings_);
    connect(qApp, &QApplication::focusChanged, this, &MDIfrmTovan2000::updateStatus);
    buildMenus();
    // The placement it was designed with, kept when the stored one cannot be used.
    resize(TwipsToPixelsX(kDefaultWidthTwips), TwipsToPixelsY(kDefaultHeightTwips));
    connect(mdi_, &QMdiArea::subWindowActivated, this, &MDIfrmTovan2000::onSubWindowActivated);
    buildDocks();
}

MDIfrmTovan2000::~MDIfrmTovan2000() {
    // The area announces its children's going, the docks their hiding and the application
    // the focus leaving, while the window is half destroyed.
    disconnect(mdi_, nullptr, this, nullptr);
    disconnect(cardDock_, nullptr, this, nullptr);
    disconnect(qApp, nullptr, this, nullptr);
    delete editorWindow_; // the editor views the document, which goes with this window
}

QAction* MDIfrmTovan2000::addItem(QMenu* menu, const char* name, const char* caption) {
    QAction* item = menu->addAction(QString::fromLatin1(caption));
    item->setObjectName(QString::fromLatin1(name));
    items_[name] = item;
    return item;
}

QAction* MDIfrmTovan2000::addItem(QMenu* menu, const char* name, const char* caption,
                                  void (MDIfrmTovan2000::*handler)()) {
    QAction* item = addItem(menu, name, caption);
    connect(item, &QAction::triggered, this, [this, handler] { (this->*handler)(); });
    return item;
}

QAction* MDIfrmTovan2000::addSeparator(QMenu* menu, const char* name) {
    QAction* separator = menu->addSeparator();
    separator->setObjectName(QString::fromLatin1(name));
    items_[name] = separator;
    return separator;
}

QMenu* MDIfrmTovan2000::addMenu(QMenu* parent, const char* name, const char* caption) {
    QMenu* menu = parent ? parent->addMenu(QString::fromLatin1(caption))
                         : menuBar()->addMenu(QString::fromLatin1(caption));
    menu->setObjectName(QString::fromLatin1(name));
    menu->menuAction()->setObjectName(QString::fromLatin1(name));
    items_[name] = menu->menuAction();
    return menu;
}

void MDIfrmTovan2000::buildMenus() {
    buildFileMenu();
    buildEditMenu();
    QMenu* help = addMenu(nullptr, "mnuHelp", "&Help");
    addItem(help, "mnuHelpAbout", "&About", &MDIfrmTovan2000::mnuHelpAbout_Click);
    addItem(help, "mnuHelpFields", "&Field Help", &MDIfrmTovan2000::mnuHelpFields_Click)
        ->setShortcut(QKeySequence::HelpContents);
    // Never made available; shown greyed rather than hidden so the menu bar keeps its shape.
    addMenu(nullptr, "mnuEdit2", "&Edit2");
    buildViewMenu();
    updateActions();
}

void MDIfrmTovan2000::buildFileMenu() {
    QMenu* file = addMenu(nullptr, "mnuFile", "&File");
    addItem(file, "mnuFileCreate", "&Create New", &MDIfrmTovan2000::mnuFileCreate_Click)
        ->setShortcut(QKeySequence::New);
    QMenu* open = addMenu(file, "mnuFileOpen", "&Open");
    addItem(open, "mnuOpenExcel", "&Excel '97 Spreadsheet");
    addItem(open, "mnuOpenTovan", "&Tovan Files", &MDIfrmTovan2000::mnuOpenTovan_Click)
        ->setShortcut(QKeySequence::Open);
    addItem(open, "mnuOpenResults", "&Results...", &MDIfrmTovan2000::mnuOpenResults_Click);
    recentMenu_ = addMenu(open, "mnuOpenRecent", "&Recent Decks");
    connect(recentMenu_, &QMenu::aboutToShow, this, &MDIfrmTovan2000::fillRecentMenu);
    addItem(file, "mnuFileClose", "&Close", &MDIfrmTovan2000::mnuFileClose_Click);
    addSeparator(file, "mnuSep1");
    addItem(file, "mnuFileSave", "&Save", &MDIfrmTovan2000::mnuFileSave_Click)
        ->setShortcut(QKeySequence(QStringLiteral("Ctrl+S")));
    addItem(file, "mnuFileSaveAs", "S&ave As");
    // Added beside the items of old: the deck's own file without a dialog, and a copy.
    addItem(file, "mnuFileSaveTo", "Save &to", &MDIfrmTovan2000::mnuFileSaveTo_Click)
        ->setShortcut(QKeySequence(QStringLiteral("Ctrl+Alt+S")));
    addItem(file, "mnuFileSaveCopy", "Save a Cop&y...", &MDIfrmTovan2000::mnuFileSaveCopy_Click);
    addItem(file, "mnuFileCompareDecks", "Compare &Decks...",
            &MDIfrmTovan2000::mnuFileCompareDecks_Click);
    addItem(file, "mnuFileCompareResults", "Compare Res&ults...",
            &MDIfrmTovan2000::mnuFileCompareResults_Click);
    addItem(file, "mnuFileComparePrevious", "Compare with &Previous Run",
            &MDIfrmTovan2000::mnuFileComparePrevious_Click)
        ->setShortcut(QKeySequence(QStringLiteral("Shift+F5")));
    addItem(file, "mnuFilePrint", "&Print...", &MDIfrmTovan2000::mnuFilePrint_Click)
        ->setShortcut(QKeySequence::Print);
    addItem(file, "mnuFileExportReport", "Export Report as P&DF...",
            &MDIfrmTovan2000::mnuFileExportReport_Click);
    addSeparator(file, "mnuSep3");
    addItem(file, "mnuFileRun", "&Run Tovan File", &MDIfrmTovan2000::mnuFileRun_click);
    addItem(file, "mnuFileRunDeck", "Run This &Deck", &MDIfrmTovan2000::mnuFileRunDeck_Click)
        ->setShortcut(QKeySequence(Qt::Key_F5));
    addSeparator(file, "mnuSep2");
    addItem(file, "mnuFileExit", "E&xit", &MDIfrmTovan2000::mnuFileExit_Click)
        ->setShortcut(QKeySequence(QStringLiteral("Ctrl+Q")));
}

void MDIfrmTovan2000::buildEditMenu() {
    mnuEdit_ = addMenu(nullptr, "mnuEdit", "&Edit");
    addItem(mnuEdit_, "mnuEditDelete", "&Delete Row");
    // Added beside the unavailable item of old.
    addItem(mnuEdit_, "mnuEditAddRecord", "&Add Record", &MDIfrmTovan2000::mnuEditAddRecord_Click)
        ->setShortcut(QKeySequence(QStringLiteral("Ctrl+Shift+A")));
    addItem(mnuEdit_, "mnuEditInsertRecord", "&Insert Record",
            &MDIfrmTovan2000::mnuEditInsertRecord_Click)
        ->setShortcut(QKeySequence(QStringLiteral("Ctrl+Shift+I")));
    addItem(mnuEdit_, "mnuEditDeleteRecord", "De&lete Record",
            &MDIfrmTovan2000::mnuEditDeleteRecord_Click)
        ->setShortcut(QKeySequence(QStringLiteral("Ctrl+Shift+Del")));
    addItem(mnuEdit_, "mnuEditCut", "C&ut Data", &MDIfrmTovan2000::mnuEditCut_Click)
        ->setShortcut(QKeySequence(QStringLiteral("Ctrl+X")));
    addItem(mnuEdit_, "mnuEditCopy1", "&Copy Data", &MDIfrmTovan2000::mnuEditCopy1_Click)
        ->setShortcut(QKeySequence(QStringLiteral("Ctrl+C")));
    addItem(mnuEdit_, "mnuEditPaste", "&Paste Data", &MDIfrmTovan2000::mnuEditPaste_Click)
        ->setShortcut(QKeySequence(QStringLiteral("Ctrl+V")));
    addSeparator(mnuEdit_, "mnuEditSep1");
    addItem(mnuEdit_, "mnuEdit2Next", "&NextCard");
    addItem(mnuEdit_, "mnuEdit2Back", "&Back", &MDIfrmTovan2000::mnuEdit2Back_click);
    addItem(mnuEdit_, "mnuEdit2Clear", "&Clear &All", &MDIfrmTovan2000::mnuEdit2Clear_click);
    // Added after the items of old, which keep their places.
    addSeparator(mnuEdit_, "mnuEditSep2");
    addItem(mnuEdit_, "mnuEditFillDown", "Fill &Down", &MDIfrmTovan2000::mnuEditFillDown_Click)
        ->setShortcut(QKeySequence(QStringLiteral("Ctrl+D")));
    addItem(mnuEdit_, "mnuEditDesignStorm", "Design &Storm...",
            &MDIfrmTovan2000::mnuEditDesignStorm_Click);
    addItem(mnuEdit_, "mnuEditGoTo", "&Go To Catchment...", &MDIfrmTovan2000::mnuEditGoTo_Click)
        ->setShortcut(QKeySequence(QStringLiteral("Ctrl+G")));
    addItem(mnuEdit_, "mnuEditUndo", "&Undo", &MDIfrmTovan2000::mnuEditUndo_Click)
        ->setShortcut(QKeySequence::Undo);
    addItem(mnuEdit_, "mnuEditRedo", "&Redo", &MDIfrmTovan2000::mnuEditRedo_Click)
        ->setShortcuts(
            {QKeySequence(QStringLiteral("Ctrl+Shift+Z")), QKeySequence(QStringLiteral("Ctrl+Y"))});
}

// Added after the menus of old, which keep their places: the panels that show the deck from
// other sides.
void MDIfrmTovan2000::buildViewMenu() {
    mnuView_ = addMenu(nullptr, "mnuView", "&View");
    buildUnitsMenu();
    buildWindowMenu();
}

// The windows inside the main window: tiled, cascaded, or one brought to the front by name.
void MDIfrmTovan2000::buildWindowMenu() {
    QMenu* windows = addMenu(nullptr, "mnuWindow", "&Window");
    connect(windows, &QMenu::aboutToShow, this, [this, windows] {
        windows->clear();
        windows->addAction(tr("&Tile"), mdi_, &QMdiArea::tileSubWindows)
            ->setObjectName(QStringLiteral("mnuWindowTile"));
        windows->addAction(tr("&Cascade"), mdi_, &QMdiArea::cascadeSubWindows)
            ->setObjectName(QStringLiteral("mnuWindowCascade"));
        windows->addSeparator();
        for (QMdiSubWindow* window : mdi_->subWindowList()) {
            if (!window->isVisible()) continue;
            QAction* item = windows->addAction(
                window->windowTitle(), this, [this, window] { mdi_->setActiveSubWindow(window); });
            item->setCheckable(true);
            item->setChecked(window == mdi_->activeSubWindow());
        }
    });
}

QDockWidget* MDIfrmTovan2000::addPanel(QWidget* panel, const char* name, const QString& title,
                                       const char* viewItem, Qt::DockWidgetArea area) {
    auto* dock = new QDockWidget(title, this);
    dock->setObjectName(QString::fromLatin1(name));
    // Closed and opened from the View menu only, so that the item always tells the truth.
    dock->setFeatures(QDockWidget::DockWidgetMovable | QDockWidget::DockWidgetFloatable);
    dock->setWidget(panel);
    addDockWidget(area, dock);
    dock->hide();
    QAction* item = addItem(mnuView_, viewItem, title.toLatin1().constData());
    item->setCheckable(true);
    item->setChecked(true); // open by default
    connect(item, &QAction::toggled, this, &MDIfrmTovan2000::showPanels);
    panels_.emplace_back(dock, item);
    return dock;
}

void MDIfrmTovan2000::buildDocks() {
    checkPanel_ = new CheckDeckPanel;
    checkDock_ = addPanel(checkPanel_, "dockCheckDeck", tr("Check Deck"), "mnuViewCheckDeck",
                          Qt::BottomDockWidgetArea);
    connect(checkPanel_, &CheckDeckPanel::findingsChanged, this, &MDIfrmTovan2000::followFindings);
    connect(checkPanel_, &CheckDeckPanel::findingActivated, this, &MDIfrmTovan2000::showFinding);
    connect(this, &MDIfrmTovan2000::documentChanged, checkPanel_, &CheckDeckPanel::setDocument);

    cardView_ = new CardViewPanel;
    cardDock_ = addPanel(cardView_, "dockCardView", tr("Card View"), "mnuViewCardView",
                         Qt::BottomDockWidgetArea);
    splitDockWidget(checkDock_, cardDock_, Qt::Horizontal);
    // The card view follows the caret and every change of the document at once.
    connect(qApp, &QApplication::focusChanged, this, &MDIfrmTovan2000::followCaret);
    // A new document (or none) takes the cards of the one before away at once, shown or not,
    // so that a hidden Card View never comes back with a closed deck's cards in it.
    connect(this, &MDIfrmTovan2000::documentChanged, this, [this](DeckDocument* document) {
        cardView_->showRecord(nullptr, {}, 0, 0);
        if (document) {
            connect(document, &DeckDocument::contentsChanged, this, &MDIfrmTovan2000::followCaret);
        }
        followCaret();
    });
    connect(cardDock_, &QDockWidget::visibilityChanged, this, &MDIfrmTovan2000::followCaret);
    connect(this, &MDIfrmTovan2000::documentChanged, this, &MDIfrmTovan2000::showPanels);
    buildRunsDock();
}

// A caret moved by code many times in a row (a deck being read) redraws the cards once.
void MDIfrmTovan2000::followCaret() {
    if (!caretMoved_) {
        caretMoved_ = new QTimer(this);
        caretMoved_->setSingleShot(true);
        caretMoved_->setInterval(0);
        connect(caretMoved_, &QTimer::timeout, this, &MDIfrmTovan2000::showCaretCards);
    }
    if (!caretMoved_->isActive()) caretMoved_->start();
}

void MDIfrmTovan2000::showCaretCards() {
    if (!cardView_ || !cardDock_->isVisible()) return;
    GridView* view = editor_ && session_ ? editor_->currentGridView() : nullptr;
    if (!view) {
        cardView_->showRecord(nullptr, {}, 0, 0);
        return;
    }
    cardView_->showRecord(&session_->grids(), editor_->recordSetOf(view), view->activeCol(),
                          view->activeRow());
}

void MDIfrmTovan2000::mnuHelpFields_Click() {
    TrapErrors(platform_, "mnuHelpFields Error!", [this] {
        if (!fieldHelp_) fieldHelp_ = new FieldHelpWindow(this);
        GridView* view = editor_ ? editor_->currentGridView() : nullptr;
        if (view) {
            fieldHelp_->showFields(editor_->recordSetOf(view), view->activeCol());
        } else {
            fieldHelp_->showFields("A", 1);
        }
        fieldHelp_->show();
        fieldHelp_->raise();
    });
}

// The panels are about the deck being edited: without one they step aside. When the card view
// comes, it gets the width of a whole card where the window has room for it (once the docks
// are laid out).
// The deck's panels stand beside its editor; a results window in front gets their room for
// its plot (on a laptop's screen it needs it), and they come back with the editor.
void MDIfrmTovan2000::showPanels() {
    const bool cardViewWasHidden = cardDock_->isHidden();
    QMdiSubWindow* front = mdi_->activeSubWindow();
    const bool resultsInFront = front && front != editorWindow_ && front != coverWindow_;
    for (const auto& [dock, item] : panels_)
        dock->setVisible(session_ && item->isChecked() && !resultsInFront);
    // The runs stay beside the results and comparisons they lead to; they come with the first.
    const bool runsWereHidden = runsDock_->isHidden();
    runsDock_->setVisible(session_ && runsItem_->isChecked() &&
                          !session_->history().runs().empty());
    if (runsWereHidden && runsDock_->isVisible())
        QTimer::singleShot(0, this, [this] {
            resizeDocks({runsDock_}, {std::min(380, width() / 3)}, Qt::Horizontal);
        });
    if (cardViewWasHidden && cardDock_->isVisible()) {
        QTimer::singleShot(0, this, [this] {
            // Both docks of the bottom row are sized: given one alone, the row keeps its split.
            const int card = std::min(cardView_->sizeHint().width(), width() * 2 / 3);
            resizeDocks({checkDock_, cardDock_}, {width() - card, card}, Qt::Horizontal);
        });
    }
    followCaret();
}

void MDIfrmTovan2000::followFindings() {
    if (editor_) editor_->markFindings(checkPanel_->findings());
    findings_->setText(session_ ? checkPanel_->countText() : QString());
}

void MDIfrmTovan2000::showFinding(const CellPlace& place) {
    if (!editor_ || !editorWindow_) return;
    mdi_->setActiveSubWindow(editorWindow_);
    editor_->showCell(place);
}

QAction* MDIfrmTovan2000::menuItem(std::string_view name) const {
    const auto found = items_.find(name);
    return found == items_.end() ? nullptr : found->second;
}

void MDIfrmTovan2000::menuMoment(MenuMoment moment) {
    menus_.apply(moment);
    updateActions();
}

void MDIfrmTovan2000::MDIForm_Load() {
    menuMoment(MenuMoment::MainWindowLoads);
    TrapErrors(platform_, "MIForm_Load Error!", [this] { RestorePlacement(*this, platform_); });
}

bool MDIfrmTovan2000::event(QEvent* event) {
    if (event->type() == QEvent::WindowActivate) MDIForm_Activate();
    if (event->type() == QEvent::Show) KeepOnScreen(*this); // now with its frame
    return QMainWindow::event(event);
}

void MDIfrmTovan2000::MDIForm_Activate() {
    menuMoment(MenuMoment::MainWindowActivated);
}

void MDIfrmTovan2000::showCover() {
    if (!cover_) {
        cover_ = new frmCover(state_, *this);
        coverWindow_ = mdi_->addSubWindow(cover_);
        coverWindow_->setWindowIcon(windowIcon());
    }
    coverWindow_->showMaximized();
    mdi_->setActiveSubWindow(coverWindow_);
}

void MDIfrmTovan2000::sendCoverToBack() {
    if (!coverWindow_) return;
    coverWindow_->show();
    coverWindow_->lower();
}

void MDIfrmTovan2000::hideCover() {
    if (coverWindow_) coverWindow_->hide();
}

// Activation rules run when another child comes to the front, not when the whole program
// merely regains the focus (the editor would otherwise jump back to record set A).
void MDIfrmTovan2000::onSubWindowActivated(QMdiSubWindow* window) {
    if (window && window != lastActive_) showPanels();
    if (!window || window == lastActive_) return;
    lastActive_ = window;
    if (window == editorWindow_ && editor_) {
        editor_->ForceFormActivate();
    } else if (window == coverWindow_ && cover_) {
        cover_->Form_Activate();
    }
}

void MDIfrmTovan2000::loadEditor() {
    if (editor_) return;
    session_ = std::make_unique<DeckSession>(this);
    statusBar()->clearMessage(); // what was said of the deck before
    editor_ = new frmInput(session_->document(), state_, platform_, *this);
    connect(editor_, &frmInput::recordSetShown, this, &MDIfrmTovan2000::updateStatus);
    connect(editor_, &QObject::destroyed, this, &MDIfrmTovan2000::dropDocumentAfterEditor,
            Qt::QueuedConnection);
    QUndoStack& history = session_->document().undoStack();
    connect(&history, &QUndoStack::indexChanged, this, &MDIfrmTovan2000::updateActions);
    connect(&history, &QUndoStack::indexChanged, this, &MDIfrmTovan2000::updateStatus);
    for (GridView* grid : editor_->findChildren<GridView*>()) {
        connect(grid->gridModel(), &GridTableModel::activeCellMoved, this,
                &MDIfrmTovan2000::updateStatus);
        connect(grid->gridModel(), &GridTableModel::activeCellMoved, this,
                &MDIfrmTovan2000::followCaret);
    }
    connect(&history, &QObject::destroyed, this, &MDIfrmTovan2000::updateActions,
            Qt::QueuedConnection);
    updateActions();
    editorWindow_ = mdi_->addSubWindow(editor_);
    editorWindow_->setAttribute(Qt::WA_DeleteOnClose);
    editorWindow_->setWindowIcon(windowIcon());
    editorWindow_->hide();
    emit documentChanged(document());
}

// The session lives as long as its editor; a new editor made meanwhile has its own.
void MDIfrmTovan2000::dropDocumentAfterEditor() {
    if (editor_ || !session_) return;
    const std::unique_ptr<DeckSession> going = std::move(session_);
    emit documentChanged(nullptr);
    updateActions();
}

// A deck is created, opened or recovered in a session of its own. An editor still loaded goes
// first: one left hidden by a failed open at once; one still shown, behind the cover after File >
// Close took its results window, as File > Close takes it, with the question to save. False
// when it stayed.
bool MDIfrmTovan2000::closeLoadedDeck() {
    if (editorWindow_ && editorWindow_->isVisible()) {
        mdi_->setActiveSubWindow(editorWindow_);
        mnuFileClose_Click();
        if (editorWindow_ && editorWindow_->isVisible()) return false;
    }
    delete editorWindow_; // its session goes when the next one is made
    return true;
}

void MDIfrmTovan2000::showEditor() {
    if (!editorWindow_) return;
    // The main window does not get lower than the editor needs to keep every row in reach.
    mdi_->setMinimumHeight(editor_->minimumHeight());
    editorWindow_->showMaximized();
    mdi_->setActiveSubWindow(editorWindow_);
    updateActions();
}

void MDIfrmTovan2000::hideEditor() {
    if (editorWindow_) editorWindow_->hide();
    updateActions();
}

void MDIfrmTovan2000::showOpenResult(const OpenFileResult& result) {
    if (result.fileMenuItemsShownAgain) menuMoment(MenuMoment::OpenShowsFileItemsAgain);
    switch (result.editor) {
    case EditorAfterOpen::Untouched:
        break;
    case EditorAfterOpen::AskedToUnload:
        if (editorWindow_) editorWindow_->close(); // refused while CloseAllowed is clear
        break;
    case EditorAfterOpen::Hidden:
        hideEditor();
        break;
    case EditorAfterOpen::Shown:
        if (result.smallCardA && editor_)
            editor_->setCardASize(kSmallCardAWidthTwips, kSmallCardAHeightTwips);
        showEditor();
        break;
    }
    activateAfterOpen();
}

// After a cancelled or failed open the editor stays hidden; its activation would take the
// cover and the File menu's Create New and Open away with nothing to show instead. The user
// gets the cover back, with the menus of a program without a deck.
void MDIfrmTovan2000::activateAfterOpen() {
    if (editor_ && editorWindow_ && editorWindow_->isVisible()) {
        editor_->ForceFormActivate();
        return;
    }
    backToCover();
    menuMoment(MenuMoment::NoDeckAfterOpen);
}

void MDIfrmTovan2000::backToCover() {
    if (!coverWindow_) return;
    coverWindow_->showNormal();
    coverWindow_->show();
    coverWindow_->showMaximized();
    mdi_->setActiveSubWindow(coverWindow_);
    updateActions();
}

void MDIfrmTovan2000::mnuFileCreate_Click() {
    TrapErrors(platform_, "mnuFileCreate_Click Error!", [this] {
        if (!closeLoadedDeck()) return;
        platform_.setBusy(true); // the editor's activation restores the arrow
        hideCover();
        if (coverWindow_) coverWindow_->show();
        loadEditor();
        showEditor();
    });
}

void MDIfrmTovan2000::mnuOpenTovan_Click() {
    openWith(platform_);
}

// The open command on a fresh session; `platform` answers its dialog.
void MDIfrmTovan2000::openWith(Platform& platform) {
    TrapErrors(platform_, "mnuOpenTovan_Click Error!", [this, &platform] {
        if (!closeLoadedDeck()) return;
        loadEditor();
        ReadingContext context{session_->grids(), session_->reading(), state_, platform};
        menuMoment(MenuMoment::OpenDialogUp);
        OpenFileResult result;
        {
            RecordingPause reading(session_->document());
            result = files_.open(context);
        }
        showOpenResult(result);
        afterOpen();
    });
}

void MDIfrmTovan2000::mnuFileClose_Click() {
    TrapErrors(platform_, "mnuFileClose Error!", [this] {
        QMdiSubWindow* active = mdi_->currentSubWindow();
        if (!active || !active->isVisible()) active = editorWindow_;
        if (!active || active == coverWindow_) return;
        state_.CloseAllowed = true;
        menuMoment(MenuMoment::CloseWithChildActive);
        active->close();
        backToCover();
    });
}

void MDIfrmTovan2000::showStatus(std::string_view text) {
    constexpr int kShownMs = 10000;
    statusBar()->showMessage(QString::fromLatin1(text.data(), static_cast<qsizetype>(text.size())),
                             kShownMs);
}

void MDIfrmTovan2000::mnuFileSave_Click() {
    TrapErrors(platform_, "mnuFileSave_Click Error!", [this] { saveDeck(); });
}

bool MDIfrmTovan2000::saveDeck() {
    if (!editor_ || !editorWindow_ || !editorWindow_->isVisible()) {
        platform_.showMessage("Nothing to Save!", MessageIcon::Exclamation,
                              "mnuFileSave_Click Error!");
        return false;
    }
    editor_->commitPendingEdit();
    FileDialogRequest request;
    request.title = "Save Files";
    request.filter = kDeckFilter;
    request.initialDirectory = platform_.setting(kDialogSection, kFolderKey, "C:\\");
    const auto chosen = platform_.chooseFileToSave(request);
    if (!chosen) {
        platform_.setBusy(false);
        return false;
    }
    platform_.saveSetting(kDialogSection, kFolderKey, FolderOf(*chosen));
    return writeDeck(*chosen, AfterSave::FileIsTheDeck);
}

// Through the save rules and their messages, as File > Save writes; the deck's file becomes
// the one written unless it was a copy.
bool MDIfrmTovan2000::writeDeck(const std::string& path, AfterSave after) {
    platform_.setBusy(true);
    const std::int32_t result = files_.save(session_->grids(), path, platform_);
    if (result == 0) {
        if (after == AfterSave::FileIsTheDeck) {
            session_->savedAs(path);
            checkPanel_->setFileFindings(session_->fileFindings());
        }
        rememberRecent(path);
        updateStatus();
        updateActions();
        platform_.showMessage("Save operation was sucessful.", MessageIcon::Information,
                              "SaveFile");
    } else {
        platform_.showDetailedMessage("Error saving file.", SaveFailureDetail(result, path),
                                      MessageIcon::Exclamation, "mnuFileSave_Click Error!");
    }
    platform_.setBusy(false);
    return result == 0;
}

// File > Save to <file>: the deck's own file, without a dialog; a deck without one is saved as
// File > Save saves it.
void MDIfrmTovan2000::mnuFileSaveTo_Click() {
    TrapErrors(platform_, "mnuFileSaveTo Error!", [this] {
        if (!editor_ || deckPath().empty()) {
            saveDeck();
            return;
        }
        editor_->commitPendingEdit();
        writeDeck(deckPath(), AfterSave::FileIsTheDeck);
    });
}

// File > Save a Copy...: the dialog with the deck's name filled in; a name typed without an
// extension gets ".tvi". The deck's file stays the one it was.
// Where the added file dialogs start: the open deck's folder, else the one remembered last.
std::string MDIfrmTovan2000::dialogFolder() const {
    return deckPath().empty() ? platform_.setting(kDialogSection, kFolderKey, "C:\\")
                              : FolderOf(deckPath());
}

void MDIfrmTovan2000::mnuFileSaveCopy_Click() {
    TrapErrors(platform_, "mnuFileSaveCopy Error!", [this] {
        if (!editor_) return;
        editor_->commitPendingEdit();
        FileDialogRequest request;
        request.title = "Save a Copy";
        request.filter = kDeckFilter;
        request.initialDirectory = dialogFolder();
        request.fileName = deckPath().substr(FolderOf(deckPath()).size());
        const auto chosen = platform_.chooseFileToSave(request);
        if (!chosen) return;
        std::string path = *chosen;
        const std::string name = path.substr(FolderOf(path).size());
        if (name.find('.') == std::string::npos) path += ".tvi";
        writeDeck(path, AfterSave::FileStays);
    });
}

// The open deck (A) against a deck file (B), read as File > Open reads it into grids of their
// own: the open deck is not touched.
void MDIfrmTovan2000::mnuFileCompareDecks_Click() {
    TrapErrors(platform_, "mnuFileCompareDecks Error!", [this] {
        if (!editor_ || !session_) return;
        editor_->commitPendingEdit();
        FileDialogRequest request;
        request.title = "Compare with Deck";
        request.filter = kDeckFilter;
        request.initialDirectory = dialogFolder();
        const auto chosen = platform_.chooseFileToOpen(request);
        if (!chosen) return;
        DeckGrids other;
        std::string why;
        if (!ReadComparedDeck(platform_, *chosen, other, why)) {
            platform_.showMessage(why + " Nothing was compared.", MessageIcon::Exclamation,
                                  "Compare Decks");
            return;
        }
        auto differences = DiffDecks(session_->grids(), other);
        if (differences.empty()) {
            platform_.showMessage("The open deck and " + *chosen + " hold the same values.",
                                  MessageIcon::Information, "Compare Decks");
            return;
        }
        auto* window =
            new CompareDecksWindow(std::move(differences), QString::fromLocal8Bit(*chosen), this);
        window->setAttribute(Qt::WA_DeleteOnClose);
        connect(window, &CompareDecksWindow::cellChosen, this, &MDIfrmTovan2000::showFinding);
        window->show();
    });
}

void MDIfrmTovan2000::mnuFileRun_click() {
    TrapErrors(platform_, "mnuFileRun_Click Error!", [this] {
        auto* form = new run::frmTOVAN98(this, platform_); // deletes itself when unloaded
        // The deck's folder: the open deck's, or else that of the deck opened or saved last.
        form->setDeckFolder(!deckPath().empty()
                                ? FolderOf(deckPath())
                                : platform_.setting(kDialogSection, kFolderKey, ""));
        connect(form, &run::frmTOVAN98::aboutRequested, this, &MDIfrmTovan2000::mnuHelpAbout_Click);
        // An engine other than ours writes no results file; its runs end as they always did.
        connect(form, &run::frmTOVAN98::runCompleted, this, [this](const QString& results) {
            if (QFile::exists(results)) openRunResults(results.toStdString());
        });
        connect(form, &run::frmTOVAN98::techSupportRequested, this, [](run::frmTOVAN98* runForm) {
            auto* tech = new frmTech(runForm);
            connect(tech, &frmTech::closed, runForm, &run::frmTOVAN98::showAgain);
            tech->show();
        });
        form->showModal();
    });
}

void MDIfrmTovan2000::mnuFileExit_Click() {
    TrapErrors(platform_, "mnuFileExit Error!", [this] {
        closing_ = true;
        state_.CloseAllowed = true;
        if (coverWindow_) coverWindow_->close();
        if (editorWindow_) editorWindow_->close();
        close();
        QCoreApplication::quit();
    });
}

void MDIfrmTovan2000::closeEvent(QCloseEvent* event) {
    MDIForm_QueryUnload();
    event->accept();
}

// Closing never stops here: the placement is saved and every child unloads in its own way.
void MDIfrmTovan2000::MDIForm_QueryUnload() {
    closing_ = true;
    state_.CloseAllowed = true;
    TrapErrors(platform_, "MDIForm_QueryUnload Error!", [this] {
        SavePlacement(*this, platform_);
        mdi_->closeAllSubWindows();
    });
}

void MDIfrmTovan2000::mnuEditCut_Click() {
    TrapErrors(platform_, "mnuEditCut_Click Error!", [this] { clsEdit(platform_).Cut(); });
}

void MDIfrmTovan2000::mnuEditCopy1_Click() {
    TrapErrors(platform_, "mnuEditCopy1_Click Error!", [this] { clsEdit(platform_).Copy(); });
}

void MDIfrmTovan2000::mnuEditPaste_Click() {
    TrapErrors(platform_, "mnuEditPaste Error!", [this] { clsEdit(platform_).Paste(); });
}

void MDIfrmTovan2000::mnuEditAddRecord_Click() {
    TrapErrors(platform_, "mnuEditAddRecord Error!", [this] {
        if (editor_) editor_->addRecord();
    });
}

void MDIfrmTovan2000::mnuEditInsertRecord_Click() {
    TrapErrors(platform_, "mnuEditInsertRecord Error!", [this] {
        if (editor_) editor_->insertRecord();
    });
}

void MDIfrmTovan2000::mnuEditDeleteRecord_Click() {
    TrapErrors(platform_, "mnuEditDeleteRecord Error!", [this] {
        if (editor_) editor_->deleteRecord();
    });
}

void MDIfrmTovan2000::mnuEditFillDown_Click() {
    TrapErrors(platform_, "mnuEditFillDown Error!", [] {
        if (auto* grid = qobject_cast<GridView*>(QApplication::focusWidget())) grid->fillDown();
    });
}

void MDIfrmTovan2000::mnuEditDesignStorm_Click() {
    TrapErrors(platform_, "mnuEditDesignStorm Error!", [this] {
        if (editor_ && editorWindow_ && editorWindow_->isVisible()) editor_->designStorm();
    });
}

// Edit > Go To Catchment: by identification or number, in a box of its own.
void MDIfrmTovan2000::mnuEditGoTo_Click() {
    TrapErrors(platform_, "mnuEditGoTo Error!", [this] {
        if (!editor_ || !editorWindow_ || !editorWindow_->isVisible()) return;
        QInputDialog ask(this);
        ask.setObjectName(QStringLiteral("goToCatchment"));
        ask.setWindowTitle(tr("Go To Catchment"));
        ask.setLabelText(tr("Catchment identification or number:"));
        if (ask.exec() != QDialog::Accepted) return;
        const std::string wanted = ask.textValue().toStdString();
        const int row = CatchmentRowOf(session_->grids(), wanted);
        if (row == 0) {
            platform_.showMessage("There is no catchment " + wanted + " in record set C.",
                                  MessageIcon::Information, "Go To Catchment");
            return;
        }
        editor_->showCatchment(row);
        updateStatus();
    });
}

void MDIfrmTovan2000::mnuEdit2Back_click() {
    TrapErrors(platform_, "mnuEdit2Back_Click Error!", [] {
        auto* grid = qobject_cast<GridView*>(QApplication::focusWidget());
        if (!grid) return;
        grid->setFocus();
        grid->setActiveCell(1, grid->activeRow());
    });
}

void MDIfrmTovan2000::mnuEdit2Clear_click() {
    TrapErrors(platform_, "mnuEdit2Clear_Click Error!", [] {});
}

void MDIfrmTovan2000::mnuEditUndo_Click() {
    if (editor_) editor_->undo();
}

void MDIfrmTovan2000::mnuEditRedo_Click() {
    if (editor_) editor_->redo();
}

// The Undo and Redo items name the step they would take back or make again.
// Which items show is the menu table's business (the forms' activation and unloading); whether a
// shown item can be used follows from the session alone. Save and Run This Deck need a deck on
// view: on the cover they are greyed.
void MDIfrmTovan2000::updateActions() {
    const bool deckShown = editor_ && session_ && editorWindow_ && editorWindow_->isVisible();
    for (const auto& [name, item] : items_) {
        item->setVisible(menus_.shown(name));
        if (NeverAvailable(name)) item->setEnabled(false);
    }
    for (const char* name :
         {"mnuFileSave", "mnuFileRunDeck", "mnuFileSaveCopy", "mnuEditDesignStorm"})
        menuItem(name)->setEnabled(deckShown);
    menuItem("mnuFileComparePrevious")
        ->setEnabled(editor_ && session_ && session_->history().runs().size() >= 2);
    const std::string& file = deckPath();
    QAction* saveTo = menuItem("mnuFileSaveTo");
    saveTo->setEnabled(deckShown && !file.empty());
    saveTo->setText(file.empty()
                        ? QStringLiteral("Save &to")
                        : QStringLiteral("Save &to %1")
                              .arg(QString::fromLocal8Bit(file.substr(FolderOf(file).size()))));
    QAction* undo = menuItem("mnuEditUndo");
    QAction* redo = menuItem("mnuEditRedo");
    QUndoStack* stack = editor_ && session_ ? &session_->document().undoStack() : nullptr;
    const auto label = [](const char* verb, const QString& step) {
        return step.isEmpty() ? QStringLiteral("&%1").arg(QLatin1String(verb))
                              : QStringLiteral("&%1 %2").arg(QLatin1String(verb), step);
    };
    undo->setEnabled(stack && stack->canUndo());
    redo->setEnabled(stack && stack->canRedo());
    undo->setText(label("Undo", stack ? stack->undoText() : QString()));
    redo->setText(label("Redo", stack ? stack->redoText() : QString()));
}

// The deck's file is the document's; a new deck, or no editor, has none.
const std::string& MDIfrmTovan2000::deckPath() const {
    static const std::string kNone;
    return editor_ && session_ ? session_->filePath() : kNone;
}

void MDIfrmTovan2000::afterOpen() {
    if (!editor_) return;
    session_->read(editorWindow_ && editorWindow_->isVisible());
    checkPanel_->setFileFindings(session_->fileFindings());
    if (!session_->filePath().empty()) rememberRecent(session_->filePath());
    updateStatus();
    updateActions();
}

namespace {

// The platform with one answer given in advance: the file an open dialog would return.
class ChosenFilePlatform : public ForwardingPlatform {
  public:
    ChosenFilePlatform(Platform& inner, std::string path)
        : ForwardingPlatform(inner), path_(std::move(path)) {}
    std::optional<std::string> chooseFileToOpen(const FileDialogRequest&) override { return path_; }

  private:
    std::string path_;
};

constexpr std::string_view kRecentSection = "RecentDecks";

std::string RecentKey(int index) {
    return "File" + std::to_string(index + 1);
}

// A deck's place written one way, whichever way it was opened ("folder/./deck.tvi").
std::string NormalDeckPath(const std::string& path) {
    std::error_code noFolder;
    const std::filesystem::path absolute = std::filesystem::absolute(path, noFolder);
    return (noFolder ? std::filesystem::path(path) : absolute).lexically_normal().string();
}

// The same deck: the same place, or the same file under another name (a link).
bool SameDeck(const std::string& a, const std::string& b) {
    if (NormalDeckPath(a) == NormalDeckPath(b)) return true;
    std::error_code missing;
    return std::filesystem::equivalent(a, b, missing);
}

} // namespace

// A recent deck opens as Open > Tovan Files would open it, the file already chosen.
void MDIfrmTovan2000::openDeck(const std::string& path) {
    ChosenFilePlatform chosen(platform_, path);
    openWith(chosen);
}

std::vector<std::string> MDIfrmTovan2000::recentDecks() const {
    std::vector<std::string> recent;
    for (int i = 0; i < kRecentCount; ++i) {
        std::string path = platform_.setting(kRecentSection, RecentKey(i), "");
        if (!path.empty()) recent.push_back(std::move(path));
    }
    return recent;
}

// Each deck once, however it was named when it was opened.
void MDIfrmTovan2000::rememberRecent(const std::string& opened) {
    const std::string path = NormalDeckPath(opened);
    std::vector<std::string> recent = recentDecks();
    std::erase_if(recent, [&path](const std::string& entry) { return SameDeck(entry, path); });
    recent.insert(recent.begin(), path);
    recent.resize(std::min<std::size_t>(recent.size(), kRecentCount));
    for (int i = 0; i < kRecentCount; ++i) {
        const auto index = static_cast<std::size_t>(i);
        platform_.saveSetting(kRecentSection, RecentKey(i),
                              index < recent.size() ? recent[index] : std::string());
    }
}

// Files that went away are shown greyed, so the list keeps its order.
void MDIfrmTovan2000::fillRecentMenu() {
    recentMenu_->clear();
    for (const std::string& path : recentDecks()) {
        const QString name = QString::fromLocal8Bit(path);
        const bool there = QFileInfo::exists(name);
        QAction* item = recentMenu_->addAction(there ? name : name + tr(" (missing)"));
        item->setEnabled(there);
        // Said where the pointer rests on a greyed entry, which cannot be chosen.
        if (!there) {
            const QString why = tr("No deck is at this place any longer: it was moved, renamed "
                                   "or deleted.");
            item->setToolTip(why);
            item->setStatusTip(why);
        }
        connect(item, &QAction::triggered, this, [this, path] { openDeck(path); });
    }
    recentMenu_->setToolTipsVisible(true);
    recentMenu_->menuAction()->setEnabled(true);
}

// The status bar: the deck's file (or "new deck"), the modified marker, the record set on view,
// the cell with the caret, its field and catchment.
void MDIfrmTovan2000::updateStatus() {
    if (!status_) return;
    if (!editor_ || !editorWindow_ || !editorWindow_->isVisible()) {
        status_->clear();
        return;
    }
    const std::string& path = session_->filePath();
    QStringList parts{path.empty() ? QStringLiteral("new deck") : QString::fromLocal8Bit(path)};
    // Modified: the grids differ from the file read or saved last (undoing back clears it).
    if (session_->differsFromFile()) parts << QStringLiteral("modified");
    parts << editor_->lblTitle->text();
    if (auto* grid = qobject_cast<GridView*>(QApplication::focusWidget());
        grid && editor_->isAncestorOf(grid) && grid->isVisible() && grid->activeRow() > 1) {
        const int col = grid->activeCol(), row = grid->activeRow();
        parts << QStringLiteral("row %1, column %2").arg(row - 1).arg(col);
        const QString label = QString::fromLatin1(grid->grid().value(col, 1)).trimmed();
        if (!label.isEmpty()) parts << (label.size() > 48 ? label.left(47) + QChar(0x2026) : label);
        const Grid& c = session_->grids().fpCardC;
        if ((grid == editor_->fpCardC || grid == editor_->fpCardD) && row < c.maxRows()) {
            parts << QStringLiteral("catchment %1 (%2)")
                         .arg(QString::fromLatin1(c.value(col::kCIdent, row)).trimmed(),
                              QString::fromLatin1(c.value(col::kCNumber, row)));
        }
        if (grid == editor_->fpCardB1) {
            const std::string storm = DescribeStormAt(session_->grids(), row);
            if (!storm.empty()) parts << QString::fromStdString(storm);
        }
    }
    status_->setFullText(parts.join(QStringLiteral("  |  ")));
}

// At a close the write is done at once: the program may be about to end.
void MDIfrmTovan2000::keepUnsavedDeck() {
    if (editor_ && session_) session_->keepAside();
}

void MDIfrmTovan2000::forgetUnsavedDeck() {
    if (session_) session_->forgetKeptAside();
}

// Recover opens the deck, Discard removes it, Later keeps it for the next start.
void MDIfrmTovan2000::offerRecovery() {
    TrapErrors(platform_, "offerRecovery Error!", [this] {
        std::vector<std::string> setAside;
        const std::vector<RecoveredDeck> decks = RecoveriesLeftBehind(&setAside);
        if (!setAside.empty()) {
            std::string list;
            for (const std::string& line : setAside)
                list += (list.empty() ? "" : "\n") + line;
            platform_.showDetailedMessage(
                "Some decks kept aside could not be read. They were set aside in " +
                    QDir::toNativeSeparators(RecoveryFolder()).toStdString() + ":",
                list, MessageIcon::Exclamation, "Tovan2000");
        }
        for (const RecoveredDeck& deck : decks) {
            if (deck.path == recoveryPath()) continue;
            const std::size_t choice = platform_.askChoice(RecoveryQuestion(deck), "Tovan2000",
                                                           {"Recover", "Discard", "Later"});
            if (choice == 1) QFile::remove(deck.path);
            if (choice == 0) {
                recoverDeck(deck.path);
                return;
            }
        }
    });
}

// The deck comes back as an edited deck never saved, with record sets open as its option says.
void MDIfrmTovan2000::recoverDeck(const QString& path) {
    if (!closeLoadedDeck()) return;
    loadEditor();
    {
        RecordingPause reading(session_->document());
        if (!ReadRecovery(path, session_->grids(), platform_)) {
            platform_.showMessage("The deck kept aside could not be read.",
                                  MessageIcon::Exclamation, "Tovan2000");
            return;
        }
    }
    session_->recoveredFrom(path);
    const std::string& option = editor_->grids().fpCardA.value(col::kAOption, 2);
    state_.EnableA = true;
    state_.EnableB1 = option == "0";
    state_.EnableB2 = option == "1";
    state_.EnableC = state_.EnableD = !option.empty();
    state_.DeckChanged = true;
    hideCover();
    if (coverWindow_) coverWindow_->show();
    showEditor();
}

void MDIfrmTovan2000::mnuHelpAbout_Click() {
    TrapErrors(platform_, "mnuHelpAbout Error!", [this] {
        auto* about = findChild<frmAbout*>();
        if (!about) about = new frmAbout(this);
        about->move(pos());
        about->show();
    });
}

void MDIfrmTovan2000::popupEditMenu(const QPoint& globalPos) {
    mnuEdit_->popup(globalPos);
}

} // namespace tovan
