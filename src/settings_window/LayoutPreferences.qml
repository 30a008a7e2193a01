pragma ComponentBehavior: Bound

import QtQuick
import QtQuick.Controls
import QtQuick.Layouts
import Velmor.Controls
import Velmor.SuiteUi
import Velmor.SettingsWindow

// Whether a start applies the grouping by itself, and where an app seen for the first time goes.
ColumnLayout {
    id: section

    required property TrayLayoutSettings settings

    objectName: "layoutPreferences"
    visible: settings.available
    spacing: 8

    SuiteSwitch {
        objectName: "applyAtStartSwitch"
        text: section.settings.applyAtStartTitle
        checked: section.settings.applyAtStart
        focusPolicy: Qt.StrongFocus
        onToggled: {
            section.settings.applyAtStart = checked
            checked = Qt.binding(() => section.settings.applyAtStart)
        }
    }
    RowLayout {
        Layout.fillWidth: true
        spacing: 8
        PlainLabel {
            id: newAppsTitle
            text: section.settings.newAppsTitle
            color: Appearance.text
        }
        Item { Layout.fillWidth: true }
        Row {
            spacing: 14
            Accessible.role: Accessible.Grouping
            Accessible.name: newAppsTitle.text

            Repeater {
                model: section.settings.newAppsTitles
                delegate: RadioButton {
                    id: destination
                    required property string modelData
                    required property int index

                    objectName: "newApps:" + modelData
                    leftPadding: 0
                    rightPadding: 0
                    text: modelData
                    checked: section.settings.newAppsIndex === index
                    focusPolicy: Qt.StrongFocus
                    Accessible.name: modelData
                    Accessible.onPressAction: section.settings.newAppsIndex = destination.index
                    onClicked: {
                        section.settings.newAppsIndex = index
                        // The stored preference decides what is checked.
                        checked = Qt.binding(() => section.settings.newAppsIndex === destination.index)
                    }
                }
            }
        }
    }
}
