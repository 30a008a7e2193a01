#pragma once

#include "platform/host.h"
#include "platform/key_combination.h"
#include "platform/login_items.h"

#include <QByteArray>
#include <QList>
#include <QRectF>
#include <QString>
#include <QStringList>

#include <optional>
#include <variant>

namespace velmor::simulated_mac {

// One menu bar extra of a scenario app, as its app creates it.
struct ScenarioExtra {
    // The extra's own name: the second half of its preferred-position key ("Item-0").
    QString name;
    QString title;
    QString description;
    // Empty for an extra without identifier.
    QString identifier;
    double width = 22;
    QStringList actions{QStringLiteral("AXPress")};
    // Extras of one app naming the same group sit together inside one AXGroup element.
    std::optional<QString> group;
    // Seeds the preferred position when the menu bar domain is created.
    std::optional<double> position;
    // How many levels of child elements the item's own view has; hit testing lands on the
    // deepest, as it does for an item drawn by a view with subviews. 0: on the item itself.
    int hitDepth = 0;
    // The menu bar forgets the item's place when the item goes (its app quits), as macOS does
    // for an item its app removes: made again, it appears where new items do.
    bool forgetsPlace = false;
};

// How the control center's tracked-applications list knows an app.
enum class TrackedRowKind { Bundle, AdhocBinary, None };

struct ScenarioApp {
    std::optional<QString> bundleID;
    QString name;
    qint32 pid = 0;
    QString executable;
    // False: known to the system (it has a row) but not running and not launched by itself.
    bool running = true;
    // Seconds into the run at which a running app launches; 0 means running from the start.
    double launchAt = 0;
    double axLatency = 0.001;
    bool axUnresponsive = false;
    TrackedRowKind trackedRow = TrackedRowKind::Bundle;
    QList<ScenarioExtra> extras;
};

// When the menu bar takes over an edit of the control center's domain.
struct HonourEdits {
    enum class Mode { Immediately, AfterDelay, Never };
    Mode mode = Mode::Immediately;
    double delay = 0; // seconds, for AfterDelay
};

struct ScenarioMenuBar {
    double height = 24;
    // Where the frontmost app's menus end: an item left of it is off screen.
    double leftLimit = 480;
    // Width of the system's own items at the right end.
    double systemItemsWidth = 120;
    HonourEdits honourEdits;
};

struct ScenarioSystem {
    platform::OperatingSystemVersion version{27, 0, 0};
    bool accessibilityTrusted = true;
    bool fullDiskAccess = true;
    double physicalMemoryGB = 16;
    // The system appearance at the start: light unless the scenario says "dark".
    bool darkAppearance = false;
};

// How the system's login-item service treats the app's main-app item.
struct ScenarioLoginItems {
    platform::LoginItemStatus status = platform::LoginItemStatus::NotRegistered;
    // Registering leaves the item waiting for the user's approval in System Settings.
    bool requiresApproval = false;
    // Registering or unregistering fails with this reason.
    std::optional<QString> registerError;
    std::optional<QString> unregisterError;
};

// One display of a scenario.
struct ScenarioScreen {
    // Screen coordinates, origin bottom left of the first screen, y up.
    QRectF frame{0, 0, 1512, 982};
    // What System Settings calls the display.
    QString name;
    // A laptop's own display; only it can have a camera housing.
    bool builtIn = false;
    // The camera housing, centred on the top edge: its width in points; its height is the menu
    // bar's.
    std::optional<double> housingWidth;

    static constexpr const char* builtInName = "Built-in Display";
    static constexpr const char* otherName = "Display %1";

    // Throws SystemError (Parse) naming `where` (as "screens[1]" or "display add"). `index` is the
    // screen's place among the scenario's, which gives the defaults: the first is built in.
    static ScenarioScreen parse(const QByteArray& json, int index, const QString& where);

    friend bool operator==(const ScenarioScreen&, const ScenarioScreen&) = default;
};

// A simulated Mac as a scenario file describes it. Parsing is strict: an unknown member or a
// value of the wrong type is an error that names the member and where it is.
struct Scenario {
    ScenarioSystem system;
    QList<ScenarioScreen> screens{ScenarioScreen{
        QRectF(0, 0, 1512, 982), QString::fromUtf8(ScenarioScreen::builtInName), true, std::nullopt}};
    // Whether every display shows a menu bar with the status items ("Displays have separate
    // Spaces", the Mac's default), or the main display alone.
    bool separateSpaces = true;
    ScenarioMenuBar menuBar;
    ScenarioLoginItems loginItems;
    QList<ScenarioApp> apps;
    // Key combinations other apps hold as global shortcuts: the app's registration of them fails.
    QList<platform::KeyCombination> takenShortcuts;

    // A scenario file larger than this is refused unread; the largest in use are a few KB.
    static constexpr qint64 maximumBytes = 4 * 1024 * 1024;

    // Throws SystemError (Parse) with the reason.
    static Scenario parse(const QByteArray& json);
    // Throws SystemError (File or Parse).
    static Scenario load(const QString& path);
};

} // namespace velmor::simulated_mac
