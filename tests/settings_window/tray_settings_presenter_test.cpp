#include "organizer_fixture.h"
#include "settings_window/tray_brand_icon_resource.h"
#include "suite_ui/views/appearance_choices.h"

#include <QImage>
#include <QTemporaryDir>

using namespace velmor;
using namespace velmor::test;

TEST(AppearanceChoicesTest, OnlyExactStoredValuesSelectTheirItem)
{
    EXPECT_EQ(AppearanceChoices::titles(), (QStringList{"System", "Light", "Dark"}));
    EXPECT_EQ(AppearanceChoices::indexOf(QStringLiteral("system")), 0);
    EXPECT_EQ(AppearanceChoices::indexOf(QStringLiteral("light")), 1);
    EXPECT_EQ(AppearanceChoices::indexOf(QStringLiteral("dark")), 2);
    EXPECT_EQ(AppearanceChoices::indexOf(QStringLiteral("Dark")), 0);
    EXPECT_EQ(AppearanceChoices::indexOf(QString()), 0);
    EXPECT_EQ(AppearanceChoices::valueAt(1), QStringLiteral("light"));
    EXPECT_TRUE(AppearanceChoices::valueAt(3).isEmpty()) << "no item: nothing is stored";
    EXPECT_TRUE(AppearanceChoices::valueAt(-1).isEmpty());
}

TEST(TrayBrandIconResourceTest, AMissingOrUnreadableIconFallsBack)
{
    QTemporaryDir bundle;
    ASSERT_TRUE(bundle.isValid());
    EXPECT_TRUE(TrayBrandIconResource::imageUrl(bundle.path()).isEmpty()) << "missing";
    EXPECT_TRUE(TrayBrandIconResource::imageUrl(QString()).isEmpty());
    ASSERT_TRUE(QDir(bundle.path()).mkpath(QStringLiteral("Contents/Resources")));
    const QString icon = bundle.filePath(QStringLiteral("Contents/Resources/TrayAppIcon.icns"));
    QFile broken(icon);
    ASSERT_TRUE(broken.open(QIODevice::WriteOnly));
    broken.write("icns\0\0\0\x08 not an image", 22);
    broken.close();
    EXPECT_TRUE(TrayBrandIconResource::imageUrl(QUrl::fromLocalFile(bundle.path()).toString()).isEmpty())
        << "unreadable";
}

class TraySettingsPresenterTest : public OrganizerTest {};

TEST_F(TraySettingsPresenterTest, TheStartWarningGetsNoRowAndOthersOfferAccessSetupInPerAppMode)
{
    start();
    launch();
    model().setNativeWarning(QStringLiteral("Review your app groups: two apps could not be hidden."));
    settle();
    EXPECT_FALSE(shown(QStringLiteral("warningRow")));
    model().setNativeWarning(QStringLiteral("Could not hide apps. Allow Full Disk Access."));
    settle();
    EXPECT_TRUE(shown(QStringLiteral("warningRow")));
    EXPECT_TRUE(shown(QStringLiteral("accessSetupButton")));
    click(settingsWindow(), require(settingsWindow(), QStringLiteral("accessSetupButton")));
    EXPECT_TRUE(presenter()->accessGuide()->isOpen());
    model().setNativePerApp(false);
    settle();
    EXPECT_TRUE(shown(QStringLiteral("warningRow")));
    EXPECT_FALSE(shown(QStringLiteral("accessSetupButton")));
}

TEST_F(TraySettingsPresenterTest, ThePrimaryButtonAppliesThenCollapsesAndExpands)
{
    start();
    launch();
    QQuickItem* primary = require(settingsWindow(), QStringLiteral("primaryButton"));
    EXPECT_EQ(primary->property("text").toString(), QStringLiteral("Apply grouping"));
    model().setDestination(GroupedApp{QStringLiteral("com.example.weather"), {}, {}, {}},
                           QStringLiteral("expandable"));
    settle(2);
    ASSERT_TRUE(model().nativeConfigured());
    EXPECT_EQ(shownText(QStringLiteral("statusText")), QStringLiteral("Grouping active"));
    EXPECT_EQ(primary->property("text").toString(), QStringLiteral("Expand extras"));
    click(settingsWindow(), primary);
    settle(2);
    EXPECT_TRUE(model().nativeExpanded());
    EXPECT_EQ(primary->property("text").toString(), QStringLiteral("Collapse extras"));
}
