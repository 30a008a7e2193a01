#pragma once

#include <QString>

namespace velmor::text {

// White space and line breaks removed from both ends.
QString trimmed(const QString& text);

// The first `count` user-perceived characters (grapheme clusters); never splits a cluster.
QString prefixGraphemes(const QString& text, int count);

// The ordering a file browser uses for names: case-insensitive, digits by numeric value
// ("Item 9" before "Item 10"), independent of the process locale. Negative, zero or positive.
int localizedStandardCompare(const QString& a, const QString& b);

} // namespace velmor::text
