// The main window with the cover, and the editor on each record set of the example decks, as
// PNG files in the build folder's screenshots/ for a person to look at; each must show its
// window whole, at its size, with no text cut off.
#include "ShellFixture.h"
#include "editor/CheckDeckPanel.h"
#include "editor/FieldHelpWindow.h"
#include "editor/frmInput.h"

#include <QDir>
#include <QPixmap>

using namespace tovan;
using tovan::testing::Shell;

namespace {

void Save(QWidget& window, const char* name) {
    tovan::testing::SaveScreenshot(window, QString::fromLatin1(name));
}

} // namespace

TEST(Screenshot, MainWindowWithTheCover) {
    Shell s;
    Save(*s.main, "main-window-cover.png");
}

TEST(Screenshot, EditorOnEveryRecordSet) {
    Shell s;
    s.open(Shell::example("hyetograph.tvi"));
    Save(*s.main, "editor-record-set-a.png");
    s.editor()->cmdB1_Click();
    Save(*s.main, "editor-record-set-b1.png");
    s.editor()->cmdCD_Click();
    Save(*s.main, "editor-record-set-cd.png");
    s.main->resize(847, 573); // a placement users keep
    Save(*s.main, "editor-record-set-cd-small.png");
    s.main->mnuFileClose_Click();
    s.open(Shell::example("one-hour.tvi"));
    s.editor()->cmdB2_Click();
    Save(*s.main, "editor-record-set-b2.png");
    s.editor()->cmdCD_Click();
    s.editor()->fpCardD->horizontalScrollBar()->setValue(
        s.editor()->fpCardD->horizontalScrollBar()->maximum());
    Save(*s.main, "editor-record-set-cd-right.png");
}

// The Check Deck and card view panels under the editor: a B1 storm's three cards with the
// factor columns marked, a depth too wide for its field in red, and its finding in the list;
// then the field help window.
TEST(Screenshot, DeckPanels) {
    Shell s;
    s.main->resize(1100, 760);
    s.open(Shell::example("hyetograph.tvi"));
    s.editor()->cmdB1_Click();
    s.paste(s.editor()->fpCardB1, 5, 4, QStringLiteral("123.45"));
    s.main->checkPanel()->checkNow();
    Save(*s.main, "panels-check-deck-card-view.png");
    s.main->mnuHelpFields_Click();
    Save(*s.main->fieldHelp(), "panels-field-help.png");
}
