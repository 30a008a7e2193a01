#pragma once

#include <QByteArray>
#include <QList>
#include <QString>

#include <cstring>
#include <utility>

// Property lists as an attacker would write them: binary lists assembled object by object, so a
// test can say exactly which rule of the format they break, and their XML counterparts.
namespace velmor::test {

// A binary list of raw objects; references and offsets are 2 and 4 bytes wide.
class RawBinaryPlist final {
public:
    int add(const QByteArray& object)
    {
        m_objects.append(object);
        return static_cast<int>(m_objects.size() - 1);
    }

    static QByteArray reference(int index)
    {
        QByteArray bytes;
        bytes.append(char(index >> 8));
        bytes.append(char(index & 0xff));
        return bytes;
    }
    // A marker with its count; a count from 15 to 255 follows as a one-byte integer.
    static QByteArray marker(int type, qsizetype count)
    {
        if (count < 15)
            return QByteArray(1, char(type | count));
        QByteArray bytes(1, char(type | 0x0f));
        bytes.append('\x10');
        bytes.append(char(count));
        return bytes;
    }
    static QByteArray ascii(const QByteArray& text) { return marker(0x50, text.size()) + text; }
    static QByteArray utf16(const QString& text)
    {
        QByteArray object = marker(0x60, text.size());
        for (const QChar unit : text) {
            object.append(char(unit.unicode() >> 8));
            object.append(char(unit.unicode() & 0xff));
        }
        return object;
    }
    static QByteArray date(double seconds)
    {
        quint64 bits = 0;
        std::memcpy(&bits, &seconds, sizeof bits);
        QByteArray object(1, '\x33');
        for (int shift = 56; shift >= 0; shift -= 8)
            object.append(char((bits >> shift) & 0xff));
        return object;
    }
    static QByteArray array(const QList<int>& elements)
    {
        QByteArray object = marker(0xa0, elements.size());
        for (const int element : elements)
            object += reference(element);
        return object;
    }
    static QByteArray dictionary(const QList<std::pair<int, int>>& members)
    {
        QByteArray object = marker(0xd0, members.size());
        for (const auto& member : members)
            object += reference(member.first);
        for (const auto& member : members)
            object += reference(member.second);
        return object;
    }

    QByteArray bytes(int top = 0) const
    {
        QByteArray out("bplist00");
        QList<quint32> offsets;
        for (const QByteArray& object : m_objects) {
            offsets.append(static_cast<quint32>(out.size()));
            out += object;
        }
        const auto table = static_cast<quint64>(out.size());
        for (const quint32 offset : offsets)
            appendBigEndian(out, offset, 4);
        out += QByteArray(6, '\0');
        out += char(4);
        out += char(2);
        appendBigEndian(out, static_cast<quint64>(m_objects.size()), 8);
        appendBigEndian(out, static_cast<quint64>(top), 8);
        appendBigEndian(out, table, 8);
        return out;
    }

    // `value` in its last `size` bytes, most significant first, as the format stores numbers.
    static QByteArray bigEndian(quint64 value, int size)
    {
        QByteArray bytes;
        appendBigEndian(bytes, value, size);
        return bytes;
    }

private:
    static void appendBigEndian(QByteArray& out, quint64 value, int size)
    {
        for (int shift = (size - 1) * 8; shift >= 0; shift -= 8)
            out.append(char((value >> shift) & 0xff));
    }

    QList<QByteArray> m_objects;
};

// A dictionary { key: true }.
inline QByteArray binaryDictionaryWithKey(const QByteArray& keyObject)
{
    RawBinaryPlist list;
    list.add(RawBinaryPlist::dictionary({{1, 2}}));
    list.add(keyObject);
    list.add(QByteArray(1, '\x09'));
    return list.bytes();
}

// `levels` arrays, each holding the next, around one `true`.
inline QByteArray binaryNesting(int levels)
{
    RawBinaryPlist list;
    for (int i = 0; i < levels; ++i)
        list.add(RawBinaryPlist::array({i + 1}));
    list.add(QByteArray(1, '\x09'));
    return list.bytes();
}

inline QByteArray xmlNesting(int levels)
{
    return "<plist version=\"1.0\">" + QByteArray("<array>").repeated(levels) + "<true/>" +
           QByteArray("</array>").repeated(levels) + "</plist>";
}

// `levels` arrays each holding the next one twice: a few hundred bytes that describe 2^levels
// values once every reference is expanded.
inline QByteArray binaryDoublingArrays(int levels)
{
    RawBinaryPlist list;
    for (int i = 0; i < levels; ++i)
        list.add(RawBinaryPlist::array({i + 1, i + 1}));
    list.add(QByteArray(1, '\x09'));
    return list.bytes();
}

inline QByteArray binaryDate(double seconds)
{
    RawBinaryPlist list;
    list.add(RawBinaryPlist::array({1}));
    list.add(RawBinaryPlist::date(seconds));
    return list.bytes();
}

// The same dictionary twice over: a repeated "isAllowed" whose values disagree.
inline QByteArray binaryRepeatedKey()
{
    RawBinaryPlist list;
    list.add(RawBinaryPlist::dictionary({{1, 2}, {1, 3}}));
    list.add(RawBinaryPlist::ascii("isAllowed"));
    list.add(QByteArray(1, '\x09'));
    list.add(QByteArray(1, '\x08'));
    return list.bytes();
}

inline QByteArray xmlRepeatedKey()
{
    return "<plist version=\"1.0\"><dict><key>isAllowed</key><true/><key>isAllowed</key><false/></dict>"
           "</plist>";
}

// A string that claims 14 characters where 2 follow before the offset table.
inline QByteArray binaryStringLongerThanItsBytes()
{
    RawBinaryPlist list;
    list.add(RawBinaryPlist::array({1, 2}));
    list.add(QByteArray("\x5e", 1) + "ab");
    list.add(QByteArray(1, '\x09'));
    return list.bytes();
}

} // namespace velmor::test
