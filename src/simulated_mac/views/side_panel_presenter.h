#pragma once

#include "foundation/keyed_list_model.h"

#include <QObject>
#include <QtQml/qqmlregistration.h>

#include <functional>

namespace velmor::simulated_mac {

class SimulatedDesktop;

// An app the side panel can launch or quit.
struct SidePanelAppRow {
    Q_GADGET

public:
    enum Role : int {
        OwnerRole = Qt::UserRole + 1,
        NameRole,
        RunningRole,
        ActionTitleRole,
        IconSourceRole,
    };
    Q_ENUM(Role)

    // The app's bundle identifier: the row's key and its owner.
    QString key;
    QString name;
    bool running = false;
    QString actionTitle;
    QString iconSource;

    QVariant data(Role role) const;
};

// A run of the `defaults` tool, its texts ready to show.
struct DefaultsRunRow {
    Q_GADGET

public:
    enum Role : int {
        CommandRole = Qt::UserRole + 1,
        DomainRole,
        StatusRole,
        FailedRole,
        DurationRole,
    };
    Q_ENUM(Role)

    // The run's process and how many runs of that process came before it.
    QString key;
    QString command;
    QString domain;
    QString status;
    bool failed = false;
    QString duration;

    QVariant data(Role role) const;
};

// The side panel beside the simulated screens: the scenario's apps (and this app) with Launch and
// Quit, the system appearance, and a live log of every `defaults` run, so a person sees what the
// app does to the system.
class SidePanelPresenter final : public QObject {
    Q_OBJECT
    QML_ELEMENT
    QML_UNCREATABLE("Part of the simulated Mac")
    Q_PROPERTY(QObject* apps READ apps CONSTANT)
    Q_PROPERTY(bool dark READ dark NOTIFY darkChanged)
    Q_PROPERTY(QObject* defaultsRuns READ defaultsRuns CONSTANT)
    Q_PROPERTY(QString logEmptyText READ logEmptyText CONSTANT)

public:
    static constexpr const char* launchTitle = "Launch";
    static constexpr const char* quitTitle = "Quit";
    static constexpr const char* runningText = "running…";
    static constexpr const char* killedText = "ended without an answer";
    static constexpr const char* emptyLogText = "No defaults runs yet.";

    // What Launch and Quit do to this app's own process, which the composition root owns.
    struct OwnApp {
        std::function<bool()> running;
        std::function<void()> launch;
        std::function<void()> quit;
    };

    SidePanelPresenter(SimulatedDesktop& desktop, QObject* parent = nullptr);

    void setOwnApp(OwnApp ownApp);

    KeyedListModelOf<SidePanelAppRow>* apps() { return &m_apps; }
    bool dark() const { return m_dark; }
    // Newest first.
    KeyedListModelOf<DefaultsRunRow>* defaultsRuns() { return &m_runs; }
    QString logEmptyText() const { return QString::fromUtf8(emptyLogText); }

    void refresh();

    // Launches a stopped app or quits a running one.
    Q_INVOKABLE bool toggleRunning(const QString& owner);
    Q_INVOKABLE void setDark(bool dark);

Q_SIGNALS:
    void darkChanged();

private:
    SimulatedDesktop& m_desktop;
    OwnApp m_ownApp;
    KeyedListModelOf<SidePanelAppRow> m_apps;
    KeyedListModelOf<DefaultsRunRow> m_runs;
    bool m_dark = false;
};

} // namespace velmor::simulated_mac
