#pragma once

#include <QObject>
#include <QUrl>
#include <QVariantList>
#include <QtQml/qqmlregistration.h>

namespace velmor::platform {

class SimulatedDesktop;

// The System Settings stand-in: the three panes the app links to, each listing apps with
// switches that change the simulated permission at once. Full Disk Access takes app bundles
// dropped on its list (file URLs, as from the Finder or the app's drag tile) or chosen after "+".
class SystemSettingsPresenter final : public QObject {
    Q_OBJECT
    QML_ELEMENT
    QML_UNCREATABLE("Part of the simulated Mac")
    Q_PROPERTY(bool open READ isOpen NOTIFY changed)
    Q_PROPERTY(int pane READ pane NOTIFY changed)
    Q_PROPERTY(QVariantList panes READ panes CONSTANT)
    Q_PROPERTY(QString paneTitle READ paneTitle NOTIFY changed)
    Q_PROPERTY(QString paneNote READ paneNote NOTIFY changed)
    Q_PROPERTY(QString emptyText READ emptyText NOTIFY changed)
    Q_PROPERTY(QVariantList rows READ rows NOTIFY changed)
    Q_PROPERTY(bool canAdd READ canAdd NOTIFY changed)
    Q_PROPERTY(QVariantList addable READ addable NOTIFY changed)

public:
    static constexpr const char* windowTitle = "System Settings";

    SystemSettingsPresenter(SimulatedDesktop& desktop, QObject* parent = nullptr);

    bool isOpen() const;
    // The index into `panes`; -1 while closed.
    int pane() const;
    // {title, symbol}
    static QVariantList panes();
    QString paneTitle() const;
    QString paneNote() const;
    QString emptyText() const;
    // {name, bundlePath, enabled, iconSource, accessibleName}
    const QVariantList& rows() const { return m_rows; }
    bool canAdd() const;
    // The bundles "+" offers that the list does not hold yet: {name, bundlePath}.
    const QVariantList& addable() const { return m_addable; }

    void refresh();

    Q_INVOKABLE void openPane(int index);
    Q_INVOKABLE void close();
    Q_INVOKABLE bool setSwitch(const QString& bundlePath, bool on);
    // Whether a drop of these URLs would add something: only on the Full Disk Access list, and
    // only local app bundles.
    Q_INVOKABLE bool acceptsDrop(const QList<QUrl>& urls) const;
    Q_INVOKABLE bool drop(const QList<QUrl>& urls);
    Q_INVOKABLE bool add(const QString& bundlePath);

Q_SIGNALS:
    void changed();

private:
    SimulatedDesktop& m_desktop;
    QVariantList m_rows;
    QVariantList m_addable;
};

} // namespace velmor::platform
