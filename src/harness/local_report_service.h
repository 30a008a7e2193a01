#pragma once

#include <QByteArray>
#include <QHash>
#include <QObject>
#include <QSslCertificate>
#include <QSslConfiguration>
#include <QSslServer>
#include <QString>

namespace velmor {

// A reporting service on 127.0.0.1 inside this process, for pictures of the feedback form in its
// answered states: it answers every request, once the request has arrived whole, with the status
// it was given. Its certificate is made in memory when it starts and is trusted only through the
// configuration `trust()` gives. Any process of this machine can connect, so it is bounded like a
// real server: a head or body larger than a report needs, or a length it cannot read, is answered
// with a refusal and the connection closed; a body is counted, never kept.
class LocalReportService final : public QObject {
    Q_OBJECT

public:
    static constexpr qsizetype maximumHeadBytes = 16 * 1024;
    static constexpr qint64 maximumBodyBytes = 64 * 1024;
    static constexpr int maximumConnections = 16;
    static constexpr int badRequestStatus = 400;
    static constexpr int tooLargeStatus = 413;
    static constexpr int headTooLargeStatus = 431;

    explicit LocalReportService(int status, QObject* parent = nullptr);
    ~LocalReportService() override;

    // False when no certificate could be made or no port opened; the service then answers nothing.
    bool isListening() const { return m_server.isListening(); }
    QString endpoint() const;
    QSslConfiguration trust() const;

private:
    // One request as far as it has arrived: its head until the blank line, then how much of the
    // body is still to come.
    struct Request {
        QByteArray head;
        bool headDone = false;
        qint64 bodyLeft = 0;
    };

    void accepted();
    void read(QSslSocket* socket);
    void answer(QSslSocket* socket, int status);

    int m_status;
    QSslServer m_server;
    QSslCertificate m_certificate;
    QHash<QSslSocket*, Request> m_requests;
};

} // namespace velmor
