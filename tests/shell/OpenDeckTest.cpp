#include "ShellFixture.h"
#include "editor/frmInput.h"
#include "shell/frmCover.h"

#include <QDropEvent>
#include <QFile>
#include <QMimeData>
#include <QStatusBar>
#include <QUrl>

using namespace tovan;
using tovan::testing::Shell;

namespace {

std::string Write(const Shell& s, const char* name, const char* text) {
    const std::string path = s.path(name);
    QFile file(QString::fromStdString(path));
    EXPECT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(text);
    return path;
}

// Drags the files over the main window and drops them there; whether the drop was taken.
bool Drop(Shell& s, const QStringList& paths) {
    QMimeData data;
    QList<QUrl> urls;
    for (const QString& path : paths)
        urls << QUrl::fromLocalFile(path);
    data.setUrls(urls);
    const QPoint at = s.main->rect().center();
    QDragEnterEvent enter(at, Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(s.main.get(), &enter);
    if (!enter.isAccepted()) return false;
    QDropEvent drop(at.toPointF(), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(s.main.get(), &drop);
    return drop.isAccepted();
}

} // namespace

// A dropped deck opens as Open does; one being edited is closed first with the offer to save.
TEST(OpenDeck, ADroppedDeckOpensAfterTheOfferToSaveTheEditedOne) {
    Shell s;
    const QString text = QString::fromStdString(Write(s, "notes.txt", "not a deck"));
    EXPECT_FALSE(Drop(s, {text}));
    s.trigger("mnuFileCreate");
    tovan::testing::TypeInCell(s.editor()->fpCardA, col::kATitle, 2, QStringLiteral("EDITED"));
    s.platform.answers.push_back(Answer::No);
    ASSERT_TRUE(Drop(s, {text, QString::fromStdString(Shell::example("hyetograph.tvi"))}));
    ASSERT_TRUE(s.editorShown());
    EXPECT_EQ(s.texts(), std::vector<std::string>{"Do you Want to save?"});
    EXPECT_TRUE(s.editor()->cmdB1->isEnabled()) << "the dropped deck is the one shown";

    ASSERT_TRUE(Drop(s, {QString::fromStdString(Shell::example("one-hour.tvi")),
                         QString::fromStdString(Shell::example("hyetograph.tvi"))}));
    EXPECT_TRUE(s.editor()->cmdB2->isEnabled()) << "the first of several";
    EXPECT_TRUE(s.main->statusBar()->currentMessage().contains(
        QStringLiteral("not opened: hyetograph.tvi")))
        << s.main->statusBar()->currentMessage().toStdString();
}

TEST(OpenDeck, OneHourExampleOpensOnRecordSetAWithB2Offered) {
    Shell s;
    s.platform.chosenFiles.push_back(Shell::example("one-hour.tvi"));
    QTest::mouseClick(s.main->cover()->cmdOpen, Qt::LeftButton);
    ASSERT_TRUE(s.editorShown());
    EXPECT_TRUE(s.platform.messages.empty());
    frmInput* editor = s.editor();
    EXPECT_TRUE(editor->fpCardA->isVisible());
    EXPECT_EQ(editor->lblTitle->text(), QStringLiteral("Record Set A"));
    EXPECT_FALSE(editor->cmdB1->isEnabled());
    EXPECT_TRUE(editor->cmdB2->isEnabled());
    EXPECT_TRUE(editor->cmdCD->isEnabled());
    EXPECT_EQ(editor->grids().fpCardC.dataRowCnt(), 4) << "labels and three catchments";
    EXPECT_FALSE(s.state.DeckChanged) << "opening is no edit";
    EXPECT_EQ(QApplication::overrideCursor(), nullptr);
    EXPECT_FALSE(s.platform.busy);
}

TEST(OpenDeck, BrokenCardAReportsAndBringsTheCoverBack) {
    Shell s;
    s.platform.chosenFiles.push_back(Write(s, "broken.tvi", " X\r\n"));
    s.trigger("mnuOpenTovan");
    EXPECT_EQ(s.platform.messages.size(), 1U) << "the reader says what is wrong";
    EXPECT_FALSE(s.editorShown());
    EXPECT_TRUE(s.coverShown());
    EXPECT_TRUE(s.shown("mnuFileCreate"));
    EXPECT_TRUE(s.shown("mnuFileOpen"));
    EXPECT_FALSE(s.shown("mnuEdit"));

    // A New after the failed open starts from an empty deck, not from what was read.
    s.main->mnuFileCreate_Click();
    ASSERT_TRUE(s.editorShown());
    EXPECT_EQ(s.editor()->grids().fpCardA.value(1, 2), "");
}

TEST(OpenDeck, BrokenCatchmentCardLeavesTheEditorHidden) {
    Shell s;
    std::string text;
    {
        QFile example(QString::fromStdString(Shell::example("one-hour.tvi")));
        EXPECT_TRUE(example.open(QIODevice::ReadOnly));
        text = example.readAll().toStdString();
    }
    const auto end = text.rfind("E\r\n");
    ASSERT_NE(end, std::string::npos);
    text.replace(end, 3, std::string(81, '9') + "\r\n");
    s.platform.chosenFiles.push_back(Write(s, "broken-cd.tvi", text.c_str()));
    s.trigger("mnuOpenTovan");
    EXPECT_FALSE(s.editorShown());
    EXPECT_TRUE(s.coverShown());
    EXPECT_TRUE(s.editor()) << "loaded and hidden, keeping what was read";
    EXPECT_EQ(s.editor()->grids().fpCardA.value(1, 2), "1");
}

TEST(OpenDeck, AFolderOrUnreadableFileSaysWhyAndBringsTheCoverBack) {
    Shell s;
    s.platform.chosenFiles.push_back(s.path(""));
    QTest::mouseClick(s.main->cover()->cmdOpen, Qt::LeftButton);
    ASSERT_EQ(s.platform.messages.size(), 1U);
    EXPECT_EQ(s.platform.messages[0].title, "OpenFile Error!");
    EXPECT_NE(s.platform.messages[0].detail.find("Is a folder"), std::string::npos);
    EXPECT_FALSE(s.editorShown());
    EXPECT_TRUE(s.coverShown() && s.shown("mnuFileOpen"));
}
