#pragma once

#include <QMutex>
#include <QStringList>
#include <QtGlobal>

namespace velmor::test {

// Collects every warning QML gives (binding errors, undefined properties, failed imports, type
// errors) while it lives; a GUI test fails when any was given.
class QmlWarnings final {
public:
    QmlWarnings() : m_previous(qInstallMessageHandler(&QmlWarnings::handle)) { current() = this; }
    ~QmlWarnings()
    {
        qInstallMessageHandler(m_previous);
        current() = nullptr;
    }
    QmlWarnings(const QmlWarnings&) = delete;
    QmlWarnings& operator=(const QmlWarnings&) = delete;

    QStringList taken()
    {
        QMutexLocker lock(&m_mutex);
        return std::exchange(m_messages, {});
    }

private:
    static QmlWarnings*& current()
    {
        static QmlWarnings* instance = nullptr;
        return instance;
    }

    static bool fromQml(const QMessageLogContext& context, const QString& message)
    {
        const QString file = QString::fromUtf8(context.file ? context.file : "");
        const QString category = QString::fromUtf8(context.category ? context.category : "");
        return file.endsWith(QLatin1String(".qml")) || file.startsWith(QLatin1String("qrc:")) ||
               category.startsWith(QLatin1String("qt.qml")) || category == QLatin1String("js") ||
               message.contains(QLatin1String(".qml:")) || message.startsWith(QLatin1String("QQmlComponent"));
    }

    static void handle(QtMsgType type, const QMessageLogContext& context, const QString& message)
    {
        QmlWarnings* self = current();
        if (self && type != QtDebugMsg && type != QtInfoMsg && fromQml(context, message)) {
            QMutexLocker lock(&self->m_mutex);
            self->m_messages.append(message);
            return;
        }
        if (self && self->m_previous)
            self->m_previous(type, context, message);
    }

    QtMessageHandler m_previous;
    QMutex m_mutex;
    QStringList m_messages;
};

} // namespace velmor::test
