import QtQuick
import QtQuick.Layouts
import Velmor.Controls
import Velmor.SuiteUi

// "Appearance" and its menu on one row.
RowLayout {
    id: picker

    property string selection: AppearanceChoices.valueAt(0)
    property color labelColor: palette.windowText
    signal chosen(string value)

    objectName: "appearancePicker"
    spacing: 8

    PlainLabel {
        text: AppearanceChoices.pickerLabel
        color: picker.labelColor
    }
    Item { Layout.fillWidth: true }
    AppearanceMenu {
        selection: picker.selection
        onChosen: value => picker.chosen(value)
    }
}
