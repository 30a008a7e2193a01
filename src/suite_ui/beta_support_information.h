#pragma once

#include <QString>

namespace velmor::platform {
class Host;
}

namespace velmor {

// A plain-text block describing the running app, for reports written outside the form.
class BetaSupportInformation final {
public:
    static constexpr auto unavailable = "Unavailable";

    // Five lines: the app, its version and build, the system version and the architecture.
    static QString text(const QString& appName, const platform::Host& host);

    BetaSupportInformation() = delete;
};

} // namespace velmor
