#pragma once

#include "foundation/keyed_list_model.h"

#include <QObject>
#include <QtQml/qqmlregistration.h>

namespace velmor::simulated_mac {

class SimulatedDesktop;

// The Dock strip: Finder, the running apps (this app only while its activation policy is
// regular), System Settings while it is open, and this app's minimized windows.
class DockPresenter final : public QObject {
    Q_OBJECT
    QML_ELEMENT
    QML_UNCREATABLE("Part of the simulated Mac")
    Q_PROPERTY(QObject* apps READ apps CONSTANT)
    Q_PROPERTY(QObject* minimizedWindows READ minimizedWindows CONSTANT)

public:
    static constexpr const char* systemSettingsName = "System Settings";

    DockPresenter(SimulatedDesktop& desktop, QObject* parent = nullptr);

    // By bundle identifier: owner, name, iconSource, frontmost.
    KeyedListModel* apps() { return &m_apps; }
    // By window: windowId, title.
    KeyedListModel* minimizedWindows() { return &m_minimized; }

    void refresh();

    // A click on an app's icon brings it forward.
    Q_INVOKABLE bool activate(const QString& owner);
    // A click on a minimized window's tile restores it.
    Q_INVOKABLE void restore(qulonglong windowId);

private:
    SimulatedDesktop& m_desktop;
    KeyedListModel m_apps;
    KeyedListModel m_minimized;
};

} // namespace velmor::simulated_mac
