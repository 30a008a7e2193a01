#include "harness/screenshot_runner.h"

#include "app/simulated_mac_view.h"
#include "app/simulated_run.h"
#include "app/tray_scene.h"
#include "foundation/regular_file.h"
#include "foundation/system_error.h"
#include "harness/suite_screenshots.h"
#include "settings_window/tray_settings_presenter.h"
#include "simulated_mac/simulated_desktop.h"
#include "simulated_mac/views/simulated_mac_presenter.h"
#include "tray/tray_model.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QJsonDocument>
#include <QJsonObject>
#include <QQuickItem>
#include <QQuickWindow>
#include <QTemporaryDir>

#include <algorithm>

namespace velmor {
namespace {

constexpr const char* menuBarSubject = "menubar-%1";
constexpr const char* settingsSubject = "settings";
constexpr const char* simulatedMacSubject = "simulated-mac";
constexpr const char* guideSubject = "settings-permission-guide";
constexpr const char* noPermissionSubject = "settings-no-permission";
constexpr const char* markerSubject = "settings-marker-mode";
constexpr const char* notchedMacSubject = "simulated-mac-notched";
constexpr const char* notchedSettingsSubject = "settings-notched";
// The laptop scenario beside the run's own, else the one in the source tree.
constexpr const char* notchedScenarioName = "notched.json";
// Grouping applied with four apps behind the chevron, then the chevron reveals them.
constexpr const char* notchedScript = "move com.example.weather expandable\n"
                                      "move io.fernleaf.pulsemeter expandable\n"
                                      "move org.tinkerbox.twinclocks expandable\n"
                                      "move net.quillwork.harborstats expandable\n"
                                      "apply\n"
                                      "click chevron\n";
constexpr const char* layoutsSubject = "settings-display-layouts";
constexpr const char* layoutSwitchedSubject = "settings-layout-switched";
constexpr const char* layoutPreferencesSubject = "settings-layout-preferences";
// The desk's layout, the lap's, and the desk again: the switch is said in the organizer.
constexpr const char* layoutsScript = "move com.example.weather expandable\n"
                                      "move org.tinkerbox.twinclocks alwaysHidden\n"
                                      "group add Work briefcase\n"
                                      "move io.fernleaf.pulsemeter group:Work\n"
                                      "apply\n"
                                      "layout save\n"
                                      "display remove 0\n"
                                      "wait 1\n"
                                      "move com.example.notepebble expandable\n"
                                      "layout save\n"
                                      "display add {\"x\": 1512, \"y\": 0, \"width\": 2560, "
                                      "\"height\": 1440, \"name\": \"Studio Display\"}\n"
                                      "display main 1\n"
                                      "wait 1\n";
constexpr const char* dockedMacSubject = "simulated-mac-docked";
constexpr const char* dockedScenarioName = "docked.json";
// Six apps behind the chevron, revealed on the laptop's bar, where the housing leaves too little
// room: the bar below opens there with their titles.
constexpr const char* dockedScript = "move com.example.weather expandable\n"
                                     "move io.fernleaf.pulsemeter expandable\n"
                                     "move org.tinkerbox.twinclocks expandable\n"
                                     "move net.quillwork.harborstats expandable\n"
                                     "move com.example.focustimer expandable\n"
                                     "move io.harbourlabs.ferry expandable\n"
                                     "apply\n"
                                     "click chevron on 1\n";
// The newest system that still arranges the menu bar with the marker.
constexpr const char* markerSystemVersion = "26.0.0";
constexpr const char* markerScenarioName = "marker-mode.json";
constexpr const char* emptyScriptName = "aside.script";
constexpr const char* writtenMessage = "Wrote %1 screenshots to %2";
constexpr const char* folderMessage = "Could not create the folder “%1”.";
constexpr const char* saveMessage = "Could not write “%1”.";
constexpr const char* renderMessage = "Could not render the %1 window.";

// An item the window draws, by its object name: items made by a view's delegates or a layout are
// found by their visual parents, not their object parents.
QQuickItem* drawnItem(QQuickItem* item, const QString& name)
{
    if (item->objectName() == name)
        return item;
    for (QQuickItem* child : item->childItems()) {
        if (QQuickItem* found = drawnItem(child, name))
            return found;
    }
    return nullptr;
}

// Lets the windows take in what changed and draw it.
void settle()
{
    for (int round = 0; round < 3; ++round)
        QCoreApplication::processEvents();
}

} // namespace

ScreenshotRunner::ScreenshotRunner(CommandLine::Options options, QTextStream& out, QTextStream& errors)
    : m_options(std::move(options)), m_out(out), m_errors(errors)
{}

QString ScreenshotRunner::fileName(const QString& subject, bool dark)
{
    return subject + (dark ? QStringLiteral("-dark.png") : QStringLiteral("-light.png"));
}

int ScreenshotRunner::run()
{
    if (!QDir().mkpath(m_options.screenshotsDirectory)) {
        m_errors << QString::fromUtf8(folderMessage).arg(m_options.screenshotsDirectory) << "\n";
        return HeadlessRunner::failed;
    }
    try {
        m_lastStep =
            static_cast<int>(RunScript::parse(QString::fromUtf8(RegularFile::read(m_options.run.scriptPath,
                                                                                  RunScript::maximumBytes)))
                                 .size());
    } catch (...) {
        // The runner reports a script it cannot read.
    }

    QString transcript;
    QTextStream steps(&transcript);
    HeadlessRunner runner(m_options.run, steps, m_errors);
    runner.setWindowsFactory(
        [](TrayApp& app, const platform::Services& services) -> std::unique_ptr<AppWindows> {
            return std::make_unique<TrayScene>(app, services);
        });
    runner.setStepObserver(
        [this](int step, const QString&, SimulatedRun& run) { shoot(step, run, step == m_lastStep); });
    const int status = runner.run();
    if (status != HeadlessRunner::succeeded)
        return status;
    if (const int marker = shootMarkerMode(); marker != HeadlessRunner::succeeded)
        return marker;
    if (const int notched = shootNotched(); notched != HeadlessRunner::succeeded)
        return notched;
    if (const int docked = shootDocked(); docked != HeadlessRunner::succeeded)
        return docked;
    if (const int layouts = shootLayouts(); layouts != HeadlessRunner::succeeded)
        return layouts;
    m_out << QString::fromUtf8(writtenMessage).arg(m_written.size()).arg(m_options.screenshotsDirectory)
          << "\n";
    return m_failed ? HeadlessRunner::failed : HeadlessRunner::succeeded;
}

void ScreenshotRunner::shoot(int step, SimulatedRun& run, bool last)
{
    simulated_mac::SimulatedDesktop& desktop = run.desktop();
    const bool systemDark = desktop.appearance().isDark();
    // A fresh view per step: it never outlives the desktop the runner owns.
    SimulatedMacView view(desktop, QFileInfo(m_options.run.scenarioPath).fileName());
    auto* scene = dynamic_cast<TrayScene*>(run.windows());
    if (scene && !scene->loadErrors().isEmpty()) {
        m_errors << QString::fromUtf8(renderMessage).arg(QStringLiteral("settings")) << "\n"
                 << scene->loadErrors().join(u'\n') << "\n";
        m_failed = true;
    }
    if (last && scene && run.isRunning())
        scene->showSettingsWindow();
    view.presenter().setUpdaterAlert(run.updaterAlert());
    for (const bool dark : {false, true}) {
        desktop.appearance().setDark(dark);
        view.presenter().refresh();
        QQuickWindow* strip = view.menuBarStrip();
        if (!strip) {
            m_errors << QString::fromUtf8(renderMessage).arg(QStringLiteral("menu bar")) << "\n"
                     << view.loadErrors().join(u'\n') << "\n";
            m_failed = true;
            break;
        }
        strip->show();
        settle();
        save(strip->grabWindow(),
             fileName(QString::fromUtf8(menuBarSubject).arg(step, 2, 10, QLatin1Char('0')), dark));
        if (!last)
            continue;
        if (QQuickWindow* window = view.window()) {
            window->show();
            settle();
            save(window->grabWindow(), fileName(QString::fromUtf8(simulatedMacSubject), dark));
        }
        if (scene && scene->settingsWindow()) {
            settle();
            save(scene->settingsWindow()->grabWindow(), fileName(QString::fromUtf8(settingsSubject), dark));
        }
    }
    if (last && scene && run.isRunning()) {
        SuiteScreenshots suite(run, *scene, [this](const QImage& image, const QString& subject, bool dark) {
            save(image, fileName(subject, dark));
        });
        suite.shootWindows();
        if (QQuickWindow* window = view.window())
            suite.shootUpdateDialog(*window, [&](bool dark) {
                desktop.appearance().setDark(dark);
                view.presenter().refresh();
            });
    }
    desktop.appearance().setDark(systemDark);
    settle();
    if (last && scene && scene->settingsWindow())
        shootOrganizerStates(run);
}

void ScreenshotRunner::saveSettingsWindow(SimulatedRun& run, const QString& subject)
{
    auto* scene = dynamic_cast<TrayScene*>(run.windows());
    if (!scene || !scene->settingsWindow())
        return;
    simulated_mac::SimulatedDesktop& desktop = run.desktop();
    const bool systemDark = desktop.appearance().isDark();
    for (const bool dark : {false, true}) {
        desktop.appearance().setDark(dark);
        settle();
        save(scene->settingsWindow()->grabWindow(), fileName(subject, dark));
    }
    desktop.appearance().setDark(systemDark);
    settle();
}

void ScreenshotRunner::shootOrganizerStates(SimulatedRun& run)
{
    auto* scene = dynamic_cast<TrayScene*>(run.windows());
    TraySettingsPresenter& presenter = scene->presenter();
    presenter.openAccessGuide();
    settle();
    saveSettingsWindow(run, QString::fromUtf8(guideSubject));
    presenter.accessGuide()->dismiss();
    run.desktop().setAccessibilityTrusted(false);
    run.settle(TrayModel::refreshIntervalSeconds + 0.5);
    saveSettingsWindow(run, QString::fromUtf8(noPermissionSubject));
}

int ScreenshotRunner::shootMarkerMode()
{
    QByteArray source;
    try {
        source = RegularFile::read(m_options.run.scenarioPath, simulated_mac::Scenario::maximumBytes);
    } catch (const SystemError& error) {
        m_errors << error.description() << "\n";
        return HeadlessRunner::failed;
    }
    QJsonObject scenario = QJsonDocument::fromJson(source).object();
    QJsonObject system = scenario.value(QStringLiteral("system")).toObject();
    system.insert(QStringLiteral("version"), QString::fromLatin1(markerSystemVersion));
    scenario.insert(QStringLiteral("system"), system);
    QTemporaryDir folder;
    const QString scenarioPath = folder.filePath(QString::fromLatin1(markerScenarioName));
    QFile scenarioFile(scenarioPath);
    if (!folder.isValid() || !scenarioFile.open(QIODevice::WriteOnly) ||
        scenarioFile.write(QJsonDocument(scenario).toJson()) < 0)
        return HeadlessRunner::failed;
    scenarioFile.close();
    return playAside(scenarioPath, {}, [this](SimulatedRun& run) {
        auto* scene = dynamic_cast<TrayScene*>(run.windows());
        if (!scene || !run.isRunning())
            return;
        scene->showSettingsWindow();
        saveSettingsWindow(run, QString::fromUtf8(markerSubject));
    });
}

int ScreenshotRunner::shootNotched()
{
    return shootScenario(notchedScenarioName, notchedScript, QString::fromUtf8(notchedMacSubject),
                         QString::fromUtf8(notchedSettingsSubject));
}

int ScreenshotRunner::shootDocked()
{
    return shootScenario(dockedScenarioName, dockedScript, QString::fromUtf8(dockedMacSubject), QString());
}

QString ScreenshotRunner::scenarioBeside(const char* name) const
{
    const QString beside = QFileInfo(m_options.run.scenarioPath).dir().filePath(QString::fromLatin1(name));
    return QFileInfo::exists(beside) ? beside
                                     : QStringLiteral(VELMOR_SOURCE_DIRECTORY "/scenarios/") + QString::fromLatin1(name);
}

int ScreenshotRunner::shootLayouts()
{
    return playAside(scenarioBeside(dockedScenarioName), QByteArray(layoutsScript), [this](SimulatedRun& run) {
        auto* scene = dynamic_cast<TrayScene*>(run.windows());
        if (!scene || !run.isRunning())
            return;
        scene->showSettingsWindow();
        settle();
        QQuickWindow* window = scene->settingsWindow();
        auto* scroll = window ? drawnItem(window->contentItem(), QStringLiteral("organizerScroll")) : nullptr;
        auto* flickable = scroll ? scroll->property("contentItem").value<QQuickItem*>() : nullptr;
        auto* layouts = window ? drawnItem(window->contentItem(), QStringLiteral("displayLayouts")) : nullptr;
        if (!flickable || !layouts)
            return;
        saveSettingsWindow(run, QString::fromUtf8(layoutSwitchedSubject));
        // Layouts are polished as a frame is made: one is made before anything is measured.
        window->grabWindow();
        const auto scrollTo = [flickable](double y) {
            const double end =
                flickable->property("contentHeight").toDouble() - flickable->property("height").toDouble();
            flickable->setProperty("contentY", std::clamp(y, 0.0, std::max(0.0, end)));
        };
        // The block a little below the window's top, with the groups above it in view.
        scrollTo(layouts->mapToItem(flickable->property("contentItem").value<QQuickItem*>(), QPointF(0, 0)).y() -
                 180);
        saveSettingsWindow(run, QString::fromUtf8(layoutsSubject));
        scene->presenter().preferences()->setShown(true);
        settle();
        window->grabWindow();
        scrollTo(flickable->property("contentHeight").toDouble());
        saveSettingsWindow(run, QString::fromUtf8(layoutPreferencesSubject));
        scene->presenter().preferences()->setShown(false);
    });
}

int ScreenshotRunner::shootScenario(const char* scenarioName, const char* script, const QString& macPicture,
                                    const QString& settingsPicture)
{
    const QString scenarioPath = scenarioBeside(scenarioName);
    return playAside(scenarioPath, QByteArray(script), [&, scenarioPath](SimulatedRun& run) {
        auto* scene = dynamic_cast<TrayScene*>(run.windows());
        if (!scene || !run.isRunning())
            return;
        simulated_mac::SimulatedDesktop& desktop = run.desktop();
        const bool systemDark = desktop.appearance().isDark();
        SimulatedMacView view(desktop, QFileInfo(scenarioPath).fileName());
        scene->showSettingsWindow();
        for (const bool dark : {false, true}) {
            desktop.appearance().setDark(dark);
            view.presenter().refresh();
            if (QQuickWindow* window = view.window()) {
                window->show();
                settle();
                save(window->grabWindow(), fileName(macPicture, dark));
            }
        }
        desktop.appearance().setDark(systemDark);
        settle();
        if (!settingsPicture.isEmpty())
            saveSettingsWindow(run, settingsPicture);
    });
}

int ScreenshotRunner::playAside(const QString& scenarioPath, const QByteArray& script,
                                const std::function<void(SimulatedRun&)>& shoot)
{
    QTemporaryDir folder;
    HeadlessRunner::Options options = m_options.run;
    options.scenarioPath = scenarioPath;
    options.scriptPath = folder.filePath(QString::fromLatin1(emptyScriptName));
    options.homePath.clear();
    QFile scriptFile(options.scriptPath);
    if (!folder.isValid() || !scriptFile.open(QIODevice::WriteOnly) || scriptFile.write(script) < 0)
        return HeadlessRunner::failed;
    scriptFile.close();
    const int lastStep = static_cast<int>(RunScript::parse(QString::fromUtf8(script)).size());

    QString transcript;
    QTextStream steps(&transcript);
    HeadlessRunner runner(options, steps, m_errors);
    runner.setWindowsFactory(
        [](TrayApp& app, const platform::Services& services) -> std::unique_ptr<AppWindows> {
            return std::make_unique<TrayScene>(app, services);
        });
    runner.setStepObserver([&](int step, const QString&, SimulatedRun& run) {
        if (step == lastStep)
            shoot(run);
    });
    return runner.run();
}

bool ScreenshotRunner::save(const QImage& image, const QString& name)
{
    const QString path = QDir(m_options.screenshotsDirectory).filePath(name);
    if (image.isNull() || !image.save(path)) {
        m_errors << QString::fromUtf8(saveMessage).arg(path) << "\n";
        m_failed = true;
        return false;
    }
    m_written.append(path);
    return true;
}

} // namespace velmor
