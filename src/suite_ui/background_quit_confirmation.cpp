#include "suite_ui/background_quit_confirmation.h"

#include "platform/application_shell.h"
#include "suite_ui/dock_presence.h"

namespace velmor {

BackgroundQuitConfirmation::BackgroundQuitConfirmation(const QString& appName, bool busy,
                                                       platform::ApplicationShell& shell, DockPresence* dock,
                                                       QObject* parent)
    : QObject(parent), m_message(QString::fromUtf8(messageFormat).arg(appName)), m_busy(busy), m_shell(shell),
      m_dock(dock)
{}

QString BackgroundQuitConfirmation::informativeText() const
{
    QString text = QString::fromUtf8(informativeSentence);
    if (m_busy)
        text += QString::fromUtf8(busySentence);
    return text;
}

void BackgroundQuitConfirmation::request()
{
    m_shell.activate(true);
    if (m_open)
        return;
    m_open = true;
    Q_EMIT openChanged();
}

void BackgroundQuitConfirmation::choose(Choice choice)
{
    if (!m_open || (choice == Choice::Quit && !quitEnabled()))
        return;
    close(choice);
    switch (choice) {
    case Choice::KeepRunning:
        for (const platform::WindowInfo& window : m_shell.windows()) {
            if (!window.panel && window.titled)
                m_shell.orderOut(window.id);
        }
        if (m_dock)
            m_dock->didChooseBackground();
        return;
    case Choice::Quit:
        m_shell.terminate();
        return;
    case Choice::Cancel:
        return;
    }
}

bool BackgroundQuitConfirmation::keyPressed(int key)
{
    if (!m_open)
        return false;
    switch (key) {
    case Qt::Key_Return:
    case Qt::Key_Enter:
        choose(Choice::KeepRunning);
        return true;
    case Qt::Key_Escape:
        choose(Choice::Cancel);
        return true;
    default:
        return false;
    }
}

void BackgroundQuitConfirmation::close(Choice choice)
{
    m_open = false;
    Q_EMIT openChanged();
    Q_EMIT finished(choice);
}

} // namespace velmor
