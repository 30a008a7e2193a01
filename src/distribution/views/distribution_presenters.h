#pragma once

#include "distribution/app_distribution_settings.h"
#include "distribution/app_updates.h"
#include "distribution/pending_terminal_update_notice.h"
#include "distribution/pending_update_notice.h"
#include "distribution/pending_work_update_notice.h"

#include <QtQml/qqml.h>

namespace velmor {

// The update views' presenters as QML sees them (they live in the engine, which does not link Qt
// Quick). The QML files of the same names are their views, hence the "Presenter" in the names.

struct AppDistributionSettingsPresenter {
    Q_GADGET
    QML_FOREIGN(velmor::AppDistributionSettings)
    QML_NAMED_ELEMENT(AppDistributionSettingsPresenter)
    QML_UNCREATABLE("Made by the app with the Update Settings window")
};

struct PendingUpdateNoticePresenter {
    Q_GADGET
    QML_FOREIGN(velmor::PendingUpdateNotice)
    QML_NAMED_ELEMENT(PendingUpdateNoticePresenter)
    QML_UNCREATABLE("Made by the app that places the notice")
};

struct PendingWorkUpdateNoticePresenter {
    Q_GADGET
    QML_FOREIGN(velmor::PendingWorkUpdateNotice)
    QML_NAMED_ELEMENT(PendingWorkUpdateNoticePresenter)
    QML_UNCREATABLE("Made by the app that places the notice")
};

struct PendingTerminalUpdateNoticePresenter {
    Q_GADGET
    QML_FOREIGN(velmor::PendingTerminalUpdateNotice)
    QML_NAMED_ELEMENT(PendingTerminalUpdateNoticePresenter)
    QML_UNCREATABLE("Made by the app that places the notice")
};

} // namespace velmor
