#pragma once

#include "foundation/json.h"

#include <QByteArray>
#include <QHash>
#include <QList>
#include <QPointer>
#include <QSslCertificate>
#include <QSslConfiguration>
#include <QSslKey>
#include <QSslServer>
#include <QSslSocket>
#include <QTimer>
#include <QString>

#include <functional>
#include <optional>

namespace velmor::test {

// A test certificate authority and a certificate for 127.0.0.1 that it signed, made once per
// process with the openssl tool into a temporary folder.
struct TestCertificates {
    QSslCertificate authority;
    QSslCertificate server;
    QSslKey serverKey;

    // Null when openssl failed.
    static const TestCertificates* shared();
};

// One request as it arrived.
struct ReceivedRequest {
    QByteArray method;
    QByteArray target;
    QList<std::pair<QByteArray, QByteArray>> headers;
    QByteArray body;

    // The first value of a header, the name compared without case; absent when missing.
    std::optional<QByteArray> header(const QByteArray& name) const;
    int headerCount(const QByteArray& name) const;
    Json json() const;
};

// An HTTPS/1.1 server on 127.0.0.1 inside the test process, on the thread that creates it. It
// records every request and answers as the responder decides.
class HttpsTestServer final {
public:
    enum class Answer {
        ok,
        notFound,
        serverError,
        redirectToNotFound, // a 302 to a path that then answers 404
        slowBody,           // a 200 head and part of the body, then nothing
        dropConnection,     // the connection is closed without an answer
        hold,               // no answer until releaseHeld()
        truncatedContent,   // the head and half of the content set for the target, then the connection closes
        drip,               // the head of the content set for the target and its first byte, then nothing
        endlessBody,        // a 200 head and a body that never ends, sent as fast as the client takes it
        unsizedEndlessBody, // the same without a length: the body ends only when the connection does
        trickle,            // a 200 head and a body that never ends, in small pieces far apart
        unsizedContent,     // a 200 head without a length, the content set for the target, then the close
        contentThenStall,   // a head one byte longer than the content set for the target, the content, then nothing
    };
    using Responder = std::function<Answer(const ReceivedRequest&)>;

    static constexpr auto notFoundTarget = "/gone";

    HttpsTestServer();
    ~HttpsTestServer();

    bool isListening() const { return m_server.isListening(); }
    QString url(const QString& path = QString()) const;
    // What a client needs to trust this server: the system's roots plus the test authority.
    QSslConfiguration clientTls() const;

    void setResponder(Responder responder) { m_responder = std::move(responder); }
    // Called as each request arrives.
    void setObserver(std::function<void(const ReceivedRequest&)> observer)
    {
        m_observer = std::move(observer);
    }

    // What `ok` (and `truncatedContent`) answers for a request target; without content, `ok` has
    // an empty body.
    void setContent(const QByteArray& target, const QByteArray& body) { m_contents.insert(target, body); }

    const QList<ReceivedRequest>& requests() const { return m_requests; }
    // Spins the event loop (and `pump` between turns) until `count` requests have arrived; gives
    // up after a generous real-time limit, since this waits for network I/O.
    bool waitForRequests(qsizetype count, const std::function<void()>& pump = {});

    int heldCount() const;
    void releaseHeld(Answer answer = Answer::ok);
    // Connections the client closed while their request was held.
    int clientAborts() const { return m_clientAborts; }
    // What the endless and trickling answers sent, and whether such an answer still goes on.
    qint64 endlessBytes() const { return m_endlessBytes; }
    bool endlessGoesOn() const;

private:
    struct Connection {
        QByteArray buffer;
        bool holding = false;
        bool endless = false;
        bool trickle = false;
    };

    void accept();
    void read(QSslSocket* socket);
    void respond(QSslSocket* socket, Answer answer, const QByteArray& target = {});
    void sendMore(QSslSocket* socket);
    void trickleMore();

    QSslServer m_server;
    Responder m_responder;
    std::function<void(const ReceivedRequest&)> m_observer;
    QHash<QSslSocket*, Connection> m_connections;
    QList<QPointer<QSslSocket>> m_held;
    QList<ReceivedRequest> m_requests;
    QHash<QByteArray, QByteArray> m_contents;
    QTimer m_trickle;
    int m_clientAborts = 0;
    qint64 m_endlessBytes = 0;
};

// Spins the event loop (and `pump` between turns) until `condition` holds or a generous real-time
// limit for I/O has passed.
bool spinUntil(const std::function<bool()>& condition, const std::function<void()>& pump = {});

} // namespace velmor::test
