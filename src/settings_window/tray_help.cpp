#include "settings_window/tray_help.h"

namespace velmor {
namespace {

struct Topic {
    TrayHelp topic;
    const char* rawValue;
    const char* title;
    const char* text;
};

constexpr Topic topics[] = {
    {TrayHelp::grouping, "grouping", "How grouping works",
     "Drag an app between areas to apply its group immediately. Apply grouping activates your saved setup "
     "after launch. Reveal all restores access to every app. Custom groups get their own menu bar button. "
     "Changes apply per app across displays; system icons stay unchanged."},
    {TrayHelp::ordering, "ordering", "Menu bar order",
     "Moving a card or applying grouping places grouped icons left of Tray’s chevron, with group buttons on "
     "the right. Previous positions are saved. Restore previous order returns to manual placement until your "
     "next card move. You can also Command-drag supported icons in the Mac menu bar."},
    {TrayHelp::icons, "icons", "App icons",
     "Cards show application icons, rather than a live copy of every menu bar glyph. Right-click a card for "
     "Move to options. Saved apps remain manageable when an app is not running. Screen Recording is not "
     "required."},
};

const Topic& entry(TrayHelp topic)
{
    for (const Topic& candidate : topics) {
        if (candidate.topic == topic)
            return candidate;
    }
    return topics[0];
}

} // namespace

QString rawValue(TrayHelp topic)
{
    return QString::fromLatin1(entry(topic).rawValue);
}

std::optional<TrayHelp> trayHelpFromRawValue(QStringView rawValue)
{
    for (const Topic& candidate : topics) {
        if (rawValue == QLatin1String(candidate.rawValue))
            return candidate.topic;
    }
    return std::nullopt;
}

QString helpTitle(TrayHelp topic)
{
    return QString::fromUtf8(entry(topic).title);
}

QString helpText(TrayHelp topic)
{
    return QString::fromUtf8(entry(topic).text);
}

} // namespace velmor
