#include "suite_ui/feedback_menu_items.h"

#include "suite_ui/velmor_signals.h"

namespace velmor {

QList<FeedbackMenuItems::Entry> FeedbackMenuItems::entries()
{
    return {{QString::fromUtf8(sendFeedbackText), false}, {QString::fromUtf8(reportBugText), true}};
}

FeedbackMenuItems::FeedbackMenuItems(VelmorSignals* hub, QObject* parent) : QObject(parent), m_hub(hub)
{
    if (hub)
        connect(hub, &VelmorSignals::supportWindowsInstalled, this, &FeedbackMenuItems::enabledChanged);
}

bool FeedbackMenuItems::enabled() const
{
    return m_hub && m_hub->canShowSupport();
}

void FeedbackMenuItems::open(bool bug)
{
    if (enabled())
        m_hub->showSupport(bug);
}

} // namespace velmor
