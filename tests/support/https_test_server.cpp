#include "support/https_test_server.h"

#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

#include <memory>

namespace velmor::test {
namespace {

constexpr int ioLimitMilliseconds = 20000;
constexpr qsizetype endlessChunk = 64 * 1024;
// Small enough that a client reading as it arrives never sees a limit's worth of it at once.
constexpr qsizetype trickleChunk = 256;
constexpr int trickleIntervalMilliseconds = 5;
constexpr char unsizedHead[] = "HTTP/1.1 200 OK\r\nConnection: close\r\n\r\n";

bool runOpenssl(const QString& folder, const QStringList& arguments)
{
    QProcess process;
    process.setWorkingDirectory(folder);
    process.setProcessChannelMode(QProcess::MergedChannels);
    process.start(QStringLiteral("openssl"), arguments);
    return process.waitForFinished(30000) && process.exitStatus() == QProcess::NormalExit &&
           process.exitCode() == 0;
}

QByteArray readFile(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

std::unique_ptr<TestCertificates> makeCertificates()
{
    QTemporaryDir folder;
    if (!folder.isValid())
        return nullptr;
    const QString dir = folder.path();
    QFile extensions(folder.filePath(QStringLiteral("server.ext")));
    if (!extensions.open(QIODevice::WriteOnly))
        return nullptr;
    extensions.write("subjectAltName=IP:127.0.0.1\nbasicConstraints=CA:FALSE\n"
                     "keyUsage=critical,digitalSignature\nextendedKeyUsage=serverAuth\n");
    extensions.close();

    const QStringList curve{QStringLiteral("-newkey"), QStringLiteral("ec"), QStringLiteral("-pkeyopt"),
                            QStringLiteral("ec_paramgen_curve:prime256v1"), QStringLiteral("-nodes")};
    const bool made =
        runOpenssl(dir,
                   QStringList{QStringLiteral("req"), QStringLiteral("-x509")} + curve +
                       QStringList{QStringLiteral("-keyout"), QStringLiteral("ca.key"),
                                   QStringLiteral("-out"), QStringLiteral("ca.pem"), QStringLiteral("-days"),
                                   QStringLiteral("2"), QStringLiteral("-subj"),
                                   QStringLiteral("/CN=Velmor Test Authority"), QStringLiteral("-addext"),
                                   QStringLiteral("basicConstraints=critical,CA:TRUE"),
                                   QStringLiteral("-addext"),
                                   QStringLiteral("keyUsage=critical,keyCertSign,cRLSign")}) &&
        runOpenssl(dir, QStringList{QStringLiteral("req")} + curve +
                            QStringList{QStringLiteral("-keyout"), QStringLiteral("server.key"),
                                        QStringLiteral("-out"), QStringLiteral("server.csr"),
                                        QStringLiteral("-subj"), QStringLiteral("/CN=127.0.0.1")}) &&
        runOpenssl(dir,
                   QStringList{QStringLiteral("x509"), QStringLiteral("-req"), QStringLiteral("-in"),
                               QStringLiteral("server.csr"), QStringLiteral("-CA"), QStringLiteral("ca.pem"),
                               QStringLiteral("-CAkey"), QStringLiteral("ca.key"),
                               QStringLiteral("-set_serial"), QStringLiteral("2"), QStringLiteral("-days"),
                               QStringLiteral("2"), QStringLiteral("-extfile"), QStringLiteral("server.ext"),
                               QStringLiteral("-out"), QStringLiteral("server.pem")});
    if (!made)
        return nullptr;
    auto certificates = std::make_unique<TestCertificates>();
    certificates->authority = QSslCertificate(readFile(folder.filePath(QStringLiteral("ca.pem"))));
    certificates->server = QSslCertificate(readFile(folder.filePath(QStringLiteral("server.pem"))));
    certificates->serverKey = QSslKey(readFile(folder.filePath(QStringLiteral("server.key"))), QSsl::Ec);
    if (certificates->authority.isNull() || certificates->server.isNull() || certificates->serverKey.isNull())
        return nullptr;
    return certificates;
}

QByteArray head(int status, const QByteArray& reason, const QByteArray& extra = {}, int length = 0)
{
    return "HTTP/1.1 " + QByteArray::number(status) + ' ' + reason + "\r\n" + extra +
           "Content-Length: " + QByteArray::number(length) + "\r\n\r\n";
}

} // namespace

const TestCertificates* TestCertificates::shared()
{
    static const std::unique_ptr<TestCertificates> certificates = makeCertificates();
    return certificates.get();
}

std::optional<QByteArray> ReceivedRequest::header(const QByteArray& name) const
{
    for (const auto& [key, value] : headers) {
        if (key.compare(name, Qt::CaseInsensitive) == 0)
            return value;
    }
    return std::nullopt;
}

int ReceivedRequest::headerCount(const QByteArray& name) const
{
    int count = 0;
    for (const auto& entry : headers)
        count += entry.first.compare(name, Qt::CaseInsensitive) == 0 ? 1 : 0;
    return count;
}

Json ReceivedRequest::json() const
{
    return json::tryParse(body).value_or(Json());
}

HttpsTestServer::HttpsTestServer()
{
    const TestCertificates* certificates = TestCertificates::shared();
    if (!certificates)
        return;
    QSslConfiguration tls = QSslConfiguration::defaultConfiguration();
    tls.setLocalCertificate(certificates->server);
    tls.setPrivateKey(certificates->serverKey);
    tls.setPeerVerifyMode(QSslSocket::VerifyNone);
    m_server.setSslConfiguration(tls);
    QObject::connect(&m_server, &QTcpServer::pendingConnectionAvailable, &m_server, [this]() { accept(); });
    m_trickle.setInterval(trickleIntervalMilliseconds);
    QObject::connect(&m_trickle, &QTimer::timeout, &m_server, [this]() { trickleMore(); });
    m_server.listen(QHostAddress::LocalHost, 0);
}

HttpsTestServer::~HttpsTestServer()
{
    m_trickle.stop();
    for (auto it = m_connections.cbegin(); it != m_connections.cend(); ++it) {
        QObject::disconnect(it.key(), nullptr, &m_server, nullptr);
        it.key()->abort();
        it.key()->deleteLater();
    }
    m_server.close();
}

QString HttpsTestServer::url(const QString& path) const
{
    return QStringLiteral("https://127.0.0.1:%1%2").arg(m_server.serverPort()).arg(path);
}

QSslConfiguration HttpsTestServer::clientTls() const
{
    QSslConfiguration tls = QSslConfiguration::defaultConfiguration();
    if (const TestCertificates* certificates = TestCertificates::shared())
        tls.addCaCertificate(certificates->authority);
    return tls;
}

void HttpsTestServer::accept()
{
    while (QTcpSocket* next = m_server.nextPendingConnection()) {
        auto* socket = qobject_cast<QSslSocket*>(next);
        if (!socket) {
            next->deleteLater();
            continue;
        }
        m_connections.insert(socket, Connection{});
        QObject::connect(socket, &QIODevice::readyRead, &m_server, [this, socket]() { read(socket); });
        QObject::connect(socket, &QSslSocket::encryptedBytesWritten, &m_server,
                         [this, socket]() { sendMore(socket); });
        QObject::connect(socket, &QAbstractSocket::disconnected, &m_server, [this, socket]() {
            const auto found = m_connections.find(socket);
            if (found != m_connections.end()) {
                m_clientAborts += found->holding ? 1 : 0;
                m_connections.erase(found);
            }
            socket->deleteLater();
        });
        if (socket->bytesAvailable() > 0)
            read(socket);
    }
}

void HttpsTestServer::read(QSslSocket* socket)
{
    const auto found = m_connections.find(socket);
    if (found == m_connections.end())
        return;
    found->buffer += socket->readAll();
    for (;;) {
        QByteArray& buffer = m_connections[socket].buffer;
        const qsizetype end = buffer.indexOf("\r\n\r\n");
        if (end < 0)
            return;
        const QList<QByteArray> lines = buffer.left(end).split('\n');
        ReceivedRequest request;
        const QList<QByteArray> requestLine = lines.value(0).trimmed().split(' ');
        request.method = requestLine.value(0);
        request.target = requestLine.value(1);
        qsizetype length = 0;
        for (qsizetype i = 1; i < lines.size(); ++i) {
            const qsizetype colon = lines[i].indexOf(':');
            if (colon <= 0)
                continue;
            const QByteArray name = lines[i].left(colon).trimmed();
            const QByteArray value = lines[i].mid(colon + 1).trimmed();
            request.headers.append({name, value});
            if (name.compare("Content-Length", Qt::CaseInsensitive) == 0)
                length = value.toLongLong();
        }
        if (buffer.size() < end + 4 + length)
            return;
        request.body = buffer.mid(end + 4, length);
        buffer.remove(0, end + 4 + length);

        m_requests.append(request);
        if (m_observer)
            m_observer(request);
        Answer answer = Answer::ok;
        if (request.target == notFoundTarget)
            answer = Answer::notFound;
        else if (m_responder)
            answer = m_responder(request);
        respond(socket, answer, request.target);
        if (answer == Answer::dropConnection || answer == Answer::truncatedContent ||
            answer == Answer::unsizedContent || !m_connections.contains(socket))
            return;
    }
}

void HttpsTestServer::respond(QSslSocket* socket, Answer answer, const QByteArray& target)
{
    const QByteArray content = m_contents.value(target);
    switch (answer) {
    case Answer::ok:
        socket->write(head(200, "OK", "Set-Cookie: session=kept; Path=/\r\n", int(content.size())) + content);
        return;
    case Answer::truncatedContent:
        socket->write(head(200, "OK", {}, int(content.size())) + content.left(content.size() / 2));
        socket->flush();
        m_connections.remove(socket);
        socket->disconnectFromHost();
        return;
    case Answer::notFound:
        socket->write(head(404, "Not Found"));
        return;
    case Answer::serverError:
        socket->write(head(500, "Internal Server Error"));
        return;
    case Answer::redirectToNotFound:
        socket->write(head(302, "Found", "Location: " + QByteArray(notFoundTarget) + "\r\n"));
        return;
    case Answer::slowBody:
        socket->write(head(200, "OK", {}, 1000) + "partial");
        return;
    case Answer::dropConnection:
        m_connections.remove(socket);
        socket->abort();
        socket->deleteLater();
        return;
    case Answer::hold:
        m_connections[socket].holding = true;
        m_held.append(socket);
        return;
    case Answer::drip:
        socket->write(head(200, "OK", {}, int(content.size())) + content.left(1));
        return;
    case Answer::endlessBody:
    case Answer::unsizedEndlessBody:
        socket->write(answer == Answer::endlessBody ? "HTTP/1.1 200 OK\r\nContent-Length: 1000000000000\r\n\r\n"
                                                    : unsizedHead);
        m_connections[socket].endless = true;
        sendMore(socket);
        return;
    case Answer::trickle:
        socket->write("HTTP/1.1 200 OK\r\nContent-Length: 1000000000000\r\n\r\n");
        m_connections[socket].trickle = true;
        m_trickle.start();
        return;
    case Answer::unsizedContent:
        socket->write(QByteArray(unsizedHead) + content);
        socket->flush();
        m_connections.remove(socket);
        socket->disconnectFromHost();
        return;
    case Answer::contentThenStall:
        socket->write(head(200, "OK", {}, int(content.size()) + 1) + content);
        return;
    }
}

void HttpsTestServer::sendMore(QSslSocket* socket)
{
    const auto found = m_connections.find(socket);
    if (found == m_connections.end() || !found->endless ||
        socket->bytesToWrite() + socket->encryptedBytesToWrite() > endlessChunk)
        return;
    m_endlessBytes += socket->write(QByteArray(endlessChunk, 'x'));
}

void HttpsTestServer::trickleMore()
{
    bool any = false;
    for (auto it = m_connections.cbegin(); it != m_connections.cend(); ++it) {
        if (it->trickle) {
            any = true;
            m_endlessBytes += it.key()->write(QByteArray(trickleChunk, 'x'));
        }
    }
    if (!any)
        m_trickle.stop();
}

bool HttpsTestServer::endlessGoesOn() const
{
    for (auto it = m_connections.cbegin(); it != m_connections.cend(); ++it) {
        if (it->endless || it->trickle)
            return true;
    }
    return false;
}

bool HttpsTestServer::waitForRequests(qsizetype count, const std::function<void()>& pump)
{
    return spinUntil([this, count]() { return m_requests.size() >= count; }, pump);
}

int HttpsTestServer::heldCount() const
{
    int count = 0;
    for (const auto& socket : m_held)
        count += socket && m_connections.value(socket.data()).holding ? 1 : 0;
    return count;
}

void HttpsTestServer::releaseHeld(Answer answer)
{
    const auto held = std::exchange(m_held, {});
    for (const auto& socket : held) {
        if (!socket || !m_connections.contains(socket.data()))
            continue;
        m_connections[socket.data()].holding = false;
        respond(socket.data(), answer);
    }
}

bool spinUntil(const std::function<bool()>& condition, const std::function<void()>& pump)
{
    return QTest::qWaitFor(
        [&]() {
            if (pump)
                pump();
            return condition();
        },
        ioLimitMilliseconds);
}

} // namespace velmor::test
