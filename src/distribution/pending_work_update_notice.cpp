#include "distribution/pending_work_update_notice.h"

#include "distribution/app_updates.h"

namespace velmor {

PendingWorkUpdateNotice::PendingWorkUpdateNotice(AppUpdates& updates, QObject* parent)
    : PendingUpdateNotice(updates, parent)
{}

bool PendingWorkUpdateNotice::shown() const
{
    return updates() && updates()->pendingWorkActionTitle().has_value();
}

QString PendingWorkUpdateNotice::buttonTitle() const
{
    return shown() ? *updates()->pendingWorkActionTitle() : QString();
}

void PendingWorkUpdateNotice::activate()
{
    if (shown())
        updates()->resolvePendingWork();
}

} // namespace velmor
