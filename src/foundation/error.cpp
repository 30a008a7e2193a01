#include "foundation/error.h"

namespace velmor {

const char* Error::what() const noexcept
{
    if (m_what.isEmpty())
        m_what = description().toUtf8();
    return m_what.constData();
}

} // namespace velmor
