#include "app/shell_window_mirror.h"

#include "simulated_mac/simulated_application_shell.h"

#include <QEvent>
#include <QWindow>

namespace velmor {

using Request = simulated_mac::SimulatedApplicationShell::WindowRequest;

ShellWindowMirror::ShellWindowMirror(QWindow& window, simulated_mac::SimulatedApplicationShell& shell,
                                     QString kind, QObject* parent)
    : QObject(parent), m_window(&window), m_shell(shell), m_kind(std::move(kind))
{
    window.installEventFilter(this);
    connect(&window, &QWindow::visibleChanged, this, &ShellWindowMirror::report);
    connect(&window, &QWindow::windowStateChanged, this, &ShellWindowMirror::report);
    connect(&window, &QWindow::windowTitleChanged, this, &ShellWindowMirror::report);
    connect(&window, &QWindow::activeChanged, this, [this] {
        if (m_window && m_window->isActive() && m_id)
            m_shell.makeKey(m_id);
    });
    report();
}

ShellWindowMirror::~ShellWindowMirror()
{
    if (m_id)
        m_shell.removeWindow(m_id);
}

bool ShellWindowMirror::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == m_window && event->type() == QEvent::Close)
        m_closing = true;
    return QObject::eventFilter(watched, event);
}

platform::WindowInfo ShellWindowMirror::info() const
{
    platform::WindowInfo info;
    info.id = m_id;
    info.title = m_window->title();
    info.kind = m_kind;
    info.miniaturized = m_window->windowState() & Qt::WindowMinimized;
    info.visible = m_window->isVisible() && !info.miniaturized;
    return info;
}

void ShellWindowMirror::report()
{
    if (!m_window || m_hiddenWithApp)
        return;
    if (!m_window->isVisible() && m_closing) {
        m_closing = false;
        if (m_id)
            m_shell.removeWindow(m_id);
        m_id = 0;
        return;
    }
    if (!m_window->isVisible() && !m_id)
        return;
    const platform::WindowInfo now = info();
    const bool wasMiniaturized = [&] {
        for (const platform::WindowInfo& known : m_shell.windows()) {
            if (known.id == m_id)
                return known.miniaturized;
        }
        return false;
    }();
    m_id = m_shell.setWindow(now);
    if (wasMiniaturized != now.miniaturized) {
        // The server tells observers about the change itself.
        platform::WindowInfo before = now;
        before.miniaturized = wasMiniaturized;
        m_shell.setWindow(before);
        m_shell.setMiniaturized(m_id, now.miniaturized);
    }
}

void ShellWindowMirror::request(platform::WindowId window, int request)
{
    if (!m_window || window != m_id)
        return;
    switch (static_cast<Request>(request)) {
    case Request::OrderOut:
        m_window->hide();
        return;
    case Request::Deminiaturize:
        m_window->showNormal();
        m_window->requestActivate();
        return;
    }
}

void ShellWindowMirror::appHiddenChanged(bool hidden)
{
    if (!m_window)
        return;
    if (hidden && m_window->isVisible()) {
        m_hiddenWithApp = true;
        m_window->hide();
        if (m_id) {
            platform::WindowInfo now = info();
            now.visible = false;
            m_shell.setWindow(now);
        }
    } else if (!hidden && m_hiddenWithApp) {
        m_hiddenWithApp = false;
        m_window->show();
    }
}

} // namespace velmor
