#pragma once

#include <QObject>
#include <QPointer>
#include <QString>
#include <QtQml/qqmlregistration.h>

namespace velmor {

class TrayModel;

// The organizer's notices under the status line: the controller's warning (with "Access setup…"
// where the access it lacks can be set up) and the model's one-line message.
class TrayNoticesBlock final : public QObject {
    Q_OBJECT
    QML_ELEMENT
    QML_UNCREATABLE("Part of the organizer's presenter")
    Q_PROPERTY(QString warningText READ warningText NOTIFY warningChanged)
    Q_PROPERTY(bool showsAccessSetup READ showsAccessSetup NOTIFY warningChanged)
    Q_PROPERTY(QString accessSetupTitle READ accessSetupTitle CONSTANT)
    Q_PROPERTY(QString message READ message NOTIFY messageChanged)

public:
    // The warning the controller sets at start in per-app mode begins so; it gets no row.
    static constexpr const char* reviewWarningPrefix = "Review your app groups";
    static constexpr const char* accessSetupText = "Access setup…";

    explicit TrayNoticesBlock(TrayModel& model, QObject* parent = nullptr);

    // Empty when no warning row shows.
    QString warningText() const;
    bool showsAccessSetup() const;
    QString accessSetupTitle() const { return QString::fromUtf8(accessSetupText); }
    QString message() const;

    // The model changed: signals what this block shows differently.
    void update();

Q_SIGNALS:
    void warningChanged();
    void messageChanged();

private:
    QPointer<TrayModel> m_model;
    QString m_warningText;
    bool m_showsAccessSetup = false;
    QString m_message;
};

} // namespace velmor
