#include "telemetry/navrel_client.h"

#include "foundation/text.h"
#include "platform/scheduler.h"

#include <QHash>
#include <QNetworkAccessManager>
#include <QNetworkReply>

#include <deque>
#include <memory>
#include <mutex>

namespace velmor {
namespace {

constexpr auto authorizationHeader = "Authorization";
constexpr auto bearerPrefix = "Bearer ";
constexpr auto jsonContentType = "application/json";

// Members of the request bodies.
constexpr auto sourceMember = "source";
constexpr auto releaseMember = "release";
constexpr auto timestampMember = "timestamp";
constexpr auto metadataMember = "metadata";
constexpr auto installationMember = "installation_id";
constexpr auto locationMember = "location_opt_in";
constexpr auto nameMember = "name";
constexpr auto propertiesMember = "properties";
constexpr auto messageMember = "message";
constexpr auto categoryMember = "category";

bool isHandshakeFailure(QNetworkReply::NetworkError error)
{
    return error == QNetworkReply::SslHandshakeFailedError;
}

} // namespace

class NavrelClient::Worker final : public QObject {
public:
    Worker(std::optional<NavrelConfiguration> configuration, AppSignalContext context,
           platform::Scheduler& scheduler, NavrelSession session)
        : m_configuration(std::move(configuration)), m_context(std::move(context)), m_scheduler(scheduler),
          m_session(std::move(session)), m_gate(std::make_shared<Gate>())
    {
        m_gate->worker = this;
    }

    ~Worker() override
    {
        {
            std::lock_guard lock(m_gate->mutex);
            m_gate->worker = nullptr;
        }
        // Answers still owed are dropped with the client; the replies must not call back into a
        // half-destroyed worker.
        for (auto it = m_inFlight.begin(); it != m_inFlight.end(); ++it) {
            QObject::disconnect(it.key(), nullptr, this, nullptr);
            it.key()->abort();
            delete it.key();
        }
    }

    void setConsent(bool consent, std::optional<QString> installationId, bool location)
    {
        m_consent = consent;
        m_locationConsent = consent && location;
        if (consent) {
            m_installation = std::move(installationId);
            return;
        }
        m_installation.reset();
        ++m_generation;
        m_queue.clear();
        m_draining = false;
        if (QNetworkReply* reply = std::exchange(m_eventReply, nullptr)) {
            // Its answer belongs to a generation that is over: it never counts as sent.
            m_inFlight.remove(reply);
            QObject::disconnect(reply, nullptr, this, nullptr);
            reply->abort();
            reply->deleteLater();
        }
    }

    void enqueueEvent(VelmorEvent event)
    {
        if (!m_consent || !m_configuration || !m_installation)
            return;
        Json body = envelope();
        body[metadataMember][installationMember] = json::toStd(*m_installation);
        body[metadataMember][locationMember] = m_locationConsent;
        body[nameMember] = json::toStd(velmor_event::wireName(event));
        body[propertiesMember] = Json::object();
        QByteArray bytes = json::serialize(body);
        if (bytes.isEmpty())
            return;
        if (m_queue.size() >= static_cast<std::size_t>(maximumQueued))
            m_queue.pop_front();
        m_queue.push_back(std::move(bytes));
        if (!m_draining) {
            m_draining = true;
            drain(m_generation);
        }
    }

    void feedback(const QString& message, bool bug, std::function<void(bool)> done)
    {
        const QString trimmed = text::trimmed(message);
        if (trimmed.isEmpty() || trimmed.size() > maximumFeedbackLength) {
            done(false);
            return;
        }
        Json body = envelope();
        body[messageMember] = json::toStd(trimmed);
        body[categoryMember] = bug ? bugCategory : feedbackCategory;
        const QByteArray bytes = json::serialize(body);
        if (bytes.isEmpty()) {
            done(false);
            return;
        }
        send(bytes, QString::fromLatin1(NavrelConfiguration::feedbackPath), std::move(done));
    }

    int pendingCount() const { return static_cast<int>(m_queue.size()); }

private:
    // Lets deadline tasks, which run on the scheduler's thread, reach the worker only while it lives.
    struct Gate {
        std::mutex mutex;
        Worker* worker = nullptr;
    };

    struct Pending {
        std::function<void(bool)> done;
        quint64 serial = 0;
        qint64 bodyBytes = 0;
        bool cutOff = false;
    };

    Json envelope() const
    {
        Json body = Json::object();
        body[sourceMember] = json::toStd(m_context.app);
        body[releaseMember] = json::toStd(m_context.release);
        body[timestampMember] = json::toStd(m_scheduler.currentDate().toUTC().toString(Qt::ISODate));
        body[metadataMember] = m_context.metadata();
        return body;
    }

    // One event per request, strictly in order. A drain overtaken by a consent withdrawal finds a
    // newer generation and stops without sending.
    void drain(qint64 generation)
    {
        if (!m_consent || generation != m_generation || m_queue.empty()) {
            if (generation == m_generation)
                m_draining = false;
            return;
        }
        QByteArray body = std::move(m_queue.front());
        m_queue.pop_front();
        m_eventReply =
            send(body, QString::fromLatin1(NavrelConfiguration::eventsPath), [this, generation](bool) {
                m_eventReply = nullptr;
                drain(generation);
            });
    }

    QNetworkReply* send(const QByteArray& body, const QString& path, std::function<void(bool)> done)
    {
        if (!m_configuration) {
            done(false);
            return nullptr;
        }
        if (!m_manager)
            m_manager = m_session.createManager();
        QNetworkRequest request = m_session.request(m_configuration->url(path));
        request.setHeader(QNetworkRequest::ContentTypeHeader, QByteArray(jsonContentType));
        request.setRawHeader(authorizationHeader, bearerPrefix + m_configuration->key().toUtf8());

        const quint64 serial = ++m_serial;
        std::weak_ptr<Gate> gate = m_gate;
        m_scheduler.after(NavrelSession::resourceTimeout, [gate, serial]() {
            const auto alive = gate.lock();
            if (!alive)
                return;
            std::lock_guard lock(alive->mutex);
            if (Worker* worker = alive->worker)
                QMetaObject::invokeMethod(
                    worker, [worker, serial]() { worker->expire(serial); }, Qt::QueuedConnection);
        });

        QNetworkReply* reply = m_manager->post(request, body);
        reply->setReadBufferSize(maximumReplyBytes);
        m_inFlight.insert(reply, Pending{std::move(done), serial});
        QObject::connect(reply, &QIODevice::readyRead, this, [this, reply]() { discardBody(reply); });
        QObject::connect(reply, &QNetworkReply::finished, this, [this, reply]() { finished(reply); });
        return reply;
    }

    // The body is read only to be thrown away, and only up to the limit.
    void discardBody(QNetworkReply* reply)
    {
        const auto found = m_inFlight.find(reply);
        if (found == m_inFlight.end())
            return;
        found->bodyBytes += reply->skip(reply->bytesAvailable());
        if (found->bodyBytes <= maximumReplyBytes)
            return;
        found->cutOff = true;
        // Ends in finished(), which may run before abort() returns.
        reply->abort();
    }

    void expire(quint64 serial)
    {
        for (auto it = m_inFlight.cbegin(); it != m_inFlight.cend(); ++it) {
            if (it->serial == serial) {
                it.key()->abort();
                return;
            }
        }
    }

    void finished(QNetworkReply* reply)
    {
        const auto found = m_inFlight.find(reply);
        if (found == m_inFlight.end())
            return;
        Pending pending = std::move(*found);
        m_inFlight.erase(found);
        const int status = reply->attribute(QNetworkRequest::HttpStatusCodeAttribute).toInt();
        // A body the server cut short after a 2xx head is still a failure; one the client cut at
        // its limit is not, since only the status counts.
        const bool ended = reply->error() == QNetworkReply::NoError || pending.cutOff;
        const bool accepted = ended && status >= 200 && status <= 299;
        if (isHandshakeFailure(reply->error()))
            m_manager->clearConnectionCache();
        reply->deleteLater();
        pending.done(accepted);
    }

    const std::optional<NavrelConfiguration> m_configuration;
    const AppSignalContext m_context;
    platform::Scheduler& m_scheduler;
    const NavrelSession m_session;
    std::shared_ptr<Gate> m_gate;
    std::unique_ptr<QNetworkAccessManager> m_manager;

    bool m_consent = false;
    bool m_locationConsent = false;
    std::optional<QString> m_installation;
    std::deque<QByteArray> m_queue;
    bool m_draining = false;
    qint64 m_generation = 0;
    QNetworkReply* m_eventReply = nullptr;
    QHash<QNetworkReply*, Pending> m_inFlight;
    quint64 m_serial = 0;
};

NavrelClient::NavrelClient(std::optional<NavrelConfiguration> configuration, AppSignalContext context,
                           platform::Scheduler& scheduler, std::optional<NavrelSession> session)
{
    m_worker = new Worker(std::move(configuration), std::move(context), scheduler,
                          session ? std::move(*session) : NavrelSession());
    m_thread.setObjectName(QStringLiteral("NavrelClient"));
    m_worker->moveToThread(&m_thread);
    m_thread.start();
}

NavrelClient::~NavrelClient()
{
    // Calls already queued run first; then the worker goes on its own thread, with its replies.
    QMetaObject::invokeMethod(
        m_worker,
        [worker = m_worker]() {
            delete worker;
            QThread::currentThread()->quit();
        },
        Qt::QueuedConnection);
    m_thread.wait();
}

void NavrelClient::setConsent(bool consent, std::optional<QString> installationId, bool location, Done done)
{
    QMetaObject::invokeMethod(
        m_worker,
        [worker = m_worker, consent, installationId = std::move(installationId), location,
         done = std::move(done)]() mutable {
            worker->setConsent(consent, std::move(installationId), location);
            if (done)
                done();
        },
        Qt::QueuedConnection);
}

void NavrelClient::event(VelmorEvent event, Done done)
{
    QMetaObject::invokeMethod(
        m_worker,
        [worker = m_worker, event, done = std::move(done)]() {
            worker->enqueueEvent(event);
            if (done)
                done();
        },
        Qt::QueuedConnection);
}

void NavrelClient::feedback(const QString& message, bool bug, std::function<void(bool)> done)
{
    QMetaObject::invokeMethod(
        m_worker,
        [worker = m_worker, message, bug, done = std::move(done)]() mutable {
            worker->feedback(message, bug, [done = std::move(done)](bool accepted) {
                if (done)
                    done(accepted);
            });
        },
        Qt::QueuedConnection);
}

void NavrelClient::pendingCount(std::function<void(int)> done) const
{
    QMetaObject::invokeMethod(
        m_worker, [worker = m_worker, done = std::move(done)]() { done(worker->pendingCount()); },
        Qt::QueuedConnection);
}

} // namespace velmor
