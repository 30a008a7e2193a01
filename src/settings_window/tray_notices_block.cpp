#include "settings_window/tray_notices_block.h"

#include "tray/tray_model.h"

namespace velmor {

TrayNoticesBlock::TrayNoticesBlock(TrayModel& model, QObject* parent)
    : QObject(parent), m_model(&model), m_warningText(warningText()), m_showsAccessSetup(showsAccessSetup()),
      m_message(message())
{}

QString TrayNoticesBlock::warningText() const
{
    if (!m_model || !m_model->nativeWarning())
        return {};
    const QString& warning = *m_model->nativeWarning();
    if (warning.startsWith(QString::fromUtf8(reviewWarningPrefix)))
        return {};
    return warning;
}

bool TrayNoticesBlock::showsAccessSetup() const
{
    return !warningText().isEmpty() && m_model->nativePerApp();
}

QString TrayNoticesBlock::message() const
{
    return m_model ? m_model->messageText() : QString();
}

void TrayNoticesBlock::update()
{
    const QString warning = warningText();
    const bool accessSetup = showsAccessSetup();
    if (warning != m_warningText || accessSetup != m_showsAccessSetup) {
        m_warningText = warning;
        m_showsAccessSetup = accessSetup;
        Q_EMIT warningChanged();
    }
    if (const QString now = message(); now != m_message) {
        m_message = now;
        Q_EMIT messageChanged();
    }
}

} // namespace velmor
