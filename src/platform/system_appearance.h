#pragma once

#include <QtGlobal>

#include <functional>

namespace velmor::platform {

// The system-wide light or dark appearance that windows follow unless the app picks one.
class SystemAppearance {
public:
    using ObserverId = quint64;
    using Handler = std::function<void(bool dark)>;

    virtual ~SystemAppearance() = default;

    virtual bool isDark() const = 0;
    // Told on the main thread after every change.
    virtual ObserverId observe(Handler handler) = 0;
    virtual void removeObserver(ObserverId observer) = 0;
};

} // namespace velmor::platform
