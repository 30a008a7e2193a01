#include "foundation/property_list.h"
#include "foundation/system_error.h"
#include "support/hostile_property_lists.h"

#include <gtest/gtest.h>

#include <clocale>
#include <cmath>
#include <limits>

using namespace velmor;

namespace {

PropertyList sampleDocument()
{
    PropertyList root = PropertyList::dictionary();
    root.root().setEntry(QStringLiteral("zeta"), PropertyList::string(QStringLiteral("last but first")));
    root.root().setEntry(QStringLiteral("flag"), PropertyList::boolean(true));
    root.root().setEntry(QStringLiteral("count"), PropertyList::integer(-7));
    root.root().setEntry(QStringLiteral("ratio"), PropertyList::real(0.25));
    root.root().setEntry(QStringLiteral("blob"), PropertyList::data(QByteArray("\x00\x01\xff", 3)));
    root.root().setEntry(QStringLiteral("when"), PropertyList::date(700000000, 0));
    root.root().setEntry(QStringLiteral("ref"), PropertyList::uid(12));
    PropertyList list = PropertyList::array();
    list.root().append(PropertyList::string(QStringLiteral("Grüße 👋")));
    list.root().append(PropertyList::dictionary());
    root.root().setEntry(QStringLiteral("alpha"), list);
    return root;
}

} // namespace

TEST(PropertyList, BinaryRoundTripKeepsTypesValuesAndKeyOrder)
{
    const PropertyList original = sampleDocument();
    const PropertyList decoded = PropertyList::decode(original.toBinary());
    EXPECT_EQ(decoded.sourceFormat(), PropertyList::Format::Binary);
    EXPECT_TRUE(decoded.toBinary().startsWith("bplist00"));
    EXPECT_EQ(decoded, original);
    const QStringList expectedOrder{QStringLiteral("zeta"),  QStringLiteral("flag"), QStringLiteral("count"),
                                    QStringLiteral("ratio"), QStringLiteral("blob"), QStringLiteral("when"),
                                    QStringLiteral("ref"),   QStringLiteral("alpha")};
    EXPECT_EQ(decoded.root().keys(), expectedOrder);
    // Equality compares the values; the accessors must not convert between types.
    const PlistNode root = decoded.root();
    EXPECT_FALSE(root.value(QStringLiteral("flag")).toInteger()) << "a boolean must never read as an integer";
    EXPECT_FALSE(root.value(QStringLiteral("count")).toReal());

    PropertyList negativeZero = PropertyList::array();
    negativeZero.root().append(PropertyList::real(-0.0));
    EXPECT_TRUE(std::signbit(*PropertyList::decode(negativeZero.toBinary()).root().at(0).toReal()));
}

TEST(PropertyList, EqualityIgnoresDictionaryOrderButNotTypes)
{
    PropertyList a = PropertyList::dictionary();
    a.root().setEntry(QStringLiteral("x"), PropertyList::integer(1));
    a.root().setEntry(QStringLiteral("y"), PropertyList::boolean(false));
    PropertyList b = PropertyList::dictionary();
    b.root().setEntry(QStringLiteral("y"), PropertyList::boolean(false));
    b.root().setEntry(QStringLiteral("x"), PropertyList::integer(1));
    EXPECT_EQ(a, b);

    b.root().setEntry(QStringLiteral("x"), PropertyList::boolean(true));
    EXPECT_FALSE(a == b) << "integer 1 and true differ";
    b.root().setEntry(QStringLiteral("x"), PropertyList::real(1.0));
    EXPECT_FALSE(a == b) << "integer 1 and real 1.0 differ";

    PropertyList longer = a;
    longer.root().setEntry(QStringLiteral("z"), PropertyList::string(QString()));
    EXPECT_FALSE(a == longer);

    PropertyList first = PropertyList::array();
    first.root().append(PropertyList::integer(1));
    first.root().append(PropertyList::integer(2));
    PropertyList second = PropertyList::array();
    second.root().append(PropertyList::integer(2));
    second.root().append(PropertyList::integer(1));
    EXPECT_FALSE(first == second) << "arrays are ordered";
}

TEST(PropertyList, EditsInPlaceKeepPositionsAndLeaveOtherValuesAlone)
{
    PropertyList document = PropertyList::decode(sampleDocument().toBinary());
    const QStringList order = document.root().keys();
    document.root().setBool(QStringLiteral("flag"), false);
    document.root().setReal(QStringLiteral("ratio"), 1.5);
    document.root().setEntry(QStringLiteral("count"), PropertyList::string(QStringLiteral("replaced")));
    EXPECT_EQ(document.root().keys(), order) << "replacing an entry keeps its place";

    const PropertyList reread = PropertyList::decode(document.toBinary());
    EXPECT_EQ(reread.root().value(QStringLiteral("flag")).toBool(), false);
    EXPECT_EQ(reread.root().value(QStringLiteral("ratio")).toReal(), 1.5);
    EXPECT_EQ(reread.root().value(QStringLiteral("count")).toString(), QStringLiteral("replaced"));
    EXPECT_EQ(reread.root().value(QStringLiteral("when")),
              sampleDocument().root().value(QStringLiteral("when")));

    document.root().setBool(QStringLiteral("new"), true);
    EXPECT_EQ(document.root().keys().last(), QStringLiteral("new"));
    document.root().remove(QStringLiteral("new"));
    document.root().remove(QStringLiteral("absent"));
    EXPECT_EQ(document.root().keys(), order);
}

TEST(PropertyList, MalformedInputIsAClearParseErrorNeverACrash)
{
    for (const QByteArray& bad :
         {QByteArray(), QByteArray("not a plist"), QByteArray("bplist00"),
          QByteArray("bplist00\x00\x01\x02", 11), QByteArray("<plist><dict><key>a</key></plist>"),
          QByteArray("<?xml version=\"1.0\"?><plist><integer>1"),
          QByteArray("<plist version=\"1.0\"><array><string>x</array></plist>")}) {
        try {
            PropertyList::decode(bad);
            ADD_FAILURE() << "accepted: " << bad.toStdString();
        } catch (const SystemError& error) {
            EXPECT_EQ(error.kind(), SystemError::Kind::Parse);
            EXPECT_FALSE(error.description().isEmpty());
        }
    }
}

TEST(PropertyList, EveryTruncationOfABinaryListIsRejected)
{
    const QByteArray full = sampleDocument().toBinary();
    int rejected = 0;
    for (qsizetype length = 0; length < full.size(); ++length) {
        try {
            PropertyList::decode(full.left(length));
        } catch (const SystemError&) {
            ++rejected;
        }
    }
    EXPECT_EQ(rejected, full.size()) << "a truncated list must never decode into a partial document";
}

TEST(PropertyList, CorruptedBytesNeverCrashTheDecoder)
{
    const QByteArray full = sampleDocument().toBinary();
    for (qsizetype i = 8; i < full.size(); ++i) {
        for (unsigned char flip : {0x01, 0x80, 0xff}) {
            QByteArray damaged = full;
            damaged[i] = char(static_cast<unsigned char>(damaged[i]) ^ flip);
            try {
                const PropertyList document = PropertyList::decode(damaged);
                (void)document.toBinary();
            } catch (const SystemError&) {
            }
        }
    }
    SUCCEED();
}

TEST(PropertyList, DecodesRealsUnderADecimalCommaLocale)
{
    const char* previous = setlocale(LC_NUMERIC, nullptr);
    const std::string saved = previous ? previous : "C";
    if (!setlocale(LC_NUMERIC, "de_DE.UTF-8") && !setlocale(LC_NUMERIC, "fr_FR.UTF-8"))
        GTEST_SKIP() << "no locale with a decimal comma is installed";
    const PropertyList list =
        PropertyList::decode(QByteArray("<plist version=\"1.0\"><array><real>1.5</real></array></plist>"));
    const QByteArray xml = list.toXml();
    setlocale(LC_NUMERIC, saved.c_str());
    EXPECT_EQ(list.root().at(0).toReal(), 1.5);
    EXPECT_TRUE(xml.contains("1.5")) << xml.toStdString();
}

TEST(PropertyList, BinaryWriterKeepsEveryValueOfALargeDocument)
{
    PropertyList rows = PropertyList::array();
    for (int i = 0; i < 400; ++i) {
        PropertyList row = PropertyList::dictionary();
        for (int k = 0; k < 16; ++k)
            row.root().setEntry(QStringLiteral("key%1").arg(k), PropertyList::integer(k - 8));
        row.root().setEntry(QStringLiteral("name"),
                            PropertyList::string(QStringLiteral("Grüße 👋 %1").arg(i % 7)));
        row.root().setEntry(QStringLiteral("ratio"), PropertyList::real(i / 3.0));
        row.root().setEntry(QStringLiteral("blob"), PropertyList::data(QByteArray(i % 40, char(i))));
        row.root().setEntry(QStringLiteral("ref"), PropertyList::uid(quint64(i) * 100000));
        row.root().setEntry(QStringLiteral("large"),
                            PropertyList::integer(std::numeric_limits<qint64>::min() + i));
        rows.root().append(row);
    }
    const QByteArray bytes = rows.toBinary();
    const PropertyList decoded = PropertyList::decode(bytes);
    EXPECT_EQ(decoded, rows);
    EXPECT_EQ(decoded.toBinary(), bytes) << "writing is deterministic";
    EXPECT_EQ(decoded.root().at(399).value(QStringLiteral("large")).toInteger(),
              std::numeric_limits<qint64>::min() + 399);

    // A 16-byte unsigned integer (as the system stores values beyond the signed range) stays one.
    QByteArray unsignedList("bplist00\x14", 9);
    unsignedList.append(QByteArray(8, '\0'));
    unsignedList.append(QByteArray(8, '\xff'));
    unsignedList.append(char(8));
    const char trailer[32] = {0, 0, 0, 0, 0, 0, 1, 1, 0, 0, 0, 0, 0, 0, 0, 1,
                              0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 25};
    unsignedList.append(trailer, 32);
    const QByteArray rewritten = PropertyList::decode(unsignedList).toBinary();
    EXPECT_EQ(rewritten.mid(8, 17), unsignedList.mid(8, 17));
}

TEST(PropertyList, AVisitorThatThrowsLeavesNothingBehind)
{
    PropertyList dictionary = PropertyList::dictionary();
    dictionary.root().setBool(QStringLiteral("a"), true);
    dictionary.root().setBool(QStringLiteral("b"), true);
    int visited = 0;
    EXPECT_THROW(dictionary.root().forEachMember([&](const QString&, PlistNode) {
        ++visited;
        throw SystemError(SystemError::Kind::Parse, QStringLiteral("stop"));
    }),
                 SystemError);
    EXPECT_EQ(visited, 1); // the sanitizer build reports a leaked iterator here
}

namespace {

// The reason a decode gave, or "accepted".
QString rejection(const QByteArray& bytes)
{
    try {
        (void)PropertyList::decode(bytes);
        return QStringLiteral("accepted");
    } catch (const SystemError& error) {
        EXPECT_EQ(error.kind(), SystemError::Kind::Parse);
        return error.description();
    }
}

} // namespace

using test::RawBinaryPlist;

TEST(PropertyListHostileInput, NulCharactersAndBrokenUnicodeAreRejectedBeforeLibplistSeesThem)
{
    // libplist asserts on a UTF-16 key with a NUL and silently cuts an ASCII one.
    EXPECT_TRUE(rejection(test::binaryDictionaryWithKey(RawBinaryPlist::utf16(QStringLiteral("a\u0000b"))))
                    .contains(QStringLiteral("key with a NUL")));
    EXPECT_TRUE(rejection(test::binaryDictionaryWithKey(RawBinaryPlist::ascii(QByteArray("a\0b", 3))))
                    .contains(QStringLiteral("key with a NUL")));
    RawBinaryPlist strings;
    strings.add(RawBinaryPlist::array({1}));
    strings.add(RawBinaryPlist::utf16(QStringLiteral("x\u0000y")));
    EXPECT_TRUE(rejection(strings.bytes()).contains(QStringLiteral("string with a NUL")));
    EXPECT_TRUE(
        rejection(QByteArray("<plist version=\"1.0\"><dict><key>a\0b</key><true/></dict></plist>", 63))
            .contains(QStringLiteral("NUL")));

    // libplist's conversion to UTF-8 loses an unpaired surrogate, so the value would not survive.
    EXPECT_TRUE(rejection(test::binaryDictionaryWithKey(RawBinaryPlist::utf16(QString(QChar(0xd800)))))
                    .contains(QStringLiteral("not valid Unicode")));
    // libplist drops a leading byte order mark, so the key would change on the way through.
    EXPECT_TRUE(rejection(test::binaryDictionaryWithKey(
                              RawBinaryPlist::utf16(QString(QChar(0xfeff)) + QLatin1Char('a'))))
                    .contains(QStringLiteral("byte order mark")));
    // A key that is not UTF-8 reads back as a string no lookup finds, so an edit would add a key.
    EXPECT_TRUE(rejection(test::binaryDictionaryWithKey(RawBinaryPlist::ascii("cl\xe9")))
                    .contains(QStringLiteral("not valid Unicode")));
    EXPECT_TRUE(
        rejection(
            "<plist version=\"1.0\"><dict><key>cl\xe9</key><string>\xed\xa0\x80</string></dict></plist>")
            .contains(QStringLiteral("not valid Unicode")));
    EXPECT_EQ(rejection(test::binaryDictionaryWithKey(RawBinaryPlist::utf16(QStringLiteral("clé 👋")))),
              QStringLiteral("accepted"));
}

TEST(PropertyListHostileInput, StoredLengthsMustFitTheirBytes)
{
    EXPECT_TRUE(rejection(test::binaryStringLongerThanItsBytes()).contains(QStringLiteral("runs past")));
    for (const QByteArray& object : {QByteArray("\x6e\x00\x61", 3), QByteArray("\x4e\x01\x02", 3),
                                     QByteArray("\xae\x00\x01", 3), QByteArray("\xde\x00\x01", 3),
                                     // a count that follows as an 8-byte integer near 2^64
                                     QByteArray("\x4f\x13\xff\xff\xff\xff\xff\xff\xff\xf0", 10)}) {
        RawBinaryPlist list;
        list.add(RawBinaryPlist::array({1}));
        list.add(object);
        EXPECT_TRUE(rejection(list.bytes()).contains(QStringLiteral("runs past")))
            << object.toHex().toStdString();
    }
}

TEST(PropertyListHostileInput, SharedObjectsCountOncePerReference)
{
    // libplist copies a shared object at every reference: 40 doubling levels would never finish.
    EXPECT_TRUE(rejection(test::binaryDoublingArrays(40)).contains(QStringLiteral("more than")));
    const PropertyList small = PropertyList::decode(test::binaryDoublingArrays(10));
    EXPECT_EQ(small.root().count(), 2);

    RawBinaryPlist cycle;
    cycle.add(RawBinaryPlist::array({1}));
    cycle.add(RawBinaryPlist::array({0}));
    EXPECT_TRUE(rejection(cycle.bytes()).contains(QStringLiteral("contains itself")));

    RawBinaryPlist dangling;
    dangling.add(RawBinaryPlist::array({7}));
    EXPECT_TRUE(rejection(dangling.bytes()).contains(QStringLiteral("does not have")));

    RawBinaryPlist numericKey;
    numericKey.add(RawBinaryPlist::dictionary({{1, 1}}));
    numericKey.add(QByteArray("\x10\x05", 2));
    EXPECT_TRUE(rejection(numericKey.bytes()).contains(QStringLiteral("not a string")));
}

TEST(PropertyListHostileInput, DatesOutsideTheCalendarAreRejected)
{
    for (const double seconds :
         {-1e300, 1e300, std::numeric_limits<double>::quiet_NaN(), std::numeric_limits<double>::infinity(),
          -std::numeric_limits<double>::infinity(), -63113904000.5, 252423993600.0}) {
        EXPECT_TRUE(rejection(test::binaryDate(seconds)).contains(QStringLiteral("years 1 to 9999")))
            << seconds;
    }
    // The first and the last second of the calendar survive both writers.
    for (const double seconds : {-63113904000.0, 252423993599.0}) {
        const PropertyList list = PropertyList::decode(test::binaryDate(seconds));
        EXPECT_EQ(PropertyList::decode(list.toBinary()).root().at(0).toDate(), seconds);
        EXPECT_EQ(PropertyList::decode(list.toXml()).root().at(0).toDate(), seconds);
    }
}

TEST(PropertyListHostileInput, RepeatedKeysAreNotUnderstoodInEitherFormat)
{
    EXPECT_TRUE(rejection(test::binaryRepeatedKey()).contains(QStringLiteral("repeated key")));
    // The same key once in ASCII and once in UTF-16 is still the same key.
    test::RawBinaryPlist mixed;
    mixed.add(test::RawBinaryPlist::dictionary({{1, 3}, {2, 3}}));
    mixed.add(test::RawBinaryPlist::ascii("key"));
    mixed.add(test::RawBinaryPlist::utf16(QStringLiteral("key")));
    mixed.add(QByteArray(1, '\x09'));
    EXPECT_TRUE(rejection(mixed.bytes()).contains(QStringLiteral("repeated key")));
    EXPECT_TRUE(rejection(test::xmlRepeatedKey()).contains(QStringLiteral("repeated key")));
    // libplist resolves the reference before it merges the two members.
    EXPECT_TRUE(
        rejection("<plist version=\"1.0\"><dict><key>a</key><true/><key>&#97;</key><true/></dict></plist>")
            .contains(QStringLiteral("repeated key")));

    // Tags inside comments, CDATA and the document type are text, not keys.
    const QByteArray commented = "<?xml version=\"1.0\"?>\n<!DOCTYPE plist [ <!ENTITY x \"<key>\"> ]>"
                                 "<plist version=\"1.0\"><dict><!-- <key>a</key><dict> -->"
                                 "<key>a</key><string><![CDATA[<key>a</key>]]></string>"
                                 "<key>b</key><dict/></dict></plist>";
    const PropertyList document = PropertyList::decode(commented);
    EXPECT_EQ(document.sourceFormat(), PropertyList::Format::Xml);
    EXPECT_EQ(document.root().keys(), (QStringList{QStringLiteral("a"), QStringLiteral("b")}));
}

namespace {

// `levels` dictionaries, each holding the next under "k", around one `true`.
QByteArray binaryDictionaryNesting(int levels)
{
    RawBinaryPlist list;
    for (int i = 0; i < levels; ++i)
        list.add(RawBinaryPlist::dictionary({{levels + 1, i + 1}}));
    list.add(QByteArray(1, '\x09'));
    list.add(RawBinaryPlist::ascii("k"));
    return list.bytes();
}

QByteArray xmlDictionaryNesting(int levels)
{
    return "<plist version=\"1.0\">" + QByteArray("<dict><key>k</key>").repeated(levels) + "<true/>" +
           QByteArray("</dict>").repeated(levels) + "</plist>";
}

// `levels` arrays, the innermost one empty: it is a level like the others.
QByteArray xmlNestingEndingEmpty(int levels)
{
    return "<plist version=\"1.0\">" + QByteArray("<array>").repeated(levels - 1) + "<array/>" +
           QByteArray("</array>").repeated(levels - 1) + "</plist>";
}

// A chain of `chain` arrays reached first right under the top and then once more one level
// further down: the second path is the deeper one, although the chain was checked on the first.
QByteArray binarySharedChain(int chain)
{
    RawBinaryPlist shared;
    shared.add(RawBinaryPlist::array({2, 1}));
    shared.add(RawBinaryPlist::array({2}));
    for (int i = 0; i < chain; ++i)
        shared.add(RawBinaryPlist::array({3 + i}));
    shared.add(QByteArray(1, '\x09'));
    return shared.bytes();
}

// An array holding one data value, `total` bytes in all: the cheapest document of any size, made
// in one piece.
QByteArray binaryOfSize(qsizetype total)
{
    const auto bigEndian = &test::RawBinaryPlist::bigEndian;
    // Header, array, data marker and length, the data, two offsets, the trailer.
    const qsizetype data = total - (8 + 3 + 6 + 8 + 32);
    QByteArray bytes;
    bytes.reserve(total);
    bytes += "bplist00";
    bytes += RawBinaryPlist::array({1});
    bytes += QByteArray("\x4f\x12", 2) + bigEndian(static_cast<quint64>(data), 4);
    bytes.resize(bytes.size() + data, '\x5a');
    const auto table = static_cast<quint64>(bytes.size());
    bytes += bigEndian(8, 4) + bigEndian(11, 4) + QByteArray(6, '\0') + '\x04' + '\x02';
    bytes += bigEndian(2, 8) + bigEndian(0, 8) + bigEndian(table, 8);
    return bytes;
}

// `levels` containers of one kind, each holding the next, around one `true`, built in code.
PropertyList builtNesting(PlistNode::Type kind, int levels)
{
    PropertyList document = PropertyList::boolean(true);
    for (int i = 0; i < levels; ++i) {
        PropertyList outer =
            kind == PlistNode::Type::Array ? PropertyList::array() : PropertyList::dictionary();
        if (kind == PlistNode::Type::Array)
            outer.root().append(document);
        else
            outer.root().setEntry(QStringLiteral("k"), document);
        document = outer;
    }
    return document;
}

// "accepted" when `step` went through; else the reason it was refused with.
QString plistOutcome(const std::function<void()>& step)
{
    try {
        step();
        return QStringLiteral("accepted");
    } catch (const SystemError& error) {
        return error.description();
    }
}

void expectReadBackFrom(const PropertyList& document, PropertyList::Format format)
{
    EXPECT_TRUE(PropertyList::decode(document.encode(format)) == document) << "read back changed";
}

} // namespace

// Every limit of what is read and written, at its edge: the limit itself is read whole (and
// written back), one more is refused with its reason. Nesting is counted in containers.
TEST(PropertyListHostileInput, DepthAndSizeHoldExactlyAtTheirLimits)
{
    const int limit = PropertyList::maximumDepth;
    const QString accepted = QStringLiteral("accepted");
    const QString tooDeep = QStringLiteral("The property list nests more than 64 levels deep.");
    const QString notWritten = QString::fromLatin1(PropertyList::tooDeepToWriteText);
    const auto decoded = [](QByteArray (*make)(int), int levels) {
        return [=] {
            const PropertyList document = PropertyList::decode(make(levels));
            expectReadBackFrom(document, PropertyList::Format::Binary);
            expectReadBackFrom(document, PropertyList::Format::Xml);
        };
    };
    const auto built = [](PlistNode::Type kind, int levels, PropertyList::Format format) {
        return [=] { expectReadBackFrom(builtNesting(kind, levels), format); };
    };
    const auto sized = [](qsizetype total) {
        return [=] { (void)PropertyList::decode(binaryOfSize(total)); };
    };
    using Type = PlistNode::Type;
    using Format = PropertyList::Format;
    const struct {
        const char* what;
        std::function<void()> step;
        QString expected;
    } cases[] = {
        {"binary arrays at the limit", decoded(test::binaryNesting, limit), accepted},
        {"binary arrays one deeper", decoded(test::binaryNesting, limit + 1), tooDeep},
        {"binary dictionaries at the limit", decoded(binaryDictionaryNesting, limit), accepted},
        {"binary dictionaries one deeper", decoded(binaryDictionaryNesting, limit + 1), tooDeep},
        {"XML arrays at the limit", decoded(test::xmlNesting, limit), accepted},
        {"XML arrays one deeper", decoded(test::xmlNesting, limit + 1), tooDeep},
        {"XML dictionaries at the limit", decoded(xmlDictionaryNesting, limit), accepted},
        {"XML dictionaries one deeper", decoded(xmlDictionaryNesting, limit + 1), tooDeep},
        {"XML arrays at the limit, the innermost empty", decoded(xmlNestingEndingEmpty, limit), accepted},
        {"XML arrays one deeper, the innermost empty", decoded(xmlNestingEndingEmpty, limit + 1), tooDeep},
        {"a shared chain whose second path reaches the limit", decoded(binarySharedChain, limit - 2),
         accepted},
        {"a shared chain whose second path is one deeper", decoded(binarySharedChain, limit - 1), tooDeep},
        {"built arrays at the limit, binary", built(Type::Array, limit, Format::Binary), accepted},
        {"built arrays one deeper, binary", built(Type::Array, limit + 1, Format::Binary), notWritten},
        {"built arrays at the limit, XML", built(Type::Array, limit, Format::Xml), accepted},
        {"built arrays one deeper, XML", built(Type::Array, limit + 1, Format::Xml), notWritten},
        {"built dictionaries at the limit, binary", built(Type::Dictionary, limit, Format::Binary), accepted},
        {"built dictionaries one deeper, binary", built(Type::Dictionary, limit + 1, Format::Binary),
         notWritten},
        {"built dictionaries at the limit, XML", built(Type::Dictionary, limit, Format::Xml), accepted},
        {"built dictionaries one deeper, XML", built(Type::Dictionary, limit + 1, Format::Xml), notWritten},
        {"a document of exactly the size limit", sized(PropertyList::maximumBytes), accepted},
        {"one byte more, though well formed", sized(PropertyList::maximumBytes + 1),
         QStringLiteral("The property list is larger than 64 MB.")},
    };
    for (const auto& test : cases)
        EXPECT_EQ(plistOutcome(test.step).toStdString(), test.expected.toStdString()) << test.what;
}
