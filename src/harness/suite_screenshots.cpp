#include "harness/suite_screenshots.h"

#include "app/simulated_run.h"
#include "app/tray_scene.h"
#include "distribution/app_updates.h"
#include "harness/local_report_service.h"
#include "platform/key_combination.h"
#include "platform/manual_scheduler.h"
#include "platform/memory_user_defaults.h"
#include "settings_window/tray_search_presenter.h"
#include "settings_window/tray_settings_presenter.h"
#include "simulated_mac/simulated_host.h"
#include "simulated_mac/updater/simulated_updater.h"
#include "simulated_mac/updater/updater_alert.h"
#include "suite_ui/background_quit_confirmation.h"
#include "suite_ui/beta_support_view.h"
#include "suite_ui/support_settings_footer.h"
#include "suite_ui/support_window.h"
#include "suite_ui/system_clipboard.h"
#include "suite_ui/velmor_signals.h"
#include "telemetry/navrel_client.h"
#include "telemetry/navrel_configuration.h"
#include "telemetry/navrel_session.h"
#include "tray/tray_app.h"
#include "tray/tray_shortcuts.h"

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QQmlComponent>
#include <QQuickItem>

#include <algorithm>
#include <memory>

namespace velmor {
namespace {

constexpr const char* feedbackSubject = "feedback";
constexpr const char* bugReportSubject = "feedback-bug";
constexpr const char* sendingSubject = "feedback-sending";
constexpr const char* failedSubject = "feedback-failed";
constexpr const char* sentSubject = "feedback-sent";
constexpr int acceptedStatus = 202;
constexpr int refusedStatus = 500;
// A local address where nothing listens, the key the pictures report with, and how long a send
// may take.
constexpr const char* unansweredEndpoint = "https://127.0.0.1:9/";
constexpr const char* reportingKey = "screenshots";
constexpr int sendingLimitMilliseconds = 5000;
constexpr const char* updateSettingsSubject = "update-settings";
constexpr const char* startupSubject = "startup";
constexpr const char* popoverSubject = "footer-popover";
constexpr const char* preferencesSubject = "settings-preferences";
constexpr const char* quitAlertSubject = "background-quit";
constexpr const char* updateDialogSubject = "update-found";
constexpr const char* shortcutsSubject = "settings-shortcuts";
constexpr const char* searchSubject = "search";
constexpr const char* searchEmptySubject = "search-empty";
// What the pictures of the recorders and the search show: one shortcut recorded, a combination
// macOS keeps refused while another is recorded, a query that finds items and one that finds none.
constexpr const char* sampleShortcut = "⌃⌥⌘H";
constexpr const char* sampleQuery = "s";
constexpr const char* sampleMissingQuery = "Zeppelin";
constexpr const char* quitAlertSource = "qrc:/qt/qml/Velmor/SuiteUi/BackgroundQuitAlert.qml";
// What the pictures show typed into the form.
constexpr const char* sampleFeedback = "The chevron menu could list the hidden icons by name.";
constexpr const char* sampleBugReport =
    "After waking from sleep, the clock icon came back in front of the chevron. I expected it to stay "
    "hidden.";
// The release the update dialog offers.
constexpr const char* offeredVersion = "1.5";

void letWindowsCatchUp()
{
    for (int round = 0; round < 3; ++round)
        QCoreApplication::processEvents();
}

QQuickItem* findItem(QQuickItem* item, const QString& name)
{
    if (!item)
        return nullptr;
    if (item->objectName() == name)
        return item;
    for (QQuickItem* child : item->childItems()) {
        if (QQuickItem* found = findItem(child, name))
            return found;
    }
    return nullptr;
}

QQuickItem* findIn(QQuickWindow& window, const char* name)
{
    QQuickItem* root = window.contentItem();
    while (root->parentItem())
        root = root->parentItem();
    return findItem(root, QString::fromLatin1(name));
}

// The part of the window's picture the item covers, with a margin around it.
QImage crop(const QImage& image, QQuickItem& item, double margin)
{
    const QRectF area = item.mapRectToScene(QRectF(0, 0, item.width(), item.height()))
                            .adjusted(-margin, -margin, margin, margin);
    // A grabbed picture has the window's pixel density, though it does not always say so.
    const double scale = item.window() ? item.window()->devicePixelRatio() : image.devicePixelRatio();
    const QRect pixels(qRound(area.x() * scale), qRound(area.y() * scale), qRound(area.width() * scale),
                       qRound(area.height() * scale));
    return image.copy(pixels.intersected(image.rect()));
}

// Scrolls the scroll view to its end (`toEnd`) or back to its start.
void scroll(QQuickWindow& window, const char* scrollView, bool toEnd)
{
    QQuickItem* view = findIn(window, scrollView);
    auto* flickable = view ? view->property("contentItem").value<QQuickItem*>() : nullptr;
    if (!flickable)
        return;
    const double end = std::max(0.0, flickable->property("contentHeight").toDouble() - flickable->height());
    flickable->setProperty("contentY", toEnd ? end : 0.0);
}

// Scrolls the scroll view down just far enough to show the item whole, with a margin below it.
void scrollIntoView(QQuickWindow& window, const char* scrollView, const char* itemName, double margin)
{
    QQuickItem* view = findIn(window, scrollView);
    auto* flickable = view ? view->property("contentItem").value<QQuickItem*>() : nullptr;
    auto* content = flickable ? flickable->property("contentItem").value<QQuickItem*>() : nullptr;
    QQuickItem* item = findIn(window, itemName);
    if (!content || !item)
        return;
    const double bottom = item->mapToItem(content, QPointF(0, item->height())).y() + margin;
    flickable->setProperty("contentY", std::max(0.0, bottom - flickable->height()));
}

// A Feedback window of its own whose hub reports to `endpoint`, trusting `tls`: the app's own hub
// may have no reporting service.
class ReportingForm final {
public:
    ReportingForm(SimulatedRun& run, QQmlEngine& engine, platform::Scheduler& scheduler,
                  const QString& endpoint, const QSslConfiguration& tls)
        : m_host(configured(run, endpoint)),
          m_hub(m_host, m_defaults, scheduler,
                std::make_unique<NavrelClient>(VelmorSignals::configurationOf(m_host),
                                               VelmorSignals::contextOf(m_host), scheduler,
                                               NavrelSession(tls))),
          m_form(m_hub, m_hub.appName(), m_clipboard), m_run(run)
    {
        QQmlComponent component(&engine, QUrl(QString::fromLatin1(TrayScene::feedbackWindowSource)));
        if (!component.isReady())
            return;
        m_window.reset(qobject_cast<QQuickWindow*>(component.createWithInitialProperties(
            {{QStringLiteral("presenter"), QVariant::fromValue(&m_form)},
             {QStringLiteral("title"), QString::fromUtf8(SupportWindow::title)},
             {QStringLiteral("width"), SupportWindow::width},
             {QStringLiteral("height"), SupportWindow::maximumHeight}})));
    }

    QQuickWindow* window() const { return m_window.get(); }

    // Sends the sample bug report; the form shows "Sending…" until the answer comes.
    void send()
    {
        m_window->show();
        m_hub.setFeedbackIsBug(true);
        m_form.setMessage(QString::fromUtf8(sampleBugReport));
        m_form.sendReport();
    }

    // True once the answer came within the limit.
    bool waitForAnswer()
    {
        QDeadlineTimer deadline(sendingLimitMilliseconds);
        while (m_form.sending() && !deadline.hasExpired()) {
            QCoreApplication::processEvents(QEventLoop::AllEvents, 50);
            // The answer comes back through the run's clock, which the caller drives.
            m_run.scheduler().runUntilIdle();
        }
        return !m_form.sending();
    }

private:
    static simulated_mac::SimulatedHost::Configuration configured(SimulatedRun& run, const QString& endpoint)
    {
        simulated_mac::SimulatedHost::Configuration configuration = run.host().configuration();
        configuration.mainBundle.setInfoValue(QString::fromLatin1(NavrelConfiguration::endpointInfoKey),
                                              endpoint);
        configuration.mainBundle.setInfoValue(QString::fromLatin1(NavrelConfiguration::keyInfoKey),
                                              QString::fromLatin1(reportingKey));
        return configuration;
    }

    const simulated_mac::SimulatedHost m_host;
    platform::MemoryUserDefaults m_defaults;
    VelmorSignals m_hub;
    SystemClipboard m_clipboard;
    BetaSupportView m_form;
    SimulatedRun& m_run;
    std::unique_ptr<QQuickWindow> m_window;
};
} // namespace

SuiteScreenshots::SuiteScreenshots(SimulatedRun& run, TrayScene& scene, Save save)
    : m_run(run), m_scene(scene), m_save(std::move(save))
{}

void SuiteScreenshots::shootWindows()
{
    shootSettingsPreferences();
    shootShortcuts();
    shootSearch();
    shootFeedback();
    shootUpdateSettings();
    shootQuitAlert();
}

void SuiteScreenshots::shootSettingsPreferences()
{
    QQuickWindow* window = m_scene.settingsWindow();
    if (!window)
        return;
    // The organizer's "Preferences" open, scrolled to the end where the support footer sits.
    TraySettingsPresenter& presenter = m_scene.presenter();
    presenter.preferences()->setShown(true);
    for (const bool dark : {false, true}) {
        window->setProperty("dark", dark);
        letWindowsCatchUp();
        // The form's height is known once the opened group is laid out.
        scroll(*window, "organizerScroll", true);
        letWindowsCatchUp();
        m_save(window->grabWindow(), QString::fromLatin1(preferencesSubject), dark);
    }
    window->setProperty("dark", m_scene.dark());
    scroll(*window, "organizerScroll", false);
    presenter.preferences()->setShown(false);
    letWindowsCatchUp();
}

void SuiteScreenshots::shootShortcuts()
{
    QQuickWindow* window = m_scene.settingsWindow();
    TrayRevealSettings* settings = m_scene.presenter().reveal();
    if (!window || !settings)
        return;
    TrayShortcuts& shortcuts = m_run.app().shortcuts();
    const auto recorded =
        shortcuts.record(TrayShortcuts::Command::ToggleSection,
                         *platform::KeyCombination::parse(QString::fromUtf8(sampleShortcut)));
    TrayShortcutRecorder* recording = settings->recorder(TrayShortcuts::Command::Search);
    if (recorded || !recording)
        return;
    recording->press();
    recording->keyPressed(Qt::Key_Space, Qt::MetaModifier);
    m_scene.presenter().preferences()->setShown(true);
    for (const bool dark : {false, true}) {
        window->setProperty("dark", dark);
        letWindowsCatchUp();
        scrollIntoView(*window, "organizerScroll", "revealPreferences", 24);
        letWindowsCatchUp();
        if (QQuickItem* section = findIn(*window, "revealPreferences"))
            m_save(crop(window->grabWindow(), *section, 16), QString::fromLatin1(shortcutsSubject), dark);
    }
    window->setProperty("dark", m_scene.dark());
    recording->cancel();
    shortcuts.clear(TrayShortcuts::Command::ToggleSection);
    scroll(*window, "organizerScroll", false);
    m_scene.presenter().preferences()->setShown(false);
    letWindowsCatchUp();
}

void SuiteScreenshots::shootSearch()
{
    m_scene.showSearchWindow();
    QQuickWindow* window = m_scene.searchWindow();
    if (!window)
        return;
    TraySearchPresenter& search = m_scene.searchPresenter();
    search.setQuery(QString::fromUtf8(sampleQuery));
    search.moveSelection(1);
    saveBoth(*window, searchSubject);
    search.setQuery(QString::fromUtf8(sampleMissingQuery));
    saveBoth(*window, searchEmptySubject);
    window->setProperty("dark", m_scene.dark());
    search.close();
    letWindowsCatchUp();
}

void SuiteScreenshots::shootFeedback()
{
    VelmorSignals* hub = VelmorSignals::shared();
    if (!hub)
        return;
    hub->showSupport(false);
    QQuickWindow* window = m_scene.feedbackWindow();
    BetaSupportView* form = m_scene.feedbackForm();
    if (!window || !form)
        return;
    form->setMessage(QString::fromUtf8(sampleFeedback));
    saveBoth(*window, feedbackSubject);

    // A bug report with the details it carries open, copied (the result line shows).
    hub->showSupport(true);
    form->setMessage(QString::fromUtf8(sampleBugReport));
    form->copyReport();
    QQuickItem* content = findIn(*window, "betaSupportView");
    if (content)
        content->setProperty("detailsShown", true);
    letWindowsCatchUp();
    scrollIntoView(*window, "feedbackScroll", "feedbackResult", 22);
    saveBoth(*window, bugReportSubject);
    scroll(*window, "feedbackScroll", false);
    if (content)
        content->setProperty("detailsShown", false);

    window->hide();
    letWindowsCatchUp();
    shootSending();
}

void SuiteScreenshots::shootSending()
{
    platform::Scheduler* scheduler = m_run.services().scheduler;
    if (!scheduler)
        return;
    // While a report is on its way: sent where nothing answers, so the picture cannot miss it.
    {
        ReportingForm form(m_run, m_scene.engine(), *scheduler, QString::fromLatin1(unansweredEndpoint),
                           QSslConfiguration::defaultConfiguration());
        if (!form.window())
            return;
        form.send();
        saveBoth(*form.window(), sendingSubject);
    }
    // Then the two answers a local service gives: accepted, and refused.
    for (const auto& [status, subject] :
         {std::pair(acceptedStatus, sentSubject), std::pair(refusedStatus, failedSubject)}) {
        LocalReportService service(status);
        if (!service.isListening())
            return;
        ReportingForm form(m_run, m_scene.engine(), *scheduler, service.endpoint(), service.trust());
        if (!form.window())
            return;
        form.send();
        if (form.waitForAnswer())
            saveBoth(*form.window(), subject);
    }
}

void SuiteScreenshots::saveBoth(QQuickWindow& window, const char* subject)
{
    for (const bool dark : {false, true}) {
        window.setProperty("dark", dark);
        letWindowsCatchUp();
        m_save(window.grabWindow(), QString::fromLatin1(subject), dark);
    }
}

void SuiteScreenshots::shootUpdateSettings()
{
    m_run.app().updates().showPreferences();
    QQuickWindow* window = m_scene.updateSettingsWindow();
    if (!window)
        return;
    for (const bool dark : {false, true}) {
        window->setProperty("dark", dark);
        letWindowsCatchUp();
        const QImage whole = window->grabWindow();
        m_save(whole, QString::fromLatin1(updateSettingsSubject), dark);
        if (QQuickItem* startup = findIn(*window, "startupSection"))
            m_save(crop(whole, *startup, 12), QString::fromLatin1(startupSubject), dark);
    }

    // The footer sits at the end of the form: scrolled into view, with its popover open.
    if (SupportSettingsFooter* footer = m_scene.updateSettingsFooter()) {
        scroll(*window, "updateSettingsScroll", true);
        footer->setPrivacyDetails(true);
        saveBoth(*window, popoverSubject);
        footer->setPrivacyDetails(false);
        scroll(*window, "updateSettingsScroll", false);
    }
    window->hide();
    letWindowsCatchUp();
}

void SuiteScreenshots::shootQuitAlert()
{
    VelmorSignals* hub = VelmorSignals::shared();
    platform::ApplicationShell* shell = m_run.services().applicationShell;
    if (!hub || !shell)
        return;
    // Busy, so the picture shows the extra sentence and the disabled "Quit app".
    BackgroundQuitConfirmation confirmation(hub->appName(), true, *shell, nullptr);
    QQmlComponent component(&m_scene.engine(), QUrl(QString::fromLatin1(quitAlertSource)));
    if (!component.isReady())
        return;
    std::unique_ptr<QQuickWindow> alert(qobject_cast<QQuickWindow*>(component.createWithInitialProperties(
        {{QStringLiteral("presenter"), QVariant::fromValue(&confirmation)}})));
    if (!alert)
        return;
    confirmation.request();
    saveBoth(*alert, quitAlertSubject);
    confirmation.choose(BackgroundQuitConfirmation::Choice::Cancel);
    alert.reset();
}

void SuiteScreenshots::shootUpdateDialog(QQuickWindow& desktop,
                                         const std::function<void(bool dark)>& appearance)
{
    simulated_mac::UpdaterAlert* alert = m_run.updaterAlert();
    VelmorSignals* hub = VelmorSignals::shared();
    if (!alert || !hub)
        return;
    using simulated_mac::SimulatedUpdater;
    const QString name = hub->appName();
    const QString running = m_run.host()
                                .mainBundle()
                                .infoString(QStringLiteral("CFBundleShortVersionString"))
                                .value_or(QString());
    alert->present(
        QString::fromUtf8(SimulatedUpdater::foundTitle).arg(name),
        QString::fromUtf8(SimulatedUpdater::foundText).arg(name, QString::fromUtf8(offeredVersion), running),
        {QString::fromUtf8(SimulatedUpdater::laterChoice),
         QString::fromUtf8(SimulatedUpdater::installChoice)},
        [](int) {});
    for (const bool dark : {false, true}) {
        appearance(dark);
        letWindowsCatchUp();
        if (QQuickItem* dialog = findIn(desktop, "updaterAlert"))
            m_save(crop(desktop.grabWindow(), *dialog, 24), QString::fromLatin1(updateDialogSubject), dark);
    }
    alert->dismiss();
    letWindowsCatchUp();
}

} // namespace velmor
