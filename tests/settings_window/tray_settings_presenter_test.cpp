#include "organizer_fixture.h"
#include "settings_window/tray_brand_icon_resource.h"
#include "suite_ui/views/appearance_choices.h"

#include <QImage>
#include <QSignalSpy>
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

// The row shows what the notices block says; its button opens the guide.
TEST_F(TraySettingsPresenterTest, AWarningRowOffersAccessSetupThatOpensTheGuide)
{
    start();
    launch();
    EXPECT_FALSE(shown(QStringLiteral("warningRow")));
    model().setNativeWarning(QStringLiteral("Could not hide apps. Allow Full Disk Access."));
    settle();
    EXPECT_TRUE(shown(QStringLiteral("warningRow")));
    click(settingsWindow(), require(settingsWindow(), QStringLiteral("accessSetupButton")));
    EXPECT_TRUE(presenter()->accessGuide()->isOpen());
}

// A move changes the two areas it concerns, row by row: no list is reset, no other area or card
// list hears of it, and the areas' own list only has its two rows' counts changed.
TEST_F(TraySettingsPresenterTest, AMoveTouchesOnlyTheTwoAreasInvolvedAndResetsNothing)
{
    start();
    launch();
    TrayOrganizerAreas& areas = presenter()->areas()->organizerAreas();
    const QString app = QStringLiteral("com.example.weather");
    const QString from = QStringLiteral("alwaysVisible");
    const QString to = QStringLiteral("expandable");
    ASSERT_GE(areas.cards(from)->indexOf(app), 0);
    struct Spies {
        explicit Spies(QAbstractItemModel* model)
            : reset(model, &QAbstractItemModel::modelReset),
              inserted(model, &QAbstractItemModel::rowsInserted),
              removed(model, &QAbstractItemModel::rowsRemoved), moved(model, &QAbstractItemModel::rowsMoved),
              changed(model, &QAbstractItemModel::dataChanged)
        {}
        QSignalSpy reset, inserted, removed, moved, changed;
        int rows() const { return inserted.count() + removed.count() + moved.count(); }
    };
    std::map<QString, std::unique_ptr<Spies>> cards;
    for (const QString& destination : areas.sections()->keys())
        cards[destination] = std::make_unique<Spies>(areas.cards(destination));
    Spies sections(areas.sections());
    Spies groups(areas.groups());

    // The move itself, before the controller applies it (which makes it busy and back).
    presenter()->areas()->move(app, to);
    QCoreApplication::processEvents();

    EXPECT_EQ(areas.cards(to)->indexOf(app), 0);
    for (const auto& [destination, spies] : cards) {
        EXPECT_EQ(spies->reset.count(), 0) << destination.toStdString();
        EXPECT_EQ(spies->removed.count(), destination == from ? 1 : 0) << destination.toStdString();
        EXPECT_EQ(spies->inserted.count(), destination == to ? 1 : 0) << destination.toStdString();
        EXPECT_EQ(spies->moved.count() + spies->changed.count(), 0) << destination.toStdString();
    }
    EXPECT_EQ(sections.reset.count() + sections.rows(), 0);
    // The controller starts applying at once, and while it works no move is offered anywhere:
    // that much may change on the other areas, and nothing else.
    QSet<QString> counted;
    for (const QList<QVariant>& signal : sections.changed) {
        const QString key = areas.sections()->keys()[signal.at(0).toModelIndex().row()];
        const QList<int> roles = signal.at(2).value<QList<int>>();
        if (roles.contains(TrayOrganizerAreaRow::CountRole))
            counted.insert(key);
        else
            EXPECT_EQ(roles, QList<int>{TrayOrganizerAreaRow::MovesRole}) << key.toStdString();
    }
    EXPECT_EQ(counted, (QSet<QString>{from, to}));
    EXPECT_EQ(groups.reset.count() + groups.rows() + groups.changed.count(), 0);
}
