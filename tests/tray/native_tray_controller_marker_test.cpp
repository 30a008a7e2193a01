#include "platform/simulated/simulated_status_item.h"
#include "tray/native_tray_controller.h"
#include "tray/tray_run_fixture.h"

using namespace velmor;

namespace {

constexpr const char* markerScenario = R"({
  "system": { "version": "26.0.0" },
  "screens": [ { "x": 0, "y": 0, "width": 1512, "height": 982 }, { "x": 1512, "y": 0, "width": 1920, "height": 1080 } ],
  "apps": [
    { "bundleID": "com.example.alpha", "name": "Alpha", "extras": [ { "title": "Alpha", "width": 30, "position": 300 } ] },
    { "bundleID": "com.example.bravo", "name": "Bravo", "extras": [ { "title": "Bravo", "width": 30, "position": 200 } ] },
    { "bundleID": "com.example.charlie", "name": "Charlie", "extras": [ { "title": "Charlie", "width": 30, "position": 100 } ] }
  ] })";

const QString stateKey = QStringLiteral("VelmorTray.Native.state");

QString text(const char* literal)
{
    return QString::fromUtf8(literal);
}

class MarkerModeTest : public test::TrayRunTest {
protected:
    void SetUp() override { start(markerScenario); }

    static QString markerKey()
    {
        return QStringLiteral("status:local.velmor.tray::VelmorTray.Native.hidden");
    }

    QRectF frameOf(const QString& key)
    {
        for (const auto& list : {desktop().snapshot().items, desktop().snapshot().offScreen}) {
            for (const auto& item : list) {
                if (item.key == key)
                    return item.frame;
            }
        }
        return {};
    }

    // The arrangement Alpha | H | Bravo | chevron | Charlie, made by Command-dragging the app's
    // own two items while arranging.
    void arrange()
    {
        model().hooks().arrangeNative();
        ASSERT_TRUE(controller().managing());
        ASSERT_TRUE(desktop().commandDrag(chevronKey(),
                                          QPointF(frameOf(extraKey("com.example.charlie")).left(), 970)));
        run().settle();
        ASSERT_TRUE(
            desktop().commandDrag(markerKey(), QPointF(frameOf(extraKey("com.example.bravo")).left(), 970)));
        run().settle();
        ASSERT_EQ(shownTitles(), (QStringList{"Alpha", "Bravo", "Charlie"}));
        ASSERT_LT(frameOf(extraKey("com.example.alpha")).right(), frameOf(markerKey()).left() + 0.5);
        ASSERT_LT(frameOf(extraKey("com.example.bravo")).right(), frameOf(chevronKey()).left() + 0.5);
        ASSERT_GT(frameOf(extraKey("com.example.charlie")).left(), frameOf(chevronKey()).right() - 0.5);
    }

    // Closing the settings window finishes arranging at the model's next tick.
    void finishArranging()
    {
        run().closeSettingsWindow();
        advance(TrayModel::refreshIntervalSeconds + 0.1);
    }

    QVariantMap savedState()
    {
        return desktop().userDefaults().dictionaryValue(stateKey).value_or(QVariantMap{});
    }
};

// Arranged, collapsed with the icons really off screen, expanded, and restored after a relaunch
// only while the marker still lies left of the chevron.
TEST_F(MarkerModeTest, ArrangeCollapseExpandAndRelaunch)
{
    launch();
    ASSERT_FALSE(controller().perAppMode());
    EXPECT_FALSE(controller().configured());
    EXPECT_TRUE(controller().markerItem()->isVisible());
    EXPECT_EQ(controller().markerItem()->button()->title(), QStringLiteral("H"));
    EXPECT_EQ(controller().markerItem()->button()->toolTip(), text(NativeTrayController::markerToolTip));

    arrange();
    EXPECT_TRUE(savedState().isEmpty()) << "nothing is written while arranging";
    finishArranging();
    ASSERT_TRUE(controller().configured());
    EXPECT_FALSE(controller().managing());
    EXPECT_TRUE(controller().expanded());
    EXPECT_FALSE(controller().warning());
    EXPECT_EQ(controller().markerItem()->length(), NativeTrayController::stretchedLength);
    EXPECT_EQ(shownTitles(), (QStringList{"Bravo", "Charlie"}));
    EXPECT_EQ(offScreenTitles(), QStringList{"Alpha"});
    EXPECT_EQ(savedState(), (QVariantMap{{"configured", true}, {"expanded", true}}));

    ASSERT_TRUE(desktop().click(QStringLiteral("VelmorTray.Native.regular")));
    run().settle();
    EXPECT_FALSE(controller().expanded());
    EXPECT_EQ(shownTitles(), QStringList{"Charlie"});
    EXPECT_EQ(offScreenTitles(), (QStringList{"Alpha", "Bravo"}));
    EXPECT_EQ(run().takeEvents(), QList<VelmorEvent>{VelmorEvent::trayCollapsed});
    EXPECT_EQ(savedState(), (QVariantMap{{"configured", true}, {"expanded", false}}));

    // The stretched chevron lies off screen on the simulated bar: expand from the settings window.
    model().hooks().toggleNative();
    EXPECT_TRUE(controller().expanded());
    EXPECT_EQ(shownTitles(), (QStringList{"Bravo", "Charlie"}));
    EXPECT_TRUE(run().takeEvents().isEmpty()) << "expanding records nothing";
    model().hooks().toggleNative();

    // Relaunch: the collapsed state comes back after 0.4 s.
    run().quit();
    EXPECT_EQ(shownTitles(), (QStringList{"Alpha", "Bravo", "Charlie"}));
    run().launch();
    advance(0.3);
    EXPECT_FALSE(controller().configured());
    EXPECT_EQ(shownTitles(), (QStringList{"Alpha", "Bravo", "Charlie"}));
    advance(0.2);
    EXPECT_TRUE(controller().configured());
    EXPECT_FALSE(controller().expanded());
    EXPECT_EQ(shownTitles(), QStringList{"Charlie"});

    // The marker was moved right of the chevron between runs: nothing is hidden, and the user is
    // told why.
    run().quit();
    desktop().domains().setPosition(markerKey(), *position(chevronKey()) - 1);
    launch();
    EXPECT_FALSE(controller().configured());
    EXPECT_TRUE(controller().expanded());
    EXPECT_EQ(controller().warning(), text(NativeTrayController::invalidOrderWarning));
    EXPECT_EQ(shownTitles(), (QStringList{"Alpha", "Bravo", "Charlie"}));
    EXPECT_EQ(savedState(), (QVariantMap{{"configured", false}, {"expanded", true}}));
}

// A click on the unconfigured chevron starts arranging and opens the settings window; finishing
// with the marker right of the chevron switches hiding off with the sentence that says why.
TEST_F(MarkerModeTest, ArrangingFromTheChevronAndAnInvalidOrder)
{
    launch();
    run().closeSettingsWindow();
    ASSERT_TRUE(desktop().click(QStringLiteral("VelmorTray.Native.regular")));
    run().scheduler().runUntilIdle();
    EXPECT_TRUE(controller().managing());
    EXPECT_EQ(controller().warning(), text(NativeTrayController::arrangeWarning));
    EXPECT_TRUE(model().nativeManaging());
    EXPECT_EQ(desktop().applicationShell().windows().size(), 1) << "the settings window opens";

    ASSERT_TRUE(desktop().commandDrag(markerKey(),
                                      QPointF(frameOf(extraKey("com.example.charlie")).right() - 2, 970)));
    run().settle();
    ASSERT_FALSE(controller().validOrder());
    finishArranging();
    EXPECT_FALSE(controller().configured());
    EXPECT_FALSE(controller().managing());
    EXPECT_EQ(controller().warning(), text(NativeTrayController::invalidOrderWarning));
    EXPECT_EQ(controller().markerItem()->length(), NativeTrayController::compactLength);
    EXPECT_EQ(shownTitles(), (QStringList{"Alpha", "Bravo", "Charlie"}));
}

// The chevron's menu in marker mode offers to reveal everything and arrange again.
TEST_F(MarkerModeTest, RevealAllAndArrangeFromTheMenu)
{
    launch();
    arrange();
    finishArranging();
    ASSERT_EQ(offScreenTitles(), QStringList{"Alpha"});
    ASSERT_TRUE(desktop().click(QStringLiteral("VelmorTray.Native.regular"), true));
    run().scheduler().runUntilIdle();
    QStringList titles;
    for (const platform::MenuItem& item : desktop().statusBar().openMenu().value_or(platform::Menu{}))
        titles.append(item.separator ? QStringLiteral("-") : item.title);
    EXPECT_EQ(titles, (QStringList{"Settings…", "Reveal all and arrange…", "-", "Quit Velmor Tray"}));
    ASSERT_TRUE(desktop().statusBar().chooseMenuItem(text(NativeTrayController::arrangeMenuTitle)));
    EXPECT_TRUE(controller().managing());
    EXPECT_EQ(shownTitles(), (QStringList{"Alpha", "Bravo", "Charlie"}));
    EXPECT_EQ(desktop().applicationShell().windows().size(), 1);
}

// What a saved state restores at launch: only a Boolean true "configured"; a missing "expanded"
// means expanded.
TEST_F(MarkerModeTest, SavedStateAtLaunch)
{
    const QList<std::pair<QVariantMap, std::optional<bool>>> cases = {
        {{}, std::nullopt},
        {{{"configured", false}, {"expanded", false}}, std::nullopt},
        {{{"configured", QStringLiteral("true")}, {"expanded", false}}, std::nullopt},
        {{{"configured", 1}, {"expanded", false}}, std::nullopt},
        {{{"configured", true}}, true},
        {{{"configured", true}, {"expanded", QStringLiteral("no")}}, true},
        {{{"configured", true}, {"expanded", false}}, false},
    };
    for (const auto& [saved, expanded] : cases) {
        desktop().userDefaults().setValue(stateKey, saved);
        launch();
        EXPECT_EQ(controller().configured(), expanded.has_value()) << saved.keys().join(',').toStdString();
        if (expanded) {
            EXPECT_EQ(controller().expanded(), *expanded);
        }
        run().quit();
    }
}

// Starting to arrange during the first 0.4 s is not overridden by the restore.
TEST_F(MarkerModeTest, ArrangingBeforeTheRestoreWins)
{
    desktop().userDefaults().setValue(stateKey, QVariantMap{{"configured", true}, {"expanded", false}});
    run().launch();
    model().hooks().arrangeNative();
    run().settle();
    EXPECT_TRUE(controller().managing());
    EXPECT_FALSE(controller().configured());
    EXPECT_EQ(shownTitles(), (QStringList{"Alpha", "Bravo", "Charlie"}));
}

// The geometry rules at their edges.
TEST(MarkerGeometry, OrderAndSectionRules)
{
    const QRectF marker(100, 958, 26, 24);
    const QRectF chevron(200, 958, 26, 24);
    EXPECT_TRUE(NativeTrayController::validCompactOrder(QRectF(100, 958, 32, 24), chevron));
    EXPECT_FALSE(NativeTrayController::validCompactOrder(QRectF(100, 958, 33, 24), chevron));
    EXPECT_FALSE(NativeTrayController::validCompactOrder(marker, QRectF(200, 958, 10000, 24)));
    EXPECT_TRUE(NativeTrayController::validCompactOrder(QRectF(174, 958, 26, 24), chevron));
    EXPECT_FALSE(NativeTrayController::validCompactOrder(QRectF(175, 958, 26, 24), chevron));
    EXPECT_TRUE(NativeTrayController::validCompactOrder(marker, QRectF(200, 965.9, 26, 24)));
    EXPECT_FALSE(NativeTrayController::validCompactOrder(marker, QRectF(200, 966, 26, 24)));
    EXPECT_FALSE(NativeTrayController::validCompactOrder(QRectF(100, 958, 0, 24), chevron));
    EXPECT_FALSE(NativeTrayController::validCompactOrder(QRectF(qQNaN(), 958, 26, 24), chevron));

    // Short button windows, so that an icon's centre can sit at their x without lying inside them.
    const QRectF h(100, 962, 26, 16);
    const QRectF c(200, 962, 26, 16);
    auto at = [&](double x, double y = 960) {
        return NativeTrayController::section(QRectF(x - 15, y - 12, 30, 24), h, c);
    };
    EXPECT_EQ(at(99.9), TraySection::alwaysHidden);
    EXPECT_EQ(at(100), TraySection::expandable);
    EXPECT_EQ(at(199.9), TraySection::expandable);
    EXPECT_EQ(at(200), TraySection::alwaysVisible);
    EXPECT_EQ(at(900), TraySection::alwaysVisible);
    EXPECT_FALSE(at(110, 970)) << "centre inside the marker";
    EXPECT_FALSE(at(210, 970)) << "centre inside the chevron";
    EXPECT_FALSE(at(300, 970 - 25)) << "another row";
    EXPECT_FALSE(NativeTrayController::section(QRectF(50, 958, 0, 24), h, c));
    EXPECT_FALSE(NativeTrayController::section(QRectF(50, 958, 30, 24), c, h)) << "marker right of chevron";
}

// Classification reads Accessibility frames against the live items, on the chevron's display only.
TEST_F(MarkerModeTest, ClassificationOnTheChevronsDisplay)
{
    launch();
    model().hooks().arrangeNative();
    const QRectF chevron = *controller().chevronItem()->buttonWindowFrame();
    // Accessibility coordinates: the bar is at the top of the first screen.
    EXPECT_EQ(controller().classify(QRectF(chevron.right() + 40, 0, 30, 24)), TraySection::alwaysVisible);
    EXPECT_FALSE(controller().classify(QRectF(1600, 0, 30, 24))) << "an icon on the second display";
    EXPECT_FALSE(controller().classify(QRectF(chevron.right() + 40, 400, 30, 24))) << "not on the bar";
    finishArranging();
    ASSERT_TRUE(controller().configured());
    EXPECT_FALSE(controller().classify(QRectF(chevron.right() + 40, 0, 30, 24)))
        << "configured icons may be off screen";
}

} // namespace
