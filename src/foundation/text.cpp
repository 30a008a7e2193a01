#include "foundation/text.h"

#include <QCollator>
#include <QLocale>
#include <QTextBoundaryFinder>

namespace velmor::text {

QString trimmed(const QString& text)
{
    return text.trimmed();
}

QString prefixGraphemes(const QString& text, int count)
{
    if (count <= 0)
        return {};
    QTextBoundaryFinder finder(QTextBoundaryFinder::Grapheme, text);
    int seen = 0;
    while (finder.toNextBoundary() != -1) {
        if (++seen == count)
            return text.left(finder.position());
    }
    return text;
}

int localizedStandardCompare(const QString& a, const QString& b)
{
    // A collator under the "C" locale ignores numeric mode, so pin an explicit English locale.
    thread_local const QCollator collator = [] {
        QCollator c{QLocale(QLocale::English, QLocale::UnitedStates)};
        c.setCaseSensitivity(Qt::CaseInsensitive);
        c.setNumericMode(true);
        c.setIgnorePunctuation(false);
        return c;
    }();
    return collator.compare(a, b);
}

} // namespace velmor::text
