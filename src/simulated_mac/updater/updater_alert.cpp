#include "simulated_mac/updater/updater_alert.h"

namespace velmor::simulated_mac {

void UpdaterAlert::present(const QString& title, const QString& text, const QStringList& choices,
                           Answer answer)
{
    m_title = title;
    m_text = text;
    m_choices = choices;
    m_answer = std::move(answer);
    Q_EMIT changed();
}

void UpdaterAlert::dismiss()
{
    if (!shown())
        return;
    m_title.clear();
    m_text.clear();
    m_choices.clear();
    m_answer = {};
    Q_EMIT changed();
}

void UpdaterAlert::choose(int index)
{
    if (index < 0 || index >= m_choices.size())
        return;
    // The dialog is gone before its answer runs, so the answer may present the next one.
    Answer answer = std::exchange(m_answer, {});
    dismiss();
    if (answer)
        answer(index);
}

bool UpdaterAlert::chooseTitled(const QString& title)
{
    const int index = static_cast<int>(m_choices.indexOf(title));
    if (index < 0)
        return false;
    choose(index);
    return true;
}

} // namespace velmor::simulated_mac
