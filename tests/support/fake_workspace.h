#pragma once

#include "platform/workspace.h"

#include <QHash>
#include <QStringList>

namespace velmor::test {

// A workspace whose running applications a test sets directly.
class FakeWorkspace final : public platform::Workspace {
public:
    QList<platform::RunningApplication> applications;
    QList<QUrl> openedUrls;
    QStringList revealedPaths;

    QList<platform::RunningApplication> runningApplications() const override { return applications; }
    ObserverId observeDidLaunch(LaunchHandler handler) override
    {
        m_handlers.insert(++m_lastObserver, std::move(handler));
        return m_lastObserver;
    }
    void removeObserver(ObserverId observer) override { m_handlers.remove(observer); }
    bool openUrl(const QUrl& url) override
    {
        openedUrls.append(url);
        return true;
    }
    void revealInFileBrowser(const QString& path) override { revealedPaths.append(path); }

    // Adds the application and tells the observers, as the system does after a launch.
    void launch(const platform::RunningApplication& application)
    {
        applications.append(application);
        for (const LaunchHandler& handler : std::as_const(m_handlers))
            handler(application);
    }

private:
    QHash<ObserverId, LaunchHandler> m_handlers;
    ObserverId m_lastObserver = 0;
};

} // namespace velmor::test
