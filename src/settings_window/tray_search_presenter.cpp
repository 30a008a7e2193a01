#include "settings_window/tray_search_presenter.h"

#include "tray/tray_app.h"
#include "tray/tray_delegate.h"
#include "tray/tray_model.h"
#include "tray/tray_search.h"

#include <algorithm>

namespace velmor {

TraySearchPresenter::TraySearchPresenter(TrayApp& app, QObject* parent)
    : QObject(parent), m_app(&app), m_results(nullptr)
{
    // Items come and go while the window is open: the list follows, keeping the chosen row.
    connect(&app.model(), &TrayModel::itemsChanged, this, [this] {
        if (TraySearch* engine = search()) {
            engine->refresh();
            refilter();
        }
    });
}

TraySearchPresenter::~TraySearchPresenter() = default;

TraySearch* TraySearchPresenter::search() const
{
    return m_app ? m_app->delegate().search() : nullptr;
}

void TraySearchPresenter::reset()
{
    m_query.clear();
    m_status.clear();
    m_currentIndex = -1;
    TraySearch* engine = search();
    if (engine && m_connected != engine) {
        m_connected = engine;
        connect(engine, &TraySearch::waitingChanged, this, &TraySearchPresenter::waitingChanged);
    }
    if (engine)
        engine->refresh();
    else
        m_status = QString::fromUtf8(notReadyText);
    refilter();
}

void TraySearchPresenter::setQuery(const QString& query)
{
    if (query == m_query)
        return;
    m_query = query;
    refilter();
}

void TraySearchPresenter::refilter()
{
    TraySearch* engine = search();
    const QString chosen = m_currentIndex >= 0 && m_currentIndex < m_results.results().size()
                               ? m_results.results()[m_currentIndex].itemID
                               : QString();
    const QList<TraySearch::Result> found = engine ? engine->search(m_query) : QList<TraySearch::Result>{};
    m_results.setResults(found);
    // The best match is chosen as a person types; a list that only changed keeps its choice.
    const auto same = std::find_if(found.cbegin(), found.cend(),
                                   [&](const TraySearch::Result& result) { return result.itemID == chosen; });
    m_currentIndex = found.isEmpty() ? -1 : (same != found.cend() ? int(same - found.cbegin()) : 0);
    Q_EMIT changed();
}

void TraySearchPresenter::setCurrentIndex(int index)
{
    if (index < 0 || index >= m_results.rowCount() || index == m_currentIndex)
        return;
    m_currentIndex = index;
    Q_EMIT changed();
}

void TraySearchPresenter::moveSelection(int delta)
{
    const int count = m_results.rowCount();
    if (count == 0)
        return;
    setCurrentIndex(std::clamp(m_currentIndex + delta, 0, count - 1));
}

QString TraySearchPresenter::countText() const
{
    const int count = m_results.rowCount();
    if (count == 0)
        return QString::fromUtf8(noResultText);
    return count == 1 ? QString::fromUtf8(oneResultText) : QString::fromUtf8(resultsFormat).arg(count);
}

QString TraySearchPresenter::emptyText() const
{
    if (m_results.rowCount() > 0 || m_query.trimmed().isEmpty() || !search())
        return {};
    return QString::fromUtf8(emptyFormat).arg(m_query.trimmed());
}

void TraySearchPresenter::activate(int index)
{
    TraySearch* engine = search();
    if (!engine || index < 0 || index >= m_results.rowCount())
        return;
    m_currentIndex = index;
    switch (engine->open(m_results.results()[index].itemID)) {
    case TraySearch::Opening::Opened:
        m_status.clear();
        Q_EMIT changed();
        Q_EMIT closeRequested();
        return;
    case TraySearch::Opening::Waiting:
        m_status = QString::fromUtf8(TraySearch::waitingText);
        break;
    case TraySearch::Opening::Unreachable:
        m_status = QString::fromUtf8(TraySearch::unreachableText);
        break;
    }
    Q_EMIT changed();
}

void TraySearchPresenter::waitingChanged()
{
    TraySearch* engine = search();
    // What waited has opened (or was given up): the window has done its work.
    if (engine && !engine->waiting() && m_status == QString::fromUtf8(TraySearch::waitingText)) {
        m_status.clear();
        Q_EMIT changed();
        Q_EMIT closeRequested();
    }
}

void TraySearchPresenter::close()
{
    m_status.clear();
    if (TraySearch* engine = search())
        engine->cancelWaiting();
    Q_EMIT changed();
    Q_EMIT closeRequested();
}

} // namespace velmor
