#include "distribution/app_updates.h"

#include "distribution/update_menu_item.h"
#include "foundation/uuid_text.h"
#include "platform/application_shell.h"
#include "platform/host.h"
#include "platform/scheduler.h"
#include "platform/services.h"
#include "suite_ui/velmor_signals.h"

#include <QUrl>

namespace velmor {
namespace {

QString text(const char* value)
{
    return QString::fromUtf8(value);
}

bool isBase64Character(char c)
{
    return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') || c == '+' || c == '/';
}

} // namespace

AppUpdates::AppUpdates(const platform::Services& services, VelmorSignals* signals, QObject* parent)
    : QObject(parent), m_services(services), m_signals(signals ? signals : VelmorSignals::shared()),
      m_message(text(notPublishedMessage)), m_pendingGeneration(uuid_text::random())
{}

AppUpdates::~AppUpdates()
{
    m_pendingRelaunch.cancel();
    if (m_controller) {
        for (const auto observer : m_observations)
            m_controller->removeObserver(observer);
    }
    m_controller.reset();
}

bool AppUpdates::isUsableFeedURL(const QString& text)
{
    // The scheme is compared as written: "HTTPS:" is not what the framework is promised.
    const QString scheme = QString::fromLatin1(feedScheme);
    if (!text.startsWith(scheme + u':'))
        return false;
    const QUrl url(text, QUrl::StrictMode);
    return url.isValid() && url.scheme() == scheme && !url.host().isEmpty();
}

std::optional<QByteArray> AppUpdates::decodePublicKey(const QString& text)
{
    // Standard Base64 only: its alphabet, padded to whole quanta, padding only at the end.
    const QByteArray bytes = text.toLatin1();
    if (text.isEmpty() || bytes.size() % 4 != 0 || QString::fromLatin1(bytes) != text)
        return std::nullopt;
    qsizetype padding = 0;
    while (padding < 2 && bytes.size() > padding && bytes[bytes.size() - 1 - padding] == '=')
        ++padding;
    for (qsizetype i = 0; i < bytes.size() - padding; ++i) {
        if (!isBase64Character(bytes[i]))
            return std::nullopt;
    }
    const auto decoded = QByteArray::fromBase64Encoding(bytes, QByteArray::AbortOnBase64DecodingErrors);
    if (!decoded || decoded.decoded.size() != publicKeyLength)
        return std::nullopt;
    return decoded.decoded;
}

void AppUpdates::start(std::function<bool()> isBusy)
{
    m_isBusy = std::move(isBusy);
    if (m_started)
        return;
    m_started = true;
    if (!m_services.host)
        return;
    const platform::MainBundle& bundle = m_services.host->mainBundle();
    if (isReviewBuild()) {
        setMessage(text(reviewBuildMessage));
        return;
    }
    const auto feed = bundle.infoString(text(feedURLInfoKey));
    if (!feed || !isUsableFeedURL(*feed))
        return;
    const auto key = bundle.infoString(text(publicKeyInfoKey));
    if (!key || !decodePublicKey(*key))
        return;
    if (!m_services.updater) {
        setMessage(text(couldNotStartPrefix) + text(noFrameworkReason));
        track(VelmorEvent::updateFailed);
        return;
    }

    m_controller = m_services.updater->createController(*this);
    m_controller->setSendsSystemProfile(false);
    observeController();
    if (const auto error = m_controller->start()) {
        setMessage(text(couldNotStartPrefix) + error->localizedDescription);
        track(VelmorEvent::updateFailed);
        return;
    }
    setAvailable(true);
    setMessage(text(availableMessage));
}

bool AppUpdates::isReviewBuild() const
{
    const platform::MainBundle& bundle = m_services.host->mainBundle();
    if (bundle.infoValue(text(reviewLibraryInfoKey)).isValid())
        return true;
    const auto identifier = bundle.identifier();
    return identifier && identifier->endsWith(text(reviewIdentifierSuffix));
}

void AppUpdates::observeController()
{
    // Values are taken over on the main run loop, after the framework's own call has returned, as
    // the framework's observations are delivered there.
    const auto mirror = [this](platform::UpdaterProperty property, void (AppUpdates::*assign)(bool)) {
        QPointer<AppUpdates> self(this);
        platform::Scheduler* scheduler = m_services.scheduler;
        m_observations.push_back(m_controller->observe(property, [self, scheduler, assign](bool value) {
            if (!scheduler)
                return;
            scheduler->post([self, assign, value] {
                if (self)
                    (self.data()->*assign)(value);
            });
        }));
    };
    mirror(platform::UpdaterProperty::CanCheckForUpdates, &AppUpdates::setCanCheck);
    mirror(platform::UpdaterProperty::AutomaticallyChecksForUpdates, &AppUpdates::setAutomaticChecksMirror);
    mirror(platform::UpdaterProperty::AutomaticallyDownloadsUpdates,
           &AppUpdates::setAutomaticDownloadsMirror);
}

void AppUpdates::check()
{
    if (m_available && m_canCheck && m_controller)
        m_controller->checkForUpdates();
}

void AppUpdates::showPreferences()
{
    if (!m_settingsWindow && m_settingsWindowFactory)
        m_settingsWindow = m_settingsWindowFactory(*this);
    if (m_settingsWindow)
        m_settingsWindow->makeKeyAndOrderFront();
    if (m_services.applicationShell)
        m_services.applicationShell->activate(true);
}

void AppUpdates::setAutomaticChecks(bool checks)
{
    if (m_controller)
        m_controller->setAutomaticallyChecksForUpdates(checks);
}

void AppUpdates::setAutomaticDownloads(bool downloads)
{
    if (m_controller)
        m_controller->setAutomaticallyDownloadsUpdates(downloads);
}

std::unique_ptr<UpdateMenuItem> AppUpdates::menuItem()
{
    QPointer<AppUpdates> self(this);
    return std::make_unique<UpdateMenuItem>(UpdateMenuItem::Action::CheckForUpdates, text(checkTitle),
                                            [self] {
                                                if (self)
                                                    self->check();
                                            });
}

std::unique_ptr<UpdateMenuItem> AppUpdates::preferencesMenuItem()
{
    QPointer<AppUpdates> self(this);
    return std::make_unique<UpdateMenuItem>(UpdateMenuItem::Action::ShowPreferences, text(preferencesTitle),
                                            [self] {
                                                if (self)
                                                    self->showPreferences();
                                            });
}

std::unique_ptr<UpdateMenuItem> AppUpdates::pendingWorkMenuItem()
{
    if (!m_workActionTitle)
        return nullptr;
    QPointer<AppUpdates> self(this);
    auto item = std::make_unique<UpdateMenuItem>(UpdateMenuItem::Action::ResolvePendingWork,
                                                 *m_workActionTitle, [self] {
                                                     if (self)
                                                         self->resolvePendingWork();
                                                 });
    item->setHidden(!m_hasPendingInstallation);
    // The connection ends with either side, so the item holds the controller only weakly.
    UpdateMenuItem* raw = item.get();
    connect(this, &AppUpdates::hasPendingInstallationChanged, raw,
            [this, raw] { raw->setHidden(!m_hasPendingInstallation); });
    return item;
}

bool AppUpdates::validateMenuItem(const UpdateMenuItem& item) const
{
    switch (item.action()) {
    case UpdateMenuItem::Action::ResolvePendingWork:
        return m_hasPendingInstallation && m_workActionTitle.has_value();
    case UpdateMenuItem::Action::CheckForUpdates:
        return m_available && m_canCheck;
    case UpdateMenuItem::Action::ShowPreferences:
        return true;
    }
    return true;
}

void AppUpdates::configurePendingWorkAction(const QString& title, const QString& message,
                                            std::function<void()> action)
{
    m_workActionTitle = title;
    m_workWaitingMessage = message;
    m_pendingWorkAction = std::move(action);
    Q_EMIT configurationChanged();
    Q_EMIT stateChanged();
}

void AppUpdates::configureSessionClosureConfirmation(std::function<bool()> confirmation)
{
    m_sessionClosureConfirmation = std::move(confirmation);
    Q_EMIT configurationChanged();
    Q_EMIT stateChanged();
}

std::optional<QString> AppUpdates::pendingWorkActionTitle() const
{
    return m_hasPendingInstallation ? m_workActionTitle : std::nullopt;
}

bool AppUpdates::canCloseSessionsForUpdate() const
{
    return m_hasPendingInstallation && m_sessionClosureConfirmation;
}

bool AppUpdates::consumeSessionClosureApproval()
{
    return std::exchange(m_sessionClosureApproved, false);
}

void AppUpdates::resolvePendingWork()
{
    if (!m_hasPendingInstallation || m_confirmingSessionClosure || !m_pendingWorkAction)
        return;
    const QUuid generation = m_pendingGeneration;
    m_confirmingSessionClosure = true;
    // A copy: the action may configure a new one while it runs.
    const auto action = m_pendingWorkAction;
    action();
    if (m_hasPendingInstallation && generation == m_pendingGeneration && !busy() && m_pendingInstallHandler)
        installHeldBack();
    m_confirmingSessionClosure = false;
}

void AppUpdates::closeSessionsAndInstallUpdate()
{
    if (!m_hasPendingInstallation || m_confirmingSessionClosure || !m_sessionClosureConfirmation)
        return;
    const QUuid generation = m_pendingGeneration;
    m_confirmingSessionClosure = true;
    const bool wasBusy = busy();
    if (wasBusy) {
        const auto confirmation = m_sessionClosureConfirmation;
        if (!confirmation()) {
            m_confirmingSessionClosure = false;
            return;
        }
    }
    // The confirmation may have been answered after the installation was given up.
    if (m_hasPendingInstallation && generation == m_pendingGeneration) {
        m_sessionClosureApproved = wasBusy;
        if (m_pendingInstallHandler)
            installHeldBack();
    }
    m_confirmingSessionClosure = false;
}

bool AppUpdates::shouldPostponeRelaunchForUpdate(const platform::UpdateItem&, std::function<void()> install)
{
    m_sessionClosureApproved = false;
    if (!busy())
        return false;
    m_pendingInstallHandler = std::move(install);
    setHasPendingInstallation(true);
    if (m_sessionClosureConfirmation)
        setMessage(text(waitingForSessionsMessage));
    else if (m_workWaitingMessage)
        setMessage(*m_workWaitingMessage);
    else
        setMessage(text(waitingForWorkMessage));
    // A second offer replaces the first; two waiting tasks could otherwise both install.
    m_pendingRelaunch.cancel();
    waitForIdle(m_pendingGeneration);
    return true;
}

void AppUpdates::waitForIdle(QUuid generation)
{
    if (!m_services.scheduler)
        return;
    QPointer<AppUpdates> self(this);
    const auto step = [self, generation] {
        if (!self || !self->m_hasPendingInstallation || self->m_pendingGeneration != generation)
            return;
        if (!self->m_confirmingSessionClosure && !self->busy()) {
            // The busy test may have ended the installation itself.
            if (self->m_hasPendingInstallation && self->m_pendingGeneration == generation &&
                self->m_pendingInstallHandler)
                self->installHeldBack();
            return;
        }
        self->m_pendingRelaunch =
            self->m_services.scheduler->after(platform::seconds(waitIntervalSeconds), [self, generation] {
                if (self)
                    self->waitForIdle(generation);
            });
    };
    m_pendingRelaunch = m_services.scheduler->post(step);
}

void AppUpdates::installHeldBack()
{
    // Once the installation has started nothing is held back any more: the commands that would
    // start it again disappear, and no waiter can call the handler a second time.
    std::function<void()> install = std::exchange(m_pendingInstallHandler, {});
    m_pendingRelaunch.cancel();
    setHasPendingInstallation(false);
    setMessage(text(installingMessage));
    if (install)
        install();
}

void AppUpdates::clearPendingInstallation()
{
    m_pendingRelaunch.cancel();
    m_pendingRelaunch = {};
    m_pendingInstallHandler = {};
    setHasPendingInstallation(false);
    m_pendingGeneration = uuid_text::random();
}

void AppUpdates::didFindValidUpdate(const platform::UpdateItem&)
{
    track(VelmorEvent::updateFound);
}

void AppUpdates::didDownloadUpdate(const platform::UpdateItem&)
{
    track(VelmorEvent::updateDownloaded);
}

void AppUpdates::willInstallUpdate(const platform::UpdateItem& item)
{
    // The build version, which the next run compares with its own "CFBundleVersion".
    if (m_signals)
        m_signals->recordUpdateInstallation(item.versionString);
}

void AppUpdates::didAbortWithError(const platform::UpdaterError& error)
{
    clearPendingInstallation();
    m_sessionClosureApproved = false;
    if (m_signals)
        m_signals->clearUpdateInstallation();
    const bool ownDomain = m_services.updater && error.domain == m_services.updater->errorDomain();
    if (ownDomain && error.code == platform::updater_error::noUpdate) {
        setMessage(text(upToDateMessage));
        return;
    }
    if (ownDomain && (error.code == platform::updater_error::installationCanceled ||
                      error.code == platform::updater_error::installationAuthorizeLater)) {
        setMessage(text(postponedMessage));
        return;
    }
    setMessage(text(notInstalledMessage));
    track(VelmorEvent::updateFailed);
}

void AppUpdates::didFinishUpdateCycle(platform::UpdateCheck,
                                      const std::optional<platform::UpdaterError>& error)
{
    m_sessionClosureApproved = false;
    if (m_hasPendingInstallation && !error)
        setMessage(text(postponedMessage));
}

bool AppUpdates::busy() const
{
    return m_isBusy ? m_isBusy() : true;
}

void AppUpdates::track(VelmorEvent event)
{
    if (m_signals)
        m_signals->track(event);
}

void AppUpdates::setAvailable(bool available)
{
    if (m_available == available)
        return;
    m_available = available;
    Q_EMIT availableChanged();
    Q_EMIT stateChanged();
}

void AppUpdates::setCanCheck(bool canCheck)
{
    if (m_canCheck == canCheck)
        return;
    m_canCheck = canCheck;
    Q_EMIT canCheckChanged();
    Q_EMIT stateChanged();
}

void AppUpdates::setMessage(const QString& message)
{
    if (m_message == message)
        return;
    m_message = message;
    Q_EMIT messageChanged();
    Q_EMIT stateChanged();
}

void AppUpdates::setAutomaticChecksMirror(bool checks)
{
    if (m_automaticChecks == checks)
        return;
    m_automaticChecks = checks;
    Q_EMIT automaticChecksChanged();
    Q_EMIT stateChanged();
}

void AppUpdates::setAutomaticDownloadsMirror(bool downloads)
{
    if (m_automaticDownloads == downloads)
        return;
    m_automaticDownloads = downloads;
    Q_EMIT automaticDownloadsChanged();
    Q_EMIT stateChanged();
}

void AppUpdates::setHasPendingInstallation(bool pending)
{
    if (m_hasPendingInstallation == pending)
        return;
    m_hasPendingInstallation = pending;
    Q_EMIT hasPendingInstallationChanged();
    Q_EMIT stateChanged();
}

} // namespace velmor
