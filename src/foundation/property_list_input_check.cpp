#include "foundation/property_list_input_check.h"

#include "foundation/libplist_access.h"
#include "foundation/property_list.h"
#include "foundation/system_error.h"

#include <QString>

#include <algorithm>
#include <cctype>
#include <cmath>
#include <cstring>
#include <string_view>

namespace velmor {
namespace {

const QString kTruncated = QStringLiteral("The binary property list is truncated (%1 bytes).");
const QString kDamagedTrailer = QStringLiteral("The binary property list has a damaged trailer.");
const QString kTableOutside =
    QStringLiteral("The binary property list is truncated: its offset table lies outside the data.");
const QString kObjectOutside =
    QStringLiteral("The binary property list has an object that lies outside its data.");
const QString kRunsPast =
    QStringLiteral("The binary property list has a value whose stored length runs past its bytes.");
const QString kUnknownObject = QStringLiteral("The binary property list has an object of an unknown type.");
const QString kBadReference =
    QStringLiteral("The binary property list refers to an object it does not have.");
const QString kRefersToItself = QStringLiteral("The binary property list contains itself.");
const QString kKeyNotString =
    QStringLiteral("The binary property list has a dictionary key that is not a string.");
const QString kNulInKey = QStringLiteral("The property list has a dictionary key with a NUL character.");
const QString kNulInString = QStringLiteral("The property list has a string with a NUL character.");
const QString kNotUnicode = QStringLiteral("The property list has a string that is not valid Unicode.");
const QString kLeadingMark =
    QStringLiteral("The property list has a string that starts with a byte order mark.");
const QString kTooDeep = QStringLiteral("The property list nests more than %1 levels deep.");
const QString kTooManyValues = QStringLiteral("The property list holds more than %1 values.");
const QString kDateOutOfRange = QStringLiteral("The property list has a date outside the years 1 to 9999.");
const QString kRepeatedKey = QStringLiteral("The property list has a dictionary with a repeated key.");
const QString kUnsupportedValue = QStringLiteral("The property list has a value of an unsupported type.");
const QString kXmlNul = QStringLiteral("The XML property list contains a NUL character.");
const QString kXmlUnterminated = QStringLiteral("The XML property list ends inside a tag or comment.");
const QString kXmlMismatch =
    QStringLiteral("The XML property list does not read back as the dictionaries its text holds.");

constexpr qsizetype headerSize = 8;
constexpr qsizetype trailerSize = 32;
constexpr unsigned char arrayType = 0xa;
constexpr unsigned char dictionaryType = 0xd;

[[noreturn]] void reject(const QString& reason)
{
    throw SystemError(SystemError::Kind::Parse, reason);
}

[[noreturn]] void rejectTooDeep()
{
    reject(kTooDeep.arg(PropertyList::maximumDepth));
}

[[noreturn]] void rejectTooMany()
{
    reject(kTooManyValues.arg(PropertyList::maximumValues));
}

// The objects of a binary list, read straight from its bytes: every extent is checked against the
// space before the offset table, where the format keeps them.
class BinaryObjects final {
public:
    struct Object {
        unsigned char type = 0;
        quint64 entries = 0;      // arrays and dictionaries
        quint64 references = 0;   // where their references start
        bool hasNul = false;      // strings
        bool badUnicode = false;  // 8-bit ASCII, or UTF-16 with an unpaired surrogate
        bool leadingMark = false; // UTF-16 that starts with U+FEFF, which libplist drops
        quint64 text = 0;         // strings: where their characters start
        quint64 length = 0;       // strings: characters (ASCII) or UTF-16 units
    };

    // Orders string objects by the text libplist makes of them (ASCII and UTF-16 alike; unpaired
    // surrogates are rejected, so equal units mean equal text): by length, then unit by unit.
    int compareText(const Object& a, const Object& b) const
    {
        if (a.length != b.length)
            return a.length < b.length ? -1 : 1;
        if (a.type == 0x5 && b.type == 0x5)
            return std::memcmp(m_data + a.text, m_data + b.text, a.length);
        for (quint64 i = 0; i < a.length; ++i) {
            const quint32 x = unit(a, i);
            const quint32 y = unit(b, i);
            if (x != y)
                return x < y ? -1 : 1;
        }
        return 0;
    }

    explicit BinaryObjects(const QByteArray& bytes)
        : m_data(reinterpret_cast<const unsigned char*>(bytes.constData())), m_size(bytes.size())
    {
        if (m_size < headerSize + 1 + trailerSize)
            reject(kTruncated.arg(m_size));
        const quint64 trailer = m_size - trailerSize;
        m_offsetSize = m_data[trailer + 6];
        m_referenceSize = m_data[trailer + 7];
        m_count = read(trailer + 8, 8);
        m_top = read(trailer + 16, 8);
        m_table = read(trailer + 24, 8);
        if (m_offsetSize < 1 || m_offsetSize > 8 || m_referenceSize < 1 || m_referenceSize > 8 ||
            m_count == 0)
            reject(kDamagedTrailer);
        if (m_table < static_cast<quint64>(headerSize) || m_table >= trailer ||
            m_count > (trailer - m_table) / static_cast<quint64>(m_offsetSize))
            reject(kTableOutside);
        if (m_top >= m_count)
            reject(kBadReference);
    }

    quint64 count() const { return m_count; }
    quint64 top() const { return m_top; }
    int referenceSize() const { return m_referenceSize; }

    quint64 reference(quint64 at) const
    {
        const quint64 index = read(at, m_referenceSize);
        if (index >= m_count)
            reject(kBadReference);
        return index;
    }

    Object object(quint64 index) const
    {
        const quint64 at = read(m_table + index * m_offsetSize, m_offsetSize);
        if (at < static_cast<quint64>(headerSize) || at >= m_table)
            reject(kObjectOutside);
        const quint64 room = m_table - at;
        const unsigned char marker = m_data[at];
        Object object{static_cast<unsigned char>(marker >> 4), 0, 0, false};
        const unsigned info = marker & 0x0f;
        // The units that follow the header must fit in the room before the offset table.
        const auto fit = [&](quint64 header, quint64 units, quint64 unitSize) {
            if (header > room || units > (room - header) / unitSize)
                reject(kRunsPast);
        };
        quint64 header = 1;
        const auto length = [&]() -> quint64 {
            if (info != 0x0f)
                return info;
            fit(2, 0, 1);
            const unsigned char sizeMarker = m_data[at + 1];
            if ((sizeMarker >> 4) != 1 || (sizeMarker & 0x0f) > 3)
                reject(kRunsPast);
            const quint64 size = quint64(1) << (sizeMarker & 0x0f);
            fit(2, size, 1);
            header = 2 + size;
            return read(at + 2, static_cast<int>(size));
        };
        switch (object.type) {
        case 0x0:
            if (info != 0x0 && info != 0x8 && info != 0x9 && info != 0xf)
                reject(kUnknownObject);
            break;
        case 0x1:
            if (info > 4)
                reject(kUnknownObject);
            fit(1, quint64(1) << info, 1);
            break;
        case 0x2:
            if (info != 2 && info != 3)
                reject(kUnknownObject);
            fit(1, quint64(1) << info, 1);
            break;
        case 0x3: {
            if (info != 3)
                reject(kUnknownObject);
            fit(1, 8, 1);
            const quint64 bits = read(at + 1, 8);
            double seconds = 0;
            std::memcpy(&seconds, &bits, sizeof seconds);
            if (!PropertyListInputCheck::isRepresentableDate(seconds))
                reject(kDateOutOfRange);
            break;
        }
        case 0x4: {
            const quint64 bytes = length();
            fit(header, bytes, 1);
            break;
        }
        case 0x5: {
            const quint64 characters = length();
            fit(header, characters, 1);
            object.text = at + header;
            object.length = characters;
            // The format's ASCII strings hold 7-bit characters only; libplist would hand on other
            // bytes as text that is not UTF-8, which no key lookup finds again.
            for (quint64 i = 0; i < characters; ++i) {
                const unsigned char c = m_data[object.text + i];
                object.hasNul = object.hasNul || c == 0;
                object.badUnicode = object.badUnicode || c >= 0x80;
            }
            break;
        }
        case 0x6: {
            const quint64 units = length();
            fit(header, units, 2);
            object.text = at + header;
            object.length = units;
            object.leadingMark = units > 0 && m_data[object.text] == 0xfe && m_data[object.text + 1] == 0xff;
            for (quint64 i = 0; i < units; ++i) {
                const quint32 unit =
                    (quint32(m_data[object.text + 2 * i]) << 8) | m_data[object.text + 2 * i + 1];
                if (unit == 0)
                    object.hasNul = true;
                if (unit >= 0xd800 && unit < 0xdc00) {
                    const quint64 next = i + 1;
                    const quint32 low = next < units ? (quint32(m_data[object.text + 2 * next]) << 8) |
                                                           m_data[object.text + 2 * next + 1]
                                                     : 0;
                    if (low < 0xdc00 || low >= 0xe000)
                        object.badUnicode = true;
                    i = next;
                } else if (unit >= 0xdc00 && unit < 0xe000) {
                    object.badUnicode = true;
                }
            }
            break;
        }
        case 0x8:
            fit(1, info + 1, 1);
            break;
        case arrayType:
        case dictionaryType: {
            object.entries = length();
            const quint64 perEntry = object.type == dictionaryType ? 2u * m_referenceSize : m_referenceSize;
            fit(header, object.entries, perEntry);
            object.references = at + header;
            break;
        }
        default:
            reject(kUnknownObject);
        }
        return object;
    }

private:
    quint32 unit(const Object& object, quint64 i) const
    {
        if (object.type == 0x5)
            return m_data[object.text + i];
        return (quint32(m_data[object.text + 2 * i]) << 8) | m_data[object.text + 2 * i + 1];
    }

    quint64 read(quint64 at, int size) const
    {
        quint64 value = 0;
        for (int i = 0; i < size; ++i)
            value = (value << 8) | m_data[at + i];
        return value;
    }

    const unsigned char* m_data;
    quint64 m_size;
    int m_offsetSize = 0;
    int m_referenceSize = 0;
    quint64 m_count = 0;
    quint64 m_top = 0;
    quint64 m_table = 0;
};

bool startsWith(const char* text, qsizetype size, qsizetype at, std::string_view prefix)
{
    return size - at >= static_cast<qsizetype>(prefix.size()) &&
           std::memcmp(text + at, prefix.data(), prefix.size()) == 0;
}

// The position just past `terminator`, searched from `from`.
qsizetype skipPast(const char* text, qsizetype size, qsizetype from, std::string_view terminator)
{
    const std::string_view rest(text + from, static_cast<std::size_t>(size - from));
    const auto found = rest.find(terminator);
    if (found == std::string_view::npos)
        reject(kXmlUnterminated);
    return from + static_cast<qsizetype>(found + terminator.size());
}

bool isXmlValueTag(std::string_view name)
{
    static constexpr std::string_view values[] = {"string", "integer", "real", "date",
                                                  "data",   "true",    "false"};
    return std::find(std::begin(values), std::end(values), name) != std::end(values);
}

// Well-formed UTF-8 (no overlong forms, no surrogates, nothing past U+10FFFF).
bool isUtf8(const char* text, std::size_t length)
{
    const auto* p = reinterpret_cast<const unsigned char*>(text);
    std::size_t i = 0;
    while (i < length) {
        const unsigned char c = p[i];
        if (c < 0x80) {
            ++i;
            continue;
        }
        int extra = 0;
        quint32 low = 0x80;
        quint32 high = 0xbf; // allowed range of the byte after the lead
        if (c >= 0xc2 && c <= 0xdf) {
            extra = 1;
        } else if (c >= 0xe0 && c <= 0xef) {
            extra = 2;
            low = c == 0xe0 ? 0xa0 : 0x80;
            high = c == 0xed ? 0x9f : 0xbf;
        } else if (c >= 0xf0 && c <= 0xf4) {
            extra = 3;
            low = c == 0xf0 ? 0x90 : 0x80;
            high = c == 0xf4 ? 0x8f : 0xbf;
        } else {
            return false;
        }
        if (length - i <= static_cast<std::size_t>(extra) || p[i + 1] < low || p[i + 1] > high)
            return false;
        for (int k = 2; k <= extra; ++k) {
            if (p[i + k] < 0x80 || p[i + k] > 0xbf)
                return false;
        }
        i += static_cast<std::size_t>(extra) + 1;
    }
    return true;
}

} // namespace

bool PropertyListInputCheck::isRepresentableDate(double seconds)
{
    return std::isfinite(seconds) && seconds >= earliestDate && seconds < endOfLatestDate;
}

void PropertyListInputCheck::checkBytes()
{
    if (m_binary)
        checkBinary();
    else
        checkXml();
}

// Walks the object graph from the top object, depth first with a stack of its own, visiting each
// object once: a shared object's expanded size and nesting are remembered, since libplist copies
// it at every reference.
void PropertyListInputCheck::checkBinary()
{
    const BinaryObjects objects(m_bytes);
    if (objects.count() > static_cast<quint64>(PropertyList::maximumValues))
        rejectTooMany();
    enum State : unsigned char { Unseen, Open, Done };
    const auto count = static_cast<std::size_t>(objects.count());
    std::vector<State> state(count, Unseen);
    std::vector<quint32> expanded(count, 0);     // values libplist makes of it, capped past the limit
    std::vector<unsigned char> levels(count, 0); // containers on its deepest path, itself included
    std::vector<unsigned char> types(count, 0);
    std::vector<unsigned char> textProblems(count, 0); // 1: a NUL, 2: not Unicode, 3: a leading mark

    struct Frame {
        std::size_t index;
        BinaryObjects::Object object;
        quint64 next = 0;
        quint64 expanded = 1;
        int levels = 1;
    };
    std::vector<Frame> stack;
    std::vector<BinaryObjects::Object> keys;
    // libplist keeps both members of a repeated key; which one a reader sees depends on the reader.
    const auto checkKeys = [&](const BinaryObjects::Object& dictionary) {
        keys.clear();
        for (quint64 i = 0; i < dictionary.entries; ++i) {
            const BinaryObjects::Object key = objects.object(static_cast<std::size_t>(
                objects.reference(dictionary.references + i * objects.referenceSize())));
            if (key.type != 0x5 && key.type != 0x6)
                reject(kKeyNotString);
            if (key.hasNul)
                reject(kNulInKey);
            keys.push_back(key);
        }
        constexpr std::size_t fewKeys = 16;
        if (keys.size() <= fewKeys) {
            for (std::size_t i = 0; i < keys.size(); ++i) {
                for (std::size_t j = i + 1; j < keys.size(); ++j) {
                    if (objects.compareText(keys[i], keys[j]) == 0)
                        reject(kRepeatedKey);
                }
            }
            return;
        }
        std::sort(keys.begin(), keys.end(),
                  [&](const auto& a, const auto& b) { return objects.compareText(a, b) < 0; });
        for (std::size_t i = 1; i < keys.size(); ++i) {
            if (objects.compareText(keys[i - 1], keys[i]) == 0)
                reject(kRepeatedKey);
        }
    };
    constexpr quint64 cap = PropertyList::maximumValues + 1;

    // Returns true when the object is a container that now has to be walked.
    const auto enter = [&](std::size_t index, bool asKey) {
        if (state[index] == Open)
            reject(kRefersToItself);
        if (state[index] == Unseen) {
            const BinaryObjects::Object object = objects.object(index);
            types[index] = object.type;
            textProblems[index] = object.hasNul ? 1 : object.badUnicode ? 2 : object.leadingMark ? 3 : 0;
            if (asKey && object.type != 0x5 && object.type != 0x6)
                reject(kKeyNotString);
            if (object.type == arrayType || object.type == dictionaryType) {
                if (stack.size() + 1 > static_cast<std::size_t>(PropertyList::maximumDepth))
                    rejectTooDeep();
                if (object.type == dictionaryType)
                    checkKeys(object);
                state[index] = Open;
                stack.push_back(Frame{index, object});
                return true;
            }
            state[index] = Done;
            expanded[index] = 1;
        }
        if (asKey && types[index] != 0x5 && types[index] != 0x6)
            reject(kKeyNotString);
        if (textProblems[index] == 1)
            reject(asKey ? kNulInKey : kNulInString);
        if (textProblems[index] == 2)
            reject(kNotUnicode);
        if (textProblems[index] == 3)
            reject(kLeadingMark);
        if (stack.size() + levels[index] > static_cast<std::size_t>(PropertyList::maximumDepth))
            rejectTooDeep();
        return false;
    };
    const auto addChild = [&](Frame& parent, std::size_t child) {
        parent.expanded = std::min(cap, parent.expanded + expanded[child]);
        parent.levels = std::max(parent.levels, levels[child] + 1);
        if (parent.expanded > static_cast<quint64>(PropertyList::maximumValues))
            rejectTooMany();
    };

    if (!enter(static_cast<std::size_t>(objects.top()), false))
        return;
    while (!stack.empty()) {
        Frame& frame = stack.back();
        const bool dictionary = frame.object.type == dictionaryType;
        const quint64 references = dictionary ? 2 * frame.object.entries : frame.object.entries;
        if (frame.next < references) {
            const quint64 position = frame.next++;
            const auto child = static_cast<std::size_t>(
                objects.reference(frame.object.references + position * objects.referenceSize()));
            if (!enter(child, dictionary && position < frame.object.entries))
                addChild(stack.back(), child);
            continue;
        }
        const std::size_t index = frame.index;
        expanded[index] = static_cast<quint32>(frame.expanded);
        levels[index] = static_cast<unsigned char>(frame.levels);
        state[index] = Done;
        stack.pop_back();
        if (!stack.empty())
            addChild(stack.back(), index);
    }
}

// A scan of the text, not a parse: it finds the tags the way libplist's reader does (skipping
// comments, CDATA, processing instructions and the document type), so that the depth is known
// before libplist recurses and the keys of each dictionary can be counted.
void PropertyListInputCheck::checkXml()
{
    const char* text = m_bytes.constData();
    const qsizetype size = m_bytes.size();
    if (std::memchr(text, 0, static_cast<std::size_t>(size)))
        reject(kXmlNul);
    std::vector<qsizetype> open; // per open container: its slot in m_xmlKeyCounts, -1 for an array
    quint64 values = 0;
    const auto countValue = [&] {
        if (++values > static_cast<quint64>(PropertyList::maximumValues))
            rejectTooMany();
    };
    qsizetype at = 0;
    while (at < size) {
        const auto* next =
            static_cast<const char*>(std::memchr(text + at, '<', static_cast<std::size_t>(size - at)));
        if (!next)
            break;
        at = next - text;
        if (startsWith(text, size, at, "<!--")) {
            at = skipPast(text, size, at + 4, "-->");
            continue;
        }
        if (startsWith(text, size, at, "<![CDATA[")) {
            at = skipPast(text, size, at + 9, "]]>");
            continue;
        }
        if (startsWith(text, size, at, "<?")) {
            at = skipPast(text, size, at + 2, "?>");
            continue;
        }
        if (startsWith(text, size, at, "<!")) {
            int brackets = 0;
            qsizetype end = at + 2;
            for (; end < size; ++end) {
                if (text[end] == '[')
                    ++brackets;
                else if (text[end] == ']')
                    --brackets;
                else if (text[end] == '>' && brackets <= 0)
                    break;
            }
            if (end >= size)
                reject(kXmlUnterminated);
            at = end + 1;
            continue;
        }
        const bool closing = startsWith(text, size, at, "</");
        const qsizetype nameStart = at + (closing ? 2 : 1);
        qsizetype end = nameStart;
        while (end < size && (std::isalnum(static_cast<unsigned char>(text[end])) || text[end] == '_'))
            ++end;
        const std::string_view name(text + nameStart, static_cast<std::size_t>(end - nameStart));
        char quote = 0;
        for (; end < size; ++end) {
            const char c = text[end];
            if (quote) {
                if (c == quote)
                    quote = 0;
            } else if (c == '"' || c == '\'') {
                quote = c;
            } else if (c == '>') {
                break;
            }
        }
        if (end >= size)
            reject(kXmlUnterminated);
        const bool empty = end > nameStart && text[end - 1] == '/';
        at = end + 1;
        const bool container = name == "dict" || name == "array";
        if (closing) {
            if (container && !open.empty())
                open.pop_back();
            continue;
        }
        if (container) {
            countValue();
            qsizetype slot = -1;
            if (name == "dict") {
                slot = static_cast<qsizetype>(m_xmlKeyCounts.size());
                m_xmlKeyCounts.push_back(0);
            }
            // An empty container is a level too, as in the binary form and for the writers.
            if (open.size() + 1 > static_cast<std::size_t>(PropertyList::maximumDepth))
                rejectTooDeep();
            if (!empty)
                open.push_back(slot);
        } else if (name == "key") {
            countValue();
            if (!open.empty() && open.back() >= 0)
                ++m_xmlKeyCounts[static_cast<std::size_t>(open.back())];
        } else if (isXmlValueTag(name)) {
            countValue();
        }
    }
}

void PropertyListInputCheck::checkDocument(plist_t root) const
{
    if (m_binary)
        return; // everything was read from the bytes
    std::size_t dictionaries = 0;
    checkTree(root, dictionaries);
    if (!m_binary && dictionaries != m_xmlKeyCounts.size())
        reject(kXmlMismatch);
}

// Recursion is bounded: checkBytes() has limited the nesting to PropertyList::maximumDepth.
void PropertyListInputCheck::checkTree(plist_t value, std::size_t& dictionary) const
{
    switch (plist_get_node_type(value)) {
    case PLIST_DICT: {
        // libplist merges the members of a repeated key: fewer than the text had.
        const std::size_t index = dictionary++;
        const quint64 members = plist_dict_get_size(value);
        if (index >= m_xmlKeyCounts.size() || m_xmlKeyCounts[index] != members)
            reject(kRepeatedKey);
        libplist::walkDictionary(value, [&](const char* key, plist_t member) {
            if (!isUtf8(key, std::strlen(key)))
                reject(kNotUnicode);
            checkTree(member, dictionary);
        });
        return;
    }
    case PLIST_ARRAY:
        libplist::walkArray(value, [&](plist_t element) { checkTree(element, dictionary); });
        return;
    case PLIST_DATE: {
        const QByteArray object = libplist::scalarObject(value);
        quint64 bits = 0;
        for (qsizetype i = 1; i < object.size() && i < 9; ++i)
            bits = (bits << 8) | static_cast<unsigned char>(object[i]);
        double seconds = 0;
        std::memcpy(&seconds, &bits, sizeof seconds);
        if (object.size() != 9 || !isRepresentableDate(seconds))
            reject(kDateOutOfRange);
        return;
    }
    case PLIST_STRING: {
        uint64_t length = 0;
        const char* text = plist_get_string_ptr(value, &length);
        if (!isUtf8(text, static_cast<std::size_t>(length)) ||
            std::memchr(text, 0, static_cast<std::size_t>(length)))
            reject(kNotUnicode);
        return;
    }
    case PLIST_BOOLEAN:
    case PLIST_UINT:
    case PLIST_REAL:
    case PLIST_DATA:
    case PLIST_UID:
        return;
    default:
        reject(kUnsupportedValue);
    }
}

} // namespace velmor
