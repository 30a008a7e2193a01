#include "simulated_mac/simulated_desktop.h"

#include "foundation/json.h"
#include "foundation/private_files.h"
#include "foundation/system_error.h"
#include "simulated_mac/simulated_home.h"
#include "simulated_mac/simulated_host.h"
#include "simulated_mac/simulated_status_item.h"

#include <QDir>
#include <QFileInfo>
#include <QFileSystemWatcher>
#include <QUrlQuery>

#include <algorithm>
#include <cmath>

namespace velmor::simulated_mac {
namespace {

const QString ownFallbackIdentifier = QStringLiteral("local.velmor.tray");
const QString ownFallbackName = QStringLiteral("Velmor Tray");
const QString pidClashMessage = QStringLiteral("apps[%1] has the process identifier of Velmor Tray (%2)");

constexpr qint32 systemUIServerPid = 305;
constexpr qint32 controlCenterPid = 310;
constexpr qint32 finderPid = 320;
// The share of the system's items that the control center's own item takes; the clock has the rest.
constexpr double controlCenterItemShare = 0.25;
constexpr int dragSteps = 5;
const QString bundleSuffix = QStringLiteral(".app");
const QString aboutTitle = QStringLiteral("About %1");
const QString hideTitle = QStringLiteral("Hide %1");
const QString quitTitle = QStringLiteral("Quit %1");
const QString helpTitle = QStringLiteral("Help");
const QString appHelpTitle = QStringLiteral("%1 Help");
// What a plain app's menu bar shows between its application menu and Help.
const QStringList standardMenuTitles{QStringLiteral("File"), QStringLiteral("Edit"), QStringLiteral("View"),
                                     QStringLiteral("Window")};
const QString settingsScheme = QStringLiteral("x-apple.systempreferences");
const QString securityPane = QStringLiteral("com.apple.preference.security");
const QString loginItemsPane = QStringLiteral("com.apple.LoginItems-Settings.extension");
const QString accessibilityAnchor = QStringLiteral("Privacy_Accessibility");
const QString fullDiskAccessAnchor = QStringLiteral("Privacy_AllFiles");
// The menu every extra opens: its name, then what apps' menu bar menus commonly offer.
const QString extraOpenTitle = QStringLiteral("Open %1");
const QString extraQuitTitle = QStringLiteral("Quit %1");

QList<SimulatedScreens::Display> displaysOf(const Scenario& scenario)
{
    QList<SimulatedScreens::Display> displays;
    for (const ScenarioScreen& screen : scenario.screens)
        displays.append(
            SimulatedScreens::Display{screen.frame, screen.housingWidth, screen.name, screen.builtIn});
    return displays;
}

// The bundle an executable lives in ("/Applications/Name.app"); empty for a bare binary.
QString bundleOf(const QString& executable)
{
    const qsizetype end = executable.indexOf(bundleSuffix + QLatin1Char('/'));
    return end < 0 ? QString() : executable.left(end + bundleSuffix.size());
}

QString ownIdentifier(const SimulatedHost& host)
{
    return host.mainBundle().identifier().value_or(ownFallbackIdentifier);
}

ScenarioApp systemApp(const QString& bundleID, const QString& name, const QString& executable, qint32 pid)
{
    ScenarioApp app;
    app.bundleID = bundleID;
    app.name = name;
    app.pid = pid;
    app.executable = executable;
    app.axLatency = 0;
    app.trackedRow = TrackedRowKind::None;
    return app;
}

ScenarioExtra systemExtra(const QString& name, const QString& description, const QString& identifier)
{
    ScenarioExtra extra;
    extra.name = name;
    extra.description = description;
    extra.identifier = identifier;
    return extra;
}

TrackedRowSeed rowSeed(const ScenarioApp& app)
{
    return TrackedRowSeed{app.trackedRow, app.bundleID.value_or(QString()), app.executable,
                          static_cast<int>(app.extras.size())};
}

// No row means the control center has no say yet: the items show.
bool allowedBy(const TrackedRowNames& rows, const SimulatedApplication& application)
{
    return rows.allows(application.config.bundleID, application.config.executable);
}

} // namespace

SimulatedDesktop::SimulatedDesktop(const Scenario& scenario, const QString& home, platform::Scheduler& scheduler,
                                   std::function<void(platform::Duration)> spendTime, SimulatedHost& host)
    : m_mainThread(scheduler), m_host(host), m_home(home), m_scenario(scenario), m_domains(home),
      m_menuBar(scenario.screens.first().frame, scenario.screens.first().housingWidth, scenario.menuBar,
                m_domains),
      m_workspace(m_mainThread), m_mouseEvents(m_mainThread),
      m_accessibility(
          m_workspace, m_menuBar, systemUIServerPid,
          [this, spendTime = std::move(spendTime)](platform::Duration cost) {
              m_mainThread.spend(cost);
              if (spendTime)
                  spendTime(cost);
          },
          [this] { noticeEdits(); }),
      m_statusBar(
          m_menuBar, m_mouseEvents,
          SimulatedStatusBar::Owner{static_cast<qint32>(host.processId()), ownIdentifier(host)},
          [this] { noticeEdits(); },
          [this] {
              if (SimulatedApplication* own =
                      m_workspace.application(static_cast<qint32>(m_host.processId())))
                  ensureRows({own});
          }),
      m_screens(displaysOf(scenario), scenario.menuBar.height, scenario.separateSpaces),
      m_userDefaults(simulated_home::userDefaultsPath(home, ownIdentifier(host))),
      m_appearance(scenario.system.darkAppearance), m_loginItems(m_mainThread, scenario.loginItems),
      m_globalShortcuts(m_mainThread), m_defaultsLog(simulated_home::defaultsLogPath(home)),
      m_fullDiskAccess(scenario.system.fullDiskAccess),
      m_fullDiskAccessListed(scenario.system.fullDiskAccess),
      m_accessibilityListed(scenario.system.accessibilityTrusted), m_frontmost(finderPid)
{
    for (int i = 0; i < scenario.apps.size(); ++i) {
        if (scenario.apps[i].pid == host.processId())
            throw SystemError(SystemError::Kind::Parse, pidClashMessage.arg(i).arg(host.processId()));
    }
    SimulatedHost::Configuration& configuration = host.configuration();
    configuration.systemVersion = scenario.system.version;
    configuration.physicalMemory =
        static_cast<quint64>(std::llround(scenario.system.physicalMemoryGB * (1ull << 30)));
    configuration.homeDirectory = home;
    // A run's temporary files stay inside its home unless the host names another folder.
    if (configuration.temporaryDirectory.isEmpty()) {
        configuration.temporaryDirectory = simulated_home::temporaryFolder(home);
        private_files::ensureDirectory(configuration.temporaryDirectory);
    }

    QList<TrackedRowSeed> seeds;
    QList<std::pair<QString, double>> positions;
    for (const ScenarioApp& app : scenario.apps) {
        if (app.trackedRow != TrackedRowKind::None)
            seeds.append(rowSeed(app));
        for (const ScenarioExtra& extra : app.extras) {
            if (extra.position)
                positions.append(
                    {QStringLiteral("status:%1::%2").arg(app.bundleID.value_or(app.name), extra.name),
                     *extra.position});
        }
    }
    m_domains.createMissing(seeds, positions);
    writeSystemSwitches();
    m_accessibility.setTrusted(scenario.system.accessibilityTrusted);
    // The system's prompt: the app joins the Accessibility list, switched off, for the user to
    // turn on.
    m_accessibility.setPromptHandler([this] {
        if (m_accessibilityListed)
            return;
        m_accessibilityListed = true;
        changed();
    });

    addSystemApplications();
    addOwnApplication();
    addScenarioApplications();
    m_poll = m_mainThread.every(platform::seconds(editPollInterval), [this] { noticeEdits(); });

    m_menuBar.setChangeHandler([this] { changed(); });
    m_menuBar.setRememberedPosition([this](const QString& name) -> std::optional<double> {
        const QVariant value = m_userDefaults.value(platform::StatusBar::preferredPositionKey(name));
        bool ok = false;
        const double position = value.toDouble(&ok);
        if (!value.isValid() || !ok)
            return std::nullopt;
        return position;
    });
    m_statusBar.setMenuHandler([this] { changed(); });
    m_shell.setChangeHandler([this](SimulatedApplicationShell::Change change) { shellChanged(change); });
    m_appearance.observe([this](bool) { changed(); });
    m_loginItems.observe([this] { changed(); });
    m_loginItems.setOpenSettingsHandler([this] { openSystemSettings(SettingsPane::LoginItems); });
    m_workspace.setUrlHandler([this](const QUrl& url) { openUrl(url); });
    m_accessibility.setPressHandler([this](quint64 entryId) { openExtraMenu(entryId); });
    m_belowBarPanel.setChangeHandler([this] { changed(); });
    m_belowBarPanel.setScreen(m_menuBar.screen(), m_menuBar.frame().height());
    m_workspace.setFrontmost(m_frontmost, false);
    for (const platform::KeyCombination& taken : scenario.takenShortcuts)
        m_globalShortcuts.take(taken);
    // The frontmost app's menus fill the bar from its left edge to where the layout ends them.
    m_accessibility.setApplicationMenus(
        [this](qint32 pid) -> std::optional<SimulatedAccessibility::ApplicationMenus> {
            if (pid != m_frontmost)
                return std::nullopt;
            const QRectF bar = m_menuBar.frame();
            const QRectF span(bar.x(), bar.y(), std::max(0.0, m_menuBar.menusEnd() - bar.x()), bar.height());
            // The Apple menu comes first.
            return SimulatedAccessibility::ApplicationMenus{int(frontmostMenu().size()) + 1,
                                                            m_menuBar.toAccessibility(span)};
        });
}

SimulatedDesktop::~SimulatedDesktop()
{
    m_menuBar.setChangeHandler({});
    m_statusBar.setMenuHandler({});
    m_shell.setChangeHandler({});
    m_belowBarPanel.setChangeHandler({});
    m_belowBarPanel.setHandlers({});
    m_poll.cancel();
    for (platform::TaskHandle& task : m_tasks)
        task.cancel();
}

void SimulatedDesktop::ownProcessEnded()
{
    m_mouseEvents.removeAllMonitors();
    m_workspace.removeAllObservers();
    m_globalShortcuts.removeAll();
    m_accessibility.removeAllMenuObservers();
    m_statusBar.closeMenu();
    // The panel belongs to the process: it goes, and tells nobody.
    m_belowBarPanel.setHandlers({});
    m_belowBarPanel.close();
    for (const platform::WindowInfo& window : m_shell.windows())
        m_shell.removeWindow(window.title);
    m_shell.setMainMenu({});
    if (m_frontmost == static_cast<qint32>(m_host.processId()))
        setFrontmost(finderPid);
    changed();
}

platform::Services SimulatedDesktop::services()
{
    platform::Services services;
    services.scheduler = &m_mainThread;
    services.host = &m_host;
    services.userDefaults = &m_userDefaults;
    services.accessibility = &m_accessibility;
    services.workspace = &m_workspace;
    services.statusBar = &m_statusBar;
    services.screens = &m_screens;
    services.mouseEvents = &m_mouseEvents;
    services.applicationShell = &m_shell;
    services.loginItems = &m_loginItems;
    services.appearance = &m_appearance;
    services.belowBarPanel = &m_belowBarPanel;
    services.globalShortcuts = &m_globalShortcuts;
    return services;
}

void SimulatedDesktop::addSystemApplications()
{
    const auto add = [this](ScenarioApp app) {
        SimulatedApplication application;
        application.config = std::move(app);
        application.system = true;
        SimulatedApplication& added = m_workspace.add(std::move(application));
        m_workspace.launch(added, added.config.pid, false);
        return &added;
    };
    add(systemApp(
        QStringLiteral("com.apple.systemuiserver"), QStringLiteral("SystemUIServer"),
        QStringLiteral("/System/Library/CoreServices/SystemUIServer.app/Contents/MacOS/SystemUIServer"),
        systemUIServerPid));
    const SimulatedApplication* controlCenter = add(systemApp(
        QStringLiteral("com.apple.controlcenter"), QStringLiteral("Control Center"),
        QStringLiteral("/System/Library/CoreServices/ControlCenter.app/Contents/MacOS/ControlCenter"),
        controlCenterPid));
    add(systemApp(QStringLiteral("com.apple.finder"), QStringLiteral("Finder"),
                  QStringLiteral("/System/Library/CoreServices/Finder.app/Contents/MacOS/Finder"),
                  finderPid));
    showSystemItems(*controlCenter);
}

void SimulatedDesktop::showSystemItems(const SimulatedApplication& controlCenter)
{
    const double total = m_scenario.menuBar.systemItemsWidth;
    const auto show = [&](ScenarioExtra extra, double width) {
        MenuBarEntry entry;
        entry.kind = MenuBarEntry::Kind::System;
        entry.pid = controlCenter.pid;
        entry.owner = controlCenter.owner();
        entry.name = extra.name;
        entry.width = width;
        entry.extra = std::move(extra);
        m_menuBar.show(std::move(entry));
    };
    show(systemExtra(QStringLiteral("BentoBox"), QStringLiteral("Control Center"),
                     QStringLiteral("com.apple.menuextra.controlcenter")),
         total * controlCenterItemShare);
    show(systemExtra(QStringLiteral("Clock"), QStringLiteral("Clock"),
                     QStringLiteral("com.apple.menuextra.clock")),
         total * (1 - controlCenterItemShare));
}

void SimulatedDesktop::addOwnApplication()
{
    SimulatedApplication own;
    own.config.bundleID = ownIdentifier(m_host);
    own.config.name =
        m_host.mainBundle().infoString(QStringLiteral("CFBundleName")).value_or(ownFallbackName);
    own.config.pid = static_cast<qint32>(m_host.processId());
    own.config.executable = m_host.mainBundle().url() + QStringLiteral("/Contents/MacOS/") + own.config.name;
    own.config.axLatency = 0;
    own.own = true;
    SimulatedApplication& added = m_workspace.add(std::move(own));
    m_workspace.launch(added, added.config.pid, false);
}

void SimulatedDesktop::addScenarioApplications()
{
    const auto rows = m_domains.trackedRows();
    const std::optional<TrackedRowNames> names = rows ? std::optional(TrackedRowNames(*rows)) : std::nullopt;
    std::vector<SimulatedApplication*> shown;
    for (const ScenarioApp& app : m_scenario.apps) {
        SimulatedApplication application;
        application.config = app;
        application.pid = app.pid;
        SimulatedApplication& added = m_workspace.add(std::move(application));
        if (!app.running)
            continue;
        if (app.launchAt > 0) {
            const QString owner = added.owner();
            schedule(platform::seconds(app.launchAt), [this, owner] { launch(owner); });
            continue;
        }
        m_workspace.launch(added, app.pid, false);
        added.allowed = names ? allowedBy(*names, added) : true;
        if (added.allowed)
            shown.push_back(&added);
    }
    showExtras(shown);
}

void SimulatedDesktop::ensureRows(const std::vector<SimulatedApplication*>& applications)
{
    const auto rows = m_domains.trackedRows();
    if (!rows)
        return;
    TrackedRowNames names(*rows);
    QList<TrackedRowSeed> seeds;
    for (const SimulatedApplication* application : applications) {
        if (application->config.trackedRow == TrackedRowKind::None && !application->own)
            continue;
        if (names.names(application->config.bundleID, application->config.executable))
            continue;
        TrackedRowSeed seed = rowSeed(application->config);
        if (application->own)
            seed = TrackedRowSeed{TrackedRowKind::Bundle, application->owner(),
                                  application->config.executable, 1};
        seeds.append(seed);
        // Another app of the same bundle or executable finds this row.
        names.add(seed.kind == TrackedRowKind::Bundle
                      ? TrackedRow{seed.bundleID, std::nullopt, true}
                      : TrackedRow{std::nullopt, QDir::cleanPath(seed.executable), true});
    }
    m_domains.addTrackedRows(seeds);
}

void SimulatedDesktop::showExtras(const std::vector<SimulatedApplication*>& applications)
{
    if (applications.empty())
        return;
    ensureRows(applications);
    std::vector<MenuBarEntry> entries;
    for (const SimulatedApplication* application : applications) {
        for (const ScenarioExtra& extra : application->config.extras) {
            MenuBarEntry entry;
            entry.kind = MenuBarEntry::Kind::Extra;
            entry.pid = application->pid;
            entry.owner = application->owner();
            entry.name = extra.name;
            entry.width = extra.width;
            entry.extra = extra;
            entries.push_back(std::move(entry));
        }
    }
    m_menuBar.show(std::move(entries));
}

void SimulatedDesktop::hideExtras(const std::vector<SimulatedApplication*>& applications)
{
    QList<quint64> ids;
    for (const SimulatedApplication* application : applications) {
        for (const MenuBarEntry* entry : m_menuBar.entriesOf(application->pid)) {
            if (entry->kind == MenuBarEntry::Kind::Extra)
                ids.append(entry->id);
        }
    }
    // A menu goes with the item that opened it.
    if (m_extraMenu && ids.contains(m_extraMenu->entryId))
        closeExtraMenu();
    m_menuBar.remove(ids);
}

void SimulatedDesktop::noticeEdits()
{
    const auto bytes = m_domains.takeControlCenterChange();
    if (!bytes)
        return;
    // A file that does not parse changes nothing on screen.
    const auto rows = SimulatedPreferenceDomains::parseTrackedRows(*bytes);
    if (!rows)
        return;
    const HonourEdits& honourEdits = m_scenario.menuBar.honourEdits;
    switch (honourEdits.mode) {
    case HonourEdits::Mode::Immediately:
        honour(*rows);
        return;
    case HonourEdits::Mode::AfterDelay:
        schedule(platform::seconds(honourEdits.delay), [this, rows = *rows] { honour(rows); });
        return;
    case HonourEdits::Mode::Never:
        return;
    }
}

void SimulatedDesktop::honour(const QList<TrackedRow>& rows)
{
    const TrackedRowNames names(rows);
    std::vector<SimulatedApplication*> shown;
    std::vector<SimulatedApplication*> hidden;
    for (SimulatedApplication& application : m_workspace.applications()) {
        if (application.system || application.own)
            continue;
        const bool allowed = allowedBy(names, application);
        if (allowed == application.allowed)
            continue;
        application.allowed = allowed;
        if (application.running)
            (allowed ? shown : hidden).push_back(&application);
    }
    hideExtras(hidden);
    showExtras(shown);
}

SimulatedApplication* SimulatedDesktop::scenarioApplication(const QString& owner)
{
    SimulatedApplication* application = m_workspace.find(owner);
    if (!application || application->system || application->own)
        return nullptr;
    return application;
}

bool SimulatedDesktop::launch(const QString& owner)
{
    SimulatedApplication* application = scenarioApplication(owner);
    if (!application || application->running)
        return false;
    startApplication(*application, true);
    changed();
    return true;
}

bool SimulatedDesktop::startApplication(SimulatedApplication& application, bool notify)
{
    const qint32 pid = application.hasRun ? m_workspace.unusedPid() : application.config.pid;
    m_workspace.launch(application, pid, notify);
    // A launching app registers with the control center, which reads its row as it is now.
    if (const auto rows = m_domains.trackedRows())
        application.allowed = allowedBy(TrackedRowNames(*rows), application);
    if (application.allowed)
        showExtras({&application});
    return true;
}

bool SimulatedDesktop::quit(const QString& owner)
{
    SimulatedApplication* application = scenarioApplication(owner);
    if (!application || !application->running)
        return false;
    hideExtras({application});
    QStringList forgotten;
    for (const ScenarioExtra& extra : application->config.extras) {
        if (extra.forgetsPlace)
            forgotten.append(QStringLiteral("status:%1::%2").arg(application->owner(), extra.name));
    }
    if (!forgotten.isEmpty())
        m_domains.removePositions(forgotten);
    m_workspace.quit(*application);
    if (m_frontmost == application->pid)
        setFrontmost(finderPid);
    changed();
    return true;
}

void SimulatedDesktop::setFullDiskAccess(bool granted)
{
    // The system lists every app that was ever granted.
    if (granted)
        m_fullDiskAccessListed = true;
    if (m_fullDiskAccess == granted)
        return;
    m_fullDiskAccess = granted;
    writeSystemSwitches();
    changed();
}

void SimulatedDesktop::setAccessibilityTrusted(bool trusted)
{
    // The system lists every app that was ever trusted.
    if (trusted)
        m_accessibilityListed = true;
    if (m_accessibility.isProcessTrusted() == trusted)
        return;
    m_accessibility.setTrusted(trusted);
    changed();
}

SimulatedDesktop::ObserverId SimulatedDesktop::observe(std::function<void()> handler)
{
    m_observers.insert(++m_lastObserver, std::move(handler));
    return m_lastObserver;
}

void SimulatedDesktop::removeObserver(ObserverId observer)
{
    m_observers.remove(observer);
}

void SimulatedDesktop::changed()
{
    const auto observers = m_observers;
    for (auto it = observers.begin(); it != observers.end(); ++it) {
        if (m_observers.contains(it.key()))
            it.value()();
    }
}

void SimulatedDesktop::shellChanged(SimulatedApplicationShell::Change change)
{
    if (change == SimulatedApplicationShell::Change::Activated)
        setFrontmost(static_cast<qint32>(m_host.processId()));
    // A hidden app gives the front to the next one, as Command-H does.
    if (change == SimulatedApplicationShell::Change::Hidden && m_shell.isHidden() &&
        m_frontmost == static_cast<qint32>(m_host.processId()))
        setFrontmost(finderPid);
    changed();
}

void SimulatedDesktop::watchFilesInsteadOfPolling()
{
    if (m_fileWatch)
        return;
    m_poll.cancel();
    m_fileWatch = std::make_unique<QFileSystemWatcher>();
    // Files are replaced by renames, so their folders are what tells.
    m_fileWatch->addPaths({QFileInfo(simulated_home::controlCenterDomainPath(m_home)).absolutePath(),
                           simulated_home::simulatorFolder(m_home)});
    QObject::connect(m_fileWatch.get(), &QFileSystemWatcher::directoryChanged, m_fileWatch.get(), [this] {
        noticeEdits();
        if (m_defaultsLog.refresh())
            changed();
    });
}

bool SimulatedDesktop::activate(const QString& owner)
{
    SimulatedApplication* application = m_workspace.find(owner);
    if (!application || !application->running)
        return false;
    if (application->own) {
        m_shell.activate(false);
        return true;
    }
    setFrontmost(application->pid);
    changed();
    return true;
}

void SimulatedDesktop::setFrontmost(qint32 pid)
{
    m_frontmost = pid;
    m_workspace.setFrontmost(pid);
}

platform::MainMenu SimulatedDesktop::frontmostMenu()
{
    const bool own = m_frontmost == static_cast<qint32>(m_host.processId());
    const SimulatedApplication* application = m_workspace.application(m_frontmost);
    if (!application)
        return {};
    const QString name = application->config.name;
    const QString owner = application->owner();
    // The system puts its standard items around what the app declares.
    platform::MainMenu declared = own ? m_shell.mainMenu() : platform::MainMenu{};
    const auto group = [](platform::Menu& into, const platform::Menu& items) {
        if (items.isEmpty())
            return;
        into.append(platform::MenuItem::makeSeparator());
        into.append(items);
    };
    platform::MenuBarMenu appMenu{name, {platform::MenuItem{aboutTitle.arg(name), [this, owner] { showAbout(owner); }}}};
    group(appMenu.items, declared.isEmpty() ? platform::Menu{} : declared.takeFirst().items);
    if (own) {
        appMenu.items.append(platform::MenuItem::makeSeparator());
        appMenu.items.append(platform::MenuItem{hideTitle.arg(name), [this] { m_shell.setHidden(true); }});
    }
    if (!application->system) {
        appMenu.items.append(platform::MenuItem::makeSeparator());
        appMenu.items.append(platform::MenuItem{quitTitle.arg(name), [this, own, owner] {
                                          if (own)
                                              m_shell.terminate();
                                          else
                                              quit(owner);
                                      }});
    }
    platform::MenuBarMenu help{helpTitle, {platform::MenuItem{appHelpTitle.arg(name), {}, false, false}}};
    for (const platform::MenuBarMenu& menu : declared) {
        if (menu.title == helpTitle)
            group(help.items, menu.items);
    }
    platform::MainMenu menu{appMenu};
    for (const platform::MenuBarMenu& other : declared) {
        if (other.title != helpTitle)
            menu.append(other);
    }
    if (!own) {
        for (const QString& title : standardMenuTitles)
            menu.append(platform::MenuBarMenu{title, {}});
    }
    menu.append(help);
    return menu;
}

void SimulatedDesktop::showAbout(const QString& owner)
{
    m_aboutOwner = owner;
    changed();
}

void SimulatedDesktop::closeAbout()
{
    if (!m_aboutOwner)
        return;
    m_aboutOwner.reset();
    changed();
}

std::optional<SimulatedDesktop::SettingsPane> SimulatedDesktop::paneForUrl(const QUrl& url)
{
    if (url.scheme() != settingsScheme)
        return std::nullopt;
    const QString path = url.path();
    if (path == loginItemsPane)
        return SettingsPane::LoginItems;
    if (path != securityPane)
        return std::nullopt;
    const QString anchor = url.query();
    if (anchor == fullDiskAccessAnchor)
        return SettingsPane::FullDiskAccess;
    // The privacy pane opens at Accessibility unless the link names another list.
    return SettingsPane::Accessibility;
}

bool SimulatedDesktop::openUrl(const QUrl& url)
{
    const auto pane = paneForUrl(url);
    if (!pane)
        return false;
    openSystemSettings(*pane);
    return true;
}

void SimulatedDesktop::openSystemSettings(SettingsPane pane)
{
    m_settingsPane = pane;
    changed();
}

void SimulatedDesktop::closeSystemSettings()
{
    if (!m_settingsPane)
        return;
    m_settingsPane.reset();
    changed();
}

QString SimulatedDesktop::ownBundlePath() const
{
    return QDir::cleanPath(m_host.mainBundle().url());
}

QList<SimulatedDesktop::PrivacyEntry> SimulatedDesktop::applicationBundles() const
{
    const QString ownName =
        m_host.mainBundle().infoString(QStringLiteral("CFBundleName")).value_or(ownFallbackName);
    QList<PrivacyEntry> bundles{PrivacyEntry{ownName, ownBundlePath(), false, true, ownIdentifier(m_host)}};
    for (const ScenarioApp& app : m_scenario.apps) {
        const QString bundle = bundleOf(app.executable);
        if (!bundle.isEmpty())
            bundles.append(PrivacyEntry{app.name, bundle, false, false, app.bundleID.value_or(app.name)});
    }
    return bundles;
}

QList<SimulatedDesktop::PrivacyEntry> SimulatedDesktop::privacyEntries(SettingsPane pane) const
{
    PrivacyEntry own = applicationBundles().first();
    switch (pane) {
    case SettingsPane::Accessibility:
        // Listed once the app asked for trust (or was trusted).
        if (!m_accessibilityListed)
            return {};
        own.enabled = m_accessibility.isProcessTrusted();
        return {own};
    case SettingsPane::FullDiskAccess: {
        QList<PrivacyEntry> entries;
        if (m_fullDiskAccessListed) {
            own.enabled = m_fullDiskAccess;
            entries.append(own);
        }
        return entries + m_otherFullDiskAccess;
    }
    case SettingsPane::LoginItems: {
        const platform::LoginItemStatus status = m_loginItems.status();
        if (status != platform::LoginItemStatus::Enabled && status != platform::LoginItemStatus::RequiresApproval)
            return {};
        own.enabled = status == platform::LoginItemStatus::Enabled;
        return {own};
    }
    }
    return {};
}

bool SimulatedDesktop::setPrivacySwitch(SettingsPane pane, const QString& bundlePath, bool on)
{
    const QString path = QDir::cleanPath(bundlePath);
    if (path == ownBundlePath()) {
        switch (pane) {
        case SettingsPane::Accessibility:
            if (!m_accessibilityListed)
                return false;
            setAccessibilityTrusted(on);
            return true;
        case SettingsPane::FullDiskAccess:
            if (!m_fullDiskAccessListed)
                return false;
            setFullDiskAccess(on);
            return true;
        case SettingsPane::LoginItems:
            return m_loginItems.setApproved(on);
        }
    }
    if (pane != SettingsPane::FullDiskAccess)
        return false;
    for (PrivacyEntry& entry : m_otherFullDiskAccess) {
        if (entry.bundlePath == path) {
            entry.enabled = on;
            changed();
            return true;
        }
    }
    return false;
}

bool SimulatedDesktop::addToFullDiskAccess(const QString& bundlePath)
{
    const QString path = QDir::cleanPath(bundlePath);
    if (!QDir::isAbsolutePath(path) || !path.endsWith(bundleSuffix) || path.size() <= bundleSuffix.size() + 1)
        return false;
    if (path == ownBundlePath()) {
        if (m_fullDiskAccessListed)
            return false;
        setFullDiskAccess(true);
        return true;
    }
    for (const PrivacyEntry& entry : m_otherFullDiskAccess) {
        if (entry.bundlePath == path)
            return false;
    }
    PrivacyEntry added{QFileInfo(path).completeBaseName(), path, true, false, {}};
    for (const PrivacyEntry& known : applicationBundles()) {
        if (known.bundlePath == path) {
            added.name = known.name;
            added.owner = known.owner;
        }
    }
    m_otherFullDiskAccess.append(added);
    changed();
    return true;
}

void SimulatedDesktop::writeSystemSwitches()
{
    Json switches = Json::object();
    switches[json::toStd(simulated_home::fullDiskAccessKey)] = m_fullDiskAccess;
    private_files::ensureDirectory(simulated_home::simulatorFolder(m_home));
    private_files::writeAtomically(simulated_home::systemSwitchesPath(m_home), json::serialize(switches));
}

void SimulatedDesktop::schedule(platform::Duration delay, std::function<void()> work)
{
    std::erase_if(m_tasks, [](const platform::TaskHandle& task) { return !task.isPending(); });
    m_tasks.push_back(m_mainThread.after(delay, std::move(work)));
}

bool SimulatedDesktop::click(const QString& itemName, bool rightButton, std::optional<int> display)
{
    if (display && !useBarOf(*display))
        return false;
    SimulatedStatusItem* item = m_statusBar.item(itemName);
    return item && m_statusBar.click(*item, rightButton);
}

bool SimulatedDesktop::retitle(const QString& key, const QString& title)
{
    for (const MenuBarEntry* entry : m_menuBar.leftToRight()) {
        if (entry->kind == MenuBarEntry::Kind::Extra && entry->key() == key) {
            m_menuBar.setTitle(entry->id, title);
            return true;
        }
    }
    return false;
}

bool SimulatedDesktop::commandDrag(const QString& key, QPointF target)
{
    noticeEdits();
    const MenuBarEntry* dragged = nullptr;
    for (const MenuBarEntry* entry : m_menuBar.leftToRight()) {
        if (entry->onScreen && entry->key() == key)
            dragged = entry;
    }
    if (!dragged)
        return false;
    const QPointF start = dragged->visibleFrame->center();
    QList<platform::MouseEvent> events{platform::MouseEvent{platform::MouseEventType::LeftMouseDown, true, start}};
    for (int step = 1; step <= dragSteps; ++step) {
        const double t = static_cast<double>(step) / (dragSteps + 1);
        events.append(platform::MouseEvent{platform::MouseEventType::LeftMouseDragged, true, start + (target - start) * t});
    }
    events.append(platform::MouseEvent{platform::MouseEventType::LeftMouseUp, true, target});
    const bool ownItem = dragged->kind == MenuBarEntry::Kind::OwnItem;
    m_mouseEvents.play(std::move(events), ownItem,
                       [this, alive = std::weak_ptr<char>(m_alive), id = dragged->id, target] {
                           if (alive.expired())
                               return;
                           // Dropped away from the bar, the item goes back where it was.
                           const QRectF bar = m_menuBar.frame();
                           if (target.y() >= bar.top() && target.y() <= bar.bottom() &&
                               target.x() >= bar.left() && target.x() <= bar.right())
                               m_menuBar.drop(id, target.x());
                       });
    return true;
}

SimulatedDesktop::SnapshotItem SimulatedDesktop::snapshotItem(const MenuBarEntry& entry) const
{
    return snapshotItem(entry, *entry.frame);
}

SimulatedDesktop::SnapshotItem SimulatedDesktop::snapshotItem(const MenuBarEntry& entry,
                                                              const QRectF& frame) const
{
    SnapshotItem item{entry.kind, entry.owner, entry.name, entry.key(), {}, frame};
    if (entry.statusItem) {
        const SimulatedStatusButton& button = entry.statusItem->simulatedButton();
        item.title = !button.title().isEmpty() ? button.title() : button.accessibilityDescription();
    } else {
        item.title = !entry.extra.title.isEmpty() ? entry.extra.title : entry.extra.description;
    }
    if (item.title.isEmpty())
        item.title = entry.name;
    return item;
}

SimulatedDesktop::Snapshot SimulatedDesktop::snapshot()
{
    noticeEdits();
    Snapshot snapshot;
    for (const MenuBarEntry* entry : m_menuBar.leftToRight())
        (entry->onScreen ? snapshot.items : snapshot.offScreen).append(snapshotItem(*entry));
    for (const SimulatedApplication& application : m_workspace.applications()) {
        if (application.running && !application.allowed && !application.system && !application.own)
            snapshot.hiddenApps.append(application.owner());
    }
    return snapshot;
}

bool SimulatedDesktop::clickExtra(const QString& key)
{
    noticeEdits();
    for (const MenuBarEntry* entry : m_menuBar.leftToRight()) {
        if (entry->kind == MenuBarEntry::Kind::Extra && entry->onScreen && entry->key() == key) {
            openExtraMenu(entry->id);
            return true;
        }
    }
    return false;
}

void SimulatedDesktop::openExtraMenu(quint64 entryId)
{
    const MenuBarEntry* entry = m_menuBar.entry(entryId);
    if (!entry || entry->kind != MenuBarEntry::Kind::Extra)
        return;
    const SimulatedApplication* application = m_workspace.application(entry->pid);
    const QString name = application ? application->config.name : entry->owner;
    QString title = !entry->extra.title.isEmpty() ? entry->extra.title : entry->extra.description;
    if (title.isEmpty())
        title = name;
    const QString owner = entry->owner;
    // One menu is open at a time: another one closes first.
    closeExtraMenu();
    m_extraMenu = ExtraMenu{entry->id, entry->pid, entry->key(), owner,
                            platform::Menu{platform::MenuItem{title, {}, false, false}, platform::MenuItem::makeSeparator(),
                                 platform::MenuItem{extraOpenTitle.arg(name), [this, owner] { activate(owner); }},
                                 platform::MenuItem{extraQuitTitle.arg(name), [this, owner] { quit(owner); }}}};
    tellMenu(entry->pid, true);
    changed();
}

void SimulatedDesktop::tellMenu(qint32 pid, bool open)
{
    m_mainThread.post([this, alive = std::weak_ptr<char>(m_alive), pid, open] {
        if (!alive.expired())
            m_accessibility.menuChanged(pid, open);
    });
}

void SimulatedDesktop::movePointer(QPointF point)
{
    const QPointF ax = m_menuBar.toAccessibility(QRectF(point, QSizeF())).topLeft();
    const MenuBarEntry* entry = m_menuBar.entryAt(ax);
    const auto panel = m_belowBarPanel.frame();
    const bool own =
        (entry && entry->kind == MenuBarEntry::Kind::OwnItem) || (panel && panel->contains(point));
    m_mouseEvents.play({platform::MouseEvent{platform::MouseEventType::MouseMoved, false, point}}, own);
}

std::optional<int> SimulatedDesktop::barDisplayAt(QPointF point) const
{
    const QList<SimulatedScreens::Display>& displays = m_screens.displays();
    for (int i = 0; i < displays.size(); ++i) {
        if (i > 0 && !m_screens.separateSpaces())
            break;
        const QRectF& screen = displays[i].frame;
        const double top = screen.y() + screen.height();
        if (point.x() >= screen.left() && point.x() <= screen.right() && point.y() <= top &&
            point.y() >= top - m_scenario.menuBar.height)
            return i;
    }
    return std::nullopt;
}

bool SimulatedDesktop::useBarOf(int index)
{
    const QList<SimulatedScreens::Display>& displays = m_screens.displays();
    if (index < 0 || index >= displays.size() || (index > 0 && !m_screens.separateSpaces()))
        return false;
    if (index == m_barDisplay)
        return true;
    m_barDisplay = index;
    closeExtraMenu();
    // The items' windows move to the bar a person works on; the other bars show their likeness.
    m_menuBar.setScreen(displays[index].frame, displays[index].housingWidth, displays.first().frame);
    m_belowBarPanel.setScreen(m_menuBar.screen(), m_menuBar.frame().height());
    changed();
    return true;
}

QList<SimulatedDesktop::DisplayBar> SimulatedDesktop::displayBars()
{
    noticeEdits();
    QList<DisplayBar> bars;
    const QList<SimulatedScreens::Display>& displays = m_screens.displays();
    for (int i = 0; i < displays.size(); ++i) {
        if (i > 0 && !m_screens.separateSpaces())
            break;
        const SimulatedScreens::Display& display = displays[i];
        DisplayBar bar;
        bar.name = display.name;
        bar.main = i == 0;
        bar.inUse = i == m_barDisplay;
        const double top = display.frame.y() + display.frame.height();
        bar.frame = QRectF(display.frame.x(), top - m_scenario.menuBar.height, display.frame.width(),
                           m_scenario.menuBar.height);
        bar.housing = SimulatedScreens::topArea(display, m_scenario.menuBar.height).housing();
        // Every bar shows the same menus, which end where the layout begins the status items.
        for (const MenuBarPlacement& laid : m_menuBar.layoutOn(display.frame, display.housingWidth))
            (laid.onScreen ? bar.items : bar.offScreen).append(snapshotItem(*laid.entry, laid.frame));
        bars.append(std::move(bar));
    }
    return bars;
}

bool SimulatedDesktop::addDisplay(const ScenarioScreen& screen)
{
    QList<SimulatedScreens::Display> displays = m_screens.displays();
    for (const SimulatedScreens::Display& display : displays) {
        if (display.frame.intersects(screen.frame) || (screen.builtIn && display.builtIn))
            return false;
    }
    displays.append(
        SimulatedScreens::Display{screen.frame, screen.housingWidth, screen.name, screen.builtIn});
    setDisplays(std::move(displays), m_barDisplay);
    return true;
}

bool SimulatedDesktop::clickBar(QPointF point)
{
    noticeEdits();
    if (const auto display = barDisplayAt(point))
        useBarOf(*display);
    const QRectF bar = m_menuBar.frame();
    if (point.y() < bar.top() || point.y() > bar.bottom() || point.x() < bar.left() ||
        point.x() > bar.right())
        return false;
    const QPointF ax = m_menuBar.toAccessibility(QRectF(point, QSizeF())).topLeft();
    if (const MenuBarEntry* entry = m_menuBar.entryAt(ax)) {
        if (entry->kind == MenuBarEntry::Kind::OwnItem && entry->statusItem)
            return m_statusBar.click(*entry->statusItem, false);
        if (entry->kind == MenuBarEntry::Kind::Extra)
            return clickExtra(entry->key());
        return true;
    }
    closeExtraMenu();
    m_mouseEvents.play({platform::MouseEvent{platform::MouseEventType::LeftMouseDown, false, point},
                        platform::MouseEvent{platform::MouseEventType::LeftMouseUp, false, point}},
                       false);
    return true;
}

bool SimulatedDesktop::pressKeys(const platform::KeyCombination& combination)
{
    return m_globalShortcuts.press(combination);
}

bool SimulatedDesktop::chooseExtraMenuItem(int index)
{
    if (!m_extraMenu || index < 0 || index >= m_extraMenu->items.size())
        return false;
    const platform::MenuItem item = m_extraMenu->items[index];
    if (item.separator || !item.enabled)
        return false;
    closeExtraMenu();
    if (item.action)
        item.action();
    return true;
}

void SimulatedDesktop::closeExtraMenu()
{
    if (!m_extraMenu)
        return;
    const qint32 pid = m_extraMenu->pid;
    m_extraMenu.reset();
    tellMenu(pid, false);
    changed();
    m_belowBarPanel.menuClosed(pid);
}

bool SimulatedDesktop::removeDisplay(int index)
{
    QList<SimulatedScreens::Display> displays = m_screens.displays();
    if (index < 0 || index >= displays.size() || displays.size() < 2)
        return false;
    displays.removeAt(index);
    // The bar in use stays where it is, unless its display went.
    const int barDisplay = index == m_barDisplay ? 0 : index < m_barDisplay ? m_barDisplay - 1 : m_barDisplay;
    setDisplays(std::move(displays), barDisplay);
    return true;
}

bool SimulatedDesktop::makeMainDisplay(int index)
{
    QList<SimulatedScreens::Display> displays = m_screens.displays();
    if (index <= 0 || index >= displays.size())
        return false;
    displays.move(index, 0);
    // The new main display's bar is the one in use, as after a person arranged the displays.
    setDisplays(std::move(displays), 0);
    return true;
}

void SimulatedDesktop::setDisplays(QList<SimulatedScreens::Display> displays, int barDisplay)
{
    // The main display holds the origin; the others keep their places around it.
    const QPointF origin = displays.first().frame.topLeft();
    for (SimulatedScreens::Display& display : displays)
        display.frame.translate(-origin);
    noticeEdits();
    closeExtraMenu();
    m_barDisplay = std::clamp(barDisplay, 0, int(displays.size()) - 1);
    if (!m_scenario.separateSpaces)
        m_barDisplay = 0;
    m_menuBar.setScreen(displays[m_barDisplay].frame, displays[m_barDisplay].housingWidth,
                        displays.first().frame);
    m_belowBarPanel.setScreen(m_menuBar.screen(), m_menuBar.frame().height());
    m_screens.setDisplays(std::move(displays));
    changed();
}

} // namespace velmor::simulated_mac
