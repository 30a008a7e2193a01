#pragma once

#include "platform/workspace.h"

#include <QHash>

#include <map>

@class NSRunningApplication;
@class NSString;

namespace velmor::platform::mac {

// The running applications and the Finder (NSWorkspace). AppKit: main thread only.
class MacWorkspace final : public Workspace {
public:
    // Icons are drawn at this size in points, at twice the pixels for Retina screens.
    static constexpr int iconPoints = 32;

    MacWorkspace();
    ~MacWorkspace() override;

    QList<RunningApplication> runningApplications() const override;
    ObserverId observeDidLaunch(LaunchHandler handler) override;
    ObserverId observeDidTerminate(LaunchHandler handler) override;
    std::optional<qint32> frontmostProcessIdentifier() const override;
    ObserverId observeDidActivate(ActivationHandler handler) override;
    void removeObserver(ObserverId observer) override;
    bool openUrl(const QUrl& url) override;
    void revealInFileBrowser(const QString& path) override;

private:
    RunningApplication describe(NSRunningApplication* application) const;
    // Observes one of the workspace's notifications about an app on the main queue.
    ObserverId observe(NSString* name, std::function<void(NSRunningApplication*)> handler);

    // Drawing an icon costs far more than everything else here, and the list is read every
    // refresh: icons are kept per process for as long as it runs.
    mutable QHash<qint32, Icon> m_icons;
    std::map<ObserverId, id> m_observers;
    ObserverId m_nextObserver = 1;
};

} // namespace velmor::platform::mac
