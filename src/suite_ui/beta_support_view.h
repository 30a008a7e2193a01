#pragma once

#include <QObject>
#include <QPointer>
#include <QString>

namespace velmor {

class Clipboard;
class VelmorSignals;

// The feedback form: the report type (the hub's, so the menu entry that opened the window
// preselects it), the message with its counter, the details sent with it, copying and sending.
// A failed send keeps the message so the user can retry or copy it.
class BetaSupportView final : public QObject {
    Q_OBJECT
    Q_PROPERTY(QString appName READ appName CONSTANT)
    Q_PROPERTY(QString reportTypeLabel READ reportTypeLabel CONSTANT)
    Q_PROPERTY(QString feedbackSegmentTitle READ feedbackSegmentTitle CONSTANT)
    Q_PROPERTY(QString bugSegmentTitle READ bugSegmentTitle CONSTANT)
    Q_PROPERTY(bool bug READ bug WRITE setBug NOTIFY bugChanged)
    Q_PROPERTY(QString prompt READ prompt NOTIFY bugChanged)
    Q_PROPERTY(QString message READ message WRITE setMessage NOTIFY messageChanged)
    Q_PROPERTY(QString messageAccessibleName READ messageAccessibleName CONSTANT)
    Q_PROPERTY(QString counterText READ counterText NOTIFY messageChanged)
    Q_PROPERTY(QString detailsTitle READ detailsTitle CONSTANT)
    Q_PROPERTY(QString details READ details CONSTANT)
    Q_PROPERTY(QString note READ note CONSTANT)
    Q_PROPERTY(QString copyTitle READ copyTitle CONSTANT)
    Q_PROPERTY(QString sendTitle READ sendTitle NOTIFY sendingChanged)
    Q_PROPERTY(bool sendEnabled READ sendEnabled NOTIFY sendEnabledChanged)
    Q_PROPERTY(bool sending READ sending NOTIFY sendingChanged)
    Q_PROPERTY(bool editable READ editable NOTIFY sendingChanged)
    Q_PROPERTY(bool showsUnconfigured READ showsUnconfigured CONSTANT)
    Q_PROPERTY(QString unconfiguredText READ unconfiguredText CONSTANT)
    Q_PROPERTY(QString result READ result NOTIFY resultChanged)
    Q_PROPERTY(bool showsResult READ showsResult NOTIFY resultChanged)
    Q_PROPERTY(bool resultFailed READ resultFailed NOTIFY resultChanged)

public:
    static constexpr auto reportTypeText = "Report type";
    static constexpr auto feedbackSegment = "Feedback";
    static constexpr auto bugSegment = "Bug report";
    static constexpr auto bugPrompt = "What happened, and what did you expect?";
    static constexpr auto feedbackPrompt = "What would make this app better?";
    static constexpr auto messageLabel = "Your message";
    static constexpr auto counterFormat = "%1/%2 characters";
    static constexpr auto detailsHeading = "App details included";
    static constexpr auto noteText =
        "Only your message and app details are sent. No screenshots, logs or usage identifier are attached.";
    static constexpr auto copyButton = "Copy report";
    static constexpr auto sendButton = "Send report";
    static constexpr auto sendingButton = "Sending…";
    static constexpr auto unconfiguredLine =
        "Online reporting is not configured in this build. You can copy your report.";
    static constexpr auto copiedResult = "Copied.";
    static constexpr auto sentResult = "Report sent. Thank you.";
    static constexpr auto failedResult =
        "Delivery could not be confirmed. Your message is preserved; retrying may duplicate a report.";

    BetaSupportView(VelmorSignals& hub, const QString& appName, Clipboard& clipboard,
                    QObject* parent = nullptr);

    QString appName() const { return m_appName; }
    QString reportTypeLabel() const { return QString::fromUtf8(reportTypeText); }
    QString feedbackSegmentTitle() const { return QString::fromUtf8(feedbackSegment); }
    QString bugSegmentTitle() const { return QString::fromUtf8(bugSegment); }
    bool bug() const;
    // The picker; ignored while a report is being sent.
    void setBug(bool bug);
    QString prompt() const;
    QString message() const { return m_message; }
    // The editor; ignored while a report is being sent.
    void setMessage(const QString& message);
    QString messageAccessibleName() const { return QString::fromUtf8(messageLabel); }
    // Counts UTF-16 code units, the unit the service's limit is stated in.
    QString counterText() const;
    QString detailsTitle() const { return QString::fromUtf8(detailsHeading); }
    QString details() const;
    QString note() const { return QString::fromUtf8(noteText); }
    QString copyTitle() const { return QString::fromUtf8(copyButton); }
    QString sendTitle() const { return QString::fromUtf8(m_sending ? sendingButton : sendButton); }
    bool sendEnabled() const;
    bool sending() const { return m_sending; }
    bool editable() const { return !m_sending; }
    bool showsUnconfigured() const;
    QString unconfiguredText() const { return QString::fromUtf8(unconfiguredLine); }
    QString result() const { return m_result; }
    bool showsResult() const { return !m_result.isEmpty(); }
    // The result is a warning rather than a success.
    bool resultFailed() const { return m_result == QString::fromUtf8(failedResult); }

    // The message, two line feeds and the details, as plain text; needs neither a configuration
    // nor consent.
    Q_INVOKABLE void copyReport();
    // Does nothing while the send button is disabled.
    Q_INVOKABLE void sendReport();

Q_SIGNALS:
    void bugChanged();
    void messageChanged();
    void sendingChanged();
    void sendEnabledChanged();
    void resultChanged();

private:
    void setSending(bool sending);
    void setResult(const QString& result);
    void finishSending(bool accepted);

    QPointer<VelmorSignals> m_hub;
    QString m_appName;
    Clipboard& m_clipboard;
    QString m_message;
    bool m_sending = false;
    QString m_result;
};

} // namespace velmor
