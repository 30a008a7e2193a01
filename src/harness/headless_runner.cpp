#include "harness/headless_runner.h"

#include "app/simulated_run.h"
#include "distribution/app_updates.h"
#include "foundation/json.h"
#include "foundation/regular_file.h"
#include "foundation/system_error.h"
#include "foundation/uuid_text.h"
#include "platform/key_combination.h"
#include "settings_window/tray_below_bar_settings.h"
#include "simulated_mac/simulated_status_item.h"
#include "tray/native_tray_controller.h"
#include "tray/tray_app.h"
#include "tray/tray_below_bar_preference.h"
#include "tray/tray_delegate.h"
#include "tray/tray_display_layouts.h"
#include "tray/tray_model.h"

#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>

#include <algorithm>
#include <cmath>

namespace velmor {
namespace {

using Kind = ScriptCommand::Kind;
using simulated_mac::MenuBarEntry;

QString own(const char* name)
{
    return QString::fromLatin1(name);
}

QString chevronName()
{
    return own(TrayDelegate::autosavePrefix) + own(NativeTrayController::regularSuffix);
}
QString markerName()
{
    return own(TrayDelegate::autosavePrefix) + own(NativeTrayController::hiddenSuffix);
}

// One entry of the menu bar as the runner prints it.
struct BarEntry {
    QString kind; // extra, marker, chevron, group, system
    QString bundleID;
    QString title;
    QString text; // how a person sees it, for the text format
};

} // namespace

HeadlessRunner::HeadlessRunner(Options options, QTextStream& out, QTextStream& errors)
    : m_options(std::move(options)), m_out(out), m_errors(errors)
{}

HeadlessRunner::~HeadlessRunner() = default;

int HeadlessRunner::run()
{
    QList<ScriptCommand> script;
    const std::optional<simulated_mac::Scenario> scenario =
        SimulatedRun::loadScenario(m_options.scenarioPath, m_errors);
    if (!scenario)
        return failed;
    try {
        script = RunScript::parse(
            QString::fromUtf8(RegularFile::read(m_options.scriptPath, RunScript::maximumBytes)));
    } catch (const ScriptError& error) {
        m_errors << m_options.scriptPath << ": " << error.what() << "\n";
        return badScript;
    } catch (const SystemError& error) {
        m_errors << error.description() << "\n";
        return failed;
    }

    std::unique_ptr<QTemporaryDir> temporaryHome;
    // The `defaults` tool takes only absolute domains, which are built from the home.
    QString home = QFileInfo(m_options.homePath).absoluteFilePath();
    if (m_options.homePath.isEmpty()) {
        temporaryHome = std::make_unique<QTemporaryDir>();
        home = temporaryHome->path();
    }
    try {
        m_run = std::make_unique<SimulatedRun>(*scenario, home, m_options.defaultsToolPath);
        m_launchedAt = platform::toSeconds(m_run->scheduler().now().time_since_epoch());
        m_run->desktop().mainThread().takeLongestStall();
        m_run->setWindowsFactory(m_windowsFactory);
        m_run->launch();
        m_run->settle();
        const QString launchStep = QStringLiteral("launch");
        print(0, launchStep);
        if (m_stepObserver)
            m_stepObserver(0, launchStep, *m_run);
        for (int i = 0; i < script.size(); ++i) {
            execute(script[i]);
            print(i + 1, script[i].text);
            if (m_stepObserver)
                m_stepObserver(i + 1, script[i].text, *m_run);
        }
        if (m_run->isRunning())
            m_run->quit();
    } catch (const ScriptError& error) {
        m_errors << m_options.scriptPath << ": " << error.what() << "\n";
        m_run.reset();
        return badScript;
    } catch (const Error& error) {
        m_errors << error.description() << "\n";
        m_run.reset();
        return failed;
    }
    m_run.reset();
    return succeeded;
}

void HeadlessRunner::requireApp(const ScriptCommand& command) const
{
    if (!m_run->isRunning())
        throw ScriptError(command.line, QStringLiteral("Velmor Tray is not running (it quit)"));
}

void HeadlessRunner::execute(const ScriptCommand& command)
{
    simulated_mac::SimulatedDesktop& desktop = m_run->desktop();
    auto appCommand = [&]() -> TrayApp& {
        requireApp(command);
        return m_run->app();
    };
    auto namedGroup = [&](const QString& name) -> const TrayNamedGroup& {
        for (const TrayNamedGroup& candidate : appCommand().model().namedGrouping().groups) {
            if (candidate.name == name)
                return candidate;
        }
        throw ScriptError(command.line, QStringLiteral("there is no group named “%1”").arg(name));
    };
    auto group = [&](const QString& name) { return namedGroup(name).id; };
    auto groupItemName = [&](const QString& name) {
        return own(NativeTrayController::groupAutosavePrefix) + uuid_text::canonical(group(name));
    };
    auto click = [&](const QString& itemName, bool right) {
        requireApp(command);
        if (!desktop.click(itemName, right, command.display))
            throw ScriptError(command.line, QStringLiteral("that item is not on screen"));
    };
    auto hook = [&](const std::function<void()>& action) {
        if (action)
            action();
    };

    switch (command.kind) {
    case Kind::Wait:
        m_run->settle(command.seconds);
        return;
    case Kind::ClickChevron:
        click(chevronName(), false);
        break;
    case Kind::ClickMarker:
        click(markerName(), false);
        break;
    case Kind::RightClickChevron:
        click(chevronName(), true);
        break;
    case Kind::Menu: {
        requireApp(command);
        // The app's own menu, else the menu another app's extra opened.
        const auto& extra = desktop.extraMenu();
        const auto extraItem = [&] {
            for (int i = 0; extra && i < extra->items.size(); ++i) {
                if (extra->items[i].title == command.arguments[0])
                    return i;
            }
            return -1;
        };
        if (!desktop.statusBar().chooseMenuItem(command.arguments[0]) &&
            !desktop.chooseExtraMenuItem(extraItem()))
            throw ScriptError(command.line,
                              QStringLiteral("no open menu has an item “%1”").arg(command.arguments[0]));
        break;
    }
    case Kind::ClickGroup:
        click(groupItemName(command.arguments[0]), false);
        break;
    case Kind::Apply:
        hook(appCommand().model().hooks().arrangeNative);
        break;
    case Kind::Toggle:
        hook(appCommand().model().hooks().toggleNative);
        break;
    case Kind::Reveal:
        hook(appCommand().model().hooks().revealNative);
        break;
    case Kind::Organize:
        hook(appCommand().model().hooks().organizeAutomatically);
        break;
    case Kind::RestoreOrder:
        hook(appCommand().model().hooks().restorePreviousOrder);
        break;
    case Kind::Refresh:
        appCommand().model().refresh();
        break;
    case Kind::WindowOpen:
        requireApp(command);
        m_run->openSettingsWindow();
        break;
    case Kind::WindowClose:
        requireApp(command);
        m_run->closeSettingsWindow();
        break;
    case Kind::GroupAdd:
        appCommand().model().saveNamedGroup(std::nullopt, command.arguments[0], command.arguments[1]);
        break;
    case Kind::GroupRename: {
        const TrayNamedGroup renamed = namedGroup(command.arguments[0]);
        appCommand().model().saveNamedGroup(renamed.id, command.arguments[1], renamed.symbol);
        break;
    }
    case Kind::GroupDelete:
        appCommand().model().deleteNamedGroup(group(command.arguments[0]));
        break;
    case Kind::GroupToggle: {
        const QUuid id = group(command.arguments[0]);
        if (const auto& toggle = appCommand().model().hooks().toggleNamedGroup)
            toggle(id);
        break;
    }
    case Kind::Move: {
        const QString& bundle = command.arguments[0];
        QString destination = command.arguments[1];
        const QString prefix = own(TrayModel::groupDestinationPrefix);
        if (destination.startsWith(prefix))
            destination = prefix + uuid_text::canonical(group(destination.mid(prefix.size())));
        else if (!traySectionFromRawValue(destination))
            throw ScriptError(
                command.line,
                QStringLiteral("“%1” is neither a section nor group:\"NAME\"").arg(destination));
        TrayModel& model = appCommand().model();
        GroupedApp app{bundle, bundle, std::nullopt, std::nullopt};
        for (const GroupedApp& row : model.groupedApps()) {
            if (row.id == bundle)
                app = row;
        }
        model.setDestination(app, destination);
        break;
    }
    case Kind::CommandDrag: {
        requireApp(command);
        const simulated_mac::SimulatedDesktop::Snapshot bar = desktop.snapshot();
        auto find = [&](const QString& what) -> const simulated_mac::SimulatedDesktop::SnapshotItem& {
            QString name;
            if (what == QLatin1String("chevron"))
                name = chevronName();
            else if (what == QLatin1String("marker"))
                name = markerName();
            else if (what.startsWith(QLatin1String("group:")))
                name = groupItemName(what.mid(6));
            for (const auto& item : bar.items) {
                const bool match = name.isEmpty()
                                       ? item.kind == MenuBarEntry::Kind::Extra && item.owner == what
                                       : item.kind == MenuBarEntry::Kind::OwnItem && item.name == name;
                if (match)
                    return item;
            }
            throw ScriptError(command.line, QStringLiteral("“%1” has no icon on screen").arg(what));
        };
        const auto& dragged = find(command.arguments[0]);
        const auto& target = find(command.arguments[1]);
        const QPointF drop(command.flag ? target.frame.right() + 2 : target.frame.left() - 2,
                           target.frame.center().y());
        if (!desktop.commandDrag(dragged.key, drop))
            throw ScriptError(command.line, QStringLiteral("the drag could not start"));
        break;
    }
    case Kind::Launch:
    case Kind::Quit: {
        const bool done = command.kind == Kind::Launch ? desktop.launch(command.arguments[0])
                                                       : desktop.quit(command.arguments[0]);
        if (!done)
            throw ScriptError(command.line, QStringLiteral("no app “%1” to %2")
                                                .arg(command.arguments[0], command.kind == Kind::Launch
                                                                               ? QStringLiteral("launch")
                                                                               : QStringLiteral("quit")));
        break;
    }
    case Kind::Trust:
        desktop.setAccessibilityTrusted(command.flag);
        break;
    case Kind::FullDiskAccess:
        desktop.setFullDiskAccess(command.flag);
        break;
    case Kind::Kill:
        m_run->kill();
        m_run->settle();
        m_run->launch();
        break;
    case Kind::Restart:
        m_run->quit();
        m_run->settle();
        m_run->launch();
        break;
    case Kind::DisplayRemove:
    case Kind::DisplayMain: {
        const bool done = command.kind == Kind::DisplayRemove ? desktop.removeDisplay(command.index)
                                                              : desktop.makeMainDisplay(command.index);
        if (!done)
            throw ScriptError(command.line,
                              QStringLiteral("display %1 cannot be %2")
                                  .arg(command.index)
                                  .arg(command.kind == Kind::DisplayRemove ? QStringLiteral("removed")
                                                                           : QStringLiteral("made main")));
        break;
    }
    case Kind::DisplayAdd: {
        const simulated_mac::ScenarioScreen screen = simulated_mac::ScenarioScreen::parse(
            command.arguments[0].toUtf8(), int(desktop.screens().displays().size()),
            QStringLiteral("display add"));
        if (!desktop.addDisplay(screen))
            throw ScriptError(command.line, QStringLiteral("display “%1” overlaps another display or is a "
                                                           "second built-in display")
                                                .arg(screen.name));
        break;
    }
    case Kind::Pointer:
        desktop.movePointer(QPointF(command.x, command.y));
        break;
    case Kind::Activate:
        if (!desktop.activate(command.arguments[0]))
            throw ScriptError(
                command.line,
                QStringLiteral("no running app “%1” to bring forward").arg(command.arguments[0]));
        break;
    case Kind::BelowBarShow:
        hook(appCommand().model().hooks().showBelowBar);
        break;
    case Kind::BelowBarClose:
        desktop.belowBarPanel().dismiss();
        break;
    case Kind::BelowBarPress: {
        requireApp(command);
        const auto& entries = desktop.belowBarPanel().entries();
        const auto found = std::find_if(entries.cbegin(), entries.cend(), [&](const auto& entry) {
            return entry.name == command.arguments[0];
        });
        if (!desktop.belowBarPanel().isShown() || found == entries.cend())
            throw ScriptError(
                command.line,
                QStringLiteral("the bar below the menu bar shows no “%1”").arg(command.arguments[0]));
        desktop.belowBarPanel().activate(static_cast<int>(found - entries.cbegin()));
        break;
    }
    case Kind::BelowBarMode:
        requireApp(command);
        TrayBelowBarPreference::save(*m_run->services().userDefaults,
                                     *TrayBelowBarPreference::fromRawValue(command.arguments[0]));
        break;
    case Kind::Press:
        desktop.pressKeys(*platform::KeyCombination::parse(command.arguments[0]));
        break;
    case Kind::LayoutSave: {
        TrayDisplayLayouts* layouts = appCommand().delegate().displayLayouts();
        if (const auto refused = layouts ? layouts->saveCurrent() : std::nullopt)
            throw ScriptError(command.line, *refused);
        break;
    }
    case Kind::LayoutDelete: {
        TrayDisplayLayouts* layouts = appCommand().delegate().displayLayouts();
        if (!layouts || !layouts->remove(command.arguments[0]))
            throw ScriptError(command.line,
                              QStringLiteral("no layout is saved for “%1”").arg(command.arguments[0]));
        break;
    }
    case Kind::PreferApplyAtStart:
        appCommand().delegate().arrangementPreferences().setApplyAtStart(command.flag);
        break;
    case Kind::PreferNewApps:
        appCommand().delegate().arrangementPreferences().setNewApps(
            *traySectionFromRawValue(command.arguments[0]));
        break;
    case Kind::Print:
        return;
    }
    m_run->settle();
}

void HeadlessRunner::print(int step, const QString& command)
{
    simulated_mac::SimulatedDesktop& desktop = m_run->desktop();
    const simulated_mac::SimulatedDesktop::Snapshot bar = desktop.snapshot();
    const NativeTrayController* controller =
        m_run->isRunning() ? m_run->app().delegate().controller() : nullptr;

    QSet<QString> bundleIDs;
    for (const platform::RunningApplication& app : desktop.workspace().runningApplications()) {
        if (app.bundleIdentifier)
            bundleIDs.insert(*app.bundleIdentifier);
    }
    auto entry = [&](const simulated_mac::SimulatedDesktop::SnapshotItem& item) {
        // An app without a bundle identifier is known by its name; it has no identifier to show.
        BarEntry result{QStringLiteral("extra"), bundleIDs.contains(item.owner) ? item.owner : QString(),
                        item.title, item.title};
        if (item.kind == MenuBarEntry::Kind::System) {
            result.kind = QStringLiteral("system");
        } else if (item.kind == MenuBarEntry::Kind::OwnItem) {
            result.bundleID.clear();
            auto* statusItem = desktop.statusBar().item(item.name);
            const QString symbol = statusItem ? statusItem->button()->symbolName() : QString();
            const QString buttonTitle = statusItem ? statusItem->button()->title() : QString();
            if (item.name == chevronName()) {
                result.kind = QStringLiteral("chevron");
                result.title = symbol == own(NativeTrayController::collapsedSymbol) ? QStringLiteral("›")
                                                                                    : QStringLiteral("‹");
            } else if (item.name == markerName()) {
                result.kind = QStringLiteral("marker");
                result.title = own(NativeTrayController::markerTitle);
            } else {
                result.kind = QStringLiteral("group");
                QString name = statusItem
                                   ? statusItem->button()->accessibilityLabel().section(
                                         QString::fromUtf8(NativeTrayController::groupToolTipSeparator), 0, 0)
                                   : item.name;
                result.title = QStringLiteral("[%1 %2]").arg(name, buttonTitle);
            }
            result.text = result.title;
        }
        return result;
    };

    // What the main display's bar shows, whichever bar is in use.
    const QList<simulated_mac::SimulatedDesktop::DisplayBar> displays = desktop.displayBars();
    QList<BarEntry> entries;
    for (const auto& item : displays.first().items)
        entries.append(entry(item));
    QList<BarEntry> offScreen;
    for (const auto& item : displays.first().offScreen)
        offScreen.append(entry(item));
    QStringList below;
    if (desktop.belowBarPanel().isShown()) {
        for (const auto& panelEntry : desktop.belowBarPanel().entries())
            below.append(panelEntry.name);
    }
    QStringList events;
    for (VelmorEvent event : m_run->takeEvents())
        events.append(velmor_event::wireName(event));

    // The organizer's sentence about icons no one can see.
    const QString notice =
        m_run->isRunning() ? TrayBelowBarSettings::notice(m_run->app().model().outOfSight()) : QString();
    const QString ownIcons = m_run->isRunning() ? m_run->app().model().ownItemsNotice() : QString();
    const TrayDisplayLayouts* layouts = m_run->isRunning() ? m_run->app().delegate().displayLayouts() : nullptr;
    QStringList newApps;
    if (m_run->isRunning()) {
        for (const GroupedApp& app : m_run->app().model().groupedApps()) {
            if (app.isNew)
                newApps.append(app.id);
        }
    }
    const bool configured = controller && controller->configured();
    const bool expanded = !controller || controller->expanded();
    const bool busy = controller && controller->busy();
    const bool managing = controller && controller->managing();
    const std::optional<QString> warning = controller ? controller->warning() : std::nullopt;
    const std::optional<QString> updates =
        m_run->isRunning() ? std::optional(m_run->app().updates().message()) : std::nullopt;
    // Virtual seconds, to the microsecond: the clock's own steps, without the noise of the sums.
    const auto seconds = [](double value) { return std::round(value * 1e6) / 1e6; };
    const double time =
        seconds(platform::toSeconds(m_run->scheduler().now().time_since_epoch()) - m_launchedAt);
    const double longestStall = seconds(platform::toSeconds(desktop.mainThread().takeLongestStall()));

    if (m_options.format == Format::JsonObjects) {
        auto list = [](const QList<BarEntry>& from) {
            Json array = Json::array();
            for (const BarEntry& e : from) {
                if (e.kind == QLatin1String("system"))
                    continue;
                array.push_back(
                    Json{{"kind", json::toStd(e.kind)},
                         {"bundleID", e.bundleID.isEmpty() ? Json(nullptr) : Json(json::toStd(e.bundleID))},
                         {"title", json::toStd(e.title)}});
            }
            return array;
        };
        Json hidden = Json::array();
        for (const QString& bundle : bar.hiddenApps)
            hidden.push_back(json::toStd(bundle));
        Json recorded = Json::array();
        for (const QString& event : events)
            recorded.push_back(json::toStd(event));
        const auto strings = [](const QStringList& from) {
            Json array = Json::array();
            for (const QString& text : from)
                array.push_back(json::toStd(text));
            return array;
        };
        const Json belowBar = strings(below);
        QStringList saved;
        for (const TrayDisplayLayout& layout : layouts ? layouts->layouts() : QList<TrayDisplayLayout>{})
            saved.append(layout.setup.words());
        const Json savedLayouts = strings(saved);
        Json bars = Json::array();
        for (const simulated_mac::SimulatedDesktop::DisplayBar& display : displays) {
            QList<BarEntry> shown;
            for (const auto& item : display.items)
                shown.append(entry(item));
            QList<BarEntry> lost;
            for (const auto& item : display.offScreen)
                lost.append(entry(item));
            bars.push_back(Json{{"name", json::toStd(display.name)},
                                {"main", display.main},
                                {"inUse", display.inUse},
                                {"menuBar", list(shown)},
                                {"offScreen", list(lost)}});
        }
        const Json object{{"step", step},
                          {"command", json::toStd(command)},
                          {"time", time},
                          {"longestStall", longestStall},
                          {"menuBar", list(entries)},
                          {"hiddenBundles", hidden},
                          {"offScreen", list(offScreen)},
                          {"configured", configured},
                          {"expanded", expanded},
                          {"busy", busy},
                          {"managing", managing},
                          {"belowBar", belowBar},
                          {"displays", bars},
                          {"notice", notice.isEmpty() ? Json(nullptr) : Json(json::toStd(notice))},
                          {"ownIcons", ownIcons.isEmpty() ? Json(nullptr) : Json(json::toStd(ownIcons))},
                          {"setup", json::toStd(TrayDisplaySetup::current(desktop.screens()).words())},
                          {"layout", layouts && layouts->inForce() ? Json(json::toStd(*layouts->inForce()))
                                                                   : Json(nullptr)},
                          {"layouts", savedLayouts},
                          {"layoutNotice", layouts && !layouts->notice().isEmpty()
                                               ? Json(json::toStd(layouts->notice()))
                                               : Json(nullptr)},
                          {"newApps", strings(newApps)},
                          {"warning", warning ? Json(json::toStd(*warning)) : Json(nullptr)},
                          {"updates", updates ? Json(json::toStd(*updates)) : Json(nullptr)},
                          {"events", recorded}};
        m_out << QString::fromUtf8(json::serialize(object)) << "\n";
        m_out.flush();
        return;
    }

    QStringList shown;
    for (const BarEntry& e : entries) {
        if (e.kind != QLatin1String("system"))
            shown.append(e.text);
    }
    QStringList state;
    if (!m_run->isRunning())
        state.append(QStringLiteral("not running"));
    else
        state << (configured ? QStringLiteral("configured") : QStringLiteral("unconfigured"))
              << (expanded ? QStringLiteral("expanded") : QStringLiteral("collapsed"));
    if (busy)
        state.append(QStringLiteral("busy"));
    if (managing)
        state.append(QStringLiteral("managing"));
    QString line = QStringLiteral("%1 %2 | %3 | %4")
                       .arg(step, 2, 10, QLatin1Char('0'))
                       .arg(command, shown.join(u' '), state.join(u' '));
    if (!bar.hiddenApps.isEmpty())
        line += QStringLiteral(" | hidden: ") + bar.hiddenApps.join(QStringLiteral(", "));
    if (!below.isEmpty())
        line += QStringLiteral(" | below: ") + below.join(QStringLiteral(", "));
    if (!events.isEmpty())
        line += QStringLiteral(" | events: ") + events.join(QStringLiteral(", "));
    if (warning)
        line += QStringLiteral(" | warning: ") + *warning;
    if (layouts && layouts->inForce())
        line += QStringLiteral(" | layout: ") + *layouts->inForce();
    // The update status is shown once, as the app starts.
    if (updates && step == 0)
        line += QStringLiteral(" | updates: ") + *updates;
    m_out << line << "\n";
    m_out.flush();
}

} // namespace velmor
