#pragma once

#include <QByteArray>
#include <QList>
#include <QString>
#include <QStringList>

#include <functional>
#include <optional>

namespace velmor {

class PropertyList;

// A view of one value inside a PropertyList. It stays valid while its document lives and the
// value is not replaced or removed. Reads never convert: a boolean is not an integer, an integer
// is not a real.
class PlistNode final {
public:
    enum class Type { Dictionary, Array, String, Boolean, Integer, Real, Date, Data, Uid, Invalid };

    PlistNode() = default;

    bool isValid() const { return m_node != nullptr; }
    Type type() const;
    bool isDictionary() const { return type() == Type::Dictionary; }
    bool isArray() const { return type() == Type::Array; }

    // Scalars; absent when the value has another type.
    std::optional<QString> toString() const;
    std::optional<bool> toBool() const;
    // Integers are read as signed 64-bit values, the way the Mac writes them.
    std::optional<qint64> toInteger() const;
    std::optional<double> toReal() const;
    // Seconds since 1 January 2001 00:00 UTC, exactly as stored.
    std::optional<double> toDate() const;
    std::optional<QByteArray> toData() const;
    std::optional<quint64> toUid() const;

    // Containers: element count of an array or dictionary, 0 for anything else.
    int count() const;
    // Array element; invalid when out of range or not an array. libplist finds it by walking the
    // array from its start, so visit long arrays with elements() instead.
    PlistNode at(int index) const;
    // Array elements in order, in one pass; empty for anything but an array.
    QList<PlistNode> elements() const;
    // Dictionary member; invalid when absent or not a dictionary.
    PlistNode value(const QString& key) const;
    bool contains(const QString& key) const { return value(key).isValid(); }
    // Dictionary keys in document order.
    QStringList keys() const;
    // Dictionary members in document order.
    void forEachMember(const std::function<void(const QString& key, PlistNode value)>& visit) const;

    // Editing in place. The node must be a dictionary (set*, remove) or an array (append); an
    // existing member is replaced where it stands, a new one is added at the end.
    void setBool(const QString& key, bool value);
    void setReal(const QString& key, double value);
    void setEntry(const QString& key, const PropertyList& value); // deep copy
    void remove(const QString& key);
    void append(const PropertyList& value); // deep copy
    // Replaces this boolean's value.
    void assignBool(bool value);

    // Structural equality: dictionaries compare regardless of member order.
    bool operator==(const PlistNode& other) const;

    // A deep copy as a document of its own.
    PropertyList copy() const;

private:
    friend class PropertyList;
    explicit PlistNode(void* node) : m_node(node) {}
    void* m_node = nullptr;
};

// An owned property-list document, decoded from binary ("bplist00") or XML bytes and written back
// in either form. Values it does not touch survive a decode-encode round trip unchanged.
class PropertyList final {
public:
    enum class Format { Binary, Xml };

    // Limits of what the app reads and writes. The deepest document it needs is a tracked-
    // applications row (list, row, location, "adhocBinary", "_0": five levels); the menu bar's
    // domain and the app's own preferences nest three. 64 leaves room for whatever else a domain
    // keeps beside those values, while every recursion over a document (libplist's parser,
    // copier and writers, the binary writer, the canonical form) stays a few kilobytes of stack.
    // The real domains hold a few thousand values in well under a megabyte.
    // What an encoder says when libplist or our own writer cannot produce a document.
    static constexpr const char* notWrittenText = "The property list could not be written.";
    static constexpr const char* tooDeepToWriteText = "The property list nests too deeply to be written.";
    static constexpr int maximumDepth = 64;
    static constexpr qint64 maximumValues = 1 << 20;
    static constexpr qsizetype maximumBytes = 64 * 1024 * 1024;

    // Decodes binary or XML bytes; throws SystemError (Parse) with the reason; never partial.
    // Rejects what the app cannot represent safely: a key or string with a NUL character, a
    // stored length that runs past its bytes, nesting deeper than maximumDepth, more than
    // maximumValues values (shared objects of a binary list count once per reference), a date
    // outside the years 1 to 9999, and a dictionary with a repeated key.
    static PropertyList decode(const QByteArray& bytes);

    static PropertyList dictionary();
    static PropertyList array();
    static PropertyList string(const QString& value);
    static PropertyList boolean(bool value);
    static PropertyList integer(qint64 value);
    static PropertyList real(double value);
    static PropertyList data(const QByteArray& value);
    static PropertyList uid(quint64 value);
    // Whole seconds since 1 January 2001 00:00 UTC plus microseconds.
    static PropertyList date(qint32 seconds, qint32 microseconds = 0);

    PropertyList(const PropertyList& other);
    PropertyList(PropertyList&& other) noexcept;
    PropertyList& operator=(const PropertyList& other);
    PropertyList& operator=(PropertyList&& other) noexcept;
    ~PropertyList();

    PlistNode root() const { return PlistNode(m_root); }
    // The form the document was decoded from (Binary for documents built in code).
    Format sourceFormat() const { return m_format; }

    // Both throw SystemError for a document built in code deeper than maximumDepth.
    QByteArray toBinary() const;
    QByteArray toXml() const;
    QByteArray encode(Format format) const { return format == Format::Binary ? toBinary() : toXml(); }

    bool operator==(const PropertyList& other) const { return root() == other.root(); }

private:
    friend class PlistNode;
    PropertyList(void* root, Format format) : m_root(root), m_format(format) {}

    void* m_root = nullptr;
    Format m_format = Format::Binary;
};

} // namespace velmor
