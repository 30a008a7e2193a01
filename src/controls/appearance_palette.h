#pragma once

#include <QColor>
#include <QObject>
#include <QtQml/qqmlregistration.h>

#include <array>
#include <cstddef>

namespace velmor {

// The colours a window draws with, each in its light and its dark form. A window hands its items
// one palette (`Appearance.palette: SuitePalette` on its root); an item reads a colour by name from
// the attached Appearance (`Appearance.text`), already resolved for its window's appearance. Made
// as it is, it is the neutral palette: the system's greys, blue accents and orange warnings, for a
// window whose suite sets none.
class AppearancePalette : public QObject {
    Q_OBJECT
    QML_ELEMENT
    QML_UNCREATABLE("A window's palette comes from its suite: Appearance.palette")

public:
    enum class Role {
        accent,
        controlAccent,
        // Something the person should look at before going on.
        warning,
        // The window's own background.
        canvas,
        text,
        secondaryText,
        separator,
        controlBackground,
        // Something the person asked for happened (the system's green).
        success,
        // A failure the person should read (the system's red).
        critical,
        // Laid over a window while a sheet covers it: a dark window needs a deeper shade to show it.
        dimming,
    };
    static constexpr std::size_t roleCount = 11;

    struct Colors {
        QColor light;
        QColor dark;
    };

    explicit AppearancePalette(QObject* parent = nullptr);

    Colors colors(Role role) const { return m_colors[static_cast<std::size_t>(role)]; }

protected:
    void setColors(Role role, Colors colors) { m_colors[static_cast<std::size_t>(role)] = colors; }

private:
    std::array<Colors, roleCount> m_colors;
};

} // namespace velmor
