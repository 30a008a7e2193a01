#include "app/after_next_frame.h"

#include <QList>
#include <QPointer>
#include <QQuickWindow>
#include <QTimer>

#include <atomic>
#include <memory>

namespace velmor {

void afterNextFrame(QQuickWindow* window, QObject* context, std::function<void()> task)
{
    const QPointer<QObject> target(context);
    const auto post = [target](std::function<void()> work) {
        if (target)
            QTimer::singleShot(0, target.data(), std::move(work));
    };
    if (!window || !window->isExposed()) {
        post(std::move(task));
        return;
    }
    struct Wait {
        std::function<void()> task;
        QList<QMetaObject::Connection> connections;
        // Set on the render thread when the scene takes in the changes made before the call; a
        // frame already being drawn when the call came does not count.
        std::atomic<bool> synchronized = false;
    };
    auto wait = std::make_shared<Wait>();
    wait->task = std::move(task);
    const auto finish = [wait, post] {
        for (const QMetaObject::Connection& connection : std::exchange(wait->connections, {}))
            QObject::disconnect(connection);
        if (wait->task)
            post(std::exchange(wait->task, {}));
    };
    wait->connections.append(QObject::connect(
        window, &QQuickWindow::beforeSynchronizing, window, [wait] { wait->synchronized = true; },
        Qt::DirectConnection));
    wait->connections.append(QObject::connect(window, &QQuickWindow::frameSwapped, context, [wait, finish] {
        if (wait->synchronized)
            finish();
    }));
    wait->connections.append(QObject::connect(window, &QWindow::visibleChanged, context, finish));
    wait->connections.append(QObject::connect(window, &QObject::destroyed, context, finish));
    window->update();
}

} // namespace velmor
