#include "app/suite_commands.h"

#include "distribution/app_updates.h"
#include "distribution/check_for_app_updates.h"
#include "suite_ui/beta_support_commands.h"
#include "suite_ui/velmor_signals.h"

#include <QPointer>
#include <QVariantMap>

namespace velmor {
namespace {

platform::Menu updateCommands(AppUpdates& updates)
{
    platform::Menu menu;
    const QPointer<AppUpdates> target(&updates);
    for (const QVariant& entry : CheckForAppUpdates(updates).commands()) {
        const QVariantMap command = entry.toMap();
        const auto which = command.value(QStringLiteral("command")).value<CheckForAppUpdates::Command>();
        // The menu outlives a state; the command is checked again when chosen.
        menu.append(platform::MenuItem{command.value(QStringLiteral("title")).toString(),
                                       [target, which] {
                                           if (target)
                                               CheckForAppUpdates(*target).trigger(which);
                                       },
                                       false, command.value(QStringLiteral("enabled")).toBool()});
    }
    return menu;
}

platform::Menu feedbackCommands()
{
    platform::Menu menu;
    for (const BetaSupportCommands::Command& command : BetaSupportCommands::commands(VelmorSignals::shared()))
        menu.append(platform::MenuItem{command.title, command.action, false, command.enabled});
    return menu;
}

} // namespace

TrayApp::Suite SuiteCommands::of(AppUpdates& updates)
{
    TrayApp::Suite suite;
    const QPointer<AppUpdates> target(&updates);
    suite.updateCommands = [target] { return target ? updateCommands(*target) : platform::Menu{}; };
    suite.feedbackCommands = [] { return feedbackCommands(); };
    return suite;
}

} // namespace velmor
