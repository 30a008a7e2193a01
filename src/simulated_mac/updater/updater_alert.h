#pragma once

#include <QObject>
#include <QString>
#include <QStringList>

#include <functional>

namespace velmor::simulated_mac {

// The update framework's own small dialog on the simulated Mac: a title, an explanation and the
// choices, as buttons left to right (the last one is the default). The on-screen Mac draws it;
// a person (or a test) answers with `choose`. One dialog at a time: a new one replaces the last,
// which then counts as never answered.
class UpdaterAlert final : public QObject {
    Q_OBJECT
    Q_PROPERTY(bool shown READ shown NOTIFY changed)
    Q_PROPERTY(QString title READ title NOTIFY changed)
    Q_PROPERTY(QString text READ text NOTIFY changed)
    Q_PROPERTY(QStringList choices READ choices NOTIFY changed)

public:
    using Answer = std::function<void(int choice)>;

    using QObject::QObject;

    bool shown() const { return !m_choices.isEmpty(); }
    QString title() const { return m_title; }
    QString text() const { return m_text; }
    QStringList choices() const { return m_choices; }

    void present(const QString& title, const QString& text, const QStringList& choices, Answer answer);
    // Takes the dialog away unanswered.
    void dismiss();
    // Answers with the choice at `index`; nothing when no dialog is shown or there is no such choice.
    Q_INVOKABLE void choose(int index);
    // Answers with the choice titled `title`; false when there is none.
    Q_INVOKABLE bool chooseTitled(const QString& title);

Q_SIGNALS:
    void changed();

private:
    QString m_title;
    QString m_text;
    QStringList m_choices;
    Answer m_answer;
};

} // namespace velmor::simulated_mac
