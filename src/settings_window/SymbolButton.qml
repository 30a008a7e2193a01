import QtQuick
import QtQuick.Layouts
import Velmor.Controls
import Velmor.SuiteUi

// A button with a system symbol before its title; an icon-only one names itself through
// `Accessible.name`.
SuiteButton {
    id: button

    property string symbol

    contentItem: RowLayout {
        spacing: 5
        SymbolIcon {
            visible: button.symbol !== ""
            symbol: button.symbol
            size: 15
            color: button.highlighted ? button.palette.highlightedText : button.palette.buttonText
        }
        PlainLabel {
            visible: button.text !== ""
            text: button.text
            color: button.highlighted ? button.palette.highlightedText : button.palette.buttonText
        }
    }
}
