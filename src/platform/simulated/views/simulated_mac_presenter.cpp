#include "platform/simulated/views/simulated_mac_presenter.h"

#include "platform/scheduler.h"
#include "platform/simulated/simulated_desktop.h"
#include "platform/simulated/simulated_host.h"
#include "platform/simulated/views/simulated_icon_provider.h"
#include "platform/system_symbols.h"

#include <QMetaObject>

namespace velmor::platform {

SimulatedMacPresenter::SimulatedMacPresenter(SimulatedDesktop& desktop, const QString& scenarioName,
                                             QObject* parent)
    : QObject(parent), m_desktop(desktop), m_title(QString::fromUtf8(titleFormat).arg(scenarioName)),
      m_menuBar(desktop), m_dock(desktop), m_systemSettings(desktop), m_sidePanel(desktop),
      m_belowBar(desktop)
{
    layOutScreens();
    m_observer = desktop.observe([this] { scheduleRefresh(); });
    scheduleClockTick();
}

SimulatedMacPresenter::~SimulatedMacPresenter()
{
    m_clockTick.cancel();
    m_desktop.removeObserver(m_observer);
}

bool SimulatedMacPresenter::dark() const
{
    return m_desktop.appearance().isDark();
}

QString SimulatedMacPresenter::symbolFont()
{
    return SystemSymbols::fontFamily.toString();
}

QString SimulatedMacPresenter::glyph(const QString& symbol)
{
    return SystemSymbols::glyph(symbol).value_or(QString());
}

QString SimulatedMacPresenter::aboutTitle() const
{
    const auto owner = m_desktop.aboutPanelOwner();
    if (!owner)
        return {};
    const SimulatedApplication* application = m_desktop.workspace().find(*owner);
    return application ? application->config.name : *owner;
}

QString SimulatedMacPresenter::aboutText() const
{
    const auto owner = m_desktop.aboutPanelOwner();
    if (!owner)
        return {};
    const SimulatedApplication* application = m_desktop.workspace().find(*owner);
    if (!application || !application->own)
        return {};
    // This app's panel reads its bundle's versions, as the system's standard panel does.
    const MainBundle& bundle = m_desktop.host().mainBundle();
    return QString::fromUtf8(versionFormat)
        .arg(bundle.infoString(QStringLiteral("CFBundleShortVersionString")).value_or(QString()),
             bundle.infoString(QStringLiteral("CFBundleVersion")).value_or(QString()));
}

QString SimulatedMacPresenter::aboutIconSource() const
{
    const auto owner = m_desktop.aboutPanelOwner();
    return owner ? SimulatedIconProvider::source(*owner) : QString();
}

void SimulatedMacPresenter::closeAbout()
{
    m_desktop.closeAbout();
}

bool SimulatedMacPresenter::keyPressed(int key, int modifiers)
{
    const auto combination = KeyCombination::fromKeyEvent(key, Qt::KeyboardModifiers::fromInt(modifiers),
                                                          KeyCombination::QtModifierNames::PcKeyboard);
    return combination && combination->hasShortcutModifier() && m_desktop.pressKeys(*combination);
}

void SimulatedMacPresenter::pointerMoved(double x, double y)
{
    // The drawing grows downwards from the top of all screens; screen coordinates grow upwards.
    m_desktop.movePointer(QPointF(m_bounds.x() + x, m_bounds.bottom() - y));
}

void SimulatedMacPresenter::layOutScreens()
{
    const QList<SimulatedScreens::Display>& displays = m_desktop.screens().displays();
    m_bounds = QRectF();
    for (const SimulatedScreens::Display& display : displays)
        m_bounds = m_bounds.united(display.frame);
    m_screens.clear();
    const QList<ScreenTopArea> tops = m_desktop.screens().topAreas();
    for (int i = 0; i < displays.size(); ++i) {
        const QRectF& screen = displays[i].frame;
        const auto housing = tops.value(i).housing();
        // Screen coordinates grow upwards; the drawing's grow downwards.
        m_screens.append(QVariantMap{{QStringLiteral("x"), screen.x() - m_bounds.x()},
                                     {QStringLiteral("y"), m_bounds.bottom() - screen.bottom()},
                                     {QStringLiteral("width"), screen.width()},
                                     {QStringLiteral("height"), screen.height()},
                                     {QStringLiteral("primary"), i == 0},
                                     {QStringLiteral("housingX"), housing ? housing->x() - screen.x() : 0.0},
                                     {QStringLiteral("housingWidth"), housing ? housing->width() : 0.0}});
    }
}

void SimulatedMacPresenter::scheduleRefresh()
{
    if (m_refreshPending)
        return;
    m_refreshPending = true;
    QMetaObject::invokeMethod(this, &SimulatedMacPresenter::refresh, Qt::QueuedConnection);
}

void SimulatedMacPresenter::scheduleClockTick()
{
    const QTime now = m_desktop.currentDate().time();
    const int untilNextMinute = 60 - now.second();
    m_clockTick = m_desktop.scheduler().after(seconds(untilNextMinute), [this] {
        m_menuBar.refresh();
        scheduleClockTick();
    });
}

void SimulatedMacPresenter::refresh()
{
    m_refreshPending = false;
    layOutScreens();
    m_menuBar.refresh();
    m_belowBar.refresh();
    m_dock.refresh();
    m_systemSettings.refresh();
    m_sidePanel.refresh();
    Q_EMIT changed();
}

void SimulatedMacPresenter::setUpdaterAlert(UpdaterAlert* alert)
{
    if (m_updaterAlert == alert)
        return;
    if (m_updaterAlert)
        disconnect(m_updaterAlert, &QObject::destroyed, this, nullptr);
    m_updaterAlert = alert;
    // The framework goes with the app's process; the dialog goes with it.
    if (alert)
        connect(alert, &QObject::destroyed, this, [this] { setUpdaterAlert(nullptr); });
    Q_EMIT updaterAlertChanged();
}

} // namespace velmor::platform
