#include "foundation/property_list.h"

#include "foundation/system_error.h"

#include <QHash>
#include <locale.h>
#include <plist/plist.h>

#include <algorithm>
#include <clocale>
#include <cmath>
#include <cstring>
#include <limits>
#include <memory>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

namespace velmor {
namespace {

plist_t node(void* p)
{
    return static_cast<plist_t>(p);
}

// What libplist allocates for the caller (iterators, keys) is freed on every path, exceptions
// from a visitor included.
struct FreeDeleter {
    void operator()(void* pointer) const { free(pointer); }
};

// Visits a dictionary's members in document order.
template <class Visit> void walkDictionary(plist_t dictionary, Visit&& visit)
{
    plist_dict_iter raw = nullptr;
    plist_dict_new_iter(dictionary, &raw);
    const std::unique_ptr<void, FreeDeleter> iterator(raw);
    for (;;) {
        char* rawKey = nullptr;
        plist_t value = nullptr;
        plist_dict_next_item(dictionary, raw, &rawKey, &value);
        const std::unique_ptr<char, FreeDeleter> key(rawKey);
        if (!value)
            return;
        visit(key.get(), value);
    }
}

// Visits an array's elements in order, in one pass (indexed access walks from the start).
template <class Visit> void walkArray(plist_t array, Visit&& visit)
{
    plist_array_iter raw = nullptr;
    plist_array_new_iter(array, &raw);
    const std::unique_ptr<void, FreeDeleter> iterator(raw);
    for (;;) {
        plist_t element = nullptr;
        plist_array_next_item(array, raw, &element);
        if (!element)
            return;
        visit(element);
    }
}

// libplist reads and writes reals with the C library's number functions, which follow the
// process locale; QCoreApplication sets that from the environment, where a decimal comma would
// turn "1.5" into 1. Pin the C numeric locale for the calling thread while libplist runs.
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

SystemError parseError(const QString& reason)
{
    return SystemError(SystemError::Kind::Parse, reason);
}

QByteArray toUtf8Key(const QString& key)
{
    return key.toUtf8();
}

// The smallest well-formed binary property list is the 8-byte header, one object and the 32-byte
// trailer. Checking the trailer's offsets before libplist sees the bytes turns a truncated file
// into a clear reason instead of a generic failure.
std::optional<QString> binaryShapeProblem(const QByteArray& bytes)
{
    constexpr qsizetype headerSize = 8;
    constexpr qsizetype trailerSize = 32;
    if (bytes.size() < headerSize + 1 + trailerSize)
        return QStringLiteral("The binary property list is truncated (%1 bytes).").arg(bytes.size());
    const auto* trailer =
        reinterpret_cast<const unsigned char*>(bytes.constData() + bytes.size() - trailerSize);
    const int offsetSize = trailer[6];
    const int referenceSize = trailer[7];
    auto bigEndian = [](const unsigned char* p) {
        quint64 value = 0;
        for (int i = 0; i < 8; ++i)
            value = (value << 8) | p[i];
        return value;
    };
    const quint64 objectCount = bigEndian(trailer + 8);
    const quint64 tableOffset = bigEndian(trailer + 24);
    const quint64 available = static_cast<quint64>(bytes.size() - trailerSize);
    if (offsetSize < 1 || offsetSize > 8 || referenceSize < 1 || referenceSize > 8 || objectCount == 0)
        return QStringLiteral("The binary property list has a damaged trailer.");
    if (tableOffset < static_cast<quint64>(headerSize) || tableOffset >= available ||
        objectCount > (available - tableOffset) / static_cast<quint64>(offsetSize))
        return QStringLiteral(
            "The binary property list is truncated: its offset table lies outside the data.");
    return std::nullopt;
}

bool realsEqual(double a, double b)
{
    return a == b || (std::isnan(a) && std::isnan(b));
}

// The encoding libplist's own writer gives one scalar: the object of a one-object binary list,
// between the 8-byte header and the offset table. Used for the values whose exact stored form
// (integer width, date and real bits, UID size) only libplist knows.
QByteArray libplistScalar(plist_t scalar)
{
    char* bytes = nullptr;
    uint32_t length = 0;
    {
        CNumericLocale locale;
        plist_to_bin(scalar, &bytes, &length);
    }
    QByteArray object;
    constexpr uint32_t headerSize = 8;
    constexpr uint32_t trailerSize = 32;
    if (bytes && length > headerSize + trailerSize) {
        quint64 tableOffset = 0;
        for (uint32_t i = length - 8; i < length; ++i)
            tableOffset = (tableOffset << 8) | static_cast<unsigned char>(bytes[i]);
        if (tableOffset > headerSize && tableOffset <= length - trailerSize)
            object = QByteArray(bytes + headerSize, static_cast<qsizetype>(tableOffset - headerSize));
    }
    plist_to_bin_free(bytes);
    if (object.isEmpty())
        throw SystemError(SystemError::Kind::Parse,
                          QStringLiteral("The property list could not be written."));
    return object;
}

bool isSignedInteger(plist_t integer)
{
    char* text = nullptr;
    uint32_t length = 0;
    plist_to_xml(integer, &text, &length);
    const bool negative = text && QByteArrayView(text, length).contains("<integer>-");
    plist_to_xml_free(text);
    return negative;
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

// libplist 2.2's binary writer slows down more than linearly with the number of objects, which
// made large lists cost many times more per row than small ones. This writer visits every value
// once, writes each container once and shares equal scalars, as the system's writer does. Scalars
// are encoded into one buffer and containers' references into one vector, so a value costs a
// hash lookup and no allocation of its own.
class BinaryWriter final {
public:
    QByteArray write(plist_t root)
    {
        add(root);
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

private:
    static constexpr unsigned char scalarMarker = 0;
    static constexpr unsigned char arrayMarker = 0xa0;
    static constexpr unsigned char dictionaryMarker = 0xd0;
    static constexpr unsigned char dateMarker = 0x33;

    // A scalar's bytes in m_scalarBytes, or a container's references in m_references (a
    // dictionary's keys first, then its values; `length` counts entries).
    struct Object {
        unsigned char marker = scalarMarker;
        quint32 start = 0;
        quint32 length = 0;
    };

    struct Hash {
        using is_transparent = void;
        std::size_t operator()(std::string_view bytes) const { return std::hash<std::string_view>{}(bytes); }
    };

    // Looks up the scalar encoded in m_candidate, adding it when it is new.
    quint32 addCandidate()
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

    quint32 addString(const char* utf8, std::size_t length)
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

    quint32 addBytes(const QByteArray& encoded)
    {
        m_candidate.assign(encoded.constData(), static_cast<std::size_t>(encoded.size()));
        return addCandidate();
    }

    quint32 add(plist_t item)
    {
        switch (plist_get_node_type(item)) {
        case PLIST_DICT: {
            const auto index = static_cast<quint32>(m_objects.size());
            const quint32 count = plist_dict_get_size(item);
            const auto start = static_cast<quint32>(m_references.size());
            m_objects.push_back(Object{dictionaryMarker, start, count});
            m_references.resize(m_references.size() + 2 * static_cast<std::size_t>(count));
            quint32 entry = 0;
            walkDictionary(item, [&](const char* key, plist_t value) {
                if (entry >= count)
                    return;
                const quint32 keyObject = addString(key, std::strlen(key));
                m_references[start + entry] = keyObject;
                const quint32 valueObject = add(value);
                m_references[start + count + entry] = valueObject;
                ++entry;
            });
            return index;
        }
        case PLIST_ARRAY: {
            const auto index = static_cast<quint32>(m_objects.size());
            const quint32 count = plist_array_get_size(item);
            const auto start = static_cast<quint32>(m_references.size());
            m_objects.push_back(Object{arrayMarker, start, count});
            m_references.resize(m_references.size() + count);
            quint32 position = 0;
            walkArray(item, [&](plist_t element) {
                if (position >= count)
                    return;
                const quint32 elementObject = add(element);
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
                return addBytes(libplistScalar(item));
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
            throw SystemError(SystemError::Kind::Parse,
                              QStringLiteral("The property list could not be written."));
        }
    }

    // One libplist run over copies of all dates gives their exact 8-byte values.
    void resolveDates()
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
        const std::unique_ptr<char, FreeDeleter> owned(bytes);
        const auto* data = reinterpret_cast<const unsigned char*>(bytes);
        auto read = [&](quint64 at, int size) {
            quint64 value = 0;
            for (int i = 0; i < size; ++i)
                value = (value << 8) | data[at + i];
            return value;
        };
        auto fail = [] {
            return SystemError(SystemError::Kind::Parse,
                               QStringLiteral("The property list could not be written."));
        };
        if (!bytes || length < 8 + 32)
            throw fail();
        const int offsetSize = data[length - 26];
        const int referenceSize = data[length - 25];
        const quint64 objectCount = read(length - 24, 8);
        const quint64 top = read(length - 16, 8);
        const quint64 table = read(length - 8, 8);
        auto offsetOf = [&](quint64 object) {
            if (object >= objectCount || table + (object + 1) * offsetSize > length - 32)
                throw fail();
            return read(table + object * offsetSize, offsetSize);
        };
        quint64 at = offsetOf(top);
        if (at >= length || (data[at] & 0xf0) != arrayMarker)
            throw fail();
        quint64 count = data[at] & 0x0f;
        ++at;
        if (count == 0x0f) {
            const int size = 1 << (data[at] & 0x0f);
            count = read(at + 1, size);
            at += 1 + size;
        }
        if (count != m_dates.size() || at + count * referenceSize > length)
            throw fail();
        for (std::size_t i = 0; i < m_dates.size(); ++i) {
            const quint64 object = offsetOf(read(at + i * referenceSize, referenceSize));
            if (object + 9 > length || data[object] != dateMarker)
                throw fail();
            const Object& placeholder = m_objects[m_dates[i].first];
            std::memcpy(m_scalarBytes.data() + placeholder.start, data + object, 9);
        }
    }

    std::vector<Object> m_objects;
    std::vector<quint32> m_references;
    std::string m_scalarBytes;
    std::string m_candidate;
    std::unordered_map<std::string, quint32, Hash, std::equal_to<>> m_scalars;
    std::vector<std::pair<quint32, plist_t>> m_dates;
};
} // namespace

// ---- PlistNode -------------------------------------------------------------------------------

PlistNode::Type PlistNode::type() const
{
    if (!m_node)
        return Type::Invalid;
    switch (plist_get_node_type(node(m_node))) {
    case PLIST_DICT:
        return Type::Dictionary;
    case PLIST_ARRAY:
        return Type::Array;
    case PLIST_STRING:
        return Type::String;
    case PLIST_BOOLEAN:
        return Type::Boolean;
    case PLIST_UINT:
        return Type::Integer;
    case PLIST_REAL:
        return Type::Real;
    case PLIST_DATE:
        return Type::Date;
    case PLIST_DATA:
        return Type::Data;
    case PLIST_UID:
        return Type::Uid;
    default:
        return Type::Invalid;
    }
}

std::optional<QString> PlistNode::toString() const
{
    if (type() != Type::String)
        return std::nullopt;
    uint64_t length = 0;
    const char* text = plist_get_string_ptr(node(m_node), &length);
    return QString::fromUtf8(text, static_cast<qsizetype>(length));
}

std::optional<bool> PlistNode::toBool() const
{
    if (type() != Type::Boolean)
        return std::nullopt;
    uint8_t value = 0;
    plist_get_bool_val(node(m_node), &value);
    return value != 0;
}

std::optional<qint64> PlistNode::toInteger() const
{
    if (type() != Type::Integer)
        return std::nullopt;
    uint64_t value = 0;
    plist_get_uint_val(node(m_node), &value);
    return static_cast<qint64>(value);
}

std::optional<double> PlistNode::toReal() const
{
    if (type() != Type::Real)
        return std::nullopt;
    double value = 0;
    plist_get_real_val(node(m_node), &value);
    return value;
}

std::optional<double> PlistNode::toDate() const
{
    if (type() != Type::Date)
        return std::nullopt;
    // libplist's date accessor truncates to whole int32 seconds; its writer keeps the stored
    // double exactly: marker 0x33 and the big-endian 8-byte value.
    const QByteArray object = libplistScalar(node(m_node));
    if (object.size() != 9 || static_cast<unsigned char>(object[0]) != 0x33)
        return std::nullopt;
    quint64 bits = 0;
    for (int i = 1; i < 9; ++i)
        bits = (bits << 8) | static_cast<unsigned char>(object[i]);
    double value = 0;
    std::memcpy(&value, &bits, sizeof value);
    return value;
}

std::optional<QByteArray> PlistNode::toData() const
{
    if (type() != Type::Data)
        return std::nullopt;
    uint64_t length = 0;
    const char* bytes = plist_get_data_ptr(node(m_node), &length);
    return QByteArray(bytes, static_cast<qsizetype>(length));
}

std::optional<quint64> PlistNode::toUid() const
{
    if (type() != Type::Uid)
        return std::nullopt;
    uint64_t value = 0;
    plist_get_uid_val(node(m_node), &value);
    return value;
}

int PlistNode::count() const
{
    switch (type()) {
    case Type::Array:
        return static_cast<int>(plist_array_get_size(node(m_node)));
    case Type::Dictionary:
        return static_cast<int>(plist_dict_get_size(node(m_node)));
    default:
        return 0;
    }
}

PlistNode PlistNode::at(int index) const
{
    if (type() != Type::Array || index < 0 || index >= count())
        return {};
    return PlistNode(plist_array_get_item(node(m_node), static_cast<uint32_t>(index)));
}

QList<PlistNode> PlistNode::elements() const
{
    QList<PlistNode> result;
    if (type() != Type::Array)
        return result;
    result.reserve(count());
    walkArray(node(m_node), [&](plist_t item) { result.append(PlistNode(item)); });
    return result;
}

PlistNode PlistNode::value(const QString& key) const
{
    if (type() != Type::Dictionary)
        return {};
    return PlistNode(plist_dict_get_item(node(m_node), toUtf8Key(key).constData()));
}

void PlistNode::forEachMember(const std::function<void(const QString&, PlistNode)>& visit) const
{
    if (type() != Type::Dictionary)
        return;
    walkDictionary(node(m_node),
                   [&](const char* key, plist_t item) { visit(QString::fromUtf8(key), PlistNode(item)); });
}

QStringList PlistNode::keys() const
{
    QStringList result;
    forEachMember([&](const QString& key, PlistNode) { result.append(key); });
    return result;
}

void PlistNode::setBool(const QString& key, bool value)
{
    if (type() != Type::Dictionary)
        return;
    PlistNode existing = this->value(key);
    if (existing.type() == Type::Boolean) {
        existing.assignBool(value);
        return;
    }
    plist_dict_set_item(node(m_node), toUtf8Key(key).constData(), plist_new_bool(value ? 1 : 0));
}

void PlistNode::setReal(const QString& key, double value)
{
    if (type() != Type::Dictionary)
        return;
    PlistNode existing = this->value(key);
    if (existing.type() == Type::Real) {
        plist_set_real_val(node(existing.m_node), value);
        return;
    }
    plist_dict_set_item(node(m_node), toUtf8Key(key).constData(), plist_new_real(value));
}

void PlistNode::setEntry(const QString& key, const PropertyList& value)
{
    if (type() != Type::Dictionary)
        return;
    plist_dict_set_item(node(m_node), toUtf8Key(key).constData(), plist_copy(node(value.m_root)));
}

void PlistNode::remove(const QString& key)
{
    if (type() != Type::Dictionary || !contains(key))
        return;
    plist_dict_remove_item(node(m_node), toUtf8Key(key).constData());
}

void PlistNode::append(const PropertyList& value)
{
    if (type() != Type::Array)
        return;
    plist_array_append_item(node(m_node), plist_copy(node(value.m_root)));
}

void PlistNode::assignBool(bool value)
{
    if (type() == Type::Boolean)
        plist_set_bool_val(node(m_node), value ? 1 : 0);
}

bool PlistNode::operator==(const PlistNode& other) const
{
    const Type kind = type();
    if (kind != other.type())
        return false;
    switch (kind) {
    case Type::Invalid:
        return true;
    case Type::Dictionary: {
        if (count() != other.count())
            return false;
        bool equal = true;
        forEachMember([&](const QString& key, PlistNode mine) {
            if (equal && !(mine == other.value(key)))
                equal = false;
        });
        return equal;
    }
    case Type::Array: {
        if (count() != other.count())
            return false;
        const QList<PlistNode> mine = elements();
        const QList<PlistNode> theirs = other.elements();
        return std::equal(mine.cbegin(), mine.cend(), theirs.cbegin(), theirs.cend());
    }
    case Type::String: {
        uint64_t a = 0, b = 0;
        const char* x = plist_get_string_ptr(node(m_node), &a);
        const char* y = plist_get_string_ptr(node(other.m_node), &b);
        return a == b && std::memcmp(x, y, a) == 0;
    }
    case Type::Boolean:
        return toBool() == other.toBool();
    case Type::Integer:
        return toInteger() == other.toInteger();
    case Type::Real:
        return realsEqual(*toReal(), *other.toReal());
    case Type::Date: {
        const auto a = toDate();
        const auto b = other.toDate();
        return a && b && realsEqual(*a, *b);
    }
    case Type::Data: {
        uint64_t a = 0, b = 0;
        const char* x = plist_get_data_ptr(node(m_node), &a);
        const char* y = plist_get_data_ptr(node(other.m_node), &b);
        return a == b && (a == 0 || std::memcmp(x, y, a) == 0);
    }
    case Type::Uid:
        return toUid() == other.toUid();
    }
    return false;
}

PropertyList PlistNode::copy() const
{
    if (!m_node)
        return PropertyList::dictionary();
    return PropertyList(plist_copy(node(m_node)), PropertyList::Format::Binary);
}

// ---- PropertyList ----------------------------------------------------------------------------

PropertyList PropertyList::decode(const QByteArray& bytes)
{
    if (bytes.isEmpty())
        throw parseError(QStringLiteral("The property list is empty."));
    if (bytes.size() > std::numeric_limits<int32_t>::max())
        throw parseError(QStringLiteral("The property list is too large."));
    const auto length = static_cast<uint32_t>(bytes.size());
    const bool binary = plist_is_binary(bytes.constData(), length) != 0;
    if (binary) {
        if (const auto problem = binaryShapeProblem(bytes))
            throw parseError(*problem);
    }
    plist_t root = nullptr;
    {
        CNumericLocale locale;
        if (binary)
            plist_from_bin(bytes.constData(), length, &root);
        else
            plist_from_xml(bytes.constData(), length, &root);
    }
    if (!root) {
        throw parseError(
            binary ? QStringLiteral("The binary property list is malformed.")
                   : QStringLiteral("The data is neither a binary nor a well-formed XML property list."));
    }
    return PropertyList(root, binary ? Format::Binary : Format::Xml);
}

PropertyList PropertyList::dictionary()
{
    return PropertyList(plist_new_dict(), Format::Binary);
}
PropertyList PropertyList::array()
{
    return PropertyList(plist_new_array(), Format::Binary);
}

PropertyList PropertyList::string(const QString& value)
{
    return PropertyList(plist_new_string(value.toUtf8().constData()), Format::Binary);
}

PropertyList PropertyList::boolean(bool value)
{
    return PropertyList(plist_new_bool(value ? 1 : 0), Format::Binary);
}

PropertyList PropertyList::integer(qint64 value)
{
    return PropertyList(plist_new_uint(static_cast<uint64_t>(value)), Format::Binary);
}

PropertyList PropertyList::real(double value)
{
    return PropertyList(plist_new_real(value), Format::Binary);
}

PropertyList PropertyList::data(const QByteArray& value)
{
    return PropertyList(plist_new_data(value.constData(), static_cast<uint64_t>(value.size())),
                        Format::Binary);
}

PropertyList PropertyList::uid(quint64 value)
{
    return PropertyList(plist_new_uid(value), Format::Binary);
}

PropertyList PropertyList::date(qint32 seconds, qint32 microseconds)
{
    return PropertyList(plist_new_date(seconds, microseconds), Format::Binary);
}

PropertyList::PropertyList(const PropertyList& other)
    : m_root(other.m_root ? plist_copy(node(other.m_root)) : nullptr), m_format(other.m_format)
{}

PropertyList::PropertyList(PropertyList&& other) noexcept : m_root(other.m_root), m_format(other.m_format)
{
    other.m_root = plist_new_dict();
}

PropertyList& PropertyList::operator=(const PropertyList& other)
{
    if (this != &other) {
        PropertyList copy(other);
        std::swap(m_root, copy.m_root);
        m_format = copy.m_format;
    }
    return *this;
}

PropertyList& PropertyList::operator=(PropertyList&& other) noexcept
{
    std::swap(m_root, other.m_root);
    m_format = other.m_format;
    return *this;
}

PropertyList::~PropertyList()
{
    if (m_root)
        plist_free(node(m_root));
}

QByteArray PropertyList::toBinary() const
{
    return BinaryWriter().write(node(m_root));
}

QByteArray PropertyList::toXml() const
{
    char* text = nullptr;
    uint32_t length = 0;
    {
        CNumericLocale locale;
        plist_to_xml(node(m_root), &text, &length);
    }
    if (!text)
        throw SystemError(SystemError::Kind::Parse,
                          QStringLiteral("The property list could not be written."));
    QByteArray result(text, static_cast<qsizetype>(length));
    plist_to_xml_free(text);
    return result;
}

} // namespace velmor
