#include "support/utf8_text.h"
#include "tray/reveal_run_fixture.h"

using namespace velmor;
using velmor::test::text;
using Command = TrayShortcuts::Command;

namespace {

const QVariantMap everyShortcut{{QStringLiteral("toggleSection"), text("⌃⌥⌘H")},
                                {QStringLiteral("revealAll"), text("⌃⌥⌘R")},
                                {QStringLiteral("search"), text("⌃⌥⌘S")},
                                {QStringLiteral("organizer"), text("⌃⌥⌘O")}};

} // namespace

class TrayShortcutsTest : public test::RevealRunTest {
protected:
    // What each command does shows in one place only.
    struct Effects {
        bool expanded = false;
        bool configured = true;
        int searches = 0;
        bool organizerShown = false;
        friend bool operator==(const Effects&, const Effects&) = default;
        friend void PrintTo(const Effects& effects, std::ostream* stream)
        {
            *stream << "{expanded " << effects.expanded << ", configured " << effects.configured
                    << ", searches " << effects.searches << ", organizer " << effects.organizerShown << "}";
        }
    };
    Effects effects()
    {
        bool shown = false;
        for (const platform::WindowInfo& window : desktop().applicationShell().windows())
            shown = shown || (window.kind == u"settings" && window.visible);
        return {controller().expanded(), controller().configured(), m_searches, shown};
    }
    void press(const char* keys)
    {
        EXPECT_TRUE(desktop().pressKeys(this->keys(keys))) << keys;
        settled();
    }

    int m_searches = 0;
};

// Pressed in any app, each shortcut runs its own command on the simulated Mac, and nothing else
// happens: the expandable menu, Reveal all, the search and the organizer.
TEST_F(TrayShortcutsTest, EachShortcutRunsItsCommandAndNothingElse)
{
    launchCollapsed(everyShortcut);
    run().app().setShowSearchWindow([this] { ++m_searches; });
    run().closeSettingsWindow();
    EXPECT_EQ(desktop().globalShortcuts().registered().size(), 4);
    Effects expected = effects();
    ASSERT_FALSE(expected.organizerShown);

    press("⌃⌥⌘S");
    expected.searches = 1;
    EXPECT_EQ(effects(), expected);
    EXPECT_EQ(desktop().frontmostPid(), qint32(run().host().processId()))
        << "the search comes in front of the app the person works in";

    press("⌃⌥⌘O");
    expected.organizerShown = true;
    EXPECT_EQ(effects(), expected);

    press("⌃⌥⌘H");
    expected.expanded = true;
    EXPECT_EQ(effects(), expected);
    press("⌃⌥⌘H");
    expected.expanded = false;
    EXPECT_EQ(effects(), expected);

    press("⌃⌥⌘R");
    expected.configured = false;
    expected.expanded = true;
    EXPECT_EQ(effects(), expected);
    EXPECT_TRUE(hiddenApps().isEmpty());

    // Keys no shortcut holds reach no command.
    EXPECT_FALSE(desktop().pressKeys(keys("⌃⌥⌘J")));
    // Quitting gives every shortcut back to the system.
    run().quit();
    EXPECT_TRUE(desktop().globalShortcuts().registered().isEmpty());
}

// What the recorder refuses, each with its sentence; the shortcut the command had stays.
TEST_F(TrayShortcutsTest, TheRecorderRefusesWhatCannotBeAShortcutAndSaysWhy)
{
    launchCollapsed({{QStringLiteral("search"), text("⌃⌥⌘S")}});
    desktop().globalShortcuts().take(keys("⌃⌥⌘K"));
    const struct {
        const char* keys;
        QString sentence;
    } refused[] = {
        {"H", text(TrayShortcuts::needsModifierText)},
        {"⇧H", text(TrayShortcuts::needsModifierText)},
        {"⇧F5", text(TrayShortcuts::needsModifierText)},
        {"⌘Space", text("⌘Space belongs to macOS. Choose another shortcut.")},
        {"⌘⇥", text("⌘⇥ belongs to macOS. Choose another shortcut.")},
        {"⌘Q", text("⌘Q belongs to macOS. Choose another shortcut.")},
        {"⇧⌘4", text("⇧⌘4 belongs to macOS. Choose another shortcut.")},
        {"⌃⌥⌘S", text("⌃⌥⌘S is already the shortcut for “Search the menu bar”.")},
        {"⌃⌥⌘K", text("⌃⌥⌘K is used by another app or by macOS. Choose another shortcut.")},
    };
    ASSERT_FALSE(shortcuts().record(Command::ToggleSection, keys("⌃⌥⌘H")));
    for (const auto& entry : refused) {
        EXPECT_EQ(shortcuts().record(Command::ToggleSection, keys(entry.keys)), entry.sentence) << entry.keys;
        EXPECT_EQ(shortcuts().shortcut(Command::ToggleSection), keys("⌃⌥⌘H")) << entry.keys;
    }
    // The one it had still works, and the one it refused reaches nothing.
    EXPECT_TRUE(desktop().pressKeys(keys("⌃⌥⌘H")));
    EXPECT_FALSE(desktop().pressKeys(keys("⌃⌥⌘K")));
    // The same combination again is no conflict with itself.
    EXPECT_FALSE(shortcuts().record(Command::Search, keys("⌃⌥⌘S")));
    // Stored as the Mac writes them.
    EXPECT_EQ(desktop().userDefaults().dictionaryValue(QString::fromLatin1(TrayShortcuts::key)),
              (QVariantMap{{QStringLiteral("search"), text("⌃⌥⌘S")},
                           {QStringLiteral("toggleSection"), text("⌃⌥⌘H")}}));
}

// A stored value the app cannot read (or would not have recorded) is ignored: the command has no
// shortcut, the others keep theirs, one sentence says so, and nothing is written back.
TEST_F(TrayShortcutsTest, AStoredShortcutThatDoesNotReadIsIgnoredAndReportedOnce)
{
    const struct {
        const char* what;
        QVariant stored;
        int kept;
    } cases[] = {
        {"not a dictionary", QVariant(text("⌃⌥⌘H")), 0},
        {"a number", QVariant(qlonglong(42)), 0},
        {"a number for a command",
         QVariantMap{{QStringLiteral("toggleSection"), qlonglong(4)},
                     {QStringLiteral("search"), text("⌃⌥⌘S")}},
         1},
        {"markup", QVariantMap{{QStringLiteral("toggleSection"), text("<b>⌘H</b>")}}, 0},
        {"no modifier", QVariantMap{{QStringLiteral("toggleSection"), text("H")}}, 0},
        {"reserved", QVariantMap{{QStringLiteral("toggleSection"), text("⌘Space")}}, 0},
        {"twice",
         QVariantMap{{QStringLiteral("toggleSection"), text("⌃⌥⌘S")},
                     {QStringLiteral("search"), text("⌃⌥⌘S")}},
         1},
        {"a huge string", QVariantMap{{QStringLiteral("toggleSection"), QString(100000, u'⌘')}}, 0},
    };
    start(test::revealScenario);
    for (const auto& entry : cases) {
        SCOPED_TRACE(entry.what);
        if (run().isRunning())
            run().kill();
        desktop().userDefaults().setValue(QString::fromLatin1(TrayShortcuts::key), entry.stored);
        launch();
        EXPECT_EQ(desktop().globalShortcuts().registered().size(), entry.kept);
        EXPECT_EQ(shortcuts().storedProblem(), text(TrayShortcuts::unreadableText));
        EXPECT_EQ(desktop().userDefaults().value(QString::fromLatin1(TrayShortcuts::key)), entry.stored)
            << "nothing is written back";
        // Recording anew replaces the record and ends the report.
        EXPECT_FALSE(shortcuts().record(Command::Organizer, keys("⌃⌥⌘O")));
        EXPECT_TRUE(shortcuts().storedProblem().isEmpty());
    }
}

// A shortcut another app holds is kept, shown with the sentence why it does nothing, and works
// once recorded again after the other app let go of it.
TEST_F(TrayShortcutsTest, AShortcutTheSystemRefusesIsReportedBesideItsRecorder)
{
    start(test::revealScenario);
    desktop().globalShortcuts().take(keys("⌃⌥⌘H"));
    desktop().userDefaults().setValue(QString::fromLatin1(TrayShortcuts::key),
                                      QVariantMap{{QStringLiteral("toggleSection"), text("⌃⌥⌘H")}});
    launch();
    EXPECT_EQ(shortcuts().shortcut(Command::ToggleSection), keys("⌃⌥⌘H"));
    EXPECT_EQ(shortcuts().message(Command::ToggleSection),
              text("⌃⌥⌘H is used by another app or by macOS. Choose another shortcut."));
    EXPECT_FALSE(desktop().pressKeys(keys("⌃⌥⌘H")));
    // None by default: nothing to report for the others.
    EXPECT_FALSE(shortcuts().shortcut(Command::Search));
    EXPECT_TRUE(shortcuts().message(Command::Search).isEmpty());

    desktop().globalShortcuts().release(keys("⌃⌥⌘H"));
    EXPECT_FALSE(shortcuts().record(Command::ToggleSection, keys("⌃⌥⌘H")));
    EXPECT_TRUE(shortcuts().message(Command::ToggleSection).isEmpty());
    EXPECT_TRUE(desktop().pressKeys(keys("⌃⌥⌘H")));
}
