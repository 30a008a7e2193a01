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

    color: Theme.canvas(dark)
    font.pixelSize: 13
    palette.window: Theme.canvas(dark)
    palette.windowText: Theme.text(dark)
    palette.text: Theme.text(dark)
    palette.base: Theme.controlBackground(dark)
    palette.alternateBase: Theme.canvas(dark)
    palette.button: Theme.controlBackground(dark)
    palette.buttonText: Theme.text(dark)
    palette.highlight: Theme.controlAccent(dark)
    palette.highlightedText: "white"
    palette.mid: Theme.separator(dark)
    palette.placeholderText: Theme.secondaryText(dark)
    palette.toolTipBase: Theme.controlBackground(dark)
    palette.toolTipText: Theme.text(dark)
}
