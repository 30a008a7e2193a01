#include "distribution/pending_update_notice.h"

#include "distribution/app_updates.h"

namespace velmor {

PendingUpdateNotice::PendingUpdateNotice(AppUpdates& updates, QObject* parent)
    : QObject(parent), m_updates(&updates)
{
    connect(&updates, &AppUpdates::stateChanged, this, &PendingUpdateNotice::changed);
}

QString PendingUpdateNotice::message() const
{
    return shown() ? m_updates->message() : QString();
}

} // namespace velmor
