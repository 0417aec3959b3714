// The panels beside the editor, used as a user uses them: Check Deck lists a fault at its cell
// and takes the user there, the card view shows the lines the save writes, and F1 explains the
// field under the caret.
#include "ShellFixture.h"
#include "editor/CardViewPanel.h"
#include "editor/CheckDeckPanel.h"
#include "editor/FieldHelpWindow.h"
#include "editor/frmInput.h"
#include "fileio/SaveFile.h"

#include <QDockWidget>
#include <QListWidget>
#include <QTextBrowser>
#include <QTreeWidget>
#include <fstream>
#include <sstream>

using namespace tovan;
using tovan::testing::Shell;

namespace {

// The list entry of a finding at this cell whose text starts so; null when there is none.
QTreeWidgetItem* Listed(const CheckDeckPanel& panel, const CellPlace& place, const char* text) {
    for (std::size_t i = 0; i < panel.findings().size(); ++i) {
        const Finding& finding = panel.findings()[i];
        if (finding.place == place && finding.text.starts_with(text))
            return panel.list()->topLevelItem(static_cast<int>(i));
    }
    return nullptr;
}

bool WaitListed(const CheckDeckPanel& panel, const CellPlace& place, const char* text,
                bool listed) {
    return QTest::qWaitFor([&] { return (Listed(panel, place, text) != nullptr) == listed; });
}

std::vector<std::string> SavedLines(const DeckGrids& grids, const std::string& path) {
    RecordingPlatform quiet;
    EXPECT_EQ(SaveFile(grids, path, quiet), 0);
    std::ifstream in(path, std::ios::binary);
    std::stringstream bytes;
    bytes << in.rdbuf();
    std::vector<std::string> lines;
    for (std::string line; std::getline(bytes, line);)
        lines.push_back(line.substr(0, line.size() - 1)); // without the CR
    return lines;
}

} // namespace

// One fault of each kind, each put in by typing and taken out again: it is listed at its cell
// with its class, the cell is tinted, a double-click (or Enter) selects the cell in its record
// set, and
// the fixed cell leaves the list.
TEST(CheckDeck, ListsEachFaultAtItsCellAndTakesTheUserThere) {
    Shell s;
    s.open(Shell::example("one-hour.tvi"));
    CheckDeckPanel& panel = *s.main->checkPanel();
    ASSERT_TRUE(s.main->checkDock()->isVisible()) << "open by default";
    ASSERT_TRUE(QTest::qWaitFor([&] { return panel.countText().startsWith("0 fatal"); }))
        << "the deck as read is checked: " << panel.countText().toStdString();
    struct Fault {
        CellPlace place;
        const char* typed;
        FindingClass kind;
        const char* text;
    };
    const Fault faults[] = {
        {{"A", 2, 2}, "", FindingClass::Warning, "You must give a description to the file."},
        {{"B2", 3, 1}, "1", FindingClass::Fatal, "Duplicate storm IDs where encountered"},
        {{"B2", 4, 2}, "", FindingClass::Warning, "All B2 cards must have a storm ID"},
        {{"C", 2, 6}, "", FindingClass::Warning, "You must select a Time Unit for every C card."},
        {{"D", 3, 5}, "", FindingClass::Warning, "You must provide a catchment imperviousness"},
        {{"D", 2, 6}, "5", FindingClass::EngineProblem, "the slope 5 ft/ft is impossible"},
        {{"D", 2, 7}, "900", FindingClass::EngineNote, "the time of concentration 900 min"},
    };
    for (const Fault& fault : faults) {
        SCOPED_TRACE(fault.text);
        GridView* grid = s.editor()->gridView(fault.place.recordSet);
        const int row = fault.place.row, col = fault.place.col;
        const std::string before = grid->grid().value(col, row);
        ASSERT_TRUE(tovan::testing::SetCell(grid, col, row, fault.typed));
        ASSERT_TRUE(WaitListed(panel, fault.place, fault.text, true));
        QTreeWidgetItem* item = Listed(panel, fault.place, fault.text);
        EXPECT_EQ(item->text(0).toStdString(), ClassName(fault.kind));
        if (fault.place.recordSet == "D") {
            const std::string ident = s.editor()->grids().fpCardC.value(col::kCIdent, row);
            EXPECT_EQ(item->text(3), QString::fromStdString(ident).trimmed()) << "its catchment";
        }
        const QModelIndex cell = grid->gridModel()->cellIndex(col, row);
        EXPECT_EQ(cell.data(Qt::BackgroundRole).value<QBrush>().color(), FindingTint(fault.kind));
        EXPECT_TRUE(
            cell.data(Qt::ToolTipRole).toString().contains(QString::fromLatin1(fault.text)));
        if (fault.kind == FindingClass::Fatal) {
            EXPECT_TRUE(s.main->findChild<QLabel*>("statusFindings")->text().startsWith("1 fatal"));
        }

        s.editor()->cmdA_Click(); // somewhere else
        panel.list()->scrollToItem(item);
        const QPoint at = panel.list()->visualItemRect(item).center();
        QTest::mouseClick(panel.list()->viewport(), Qt::LeftButton, {}, at); // selects
        if ((&fault - faults) % 2 == 0) {
            QTest::mouseDClick(panel.list()->viewport(), Qt::LeftButton, {}, at);
        } else {
            QTest::keyClick(panel.list(), Qt::Key_Return);
        }
        EXPECT_TRUE(grid->isVisible());
        EXPECT_EQ(QApplication::focusWidget(), grid);
        EXPECT_EQ(std::pair(grid->activeCol(), grid->activeRow()), std::pair(col, row));

        ASSERT_TRUE(tovan::testing::SetCell(grid, col, row, before.c_str()));
        EXPECT_TRUE(WaitListed(panel, fault.place, fault.text, false));
    }
}

// What the file held that its reading did not take is listed first, at the cell it would have
// gone to, until the grids are saved over the file.
TEST(CheckDeck, ListsWhatTheReadingDidNotTakeUntilTheSave) {
    Shell s;
    const std::string deck = s.path("unread.tvi");
    std::ofstream(deck, std::ios::binary)
        << " 1Fields that are not numbers\r\n 1STORM1    .444****.444 1,2 .30\r\n\r\n"
           " 01 1 1 5.AREA1   1test catchment\r\n"
           "   1.  1.5   .7  40.  .02  30.  .35   .1  3,0.0018   .6     0\r\nE\r\n";
    s.open(deck);
    const CheckDeckPanel& panel = *s.main->checkPanel();
    EXPECT_TRUE(WaitListed(panel, {"B1", 2, 4}, "line 2, columns 17 to 20: \"****\" is not", true));
    EXPECT_TRUE(
        WaitListed(panel, {"B1", 2, 7}, "line 2, columns 29 to 32: \" .30\" is not taken", true));
    EXPECT_TRUE(WaitListed(panel, {"D", 2, 10}, "line 5, columns 41 to 45: \"  3,0\"", true));
    EXPECT_EQ(panel.list()->topLevelItem(0)->text(0), QStringLiteral("loss"));
    s.platform.chosenFiles.push_back(deck);
    s.trigger("mnuFileSave");
    EXPECT_TRUE(WaitListed(panel, {"B1", 2, 4}, "line 2", false)) << "the file holds the grids now";
}

// Every card type, with the caret on a field of its record: the view shows the save's lines.
// B1 storm 2 has three cards, the last with correction factors.
TEST(CardView, ShowsTheLinesTheSaveWritesAndFollowsEdits) {
    Shell s;
    CardViewPanel& view = *s.main->cardView();
    struct Caret {
        const char* example;
        CellPlace place;
        std::vector<std::size_t> lines; // of the saved deck
        const char* field;
    };
    const Caret carets[] = {
        {"hyetograph.tvi", {"A", 2, 2}, {0}, "card A, columns 3\u201374, A72"},
        {"hyetograph.tvi", {"B1", 5, 21}, {2, 3, 4}, "card B1.2, columns 69\u201372, F4.3"},
        {"hyetograph.tvi", {"B1", 2, 5}, {1}, "card B1, columns 21\u201324, F4.3"},
        {"hyetograph.tvi", {"C", 3, 2}, {10, 11, 12}, "card C, column 2, I1"},
        {"hyetograph.tvi", {"D", 3, 16}, {10, 11, 12}, "card D1, columns 31\u201335, F5.4"},
        {"one-hour.tvi", {"B2", 6, 4}, {5}, "card B2, columns 16\u201320, F5.4"},
    };
    for (const Caret& caret : carets) {
        SCOPED_TRACE(caret.field);
        if (s.main->deckPath().find(caret.example) == std::string::npos) {
            s.main->mnuFileClose_Click();
            s.open(Shell::example(caret.example));
        }
        const std::vector<std::string> saved =
            SavedLines(s.main->document()->grids(), s.path("saved.tvi"));
        s.editor()->showCell(caret.place);
        QApplication::processEvents(); // the view follows when control returns
        QStringList expected;
        for (std::size_t line : caret.lines)
            expected << QString::fromLatin1(saved.at(line));
        EXPECT_EQ(view.shownCards(), expected);
        EXPECT_TRUE(view.fieldLabel()->text().contains(QString::fromUtf8(caret.field)))
            << view.fieldLabel()->text().toStdString();
    }
    // A number too wide for its field (as a deck read from a file can hold: typing and pasting
    // fit it) turns red at once, with the largest one the field takes.
    GridView* d = s.editor()->fpCardD;
    s.editor()->cmdCD_Click();
    s.editor()->showCell({"D", 2, col::kDArea});
    d->grid().setValue(col::kDArea, 2, "123456");
    QApplication::processEvents();
    EXPECT_TRUE(view.shownCards().at(1).startsWith(QStringLiteral("*****")));
    EXPECT_TRUE(view.view()->toHtml().contains(QStringLiteral("color:#d00000")));
    EXPECT_TRUE(view.fieldLabel()->text().contains(
        QStringLiteral("written as asterisks: the largest value F5.4 holds is 9999")));
}

// F1 opens the help of the record set in front with the caret's field selected; the labels and
// the cells carry the same help as tooltips.
TEST(FieldHelpWindow, F1ShowsTheFieldUnderTheCaret) {
    Shell s;
    s.open(Shell::example("one-hour.tvi"));
    s.editor()->showCell({"D", 2, col::kDSlope});
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_F1);
    FieldHelpWindow* help = s.main->fieldHelp();
    ASSERT_NE(help, nullptr);
    EXPECT_TRUE(help->isVisible());
    EXPECT_EQ(help->fields()->currentItem()->text(),
              QStringLiteral("Weighted Catchment Slope (feet/foot):"));
    EXPECT_TRUE(help->text()->toPlainText().contains(QStringLiteral("card D, columns 21-25")));
    GridTableModel* model = s.editor()->fpCardD->gridModel();
    const QString label =
        model->headerData(col::kDSlope - 1, Qt::Horizontal, Qt::ToolTipRole).toString();
    EXPECT_TRUE(label.contains(QStringLiteral("Engine: ")));
    EXPECT_TRUE(model->cellIndex(col::kDSlope, 2)
                    .data(Qt::ToolTipRole)
                    .toString()
                    .endsWith(label.section(QLatin1Char('\n'), -1)));
}

// The status bar's count of findings is the count of the Check Deck list's rows by class, for a
// deck with findings of every class but fatal (losses count as warnings there).
TEST(CheckDeck, TheStatusBarCountsTheRowsOfTheList) {
    Shell s;
    const std::string deck = s.path("findings.tvi");
    std::filesystem::copy_file(std::string(TOVAN_EXAMPLES) +
                                   "/../tests/cases/check-list-names-every-finding/deck.tvi",
                               deck);
    s.open(deck);
    CheckDeckPanel& panel = *s.main->checkPanel();
    panel.checkNow();
    auto* status = s.main->findChild<QLabel*>(QStringLiteral("statusFindings"));
    ASSERT_TRUE(QTest::qWaitFor([&] { return !status->text().isEmpty(); }));
    std::map<QString, int> rows;
    for (int i = 0; i < panel.list()->topLevelItemCount(); ++i)
        ++rows[panel.list()->topLevelItem(i)->text(0)];
    EXPECT_GT(rows[QStringLiteral("note")], 1);
    EXPECT_GT(rows[QStringLiteral("problem")], 1);
    const auto plural = [](int n, const char* one) {
        return QStringLiteral("%1 %2%3").arg(n).arg(QLatin1String(one)).arg(n == 1 ? "" : "s");
    };
    const QString expected =
        QStringLiteral("%1 fatal, ").arg(rows[QStringLiteral("fatal")]) +
        plural(rows[QStringLiteral("problem")], "problem") + QStringLiteral(", ") +
        plural(rows[QStringLiteral("warning")] + rows[QStringLiteral("loss")], "warning") +
        QStringLiteral(", ") + plural(rows[QStringLiteral("note")], "note");
    EXPECT_EQ(status->text().toStdString(), expected.toStdString());
}
