import QtQuick
import Velmor.Controls
import Velmor.SuiteUi

// A system symbol, drawn from the icon font. Decorative unless given an accessible name.
PlainText {
    property string symbol
    property real size: 16

    text: Symbols.glyph(symbol)
    font.family: Symbols.fontFamily
    font.pixelSize: size
    horizontalAlignment: Text.AlignHCenter
    verticalAlignment: Text.AlignVCenter
    Accessible.role: Accessible.Graphic
    Accessible.ignored: Accessible.name === ""
}
