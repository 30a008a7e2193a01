#include "platform/system_symbols.h"

#include <QChar>

#include <algorithm>
#include <array>

namespace velmor::platform {
namespace {

struct Symbol {
    QStringView name;
    // Code point of the closest Material icon; its Material name is given beside it.
    char16_t codePoint;
};

constexpr std::array symbols{
    Symbol{u"accessibility", 0xe84e},                // accessibility
    Symbol{u"app.dashed", 0xe835},                   // check_box_outline_blank
    Symbol{u"applelogo", 0xea80},                    // apple
    Symbol{u"arrow.clockwise", 0xe5d5},              // refresh
    Symbol{u"arrow.down.circle", 0xf181},            // arrow_circle_down
    Symbol{u"arrow.left.arrow.right", 0xe8d4},       // swap_horiz
    Symbol{u"brain", 0xea4a},                        // psychology
    Symbol{u"briefcase", 0xe8f9},                    // work
    Symbol{u"bubble.left.and.bubble.right", 0xe0bf}, // forum
    Symbol{u"checkmark", 0xe5ca},                    // check
    Symbol{u"checkmark.circle.fill", 0xe86c},        // check_circle
    Symbol{u"chevron.down.square", 0xe7cd},          // expand_circle_down
    Symbol{u"chevron.left", 0xe5cb},                 // chevron_left
    Symbol{u"chevron.right", 0xe5cc},                // chevron_right
    Symbol{u"circle.lefthalf.filled", 0xeb37},       // contrast
    Symbol{u"desktopcomputer", 0xe30a},              // computer
    Symbol{u"ellipsis", 0xe5d3},                     // more_horiz
    Symbol{u"ellipsis.circle", 0xef64},              // pending
    Symbol{u"exclamationmark.triangle", 0xe002},     // warning
    Symbol{u"eye.slash", 0xe8f5},                    // visibility_off
    Symbol{u"folder", 0xe2c7},                       // folder
    Symbol{u"gearshape", 0xe8b8},                    // settings
    Symbol{u"hammer", 0xe869},                       // build
    Symbol{u"hand.draw", 0xe155},                    // gesture
    Symbol{u"hand.raised.circle", 0xe925},           // pan_tool
    Symbol{u"info.circle", 0xe88f},                  // info_outline
    Symbol{u"keyboard", 0xe312},                     // keyboard
    Symbol{u"lock.shield", 0xe32a},                  // security
    Symbol{u"magnifyingglass", 0xe8b6},              // search
    Symbol{u"menubar.rectangle", 0xe069},            // web_asset
    Symbol{u"moon", 0xe51c},                         // dark_mode
    Symbol{u"music.note", 0xe405},                   // music_note
    Symbol{u"network", 0xe9f4},                      // hub
    Symbol{u"person.crop.circle", 0xe853},           // account_circle
    Symbol{u"play", 0xe037},                         // play_arrow
    Symbol{u"plus", 0xe145},                         // add
    Symbol{u"plus.circle", 0xe148},                  // add_circle_outline
    Symbol{u"power", 0xe8ac},                        // power_settings_new
    Symbol{u"questionmark.circle", 0xe8fd},          // help_outline
    Symbol{u"sparkles", 0xe65f},                     // auto_awesome
    Symbol{u"square.dashed", 0xe3c6},                // crop_square
    Symbol{u"square.grid.2x2", 0xe9b0},              // grid_view
    Symbol{u"star", 0xe838},                         // star
    Symbol{u"sun.max", 0xe518},                      // light_mode
    Symbol{u"switch.2", 0xe9f6},                     // toggle_on
    Symbol{u"terminal", 0xeb8e},                     // terminal
    Symbol{u"xmark.circle.fill", 0xe5c9},            // cancel
};

const Symbol* find(QStringView name)
{
    const auto it = std::find_if(symbols.begin(), symbols.end(),
                                 [name](const Symbol& symbol) { return symbol.name == name; });
    return it != symbols.end() ? &*it : nullptr;
}

} // namespace

bool SystemSymbols::contains(QStringView name)
{
    return find(name) != nullptr;
}

std::optional<QString> SystemSymbols::glyph(QStringView name)
{
    const Symbol* symbol = find(name);
    if (!symbol)
        return std::nullopt;
    return QString(QChar(symbol->codePoint));
}

QStringList SystemSymbols::names()
{
    QStringList result;
    for (const Symbol& symbol : symbols)
        result.append(symbol.name.toString());
    return result;
}

} // namespace velmor::platform
