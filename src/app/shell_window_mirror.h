#pragma once

#include "platform/application_shell.h"

#include <QObject>
#include <QPointer>
#include <QWindow>

namespace velmor {
namespace simulated_mac {
class SimulatedApplicationShell;
} // namespace simulated_mac

// Keeps the simulated window server in step with one real window of the app: shown, closed,
// minimized and key, as the system would report them, and carries out what the server asks of it
// (order out, restore from the Dock, hiding with the app) when the server's requests are passed to
// `request`.
class ShellWindowMirror final : public QObject {
    Q_OBJECT

public:
    ShellWindowMirror(QWindow& window, simulated_mac::SimulatedApplicationShell& shell, QString kind,
                      QObject* parent = nullptr);
    ~ShellWindowMirror() override;

    void request(platform::WindowId window, int request);
    void appHiddenChanged(bool hidden);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void report();
    platform::WindowInfo info() const;

    // A plain window: it reports its last changes while it is being destroyed.
    QPointer<QWindow> m_window;
    simulated_mac::SimulatedApplicationShell& m_shell;
    QString m_kind;
    platform::WindowId m_id = 0;
    // Closing (as opposed to ordering out or hiding the app) ends the window's identity.
    bool m_closing = false;
    bool m_hiddenWithApp = false;
};

} // namespace velmor
