#include "harness/local_report_service.h"
#include "support/https_test_server.h"

#include <QSslSocket>
#include <QTest>
#include <QUrl>

#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <vector>

namespace velmor {
namespace {

// What reportStatusFor gives when an answer came before the client had sent its whole request.
constexpr int answeredEarly = -1;

std::unique_ptr<QSslSocket> reportClient(LocalReportService& service)
{
    auto socket = std::make_unique<QSslSocket>();
    socket->setSslConfiguration(service.trust());
    socket->connectToHostEncrypted(QStringLiteral("127.0.0.1"), quint16(QUrl(service.endpoint()).port()));
    return socket;
}

int answeredStatus(const QByteArray& answer)
{
    return answer.split(' ').value(1).toInt();
}

// Sends a request in `pieces` as a client of this machine would, pausing between them, and returns
// the status the service answers with; 0 when it answers nothing.
int reportStatusFor(LocalReportService& service, const QList<QByteArray>& pieces)
{
    const auto socket = reportClient(service);
    if (!test::spinUntil([&] { return socket->isEncrypted(); }))
        return 0;
    QByteArray answer;
    for (qsizetype i = 0; i < pieces.size(); ++i) {
        if (i > 0) {
            // Long enough for the service to take in what came so far; it must not answer yet.
            if (QTest::qWaitFor(
                    [&] {
                        return socket->bytesAvailable() > 0 ||
                               socket->state() == QAbstractSocket::UnconnectedState;
                    },
                    100))
                return answeredEarly;
        }
        socket->write(pieces[i]);
    }
    test::spinUntil([&] {
        answer += socket->readAll();
        return answer.contains("\r\n\r\n") || socket->state() == QAbstractSocket::UnconnectedState;
    });
    return answeredStatus(answer);
}

QByteArray reportPost(const QByteArray& length, const QByteArray& body = {})
{
    return "POST /v1/feedback HTTP/1.1\r\nHost: 127.0.0.1\r\nContent-Length: " + length + "\r\n\r\n" + body;
}

// A request whose head, its blank line included, is `size` bytes long.
QByteArray headOfSize(qsizetype size)
{
    const QByteArray start = "POST /v1/feedback HTTP/1.1\r\nX-Padding: ";
    const QByteArray end = "\r\n\r\n";
    return start + QByteArray(size - start.size() - end.size(), 'a') + end;
}

// Anyone on the machine can reach the service: what a report cannot be is refused, and nothing a
// client announces is trusted (a length past 64 bits once overflowed the count). A body that comes
// in pieces, its head's blank line split across two of them, is answered once it is whole.
TEST(LocalReportService, AnswersReportsAndRefusesWhatNoReportIs)
{
    LocalReportService service(202);
    ASSERT_TRUE(service.isListening());
    const QByteArray largest(LocalReportService::maximumBodyBytes, 'x');
    const QByteArray head = reportPost("12");
    struct Case {
        const char* name;
        QList<QByteArray> pieces;
        int status;
    };
    const QList<Case> cases{
        {"a report", {reportPost("5", "hello")}, 202},
        {"a report in pieces", {head.chopped(1), head.right(1) + "hello", ", wor", "ld"}, 202},
        {"the largest body", {reportPost(QByteArray::number(largest.size()), largest)}, 202},
        {"a body too large",
         {reportPost(QByteArray::number(largest.size() + 1))},
         LocalReportService::tooLargeStatus},
        {"a length past 64 bits",
         {reportPost("99999999999999999999999")},
         LocalReportService::badRequestStatus},
        {"the largest 64-bit length",
         {reportPost("9223372036854775807")},
         LocalReportService::badRequestStatus},
        {"a negative length", {reportPost("-5")}, LocalReportService::badRequestStatus},
        {"the largest head", {headOfSize(LocalReportService::maximumHeadBytes)}, 202},
        {"a head one byte too large", {headOfSize(LocalReportService::maximumHeadBytes + 1)},
         LocalReportService::headTooLargeStatus},
        {"a head that never ends",
         {"POST / HTTP/1.1\r\nX: " + QByteArray(LocalReportService::maximumHeadBytes, 'a')},
         LocalReportService::headTooLargeStatus},
    };
    for (const Case& request : cases)
        EXPECT_EQ(reportStatusFor(service, request.pieces), request.status) << request.name;
}

// Connections beyond the limit are closed unanswered as they come in; the ones within it are
// answered, and once they are, the service takes new ones again.
TEST(LocalReportService, ClosesConnectionsBeyondItsLimitUnanswered)
{
    LocalReportService service(202);
    ASSERT_TRUE(service.isListening());
    std::vector<std::unique_ptr<QSslSocket>> clients;
    for (int i = 0; i < LocalReportService::maximumConnections + 1; ++i)
        clients.push_back(reportClient(service));
    const auto closed = [&] {
        return std::count_if(clients.cbegin(), clients.cend(), [](const auto& client) {
            return client->state() == QAbstractSocket::UnconnectedState;
        });
    };
    // None sends anything until one was turned away, so all the others hold a place.
    ASSERT_TRUE(test::spinUntil([&] {
        return closed() > 0 && std::all_of(clients.cbegin(), clients.cend(), [](const auto& client) {
                   return client->isEncrypted() || client->state() == QAbstractSocket::UnconnectedState;
               });
    })) << "no connection was turned away";
    std::vector<QByteArray> answers(clients.size());
    for (const auto& client : clients) {
        if (client->state() != QAbstractSocket::UnconnectedState)
            client->write(reportPost("5", "hello"));
    }
    test::spinUntil([&] {
        bool all = true;
        for (std::size_t i = 0; i < clients.size(); ++i) {
            answers[i] += clients[i]->readAll();
            all = all && (answers[i].contains("\r\n\r\n") ||
                          clients[i]->state() == QAbstractSocket::UnconnectedState);
        }
        return all;
    });
    int answered = 0;
    int unanswered = 0;
    for (const QByteArray& answer : answers) {
        answered += answeredStatus(answer) == 202 ? 1 : 0;
        unanswered += answer.isEmpty() ? 1 : 0;
    }
    EXPECT_EQ(answered, LocalReportService::maximumConnections);
    EXPECT_EQ(unanswered, 1);
    EXPECT_EQ(reportStatusFor(service, {reportPost("5", "hello")}), 202);
}

} // namespace
} // namespace velmor
