#include "ShellFixture.h"
#include "editor/QtPlatform.h"
#include "editor/Twips.h"

#include <QFileDialog>
#include <QLineEdit>
#include <QMessageBox>
#include <QSettings>
#include <QTimer>
#include <sys/stat.h>

using namespace tovan;
using tovan::testing::Shell;

TEST(Placement, FirstStartOpensAtTheOriginWithTheDefaultSize) {
    Shell s;
    EXPECT_EQ(s.main->pos(), QPoint(0, 0));
    const QSize frame = s.main->frameGeometry().size() - s.main->size();
    const QSize free = s.main->screen()->availableGeometry().size() - frame;
    EXPECT_EQ(s.main->size(), QSize(TwipsToPixelsX(12390), TwipsToPixelsY(9480)).boundedTo(free))
        << "as large as the screen lets it be";
}

// Saved on a larger screen or at a larger scale: the window comes back on this screen.
TEST(Placement, APlacementLargerThanTheScreenIsBroughtOntoIt) {
    ApplicationState state;
    RecordingPlatform platform;
    tovan::testing::CountingDeckFiles files;
    for (const auto& [key, twips] :
         {std::pair{"Left", "3000"}, {"Top", "1500"}, {"Width", "40000"}, {"Height", "30000"}})
        platform.settings[{"Startup", key}] = twips;
    MDIfrmTovan2000 main(state, platform, files);
    main.MDIForm_Load();
    main.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&main));
    EXPECT_TRUE(main.screen()->availableGeometry().contains(main.frameGeometry()));
}

TEST(Placement, MovedAndResizedWindowComesBackThereNextTime) {
    Shell s;
    s.main->move(60, 40);
    s.main->resize(700, 520);
    s.main->close();
    EXPECT_EQ((s.platform.settings[{"Startup", "Left"}]),
              QString::number(PixelsToTwipsX(60), 'g', 7).toStdString());
    s.start();
    EXPECT_EQ(s.main->pos(), QPoint(60, 40));
    EXPECT_EQ(s.main->size(), QSize(700, 520));
}

TEST(Placement, StoredTextThatIsNoNumberKeepsTheDesignedPlacement) {
    ApplicationState state;
    RecordingPlatform platform;
    tovan::testing::CountingDeckFiles files;
    platform.settings[{"Startup", "Left"}] = "300";
    platform.settings[{"Startup", "Width"}] = "wide";
    MDIfrmTovan2000 main(state, platform, files);
    main.MDIForm_Load();
    ASSERT_EQ(platform.messages.size(), 1U);
    EXPECT_EQ(platform.messages[0].title, "MIForm_Load Error!");
    EXPECT_EQ(platform.messages[0].icon, MessageIcon::Exclamation);
    EXPECT_EQ(main.size(), QSize(TwipsToPixelsX(12390), TwipsToPixelsY(9480)));
    EXPECT_EQ(main.pos(), QPoint(0, 0)) << "not even Left is applied";
    EXPECT_EQ((platform.settings[{"Startup", "Width"}]), "wide") << "not replaced by the default";
}

// Not saved by the program: the window opens where a first start opens it.
TEST(Placement, AStoredPlacementNoScreenCouldHoldGivesTheDefaultOne) {
    const std::vector<std::vector<std::pair<const char*, const char*>>> stored = {
        {{"Width", "1e300"}}, {{"Left", "-1e300"}}, {{"Width", "-5000"}, {"Height", "-5000"}},
        {{"Height", "0"}},    {{"Top", "nan"}},     {{"Width", "inf"}},
    };
    for (const auto& values : stored) {
        SCOPED_TRACE(values.front().first + std::string("=") + values.front().second);
        ApplicationState state;
        RecordingPlatform platform;
        tovan::testing::CountingDeckFiles files;
        for (const auto& [key, text] : values)
            platform.settings[{"Startup", key}] = text;
        MDIfrmTovan2000 main(state, platform, files);
        main.MDIForm_Load();
        main.show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&main));
        EXPECT_EQ(main.pos(), QPoint(0, 0));
        const QSize frame = main.frameGeometry().size() - main.size();
        const QSize free = main.screen()->availableGeometry().size() - frame;
        EXPECT_EQ(main.size(), QSize(TwipsToPixelsX(12390), TwipsToPixelsY(9480)).boundedTo(free));
    }
}

TEST(QtPlatform, SettingsAreTextInTheTovan2000Store) {
    QtPlatform platform;
    EXPECT_EQ(platform.setting("CommonDialog", "Directory", "C:\\"), "C:\\");
    platform.saveSetting("Startup", "Left", "1234.5");
    EXPECT_EQ(platform.setting("Startup", "Left", "0"), "1234.5");
    std::unique_ptr<QSettings> store(NewTovanSettings());
    EXPECT_EQ(store->value("Startup/Left").toString(), QStringLiteral("1234.5"));
    EXPECT_TRUE(store->fileName().endsWith(QStringLiteral("Tovan 2000/Tovan 2000.conf")));
}

#if !defined(Q_OS_WIN)
// A pipe in place of the settings file would make the program wait before any window appears.
TEST(QtPlatform, ASettingsFileThatIsAPipeIsLeftAlone) {
    QtPlatform platform;
    platform.saveSetting("Startup", "Left", "1");
    const QString file = std::unique_ptr<QSettings>(NewTovanSettings())->fileName();
    ASSERT_TRUE(QFile::remove(file));
    ASSERT_EQ(::mkfifo(QFile::encodeName(file).constData(), 0600), 0);
    platform.saveSetting("Startup", "Top", "2");
    EXPECT_EQ(platform.setting("Startup", "Top", "0"), "2") << "kept for this run";
    EXPECT_EQ(platform.setting("Startup", "Left", "0"), "0");
    QFile::remove(file);
}
#endif

TEST(QtPlatform, DialogFilterAndFolderAreTranslatedForQt) {
    EXPECT_EQ(QtPlatform::qtFilter("Tovan2000 Files (*.tvi)|*.tvi|All Files (*.*)|*.*"),
              QStringLiteral("Tovan2000 Files (*.tvi);;All Files (*)"));
    EXPECT_EQ(QtPlatform::existingFolder("C:\\"), QString()) << "the dialog picks its own";
    EXPECT_EQ(QtPlatform::existingFolder(QDir::tempPath().toStdString()), QDir::tempPath());
}

// The run form's dialog: a deck name typed without its extension opens the ".tvi" deck.
TEST(QtPlatform, OpenDialogGivesATypedNameTheDefaultExtension) {
    Shell s;
    QFile deck(QString::fromStdString(s.path("storm.tvi")));
    ASSERT_TRUE(deck.open(QIODevice::WriteOnly));
    deck.close();
    QtPlatform platform;
    FileDialogRequest request{"Get TOVAN File Input", "TOVAN Input Files (*.tvi)|*.tvi",
                              s.folder.path().toStdString(), "tvi", ""};
    // a "file not found" box would otherwise wait for an answer
    tovan::testing::MessageBoxAnswer refusal([](QMessageBox* box) { box->reject(); }, 50);
    QTimer::singleShot(0, [] {
        auto* dialog = qobject_cast<QFileDialog*>(QApplication::activeModalWidget());
        ASSERT_NE(dialog, nullptr);
        auto* name = dialog->findChild<QLineEdit*>(QStringLiteral("fileNameEdit"));
        QTest::keyClicks(name, QStringLiteral("storm"));
        QTest::keyClick(name, Qt::Key_Return);
        if (dialog->isVisible()) dialog->reject(); // ends the test instead of hanging it
    });
    EXPECT_EQ(platform.chooseFileToOpen(request), s.path("storm.tvi"));
}
