#pragma once

#include <QList>
#include <QString>
#include <QStringList>

namespace velmor {

// Finds menu bar items by what a person types: case and accents do not matter ("cafe" finds
// "Café", "ZURICH" finds "Zürich"), every word typed must appear in the app's name or the item's
// title, and items where the typed words begin words come first. Pure: it knows nothing of the
// menu bar.
class TrayItemSearch final {
public:
    struct Entry {
        QString appName;
        QString title;
    };

    // How well an entry matches, best first.
    enum class Match {
        // The app's name or the item's title begins with all that was typed.
        Start,
        // Every word typed begins a word of the name or the title.
        WordStarts,
        // Every word typed appears somewhere in them.
        Inside,
        None,
    };

    // The indexes of the entries that match, best first; entries that match equally well keep
    // the order they were given in. An empty query (or one of blanks) matches every entry.
    static QList<int> rank(const QList<Entry>& entries, const QString& query);
    static Match match(const Entry& entry, const QString& query);
    // Lower case without accents or other marks, compatibility forms folded ("ﬁ" is "fi").
    static QString folded(const QString& text);
    // The words of a text: runs of letters and digits.
    static QStringList words(const QString& text);

    TrayItemSearch() = delete;
};

} // namespace velmor
