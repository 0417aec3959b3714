#include "ShellFixture.h"
#include "Version.h"
#include "editor/frmInput.h"
#include "shell/Main.h"
#include "shell/frmAbout.h"
#include "shell/frmSplash.h"

#include <QDir>
#include <QFileInfo>
#include <QLabel>
#include <QTimer>

using namespace tovan;
using tovan::testing::Shell;

TEST(StartUp, SplashShowsTheVersionAndHandsOverAfterThreeSeconds) {
    ApplicationState state;
    state.DeckChanged = true;
    RecordingPlatform platform;
    int handOvers = 0;
    QPointer<frmSplash> splash = new frmSplash(state, platform, [&] { ++handOvers; });
    splash->show();
    EXPECT_FALSE(state.DeckChanged) << "cleared when the splash loads";
    EXPECT_EQ(splash->lblProductName->text(), QStringLiteral("Tovan2000"));
    EXPECT_EQ(splash->lblVersion->text(),
              QStringLiteral("Version %1.%2").arg(kVersionMajor).arg(kVersionMinor));
    EXPECT_EQ(splash->lblDistMode->text(), QStringLiteral("Release"));
    EXPECT_TRUE(splash->Timer1->isSingleShot());
    EXPECT_EQ(splash->Timer1->interval(), 3000);
    splash->Timer1->start(0); // no need to wait the three seconds here
    QTRY_COMPARE(handOvers, 1);
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_TRUE(splash.isNull()) << "the splash is unloaded";
}

TEST(StartUp, AboutFormShowsTheFullVersionAtTheMainWindowsCorner) {
    Shell s;
    s.main->move(40, 30);
    s.trigger("mnuHelpAbout");
    auto* about = s.main->findChild<frmAbout*>();
    ASSERT_NE(about, nullptr);
    EXPECT_TRUE(about->isVisible());
    EXPECT_EQ(about->lblVersion2->text(), QStringLiteral("Version %1.%2.%3 Release")
                                              .arg(kVersionMajor)
                                              .arg(kVersionMinor)
                                              .arg(kVersionRevision));
    EXPECT_EQ(about->pos(), s.main->pos());
    QTest::mouseClick(about->cmdOK, Qt::LeftButton);
    EXPECT_FALSE(about->isVisible());
}

// Qt appends an application display name, when one is set, to every window title the window
// system shows; the program's titles must reach the title bar exactly as written.
TEST(StartUp, WindowTitlesReachTheTitleBarWithoutASuffix) {
    const QString name = QCoreApplication::applicationName();
    ConfigureApplication();
    QCoreApplication::setApplicationName(QStringLiteral("probe"));
    EXPECT_EQ(QGuiApplication::applicationDisplayName(), QStringLiteral("probe"))
        << "no display name of its own";
    QCoreApplication::setApplicationName(name);
}

// `tovan2000 DECK`: when the splash hands over, the deck opens in the editor as Open File leaves
// it, and its folder is the one the next dialog starts in.
TEST(StartUp, DeckNamedOnTheCommandLineOpensAfterTheSplash) {
    Main program;
    program.openAtStart(QStringLiteral(TOVAN_EXAMPLES "/one-hour.tvi"));
    program.start();
    frmSplash* splash = nullptr;
    for (QWidget* window : QApplication::topLevelWidgets()) {
        if (auto* found = dynamic_cast<frmSplash*>(window)) splash = found;
    }
    ASSERT_NE(splash, nullptr);
    splash->Timer1->start(0);
    QTRY_VERIFY(program.MainWindow()->editor() && program.MainWindow()->editor()->isVisible());
    EXPECT_EQ(program.MainWindow()->editor()->grids().fpCardC.dataRowCnt(), 4);
    EXPECT_EQ(QDir::current().absolutePath(), QFileInfo(TOVAN_EXAMPLES).absoluteFilePath());
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}
