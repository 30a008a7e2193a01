#pragma once

#include "platform/icon.h"

#include <QList>
#include <QString>
#include <QUrl>

#include <functional>
#include <optional>

namespace velmor::platform {

struct RunningApplication {
    qint32 processIdentifier = 0;
    std::optional<QString> bundleIdentifier;
    std::optional<QString> localizedName;
    std::optional<QString> executablePath;
    std::optional<Icon> icon;
    bool terminated = false;
};

// The running applications and what the system's file browser and URL handlers offer.
class Workspace {
public:
    using ObserverId = quint64;
    using LaunchHandler = std::function<void(const RunningApplication&)>;
    using ActivationHandler = std::function<void(qint32 processIdentifier)>;

    virtual ~Workspace() = default;

    virtual QList<RunningApplication> runningApplications() const = 0;
    // Delivered on the main thread after an application finished launching.
    virtual ObserverId observeDidLaunch(LaunchHandler handler) = 0;
    // Delivered on the main thread after an application quit (its process ended).
    virtual ObserverId observeDidTerminate(LaunchHandler handler) = 0;
    // The app whose menus the menu bar shows; absent when the system names none.
    virtual std::optional<qint32> frontmostProcessIdentifier() const = 0;
    // Delivered on the main thread after an app (this one too) became the frontmost app.
    virtual ObserverId observeDidActivate(ActivationHandler handler) = 0;
    // Ends a launch, termination or activation observer.
    virtual void removeObserver(ObserverId observer) = 0;
    virtual bool openUrl(const QUrl& url) = 0;
    virtual void revealInFileBrowser(const QString& path) = 0;

    std::optional<RunningApplication> runningApplication(qint32 processIdentifier) const
    {
        for (const RunningApplication& application : runningApplications()) {
            if (application.processIdentifier == processIdentifier)
                return application;
        }
        return std::nullopt;
    }
};

} // namespace velmor::platform
