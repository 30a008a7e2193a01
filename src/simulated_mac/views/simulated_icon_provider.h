#pragma once

#include <QQuickImageProvider>

namespace velmor::simulated_mac {

class SimulatedWorkspace;

// "image://simulatedapp/<owner>": the icon of any app the simulated Mac knows, running or not,
// by bundle identifier (or name, for an app without one).
class SimulatedIconProvider final : public QQuickImageProvider {
public:
    static constexpr const char* providerId = "simulatedapp";

    explicit SimulatedIconProvider(SimulatedWorkspace& workspace);

    static QString source(const QString& owner);
    QImage requestImage(const QString& id, QSize* size, const QSize& requestedSize) override;

private:
    SimulatedWorkspace& m_workspace;
};

} // namespace velmor::simulated_mac
