#include "shell/MDIfrmTovan2000.h"

#include "editor/ErrorTrap.h"
#include "editor/GridView.h"
#include "editor/Twips.h"
#include "editor/clsEdit.h"
#include "editor/frmInput.h"
#include "fileio/SaveFile.h"
#include "run/frmTOVAN98.h"
#include "shell/WindowPlacement.h"
#include "shell/frmAbout.h"
#include "shell/frmCover.h"
#include "shell/frmTech.h"

#include <QApplication>
#include <QCloseEvent>
#include <QFile>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenuBar>
#include <QStatusBar>

namespace tovan {

namespace {

constexpr std::string_view kDialogSection = "CommonDialog";
constexpr std::string_view kFolderKey = "Directory";

} // namespace

MDIfrmTovan2000::MDIfrmTovan2000(ApplicationState& state, Platform& platform, DeckFiles& files,
                                 QWidget* parent)
    : QMainWindow(parent), state_(state), platform_(platform), files_(files),
      mdi_(new QMdiArea(this)) {
    setObjectName(QStringLiteral("MDIfrmTovan2000"));
    setWindowTitle(QStringLiteral("Tovan2000"));
    mdi_->setBackground(QColor(128, 128, 128));
    setCentralWidget(mdi_);
    statusBar()->setObjectName(QStringLiteral("StatusBar1"));
    buildMenus();
    // The placement it was designed with, kept when the stored one cannot be used.
    resize(TwipsToPixelsX(kDefaultWidthTwips), TwipsToPixelsY(kDefaultHeightTwips));
    connect(mdi_, &QMdiArea::subWindowActivated, this, &MDIfrmTovan2000::onSubWindowActivated);
}

MDIfrmTovan2000::~MDIfrmTovan2000() {
    // The area announces its children's going while the window is half destroyed.
    disconnect(mdi_, nullptr, this, nullptr);
    reading_.deck.reset();
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
    // Never made available; shown greyed rather than hidden so the menu bar keeps its shape.
    addMenu(nullptr, "mnuEdit2", "&Edit2")->menuAction()->setEnabled(false);
}

void MDIfrmTovan2000::buildFileMenu() {
    QMenu* file = addMenu(nullptr, "mnuFile", "&File");
    addItem(file, "mnuFileCreate", "&Create New", &MDIfrmTovan2000::mnuFileCreate_Click);
    QMenu* open = addMenu(file, "mnuFileOpen", "&Open");
    addItem(open, "mnuOpenExcel", "&Excel '97 Spreadsheet")->setEnabled(false);
    addItem(open, "mnuOpenTovan", "&Tovan Files", &MDIfrmTovan2000::mnuOpenTovan_Click);
    addItem(open, "mnuOpenResults", "&Results...", &MDIfrmTovan2000::mnuOpenResults_Click);
    addItem(file, "mnuFileClose", "&Close", &MDIfrmTovan2000::mnuFileClose_Click);
    addSeparator(file, "mnuSep1");
    addItem(file, "mnuFileSave", "&Save", &MDIfrmTovan2000::mnuFileSave_Click)
        ->setShortcut(QKeySequence(QStringLiteral("Ctrl+S")));
    addItem(file, "mnuFileSaveAs", "S&ave As")->setEnabled(false);
    addSeparator(file, "mnuSep3");
    addItem(file, "mnuFileRun", "&Run Tovan File", &MDIfrmTovan2000::mnuFileRun_click);
    addItem(file, "mnuFileRunDeck", "Run This &Deck", &MDIfrmTovan2000::mnuFileRunDeck_Click)
        ->setShortcut(QKeySequence(Qt::Key_F5));
    addSeparator(file, "mnuSep2");
    addItem(file, "mnuFileExit", "E&xit", &MDIfrmTovan2000::mnuFileExit_Click);
}

void MDIfrmTovan2000::buildEditMenu() {
    mnuEdit_ = addMenu(nullptr, "mnuEdit", "&Edit");
    addItem(mnuEdit_, "mnuEditDelete", "&Delete Row")->setEnabled(false);
    addItem(mnuEdit_, "mnuEditCut", "C&ut Data", &MDIfrmTovan2000::mnuEditCut_Click)
        ->setShortcut(QKeySequence(QStringLiteral("Ctrl+X")));
    addItem(mnuEdit_, "mnuEditCopy1", "&Copy Data", &MDIfrmTovan2000::mnuEditCopy1_Click)
        ->setShortcut(QKeySequence(QStringLiteral("Ctrl+C")));
    addItem(mnuEdit_, "mnuEditPaste", "&Paste Data", &MDIfrmTovan2000::mnuEditPaste_Click)
        ->setShortcut(QKeySequence(QStringLiteral("Ctrl+V")));
    addSeparator(mnuEdit_, "mnuEditSep1");
    addItem(mnuEdit_, "mnuEdit2Next", "&NextCard");
    addItem(mnuEdit_, "mnuEdit2Back", "&Back", &MDIfrmTovan2000::mnuEdit2Back_click);
    addItem(mnuEdit_, "mnuEdit2Clear", "&Clear &All", &MDIfrmTovan2000::mnuEdit2Clear_click)
        ->setEnabled(false);
}

QAction* MDIfrmTovan2000::menuItem(std::string_view name) const {
    const auto found = items_.find(name);
    return found == items_.end() ? nullptr : found->second;
}

void MDIfrmTovan2000::setMenuItemVisible(std::string_view name, bool visible) {
    if (QAction* item = menuItem(name)) item->setVisible(visible);
}

void MDIfrmTovan2000::MDIForm_Load() {
    for (const char* item : {"mnuEdit", "mnuFileSave", "mnuSep3"})
        setMenuItemVisible(item, false);
    TrapErrors(platform_, "MIForm_Load Error!", [this] { RestorePlacement(*this, platform_); });
}

bool MDIfrmTovan2000::event(QEvent* event) {
    if (event->type() == QEvent::WindowActivate) MDIForm_Activate();
    if (event->type() == QEvent::Show) KeepOnScreen(*this); // now with its frame
    return QMainWindow::event(event);
}

void MDIfrmTovan2000::MDIForm_Activate() {
    setMenuItemVisible("mnuFile", true);
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
    editor_ = new frmInput(state_, platform_, *this);
    editorWindow_ = mdi_->addSubWindow(editor_);
    editorWindow_->setAttribute(Qt::WA_DeleteOnClose);
    editorWindow_->setWindowIcon(windowIcon());
    editorWindow_->hide();
}

// An editor left loaded and hidden by a failed open is not the deck the user now asks for.
void MDIfrmTovan2000::discardHiddenEditor() {
    if (!editorWindow_ || editorWindow_->isVisible()) return;
    reading_.deck.reset();
    delete editorWindow_;
}

void MDIfrmTovan2000::showEditor() {
    if (!editorWindow_) return;
    editorWindow_->showMaximized();
    mdi_->setActiveSubWindow(editorWindow_);
}

void MDIfrmTovan2000::hideEditor() {
    if (editorWindow_) editorWindow_->hide();
}

void MDIfrmTovan2000::requestEditorUnload() {
    if (editorWindow_) editorWindow_->close();
}

void MDIfrmTovan2000::setFileMenuItemsVisible(bool visible) {
    setMenuItemVisible("mnuFileCreate", visible);
    setMenuItemVisible("mnuFileOpen", visible);
}

void MDIfrmTovan2000::setCardASize(int widthTwips, int heightTwips) {
    if (editor_) editor_->setCardASize(widthTwips, heightTwips);
}

// After a cancelled or failed open the editor stays hidden; its activation would take the
// cover and the File menu's Create New and Open away with nothing to show instead. The user
// gets the cover back, with the menus of a program without a deck.
void MDIfrmTovan2000::forceFormActivate() {
    if (editor_ && editorWindow_ && editorWindow_->isVisible()) {
        editor_->ForceFormActivate();
        return;
    }
    backToCover();
    for (const char* item : {"mnuFileCreate", "mnuFileOpen", "mnuFileRun", "mnuSep2"})
        setMenuItemVisible(item, true);
    for (const char* item : {"mnuFileSave", "mnuSep3", "mnuEdit"})
        setMenuItemVisible(item, false);
}

void MDIfrmTovan2000::backToCover() {
    if (!coverWindow_) return;
    coverWindow_->showNormal();
    coverWindow_->show();
    coverWindow_->showMaximized();
    mdi_->setActiveSubWindow(coverWindow_);
}

void MDIfrmTovan2000::mnuFileCreate_Click() {
    TrapErrors(platform_, "mnuFileCreate_Click Error!", [this] {
        platform_.setBusy(true); // the editor's activation restores the arrow
        hideCover();
        if (coverWindow_) coverWindow_->show();
        discardHiddenEditor();
        loadEditor();
        showEditor();
        deckPath_.clear();
    });
}

void MDIfrmTovan2000::mnuOpenTovan_Click() {
    TrapErrors(platform_, "mnuOpenTovan_Click Error!", [this] {
        discardHiddenEditor();
        loadEditor();
        ReadingContext context{editor_->grids(), reading_, state_, platform_};
        files_.open(context, *this);
        if (!reading_.ReadFailed) deckPath_ = reading_.DeckFileName;
    });
}

void MDIfrmTovan2000::mnuFileClose_Click() {
    TrapErrors(platform_, "mnuFileClose Error!", [this] {
        QMdiSubWindow* active = mdi_->currentSubWindow();
        if (!active || !active->isVisible()) active = editorWindow_;
        if (!active || active == coverWindow_) return;
        state_.CloseAllowed = true;
        setMenuItemVisible("mnuFileRun", true);
        setMenuItemVisible("mnuSep2", true);
        active->close();
        backToCover();
    });
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
    request.filter = "Tovan2000 Files (*.tvi)|*.tvi|All Files (*.*)|*.*";
    request.initialDirectory = platform_.setting(kDialogSection, kFolderKey, "C:\\");
    const auto chosen = platform_.chooseFileToSave(request);
    if (!chosen) {
        platform_.setBusy(false);
        return false;
    }
    saveFileName_ = *chosen;
    platform_.saveSetting(kDialogSection, kFolderKey, FolderOf(saveFileName_));
    platform_.setBusy(true);
    const std::int32_t result = files_.save(editor_->grids(), saveFileName_, platform_);
    if (result == 0) {
        deckPath_ = saveFileName_;
        platform_.showMessage("Save operation was sucessful.", MessageIcon::Information,
                              "SaveFile");
    } else {
        platform_.showDetailedMessage("Error saving file.",
                                      SaveFailureDetail(result, saveFileName_),
                                      MessageIcon::Exclamation, "mnuFileSave_Click Error!");
    }
    platform_.setBusy(false);
    return result == 0;
}

void MDIfrmTovan2000::mnuFileRun_click() {
    TrapErrors(platform_, "mnuFileRun_Click Error!", [this] {
        auto* form = new run::frmTOVAN98(this, platform_); // deletes itself when unloaded
        connect(form, &run::frmTOVAN98::aboutRequested, this, &MDIfrmTovan2000::mnuHelpAbout_Click);
        // An engine other than ours writes no results file; its runs end as they always did.
        connect(form, &run::frmTOVAN98::runCompleted, this, [this](const QString& results) {
            if (QFile::exists(results)) openResults(results.toStdString());
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
