#include "settings_window/tray_search_presenter.h"
#include "settings_window/tray_search_result_model.h"
#include "support/utf8_text.h"
#include "tray/reveal_run_fixture.h"
#include "tray/tray_item_search.h"
#include "tray/tray_search.h"

#include <QSignalSpy>

using namespace velmor;
using velmor::test::text;

// What a person types, and the items found, best first: accents and case do not matter, typed
// words that begin words come before words found inside others, and ties keep the bar's order.
TEST(TrayItemSearchTest, RanksWhatWasTypedAgainstNamesAndTitles)
{
    const QList<TrayItemSearch::Entry> entries{
        {text("Weather Desk"), text("Weather")}, {text("Café Menu"), text("Espresso timer")},
        {text("Zürich Clock"), text("ZRH")},     {text("Notes Pad"), text("Notes")},
        {text("Desk Lamp"), text("Brightness")}, {text("Ωmega Sync"), text("Σύνδεση")},
        {text("東京 Weather"), text("天気")},    {text("Modem"), text("Signal")},
        {text("Straße Maps"), text("Route")},
    };
    const auto found = [&](const char* query) {
        QStringList titles;
        for (const int index : TrayItemSearch::rank(entries, text(query)))
            titles.append(entries[index].title);
        return titles.join(u'|');
    };
    const struct {
        const char* query;
        const char* titles;
    } cases[] = {
        {"desk", "Brightness|Weather"},
        {"weather", "Weather|天気"},
        {"cafe", "Espresso timer"},
        {"CAFÉ", "Espresso timer"},
        {"ZURICH", "ZRH"},
        {"zur clo", "ZRH"},
        {"clock zur", "ZRH"},
        {"συνδεση", "Σύνδεση"},
        {"ΩMEGA", "Σύνδεση"},
        {"天気", "天気"},
        {"東京", "天気"},
        {"strasse", ""},
        {"straße", "Route"},
        {"dem", "Signal"},
        {"time", "Espresso timer"},
        {"es", "Espresso timer|Weather|Notes|Brightness"},
        {"note pad", "Notes"},
        {"xyz", ""},
        {"!!", ""},
        {"<b>", "Brightness"},
    };
    for (const auto& entry : cases)
        EXPECT_EQ(found(entry.query), text(entry.titles)) << entry.query;
    EXPECT_EQ(TrayItemSearch::rank(entries, text("   ")).size(), entries.size()) << "blanks find everything";
    EXPECT_EQ(TrayItemSearch::rank(entries, {}), (QList<int>{0, 1, 2, 3, 4, 5, 6, 7, 8}));
}

class TraySearchTest : public test::RevealRunTest {
protected:
    TraySearchPresenter& search()
    {
        if (!m_search)
            m_search = std::make_unique<TraySearchPresenter>(run().app());
        return *m_search;
    }
    QStringList shownTitles()
    {
        QStringList titles;
        for (const TraySearch::Result& result : search().results()->results())
            titles.append(result.title + u'@' + result.placement);
        return titles;
    }
    // The menu an item's press opened: its app.
    QString openMenuOwner() { return desktop().extraMenu() ? desktop().extraMenu()->owner : QString(); }

    std::unique_ptr<TraySearchPresenter> m_search;
};

// Every item the tray knows is listed, wherever it is: in the menu bar, behind the chevron, always
// hidden, in a named group; typing narrows the list and the best match is chosen.
TEST_F(TraySearchTest, ListsEveryItemAndFiltersAsAPersonTypes)
{
    launchCollapsed();
    search().reset();
    EXPECT_EQ(shownTitles(), (QStringList{text("ZRH@Always visible"), text("Espresso timer@Expandable menu"),
                                          text("Weather@Expandable menu"), text("Notes@Work"),
                                          text("Vault@Always hidden")}));
    EXPECT_EQ(search().countText(), text("5 items"));
    // What a screen reader says of each row: the app's name only where the item's title is not it.
    QStringList spoken;
    for (int row = 0; row < search().results()->rowCount(); ++row)
        spoken.append(
            search().results()->index(row).data(TraySearchResultModel::AccessibleNameRole).toString());
    EXPECT_EQ(spoken, (QStringList{text("ZRH, Zürich Clock, Always visible"),
                                   text("Espresso timer, Café Menu, Expandable menu"),
                                   text("Weather, Weather Desk, Expandable menu"),
                                   text("Notes, Notes Pad, Work"), text("Vault, Always hidden")}));
    search().setQuery(text("   "));
    EXPECT_EQ(search().countText(), text("5 items")) << "blanks are no query: the app itself is not offered";
    search().setQuery(text("velmor"));
    EXPECT_EQ(shownTitles(), QStringList{text("Open Velmor Tray@Velmor Tray")})
        << "the way to the app itself";
    search().setQuery(text("zurich"));
    EXPECT_EQ(shownTitles(), QStringList{text("ZRH@Always visible")});
    EXPECT_EQ(search().currentIndex(), 0);
    EXPECT_EQ(search().countText(), text("1 item"));
    search().setQuery(text("<i>nothing</i>"));
    EXPECT_TRUE(shownTitles().isEmpty());
    EXPECT_EQ(search().emptyText(), text("No menu bar items match “<i>nothing</i>”"));
    EXPECT_EQ(search().currentIndex(), -1);
    search().activateCurrent();
    EXPECT_TRUE(openMenuOwner().isEmpty());
}

// Return opens the chosen item's menu the way the bar below opens an entry: a hidden app is shown
// first (its section, its group, or for an always hidden one a moment of its own), then its item
// is pressed; the window closes. What the search revealed hides again by itself.
TEST_F(TraySearchTest, ReturnOpensTheChosenItemWhereverItIs)
{
    launchCollapsed();
    const struct {
        const char* query;
        QString owner;
    } cases[] = {
        {"espresso", cafe()},
        {"zrh", clock()},
        {"notes", notes()},
        {"vault", vault()},
    };
    for (const auto& entry : cases) {
        SCOPED_TRACE(entry.query);
        search().reset();
        search().setQuery(text(entry.query));
        QSignalSpy closed(&search(), &TraySearchPresenter::closeRequested);
        search().activateCurrent();
        EXPECT_EQ(closed.size(), 1);
        ASSERT_TRUE(settled());
        run().scheduler().runUntilIdle();
        EXPECT_EQ(openMenuOwner(), entry.owner);
        EXPECT_FALSE(hiddenApps().contains(entry.owner));
        desktop().closeExtraMenu();
        // Hidden again by itself, a delay after the menu closed.
        advance(10.5);
        ASSERT_TRUE(settled());
        EXPECT_EQ(hiddenApps(), (QStringList{cafe(), notes(), vault(), weather()}));
    }
}

// While the tray is in the middle of a change the search says so and waits; the item opens once
// the change has settled, and the window closes then. Escape gives up the wait.
TEST_F(TraySearchTest, ASearchDuringABusyTrayWaitsAndSaysWhy)
{
    launchCollapsed();
    search().reset();
    search().setQuery(text("weather"));
    QSignalSpy closed(&search(), &TraySearchPresenter::closeRequested);
    model().hooks().organizeAutomatically();
    ASSERT_TRUE(controller().busy());
    search().activateCurrent();
    EXPECT_EQ(search().statusText(), text(TraySearch::waitingText));
    EXPECT_TRUE(closed.isEmpty());
    ASSERT_TRUE(settled());
    ASSERT_TRUE(settled());
    run().scheduler().runUntilIdle();
    EXPECT_EQ(openMenuOwner(), weather());
    EXPECT_EQ(closed.size(), 1);
    EXPECT_TRUE(search().statusText().isEmpty());

    desktop().closeExtraMenu();
    model().hooks().organizeAutomatically();
    search().activateCurrent();
    search().close();
    ASSERT_TRUE(settled());
    run().scheduler().runUntilIdle();
    EXPECT_FALSE(desktop().extraMenu()) << "Escape gave up the wait";
}

// The arrows stop at the list's ends; a press outside the list (a row of a list that has since
// shrunk, or below its last) opens nothing, says nothing and keeps the window and the chosen row,
// while the last row opens its item.
TEST_F(TraySearchTest, ChoosingAndPressingStayWithinTheResults)
{
    launchCollapsed();
    search().reset();
    const int count = search().results()->rowCount();
    ASSERT_EQ(count, 5);
    const struct {
        int from;
        int delta;
        int chosen;
    } moves[] = {
        {0, -1, 0},
        {1, -count, 0},
        {count - 1, 1, count - 1},
        {0, count - 1, count - 1},
        {1, count, count - 1},
    };
    for (const auto& move : moves) {
        search().setCurrentIndex(move.from);
        search().moveSelection(move.delta);
        EXPECT_EQ(search().currentIndex(), move.chosen) << move.from << " moved by " << move.delta;
    }
    // Items that come and go while the window is open leave the person's choice on its item.
    search().setCurrentIndex(2);
    ASSERT_EQ(shownTitles().value(2), text("Weather@Expandable menu"));
    ASSERT_TRUE(desktop().quit(clock()));
    model().refresh();
    run().scheduler().runUntilIdle();
    ASSERT_EQ(search().results()->rowCount(), count - 1);
    EXPECT_EQ(shownTitles().value(search().currentIndex()), text("Weather@Expandable menu"));
    ASSERT_TRUE(desktop().launch(clock()));
    model().refresh();
    run().scheduler().runUntilIdle();
    ASSERT_EQ(search().results()->rowCount(), count);

    const struct {
        int index;
        QString owner;
    } presses[] = {{-1, {}}, {count, {}}, {count - 1, vault()}};
    for (const auto& press : presses) {
        SCOPED_TRACE(press.index);
        search().setCurrentIndex(1);
        QSignalSpy closed(&search(), &TraySearchPresenter::closeRequested);
        search().activate(press.index);
        ASSERT_TRUE(settled());
        run().scheduler().runUntilIdle();
        EXPECT_EQ(openMenuOwner(), press.owner);
        EXPECT_EQ(closed.size(), press.owner.isEmpty() ? 0 : 1);
        if (press.owner.isEmpty()) {
            EXPECT_EQ(search().currentIndex(), 1);
            EXPECT_TRUE(search().statusText().isEmpty());
            EXPECT_EQ(hiddenApps(), (QStringList{cafe(), notes(), vault(), weather()}));
        }
    }
}
