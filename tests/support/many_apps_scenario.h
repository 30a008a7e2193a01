#pragma once

#include <QByteArray>
#include <QString>

namespace velmor::simulated_mac::testing {

// A scenario of `count` apps "com.example.app000"… (process identifiers from 1000), each with
// `extras` identified extras ("Item-N", title "TN", identifier "xN", one point wide);
// `appOptions` is spliced into every app's members after its "pid".
inline QByteArray manyAppsScenario(int count, int extras, const char* appOptions = "")
{
    QByteArray apps;
    for (int a = 0; a < count; ++a) {
        QByteArray list;
        for (int e = 0; e < extras; ++e)
            list += QStringLiteral(R"(%1{"name":"Item-%2","title":"T%2","identifier":"x%2","width":1})")
                        .arg(e ? "," : "")
                        .arg(e)
                        .toUtf8();
        apps +=
            QStringLiteral(R"(%1{"bundleID":"com.example.app%2","name":"App %2","pid":%3 %4,"extras":[%5]})")
                .arg(a ? "," : "")
                .arg(a, 3, 10, QLatin1Char('0'))
                .arg(1000 + a)
                .arg(QString::fromUtf8(appOptions))
                .arg(QString::fromUtf8(list))
                .toUtf8();
    }
    return R"({"apps":[)" + apps + "]}";
}

} // namespace velmor::simulated_mac::testing
