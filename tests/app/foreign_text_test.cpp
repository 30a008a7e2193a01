// Text the app did not write — other apps' names and titles, the update feed, anything from a
// scenario — is drawn as it is written: never as markup, never fetching what markup names.

#include "distribution/app_updates.h"
#include "foundation/json.h"
#include "gui_run_fixture.h"
#include "simulated_mac/updater/appcast_text.h"
#include "support/https_test_server.h"
#include "tray/tray_app.h"

#include <QDir>
#include <QDirIterator>
#include <QQmlComponent>
#include <QQmlEngine>
#include <QRegularExpression>
#include <QTcpServer>
#include <QTcpSocket>

using namespace velmor;
using namespace velmor::test;

namespace {

// A plain HTTP server on 127.0.0.1 that never answers and notes the path of every request.
class RequestLog final {
public:
    RequestLog()
    {
        QObject::connect(&m_server, &QTcpServer::newConnection, &m_server, [this] {
            while (QTcpSocket* socket = m_server.nextPendingConnection()) {
                QObject::connect(socket, &QIODevice::readyRead, socket, [this, socket] {
                    if (socket->canReadLine() && socket->property("seen").isNull()) {
                        socket->setProperty("seen", true);
                        m_paths.append(QString::fromLatin1(socket->readLine().split(' ').value(1)));
                    }
                });
            }
        });
        m_server.listen(QHostAddress::LocalHost);
    }

    QString url(const char* path) const
    {
        return QStringLiteral("http://127.0.0.1:%1/%2").arg(m_server.serverPort()).arg(QLatin1String(path));
    }
    const QStringList& paths() const { return m_paths; }

    // Markup as Qt Quick would render it anywhere it may: once a Text that renders markup has
    // fetched its image, whatever the windows were going to fetch has been asked for too.
    bool fetchedByMarkupThatMay()
    {
        QQmlEngine engine;
        QQmlComponent component(&engine);
        component.setData("import QtQuick\nText { textFormat: Text.AutoText }", QUrl());
        std::unique_ptr<QObject> probe(component.create());
        probe->setProperty("text", QStringLiteral("<img src=\"%1\">").arg(url("probe.png")));
        return spinUntil([this] { return m_paths.contains(QStringLiteral("/probe.png")); });
    }

private:
    QTcpServer m_server;
    QStringList m_paths;
};

QString sourceText(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? QString::fromUtf8(file.readAll()) : QString();
}

// The source without comments and with every string emptied, so braces can be counted.
QString withoutCommentsAndStrings(const QString& source)
{
    static const QRegularExpression noise(
        QStringLiteral(R"(//[^\n]*|/\*.*?\*/|"(?:\\.|[^"\\])*"|'(?:\\.|[^'\\])*')"),
        QRegularExpression::DotMatchesEverythingOption);
    QString cleaned = source;
    cleaned.replace(noise, QStringLiteral("\"\""));
    return cleaned;
}

// The block of the element whose "{" is at `open`, and within it only what belongs to the element
// itself (not to the elements it holds).
QString ownLines(const QString& source, qsizetype open)
{
    QString own;
    int depth = 0;
    for (qsizetype i = open; i < source.size(); ++i) {
        const QChar c = source[i];
        depth += c == u'{' ? 1 : c == u'}' ? -1 : 0;
        if (depth == 0)
            break;
        if (depth == 1 && c != u'{')
            own.append(c);
    }
    return own;
}

} // namespace

class ForeignText : public GuiRunTest {
protected:
    static QList<QQuickItem*> texts(QQuickWindow* window)
    {
        QList<QQuickItem*> found;
        for (QQuickItem* item : allItems(window)) {
            if (item->inherits("QQuickText"))
                found.append(item);
        }
        return found;
    }

    // Every text item of the window is plain, and one of them shows `shown` exactly.
    static void expectShownPlain(QQuickWindow* window, const QString& shown)
    {
        ASSERT_NE(window, nullptr);
        bool seen = false;
        for (QQuickItem* text : texts(window)) {
            EXPECT_EQ(text->property("textFormat").toInt(), int(Qt::PlainText))
                << text->property("text").toString().toStdString();
            seen = seen || text->property("text").toString() == shown;
        }
        EXPECT_TRUE(seen) << "nothing shows " << shown.toStdString();
    }
};

// The check the app's QML is held to: a bare Text or Label renders markup, so every one of them
// says it is plain, and no text anywhere is anything else. Every control that draws a title has
// its plain version in the app's style.
TEST_F(ForeignText, EveryTextInTheQmlSourcesIsPlain)
{
    static const QRegularExpression textElement(QStringLiteral(R"((?<![\w.])(?:\w+\.)?(?:Text|Label)\s*\{)"));
    static const QRegularExpression format(QStringLiteral(R"(\btextFormat\s*:\s*([\w.]+))"));
    static const QRegularExpression plain(QStringLiteral(R"(\btextFormat\s*:\s*Text\.PlainText\b)"));
    const QStringList titledControls{
        QStringLiteral("Button"),        QStringLiteral("ToolButton"),     QStringLiteral("RoundButton"),
        QStringLiteral("DelayButton"),   QStringLiteral("TabButton"),      QStringLiteral("MenuItem"),
        QStringLiteral("MenuBarItem"),   QStringLiteral("ItemDelegate"),   QStringLiteral("CheckDelegate"),
        QStringLiteral("RadioDelegate"), QStringLiteral("SwitchDelegate"), QStringLiteral("SwipeDelegate"),
        QStringLiteral("CheckBox"),      QStringLiteral("RadioButton"),    QStringLiteral("Switch"),
        QStringLiteral("ToolTip"),       QStringLiteral("ComboBox"),       QStringLiteral("GroupBox"),
        QStringLiteral("Dialog"),        QStringLiteral("Page"),
    };
    const QDir style(QStringLiteral(VELMOR_SOURCE_DIRECTORY "/src/controls/style"));
    int files = 0;
    QDirIterator sources(QStringLiteral(VELMOR_SOURCE_DIRECTORY "/src"), {QStringLiteral("*.qml")},
                         QDir::Files, QDirIterator::Subdirectories);
    while (sources.hasNext()) {
        const QString path = sources.next();
        ++files;
        SCOPED_TRACE(path.toStdString());
        const QString source = withoutCommentsAndStrings(sourceText(path));
        for (auto match = textElement.globalMatch(source); match.hasNext();) {
            const auto element = match.next();
            const QString own = ownLines(source, element.capturedEnd() - 1);
            EXPECT_TRUE(plain.match(own).hasMatch())
                << "a " << element.captured().toStdString() << " that renders markup, at offset "
                << element.capturedStart();
        }
        for (auto match = format.globalMatch(source); match.hasNext();)
            EXPECT_EQ(match.next().captured(1), QStringLiteral("Text.PlainText"));
        for (const QString& control : titledControls) {
            const QRegularExpression used(QStringLiteral(R"((?<![\w.])%1\s*\{|\b%1\.text\b)").arg(control));
            if (used.match(source).hasMatch()) {
                EXPECT_TRUE(style.exists(control + QStringLiteral(".qml")))
                    << control.toStdString() << " draws its title with Fusion's label, which renders markup";
            }
        }
    }
    EXPECT_GT(files, 40);
}

// Under the app's style every control that draws a title draws it plain.
TEST_F(ForeignText, TheStylesControlsDrawTheirTitlesPlain)
{
    QQmlEngine engine;
    prepareEngine(engine);
    const QString markup = QStringLiteral("<b>Bold</b> &amp; Tom & Jerry");
    for (const char* control : {"Button", "ToolButton", "MenuItem", "ItemDelegate", "CheckBox", "RadioButton",
                                "Switch", "ToolTip"}) {
        SCOPED_TRACE(control);
        QQmlComponent component(&engine);
        component.setData(QStringLiteral("import QtQuick\nimport QtQuick.Controls\n%1 {}")
                              .arg(QLatin1String(control))
                              .toUtf8(),
                          QUrl());
        std::unique_ptr<QObject> object(component.create());
        ASSERT_TRUE(object) << component.errorString().toStdString();
        object->setProperty("text", markup);
        auto* content = qvariant_cast<QQuickItem*>(object->property("contentItem"));
        ASSERT_NE(content, nullptr);
        QList<QQuickItem*> items{content};
        int shown = 0;
        for (qsizetype i = 0; i < items.size(); ++i) {
            items += items[i]->childItems();
            if (!items[i]->inherits("QQuickText"))
                continue;
            EXPECT_EQ(items[i]->property("textFormat").toInt(), int(Qt::PlainText));
            shown += items[i]->property("text").toString() == markup ? 1 : 0;
        }
        EXPECT_EQ(shown, 1);
    }
}

// An app named in markup, with an item titled in markup: the organizer and the menu bar show the
// names as written, and nothing they name is fetched.
TEST_F(ForeignText, MarkupInOtherAppsNamesAndTitlesIsShownAsWrittenAndFetchesNothing)
{
    RequestLog log;
    const QString name =
        QStringLiteral("<img src=\"%1\"><font color=red size=6>Evil</font> & Co").arg(log.url("name.png"));
    const QString title = QStringLiteral("<img src=\"%1\"><b>Bold</b>").arg(log.url("title.png"));
    Json scenario = Json::parse(R"({ "apps": [ { "bundleID": "com.example.evil", "extras": [ { "width": 60,
        "position": 300 } ] } ] })");
    scenario["apps"][0]["name"] = json::toStd(name);
    scenario["apps"][0]["extras"][0]["title"] = json::toStd(title);
    scenario["apps"][0]["extras"][0]["description"] = json::toStd(title);
    start(json::serialize(scenario));
    launch();
    settle(2);
    settingsWindow()->grabWindow();
    macWindow()->grabWindow();

    expectShownPlain(settingsWindow(), name);
    expectShownPlain(macWindow(), title);
    ASSERT_TRUE(log.fetchedByMarkupThatMay());
    EXPECT_EQ(log.paths().join(u' ').toStdString(), "/probe.png");
}

// The update feed names the release's display version; the framework's dialog shows it as written.
TEST_F(ForeignText, TheUpdateDialogShowsAMarkupDisplayVersionAsWritten)
{
    RequestLog log;
    HttpsTestServer feed;
    ASSERT_TRUE(feed.isListening());
    const QString version = QStringLiteral("<b>1.5</b><img src=\"%1\">").arg(log.url("version.png"));
    feed.setContent("/appcast.xml", appcastText({{QStringLiteral("58"),
                                                  version,
                                                  {},
                                                  feed.url(QStringLiteral("/archive.zip")),
                                                  QStringLiteral("1000"),
                                                  QString::fromLatin1(QByteArray(64, 's').toBase64())}}));
    start();
    platform::MainBundle& bundle = run().host().configuration().mainBundle;
    bundle.setInfoValue(QStringLiteral("SUFeedURL"), feed.url(QStringLiteral("/appcast.xml")));
    bundle.setInfoValue(QStringLiteral("SUPublicEDKey"), QString::fromLatin1(QByteArray(32, 'k').toBase64()));
    run().setUpdateTrust(feed.clientTls());
    launch();
    ASSERT_TRUE(run().app().updates().available());

    run().app().updates().check();
    ASSERT_TRUE(spinUntil([this] { return run().updaterAlert() && run().updaterAlert()->shown(); },
                          [this] { run().scheduler().runUntilIdle(); }));
    const QString text = run().updaterAlert()->text();
    ASSERT_TRUE(text.contains(version));
    settle();
    macWindow()->grabWindow();
    expectShownPlain(macWindow(), text);
    ASSERT_TRUE(log.fetchedByMarkupThatMay());
    EXPECT_EQ(log.paths().join(u' ').toStdString(), "/probe.png");
}
