#pragma once

#include <QByteArray>
#include <QtGlobal>
#include <plist/plist.h>

#include <functional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <utility>
#include <vector>

namespace velmor {

// Writes a libplist tree as a binary property list ("bplist00").
//
// libplist 2.2's binary writer slows down more than linearly with the number of objects, which
// made large lists cost many times more per row than small ones. This writer visits every value
// once, writes each container once and shares equal scalars, as the system's writer does. Scalars
// are encoded into one buffer and containers' references into one vector, so a value costs a
// hash lookup and no allocation of its own. One writer writes one document.
class PropertyListBinaryWriter final {
public:
    // Throws SystemError when the tree nests deeper than PropertyList::maximumDepth or holds a
    // value the format has no form for.
    QByteArray write(plist_t root);

private:
    // A scalar's bytes in m_scalarBytes, or a container's references in m_references (a
    // dictionary's keys first, then its values; `length` counts entries).
    struct Object {
        unsigned char marker = 0;
        quint32 start = 0;
        quint32 length = 0;
    };

    struct Hash {
        using is_transparent = void;
        std::size_t operator()(std::string_view bytes) const { return std::hash<std::string_view>{}(bytes); }
    };

    quint32 add(plist_t item, int depth);
    quint32 addCandidate();
    quint32 addString(const char* utf8, std::size_t length);
    quint32 addBytes(const QByteArray& encoded);
    void resolveDates();

    std::vector<Object> m_objects;
    std::vector<quint32> m_references;
    std::string m_scalarBytes;
    std::string m_candidate;
    std::unordered_map<std::string, quint32, Hash, std::equal_to<>> m_scalars;
    std::vector<std::pair<quint32, plist_t>> m_dates;
};

} // namespace velmor
