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
// configuration `trust()` gives; nothing outside this process can reach it.
class LocalReportService final : public QObject {
    Q_OBJECT

public:
    explicit LocalReportService(int status, QObject* parent = nullptr);
    ~LocalReportService() override;

    // False when no certificate could be made or no port opened; the service then answers nothing.
    bool isListening() const { return m_server.isListening(); }
    QString endpoint() const;
    QSslConfiguration trust() const;

private:
    void accepted();
    void read(QSslSocket* socket);

    int m_status;
    QSslServer m_server;
    QSslCertificate m_certificate;
    QHash<QSslSocket*, QByteArray> m_requests;
};

} // namespace velmor
