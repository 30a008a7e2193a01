#include "tray/tray_pointer_reveal.h"

#include "platform/scheduler.h"
#include "platform/services.h"
#include "tray/native_tray_controller.h"
#include "tray/tray_bar_space.h"
#include "tray/tray_model.h"
#include "tray/tray_reveal_preferences.h"

namespace velmor {

TrayPointerReveal::TrayPointerReveal(const platform::Services& services, TrayModel& model,
                                     NativeTrayController& controller, TrayRevealPreferences& preferences,
                                     QObject* parent)
    : QObject(parent), m_services(services), m_model(&model), m_controller(controller),
      m_preferences(&preferences)
{
    connect(&preferences, &TrayRevealPreferences::changed, this, &TrayPointerReveal::follow);
    follow();
}

TrayPointerReveal::~TrayPointerReveal()
{
    stopWatching();
}

void TrayPointerReveal::stopWatching()
{
    m_rest.cancel();
    for (auto* monitor : {&m_moves, &m_clicks}) {
        if (*monitor && m_services.mouseEvents)
            m_services.mouseEvents->removeMonitor(**monitor);
        monitor->reset();
    }
}

void TrayPointerReveal::follow()
{
    if (!m_services.mouseEvents || !m_preferences)
        return;
    platform::MouseEvents& mouse = *m_services.mouseEvents;
    QPointer<TrayPointerReveal> self(this);
    const bool hover = m_preferences->revealOnHover();
    const bool click = m_preferences->revealOnClick();
    if (hover && !m_moves) {
        m_moves = mouse.addGlobalMonitor(platform::MouseEvents::mouseMovedMask,
                                         [self](const platform::MouseEvent& event) {
                                             if (self)
                                                 self->moved(event.location);
                                         });
    } else if (!hover && m_moves) {
        m_rest.cancel();
        mouse.removeMonitor(*std::exchange(m_moves, std::nullopt));
    }
    if (click && !m_clicks) {
        m_clicks = mouse.addGlobalMonitor(platform::MouseEvents::leftMouseDownMask,
                                          [self](const platform::MouseEvent& event) {
                                              if (self)
                                                  self->clicked(event.location);
                                          });
    } else if (!click && m_clicks) {
        mouse.removeMonitor(*std::exchange(m_clicks, std::nullopt));
    }
}

bool TrayPointerReveal::revealable() const
{
    return m_controller.configured() && !m_controller.managing() && !m_controller.busy() &&
           !m_controller.expanded();
}

void TrayPointerReveal::moved(QPointF point)
{
    m_rest.cancel();
    if (!revealable() || !TrayBarSpace::onBar(m_controller, m_services, point))
        return;
    QPointer<TrayPointerReveal> self(this);
    m_rest = m_services.scheduler->after(platform::seconds(restSeconds), [self, point] {
        if (self)
            self->revealIfEmpty(point);
    });
}

void TrayPointerReveal::clicked(QPointF point)
{
    m_rest.cancel();
    if (revealable() && TrayBarSpace::onBar(m_controller, m_services, point))
        revealIfEmpty(point);
}

void TrayPointerReveal::revealIfEmpty(QPointF point)
{
    if (!m_model || !revealable())
        return;
    const auto space = TrayBarSpace::read(m_services, *m_model, m_controller);
    if (space && space->contains(point))
        m_controller.toggle();
}

} // namespace velmor
