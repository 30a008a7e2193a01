#pragma once

#include "foundation/keyed_list_model.h"

#include <QObject>
#include <QtQml/qqmlregistration.h>

namespace velmor::simulated_mac {

class SimulatedDesktop;

// An app's icon in the Dock.
struct DockAppRow {
    Q_GADGET

public:
    enum Role : int {
        OwnerRole = Qt::UserRole + 1,
        NameRole,
        IconSourceRole,
        FrontmostRole,
    };
    Q_ENUM(Role)

    // The app's bundle identifier: the row's key and its owner.
    QString key;
    QString name;
    QString iconSource;
    bool frontmost = false;

    QVariant data(Role role) const;
};

// A minimized window's tile.
struct MinimizedWindowRow {
    Q_GADGET

public:
    enum Role : int {
        WindowIdRole = Qt::UserRole + 1,
        TitleRole,
    };
    Q_ENUM(Role)

    // The window's number.
    QString key;
    quint64 windowId = 0;
    QString title;

    QVariant data(Role role) const;
};

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

    KeyedListModelOf<DockAppRow>* apps() { return &m_apps; }
    KeyedListModelOf<MinimizedWindowRow>* minimizedWindows() { return &m_minimized; }

    void refresh();

    // A click on an app's icon brings it forward.
    Q_INVOKABLE bool activate(const QString& owner);
    // A click on a minimized window's tile restores it.
    Q_INVOKABLE void restore(qulonglong windowId);

private:
    SimulatedDesktop& m_desktop;
    KeyedListModelOf<DockAppRow> m_apps;
    KeyedListModelOf<MinimizedWindowRow> m_minimized;
};

} // namespace velmor::simulated_mac
