#include "app/accessible_press.h"
#include "app/gui_run_fixture.h"
#include "foundation/json.h"
#include "foundation/regular_file.h"
#include "settings_window/tray_below_bar_settings.h"
#include "tray/tray_section_map.h"

#include <QAccessible>

#include <algorithm>

using namespace velmor;
using velmor::test::GuiRunTest;
using velmor::test::pressAccessibly;

namespace {

const QString chevron = QStringLiteral("VelmorTray.Native.regular");

// The notched laptop with the system's own items of a busy Mac: the housing leaves too little room
// for the icons the chevron reveals.
QByteArray notched()
{
    QByteArray scenario = RegularFile::read(QStringLiteral(VELMOR_SOURCE_DIRECTORY "/scenarios/notched.json"),
                                            simulated_mac::Scenario::maximumBytes);
    scenario.replace(R"("systemItemsWidth": 120)", R"("systemItemsWidth": 400)");
    return scenario;
}

QAccessibleInterface* accessible(QQuickItem* item)
{
    return item ? QAccessible::queryAccessibleInterface(item) : nullptr;
}

} // namespace

class BelowBarWindow : public GuiRunTest {
protected:
    // The notched laptop with four apps behind the chevron, grouping applied, then revealed: their
    // icons land behind the housing and the bar below opens.
    void launchRevealed()
    {
        start(notched(), QStringLiteral("notched.json"));
        TraySectionMap sections;
        for (const char* bundle : {"com.example.weather", "io.fernleaf.pulsemeter",
                                   "org.tinkerbox.twinclocks", "net.quillwork.harborstats"})
            sections.insert(QString::fromLatin1(bundle), TraySection::expandable);
        desktop().userDefaults().setValue(QString::fromLatin1(TrayModel::appGroupsKey),
                                          json::serialize(tray_section_map::encode(sections)));
        launch();
        model().hooks().arrangeNative();
        settle();
        toggle();
    }
    void toggle()
    {
        ASSERT_TRUE(desktop().click(chevron));
        settle();
    }
    void reopen()
    {
        toggle();
        toggle();
        ASSERT_TRUE(desktop().belowBarPanel().isShown());
    }
    // The drawn entries, left to right.
    QList<QQuickItem*> entries()
    {
        QList<QQuickItem*> found;
        for (QQuickItem* item : allItems(macWindow())) {
            if (item->objectName().startsWith(QStringLiteral("belowBarEntry:")) && item->isVisible())
                found.append(item);
        }
        std::sort(found.begin(), found.end(), [](QQuickItem* a, QQuickItem* b) { return a->x() < b->x(); });
        return found;
    }
    QString openMenuOwner() { return desktop().extraMenu() ? desktop().extraMenu()->owner : QString(); }
    QString entryOwner(int index) { return desktop().belowBarPanel().entries().value(index).bundleID; }
};

// The bar below is drawn on the desktop under the menu bar, its entries named for assistive
// technology as the items are. An entry opens its item's menu by click, by the arrows and Return,
// and by an accessible press; the bar goes when that menu closes, on Escape and on a click
// elsewhere.
TEST_F(BelowBarWindow, WorksByPointerKeyboardAndAssistiveTechnology)
{
    launchRevealed();
    QQuickItem* bar = require(macWindow(), QStringLiteral("belowBar"));
    ASSERT_TRUE(bar && bar->isVisible());
    EXPECT_GT(bar->y(), find(macWindow(), QStringLiteral("menuBar"))->height()) << "it hangs below the bar";
    // Each entry is named "App — item" and shows the title its item draws beside the icon, so one
    // app's items can be told apart.
    QStringList names;
    QStringList labels;
    for (QQuickItem* entry : entries()) {
        names.append(accessible(entry)->text(QAccessible::Name));
        QQuickItem* label = findIn(entry, QStringLiteral("belowBarEntryLabel"));
        labels.append(label && label->isVisible() ? label->property("text").toString() : QString());
    }
    QStringList shown;
    QStringList titles;
    for (const auto& entry : desktop().belowBarPanel().entries()) {
        shown.append(entry.appName + QStringLiteral(" — ") + entry.name);
        titles.append(entry.label);
    }
    EXPECT_EQ(names, shown);
    EXPECT_EQ(labels, titles);
    EXPECT_TRUE(names.contains(QStringLiteral("Pulse Meter — CPU")) &&
                names.contains(QStringLiteral("Pulse Meter — MEM")));
    ASSERT_GE(names.size(), 3);

    click(macWindow(), entries().first());
    EXPECT_EQ(openMenuOwner(), entryOwner(0));
    ASSERT_TRUE(desktop().extraMenu());
    QQuickItem* quit =
        require(macWindow(), QStringLiteral("menuItem:") + desktop().extraMenu()->items.last().title);
    EXPECT_TRUE(quit && quit->isVisible()) << "the item's own menu is drawn";
    desktop().closeExtraMenu();
    settle();
    EXPECT_FALSE(bar->isVisible()) << "the bar goes with the menu it opened";

    reopen();
    macWindow()->requestActivate();
    ASSERT_TRUE(QTest::qWaitForWindowActive(macWindow()));
    QTest::keyClick(macWindow(), Qt::Key_Right);
    QTest::keyClick(macWindow(), Qt::Key_Return);
    settle();
    EXPECT_EQ(openMenuOwner(), entryOwner(1));
    desktop().closeExtraMenu();
    settle();

    reopen();
    EXPECT_TRUE(pressAccessibly(entries()[2]));
    settle();
    EXPECT_EQ(openMenuOwner(), entryOwner(2));
    desktop().closeExtraMenu();
    settle();

    reopen();
    macWindow()->requestActivate();
    ASSERT_TRUE(QTest::qWaitForWindowActive(macWindow()));
    QTest::keyClick(macWindow(), Qt::Key_Escape);
    settle();
    EXPECT_FALSE(desktop().belowBarPanel().isShown()) << "Escape";
    EXPECT_EQ(openMenuOwner(), QString());

    reopen();
    QQuickItem* screen = require(macWindow(), QStringLiteral("primaryScreen"));
    QTest::mouseClick(macWindow(), Qt::LeftButton, Qt::NoModifier, centreOf(screen));
    settle();
    EXPECT_FALSE(desktop().belowBarPanel().isShown()) << "a click elsewhere";
}

// At launch the full bar pushes an icon behind the housing: the organizer names its app in one
// line and marks its card; the notice's action, pressed as a screen reader does, shows it below
// the menu bar. (The preference's press is in the organizer's press table.)
TEST_F(BelowBarWindow, TheOrganizerNamesTheLostAppAndShowsItBelowTheMenuBar)
{
    start(notched(), QStringLiteral("notched.json"));
    launch();
    const TrayOutOfSight& lost = model().outOfSight();
    ASSERT_FALSE(lost.isEmpty());
    const QString bundle = lost.items.first().bundleID;
    QQuickItem* notice = require(settingsWindow(), QStringLiteral("belowBarNoticeText"));
    ASSERT_TRUE(notice && notice->isVisible());
    EXPECT_TRUE(notice->property("text").toString().contains(lost.items.first().appName));
    QQuickItem* status = require(settingsWindow(), QStringLiteral("sight:") + bundle);
    ASSERT_TRUE(status && status->isVisible());
    EXPECT_EQ(status->property("text").toString(), QString::fromUtf8(TrayBelowBarSettings::housingStatus));

    EXPECT_TRUE(pressAccessibly(require(settingsWindow(), QStringLiteral("showBelowBarButton"))));
    settle();
    ASSERT_TRUE(desktop().belowBarPanel().isShown());
    EXPECT_EQ(entryOwner(0), bundle);
    EXPECT_EQ(desktop().belowBarPanel().entries().size(), lost.items.size());
}
