#include "suite_ui/views/symbols.h"

#include "platform/system_symbols.h"

#include <QFontDatabase>

namespace velmor {

Symbols::Symbols(QObject* parent) : QObject(parent)
{
    loadFont();
}

QString Symbols::fontFamily()
{
    return platform::SystemSymbols::fontFamily.toString();
}

QString Symbols::glyph(const QString& name)
{
    return platform::SystemSymbols::glyph(name).value_or(QString());
}

void Symbols::loadFont()
{
    // Fontconfig usually knows the font already; registering the file as well keeps the glyphs
    // where it does not (a bare offscreen run).
    static const bool loaded = [] {
        if (QFontDatabase::families().contains(fontFamily()))
            return true;
        return QFontDatabase::addApplicationFont(platform::SystemSymbols::fontFile.toString()) >= 0;
    }();
    static_cast<void>(loaded);
}

} // namespace velmor
