#include "distribution/pending_terminal_update_notice.h"

#include "distribution/app_updates.h"

namespace velmor {

PendingTerminalUpdateNotice::PendingTerminalUpdateNotice(AppUpdates& updates, QObject* parent)
    : PendingUpdateNotice(updates, parent)
{}

bool PendingTerminalUpdateNotice::shown() const
{
    return updates() && updates()->canCloseSessionsForUpdate();
}

QString PendingTerminalUpdateNotice::buttonTitle() const
{
    return shown() ? QString::fromUtf8(AppUpdates::closeSessionsTitle) : QString();
}

void PendingTerminalUpdateNotice::activate()
{
    if (shown())
        updates()->closeSessionsAndInstallUpdate();
}

} // namespace velmor
