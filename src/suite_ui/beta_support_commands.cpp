#include "suite_ui/beta_support_commands.h"

#include "suite_ui/feedback_menu_items.h"
#include "suite_ui/velmor_signals.h"

#include <QPointer>

namespace velmor {

QList<BetaSupportCommands::Command> BetaSupportCommands::commands(VelmorSignals* hub)
{
    const bool enabled = hub && hub->canShowSupport();
    QList<Command> commands;
    for (const FeedbackMenuItems::Entry& entry : FeedbackMenuItems::entries()) {
        QPointer<VelmorSignals> target(hub);
        commands.append({entry.title, enabled, [target, bug = entry.bug]() {
                             if (target && target->canShowSupport())
                                 target->showSupport(bug);
                         }});
    }
    return commands;
}

} // namespace velmor
