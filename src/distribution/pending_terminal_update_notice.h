#pragma once

#include "distribution/pending_update_notice.h"

namespace velmor {

// The notice of a host whose open sessions hold the update back; its button closes them and updates.
class PendingTerminalUpdateNotice final : public PendingUpdateNotice {
    Q_OBJECT

public:
    explicit PendingTerminalUpdateNotice(AppUpdates& updates, QObject* parent = nullptr);

    bool shown() const override;
    QString buttonTitle() const override;
    void activate() override;
};

} // namespace velmor
