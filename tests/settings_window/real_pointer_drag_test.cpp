#include "organizer_fixture.h"

using namespace velmor;
using namespace velmor::test;

class RealPointerDrag : public OrganizerTest {};

// The card's drag is the platform's own drag with a text payload: only real pointer events from
// the X server carry it through, as a person's hand does.
TEST_F(RealPointerDrag, ACardDraggedToAnotherAreaMovesItsAppAndHidesItsIcon)
{
    if (xdotool().isEmpty())
        GTEST_SKIP() << "needs the pointer of an X server and xdotool";
    start();
    launch();
    const QString weather = QStringLiteral("com.example.weather");
    ASSERT_TRUE(QTest::qWaitForWindowExposed(settingsWindow()));
    dragCard(weather, QStringLiteral("alwaysHidden"));
    settle(2);
    EXPECT_EQ(destinationOf(weather), QStringLiteral("alwaysHidden"));
    EXPECT_EQ(find(macWindow(), QStringLiteral("statusItem:status:com.example.weather::Item-0")), nullptr);
}

TEST_F(RealPointerDrag, TheGuidesTileDropsTheAppOnTheFullDiskAccessPane)
{
    if (xdotool().isEmpty())
        GTEST_SKIP() << "needs the pointer of an X server and xdotool";
    startWith([](QJsonObject& root) { setSystem(root, QStringLiteral("fullDiskAccess"), false); });
    ASSERT_FALSE(desktop().hasFullDiskAccess());
    click(settingsWindow(), require(settingsWindow(), QStringLiteral("permissionsButton")));
    click(settingsWindow(), require(settingsWindow(), QStringLiteral("openFullDiskAccess")));
    QQuickItem* pane = require(macWindow(), QStringLiteral("privacyDropArea"));
    ASSERT_TRUE(pane && pane->isVisible());
    QQuickItem* tile = require(settingsWindow(), QStringLiteral("appDragTile"));
    // Side by side, as a person arranges them to drag from one to the other.
    const QPoint aside(macWindow()->x() + macWindow()->width() - 200, settingsWindow()->y());
    settingsWindow()->setPosition(aside);
    ASSERT_TRUE(QTest::qWaitFor([&] { return settingsWindow()->position() == aside; }, 5000));
    settle();
    EXPECT_TRUE(pointerDrag(settingsWindow()->mapToGlobal(centreOf(tile)),
                            macWindow()->mapToGlobal(centreOf(pane)),
                            [&] { return desktop().hasFullDiskAccess(); }))
        << "settings window at " << settingsWindow()->x() << "," << settingsWindow()->y() << ", pane at "
        << macWindow()->mapToGlobal(centreOf(pane)).x() << "," << macWindow()->mapToGlobal(centreOf(pane)).y()
        << ", tile at " << settingsWindow()->mapToGlobal(centreOf(tile)).x() << ","
        << settingsWindow()->mapToGlobal(centreOf(tile)).y();
    EXPECT_TRUE(desktop().hasFullDiskAccess());
}
