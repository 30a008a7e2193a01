#pragma once

#include <QByteArray>
#include <QtGlobal>
#include <plist/plist.h>

#include <vector>

namespace velmor {

// Everything a property list must satisfy before the app trusts libplist with it. A binary list is
// checked on its bytes alone; an XML list's text is scanned first and its parsed tree compared
// with what the scan found.
//
// libplist 2.2 asserts on a NUL inside a dictionary key, silently cuts a string at a NUL, recurses
// once per level of nesting (a deep document overflows the stack), expands a binary list's shared
// objects into copies (a few hundred bytes can describe billions of values), keeps both members of
// a binary dictionary with a repeated key but merges them in XML, and turns dates far outside
// the calendar into undefined conversions. Every rejection is a SystemError of
// kind Parse whose description names the reason.
class PropertyListInputCheck final {
public:
    PropertyListInputCheck(const QByteArray& bytes, bool binary) : m_bytes(bytes), m_binary(binary) {}

    void checkBytes();
    void checkDocument(plist_t root) const;

    // Dates must name a second of the years 1 through 9999: the range the XML form can write and
    // read back. Seconds relative to 1 January 2001 00:00 UTC.
    static constexpr double earliestDate = -63113904000.0;
    static constexpr double endOfLatestDate = 252423993600.0;
    static bool isRepresentableDate(double seconds);

private:
    void checkBinary();
    void checkXml();
    void checkTree(plist_t value, std::size_t& dictionary) const; // XML only

    const QByteArray& m_bytes;
    bool m_binary;
    // The number of keys of each XML dictionary, in document order: libplist merges repeated keys,
    // so the parsed tree is compared with what the text held.
    std::vector<quint64> m_xmlKeyCounts;
};

} // namespace velmor
