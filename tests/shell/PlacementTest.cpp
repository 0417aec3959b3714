#include "ShellFixture.h"
#include "editor/QtPlatform.h"
#include "editor/Twips.h"

#include <QSettings>

using namespace tovan;
using tovan::testing::Shell;

TEST(Placement, FirstStartOpensAtTheOriginWithTheDefaultSize) {
    Shell s;
    EXPECT_EQ(s.main->pos(), QPoint(0, 0));
    EXPECT_EQ(s.main->size(), QSize(TwipsToPixelsX(12390), TwipsToPixelsY(9480)));
}

TEST(Placement, MovedAndResizedWindowComesBackThereNextTime) {
    Shell s;
    s.main->move(120, 90);
    s.main->resize(700, 520);
    s.main->close();
    EXPECT_EQ((s.platform.settings[{"Startup", "Left"}]),
              QString::number(PixelsToTwipsX(120), 'g', 7).toStdString());
    s.start();
    EXPECT_EQ(s.main->pos(), QPoint(120, 90));
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

TEST(QtPlatform, SettingsAreTextInTheTovan2000Store) {
    QtPlatform platform;
    EXPECT_EQ(platform.setting("CommonDialog", "Directory", "C:\\"), "C:\\");
    platform.saveSetting("Startup", "Left", "1234.5");
    EXPECT_EQ(platform.setting("Startup", "Left", "0"), "1234.5");
    std::unique_ptr<QSettings> store(NewTovanSettings());
    EXPECT_EQ(store->value("Startup/Left").toString(), QStringLiteral("1234.5"));
    EXPECT_EQ(store->applicationName(), QStringLiteral("Tovan 2000"));
}

TEST(QtPlatform, DialogFilterAndFolderAreTranslatedForQt) {
    EXPECT_EQ(QtPlatform::qtFilter("Tovan2000 Files (*.tvi)|*.tvi|All Files (*.*)|*.*"),
              QStringLiteral("Tovan2000 Files (*.tvi);;All Files (*)"));
    EXPECT_EQ(QtPlatform::existingFolder("C:\\"), QString()) << "the dialog picks its own";
    EXPECT_EQ(QtPlatform::existingFolder(QDir::tempPath().toStdString()), QDir::tempPath());
}
