#include "telemetry/velmor_event.h"

namespace velmor::velmor_event {
namespace {

constexpr std::size_t place(VelmorEvent event)
{
    return static_cast<std::size_t>(event);
}

// Indexed by place; the service aggregates by these names, so they never change.
constexpr std::array<const char*, caseCount> wireNames = {
    "app.opened",
    "mic.muted",
    "mic.unmuted",
    "mic.mutefailed",
    "mic.overridewarned",
    "scribe.started",
    "scribe.finished",
    "scribe.cancelled",
    "scribe.failed",
    "scribe.exported",
    "dictate.started",
    "dictate.inserted",
    "dictate.cancelled",
    "dictate.failed",
    "clip.captured",
    "clip.pasted",
    "clip.pinned",
    "clip.cleared",
    "console.opened",
    "console.commandrun",
    "console.snippetsaved",
    "tray.collapsed",
    "tiles.arranged",
    "tiles.layoutsaved",
    "tiles.layoutrestored",
    "tiles.snapped",
    "focus.started",
    "focus.completed",
    "focus.interrupted",
    "focus.breakskipped",
    "keys.shortcutadded",
    "keys.shortcuttriggered",
    "keys.shortcutremoved",
    "keys.overlayshown",
    "model.downloadstarted",
    "model.downloaded",
    "model.downloadfailed",
    "model.deleted",
    "onboarding.shown",
    "onboarding.completed",
    "onboarding.skipped",
    "permission.requested",
    "permission.granted",
    "permission.denied",
    "update.found",
    "update.downloaded",
    "update.installed",
    "update.failed",
    "app.uncleanexit",
};

static_assert(place(VelmorEvent::appOpened) == 0);
static_assert(place(VelmorEvent::trayCollapsed) == 21);
static_assert(place(VelmorEvent::updateFound) == 44);
static_assert(place(VelmorEvent::appUncleanExit) == caseCount - 1);

} // namespace

const std::array<VelmorEvent, caseCount>& allCases()
{
    static const auto cases = [] {
        std::array<VelmorEvent, caseCount> all{};
        for (std::size_t i = 0; i < caseCount; ++i)
            all[i] = static_cast<VelmorEvent>(i);
        return all;
    }();
    return cases;
}

QString wireName(VelmorEvent event)
{
    return QString::fromLatin1(wireNames.at(place(event)));
}

} // namespace velmor::velmor_event
