import QtQuick
import Velmor.Controls
import Velmor.SuiteUi

// The one button of a block that moves the user on, and a dialog's default button: the suite's
// push button filled with the app's accent.
SuiteButton {
    highlighted: true
    palette.highlight: Appearance.controlAccent
    palette.highlightedText: "white"
}
