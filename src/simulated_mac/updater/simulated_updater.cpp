#include "simulated_mac/updater/simulated_updater.h"

#include "foundation/private_files.h"
#include "foundation/system_error.h"
#include "platform/host.h"
#include "platform/scheduler.h"
#include "platform/user_defaults.h"
#include "simulated_mac/updater/appcast.h"
#include "simulated_mac/updater/archive_signature.h"
#include "simulated_mac/updater/simulated_updater_framework.h"

#include <QFile>
#include <QNetworkAccessManager>
#include <QNetworkReply>

namespace velmor::simulated_mac {
namespace {

const QString fallbackAppName = QStringLiteral("This app");

QString text(const char* value)
{
    return QString::fromUtf8(value);
}

bool isSuccess(int status)
{
    return status >= 200 && status <= 299;
}

int statusOf(const QNetworkReply& reply)
{
    return reply.attribute(QNetworkRequest::HttpStatusCodeAttribute).toInt();
}

} // namespace

SimulatedUpdater::SimulatedUpdater(SimulatedUpdaterFramework& framework, platform::UpdaterDelegate& delegate)
    : m_framework(framework), m_delegate(delegate), m_reader(framework.scheduler())
{}

SimulatedUpdater::~SimulatedUpdater()
{
    m_scheduledCheck.cancel();
    m_feedDeadline.cancel();
    // A cycle cut short by the app's end leaves nothing behind, unless the app is being replaced by
    // what it downloaded (the installer has taken the archive already then).
    discardTransfer();
    if (m_phase == Phase::Offering || m_phase == Phase::ReadyToInstall || m_phase == Phase::Postponed)
        m_framework.alert().dismiss();
    QFile::remove(downloadPath());
}

QString SimulatedUpdater::downloadPath() const
{
    return m_framework.cacheFolder() + u'/' + text(downloadFileName);
}

double SimulatedUpdater::downloadDeadlineSeconds(qint64 contentLength)
{
    return std::max(downloadDeadlineFloorSeconds, static_cast<double>(contentLength) / minimumBytesPerSecond);
}

bool SimulatedUpdater::defaultsFlag(const char* key) const
{
    if (const auto stored = m_framework.defaults().boolValue(text(key)))
        return *stored;
    const QVariant built = m_framework.host().mainBundle().infoValue(text(key));
    return built.typeId() == QMetaType::Bool && built.toBool();
}

bool SimulatedUpdater::automaticallyChecksForUpdates() const
{
    return defaultsFlag(SimulatedUpdaterFramework::automaticChecksKey);
}

void SimulatedUpdater::setAutomaticallyChecksForUpdates(bool checks)
{
    const bool before = automaticallyChecksForUpdates();
    m_framework.defaults().setValue(text(SimulatedUpdaterFramework::automaticChecksKey), checks);
    if (before != checks)
        notify(platform::UpdaterProperty::AutomaticallyChecksForUpdates, checks);
    scheduleAutomaticCheck();
}

bool SimulatedUpdater::automaticallyDownloadsUpdates() const
{
    return defaultsFlag(SimulatedUpdaterFramework::automaticDownloadsKey);
}

void SimulatedUpdater::setAutomaticallyDownloadsUpdates(bool downloads)
{
    const bool before = automaticallyDownloadsUpdates();
    m_framework.defaults().setValue(text(SimulatedUpdaterFramework::automaticDownloadsKey), downloads);
    if (before != downloads)
        notify(platform::UpdaterProperty::AutomaticallyDownloadsUpdates, downloads);
}

platform::UpdaterController::ObserverId SimulatedUpdater::observe(platform::UpdaterProperty property,
                                                        std::function<void(bool)> handler)
{
    const ObserverId id = ++m_lastObserver;
    m_observers.insert(id, {property, handler});
    switch (property) {
    case platform::UpdaterProperty::CanCheckForUpdates:
        handler(m_canCheck);
        break;
    case platform::UpdaterProperty::AutomaticallyChecksForUpdates:
        handler(automaticallyChecksForUpdates());
        break;
    case platform::UpdaterProperty::AutomaticallyDownloadsUpdates:
        handler(automaticallyDownloadsUpdates());
        break;
    }
    return id;
}

void SimulatedUpdater::removeObserver(ObserverId observer)
{
    m_observers.remove(observer);
}

void SimulatedUpdater::notify(platform::UpdaterProperty property, bool value)
{
    const auto observers = m_observers;
    for (const auto& [observed, handler] : observers) {
        if (observed == property)
            handler(value);
    }
}

void SimulatedUpdater::setCanCheck(bool canCheck)
{
    if (m_canCheck == canCheck)
        return;
    m_canCheck = canCheck;
    notify(platform::UpdaterProperty::CanCheckForUpdates, canCheck);
}

std::optional<platform::UpdaterError> SimulatedUpdater::start()
{
    if (m_started)
        return std::nullopt;
    const platform::MainBundle& bundle = m_framework.host().mainBundle();
    const QString domain = m_framework.errorDomain();
    const QUrl feed(bundle.infoString(text(SimulatedUpdaterFramework::feedURLInfoKey)).value_or(QString()),
                    QUrl::StrictMode);
    if (!feed.isValid() || feed.scheme() != QLatin1String("https") || feed.host().isEmpty())
        return platform::UpdaterError{domain, platform::updater_error::appcast, text(missingFeedError)};
    const auto key = archive_signature::decodeBase64(
        bundle.infoString(text(SimulatedUpdaterFramework::publicKeyInfoKey)).value_or(QString()),
        archive_signature::publicKeyLength);
    if (!key)
        return platform::UpdaterError{domain, platform::updater_error::signature, text(missingKeyError)};
    m_feedURL = feed;
    m_publicKey = *key;
    // An archive an earlier run left half-done is not trusted.
    QFile::remove(downloadPath());
    m_started = true;
    setCanCheck(true);
    scheduleAutomaticCheck();
    return std::nullopt;
}

void SimulatedUpdater::checkForUpdates()
{
    if (!m_started)
        return;
    if (m_phase == Phase::Postponed) {
        offerReady();
        return;
    }
    // A stalled transfer gives way to the check the user asked for; that check speaks for both.
    if (m_stalled && (m_phase == Phase::Checking || m_phase == Phase::Downloading)) {
        discardTransfer();
        QFile::remove(downloadPath());
        m_phase = Phase::Idle;
        m_item.reset();
        m_delegate.didFinishUpdateCycle(m_check, std::nullopt);
    }
    if (m_phase == Phase::Idle)
        beginCycle(platform::UpdateCheck::Updates);
}

double SimulatedUpdater::checkIntervalSeconds() const
{
    const QVariant value =
        m_framework.host().mainBundle().infoValue(text(SimulatedUpdaterFramework::checkIntervalInfoKey));
    bool ok = false;
    const double seconds = value.toDouble(&ok);
    if (!ok || !value.isValid())
        return SimulatedUpdaterFramework::defaultCheckIntervalSeconds;
    return std::max(seconds, SimulatedUpdaterFramework::minimumCheckIntervalSeconds);
}

void SimulatedUpdater::scheduleAutomaticCheck()
{
    m_scheduledCheck.cancel();
    if (!m_started || !automaticallyChecksForUpdates())
        return;
    const double interval = checkIntervalSeconds();
    double delay = 0;
    const QVariant last = m_framework.defaults().value(text(SimulatedUpdaterFramework::lastCheckTimeKey));
    if (last.typeId() == QMetaType::QDateTime && last.toDateTime().isValid()) {
        const double elapsed = last.toDateTime().msecsTo(m_framework.scheduler().currentDate()) / 1000.0;
        // A clock set back counts as a check just made.
        delay = std::clamp(interval - std::max(elapsed, 0.0), 0.0, interval);
    }
    QPointer<SimulatedUpdater> self(this);
    m_scheduledCheck = m_framework.scheduler().after(platform::seconds(delay), [self] {
        if (self)
            self->automaticCheck();
    });
}

void SimulatedUpdater::automaticCheck()
{
    if (m_phase == Phase::Idle) {
        beginCycle(platform::UpdateCheck::UpdatesInBackground);
        return;
    }
    QPointer<SimulatedUpdater> self(this);
    m_scheduledCheck = m_framework.scheduler().after(platform::seconds(checkIntervalSeconds()), [self] {
        if (self)
            self->automaticCheck();
    });
}

QNetworkReply* SimulatedUpdater::get(const QUrl& url, bool exactBytes)
{
    if (!m_network) {
        m_network = std::make_unique<QNetworkAccessManager>();
        m_network->setCache(nullptr);
        m_network->setStrictTransportSecurityEnabled(false);
    }
    QNetworkRequest request(url);
    request.setSslConfiguration(m_framework.configuration().tls);
    request.setTransferTimeout(idleTimeoutMilliseconds);
    request.setMaximumRedirectsAllowed(maximumRedirects);
    // A redirect may move the feed or the archive, never off HTTPS.
    request.setAttribute(QNetworkRequest::RedirectPolicyAttribute, QNetworkRequest::NoLessSafeRedirectPolicy);
    request.setAttribute(QNetworkRequest::CookieLoadControlAttribute, QNetworkRequest::Manual);
    request.setAttribute(QNetworkRequest::CookieSaveControlAttribute, QNetworkRequest::Manual);
    request.setAttribute(QNetworkRequest::CacheLoadControlAttribute, QNetworkRequest::AlwaysNetwork);
    request.setAttribute(QNetworkRequest::CacheSaveControlAttribute, false);
    // The archive's length and signature are those of the bytes as published, never of a
    // compressed transfer of them.
    if (exactBytes)
        request.setRawHeader("Accept-Encoding", "identity");
    m_stop = Stop::None;
    return m_network->get(request);
}

void SimulatedUpdater::beginCycle(platform::UpdateCheck check)
{
    m_phase = Phase::Checking;
    m_check = check;
    ++m_cycle;
    m_item.reset();
    setCanCheck(false);
    m_framework.defaults().setValue(text(SimulatedUpdaterFramework::lastCheckTimeKey),
                                    m_framework.scheduler().currentDate());
    scheduleAutomaticCheck();

    m_feed.clear();
    m_reply = get(m_feedURL);
    QNetworkReply* reply = m_reply;
    connect(reply, &QIODevice::readyRead, this, [this, reply] {
        if (reply != m_reply)
            return;
        m_feed += reply->readAll();
        // Refused while it arrives, so a huge feed never sits in memory.
        if (m_feed.size() > Appcast::maximumBytes) {
            m_stop = Stop::TooLarge;
            reply->abort();
        }
    });
    connect(reply, &QNetworkReply::finished, this, [this, reply] {
        if (reply == m_reply)
            feedFinished();
    });
    watchForStall([this] { return qint64(m_feed.size()); });
    QPointer<SimulatedUpdater> self(this);
    const quint64 cycle = m_cycle;
    m_feedDeadline = m_framework.scheduler().after(platform::seconds(feedDeadlineSeconds), [self, cycle] {
        if (!self || self->m_cycle != cycle || self->m_phase != Phase::Checking || !self->m_reply)
            return;
        self->m_stop = Stop::TimedOut;
        self->m_reply->abort();
    });
}

void SimulatedUpdater::feedFinished()
{
    m_feedDeadline.cancel();
    QNetworkReply* reply = m_reply;
    if (m_stop == Stop::None && reply->error() == QNetworkReply::NoError)
        m_feed += reply->readAll();
    const Stop stop = m_stop;
    const bool received = reply->error() == QNetworkReply::NoError && isSuccess(statusOf(*reply));
    if (reply->error() == QNetworkReply::SslHandshakeFailedError)
        m_network->clearConnectionCache();
    const bool stalled = m_stalled;
    discardTransfer();
    if (stalled)
        setCanCheck(false);

    if (stop == Stop::TooLarge || m_feed.size() > Appcast::maximumBytes)
        return fail(platform::updater_error::appcastParse, text(feedTooLargeError));
    if (stop == Stop::TimedOut)
        return fail(platform::updater_error::appcast, text(feedTimedOutError));
    if (!received)
        return fail(platform::updater_error::appcast, text(feedFailedError));
    const quint64 cycle = m_cycle;
    m_reader.read(std::exchange(m_feed, {}), [this, cycle](AppcastReader::Result result) {
        if (m_cycle == cycle && m_phase == Phase::Checking)
            feedRead(std::move(result));
    });
}

void SimulatedUpdater::feedRead(AppcastReader::Result result)
{
    const std::optional<Appcast>& appcast = result.appcast;
    if (!appcast)
        return fail(platform::updater_error::appcastParse, result.reason);
    const platform::Host& host = m_framework.host();
    const QString running =
        host.mainBundle().infoString(QStringLiteral("CFBundleVersion")).value_or(QString());
    const Appcast::Choice choice = appcast->choose(running, host.systemVersion(), m_feedURL);
    if (std::holds_alternative<Appcast::NoUpdate>(choice))
        return fail(platform::updater_error::noUpdate, text(noUpdateError));
    if (const auto* invalid = std::get_if<Appcast::InvalidRelease>(&choice))
        return fail(platform::updater_error::appcastParse, invalid->reason);

    m_item = std::get<platform::UpdateItem>(choice);
    m_delegate.didFindValidUpdate(*m_item);
    if (m_check == platform::UpdateCheck::UpdatesInBackground && automaticallyDownloadsUpdates())
        download();
    else
        offer();
}

void SimulatedUpdater::offer()
{
    m_phase = Phase::Offering;
    QPointer<SimulatedUpdater> self(this);
    const quint64 cycle = m_cycle;
    m_framework.alert().present(
        text(foundTitle).arg(appName()),
        text(foundText).arg(appName(), m_item->displayVersionString, runningDisplayVersion()),
        {text(laterChoice), text(installChoice)}, [self, cycle](int choice) {
            if (!self || self->m_cycle != cycle || self->m_phase != Phase::Offering)
                return;
            if (choice == 1)
                self->download();
            else
                self->endCycle();
        });
}

void SimulatedUpdater::download()
{
    m_phase = Phase::Downloading;
    const QString path = downloadPath();
    try {
        private_files::ensureDirectory(m_framework.cacheFolder());
    } catch (const SystemError&) {
        return fail(platform::updater_error::temporaryDirectory, text(cacheError));
    }
    QFile::remove(path);
    m_download = std::make_unique<QFile>(path);
    // Created private: the archive never exists with a wider mode.
    if (!m_download->open(QIODevice::WriteOnly | QIODevice::NewOnly, private_files::ownerReadWrite)) {
        m_download.reset();
        return fail(platform::updater_error::temporaryDirectory, text(cacheError));
    }
    m_received = 0;
    m_reply = get(m_item->fileURL, true);
    QNetworkReply* reply = m_reply;
    connect(reply, &QNetworkReply::metaDataChanged, this, [this, reply] {
        if (reply != m_reply || !isSuccess(statusOf(*reply)))
            return;
        const QVariant length = reply->header(QNetworkRequest::ContentLengthHeader);
        if (length.isValid() && length.toLongLong() != m_item->contentLength) {
            m_stop = Stop::WrongLength;
            reply->abort();
        }
    });
    connect(reply, &QIODevice::readyRead, this, [this, reply] {
        if (reply == m_reply)
            downloadReceived();
    });
    connect(reply, &QNetworkReply::finished, this, [this, reply] {
        if (reply == m_reply)
            downloadFinished();
    });
    watchForStall([this] { return m_received; });
    QPointer<SimulatedUpdater> self(this);
    const quint64 cycle = m_cycle;
    m_downloadDeadline =
        m_framework.scheduler().after(platform::seconds(downloadDeadlineSeconds(m_item->contentLength)), [self, cycle] {
            if (!self || self->m_cycle != cycle || self->m_phase != Phase::Downloading || !self->m_reply)
                return;
            self->m_stop = Stop::TimedOut;
            self->m_reply->abort();
        });
}

void SimulatedUpdater::downloadReceived()
{
    QNetworkReply* reply = m_reply;
    const QByteArray bytes = reply->readAll();
    // The body of a refusal is not the archive.
    if (m_stop != Stop::None || !isSuccess(statusOf(*reply)))
        return;
    m_received += bytes.size();
    if (m_received > m_item->contentLength) {
        m_stop = Stop::WrongLength;
        reply->abort();
        return;
    }
    if (m_download->write(bytes) != bytes.size()) {
        m_stop = Stop::DiskFull;
        reply->abort();
    }
}

void SimulatedUpdater::downloadFinished()
{
    m_downloadDeadline.cancel();
    m_stallWatch.cancel();
    if (std::exchange(m_stalled, false))
        setCanCheck(false);
    QNetworkReply* reply = m_reply;
    if (m_stop == Stop::None && reply->error() == QNetworkReply::NoError)
        downloadReceived();
    const Stop stop = m_stop;
    const bool received = reply->error() == QNetworkReply::NoError && isSuccess(statusOf(*reply));
    if (reply->error() == QNetworkReply::SslHandshakeFailedError)
        m_network->clearConnectionCache();
    m_reply = nullptr;
    reply->disconnect(this);
    reply->deleteLater();
    const bool flushed = m_download->flush();
    m_download->close();
    m_download.reset();

    if (stop == Stop::WrongLength)
        return fail(platform::updater_error::validation, text(lengthError));
    if (stop == Stop::TimedOut)
        return fail(platform::updater_error::download, text(downloadTimedOutError));
    if (stop == Stop::DiskFull || !flushed)
        return fail(platform::updater_error::temporaryDirectory, text(cacheError));
    if (!received)
        return fail(platform::updater_error::download, text(downloadError));
    if (m_received != m_item->contentLength)
        return fail(platform::updater_error::validation, text(lengthError));
    const auto signature =
        archive_signature::decodeBase64(m_item->edSignature, archive_signature::signatureLength);
    if (!signature || !archive_signature::verifyFile(m_publicKey, *signature, downloadPath()))
        return fail(platform::updater_error::signature, text(signatureError));

    m_delegate.didDownloadUpdate(*m_item);
    if (m_check == platform::UpdateCheck::UpdatesInBackground)
        offerReady();
    else
        proceedToInstall();
}

void SimulatedUpdater::offerReady()
{
    if (m_phase != Phase::Postponed)
        m_phase = Phase::ReadyToInstall;
    QPointer<SimulatedUpdater> self(this);
    const quint64 cycle = m_cycle;
    const Phase phase = m_phase;
    m_framework.alert().present(
        text(readyTitle).arg(appName(), m_item->displayVersionString), text(readyText).arg(appName()),
        {text(laterChoice), text(installAndRelaunchChoice)}, [self, cycle, phase](int choice) {
            if (!self || self->m_cycle != cycle || self->m_phase != phase)
                return;
            if (choice == 1)
                self->proceedToInstall();
            else if (phase == Phase::Postponed)
                self->fail(platform::updater_error::installationCanceled, text(cancelledError));
            else
                self->endCycle();
        });
}

void SimulatedUpdater::proceedToInstall()
{
    m_delegate.willInstallUpdate(*m_item);
    // Held back from here until the app lets the installation go on (or at once, below).
    m_phase = Phase::Postponed;
    setCanCheck(true);
    QPointer<SimulatedUpdater> self(this);
    const quint64 cycle = m_cycle;
    const bool postponed = m_delegate.shouldPostponeRelaunchForUpdate(*m_item, [self, cycle] {
        if (self && self->m_cycle == cycle && self->m_phase == Phase::Postponed)
            self->install();
    });
    if (!postponed && self && m_cycle == cycle && m_phase == Phase::Postponed)
        install();
}

void SimulatedUpdater::install()
{
    m_phase = Phase::Installing;
    setCanCheck(false);
    m_framework.alert().dismiss();
    const auto& installer = m_framework.configuration().install;
    if (!installer)
        return fail(platform::updater_error::installation, text(installError));
    // The archive is unpacked into the app's place; the cache keeps nothing.
    QFile::remove(downloadPath());
    installer(*m_item);
}

void SimulatedUpdater::fail(qint64 code, const QString& description)
{
    m_feedDeadline.cancel();
    discardTransfer();
    QFile::remove(downloadPath());
    m_phase = Phase::Idle;
    m_item.reset();
    setCanCheck(true);
    const platform::UpdaterError error{m_framework.errorDomain(), code, description};
    m_delegate.didAbortWithError(error);
    // The user who put an installation off has seen enough dialogs.
    if (m_check == platform::UpdateCheck::Updates && code != platform::updater_error::installationCanceled) {
        if (code == platform::updater_error::noUpdate)
            m_framework.alert().present(text(upToDateTitle),
                                        text(upToDateText).arg(appName(), runningDisplayVersion()),
                                        {text(okChoice)}, [](int) {});
        else
            m_framework.alert().present(text(errorTitle), description, {text(okChoice)}, [](int) {});
    }
    m_delegate.didFinishUpdateCycle(m_check, error);
}

void SimulatedUpdater::endCycle()
{
    discardTransfer();
    QFile::remove(downloadPath());
    m_phase = Phase::Idle;
    m_item.reset();
    setCanCheck(true);
    m_delegate.didFinishUpdateCycle(m_check, std::nullopt);
}

void SimulatedUpdater::discardTransfer()
{
    m_stallWatch.cancel();
    m_downloadDeadline.cancel();
    m_stalled = false;
    m_reader.cancel();
    if (QNetworkReply* reply = m_reply) {
        m_reply = nullptr;
        reply->disconnect(this);
        reply->abort();
        reply->deleteLater();
    }
    if (m_download) {
        m_download->close();
        m_download.reset();
    }
}

void SimulatedUpdater::watchForStall(const std::function<qint64()>& progress)
{
    m_stalled = false;
    m_stallWatch.cancel();
    QPointer<SimulatedUpdater> self(this);
    const quint64 cycle = m_cycle;
    auto reached = std::make_shared<qint64>(progress());
    m_stallWatch =
        m_framework.scheduler().every(platform::seconds(stallPeriodSeconds), [self, cycle, progress, reached] {
            if (!self || self->m_cycle != cycle || !self->m_reply || self->m_stalled)
                return;
            const qint64 now = progress();
            const bool slow =
                static_cast<double>(now - *reached) < minimumBytesPerSecond * stallPeriodSeconds;
            *reached = now;
            if (slow) {
                self->m_stalled = true;
                self->setCanCheck(true);
            }
        });
}

QString SimulatedUpdater::appName() const
{
    const platform::MainBundle& bundle = m_framework.host().mainBundle();
    return bundle.infoString(QStringLiteral("CFBundleName")).value_or(fallbackAppName);
}

QString SimulatedUpdater::runningDisplayVersion() const
{
    const platform::MainBundle& bundle = m_framework.host().mainBundle();
    return bundle.infoString(QStringLiteral("CFBundleShortVersionString"))
        .value_or(bundle.infoString(QStringLiteral("CFBundleVersion")).value_or(QString()));
}

} // namespace velmor::simulated_mac
