#pragma once

#include "platform/key_combination.h"
#include "tray/tray_auto_hide.h"
#include "tray/tray_reveal_preferences.h"
#include "tray/tray_run_fixture.h"
#include "tray/tray_shortcuts.h"

#include <QVariantMap>

namespace velmor::test {

// Two apps behind the chevron, one always hidden, one always in the menu bar and one in the group
// "Work", with names only a search that ignores case and accents finds.
constexpr const char* revealScenario = R"({ "apps": [
  { "bundleID": "com.example.weather", "name": "Weather Desk", "extras": [ { "title": "Weather", "width": 30, "position": 300 } ] },
  { "bundleID": "com.example.cafe", "name": "Café Menu", "extras": [ { "title": "", "description": "Espresso timer", "width": 30, "position": 280 } ] },
  { "bundleID": "com.example.vault", "name": "Vault", "extras": [ { "title": "Vault", "width": 30, "position": 260 } ] },
  { "bundleID": "com.example.clock", "name": "Zürich Clock", "extras": [ { "title": "ZRH", "width": 40, "position": 100 } ] },
  { "bundleID": "com.example.notes", "name": "Notes Pad", "extras": [ { "title": "Notes", "width": 30, "position": 240 } ] } ] })";

// The whole app on that Mac with grouping applied and the expandable menu collapsed.
class RevealRunTest : public TrayRunTest {
protected:
    static QString weather() { return QStringLiteral("com.example.weather"); }
    static QString cafe() { return QStringLiteral("com.example.cafe"); }
    static QString vault() { return QStringLiteral("com.example.vault"); }
    static QString clock() { return QStringLiteral("com.example.clock"); }
    static QString notes() { return QStringLiteral("com.example.notes"); }

    void launchCollapsed(const QVariantMap& shortcuts = {}, const char* scenario = revealScenario)
    {
        start(scenario);
        storeAppGroups({{weather(), TraySection::expandable},
                        {cafe(), TraySection::expandable},
                        {vault(), TraySection::alwaysHidden},
                        {clock(), TraySection::alwaysVisible}});
        m_work = storeGroups({{QStringLiteral("Work"), {notes()}}});
        if (!shortcuts.isEmpty())
            desktop().userDefaults().setValue(QString::fromLatin1(TrayShortcuts::key), shortcuts);
        launch();
        model().hooks().arrangeNative();
        run().settle();
        // A person's pointer rests somewhere on the desktop, away from the bar.
        pointerTo(awayFromBar());
        ASSERT_TRUE(controller().configured());
        ASSERT_FALSE(controller().expanded());
    }

    TrayRevealPreferences& preferences() { return delegate().revealPreferences(); }
    TrayAutoHide& autoHide() { return *delegate().autoHide(); }
    TrayShortcuts& shortcuts() { return run().app().shortcuts(); }
    static platform::KeyCombination keys(const char* text)
    {
        return *platform::KeyCombination::parse(QString::fromUtf8(text));
    }

    // Runs what is due, then until the controller has settled again.
    bool settled(double limit = 10)
    {
        run().scheduler().runUntilIdle();
        return waitUntil([this] { return !controller().busy(); }, limit);
    }
    // Reveals the expandable menu as a shortcut does and stops the moment the reveal settles:
    // when the delay starts. False when it does not settle.
    bool reveal()
    {
        controller().toggle();
        return waitUntil([this] { return controller().expanded() && !controller().busy(); });
    }
    // Whether the tray started hiding again (or has hidden).
    bool hiding() { return controller().busy() || !controller().revealing(); }

    // Screen coordinates (origin bottom left).
    void pointerTo(QPointF point)
    {
        desktop().movePointer(point);
        run().scheduler().runUntilIdle();
    }
    QPointF awayFromBar() { return desktop().menuBar().frame().center() - QPointF(0, 400); }
    QPointF onBar(double x) { return QPointF(x, desktop().menuBar().frame().center().y()); }
    QPointF overChevron() { return controller().chevronItem()->buttonWindowFrame()->center(); }
    // Between where the menus end (480) and the first status item.
    QPointF emptyBar() { return onBar(600); }
    QPointF overMenus() { return onBar(200); }

    QUuid m_work;
};

} // namespace velmor::test
