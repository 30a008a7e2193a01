#include "tray/tray_place_keeper.h"

#include "platform/scheduler.h"
#include "platform/services.h"
#include "tray/native_tray_controller.h"

namespace velmor {

TrayPlaceKeeper::TrayPlaceKeeper(const platform::Services& services, NativeTrayController& controller,
                                 std::function<void(const QString&)> report)
    : m_services(services), m_controller(&controller), m_report(std::move(report))
{
    if (controller.perAppMode())
        return;
    QPointer<TrayPlaceKeeper> self(this);
    m_quitObserver = m_services.workspace->observeDidTerminate([self](const platform::RunningApplication& app) {
        if (self)
            self->appQuit(app);
    });
    if (m_services.mouseEvents) {
        // A Command-drag in the bar moves another app's item: its new place is the person's.
        m_dragMonitor = m_services.mouseEvents->addGlobalMonitor(
            platform::MouseEvents::leftButtonMask, [self](const platform::MouseEvent& event) {
                if (!self || event.type != platform::MouseEventType::LeftMouseUp || !event.command)
                    return;
                self->m_rememberTask.cancel();
                self->m_rememberTask = self->m_services.scheduler->after(
                    platform::seconds(NativeTrayController::dragQuietPeriod), [self] {
                        if (self)
                            self->remember();
                    });
            });
    }
}

TrayPlaceKeeper::~TrayPlaceKeeper()
{
    m_rememberTask.cancel();
    if (m_quitObserver)
        m_services.workspace->removeObserver(*m_quitObserver);
    if (m_dragMonitor && m_services.mouseEvents)
        m_services.mouseEvents->removeMonitor(*m_dragMonitor);
}

bool TrayPlaceKeeper::active() const
{
    return m_controller && !m_controller->perAppMode() && m_controller->configured() && !m_controller->managing();
}

void TrayPlaceKeeper::controllerChanged()
{
    const bool isActive = active();
    if (isActive && !m_wasActive)
        remember();
    m_wasActive = isActive;
}

void TrayPlaceKeeper::remember()
{
    if (!active())
        return;
    const QHash<QString, double> places = m_controller->otherItemsPlaces();
    // A domain that could not be read leaves what was known.
    if (!places.isEmpty())
        m_places = places;
}

void TrayPlaceKeeper::appQuit(const platform::RunningApplication& app)
{
    if (!active() || m_places.isEmpty())
        return;
    QPointer<TrayPlaceKeeper> self(this);
    m_services.scheduler->after(platform::seconds(lookDelay), [self, app] {
        if (self)
            self->giveBack(app);
    });
}

void TrayPlaceKeeper::giveBack(const platform::RunningApplication& app)
{
    if (!active())
        return;
    // Keys name their owner by bundle identifier, or by name for an app without one.
    QStringList prefixes;
    for (const auto& owner : {app.bundleIdentifier, app.localizedName}) {
        if (owner && !owner->isEmpty())
            prefixes.append(QStringLiteral("status:") + *owner + QStringLiteral("::"));
    }
    QHash<QString, double> places;
    for (auto it = m_places.cbegin(); it != m_places.cend(); ++it) {
        for (const QString& prefix : std::as_const(prefixes)) {
            if (it.key().startsWith(prefix))
                places.insert(it.key(), it.value());
        }
    }
    if (places.isEmpty())
        return;
    const std::variant<int, QString> result = m_controller->placeAgain(places);
    if (const auto* failed = std::get_if<QString>(&result)) {
        if (m_report)
            m_report(*failed);
        return;
    }
    m_placedAgain += std::get<int>(result);
}

} // namespace velmor
