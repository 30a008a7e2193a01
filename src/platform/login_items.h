#pragma once

#include <QMap>
#include <QString>

#include <functional>
#include <optional>

namespace velmor::platform {

enum class LoginItemStatus { NotRegistered, Enabled, RequiresApproval, NotFound };

// The main application's login item, as the system's login-item service offers it. Errors are the
// system's localized descriptions.
class LoginItems {
public:
    using Completion = std::function<void(std::optional<QString> error)>;
    using ObserverId = quint64;

    virtual ~LoginItems() = default;

    virtual LoginItemStatus status() const = 0;
    // Synchronous, as the system's call is.
    virtual std::optional<QString> registerMainApp() = 0;
    // The completion runs on the main thread once the system has answered.
    virtual void unregisterMainApp(Completion completion) = 0;
    virtual void openSystemSettingsLoginItems() = 0;

    // Told on the main thread after the status changed: by a registration through this service,
    // and where the system reports it, by the user in System Settings. Where it does not, a view
    // reads the status again when its window becomes active.
    ObserverId observe(std::function<void()> handler);
    void removeObserver(ObserverId observer);

protected:
    void statusChanged();

private:
    QMap<ObserverId, std::function<void()>> m_observers;
    ObserverId m_lastObserver = 0;
};

} // namespace velmor::platform
