#include "simulated_mac/views/simulated_mac_presenter.h"

#include "platform/scheduler.h"
#include "platform/system_symbols.h"
#include "simulated_mac/simulated_desktop.h"
#include "simulated_mac/simulated_host.h"
#include "simulated_mac/views/simulated_icon_provider.h"

#include <QMetaObject>

#include <utility>

namespace velmor::simulated_mac {
namespace {

// The Apple menu's title.
constexpr const char* appleSymbol = "applelogo";

} // namespace

QVariant ScreenRow::data(Role role) const
{
    switch (role) {
    case ScreenXRole:
        return screenX;
    case ScreenYRole:
        return screenY;
    case ScreenWidthRole:
        return screenWidth;
    case ScreenHeightRole:
        return screenHeight;
    case PrimaryRole:
        return primary;
    case HousingXRole:
        return housingX;
    case HousingWidthRole:
        return housingWidth;
    case ScreenNameRole:
        return screenName;
    case HasBarRole:
        return hasBar;
    case InUseRole:
        return inUse;
    case LikenessRole:
        return likeness;
    }
    return {};
}

SimulatedMacPresenter::SimulatedMacPresenter(SimulatedDesktop& desktop, const QString& scenarioName,
                                             QObject* parent)
    : QObject(parent), m_desktop(desktop), m_title(QString::fromUtf8(titleFormat).arg(scenarioName)),
      m_screens(this), m_menuBar(desktop), m_dock(desktop), m_systemSettings(desktop), m_sidePanel(desktop),
      m_belowBar(desktop)
{
    layOutScreens();
    m_dark = desktop.appearance().isDark();
    refreshAbout();
    m_observer = desktop.observe([this] { scheduleRefresh(); });
    scheduleClockTick();
}

SimulatedMacPresenter::~SimulatedMacPresenter()
{
    m_clockTick.cancel();
    m_desktop.removeObserver(m_observer);
}

QString SimulatedMacPresenter::symbolFont()
{
    return platform::SystemSymbols::fontFamily.toString();
}

QString SimulatedMacPresenter::appleGlyph()
{
    return platform::SystemSymbols::glyph(QString::fromLatin1(appleSymbol)).value_or(QString());
}

void SimulatedMacPresenter::refreshAbout()
{
    QString title;
    QString text;
    QString iconSource;
    if (const auto owner = m_desktop.aboutPanelOwner()) {
        const SimulatedApplication* application = m_desktop.workspace().find(*owner);
        title = application ? application->config.name : *owner;
        iconSource = SimulatedIconProvider::source(*owner);
        if (application && application->own) {
            // This app's panel reads its bundle's versions, as the system's standard panel does.
            const platform::MainBundle& bundle = m_desktop.host().mainBundle();
            text =
                QString::fromUtf8(versionFormat)
                    .arg(bundle.infoString(QStringLiteral("CFBundleShortVersionString")).value_or(QString()),
                         bundle.infoString(QStringLiteral("CFBundleVersion")).value_or(QString()));
        }
    }
    bool differs = std::exchange(m_aboutTitle, title) != title;
    differs = std::exchange(m_aboutText, text) != text || differs;
    differs = std::exchange(m_aboutIconSource, iconSource) != iconSource || differs;
    if (differs)
        Q_EMIT aboutChanged();
}

void SimulatedMacPresenter::closeAbout()
{
    m_desktop.closeAbout();
}

bool SimulatedMacPresenter::keyPressed(int key, int modifiers)
{
    const auto combination = platform::KeyCombination::fromKeyEvent(key, Qt::KeyboardModifiers::fromInt(modifiers),
                                                          platform::KeyCombination::QtModifierNames::PcKeyboard);
    return combination && combination->hasShortcutModifier() && m_desktop.pressKeys(*combination);
}

void SimulatedMacPresenter::pointerMoved(double x, double y)
{
    // The drawing grows downwards from the top of all screens; screen coordinates grow upwards.
    m_desktop.movePointer(QPointF(m_bounds.x() + x, m_bounds.bottom() - y));
}

bool SimulatedMacPresenter::clickScreenBar(int index, double x)
{
    const QList<SimulatedScreens::Display>& displays = m_desktop.screens().displays();
    if (index < 0 || index >= displays.size())
        return false;
    const QRectF& screen = displays[index].frame;
    // Screen coordinates grow upwards: the bar lies along the top edge.
    return m_desktop.clickBar(QPointF(screen.left() + x, screen.bottom() - m_menuBar.height() / 2));
}

void SimulatedMacPresenter::layOutScreens()
{
    const QList<SimulatedScreens::Display>& displays = m_desktop.screens().displays();
    QRectF bounds;
    for (const SimulatedScreens::Display& display : displays)
        bounds = bounds.united(display.frame);
    QList<ScreenRow> screens;
    const QList<platform::ScreenTopArea> tops = m_desktop.screens().topAreas();
    const bool everyDisplay = m_desktop.screens().separateSpaces();
    for (int i = 0; i < displays.size(); ++i) {
        const QRectF& screen = displays[i].frame;
        const auto housing = tops.value(i).housing();
        const bool inUse = i == m_desktop.barDisplay();
        const bool hasBar = i == 0 || everyDisplay;
        // The bar in use draws the items themselves; the others show their likeness.
        const QVariantList likeness =
            hasBar && !inUse ? m_menuBar.likeness(screen, displays[i].housingWidth) : QVariantList();
        // Screen coordinates grow upwards; the drawing's grow downwards.
        screens.append({.key = QString::number(i),
                        .screenX = screen.x() - bounds.x(),
                        .screenY = bounds.bottom() - screen.bottom(),
                        .screenWidth = screen.width(),
                        .screenHeight = screen.height(),
                        .primary = i == 0,
                        .housingX = housing ? housing->x() - screen.x() : 0.0,
                        .housingWidth = housing ? housing->width() : 0.0,
                        .screenName = displays[i].name,
                        .hasBar = hasBar,
                        .inUse = inUse,
                        .likeness = likeness});
    }
    m_screens.setRows(screens);
    if (std::exchange(m_bounds, bounds) != bounds)
        Q_EMIT boundsChanged();
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
    m_clockTick = m_desktop.scheduler().after(platform::seconds(untilNextMinute), [this] {
        m_menuBar.refresh();
        scheduleClockTick();
    });
}

void SimulatedMacPresenter::refresh()
{
    m_refreshPending = false;
    layOutScreens();
    const bool dark = m_desktop.appearance().isDark();
    if (std::exchange(m_dark, dark) != dark)
        Q_EMIT darkChanged();
    refreshAbout();
    m_menuBar.refresh();
    m_belowBar.refresh();
    m_dock.refresh();
    m_systemSettings.refresh();
    m_sidePanel.refresh();
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

} // namespace velmor::simulated_mac
