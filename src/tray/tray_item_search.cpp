#include "tray/tray_item_search.h"

#include <algorithm>
#include <utility>

namespace velmor {
namespace {

bool isMark(QChar c)
{
    const QChar::Category category = c.category();
    return category == QChar::Mark_NonSpacing || category == QChar::Mark_SpacingCombining ||
           category == QChar::Mark_Enclosing;
}

// The two fields a query looks at, folded once.
struct Folded {
    QString appName;
    QString title;
    QStringList words;
};

Folded foldEntry(const TrayItemSearch::Entry& entry)
{
    Folded folded{TrayItemSearch::folded(entry.appName), TrayItemSearch::folded(entry.title), {}};
    folded.words = TrayItemSearch::words(folded.appName) + TrayItemSearch::words(folded.title);
    return folded;
}

TrayItemSearch::Match matchFolded(const Folded& entry, const QString& query, const QStringList& terms)
{
    using Match = TrayItemSearch::Match;
    if (query.isEmpty())
        return Match::Start;
    // Only punctuation typed: it has to appear as it is.
    if (terms.isEmpty())
        return entry.appName.contains(query) || entry.title.contains(query) ? Match::Inside : Match::None;
    if (entry.appName.startsWith(query) || entry.title.startsWith(query))
        return Match::Start;
    const bool wordStarts = std::all_of(terms.cbegin(), terms.cend(), [&](const QString& term) {
        return std::any_of(entry.words.cbegin(), entry.words.cend(),
                           [&](const QString& word) { return word.startsWith(term); });
    });
    if (wordStarts)
        return Match::WordStarts;
    const bool inside = std::all_of(terms.cbegin(), terms.cend(), [&](const QString& term) {
        return entry.appName.contains(term) || entry.title.contains(term);
    });
    return inside ? Match::Inside : Match::None;
}

} // namespace

QString TrayItemSearch::folded(const QString& text)
{
    const QString decomposed = text.normalized(QString::NormalizationForm_KD);
    QString result;
    result.reserve(decomposed.size());
    for (const QChar c : decomposed) {
        if (!isMark(c))
            result.append(c);
    }
    return result.toCaseFolded();
}

QStringList TrayItemSearch::words(const QString& text)
{
    QStringList result;
    QString current;
    for (const QChar c : text) {
        if (c.isLetterOrNumber() || c.isSurrogate()) {
            current.append(c);
            continue;
        }
        if (!current.isEmpty())
            result.append(std::exchange(current, {}));
    }
    if (!current.isEmpty())
        result.append(current);
    return result;
}

TrayItemSearch::Match TrayItemSearch::match(const Entry& entry, const QString& query)
{
    const QString typed = folded(query).trimmed();
    return matchFolded(foldEntry(entry), typed, words(typed));
}

QList<int> TrayItemSearch::rank(const QList<Entry>& entries, const QString& query)
{
    const QString typed = folded(query).trimmed();
    const QStringList terms = words(typed);
    QList<std::pair<Match, int>> found;
    for (int i = 0; i < entries.size(); ++i) {
        const Match match = matchFolded(foldEntry(entries[i]), typed, terms);
        if (match != Match::None)
            found.append({match, i});
    }
    std::stable_sort(found.begin(), found.end(),
                     [](const auto& a, const auto& b) { return a.first < b.first; });
    QList<int> result;
    result.reserve(found.size());
    for (const auto& [match, index] : found)
        result.append(index);
    return result;
}

} // namespace velmor
