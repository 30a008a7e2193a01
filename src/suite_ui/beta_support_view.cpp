#include "suite_ui/beta_support_view.h"

#include "foundation/text.h"
#include "suite_ui/clipboard.h"
#include "suite_ui/velmor_signals.h"
#include "telemetry/navrel_client.h"

namespace velmor {

BetaSupportView::BetaSupportView(VelmorSignals& hub, const QString& appName, Clipboard& clipboard,
                                 QObject* parent)
    : QObject(parent), m_hub(&hub), m_appName(appName), m_clipboard(clipboard)
{
    connect(&hub, &VelmorSignals::feedbackIsBugChanged, this, &BetaSupportView::bugChanged);
}

bool BetaSupportView::bug() const
{
    return m_hub && m_hub->feedbackIsBug();
}

void BetaSupportView::setBug(bool bug)
{
    if (m_sending || !m_hub)
        return;
    m_hub->setFeedbackIsBug(bug);
}

QString BetaSupportView::prompt() const
{
    return QString::fromUtf8(bug() ? bugPrompt : feedbackPrompt);
}

void BetaSupportView::setMessage(const QString& message)
{
    if (m_sending || message == m_message)
        return;
    const bool couldSend = sendEnabled();
    m_message = message;
    Q_EMIT messageChanged();
    if (couldSend != sendEnabled())
        Q_EMIT sendEnabledChanged();
}

QString BetaSupportView::counterText() const
{
    return QString::fromUtf8(counterFormat).arg(m_message.size()).arg(NavrelClient::maximumFeedbackLength);
}

QString BetaSupportView::details() const
{
    return m_hub ? m_hub->reviewedMetadata() : QString();
}

bool BetaSupportView::sendEnabled() const
{
    return !m_sending && m_hub && m_hub->configured() && !text::trimmed(m_message).isEmpty() &&
           m_message.size() <= NavrelClient::maximumFeedbackLength;
}

bool BetaSupportView::showsUnconfigured() const
{
    return !m_hub || !m_hub->configured();
}

void BetaSupportView::copyReport()
{
    m_clipboard.setPlainText(m_message + QStringLiteral("\n\n") + details());
    setResult(QString::fromUtf8(copiedResult));
}

void BetaSupportView::sendReport()
{
    if (!sendEnabled())
        return;
    setSending(true);
    QPointer<BetaSupportView> self(this);
    m_hub->feedback(m_message, m_hub->feedbackIsBug(), [self](bool accepted) {
        if (self)
            self->finishSending(accepted);
    });
}

void BetaSupportView::finishSending(bool accepted)
{
    setResult(QString::fromUtf8(accepted ? sentResult : failedResult));
    setSending(false);
    if (accepted)
        setMessage(QString());
}

void BetaSupportView::setSending(bool sending)
{
    if (sending == m_sending)
        return;
    m_sending = sending;
    Q_EMIT sendingChanged();
    Q_EMIT sendEnabledChanged();
}

void BetaSupportView::setResult(const QString& result)
{
    if (result == m_result)
        return;
    m_result = result;
    Q_EMIT resultChanged();
}

} // namespace velmor
