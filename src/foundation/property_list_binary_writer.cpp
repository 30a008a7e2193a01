#include "foundation/property_list_binary_writer.h"

#include "foundation/c_numeric_locale.h"
#include "foundation/libplist_access.h"
#include "foundation/property_list.h"
#include "foundation/system_error.h"

#include <QString>

#include <algorithm>
#include <cstring>
#include <memory>

namespace velmor {
namespace {

constexpr unsigned char scalarMarker = 0;
constexpr unsigned char arrayMarker = 0xa0;
constexpr unsigned char dictionaryMarker = 0xd0;
constexpr unsigned char dateMarker = 0x33;

SystemError notWritten()
{
    return SystemError(SystemError::Kind::Parse, QString::fromLatin1(PropertyList::notWrittenText));
}

int bytesFor(quint64 value)
{
    if (value <= 0xff)
        return 1;
    if (value <= 0xffff)
        return 2;
    if (value <= 0xffffffffull)
        return 4;
    return 8;
}

// log2 of an integer's size in bytes, as its marker carries it.
int sizeExponent(int size)
{
    return size == 1 ? 0 : size == 2 ? 1 : size == 4 ? 2 : 3;
}

void appendBigEndian(std::string& out, quint64 value, int size)
{
    for (int shift = (size - 1) * 8; shift >= 0; shift -= 8)
        out.push_back(static_cast<char>((value >> shift) & 0xff));
}

// A marker byte with its count, which follows as an integer object when it does not fit.
void appendMarker(std::string& out, unsigned char type, quint64 count)
{
    if (count < 15) {
        out.push_back(static_cast<char>(type | count));
        return;
    }
    out.push_back(static_cast<char>(type | 0x0f));
    const int size = bytesFor(count);
    out.push_back(static_cast<char>(0x10 | sizeExponent(size)));
    appendBigEndian(out, count, size);
}

bool isSignedInteger(plist_t integer)
{
    char* text = nullptr;
    uint32_t length = 0;
    plist_to_xml(integer, &text, &length);
    const std::unique_ptr<char, libplist::FreeDeleter> owned(text);
    return text && QByteArrayView(text, length).contains("<integer>-");
}

} // namespace

QByteArray PropertyListBinaryWriter::write(plist_t root)
{
    add(root, 0);
    resolveDates();
    const quint64 objectCount = m_objects.size();
    const int referenceSize = bytesFor(objectCount - 1);

    std::string out("bplist00");
    out.reserve(m_scalarBytes.size() + m_references.size() * referenceSize + objectCount * 12 + 64);
    std::vector<quint64> offsets;
    offsets.reserve(m_objects.size());
    for (const Object& object : m_objects) {
        offsets.push_back(out.size());
        if (object.marker == scalarMarker) {
            out.append(m_scalarBytes, object.start, object.length);
            continue;
        }
        appendMarker(out, object.marker, object.length);
        const quint32 references = object.marker == dictionaryMarker ? object.length * 2 : object.length;
        for (quint32 i = 0; i < references; ++i)
            appendBigEndian(out, m_references[object.start + i], referenceSize);
    }
    const quint64 tableOffset = out.size();
    const int offsetSize = bytesFor(offsets.empty() ? 0 : offsets.back());
    for (const quint64 offset : offsets)
        appendBigEndian(out, offset, offsetSize);
    out.append(6, '\0');
    out.push_back(static_cast<char>(offsetSize));
    out.push_back(static_cast<char>(referenceSize));
    appendBigEndian(out, objectCount, 8);
    appendBigEndian(out, 0, 8);
    appendBigEndian(out, tableOffset, 8);
    return QByteArray(out.data(), static_cast<qsizetype>(out.size()));
}

// Looks up the scalar encoded in m_candidate, adding it when it is new.
quint32 PropertyListBinaryWriter::addCandidate()
{
    const auto existing = m_scalars.find(std::string_view(m_candidate));
    if (existing != m_scalars.end())
        return existing->second;
    const auto index = static_cast<quint32>(m_objects.size());
    m_objects.push_back(Object{scalarMarker, static_cast<quint32>(m_scalarBytes.size()),
                               static_cast<quint32>(m_candidate.size())});
    m_scalarBytes.append(m_candidate);
    m_scalars.emplace(m_candidate, index);
    return index;
}

quint32 PropertyListBinaryWriter::addString(const char* utf8, std::size_t length)
{
    m_candidate.clear();
    const bool ascii =
        std::all_of(utf8, utf8 + length, [](char c) { return static_cast<unsigned char>(c) < 0x80; });
    if (ascii) {
        appendMarker(m_candidate, 0x50, length);
        m_candidate.append(utf8, length);
        return addCandidate();
    }
    const QString text = QString::fromUtf8(utf8, static_cast<qsizetype>(length));
    appendMarker(m_candidate, 0x60, static_cast<quint64>(text.size()));
    for (const QChar unit : text)
        appendBigEndian(m_candidate, unit.unicode(), 2);
    return addCandidate();
}

quint32 PropertyListBinaryWriter::addBytes(const QByteArray& encoded)
{
    m_candidate.assign(encoded.constData(), static_cast<std::size_t>(encoded.size()));
    return addCandidate();
}

quint32 PropertyListBinaryWriter::add(plist_t item, int depth)
{
    switch (plist_get_node_type(item)) {
    case PLIST_DICT: {
        if (depth >= PropertyList::maximumDepth)
            throw SystemError(SystemError::Kind::Parse, QString::fromLatin1(PropertyList::tooDeepToWriteText));
        const auto index = static_cast<quint32>(m_objects.size());
        const quint32 count = plist_dict_get_size(item);
        const auto start = static_cast<quint32>(m_references.size());
        m_objects.push_back(Object{dictionaryMarker, start, count});
        m_references.resize(m_references.size() + 2 * static_cast<std::size_t>(count));
        quint32 entry = 0;
        libplist::walkDictionary(item, [&](const char* key, plist_t value) {
            if (entry >= count)
                return;
            const quint32 keyObject = addString(key, std::strlen(key));
            m_references[start + entry] = keyObject;
            const quint32 valueObject = add(value, depth + 1);
            m_references[start + count + entry] = valueObject;
            ++entry;
        });
        return index;
    }
    case PLIST_ARRAY: {
        if (depth >= PropertyList::maximumDepth)
            throw SystemError(SystemError::Kind::Parse, QString::fromLatin1(PropertyList::tooDeepToWriteText));
        const auto index = static_cast<quint32>(m_objects.size());
        const quint32 count = plist_array_get_size(item);
        const auto start = static_cast<quint32>(m_references.size());
        m_objects.push_back(Object{arrayMarker, start, count});
        m_references.resize(m_references.size() + count);
        quint32 position = 0;
        libplist::walkArray(item, [&](plist_t element) {
            if (position >= count)
                return;
            const quint32 elementObject = add(element, depth + 1);
            m_references[start + position++] = elementObject;
        });
        return index;
    }
    case PLIST_STRING: {
        uint64_t length = 0;
        const char* text = plist_get_string_ptr(item, &length);
        return addString(text, length);
    }
    case PLIST_BOOLEAN: {
        uint8_t value = 0;
        plist_get_bool_val(item, &value);
        m_candidate.assign(1, value ? '\x09' : '\x08');
        return addCandidate();
    }
    case PLIST_DATA: {
        uint64_t length = 0;
        const char* bytes = plist_get_data_ptr(item, &length);
        m_candidate.clear();
        appendMarker(m_candidate, 0x40, length);
        m_candidate.append(bytes, length);
        return addCandidate();
    }
    case PLIST_UINT: {
        uint64_t value = 0;
        plist_get_uint_val(item, &value);
        // A value with the top bit set is negative, unless it was stored as a 16-byte unsigned
        // integer; only libplist knows which, and its XML form tells cheaply.
        if ((value >> 63) && !isSignedInteger(item))
            return addBytes(libplist::scalarObject(item));
        const int size = bytesFor(value);
        m_candidate.assign(1, static_cast<char>(0x10 | sizeExponent(size)));
        appendBigEndian(m_candidate, value, size);
        return addCandidate();
    }
    case PLIST_REAL: {
        double value = 0;
        plist_get_real_val(item, &value);
        quint64 bits = 0;
        std::memcpy(&bits, &value, sizeof bits);
        m_candidate.assign(1, '\x23');
        appendBigEndian(m_candidate, bits, 8);
        return addCandidate();
    }
    case PLIST_UID: {
        uint64_t value = 0;
        plist_get_uid_val(item, &value);
        const int size = bytesFor(value);
        m_candidate.assign(1, static_cast<char>(0x80 | (size - 1)));
        appendBigEndian(m_candidate, value, size);
        return addCandidate();
    }
    case PLIST_DATE: {
        // libplist's accessor loses the stored double; its writer keeps it. The dates are
        // written by libplist all at once at the end, each into a 9-byte placeholder.
        const auto index = static_cast<quint32>(m_objects.size());
        m_objects.push_back(Object{scalarMarker, static_cast<quint32>(m_scalarBytes.size()), 9});
        m_scalarBytes.append(9, '\0');
        m_dates.emplace_back(index, item);
        return index;
    }
    default:
        throw notWritten();
    }
}

// One libplist run over copies of all dates gives their exact 8-byte values.
void PropertyListBinaryWriter::resolveDates()
{
    if (m_dates.empty())
        return;
    plist_t dates = plist_new_array();
    for (const auto& [index, date] : m_dates)
        plist_array_append_item(dates, plist_copy(date));
    char* bytes = nullptr;
    uint32_t length = 0;
    {
        CNumericLocale locale;
        plist_to_bin(dates, &bytes, &length);
    }
    plist_free(dates);
    const std::unique_ptr<char, libplist::FreeDeleter> owned(bytes);
    const auto* data = reinterpret_cast<const unsigned char*>(bytes);
    auto read = [&](quint64 at, int size) {
        quint64 value = 0;
        for (int i = 0; i < size; ++i)
            value = (value << 8) | data[at + i];
        return value;
    };
    if (!bytes || length < 8 + 32)
        throw notWritten();
    const int offsetSize = data[length - 26];
    const int referenceSize = data[length - 25];
    const quint64 objectCount = read(length - 24, 8);
    const quint64 top = read(length - 16, 8);
    const quint64 table = read(length - 8, 8);
    auto offsetOf = [&](quint64 object) {
        if (object >= objectCount || table + (object + 1) * offsetSize > length - 32)
            throw notWritten();
        return read(table + object * offsetSize, offsetSize);
    };
    quint64 at = offsetOf(top);
    if (at >= length || (data[at] & 0xf0) != arrayMarker)
        throw notWritten();
    quint64 count = data[at] & 0x0f;
    ++at;
    if (count == 0x0f) {
        const int size = 1 << (data[at] & 0x0f);
        count = read(at + 1, size);
        at += 1 + size;
    }
    if (count != m_dates.size() || at + count * referenceSize > length)
        throw notWritten();
    for (std::size_t i = 0; i < m_dates.size(); ++i) {
        const quint64 object = offsetOf(read(at + i * referenceSize, referenceSize));
        if (object + 9 > length || data[object] != dateMarker)
            throw notWritten();
        const Object& placeholder = m_objects[m_dates[i].first];
        std::memcpy(m_scalarBytes.data() + placeholder.start, data + object, 9);
    }
}

} // namespace velmor
