// Checks the property-list codec against python3's plistlib, the reference reader and writer,
// value for value in both directions. The vectors are generated at run time.

#include "foundation/json.h"
#include "foundation/property_list.h"

#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <cstring>

using namespace velmor;

namespace {

// Both sides describe a document in the same tagged JSON: exact bit patterns for reals and dates,
// Base64 for data, decimal text for integers, ordered pairs for dictionaries.
constexpr const char* describerPython = R"PY(
import base64, datetime, json, plistlib, struct, sys

EPOCH = datetime.datetime(2001, 1, 1)

def bits(x):
    return str(struct.unpack('<Q', struct.pack('<d', x))[0])

def describe(v):
    if isinstance(v, bool): return {"t": "bool", "v": v}
    if isinstance(v, plistlib.UID): return {"t": "uid", "v": str(v.data)}
    if isinstance(v, int): return {"t": "int", "v": str(v)}
    if isinstance(v, float): return {"t": "real", "v": bits(v)}
    if isinstance(v, str): return {"t": "string", "v": v}
    if isinstance(v, (bytes, bytearray)): return {"t": "data", "v": base64.b64encode(v).decode()}
    if isinstance(v, datetime.datetime):
        return {"t": "date", "v": bits((v.replace(tzinfo=None) - EPOCH).total_seconds())}
    if isinstance(v, dict): return {"t": "dict", "v": [[k, describe(x)] for k, x in v.items()]}
    if isinstance(v, list): return {"t": "array", "v": [describe(x) for x in v]}
    raise TypeError(type(v))
)PY";

constexpr const char* generatorPython = R"PY(
def vectors():
    rows = []
    for i in range(3):
        rows.append({"bundle": {"_0": "com.example.app%d" % i}})
        rows.append({"isAllowed": i % 2 == 0, "location": {"bundle": {"_0": "com.example.app%d" % i}},
                     "menuItemLocations": [{"bundle": {"_0": "x"}}], "extra": plistlib.UID(i)})
    return {
        "zeta first": "keys keep their order",
        "unicode": "Grüße, 世界 👋",
        "empty string": "",
        "true": True, "false": False,
        "ints": [0, 1, -1, 255, 256, 65535, 65536, 2**31, -2**31, 2**63 - 1, -2**63],
        "reals": [0.0, 1.5, -2.25, 1e300, 5e-324, 0.1],
        "dates": [datetime.datetime(2001, 1, 1), datetime.datetime(2025, 3, 1, 9, 30, 0, 250000),
                  datetime.datetime(1901, 12, 13, 20, 45, 52), datetime.datetime(2100, 1, 1)],
        "data": [b"", b"\x00\x01\xfe\xff", bytes(range(256))],
        "nested": {"empty dict": {}, "empty array": [], "deep": {"a": [{"b": [1, [2, [3]]]}]}},
        "uid": plistlib.UID(7),
        "trackedApplications": rows,
    }

def write(path, value, fmt):
    with open(path, 'wb') as f:
        f.write(plistlib.dumps(value, fmt=fmt, sort_keys=False))

value = vectors()
write(sys.argv[1] + '/vector.binary.plist', value, plistlib.FMT_BINARY)
xml_value = dict(value); del xml_value["uid"]; del xml_value["trackedApplications"]
xml_value["dates"] = [d.replace(microsecond=0) for d in value["dates"]]
write(sys.argv[1] + '/vector.xml.plist', xml_value, plistlib.FMT_XML)
json.dump(describe(value), open(sys.argv[1] + '/vector.binary.json', 'w'))
json.dump(describe(xml_value), open(sys.argv[1] + '/vector.xml.json', 'w'))
)PY";

constexpr const char* readerPython = R"PY(
with open(sys.argv[1], 'rb') as f:
    value = plistlib.load(f, dict_type=dict)
json.dump(describe(value), sys.stdout)
)PY";

QString bitsText(double value)
{
    quint64 bits = 0;
    std::memcpy(&bits, &value, sizeof bits);
    return QString::number(bits);
}

Json describe(PlistNode node)
{
    auto tagged = [](const char* tag, Json value) { return Json{{"t", tag}, {"v", std::move(value)}}; };
    switch (node.type()) {
    case PlistNode::Type::Dictionary: {
        Json members = Json::array();
        node.forEachMember([&](const QString& key, PlistNode value) {
            members.push_back(Json::array({json::toStd(key), describe(value)}));
        });
        return tagged("dict", members);
    }
    case PlistNode::Type::Array: {
        Json elements = Json::array();
        for (int i = 0; i < node.count(); ++i)
            elements.push_back(describe(node.at(i)));
        return tagged("array", elements);
    }
    case PlistNode::Type::String:
        return tagged("string", json::toStd(*node.toString()));
    case PlistNode::Type::Boolean:
        return tagged("bool", *node.toBool());
    case PlistNode::Type::Integer:
        return tagged("int", std::to_string(*node.toInteger()));
    case PlistNode::Type::Real:
        return tagged("real", json::toStd(bitsText(*node.toReal())));
    case PlistNode::Type::Date:
        return tagged("date", json::toStd(bitsText(*node.toDate())));
    case PlistNode::Type::Data:
        return tagged("data", node.toData()->toBase64().toStdString());
    case PlistNode::Type::Uid:
        return tagged("uid", std::to_string(*node.toUid()));
    case PlistNode::Type::Invalid:
        break;
    }
    return tagged("invalid", nullptr);
}

// The JSON patch from `actual` to `expected`: empty when they agree, else names each difference.
std::string differences(const Json& actual, const Json& expected)
{
    const Json patch = Json::diff(actual, expected);
    return patch.empty() ? std::string() : patch.dump();
}

class PlistlibInterop : public ::testing::Test {
protected:
    void SetUp() override
    {
        m_python = QStandardPaths::findExecutable(QStringLiteral("python3"));
        if (m_python.isEmpty())
            GTEST_SKIP() << "python3 is not installed; the plistlib interop checks need it";
        ASSERT_TRUE(m_folder.isValid());
        const QByteArray out = runPython(QByteArray(describerPython) + generatorPython, {m_folder.path()});
        ASSERT_TRUE(out.isEmpty()) << out.toStdString();
    }

    QByteArray runPython(const QByteArray& script, const QStringList& arguments)
    {
        QProcess process;
        process.start(m_python, QStringList{QStringLiteral("-c"), QString::fromUtf8(script)} + arguments);
        process.waitForFinished(60000);
        EXPECT_EQ(process.exitCode(), 0) << process.readAllStandardError().toStdString();
        return process.readAllStandardOutput();
    }

    QByteArray file(const QString& name)
    {
        QFile f(m_folder.filePath(name));
        EXPECT_TRUE(f.open(QIODevice::ReadOnly));
        return f.readAll();
    }

    // What plistlib reads from bytes we wrote.
    Json pythonReads(const QByteArray& bytes)
    {
        const QString path = m_folder.filePath(QStringLiteral("ours.plist"));
        QFile f(path);
        EXPECT_TRUE(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
        f.write(bytes);
        f.close();
        return json::parse(runPython(QByteArray(describerPython) + readerPython, {path}));
    }

    QString m_python;
    QTemporaryDir m_folder;
};

} // namespace

TEST_F(PlistlibInterop, WeReadWhatPlistlibWritesValueForValue)
{
    for (const char* name : {"binary", "xml"}) {
        const QString base = QStringLiteral("vector.%1").arg(QString::fromLatin1(name));
        const PropertyList decoded = PropertyList::decode(file(base + QStringLiteral(".plist")));
        const Json expected = json::parse(file(base + QStringLiteral(".json")));
        EXPECT_EQ(differences(describe(decoded.root()), expected), "") << name;
    }
}

TEST_F(PlistlibInterop, PlistlibReadsWhatWeWriteValueForValue)
{
    const PropertyList binary = PropertyList::decode(file(QStringLiteral("vector.binary.plist")));
    const Json expectedBinary = json::parse(file(QStringLiteral("vector.binary.json")));
    EXPECT_EQ(differences(pythonReads(binary.toBinary()), expectedBinary), "")
        << "binary written from a decoded binary list";

    const PropertyList xml = PropertyList::decode(file(QStringLiteral("vector.xml.plist")));
    const Json expectedXml = json::parse(file(QStringLiteral("vector.xml.json")));
    EXPECT_EQ(differences(pythonReads(xml.toXml()), expectedXml), "")
        << "XML written from a decoded XML list";
    EXPECT_EQ(differences(pythonReads(xml.toBinary()), expectedXml), "")
        << "binary written from a decoded XML list";
}
