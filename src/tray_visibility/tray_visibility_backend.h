#pragma once

#include "tray_visibility/tray_visibility_error.h"

#include <QSet>
#include <QString>

#include <functional>
#include <memory>
#include <optional>

namespace velmor {

// What keeps a system request to hide menu bar items alive. The holder owns it; once the last
// owner lets go, the system ends the request, so observers only ever keep weak references.
class TrayVisibilityToken {
public:
    virtual ~TrayVisibilityToken() = default;
};

// Absent on success.
using TrayVisibilityCompletion = std::function<void(std::optional<TrayVisibilityFailure>)>;

// The system service that shows only an allow-list of apps in the menu bar.
class TrayVisibilityBackend {
public:
    virtual ~TrayVisibilityBackend() = default;

    virtual bool isAvailable() const = 0;

    // Asks the system to show only the allowed apps' items. The completion may run on any thread,
    // and may even run before this returns. Returns no token (and never calls the completion) when
    // the request could not be made at all.
    virtual std::shared_ptr<TrayVisibilityToken> activate(const QSet<QString>& allowedBundleIDs,
                                                          TrayVisibilityCompletion completion) = 0;

    // Ends the request the token stands for, whether or not the system has answered yet.
    virtual void invalidate(TrayVisibilityToken& token) = 0;
};

} // namespace velmor
