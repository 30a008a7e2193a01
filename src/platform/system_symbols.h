#pragma once

#include <QString>
#include <QStringList>
#include <QStringView>

#include <optional>

namespace velmor::platform {

// The system symbols the app and the simulated Mac draw, by their system names ("eye.slash"). On
// a Mac the system draws them; elsewhere each is a glyph of the Material Icons font, and this
// table is the one place that says which. A name missing here draws nothing, so every name the
// code uses must be listed (a test reads the sources to make sure).
class SystemSymbols final {
public:
    // The font family the glyphs come from (Debian's fonts-material-design-icons-iconfont).
    static constexpr QStringView fontFamily = u"Material Icons";
    static constexpr QStringView fontFile =
        u"/usr/share/fonts/truetype/material-design-icons-iconfont/MaterialIcons-Regular.ttf";

    static bool contains(QStringView name);
    // The glyph as text in the icon font; absent for a name the table does not know.
    static std::optional<QString> glyph(QStringView name);
    static QStringList names();
};

} // namespace velmor::platform
