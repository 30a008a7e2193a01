#pragma once

#include "distribution/pending_update_notice.h"

namespace velmor {

// The notice of a host whose work holds the update back; its button resolves that work.
class PendingWorkUpdateNotice final : public PendingUpdateNotice {
    Q_OBJECT

public:
    explicit PendingWorkUpdateNotice(AppUpdates& updates, QObject* parent = nullptr);

    bool shown() const override;
    QString buttonTitle() const override;
    void activate() override;
};

} // namespace velmor
