#include "foundation/property_list.h"

#include "foundation/system_error.h"

#include <locale.h>
#include <plist/plist.h>

#include <clocale>
#include <cmath>
#include <cstring>
#include <limits>

namespace velmor {
namespace {

plist_t node(void* p)
{
    return static_cast<plist_t>(p);
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
    // libplist's date accessor truncates to whole int32 seconds; its binary writer keeps the
    // stored double exactly. A one-object binary list holds the date right after the header:
    // marker 0x33 and the big-endian 8-byte value.
    char* bytes = nullptr;
    uint32_t length = 0;
    {
        CNumericLocale locale;
        plist_to_bin(node(m_node), &bytes, &length);
    }
    std::optional<double> result;
    if (bytes && length >= 17 && static_cast<unsigned char>(bytes[8]) == 0x33) {
        quint64 bits = 0;
        for (int i = 9; i < 17; ++i)
            bits = (bits << 8) | static_cast<unsigned char>(bytes[i]);
        double value = 0;
        std::memcpy(&value, &bits, sizeof value);
        result = value;
    }
    plist_to_bin_free(bytes);
    return result;
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
    plist_dict_iter iterator = nullptr;
    plist_dict_new_iter(node(m_node), &iterator);
    for (;;) {
        char* key = nullptr;
        plist_t item = nullptr;
        plist_dict_next_item(node(m_node), iterator, &key, &item);
        if (!item) {
            free(key);
            break;
        }
        const QString name = QString::fromUtf8(key);
        free(key);
        visit(name, PlistNode(item));
    }
    free(iterator);
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
        const int size = count();
        if (size != other.count())
            return false;
        for (int i = 0; i < size; ++i) {
            if (!(at(i) == other.at(i)))
                return false;
        }
        return true;
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
    char* bytes = nullptr;
    uint32_t length = 0;
    {
        CNumericLocale locale;
        plist_to_bin(node(m_root), &bytes, &length);
    }
    if (!bytes)
        throw SystemError(SystemError::Kind::Parse,
                          QStringLiteral("The property list could not be written."));
    QByteArray result(bytes, static_cast<qsizetype>(length));
    plist_to_bin_free(bytes);
    return result;
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
