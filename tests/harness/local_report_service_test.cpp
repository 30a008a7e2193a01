#include "harness/local_report_service.h"
#include "support/https_test_server.h"

#include <QSslSocket>
#include <QUrl>

#include <gtest/gtest.h>

namespace velmor {
namespace {

// Sends `request` as a client of this machine would and returns the status the service answers
// with; 0 when it answers nothing.
int statusFor(LocalReportService& service, const QByteArray& request)
{
    QSslSocket socket;
    socket.setSslConfiguration(service.trust());
    socket.connectToHostEncrypted(QStringLiteral("127.0.0.1"), quint16(QUrl(service.endpoint()).port()));
    if (!test::spinUntil([&] { return socket.isEncrypted(); }))
        return 0;
    socket.write(request);
    QByteArray answer;
    test::spinUntil([&] {
        answer += socket.readAll();
        return answer.contains("\r\n\r\n") || socket.state() == QAbstractSocket::UnconnectedState;
    });
    return answer.split(' ').value(1).toInt();
}

QByteArray post(const QByteArray& length, const QByteArray& body = {})
{
    return "POST /v1/feedback HTTP/1.1\r\nHost: 127.0.0.1\r\nContent-Length: " + length + "\r\n\r\n" + body;
}

// Anyone on the machine can reach the service: what a report cannot be is refused, and nothing a
// client announces is trusted (a length past 64 bits once overflowed the count).
TEST(LocalReportService, AnswersReportsAndRefusesWhatNoReportIs)
{
    LocalReportService service(202);
    ASSERT_TRUE(service.isListening());
    const QByteArray largest(LocalReportService::maximumBodyBytes, 'x');
    struct Case {
        const char* name;
        QByteArray request;
        int status;
    };
    const QList<Case> cases{
        {"a report", post("5", "hello"), 202},
        {"the largest body", post(QByteArray::number(largest.size()), largest), 202},
        {"a body too large", post(QByteArray::number(largest.size() + 1)),
         LocalReportService::tooLargeStatus},
        {"a length past 64 bits", post("99999999999999999999999"), LocalReportService::badRequestStatus},
        {"the largest 64-bit length", post("9223372036854775807"), LocalReportService::badRequestStatus},
        {"a negative length", post("-5"), LocalReportService::badRequestStatus},
        {"a head that never ends",
         "POST / HTTP/1.1\r\nX: " + QByteArray(LocalReportService::maximumHeadBytes, 'a'),
         LocalReportService::headTooLargeStatus},
    };
    for (const Case& request : cases)
        EXPECT_EQ(statusFor(service, request.request), request.status) << request.name;
}

} // namespace
} // namespace velmor
