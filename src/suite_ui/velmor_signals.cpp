#include "suite_ui/velmor_signals.h"

#include "foundation/uuid_text.h"
#include "platform/application_shell.h"
#include "platform/host.h"
#include "platform/scheduler.h"
#include "platform/screens.h"
#include "platform/user_defaults.h"
#include "telemetry/navrel_configuration.h"
#include "telemetry/telemetry_preferences.h"

#include <QCoreApplication>
#include <QStringList>

#include <mutex>

namespace velmor {
namespace {

constexpr auto diagnosticsAppLabel = "App: ";
constexpr auto releaseLabel = "Release: ";
constexpr auto diagnosticsSystemLabel = "macOS: ";
constexpr auto architectureLabel = "Architecture: ";
constexpr auto memoryClassLabel = "Memory class: ";

std::mutex sharedHubMutex;
std::unique_ptr<VelmorSignals> sharedHub;

} // namespace

VelmorSignals::VelmorSignals(const platform::Host& host, platform::UserDefaults& defaults,
                             platform::Scheduler& scheduler, std::unique_ptr<NavrelClient> client)
    : m_defaults(defaults), m_scheduler(scheduler)
{
    const platform::MainBundle& bundle = host.mainBundle();
    m_currentBuild =
        bundle.infoString(QString::fromLatin1(AppSignalContext::bundleVersionInfoKey)).value_or(QString());
    m_appName = SupportWindow::appNameOf(bundle);

    const TelemetryPreferences preferences = TelemetryPreferences::load(defaults);
    m_enabled = preferences.usage;
    m_locationEnabled = preferences.city;

    auto configuration = configurationOf(host);
    m_configured = configuration.has_value();
    m_context = contextOf(host);

    m_client = client ? std::move(client)
                      : std::make_unique<NavrelClient>(std::move(configuration), m_context, scheduler);
    m_telemetrySession = std::make_unique<TelemetrySession>(defaults, m_context.app);
    if (!m_enabled || !m_configured)
        m_telemetrySession->setEnabled(false);

    if (auto* application = QCoreApplication::instance())
        connect(application, &QCoreApplication::aboutToQuit, this, [this]() { finish(); });
}

AppSignalContext VelmorSignals::contextOf(const platform::Host& host)
{
    const platform::MainBundle& bundle = host.mainBundle();
    const platform::OperatingSystemVersion system = host.systemVersion();
    return AppSignalContext::describe(
        bundle.identifier(), bundle.infoValue(QString::fromLatin1(AppSignalContext::shortVersionInfoKey)),
        bundle.infoValue(QString::fromLatin1(AppSignalContext::bundleVersionInfoKey)),
        {system.major, system.minor, system.patch}, host.physicalMemory());
}

std::optional<NavrelConfiguration> VelmorSignals::configurationOf(const platform::Host& host)
{
    const platform::MainBundle& bundle = host.mainBundle();
    return NavrelConfiguration::make(
        bundle.infoString(QString::fromLatin1(NavrelConfiguration::endpointInfoKey)).value_or(QString()),
        bundle.infoString(QString::fromLatin1(NavrelConfiguration::keyInfoKey)).value_or(QString()));
}

VelmorSignals::~VelmorSignals()
{
    // Answers still coming from the client's thread must find the hub gone before the client stops.
    m_lifetime.reset();
    m_supportWindow.reset();
    m_client.reset();
}

VelmorSignals& VelmorSignals::installShared(const platform::Host& host, platform::UserDefaults& defaults,
                                            platform::Scheduler& scheduler,
                                            std::unique_ptr<NavrelClient> client)
{
    std::lock_guard lock(sharedHubMutex);
    if (!sharedHub)
        sharedHub = std::make_unique<VelmorSignals>(host, defaults, scheduler, std::move(client));
    return *sharedHub;
}

VelmorSignals* VelmorSignals::shared()
{
    std::lock_guard lock(sharedHubMutex);
    return sharedHub.get();
}

void VelmorSignals::releaseShared()
{
    std::unique_ptr<VelmorSignals> hub;
    {
        std::lock_guard lock(sharedHubMutex);
        hub = std::move(sharedHub);
    }
}

void VelmorSignals::start()
{
    if (m_started)
        return;
    m_started = true;
    const bool unclean = m_telemetrySession->start(m_enabled && m_configured);
    track(VelmorEvent::appOpened);
    if (unclean)
        track(VelmorEvent::appUncleanExit);
    if (m_telemetrySession->consumeUpdateInstallation(m_currentBuild))
        track(VelmorEvent::updateInstalled);
}

void VelmorSignals::track(VelmorEvent event)
{
    Q_EMIT tracked(event);
    if (!m_enabled || !m_configured)
        return;
    const quint64 revision = m_preferenceRevision;
    const QString installationId = installation();
    const bool location = m_locationEnabled;
    schedule([this, revision, installationId, location, event](Continue finish) {
        const auto current = [this, revision]() { return m_enabled && revision == m_preferenceRevision; };
        if (!current())
            return finish();
        m_client->setConsent(true, installationId, location, resume([this, current, event, finish]() {
                                 if (!current())
                                     return finish();
                                 m_client->event(event, resume(finish));
                             }));
    });
}

void VelmorSignals::setEnabled(bool enabled)
{
    const quint64 revision = ++m_preferenceRevision;
    const bool changed = m_enabled != enabled;
    m_enabled = enabled;
    m_defaults.setValue(QString::fromLatin1(TelemetryPreferences::usageKey), enabled);
    if (changed)
        Q_EMIT enabledChanged(enabled);

    if (!enabled) {
        m_telemetrySession->setEnabled(false);
        m_defaults.remove(QString::fromLatin1(installationKey));
        schedule(
            [this](Continue finish) { m_client->setConsent(false, std::nullopt, false, resume(finish)); });
        return;
    }
    m_telemetrySession->setEnabled(m_configured);
    const QString installationId = installation();
    const bool location = m_locationEnabled;
    schedule([this, revision, installationId, location](Continue finish) {
        if (revision != m_preferenceRevision)
            return finish();
        m_client->setConsent(true, installationId, location, resume([this, revision, finish]() {
                                 if (revision != m_preferenceRevision)
                                     return finish();
                                 m_client->event(VelmorEvent::appOpened, resume(finish));
                             }));
    });
}

void VelmorSignals::setLocationEnabled(bool enabled)
{
    const quint64 revision = ++m_preferenceRevision;
    const bool changed = m_locationEnabled != enabled;
    m_locationEnabled = enabled;
    m_defaults.setValue(QString::fromLatin1(TelemetryPreferences::cityKey), enabled);
    if (changed)
        Q_EMIT locationEnabledChanged(enabled);

    const bool usage = m_enabled;
    const std::optional<QString> installationId = usage ? std::optional(installation()) : std::nullopt;
    // Events already waiting were recorded under the previous city choice: withdraw first so they
    // are dropped, then consent again with the new choice.
    schedule([this, revision, usage, installationId, enabled](Continue finish) {
        m_client->setConsent(false, std::nullopt, false,
                             resume([this, revision, usage, installationId, enabled, finish]() {
                                 if (revision != m_preferenceRevision)
                                     return finish();
                                 m_client->setConsent(usage, installationId, enabled, resume(finish));
                             }));
    });
}

void VelmorSignals::feedback(const QString& message, bool bug, std::function<void(bool)> done)
{
    std::weak_ptr<int> alive = m_lifetime;
    platform::Scheduler& scheduler = m_scheduler;
    m_client->feedback(message, bug, [alive, &scheduler, done = std::move(done)](bool accepted) {
        scheduler.post([alive, done, accepted]() {
            if (!alive.expired() && done)
                done(accepted);
        });
    });
}

void VelmorSignals::installSupportWindows(platform::ApplicationShell& shell, const platform::Screens& screens,
                                          SupportWindowFactory factory)
{
    m_shell = &shell;
    m_screens = &screens;
    m_supportWindowFactory = std::move(factory);
    Q_EMIT supportWindowsInstalled();
}

void VelmorSignals::showSupport(bool bug)
{
    setFeedbackIsBug(bug);
    if (!m_supportWindow && m_supportWindowFactory) {
        const double height = SupportWindow::heightFor(m_screens->mainVisibleFrame());
        m_supportWindow = m_supportWindowFactory(SupportWindow::Request{
            QString::fromLatin1(SupportWindow::title), QSizeF(SupportWindow::width, height), m_appName});
    }
    if (!m_supportWindow)
        return;
    m_shell->activate(true);
    m_supportWindow->orderFrontAsKey();
}

void VelmorSignals::recordUpdateInstallation(const QString& version)
{
    m_telemetrySession->recordUpdateInstallation(version);
}

void VelmorSignals::clearUpdateInstallation()
{
    m_telemetrySession->clearUpdateInstallation();
}

void VelmorSignals::finish()
{
    m_telemetrySession->finish();
}

void VelmorSignals::setFeedbackIsBug(bool bug)
{
    if (m_feedbackIsBug == bug)
        return;
    m_feedbackIsBug = bug;
    Q_EMIT feedbackIsBugChanged(bug);
}

QString VelmorSignals::reviewedMetadata() const
{
    return QStringList{
        QString::fromLatin1(diagnosticsAppLabel) + m_context.app,
        QString::fromLatin1(releaseLabel) + m_context.release,
        QString::fromLatin1(diagnosticsSystemLabel) + m_context.os,
        QString::fromLatin1(architectureLabel) + m_context.architecture,
        QString::fromLatin1(memoryClassLabel) + m_context.memoryClass,
    }
        .join(u'\n');
}

QString VelmorSignals::installation()
{
    const QString key = QString::fromLatin1(installationKey);
    if (const auto stored = m_defaults.stringValue(key); stored && uuid_text::parse(*stored))
        return *stored;
    const QString fresh = uuid_text::canonical(uuid_text::random());
    m_defaults.setValue(key, fresh);
    return fresh;
}

void VelmorSignals::schedule(Operation operation)
{
    m_chain.push_back(std::move(operation));
    if (m_chainRunning)
        return;
    m_chainRunning = true;
    std::weak_ptr<int> alive = m_lifetime;
    m_scheduler.post([this, alive]() {
        if (!alive.expired())
            runNext();
    });
}

void VelmorSignals::runNext()
{
    if (m_chain.empty()) {
        m_chainRunning = false;
        return;
    }
    Operation operation = std::move(m_chain.front());
    m_chain.pop_front();
    std::weak_ptr<int> alive = m_lifetime;
    operation([this, alive]() {
        // The next operation starts as a task of its own, after whatever the finished one posted.
        m_scheduler.post([this, alive]() {
            if (!alive.expired())
                runNext();
        });
    });
}

VelmorSignals::Continue VelmorSignals::resume(Continue step)
{
    std::weak_ptr<int> alive = m_lifetime;
    platform::Scheduler& scheduler = m_scheduler;
    return [alive, &scheduler, step = std::move(step)]() {
        scheduler.post([alive, step]() {
            if (!alive.expired())
                step();
        });
    };
}

} // namespace velmor
