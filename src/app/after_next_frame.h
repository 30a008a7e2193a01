#pragma once

#include <QObject>

#include <functional>

class QQuickWindow;

namespace velmor {

// Runs `task` on the main thread, as a posted event, once `window` has presented a frame that was
// synchronized after this call — so whatever the caller changed before is on screen. Also runs it
// when the window is hidden or destroyed first, or is not on screen at all: the task is never
// lost. Nothing runs once `context` is gone.
void afterNextFrame(QQuickWindow* window, QObject* context, std::function<void()> task);

} // namespace velmor
