pragma ComponentBehavior: Bound

import QtQuick
import QtQuick.Controls
import QtQuick.Layouts
import Velmor.Controls
import Velmor.SuiteUi
import Velmor.SettingsWindow

// "Show hidden apps below the menu bar": Automatic, Always or Never, one choice of three.
RowLayout {
    id: preference

    required property TrayBelowBarSettings settings

    objectName: "belowBarPreference"
    spacing: 8

    PlainLabel {
        id: title
        text: preference.settings.preferenceTitle
        color: Appearance.text
    }
    Item { Layout.fillWidth: true }
    Row {
        spacing: 14
        Accessible.role: Accessible.Grouping
        Accessible.name: title.text

        Repeater {
            model: preference.settings.modeTitles
            delegate: RadioButton {
                id: mode
                required property string modelData
                required property int index

                objectName: "belowBarMode:" + modelData
                // Its circle and its title end where the row's other controls do.
                leftPadding: 0
                rightPadding: 0
                text: modelData
                checked: preference.settings.modeIndex === index
                focusPolicy: Qt.StrongFocus
                Accessible.name: modelData
                Accessible.onPressAction: preference.settings.modeIndex = mode.index
                onClicked: {
                    preference.settings.modeIndex = index
                    // The stored preference decides what is checked.
                    checked = Qt.binding(() => preference.settings.modeIndex === mode.index)
                }
            }
        }
    }
}
