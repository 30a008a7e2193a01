#pragma once

#include <QObject>
#include <QVariantList>
#include <QtQml/qqmlregistration.h>

namespace velmor::platform {

class SimulatedDesktop;

// The Dock strip: Finder, the running apps (this app only while its activation policy is
// regular), System Settings while it is open, and this app's minimized windows.
class DockPresenter final : public QObject {
    Q_OBJECT
    QML_ELEMENT
    QML_UNCREATABLE("Part of the simulated Mac")
    Q_PROPERTY(QVariantList apps READ apps NOTIFY changed)
    Q_PROPERTY(QVariantList minimizedWindows READ minimizedWindows NOTIFY changed)

public:
    static constexpr const char* systemSettingsName = "System Settings";

    DockPresenter(SimulatedDesktop& desktop, QObject* parent = nullptr);

    // {owner, name, iconSource, frontmost, own}
    const QVariantList& apps() const { return m_apps; }
    // {id, title}
    const QVariantList& minimizedWindows() const { return m_minimized; }

    void refresh();

    // A click on an app's icon brings it forward.
    Q_INVOKABLE bool activate(const QString& owner);
    // A click on a minimized window's tile restores it.
    Q_INVOKABLE void restore(qulonglong windowId);

Q_SIGNALS:
    void changed();

private:
    SimulatedDesktop& m_desktop;
    QVariantList m_apps;
    QVariantList m_minimized;
};

} // namespace velmor::platform
