#include "foundation/property_list.h"

#include "foundation/c_numeric_locale.h"
#include "foundation/libplist_access.h"
#include "foundation/property_list_binary_writer.h"
#include "foundation/property_list_input_check.h"
#include "foundation/system_error.h"

#include <plist/plist.h>

#include <cmath>
#include <cstring>
#include <utility>
#include <vector>

namespace velmor {
namespace {

const QString kEmpty = QStringLiteral("The property list is empty.");
const QString kTooLarge = QStringLiteral("The property list is larger than %1 MB.");
const QString kMalformedBinary = QStringLiteral("The binary property list is malformed.");
const QString kMalformedXml =
    QStringLiteral("The data is neither a binary nor a well-formed XML property list.");

plist_t node(void* p)
{
    return static_cast<plist_t>(p);
}

QByteArray toUtf8Key(const QString& key)
{
    return key.toUtf8();
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
    // libplist's date accessor truncates to whole int32 seconds; its writer keeps the stored
    // double exactly: marker 0x33 and the big-endian 8-byte value.
    const QByteArray object = libplist::scalarObject(node(m_node));
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
    libplist::walkArray(node(m_node), [&](plist_t item) { result.append(PlistNode(item)); });
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
    libplist::walkDictionary(
        node(m_node), [&](const char* key, plist_t item) { visit(QString::fromUtf8(key), PlistNode(item)); });
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

// Pairs are compared with a work list rather than by recursion, so the depth of a document built
// in code never matters here.
bool PlistNode::operator==(const PlistNode& other) const
{
    std::vector<std::pair<PlistNode, PlistNode>> pending{{*this, other}};
    while (!pending.empty()) {
        const PlistNode mine = pending.back().first;
        const PlistNode theirs = pending.back().second;
        pending.pop_back();
        const Type kind = mine.type();
        if (kind != theirs.type())
            return false;
        switch (kind) {
        case Type::Invalid:
            break;
        case Type::Dictionary:
            if (mine.count() != theirs.count())
                return false;
            mine.forEachMember([&](const QString& key, PlistNode member) {
                pending.emplace_back(member, theirs.value(key));
            });
            break;
        case Type::Array: {
            if (mine.count() != theirs.count())
                return false;
            const QList<PlistNode> left = mine.elements();
            const QList<PlistNode> right = theirs.elements();
            for (qsizetype i = 0; i < left.size() && i < right.size(); ++i)
                pending.emplace_back(left[i], right[i]);
            break;
        }
        case Type::String: {
            uint64_t a = 0, b = 0;
            const char* x = plist_get_string_ptr(node(mine.m_node), &a);
            const char* y = plist_get_string_ptr(node(theirs.m_node), &b);
            if (a != b || std::memcmp(x, y, a) != 0)
                return false;
            break;
        }
        case Type::Boolean:
            if (mine.toBool() != theirs.toBool())
                return false;
            break;
        case Type::Integer:
            if (mine.toInteger() != theirs.toInteger())
                return false;
            break;
        case Type::Real:
            if (!realsEqual(*mine.toReal(), *theirs.toReal()))
                return false;
            break;
        case Type::Date: {
            const auto a = mine.toDate();
            const auto b = theirs.toDate();
            if (!a || !b || !realsEqual(*a, *b))
                return false;
            break;
        }
        case Type::Data: {
            uint64_t a = 0, b = 0;
            const char* x = plist_get_data_ptr(node(mine.m_node), &a);
            const char* y = plist_get_data_ptr(node(theirs.m_node), &b);
            if (a != b || (a != 0 && std::memcmp(x, y, a) != 0))
                return false;
            break;
        }
        case Type::Uid:
            if (mine.toUid() != theirs.toUid())
                return false;
            break;
        }
    }
    return true;
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
        throw SystemError(SystemError::Kind::Parse, kEmpty);
    if (bytes.size() > maximumBytes)
        throw SystemError(SystemError::Kind::Parse, kTooLarge.arg(maximumBytes / (1024 * 1024)));
    const auto length = static_cast<uint32_t>(bytes.size());
    const bool binary = plist_is_binary(bytes.constData(), length) != 0;
    PropertyListInputCheck check(bytes, binary);
    check.checkBytes();
    plist_t root = nullptr;
    {
        CNumericLocale locale;
        if (binary)
            plist_from_bin(bytes.constData(), length, &root);
        else
            plist_from_xml(bytes.constData(), length, &root);
    }
    if (!root)
        throw SystemError(SystemError::Kind::Parse, binary ? kMalformedBinary : kMalformedXml);
    PropertyList document(root, binary ? Format::Binary : Format::Xml);
    check.checkDocument(root);
    return document;
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
    return PropertyListBinaryWriter().write(node(m_root));
}

QByteArray PropertyList::toXml() const
{
    // libplist's XML writer recurses once per level.
    if (libplist::nestsDeeperThan(node(m_root), maximumDepth))
        throw SystemError(SystemError::Kind::Parse, QString::fromLatin1(PropertyList::tooDeepToWriteText));
    char* text = nullptr;
    uint32_t length = 0;
    {
        CNumericLocale locale;
        plist_to_xml(node(m_root), &text, &length);
    }
    if (!text)
        throw SystemError(SystemError::Kind::Parse, QString::fromLatin1(PropertyList::notWrittenText));
    QByteArray result(text, static_cast<qsizetype>(length));
    plist_to_xml_free(text);
    return result;
}

} // namespace velmor
