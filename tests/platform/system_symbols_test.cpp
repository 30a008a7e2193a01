#include "platform/system_symbols.h"

#include <QDirIterator>
#include <QFile>
#include <QFontDatabase>
#include <QRawFont>
#include <QRegularExpression>
#include <QSet>

#include <gtest/gtest.h>

using velmor::platform::SystemSymbols;

namespace {

// Symbol names as the code writes them: constants whose names end in "Symbol" or "Symbols"
// (C++), `symbol:` bindings and glyph("…") look-ups (QML and C++), and status item images.
QSet<QString> symbolNamesInSources()
{
    static const QRegularExpression literal(QString::fromUtf8(R"re(u?"([^"\\]*)")re"));
    static const QRegularExpression shape(QString::fromUtf8(R"re(^[a-z][a-z0-9]*(\.[a-z0-9]+)*$)re"));
    static const QRegularExpression cppDeclaration(
        QString::fromUtf8(R"re(\b\w*[Ss]ymbols?\s*(\[\s*\])?\s*=)re"));
    static const QRegularExpression call(QString::fromUtf8(R"re((setSymbolImage|glyph)\(\s*u?"([^"]*)")re"));
    static const QRegularExpression qmlBinding(QString::fromUtf8(R"re(\bsymbol\s*:\s*"([^"]*)")re"));

    QSet<QString> names;
    const auto keep = [&](const QString& name) {
        if (shape.match(name).hasMatch())
            names.insert(name);
    };
    QDirIterator files(QStringLiteral(VELMOR_SOURCE_DIRECTORY "/src"), {"*.cpp", "*.h", "*.qml"}, QDir::Files,
                       QDirIterator::Subdirectories);
    while (files.hasNext()) {
        QFile file(files.next());
        if (!file.open(QIODevice::ReadOnly) || file.fileName().endsWith(QLatin1String("system_symbols.cpp")))
            continue;
        const QString text = QString::fromUtf8(file.readAll());
        for (auto match = call.globalMatch(text); match.hasNext();)
            keep(match.next().captured(2));
        if (file.fileName().endsWith(QLatin1String(".qml"))) {
            for (auto match = qmlBinding.globalMatch(text); match.hasNext();)
                keep(match.next().captured(1));
            continue;
        }
        for (const QString& statement : text.split(QLatin1Char(';'))) {
            if (!cppDeclaration.match(statement).hasMatch())
                continue;
            for (auto match = literal.globalMatch(statement); match.hasNext();)
                keep(match.next().captured(1));
        }
    }
    return names;
}

} // namespace

TEST(SystemSymbols, EverySymbolTheCodeNamesHasAGlyph)
{
    const QSet<QString> used = symbolNamesInSources();
    // The scan must see the places symbols are named, or it proves nothing.
    for (const char* known : {"chevron.left", "chevron.right", "sparkles", "ellipsis.circle", "folder",
                              "lock.shield", "app.dashed", "menubar.rectangle", "applelogo", "power"})
        EXPECT_TRUE(used.contains(QString::fromLatin1(known))) << "the scan missed " << known;
    for (const QString& name : used)
        EXPECT_TRUE(SystemSymbols::contains(name)) << "no glyph for the symbol " << name.toStdString();
}

TEST(SystemSymbols, EveryGlyphIsInTheIconFont)
{
    ASSERT_GE(QFontDatabase::addApplicationFont(SystemSymbols::fontFile.toString()), 0)
        << "fonts-material-design-icons-iconfont is not installed";
    const QRawFont font(SystemSymbols::fontFile.toString(), 16);
    ASSERT_TRUE(font.isValid());
    ASSERT_EQ(font.familyName(), SystemSymbols::fontFamily.toString());
    for (const QString& name : SystemSymbols::names()) {
        const auto glyph = SystemSymbols::glyph(name);
        ASSERT_TRUE(glyph && glyph->size() == 1) << name.toStdString();
        EXPECT_TRUE(font.supportsCharacter(glyph->at(0))) << name.toStdString() << " draws a blank";
    }
    EXPECT_FALSE(SystemSymbols::glyph(u"no.such.symbol"));
}
