// File > Compare Decks: the open deck against a file, every differing cell listed, a double
// click taking the caret to it; decks that hold the same are said to.
#include "ShellFixture.h"
#include "compare/CompareDecksWindow.h"
#include "editor/GridView.h"

#include <QTableWidget>

using namespace tovan;
using namespace tovan::testing;

TEST(CompareDecks, ListsTheCellsAndGoesToOne) {
    Shell s;
    s.open(Shell::example("existing.tvi"));
    s.platform.chosenFiles.push_back(Shell::example("proposed.tvi"));
    s.trigger("mnuFileCompareDecks");
    auto* window = s.main->findChild<CompareDecksWindow*>(QStringLiteral("compareDecks"));
    ASSERT_NE(window, nullptr);
    QTableWidget* table = window->table();
    ASSERT_EQ(table->rowCount(), 7) << "the title, then length and imperviousness of three";
    EXPECT_EQ(table->item(2, 3)->text(), QStringLiteral("EAST"));
    EXPECT_EQ(table->item(2, 5)->text() + QLatin1Char('>') + table->item(2, 6)->text(),
              QStringLiteral("40>65"));
    emit table->cellDoubleClicked(6, 0); // PARK's imperviousness
    GridView* d = s.editor()->fpCardD;
    EXPECT_TRUE(d->isVisible());
    EXPECT_EQ(std::pair(d->activeCol(), d->activeRow()), std::pair(col::kDImpervious, 4));
    window->close();

    s.platform.chosenFiles.push_back(Shell::example("existing.tvi"));
    s.trigger("mnuFileCompareDecks");
    EXPECT_NE(s.texts().back().find("hold the same values"), std::string::npos);
}
