// A deck opened after a Close is the deck a freshly started program opens: whatever was done
// to the deck before (edits, an undo, a save, a run, the results window), the messages of
// opening and saving the next deck, its Card View, Check Deck, status bar, menus and recovery
// state are those of a fresh start.
#include "ShellFixture.h"
#include "editor/CardViewPanel.h"
#include "editor/CheckDeckPanel.h"
#include "editor/frmInput.h"

#include <QDockWidget>
#include <QStatusBar>
#include <filesystem>
#include <functional>

using namespace tovan;
using tovan::testing::Shell;
using tovan::testing::TypeInCell;
namespace fs = std::filesystem;

namespace {

// What a user sees of the open deck: the messages of opening and saving it, and the docks,
// the status bar and the menus.
struct Seen {
    std::vector<std::string> messages;
    std::string cardView, status;
    std::vector<std::string> menus;
    bool operator==(const Seen&) const = default;
};

std::string Joined(const std::vector<std::string>& lines) {
    std::string all;
    for (const std::string& line : lines)
        all += line + "\n";
    return all;
}

Seen OpenAndSave(Shell& s, const std::string& deck) {
    const std::size_t before = s.platform.messages.size();
    s.open(deck);
    s.platform.chosenFiles.push_back(deck); // Save asks for the name
    s.trigger("mnuFileSave");
    Seen seen;
    for (std::size_t i = before; i < s.platform.messages.size(); ++i)
        seen.messages.push_back(s.platform.messages[i].title + ": " + s.platform.messages[i].text +
                                " | " + s.platform.messages[i].detail);
    if (auto* card = s.main->findChild<CardViewPanel*>())
        seen.cardView = card->shownCards().join(QLatin1Char('\n')).toStdString() + " / " +
                        card->fieldLabel()->text().toStdString();
    seen.status = s.main->statusBar()->currentMessage().toStdString();
    for (const char* item : {"mnuFileSave", "mnuFileRunDeck", "mnuEdit", "mnuFileCreate"})
        seen.menus.push_back(std::string(item) + (s.shown(item) ? " shown" : " hidden") +
                             (s.main->menuItem(item)->isEnabled() ? "" : ", greyed"));
    return seen;
}

} // namespace

TEST(Session, ADeckOpenedAfterACloseIsTheDeckOfAFreshStart) {
    struct Sequence {
        const char* name;
        std::function<void(Shell&, const std::string& first)> before;
    };
    const auto editB1 = [](Shell& s) {
        TypeInCell(s.editor()->fpCardB1, 3, 3, QStringLiteral(".5"));
    };
    const Sequence sequences[] = {
        {"open, close", [](Shell& s, const std::string& d) { s.open(d); }},
        {"open, edit B1, close without saving",
         [&](Shell& s, const std::string& d) {
             s.open(d);
             s.editor()->cmdB1_Click();
             editB1(s);
             s.platform.answers.push_back(Answer::No);
         }},
        {"open, add B1 rows, close without saving",
         [&](Shell& s, const std::string& d) {
             s.open(d);
             s.editor()->cmdB1_Click();
             TypeInCell(s.editor()->fpCardB1, 1, 8, QStringLiteral("9"));
             s.platform.answers.push_back(Answer::No);
         }},
        {"open, edit, undo, close",
         [&](Shell& s, const std::string& d) {
             s.open(d);
             s.editor()->cmdB1_Click();
             editB1(s);
             QTest::keyClick(s.main.get(), Qt::Key_Z, Qt::ControlModifier);
         }},
        {"open, run with F5, close with the results window in front",
         [](Shell& s, const std::string& d) {
             tovan::testing::PutEngineHelperOnThePath();
             s.open(d);
             s.platform.answers.push_back(Answer::No); // run the deck as it is on disk
             QTest::keyClick(s.main.get(), Qt::Key_F5);
             ASSERT_TRUE(s.main->findChild<QWidget*>(QStringLiteral("ResultsWindow")));
         }},
        {"create, type, close without saving",
         [](Shell& s, const std::string&) {
             s.trigger("mnuFileCreate");
             TypeInCell(s.editor()->fpCardA, 2, 2, QStringLiteral("NEW"));
             s.platform.answers.push_back(Answer::No);
         }},
    };
    Shell fresh;
    fresh.platform.chosenFiles.clear();
    const std::string second = fresh.path("one-hour.tvi");
    fs::copy_file(Shell::example("one-hour.tvi"), second);
    const Seen expected = OpenAndSave(fresh, second);
    for (const Sequence& sequence : sequences) {
        SCOPED_TRACE(sequence.name);
        Shell s;
        const std::string first = s.path("hyetograph.tvi");
        fs::copy_file(Shell::example("hyetograph.tvi"), first);
        sequence.before(s, first);
        s.trigger("mnuFileClose");
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        QApplication::processEvents();
        // Without a deck nothing can be saved or run: the items are greyed and F5 does nothing.
        // (Close takes the child in front: after a results window the deck is still open.)
        if (!s.editorShown()) {
            EXPECT_FALSE(s.main->menuItem("mnuFileSave")->isEnabled());
            EXPECT_FALSE(s.main->menuItem("mnuFileRunDeck")->isEnabled());
            const std::size_t told = s.platform.messages.size();
            QTest::keyClick(s.main.get(), Qt::Key_F5);
            EXPECT_EQ(s.platform.messages.size(), told);
        }
        const std::string deck = s.path("one-hour.tvi");
        fs::copy_file(Shell::example("one-hour.tvi"), deck, fs::copy_options::overwrite_existing);
        const Seen seen = OpenAndSave(s, deck);
        EXPECT_EQ(Joined(seen.messages), Joined(expected.messages));
        EXPECT_EQ(seen.cardView, expected.cardView);
        EXPECT_EQ(seen.status, expected.status);
        EXPECT_EQ(seen.menus, expected.menus);
    }
}
