#include "editor/frmInput.h"

#include "deck/FieldHelp.h"
#include "deck/modChangeSpread.h"
#include "editing/ErrorTrap.h"
#include "editing/TabControl.h"
#include "editor/CheckDeckPanel.h"
#include "editor/GridTableModel.h"
#include "editor/GridView.h"
#include "editor/Twips.h"
#include "editor/VirtualKeys.h"
#include "editor/frmEmpty.h"
#include "fileio/SaveFile.h"
#include "fortranio/NumericText.h"
#include "slope/SLOPEfrm.h"
#include "storms/DesignStormDialog.h"

#include <QApplication>
#include <QCloseEvent>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QPushButton>
#include <QScrollBar>
#include <algorithm>
#include <map>

namespace tovan {

namespace {

constexpr double kMarginTwips = 100;   // each side of the grids
constexpr double kMinGridTwips = 500;  // the narrowest a grid gets
constexpr double kCardDGapTwips = 100; // between fpCardC and fpCardD
constexpr double kCardAWidthTwips = 6975;

QPushButton* NewButton(const QString& caption, QWidget* parent) {
    auto* button = new QPushButton(caption, parent);
    button->setAutoDefault(false);
    button->setFocusPolicy(Qt::TabFocus);
    // A narrow window (a laptop at 150 %) takes room from the buttons, whose captions are
    // short, before it cuts the record set's name off.
    const QFontMetrics metrics = button->fontMetrics();
    button->setMinimumWidth(metrics.horizontalAdvance(QString(caption).remove(QLatin1Char('&'))) +
                            4 * metrics.averageCharWidth());
    return button;
}

} // namespace

frmInput::frmInput(DeckDocument& document, ApplicationState& state, Platform& platform,
                   EditorHost& host, QWidget* parent)
    : QWidget(parent), state_(state), platform_(platform), host_(host), document_(document),
      grids_(document_.grids()), messages_(platform), rules_(grids_, state, messages_, *this) {
    setObjectName(QStringLiteral("frmInput"));
    setWindowTitle(QStringLiteral("Tovan Edit Form"));
    buildControls();
    connectGrids();
    qApp->installEventFilter(this);
    Form_Load();
}

// The grid views and the calculator go before the grids they use (children would otherwise
// outlive them).
frmInput::~frmInput() {
    qApp->removeEventFilter(this);
    delete slope_;
    for (GridView* grid : {fpCardA, fpCardB1, fpCardB2, fpCardC, fpCardD})
        delete grid;
}

GridView* frmInput::newGrid(Grid& grid) {
    auto* view = new GridView(this);
    view->setObjectName(QString::fromStdString(grid.name()));
    view->setGrid(grid);
    return view;
}

void frmInput::buildControls() {
    buttonBar_ = new QWidget(this);
    auto* bar = new QHBoxLayout(buttonBar_);
    bar->setContentsMargins(0, 4, 0, 4);
    lblTitle = new QLabel(QStringLiteral("Record Set A"), buttonBar_);
    QFont titleFont = lblTitle->font();
    titleFont.setBold(true);
    titleFont.setPointSizeF(titleFont.pointSizeF() * 1.4);
    lblTitle->setFont(titleFont);
    lblTitle->setMinimumWidth(
        QFontMetrics(titleFont).horizontalAdvance(QStringLiteral("Record Set CD")) + 4);
    cmdA = NewButton(QStringLiteral("A"), buttonBar_);
    cmdB1 = NewButton(QStringLiteral("B1"), buttonBar_);
    cmdB2 = NewButton(QStringLiteral("B2"), buttonBar_);
    cmdCD = NewButton(QStringLiteral("C/D"), buttonBar_);
    cmdBack = NewButton(QStringLiteral("&Back"), buttonBar_);
    cmdBack->setToolTip(QStringLiteral("Resets the focus on the active spreadsheet"));
    bar->addWidget(lblTitle, 1);
    for (QPushButton* button : {cmdA, cmdB1, cmdB2, cmdCD, cmdBack})
        bar->addWidget(button);
    auto* Image1 = new QLabel(buttonBar_);
    Image1->setPixmap(qApp->windowIcon().pixmap(28, 28));
    bar->addWidget(Image1);

    fpCardA = newGrid(grids_.fpCardA);
    fpCardA->horizontalHeader()->setStretchLastSection(true); // the title gets the room left
    fpCardB1 = newGrid(grids_.fpCardB1);
    fpCardB2 = newGrid(grids_.fpCardB2);
    fpCardC = newGrid(grids_.fpCardC);
    fpCardD = newGrid(grids_.fpCardD);
    // Every label and cell tells what its field is, from the core's field table.
    for (const char* set : {"A", "B1", "B2", "C", "D"}) {
        gridView(set)->gridModel()->setFieldHelp([set = std::string(set)](int col) {
            return QString::fromLatin1(FieldHelpText(set, col));
        });
    }
    // A depth of a long storm tells which step it is and when it falls.
    fpCardB1->gridModel()->setCellNote([this](int col, int row) {
        return QString::fromStdString(DescribeStepAt(grids_, col, row));
    });
    // With many catchments only a few D rows show: each names its catchment from record C, and
    // the two grids scroll together, so the caret's row is never anonymous.
    fpCardD->gridModel()->setRowName([this](int row) {
        return QString::fromLatin1(grids_.fpCardC.value(col::kCIdent, row)).trimmed();
    });
    connect(fpCardC->gridModel(), &QAbstractItemModel::dataChanged, fpCardD->gridModel(),
            [this](const QModelIndex& from, const QModelIndex& to) {
                const int ident = col::kCIdent;
                if (fpCardC->gridModel()->gridCol(from.column()) <= ident &&
                    fpCardC->gridModel()->gridCol(to.column()) >= ident)
                    fpCardD->gridModel()->rowNamesChanged();
            });
    for (auto [one, other] : {std::pair(fpCardC, fpCardD), std::pair(fpCardD, fpCardC)}) {
        connect(one->verticalScrollBar(), &QScrollBar::valueChanged, other->verticalScrollBar(),
                &QScrollBar::setValue);
    }
    // Each grid's label row is its header, so it stays in view while the records scroll
    // (fpCardA's one record never scrolls at all).

    connect(cmdA, &QPushButton::clicked, this, &frmInput::cmdA_Click);
    connect(cmdB1, &QPushButton::clicked, this, &frmInput::cmdB1_Click);
    connect(cmdB2, &QPushButton::clicked, this, &frmInput::cmdB2_Click);
    connect(cmdCD, &QPushButton::clicked, this, &frmInput::cmdCD_Click);
    connect(cmdBack, &QPushButton::clicked, this, &frmInput::cmdBack_Click);
}

void frmInput::connectGrids() {
    connectRules();
    connectKeys();
    connectHistory();
    connectPastes();
    followCatchmentRow();
    const std::pair<GridView*, const char*> popups[] = {{fpCardA, "fpCardA_Mouseup Error!"},
                                                        {fpCardB1, "fpCardB1_MouseUp Error!"},
                                                        {fpCardC, "fpCardC_MouseUp Error!"},
                                                        {fpCardD, "fpCardD_MouseUp Error!"}};
    // B2 has no pop-up menu: its Insert and Delete Record are in the Edit menu and on their keys.
    for (const auto& [grid, title] : popups) {
        connect(grid, &GridView::MouseUp, this,
                [this, grid, title](int button, int, const QPoint& at) {
                    if (!grid->isHidden()) popupOver(button, at, title);
                });
    }
    // C and D share the height by their row counts.
    for (GridView* grid : {fpCardC, fpCardD}) {
        connect(grid->gridModel(), &QAbstractItemModel::rowsInserted, this, &frmInput::Form_Resize);
        connect(grid->gridModel(), &QAbstractItemModel::rowsRemoved, this, &frmInput::Form_Resize);
    }
    // C and D scroll together, so that a catchment's two records stay in view at once.
    QScrollBar* cBar = fpCardC->verticalScrollBar();
    QScrollBar* dBar = fpCardD->verticalScrollBar();
    connect(cBar, &QScrollBar::valueChanged, dBar, &QScrollBar::setValue);
    connect(dBar, &QScrollBar::valueChanged, cBar, &QScrollBar::setValue);
    // Pastes, cuts and Delete change the document without a change event of their own.
    for (GridView* grid : {fpCardA, fpCardB1, fpCardB2, fpCardC, fpCardD}) {
        connect(grid->gridModel(), &GridTableModel::blockEdited, this,
                [this] { state_.DeckChanged = true; });
    }
}

// The grid events go to the editor's cell rules.
void frmInput::connectRules() {
    // Named first: the rules' own changes join the step of the click that caused them. D's
    // button is Build Slope, whose OK names its own step.
    for (GridView* grid : {fpCardB1, fpCardC}) {
        connect(grid, &GridView::ButtonClicked, this,
                [this] { document_.nameStep(tr("Add Row")); });
    }
    const auto forward = [this](GridView* grid, auto signal, void (CellRules::*rule)(int, int)) {
        connect(grid, signal, this, [this, grid, rule](int col, int row) {
            messages_.setPlace(placeText(grid, col, row));
            (rules_.*rule)(col, row);
        });
    };
    forward(fpCardA, &GridView::Change, &CellRules::fpCardA_Change);
    forward(fpCardB1, &GridView::Change, &CellRules::fpCardB1_Change);
    forward(fpCardB2, &GridView::Change, &CellRules::fpCardB2_Change);
    forward(fpCardC, &GridView::Change, &CellRules::fpCardC_Change);
    forward(fpCardD, &GridView::Change, &CellRules::fpCardD_Change);
    forward(fpCardC, &GridView::Click, &CellRules::fpCardC_Click);
    forward(fpCardD, &GridView::Click, &CellRules::fpCardD_Click);
    forward(fpCardB1, &GridView::ButtonClicked, &CellRules::fpCardB1_ButtonClicked);
    forward(fpCardC, &GridView::ButtonClicked, &CellRules::fpCardC_ButtonClicked);
    forward(fpCardD, &GridView::ButtonClicked, &CellRules::fpCardD_ButtonClicked);
    // The option is remembered as the user starts to edit a cell of record set A, before any
    // change can reach it. (Not on focus: the change rule itself hides and shows the grid,
    // which hands it the focus again after the cell has already changed.)
    connect(fpCardA, &GridView::EditMode, this, [this] { rules_.rememberRainOption(); });
}

// The catchment the caret was last on in C or D: clicking "Build Slope" puts the caret on the
// button row, and the calculator's Apply is for the catchment the user was working on.
void frmInput::followCatchmentRow() {
    for (GridView* grid : {fpCardC, fpCardD}) {
        connect(grid->gridModel(), &GridTableModel::activeCellMoved, this, [this, grid] {
            const int row = grid->activeRow();
            if (row >= 2 && row < grid->grid().maxRows()) lastCatchmentRow_ = row;
        });
    }
}

void frmInput::connectHistory() {
    for (GridView* grid : {fpCardA, fpCardB1, fpCardB2, fpCardC, fpCardD}) {
        connect(grid->gridModel(), &GridTableModel::stepStarting, &document_,
                &DeckDocument::nameStep);
    }
    connect(&document_, &DeckDocument::stepApplied, this, &frmInput::showUndoneCell);
}

// The deck counts as edited unless the history is back where the deck was read or saved.
void frmInput::undo() {
    commitPendingEdit();
    document_.closeStep();
    document_.undoStack().undo();
    state_.DeckChanged = !document_.isSaved(); // the stack's index moves after the step ran
}

void frmInput::redo() {
    commitPendingEdit();
    document_.closeStep();
    document_.undoStack().redo();
    state_.DeckChanged = !document_.isSaved();
}

// After an undo or redo the user sees what changed: its record set, with the cell selected.
// The buttons follow the rainfall option as it now is.
void frmInput::showUndoneCell(Grid* grid, int col, int row) {
    const std::pair<Grid*, void (frmInput::*)()> sets[] = {
        {&grids_.fpCardA, &frmInput::cmdA_Click},
        {&grids_.fpCardB1, &frmInput::cmdB1_Click},
        {&grids_.fpCardB2, &frmInput::cmdB2_Click},
        {&grids_.fpCardC, &frmInput::cmdCD_Click},
        {&grids_.fpCardD, &frmInput::cmdCD_Click}};
    for (const auto& [setGrid, show] : sets) {
        if (setGrid == grid) (this->*show)();
    }
    const std::string& option = grids_.fpCardA.value(col::kAOption, 2);
    cmdB1->setEnabled(option == "0");
    cmdB2->setEnabled(option == "1");
    cmdCD->setEnabled(state_.EnableD || grids_.fpCardB1.dataRowCnt() > 1 ||
                      grids_.fpCardB2.dataRowCnt() > 1);
    for (GridView* view : {fpCardA, fpCardB1, fpCardB2, fpCardC, fpCardD}) {
        if (&view->grid() != grid) continue;
        const int shownRow = std::clamp(row, 2, std::max(grid->maxRows(), 2));
        view->setFocus();
        view->setActiveCell(col, shownRow);
    }
}

// A paste runs the cell rules of every cell it changes; their messages come together in one box
// after it, with the place of each, and with the cells that kept their value and why.
void frmInput::connectPastes() {
    for (GridView* grid : {fpCardA, fpCardB1, fpCardB2, fpCardC, fpCardD}) {
        connect(grid->gridModel(), &GridTableModel::pasteBegins, this,
                [this] { messages_.hold(); });
        connect(
            grid->gridModel(), &GridTableModel::pasteEnded, this,
            [this, grid](const GridTableModel::PasteReport& report) { reportPaste(grid, report); });
    }
}

// "Record Set B2, row 3, Return Period (Years):" with the row as the grid numbers it.
std::string frmInput::placeText(const GridView* view, int col, int row) const {
    const Grid& grid = view->grid();
    std::string label = grid.contains(col, 1) ? grid.value(col, 1) : std::string();
    while (!label.empty() && (label.back() == ':' || label.back() == ' '))
        label.pop_back();
    if (label.empty()) label = "column " + std::to_string(col);
    return "Record Set " + recordSetOf(view) + ", row " + std::to_string(row - 1) + ", " + label;
}

void frmInput::reportPaste(const GridView* view, const GridTableModel::PasteReport& report) {
    document_.closeStep(); // one paste, one step, before any box runs an event loop
    const std::vector<MessageBatch::Held> held = messages_.release();
    std::string detail;
    const auto line = [&detail](const std::string& text) { detail += text + "\n"; };
    for (std::size_t i = 0; i < held.size(); ++i) {
        if (i == 0 || held[i].text != held[i - 1].text || held[i].title != held[i - 1].title)
            line(held[i].title + ": " + held[i].text);
        line("  at " + held[i].place);
    }
    for (const auto& note : report.skipped)
        line(placeText(view, note.col, note.row) + ": \"" + note.text + "\" " + note.why +
             "; the cell keeps its value.");
    for (const auto& note : report.rounded)
        line(placeText(view, note.col, note.row) + ": \"" + note.text + "\" was stored as " +
             note.why + ", the decimals the field keeps.");
    if (report.beyondEdge > 0)
        line(std::to_string(report.beyondEdge) +
             " pasted values lay past the grid's last column or row and were not stored.");
    if (!held.empty()) {
        platform_.showDetailedMessage(held.front().text, detail, held.front().icon,
                                      held.front().title);
    } else if (!report.skipped.empty() || report.beyondEdge > 0) {
        const std::size_t kept =
            report.skipped.size() + static_cast<std::size_t>(report.beyondEdge);
        platform_.showDetailedMessage("Not every pasted value was stored: " + std::to_string(kept) +
                                          (kept == 1 ? " value was" : " values were") +
                                          " left out.",
                                      detail, MessageIcon::Exclamation, "Paste");
    } else if (!report.rounded.empty()) {
        platform_.showDetailedMessage("Some pasted numbers had more decimals than their fields "
                                      "keep and were rounded.",
                                      detail, MessageIcon::Information, "Paste");
    }
}

GridView* frmInput::gridView(std::string_view recordSet) const {
    const std::pair<std::string_view, GridView*> views[] = {
        {"A", fpCardA}, {"B1", fpCardB1}, {"B2", fpCardB2}, {"C", fpCardC}, {"D", fpCardD}};
    for (const auto& [name, view] : views) {
        if (name == recordSet) return view;
    }
    return nullptr;
}

std::string frmInput::recordSetOf(const GridView* view) const {
    for (const char* set : {"A", "B1", "B2", "C", "D"}) {
        if (gridView(set) == view) return set;
    }
    return {};
}

GridView* frmInput::currentGridView() const {
    for (GridView* view : {fpCardA, fpCardB1, fpCardB2, fpCardC, fpCardD}) {
        if (view->hasFocus() && !view->isHidden()) return view;
    }
    for (GridView* view : {fpCardA, fpCardB1, fpCardB2, fpCardC, fpCardD}) {
        if (!view->isHidden()) return view;
    }
    return nullptr;
}

void frmInput::showCell(const CellPlace& place) {
    if (GridView* view = gridView(place.recordSet))
        showUndoneCell(&view->grid(), std::max(place.col, 1), place.row);
}

namespace {

// The rows of the B1 storm at `row`; a row without a storm number stands alone (the save would
// join it to the empty rows beside it).
std::pair<int, int> StormAt(const Grid& b1, int row) {
    if (TrimBlanks(b1.text(col::kB1Storm, row)).empty()) return {row, row};
    return StormRows(b1, row);
}

} // namespace

void frmInput::addRecord() {
    GridView* view = currentGridView();
    GridView* withButton = view == fpCardD ? fpCardC : view;
    if (withButton != fpCardC && withButton != fpCardB1) return;
    const int rows = withButton->grid().maxRows();
    emit withButton->ButtonClicked(1, rows);
    if (withButton->grid().maxRows() == rows) return; // refused, with its message
    if (withButton == fpCardC) {                      // C and D stay on one catchment
        fpCardC->setActiveCell(2, rows);
        fpCardD->setActiveCell(2, rows);
    }
    view->setFocus();
    view->setActiveCell(2, rows);
}

void frmInput::insertRecord() {
    GridView* view = currentGridView();
    const int row = view ? view->activeRow() : 0;
    if (!view || row < kTemplateRow || row >= view->grid().maxRows()) return;
    if (view == fpCardC || view == fpCardD) {
        document_.nameStep(tr("Insert Catchment"));
        InsertRecordRow(grids_.fpCardC, row);
        InsertRecordRow(grids_.fpCardD, row);
        rules_.LockD1Blocks();
    } else if (view == fpCardB1) {
        document_.nameStep(tr("Insert Storm"));
        InsertRecordRow(grids_.fpCardB1, StormAt(grids_.fpCardB1, row).first);
    } else if (view == fpCardB2) {
        if (!insertB2Storm(row)) return;
    } else {
        platform_.showMessage("Insert Record works on the storms of record sets B1 and B2 and "
                              "on the catchments of record set CD.",
                              MessageIcon::Information, "Insert Record");
        return;
    }
    view->setActiveCell(view->activeCol(), row);
}

// B2 has a row for each of its 100 storms: the storms below move down one row, which the
// last storm row must leave room for.
bool frmInput::insertB2Storm(int row) {
    Grid& b2 = grids_.fpCardB2;
    document_.nameStep(tr("Insert Storm"));
    if (MoveValuesDown(b2, row)) return true;
    platform_.showMessage("The last storm row of record set B2 holds a storm, which would have "
                          "no row to move to. Delete a storm or clear the last row first.",
                          MessageIcon::Information, "Insert Record");
    return false;
}

void frmInput::deleteRecord() {
    GridView* view = currentGridView();
    const int row = view ? view->activeRow() : 0;
    if (!view || row < kTemplateRow || row >= view->grid().maxRows()) return;
    const int records = view->grid().maxRows() - kTemplateRow; // without labels and buttons
    if (view == fpCardC || view == fpCardD) {
        if (records <= 1) {
            platform_.showMessage("The only catchment cannot be deleted; its cells can be "
                                  "cleared.",
                                  MessageIcon::Information, "Delete Record");
            return;
        }
        document_.nameStep(tr("Delete Catchment"));
        grids_.fpCardC.deleteRows(row, row);
        grids_.fpCardD.deleteRows(row, row);
    } else if (view == fpCardB1) {
        const auto [first, last] = StormAt(grids_.fpCardB1, row);
        if (last - first + 1 >= records) {
            platform_.showMessage("The only storm cannot be deleted; its cells can be cleared.",
                                  MessageIcon::Information, "Delete Record");
            return;
        }
        document_.nameStep(tr("Delete Storm"));
        grids_.fpCardB1.deleteRows(first, last);
    } else if (view == fpCardB2) {
        document_.nameStep(tr("Delete Storm"));
        MoveValuesUp(grids_.fpCardB2, row);
    } else {
        platform_.showMessage("Delete Record works on the storms of record sets B1 and B2 and "
                              "on the catchments of record set CD.",
                              MessageIcon::Information, "Delete Record");
        return;
    }
    const int caret = std::min(row, view->grid().maxRows() - 1);
    view->setActiveCell(view->activeCol(), caret);
}

void frmInput::designStorm() {
    if (grids_.fpCardA.value(col::kAOption, kTemplateRow) != "0") {
        platform_.showMessage("Design storms go into record set B1, the detailed hyetographs. "
                              "Choose rainfall option 1 in record set A first; a deck of "
                              "one-hour depths (record set B2) builds its storms from them.",
                              MessageIcon::Information, "Design Storm");
        return;
    }
    DesignStormDialog dialog(grids_, platform_, this);
    if (dialog.exec() != QDialog::Accepted || !dialog.prepared()) return;
    const PreparedStorm& storm = *dialog.prepared();
    document_.nameStep(storm.replaces ? tr("Replace Storm") : tr("Place Storm"));
    PlaceStorm(grids_, storm);
    document_.closeStep();
    state_.DeckChanged = true;
    enableCDButton();
    cmdB1_Click();
    if (const auto rows = RowsOfStorm(grids_.fpCardB1, storm.number))
        fpCardB1->setActiveCell(col::kB1FirstDepth, rows->first);
}

void frmInput::showCatchment(int row) {
    cmdCD_Click();
    fpCardC->setActiveCell(col::kCIdent, row);
    fpCardD->setFocus();
    fpCardD->setActiveCell(col::kDArea, row);
    fpCardC->scrollTo(fpCardC->gridModel()->cellIndex(col::kCIdent, row));
}

void frmInput::markFindings(const std::vector<Finding>& findings) {
    std::map<GridView*, GridTableModel::CellMarks> marks;
    for (const Finding& finding : findings) {
        GridView* view = gridView(finding.place.recordSet);
        if (!view || finding.place.row < 2) continue;
        auto& cell = marks[view][{finding.place.col, finding.place.row}];
        // The gravest finding gives the tint; every finding of the cell is in the tooltip.
        if (cell.text.isEmpty() || finding.kind < cell.kind) {
            cell.tint = FindingTint(finding.kind);
            cell.kind = finding.kind;
        }
        cell.text += (cell.text.isEmpty() ? QString() : QStringLiteral("\n")) +
                     QString::fromLatin1(ClassName(finding.kind)) + QStringLiteral(": ") +
                     QString::fromLatin1(finding.text);
    }
    for (GridView* view : {fpCardA, fpCardB1, fpCardB2, fpCardC, fpCardD})
        view->gridModel()->setMarks(std::move(marks[view]));
}

// The caret stays off locked cells in A, C and D; C and D keep to the same catchment.
void frmInput::connectKeys() {
    for (GridView* grid : {fpCardA, fpCardC, fpCardD}) {
        connect(grid, &GridView::KeyDown, this, [this, grid](int key, int shift) {
            TabControl(grid->grid(), key, shift, platform_);
        });
    }
    connect(fpCardC, &GridView::KeyUp, this, [this](int key, int) {
        CardCDKeyUp(grids_.fpCardC, grids_.fpCardD, key, platform_, "fpCardC_KeyUp Error!");
    });
    connect(fpCardD, &GridView::KeyUp, this, [this](int key, int) {
        CardCDKeyUp(grids_.fpCardD, grids_.fpCardC, key, platform_, "fpCardD_KeyUp Error!");
    });
}

void frmInput::Form_Load() {
    RecordingPause setup(document_);
    TrapErrors(platform_, "Form_Load Error!", [this] {
        for (GridView* grid : {fpCardB1, fpCardB2, fpCardD, fpCardC})
            grid->hide();
        rules_.forgetRainOption();
        setCardASize(kCardAWidthTwips, 1455);
        Clear();
        fpCardA->show();
        fpCardA->setActiveCell(col::kAOption, 2);
        setButtonsFromFlags();
    });
}

void frmInput::setButtonsFromFlags() {
    cmdA->setEnabled(state_.EnableA);
    cmdB1->setEnabled(state_.EnableB1);
    cmdB2->setEnabled(state_.EnableB2);
    cmdCD->setEnabled(state_.EnableC);
    cmdCD->setEnabled(state_.EnableD); // the D flag decides
}

void frmInput::ForceFormActivate() {
    Form_Activate();
}

void frmInput::Form_Activate() {
    RecordingPause setup(document_); // re-locking D1 fields on activation is no user change
    TrapErrors(platform_, "Form_Activate Error!", [this] {
        host_.hideCover();
        platform_.setBusy(false);
        state_.CloseAllowed = false;
        host_.menuMoment(MenuMoment::EditorActivated);
        rules_.LockD1Blocks();
        setButtonsFromFlags();
        cmdA_Click();
    });
}

void frmInput::Clear() {
    TrapErrors(platform_, "Clear Error!", [this] {
        for (GridView* grid : {fpCardA, fpCardB1, fpCardB2, fpCardC, fpCardD})
            grid->hide();
    });
}

void frmInput::showOnly(GridView* grid, const char* title) {
    for (GridView* other : {fpCardA, fpCardB1, fpCardB2, fpCardC, fpCardD}) {
        if (other != grid) other->hide();
    }
    Clear();
    grid->show();
    lblTitle->setText(QString::fromLatin1(title));
    emit recordSetShown();
}

void frmInput::cmdA_Click() {
    TrapErrors(platform_, "cmdA_Click Error!", [this] {
        fpCardA->setActiveCell(col::kAOption, 2);
        showOnly(fpCardA, "Record Set A");
        fpCardA->setActiveCell(col::kAOption, 2);
        cmdBack->setEnabled(false);
        const std::string& option = grids_.fpCardA.value(col::kAOption, 2);
        if (option == "0" || option == "1") {
            cmdB1->setEnabled(option == "0");
            cmdB2->setEnabled(option == "1");
        }
    });
}

void frmInput::cmdB1_Click() {
    TrapErrors(platform_, "cmdB_Click Error!", [this] {
        showOnly(fpCardB1, "Record Set B1");
        fpCardB1->setFocus();
        fpCardB1->setActiveCell(1, 2);
        cmdBack->setEnabled(true);
    });
}

void frmInput::cmdB2_Click() {
    TrapErrors(platform_, "cmdB_Click Error!", [this] {
        showOnly(fpCardB2, "Record Set B2");
        fpCardB2->setFocus();
        fpCardB2->setActiveCell(1, 2);
        cmdBack->setEnabled(true);
    });
}

void frmInput::cmdCD_Click() {
    TrapErrors(platform_, "cmdCD_Click Error!", [this] {
        for (GridView* grid : {fpCardA, fpCardB1, fpCardB2})
            grid->hide();
        fpCardC->show();
        fpCardD->show();
        lblTitle->setText(QStringLiteral("Record Set CD"));
        emit recordSetShown();
        cmdBack->setEnabled(true);
    });
}

void frmInput::cmdBack_Click() {
    TrapErrors(platform_, "cmdBack_Click Error!", [this] {
        for (GridView* grid : {fpCardB1, fpCardA, fpCardB2, fpCardC, fpCardD}) {
            if (grid->isHidden()) continue;
            grid->setFocus();
            grid->setActiveCell(1, 2);
            return;
        }
    });
}

void frmInput::commitPendingEdit() {
    for (GridView* grid : {fpCardA, fpCardB1, fpCardB2, fpCardC, fpCardD})
        grid->commitOpenEditor();
}

void frmInput::setCardASize(double widthTwips, double heightTwips) {
    cardAHeightTwips_ = heightTwips;
    fpCardA->resize(TwipsToPixelsX(widthTwips), TwipsToPixelsY(heightTwips));
    Form_Resize();
}

void frmInput::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    Form_Resize();
}

// Every grid is as wide as the form less the margins, but never narrower than 500 twips;
// fpCardD sits 100 twips under fpCardC. fpCardA keeps its own height (one record); the other
// grids share the height that is left, so that a larger window shows more records.
void frmInput::Form_Resize() {
    const int left = TwipsToPixelsX(kMarginTwips);
    const double widthTwips = std::max(PixelsToTwipsX(width()) - 2 * kMarginTwips, kMinGridTwips);
    const int gridWidth = TwipsToPixelsX(widthTwips);
    buttonBar_->setGeometry(left, 0, std::max(width() - 2 * left, 10),
                            buttonBar_->sizeHint().height());
    const int top = buttonBar_->height() + 4;
    const int free = std::max(height() - top - left, 60);
    const int gap = TwipsToPixelsY(kCardDGapTwips);
    fpCardA->setGeometry(left, top, gridWidth, TwipsToPixelsY(cardAHeightTwips_));
    fpCardB1->setGeometry(left, top, gridWidth, free);
    fpCardB2->setGeometry(left, top, gridWidth, free);
    // C shows all its catchments down to "Add Row C/D" when the window lets it, as long as D
    // keeps its labels and two rows; D takes the rest. Each keeps at least its labels and one
    // row, so that every row can be scrolled into view: the form is never made lower than that.
    const int cLeast = fpCardC->heightForRows(1), dLeast = fpCardD->heightForRows(1);
    setMinimumHeight(top + cLeast + gap + dLeast + left);
    const int room = free - gap;
    const int cHeight = std::clamp(fpCardC->heightForRows(), cLeast,
                                   std::max({room - fpCardD->heightForRows(2), room / 3, cLeast}));
    fpCardC->setGeometry(left, top, gridWidth, cHeight);
    fpCardD->setGeometry(left, fpCardC->y() + fpCardC->height() + gap, gridWidth,
                         std::max(free - cHeight - gap, dLeast));
}

void frmInput::closeEvent(QCloseEvent* event) {
    if (Form_Unload()) {
        event->accept();
    } else {
        event->ignore();
    }
}

// Returns whether the form may go. Without CloseAllowed the close box only offers to save and
// takes the editing menus away; the main window's Close and Exit really close it.
bool frmInput::Form_Unload() {
    bool allowed = false;
    TrapErrors(platform_, "Form_Unload Error!", [this, &allowed] {
        commitPendingEdit();
        document_.closeStep();
        bool answeredNo = false;
        if (state_.DeckChanged) {
            if (platform_.askYesNo("Do you Want to save?", MessageIcon::Question, "TOVAN2000") ==
                Answer::Yes) {
                host_.mnuFileSave_Click();
                state_.DeckChanged = false;
            } else {
                answeredNo = true;
            }
        }
        host_.menuMoment(MenuMoment::EditorUnloads);
        // The close goes on whatever became of the save; what it did not save is kept aside.
        if (!state_.CloseAllowed) {
            if (!document_.isSaved()) host_.keepUnsavedDeck();
            return;
        }
        if (answeredNo || document_.isSaved()) {
            host_.forgetUnsavedDeck();
        } else {
            host_.keepUnsavedDeck();
        }
        host_.menuMoment(MenuMoment::EditorUnloadAllowed);
        closeEmptyCellReport();
        allowed = true;
    });
    return allowed;
}

// Nothing fills the empty-cell report yet; loading it hides it, and an empty one goes again.
void frmInput::closeEmptyCellReport() {
    auto* report = new frmEmpty(parentWidget());
    if (report->isListEmpty()) {
        delete report;
    } else {
        report->show();
    }
}

// The form sees every key release before the control with the focus does.
bool frmInput::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::KeyRelease && watched == QApplication::focusWidget() &&
        isAncestorOf(static_cast<QWidget*>(watched))) {
        Form_KeyUp(VirtualKeyCode(static_cast<QKeyEvent*>(event)->key()));
    }
    return QWidget::eventFilter(watched, event);
}

// Delete empties the cell through the grid's model, the path every user edit takes; the rule
// then finds it empty and marks the deck as changed, as any key release does.
void frmInput::Form_KeyUp(int keyCode) {
    auto* grid = qobject_cast<GridView*>(QApplication::focusWidget());
    if (grid && keyCode == kKeyDelete && grid->activeRow() != 1)
        grid->gridModel()->clearBlock(QRect(grid->activeCol(), grid->activeRow(), 1, 1));
    FormKeyUp(grid ? &grid->grid() : nullptr, keyCode, state_, platform_);
}

void frmInput::popupOver(int button, const QPoint& globalPos, const char* errorTitle) {
    if (button != 2) return;
    TrapErrors(platform_, errorTitle, [this, globalPos] { host_.popupEditMenu(globalPos); });
}

void frmInput::hideAllGrids() {
    Clear();
}

void frmInput::showCardAOptionCell() {
    fpCardA->setActiveCell(col::kAOption, 2);
    fpCardA->show();
}

void frmInput::enableB1Button(bool enabled) {
    cmdB1->setEnabled(enabled);
}

void frmInput::enableB2Button(bool enabled) {
    cmdB2->setEnabled(enabled);
}

void frmInput::enableCDButton() {
    cmdCD->setEnabled(true);
}

void frmInput::setTitle(std::string_view title) {
    lblTitle->setText(QString::fromLatin1(title.data(), static_cast<qsizetype>(title.size())));
    emit recordSetShown();
}

// The calculator writes the composite slope into the record D grid by code; the deck counts as
// edited, since the user put the value there.
void frmInput::showSlopeCalculator() {
    if (!slope_) {
        slope_ =
            new SLOPEfrm(this, grids_.fpCardD, platform_, [this] { return !fpCardD->isHidden(); });
        connect(slope_, &SLOPEfrm::compositeTransferred, this, [this](int, int row) {
            document_.nameStep(tr("Composite Slope"));
            state_.DeckChanged = true;
            host_.showStatus("Composite slope written into record D, " + catchmentName(row) + ".");
        });
        connect(slope_, &SLOPEfrm::compositeApplied, this, &frmInput::applyComposite);
        slope_->setCatchments(
            [this] {
                const int row = lastCatchmentRow_;
                const bool record = row >= 2 && row < grids_.fpCardD.maxRows();
                return SLOPEfrm::CaretCatchment{record ? row : 0,
                                                record ? catchmentName(row) : std::string()};
            },
            [this](int row) { return catchmentName(row); });
        connect(fpCardD->gridModel(), &GridTableModel::activeCellMoved, slope_,
                &SLOPEfrm::refreshTargets);
        connect(&document_, &DeckDocument::contentsChanged, slope_, &SLOPEfrm::refreshTargets);
    }
    slope_->refreshTargets();
    slope_->showModeless();
}

// "row 2, LOWER" as the grids show it: the row number of the C and D grids and the
// catchment's identification from record C.
std::string frmInput::catchmentName(int row) const {
    std::string ident = grids_.fpCardC.contains(col::kCIdent, row)
                            ? grids_.fpCardC.value(col::kCIdent, row)
                            : std::string();
    while (!ident.empty() && ident.back() == ' ')
        ident.pop_back();
    while (!ident.empty() && ident.front() == ' ')
        ident.erase(0, 1);
    return "row " + std::to_string(row - 1) + ", " +
           (ident.empty() ? std::string("no identification") : ident);
}

// "Apply to": the composite typed into the caret's catchment, as the user would type it.
void frmInput::applyComposite(int col, int row, const QString& composite) {
    document_.nameStep(tr("Composite Slope"));
    GridTableModel* model = fpCardD->gridModel();
    if (!model->setData(model->cellIndex(col, row), composite.trimmed(), Qt::EditRole)) return;
    document_.closeStep();
    cmdCD_Click();
    fpCardD->setActiveCell(col, row);
    host_.showStatus("Composite slope written into record D, " + catchmentName(row) + ".");
}

} // namespace tovan
