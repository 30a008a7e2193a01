#pragma once

#include <QList>
#include <QObject>
#include <QPointer>
#include <QString>

namespace velmor {

class VelmorSignals;

// The two entries that open the Feedback window, with the report type each preselects: in the
// Help menu and in the settings footer. They are enabled while the hub can open the window.
class FeedbackMenuItems final : public QObject {
    Q_OBJECT
    Q_PROPERTY(QString sendFeedbackTitle READ sendFeedbackTitle CONSTANT)
    Q_PROPERTY(QString reportBugTitle READ reportBugTitle CONSTANT)
    Q_PROPERTY(bool enabled READ enabled NOTIFY enabledChanged)

public:
    static constexpr auto sendFeedbackText = "Send feedback…";
    static constexpr auto reportBugText = "Report a bug…";

    struct Entry {
        QString title;
        bool bug = false;
    };
    // In menu order.
    static QList<Entry> entries();

    explicit FeedbackMenuItems(VelmorSignals* hub, QObject* parent = nullptr);

    QString sendFeedbackTitle() const { return QString::fromUtf8(sendFeedbackText); }
    QString reportBugTitle() const { return QString::fromUtf8(reportBugText); }
    bool enabled() const;

    Q_INVOKABLE void sendFeedback() { open(false); }
    Q_INVOKABLE void reportBug() { open(true); }
    void open(bool bug);

Q_SIGNALS:
    void enabledChanged();

private:
    QPointer<VelmorSignals> m_hub;
};

} // namespace velmor
