#pragma once

#include <QObject>
#include <QPointer>
#include <QString>

namespace velmor {

class AppUpdates;

// The content of the "Update Settings" window: the launch-at-login section (filled in by the suite
// shell), the "Updates" section with its toggles, check button, status and overrides, and the
// support footer (also the shell's). It decides titles and enabled and shown states; it keeps no
// state of its own.
class AppDistributionSettings final : public QObject {
    Q_OBJECT
    Q_PROPERTY(QObject* startupSection READ startupSection WRITE setStartupSection NOTIFY sectionsChanged)
    Q_PROPERTY(QObject* footer READ footer WRITE setFooter NOTIFY sectionsChanged)
    Q_PROPERTY(QString startupDetail READ startupDetail CONSTANT)
    Q_PROPERTY(QString updatesHeader READ updatesHeader CONSTANT)
    Q_PROPERTY(QString automaticChecksTitle READ automaticChecksTitle CONSTANT)
    Q_PROPERTY(bool automaticChecks READ automaticChecks NOTIFY changed)
    Q_PROPERTY(bool automaticChecksEnabled READ automaticChecksEnabled NOTIFY changed)
    Q_PROPERTY(QString automaticDownloadsTitle READ automaticDownloadsTitle CONSTANT)
    Q_PROPERTY(bool automaticDownloads READ automaticDownloads NOTIFY changed)
    Q_PROPERTY(bool automaticDownloadsEnabled READ automaticDownloadsEnabled NOTIFY changed)
    Q_PROPERTY(QString checkTitle READ checkTitle CONSTANT)
    Q_PROPERTY(bool checkEnabled READ checkEnabled NOTIFY changed)
    Q_PROPERTY(QString message READ message NOTIFY changed)
    Q_PROPERTY(QString closeSessionsTitle READ closeSessionsTitle CONSTANT)
    Q_PROPERTY(bool closeSessionsShown READ closeSessionsShown NOTIFY changed)
    Q_PROPERTY(QString pendingWorkTitle READ pendingWorkTitle NOTIFY changed)
    Q_PROPERTY(bool pendingWorkShown READ pendingWorkShown NOTIFY changed)
    Q_PROPERTY(QString note READ note CONSTANT)

public:
    static constexpr auto startupDetailText = "Applies only to this app.";
    static constexpr auto updatesHeaderText = "Updates";
    static constexpr auto automaticChecksText = "Automatically check for updates";
    static constexpr auto automaticDownloadsText = "Download updates automatically";
    static constexpr auto noteText = "Installation waits until active work finishes. You can keep automatic "
                                     "checks off and update manually.";

    explicit AppDistributionSettings(AppUpdates& updates, QObject* parent = nullptr);

    // The sections the suite shell builds; null until it fills them in.
    QObject* startupSection() const { return m_startupSection; }
    void setStartupSection(QObject* section);
    QObject* footer() const { return m_footer; }
    void setFooter(QObject* footer);

    QString startupDetail() const { return QString::fromUtf8(startupDetailText); }
    QString updatesHeader() const { return QString::fromUtf8(updatesHeaderText); }
    QString automaticChecksTitle() const { return QString::fromUtf8(automaticChecksText); }
    bool automaticChecks() const;
    bool automaticChecksEnabled() const;
    QString automaticDownloadsTitle() const { return QString::fromUtf8(automaticDownloadsText); }
    // The stored choice, also while the toggle is disabled.
    bool automaticDownloads() const;
    bool automaticDownloadsEnabled() const;
    QString checkTitle() const;
    bool checkEnabled() const;
    QString message() const;
    QString closeSessionsTitle() const;
    bool closeSessionsShown() const;
    // Empty unless `pendingWorkShown`.
    QString pendingWorkTitle() const;
    bool pendingWorkShown() const;
    QString note() const { return QString::fromUtf8(noteText); }

    // A disabled control does nothing, also when reached by keyboard or assistive technology.
    Q_INVOKABLE void setAutomaticChecks(bool checks);
    Q_INVOKABLE void setAutomaticDownloads(bool downloads);
    Q_INVOKABLE void check();
    Q_INVOKABLE void closeSessionsAndUpdate();
    Q_INVOKABLE void resolvePendingWork();

Q_SIGNALS:
    void changed();
    void sectionsChanged();

private:
    QPointer<AppUpdates> m_updates;
    QPointer<QObject> m_startupSection;
    QPointer<QObject> m_footer;
};

} // namespace velmor
