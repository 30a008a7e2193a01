#include "harness/local_report_service.h"

#include <QHostAddress>
#include <QSslKey>
#include <QSslSocket>
#include <openssl/evp.h>
#include <openssl/pem.h>
#include <openssl/x509.h>
#include <openssl/x509v3.h>

#include <algorithm>
#include <memory>
#include <optional>

namespace velmor {
namespace {

constexpr const char* host = "127.0.0.1";
constexpr int validSeconds = 3600;
constexpr QByteArrayView headEnd = "\r\n\r\n";
constexpr QByteArrayView contentLengthField = "content-length:";

template <typename T, void (*Free)(T*)> struct Deleter {
    void operator()(T* value) const { Free(value); }
};
using Key = std::unique_ptr<EVP_PKEY, Deleter<EVP_PKEY, EVP_PKEY_free>>;
using Certificate = std::unique_ptr<X509, Deleter<X509, X509_free>>;
using Memory = std::unique_ptr<BIO, Deleter<BIO, BIO_free_all>>;
using Extension = std::unique_ptr<X509_EXTENSION, Deleter<X509_EXTENSION, X509_EXTENSION_free>>;

QByteArray contents(BIO* bio)
{
    char* data = nullptr;
    const long size = BIO_get_mem_data(bio, &data);
    return size > 0 ? QByteArray(data, size) : QByteArray();
}

bool addExtension(X509* certificate, int nid, const char* value)
{
    const Extension extension(X509V3_EXT_conf_nid(nullptr, nullptr, nid, value));
    return extension && X509_add_ext(certificate, extension.get(), -1) == 1;
}

// A self-signed certificate for 127.0.0.1 and its key, both as PEM; empty when anything failed.
std::pair<QByteArray, QByteArray> makeCertificate()
{
    const Key key(EVP_EC_gen("P-256"));
    const Certificate certificate(X509_new());
    if (!key || !certificate)
        return {};
    X509* x509 = certificate.get();
    X509_NAME* name = X509_get_subject_name(x509);
    const auto* commonName = reinterpret_cast<const unsigned char*>(host);
    if (X509_set_version(x509, 2) != 1 || ASN1_INTEGER_set(X509_get_serialNumber(x509), 1) != 1 ||
        !X509_gmtime_adj(X509_getm_notBefore(x509), -60) ||
        !X509_gmtime_adj(X509_getm_notAfter(x509), validSeconds) || X509_set_pubkey(x509, key.get()) != 1 ||
        X509_NAME_add_entry_by_txt(name, "CN", MBSTRING_ASC, commonName, -1, -1, 0) != 1 ||
        X509_set_issuer_name(x509, name) != 1 ||
        !addExtension(x509, NID_basic_constraints, "critical,CA:TRUE") ||
        !addExtension(x509, NID_subject_alt_name, "IP:127.0.0.1") ||
        X509_sign(x509, key.get(), EVP_sha256()) == 0)
        return {};
    const Memory certificatePem(BIO_new(BIO_s_mem()));
    const Memory keyPem(BIO_new(BIO_s_mem()));
    if (!certificatePem || !keyPem || PEM_write_bio_X509(certificatePem.get(), x509) != 1 ||
        PEM_write_bio_PrivateKey(keyPem.get(), key.get(), nullptr, nullptr, 0, nullptr, nullptr) != 1)
        return {};
    return {contents(certificatePem.get()), contents(keyPem.get())};
}

// How many bytes of body the head announces: zero without a length, absent for one that is not a
// plain decimal number of at most `maximumDigits` digits (so it never overflows).
std::optional<qint64> announcedLength(QByteArrayView head)
{
    constexpr qsizetype maximumDigits = 15;
    for (const QByteArray& line : head.toByteArray().split('\n')) {
        const QByteArray field = line.trimmed().toLower();
        if (!field.startsWith(contentLengthField))
            continue;
        const QByteArray digits = field.mid(contentLengthField.size()).trimmed();
        if (digits.isEmpty() || digits.size() > maximumDigits)
            return std::nullopt;
        qint64 length = 0;
        for (const char c : digits) {
            if (c < '0' || c > '9')
                return std::nullopt;
            length = length * 10 + (c - '0');
        }
        return length;
    }
    return 0;
}

} // namespace

LocalReportService::LocalReportService(int status, QObject* parent) : QObject(parent), m_status(status)
{
    const auto [certificatePem, keyPem] = makeCertificate();
    if (certificatePem.isEmpty())
        return;
    m_certificate = QSslCertificate(certificatePem, QSsl::Pem);
    QSslConfiguration configuration = QSslConfiguration::defaultConfiguration();
    configuration.setLocalCertificate(m_certificate);
    configuration.setPrivateKey(QSslKey(keyPem, QSsl::Ec, QSsl::Pem));
    configuration.setPeerVerifyMode(QSslSocket::VerifyNone);
    m_server.setSslConfiguration(configuration);
    connect(&m_server, &QSslServer::pendingConnectionAvailable, this, &LocalReportService::accepted);
    m_server.listen(QHostAddress(QString::fromLatin1(host)), 0);
}

LocalReportService::~LocalReportService()
{
    m_server.close();
}

QString LocalReportService::endpoint() const
{
    return QStringLiteral("https://%1:%2/").arg(QString::fromLatin1(host)).arg(m_server.serverPort());
}

QSslConfiguration LocalReportService::trust() const
{
    QSslConfiguration configuration = QSslConfiguration::defaultConfiguration();
    configuration.setCaCertificates({m_certificate});
    return configuration;
}

void LocalReportService::accepted()
{
    while (auto* socket = qobject_cast<QSslSocket*>(m_server.nextPendingConnection())) {
        socket->setParent(this);
        if (m_requests.size() >= maximumConnections) {
            socket->abort();
            socket->deleteLater();
            continue;
        }
        m_requests.insert(socket, Request{});
        connect(socket, &QSslSocket::readyRead, this, [this, socket] { read(socket); });
        connect(socket, &QSslSocket::disconnected, this, [this, socket] {
            m_requests.remove(socket);
            socket->deleteLater();
        });
    }
}

void LocalReportService::read(QSslSocket* socket)
{
    const auto found = m_requests.find(socket);
    if (found == m_requests.end()) {
        socket->skip(socket->bytesAvailable());
        return;
    }
    Request& request = *found;
    while (!request.headDone && socket->bytesAvailable() > 0) {
        // Only the new bytes (and the three before them) can complete the blank line.
        const qsizetype from = std::max<qsizetype>(0, request.head.size() - (headEnd.size() - 1));
        request.head += socket->read(maximumHeadBytes + 1 - request.head.size());
        const qsizetype end = request.head.indexOf(headEnd, from);
        // The blank line counts: a head that ends one byte past the limit is as much too large as
        // one that never ends.
        if (end < 0 ? request.head.size() > maximumHeadBytes : end + headEnd.size() > maximumHeadBytes)
            return answer(socket, headTooLargeStatus);
        if (end < 0)
            continue;
        const std::optional<qint64> length = announcedLength(QByteArrayView(request.head).first(end));
        if (!length)
            return answer(socket, badRequestStatus);
        if (*length > maximumBodyBytes)
            return answer(socket, tooLargeStatus);
        request.headDone = true;
        request.bodyLeft = *length - (request.head.size() - end - headEnd.size());
        request.head.clear();
    }
    if (!request.headDone)
        return;
    if (request.bodyLeft > 0)
        request.bodyLeft -= socket->skip(std::min(request.bodyLeft, socket->bytesAvailable()));
    if (request.bodyLeft <= 0)
        answer(socket, m_status);
}

void LocalReportService::answer(QSslSocket* socket, int status)
{
    m_requests.remove(socket);
    socket->write(QStringLiteral("HTTP/1.1 %1 Answered\r\nContent-Length: 0\r\nConnection: close\r\n\r\n")
                      .arg(status)
                      .toLatin1());
    socket->disconnectFromHost();
}

} // namespace velmor
