#pragma once

#include <locale.h>

#include <clocale>

namespace velmor {

// libplist reads and writes reals with the C library's number functions, which follow the
// process locale; QCoreApplication sets that from the environment, where a decimal comma would
// turn "1.5" into 1. Pins the C numeric locale for the calling thread while libplist runs.
class CNumericLocale final {
public:
    CNumericLocale()
    {
        static const locale_t cLocale = newlocale(LC_NUMERIC_MASK, "C", static_cast<locale_t>(nullptr));
        m_previous = uselocale(cLocale);
    }
    ~CNumericLocale() { uselocale(m_previous); }
    CNumericLocale(const CNumericLocale&) = delete;
    CNumericLocale& operator=(const CNumericLocale&) = delete;

private:
    locale_t m_previous;
};

} // namespace velmor
