#pragma once

#include "platform/mouse_events.h"
#include "platform/task_handle.h"

#include <QObject>
#include <QPointF>
#include <QPointer>

#include <optional>

namespace velmor {
namespace platform {
struct Services;
}

class NativeTrayController;
class TrayModel;
class TrayRevealPreferences;

// Reveals the expandable menu when the pointer rests on empty menu bar space (right of the
// frontmost app's menus, left of the status items) for a moment, or when a person clicks there;
// each only while its preference is on. It watches the pointer with global mouse monitors only
// while one of them is on, and reads the bar only once the pointer has come to rest on it or
// clicked it. A reveal it starts hides again by itself like any other. Main thread only.
class TrayPointerReveal final : public QObject {
    Q_OBJECT

public:
    // How long the pointer rests before the menu opens: long enough that passing over the bar on
    // the way to the menus does nothing.
    static constexpr double restSeconds = 0.3;

    TrayPointerReveal(const platform::Services& services, TrayModel& model, NativeTrayController& controller,
                      TrayRevealPreferences& preferences, QObject* parent = nullptr);
    ~TrayPointerReveal() override;

private:
    void follow();
    void stopWatching();
    void moved(QPointF point);
    void clicked(QPointF point);
    // The section is collapsed and grouping applied: there is something to reveal.
    bool revealable() const;
    void revealIfEmpty(QPointF point);

    const platform::Services& m_services;
    QPointer<TrayModel> m_model;
    NativeTrayController& m_controller;
    QPointer<TrayRevealPreferences> m_preferences;
    std::optional<platform::MouseEvents::MonitorId> m_moves;
    std::optional<platform::MouseEvents::MonitorId> m_clicks;
    platform::TaskHandle m_rest;
};

} // namespace velmor
