#pragma once

#include "tray_visibility/tray_visibility_backend.h"

namespace velmor {

// The system's own menu bar visibility service.
class NativeVisibilityBackend final : public TrayVisibilityBackend {
public:
    bool isAvailable() const override;
    std::shared_ptr<TrayVisibilityToken> activate(const QSet<QString>& allowedBundleIDs,
                                                  TrayVisibilityCompletion completion) override;
    void invalidate(TrayVisibilityToken& token) override;
};

} // namespace velmor
