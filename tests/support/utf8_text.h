#pragma once

#include <QString>

namespace velmor::test {

// A literal as the person reads it: the test sources are UTF-8 and spell names with accents and
// symbols.
inline QString text(const char* literal)
{
    return QString::fromUtf8(literal);
}

} // namespace velmor::test
