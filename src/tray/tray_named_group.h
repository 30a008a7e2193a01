#pragma once

#include "foundation/json.h"

#include <QString>
#include <QStringView>
#include <QUuid>

#include <array>
#include <optional>

namespace velmor {

// A user-named group of apps with its own menu bar button.
struct TrayNamedGroup {
    // The only symbols a group may carry, in the order the group editor offers them.
    static constexpr std::array<QStringView, 12> kSymbols = {
        u"sparkles",   u"brain",           u"bubble.left.and.bubble.right",
        u"hammer",     u"terminal",        u"network",
        u"music.note", u"briefcase",       u"folder",
        u"star",       u"square.grid.2x2", u"ellipsis.circle",
    };
    static constexpr QStringView kFallbackSymbol = u"folder";
    static constexpr QStringView kFallbackName = u"Group";
    // In user-perceived characters.
    static constexpr int kMaxNameLength = 40;

    // Never changes after creation.
    QUuid id;
    QString name;
    QString symbol;

    static bool isKnownSymbol(QStringView symbol);

    // Trims the name and cuts it to kMaxNameLength, never leaving it empty; replaces a symbol
    // that is not in kSymbols.
    void normalize();

    // {"id":<canonical upper-case UUID>,"name":...,"symbol":...}
    Json encode() const;
    // Throws TrayDecodeError; all three members are required. Does not normalise.
    static TrayNamedGroup decode(const Json& value, const QString& path = {});

    friend bool operator==(const TrayNamedGroup&, const TrayNamedGroup&) = default;
};

} // namespace velmor
