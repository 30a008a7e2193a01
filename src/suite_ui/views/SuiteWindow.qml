import QtQuick
import QtQuick.Controls
import Velmor.SuiteUi
import Velmor.Controls

// A window of a suite app in the app's own light or dark palette (Qt has no colour-scheme API, so
// each window carries its colours), with controls tinted in the app's accent. The controls Fusion
// draws alike enabled or not fade when disabled, each where it is declared.
ApplicationWindow {
    property bool dark: false
    Appearance.dark: dark
    Appearance.palette: SuitePalette

    color: Appearance.canvas
    font.pixelSize: 13
    palette.window: Appearance.canvas
    palette.windowText: Appearance.text
    palette.text: Appearance.text
    palette.base: Appearance.controlBackground
    palette.alternateBase: Appearance.canvas
    palette.button: Appearance.controlBackground
    palette.buttonText: Appearance.text
    palette.highlight: Appearance.controlAccent
    palette.highlightedText: "white"
    palette.mid: Appearance.separator
    palette.placeholderText: Appearance.secondaryText
    palette.toolTipBase: Appearance.controlBackground
    palette.toolTipText: Appearance.text
}
