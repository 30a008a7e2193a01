#include "foundation/regular_file.h"
#include "settings_window/tray_below_bar_settings.h"
#include "simulated_mac/scenario.h"
#include "tray/tray_below_bar.h"
#include "tray/tray_below_bar_preference.h"
#include "tray/tray_run_fixture.h"

#include <QSet>

#include <algorithm>

using namespace velmor;

namespace {

// The four apps the chevron hides on the notched laptop: revealed, they come back left of the
// chevron, where the housing is.
const QStringList revealed{QStringLiteral("com.example.weather"), QStringLiteral("io.fernleaf.pulsemeter"),
                           QStringLiteral("org.tinkerbox.twinclocks"),
                           QStringLiteral("net.quillwork.harborstats")};

// The notched laptop with the system's own items of a busy Mac (Wi-Fi, battery, sound, focus, …):
// the chevron sits right of the apps it reveals, and the housing leaves too little room for them.
QByteArray busyNotched()
{
    QByteArray scenario = RegularFile::read(QStringLiteral(VELMOR_SOURCE_DIRECTORY "/scenarios/notched.json"),
                                            simulated_mac::Scenario::maximumBytes);
    scenario.replace(R"("systemItemsWidth": 120)", R"("systemItemsWidth": 400)");
    return scenario;
}

QString itemTitle(const simulated_mac::MenuBarEntry& entry)
{
    return entry.extra.title.isEmpty() ? entry.extra.description : entry.extra.title;
}

} // namespace

class TrayBelowBarTest : public test::TrayRunTest {
protected:
    // The notched laptop (or `scenario`) with the four apps behind the chevron, grouping applied:
    // the bar is collapsed.
    void launchCollapsed(const QByteArray& scenario = busyNotched())
    {
        m_scenario = scenario;
        start(m_scenario.constData());
        TraySectionMap sections;
        for (const QString& bundle : revealed)
            sections.insert(bundle, TraySection::expandable);
        storeAppGroups(sections);
        launch();
        model().hooks().arrangeNative();
        run().settle();
        ASSERT_TRUE(controller().configured());
        ASSERT_FALSE(controller().expanded());
    }
    void clickChevron()
    {
        click(QStringLiteral("VelmorTray.Native.regular"));
        run().settle();
    }
    simulated_mac::SimulatedBelowBarPanel& panel() { return desktop().belowBarPanel(); }
    QStringList panelNames()
    {
        QStringList names;
        for (const auto& entry : panel().entries())
            names.append(entry.name);
        return names;
    }
    // What the bar holds of these apps, left to right, and of them what it does not draw.
    QStringList barTitles(const QStringList& apps, bool outOfSightOnly = false)
    {
        QStringList titles;
        for (const simulated_mac::MenuBarEntry* entry : desktop().menuBar().leftToRight()) {
            if (entry->kind == simulated_mac::MenuBarEntry::Kind::Extra && apps.contains(entry->owner) &&
                (!outOfSightOnly || !entry->onScreen))
                titles.append(itemTitle(*entry));
        }
        return titles;
    }
    void setMode(const QString& stored)
    {
        desktop().userDefaults().setValue(QString::fromLatin1(TrayBelowBarPreference::key), stored);
    }

    QByteArray m_scenario;
};

// A click on the chevron reveals the four apps as always; their icons land behind the housing, so
// the bar below opens under the chevron with exactly those items, in the bar's order. Choosing an
// entry presses the real item, whose own menu opens; the bar goes once that menu closes, and a
// collapse closes a bar opened anew.
TEST_F(TrayBelowBarTest, ARevealBehindTheHousingOpensTheBarBelowAndAnEntryOpensItsItem)
{
    launchCollapsed();
    EXPECT_FALSE(panel().isShown());

    clickChevron();
    EXPECT_TRUE(hiddenApps().isEmpty()) << "the icons are revealed in the menu bar all the same";
    ASSERT_FALSE(barTitles(revealed, true).isEmpty()) << "some of them land behind the housing";
    ASSERT_TRUE(panel().isShown());
    EXPECT_EQ(panelNames(), barTitles(revealed));
    EXPECT_EQ(panel().anchor(), controller().chevronItem()->buttonWindowFrame());

    // Pressed as Accessibility presses it: the item's own menu opens, though it cannot be seen.
    const QString outOfSight = barTitles(revealed, true).first();
    ASSERT_TRUE(panel().activate(static_cast<int>(panelNames().indexOf(outOfSight))));
    ASSERT_TRUE(desktop().extraMenu());
    EXPECT_EQ(itemTitle(*desktop().menuBar().entry(desktop().extraMenu()->entryId)), outOfSight);
    EXPECT_TRUE(panel().isShown()) << "the bar stays while the item's menu is open";
    desktop().closeExtraMenu();
    EXPECT_FALSE(panel().isShown());

    clickChevron();
    clickChevron();
    ASSERT_TRUE(panel().isShown());
    clickChevron();
    EXPECT_FALSE(panel().isShown()) << "collapsing closes it";
}

// Automatic opens the bar only when revealed icons land out of sight; Always with every reveal;
// Never not at all, and the reveal is the menu bar's alone, as before. A stored value that is
// none of the three counts as Automatic.
TEST_F(TrayBelowBarTest, ThePreferenceDecidesWhenARevealOpensIt)
{
    QByteArray roomy = busyNotched();
    roomy.replace(R"(, "housing": { "width": 185 })", "");
    roomy.replace(R"("width": 1512)", R"("width": 2560)");
    const struct {
        const char* stored;
        bool housing;
        bool opens;
    } cases[] = {
        {"automatic", true, true}, {"automatic", false, false}, {"always", false, true},
        {"never", true, false},    {"sometimes", true, true},   {"sometimes", false, false},
    };
    for (const auto& test : cases) {
        const QString name = QString::fromLatin1(test.stored) +
                             (test.housing ? QStringLiteral(" housing") : QStringLiteral(" roomy"));
        m_run.reset();
        launchCollapsed(test.housing ? busyNotched() : roomy);
        setMode(QString::fromLatin1(test.stored));
        clickChevron();
        EXPECT_TRUE(controller().expanded()) << qPrintable(name);
        EXPECT_TRUE(hiddenApps().isEmpty()) << qPrintable(name);
        EXPECT_EQ(panel().isShown(), test.opens) << qPrintable(name);
        if (test.opens) {
            EXPECT_EQ(panelNames(), barTitles(revealed)) << qPrintable(name);
        }
        clickChevron();
    }
}

// The organizer's notice names the apps whose icons cannot be seen and nothing else; its action
// shows them below the menu bar; once they are moved away (hidden) or the bar has room (the
// external display is made main, or the lid closes), the notice goes without a refresh.
TEST_F(TrayBelowBarTest, TheNoticeNamesExactlyTheLostAppsUntilTheyAreMovedOrFit)
{
    QByteArray docked = busyNotched();
    docked.replace(R"("housing": { "width": 185 } })",
                   R"("housing": { "width": 185 } }, { "x": 1512, "y": 0, "width": 2560, "height": 1440 })");
    launchCollapsed(docked);
    clickChevron();
    TrayBelowBarSettings settings(model(), desktop().userDefaults());

    QStringList lostApps;
    QStringList lostBundles;
    int lostIcons = 0;
    for (const simulated_mac::MenuBarEntry* entry : desktop().menuBar().leftToRight()) {
        if (entry->kind != simulated_mac::MenuBarEntry::Kind::Extra || entry->onScreen)
            continue;
        ++lostIcons;
        const QString name = desktop().workspace().find(entry->owner)->config.name;
        if (!lostApps.contains(name)) {
            lostApps.append(name);
            lostBundles.append(entry->owner);
        }
    }
    ASSERT_GT(lostIcons, 1);
    const QString last = lostApps.takeLast();
    const QString names =
        lostApps.isEmpty() ? last : lostApps.join(QStringLiteral(", ")) + QStringLiteral(" and ") + last;
    EXPECT_EQ(settings.noticeText(),
              QString::fromUtf8(TrayBelowBarSettings::housingNoticeMany).arg(lostIcons).arg(names));
    EXPECT_EQ(TrayBelowBarSettings::cardStatus(model().outOfSight(), lostBundles.first()),
              QString::fromUtf8(TrayBelowBarSettings::housingStatus));

    panel().dismiss();
    settings.showBelowBar();
    ASSERT_TRUE(panel().isShown());
    EXPECT_EQ(panelNames(), barTitles(lostBundles, true));

    // Hidden on purpose, they are no longer lost.
    for (const QString& bundle : lostBundles)
        model().setDestination(GroupedApp{bundle, bundle, std::nullopt, std::nullopt},
                               QStringLiteral("alwaysHidden"));
    run().settle();
    EXPECT_EQ(settings.noticeText(), QString());

    // Shown again, they are lost again, until the bar moves to the external display.
    model().hooks().revealNative();
    run().settle();
    const QString notice = settings.noticeText();
    EXPECT_NE(notice, QString());
    ASSERT_TRUE(desktop().makeMainDisplay(1));
    EXPECT_EQ(settings.noticeText(), QString()) << "a display change is judged at once";
    ASSERT_TRUE(desktop().makeMainDisplay(1));
    EXPECT_EQ(settings.noticeText(), notice) << "the laptop's display is main again";
    ASSERT_TRUE(desktop().removeDisplay(0));
    EXPECT_EQ(settings.noticeText(), QString()) << "the lid closed";
}

// The notice counts icons and names their apps, and the two agree: the count is of icons, the
// names are every app those icons belong to, each once.
TEST(TrayBelowBarNotice, CountsIconsAndNamesTheirApps)
{
    const auto lost = [](const char* app, TrayOutOfSight::Reason reason) {
        return TrayOutOfSight::Item{QString::fromLatin1(app) + QStringLiteral("|1"),
                                    QString::fromLatin1(app),
                                    QString::fromLatin1(app),
                                    {},
                                    0,
                                    reason};
    };
    using Reason = TrayOutOfSight::Reason;
    const struct {
        QList<TrayOutOfSight::Item> items;
        const char* notice;
    } cases[] = {
        {{}, ""},
        {{lost("Weather Desk", Reason::BehindHousing), lost("Pulse Meter", Reason::BehindHousing),
          lost("Pulse Meter", Reason::BehindHousing)},
         "3 menu bar icons of Weather Desk and Pulse Meter are behind the camera housing"},
        {{lost("Twin Clocks", Reason::UnderMenus)}, "1 menu bar icon of Twin Clocks is hidden by the menus"},
        {{lost("A", Reason::OffBarEnd), lost("B", Reason::OffBarEnd), lost("C", Reason::OffBarEnd)},
         "3 menu bar icons of A, B and C do not fit in the menu bar"},
        {{lost("A", Reason::UnderMenus), lost("B", Reason::OffBarEnd)},
         "2 menu bar icons of A and B cannot be seen"},
    };
    for (const auto& test : cases) {
        TrayOutOfSight outOfSight;
        outOfSight.items = test.items;
        EXPECT_EQ(TrayBelowBarSettings::notice(outOfSight), QString::fromUtf8(test.notice));
    }
}

// On a display without a housing the frontmost app's menus hide what lies under them, the commonest
// overflow of all: a reveal whose icons land there opens the bar below with them (Automatic), and
// the organizer says where they are.
TEST_F(TrayBelowBarTest, IconsUnderTheMenusAreFoundAndShownBelow)
{
    QByteArray narrow = busyNotched();
    narrow.replace(R"(, "housing": { "width": 185 })", "");
    narrow.replace(R"("width": 1512)", R"("width": 1024)");
    m_scenario = narrow;
    start(m_scenario.constData());
    TraySectionMap sections;
    for (const char* bundle : {"com.example.weather", "io.fernleaf.pulsemeter", "org.tinkerbox.twinclocks",
                               "net.quillwork.harborstats", "com.example.focustimer", "io.harbourlabs.ferry",
                               "org.fieldnotes.wordcount", "co.stillwater.batterybard",
                               "com.example.tidechart", "app.lumenworks.cliphoarder"})
        sections.insert(QString::fromLatin1(bundle), TraySection::expandable);
    storeAppGroups(sections);
    launch();
    model().hooks().arrangeNative();
    run().settle();
    ASSERT_FALSE(controller().expanded());

    clickChevron();
    QStringList revealedUnder;
    for (const auto& item : model().outOfSight().items) {
        EXPECT_EQ(item.reason, TrayOutOfSight::Reason::UnderMenus) << qPrintable(item.title);
        if (sections.contains(item.bundleID))
            revealedUnder.append(item.title);
    }
    ASSERT_FALSE(revealedUnder.isEmpty()) << "revealed icons land under the menus";
    ASSERT_TRUE(panel().isShown());
    for (const QString& title : revealedUnder)
        EXPECT_TRUE(panelNames().contains(title)) << qPrintable(title);
    TrayBelowBarSettings settings(model(), desktop().userDefaults());
    EXPECT_TRUE(settings.noticeText().endsWith(QStringLiteral(" hidden by the menus")))
        << qPrintable(settings.noticeText());
}

// The organizer's bar of lost icons stays through a collapse, which hides some of their apps; an
// entry of such an app cannot be pressed until the system allows the app again, so the tray first
// reveals what holds it, as a click on the chevron would, then presses the item anew.
TEST_F(TrayBelowBarTest, AnEntryWhoseAppIsHiddenIsAllowedFirstThenPressed)
{
    launchCollapsed();
    clickChevron();
    panel().dismiss();
    model().hooks().showBelowBar();
    ASSERT_TRUE(panel().isShown());
    // The lost icons of an app the chevron reveals (the others stay in the menu bar).
    const auto& entries = panel().entries();
    const auto entry = std::find_if(entries.cbegin(), entries.cend(), [](const auto& candidate) {
        return revealed.contains(candidate.bundleID);
    });
    ASSERT_NE(entry, entries.cend());
    const QString owner = entry->bundleID;
    const int index = int(entry - entries.cbegin());

    clickChevron();
    ASSERT_FALSE(controller().expanded());
    ASSERT_TRUE(panel().isShown());
    ASSERT_TRUE(hiddenApps().contains(owner));

    ASSERT_TRUE(panel().activate(index));
    run().settle();
    EXPECT_TRUE(controller().expanded());
    ASSERT_TRUE(desktop().extraMenu());
    EXPECT_EQ(desktop().extraMenu()->owner, owner);
}

// A click the window server queued before the bar closed, or one for an entry it no longer shows,
// still reaches the app with the index it had: only an entry the bar shows now opens anything, its
// last one included; nothing else opens a menu, reopens the bar or shows an app.
TEST_F(TrayBelowBarTest, OnlyAClickOnAnEntryShownNowOpensAnything)
{
    enum class ClickedEntry { First, Last, PastTheLast };
    const struct {
        const char* name;
        bool open;
        ClickedEntry entry;
        bool opens;
    } cases[] = {
        {"the last entry", true, ClickedEntry::Last, true},
        {"one past the last entry", true, ClickedEntry::PastTheLast, false},
        {"the first entry, after the bar closed", false, ClickedEntry::First, false},
        {"the last entry, after the bar closed", false, ClickedEntry::Last, false},
    };
    for (const auto& test : cases) {
        SCOPED_TRACE(test.name);
        m_run.reset();
        launchCollapsed();
        clickChevron();
        ASSERT_TRUE(panel().isShown());
        const QStringList shown = panelNames();
        ASSERT_GT(shown.size(), 1);
        if (!test.open) {
            clickChevron();
            ASSERT_FALSE(panel().isShown());
        }
        const QStringList hidden = hiddenApps();
        const bool expanded = controller().expanded();
        const int count = int(shown.size());
        const int index = test.entry == ClickedEntry::First  ? 0
                          : test.entry == ClickedEntry::Last ? count - 1
                                                             : count;

        panel().deliverQueuedClick(index);
        run().settle();
        if (test.opens) {
            ASSERT_TRUE(desktop().extraMenu());
            EXPECT_EQ(itemTitle(*desktop().menuBar().entry(desktop().extraMenu()->entryId)), shown.last());
            continue;
        }
        EXPECT_FALSE(desktop().extraMenu());
        EXPECT_EQ(panel().isShown(), test.open);
        EXPECT_EQ(hiddenApps(), hidden);
        EXPECT_EQ(controller().expanded(), expanded);
    }
}
