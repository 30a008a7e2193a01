#pragma once

#include "platform/workspace.h"

namespace velmor::test {

// A workspace whose running applications a test sets directly.
class FakeWorkspace final : public platform::Workspace {
public:
    QList<platform::RunningApplication> applications;

    QList<platform::RunningApplication> runningApplications() const override { return applications; }
    ObserverId observeDidLaunch(LaunchHandler) override { return 0; }
    ObserverId observeDidTerminate(LaunchHandler) override { return 0; }
    std::optional<qint32> frontmostProcessIdentifier() const override { return std::nullopt; }
    ObserverId observeDidActivate(ActivationHandler) override { return 0; }
    void removeObserver(ObserverId) override {}
    bool openUrl(const QUrl&) override { return false; }
    void revealInFileBrowser(const QString&) override {}
};

} // namespace velmor::test
