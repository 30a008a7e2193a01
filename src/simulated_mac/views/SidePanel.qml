pragma ComponentBehavior: Bound

import QtQuick
import QtQuick.Controls
import QtQuick.Layouts
import Velmor.Controls

// Beside the screens: the apps with Launch and Quit, the system appearance, and the `defaults`
// runs the app made, newest first.
Pane {
    id: side

    required property var presenter
    required property var settings

    objectName: "sidePanel"
    padding: 12

    ColumnLayout {
        anchors.fill: parent
        spacing: 8

        PlainLabel { text: qsTr("Apps"); font.weight: Font.DemiBold; font.pixelSize: 14 }
        ListView {
            objectName: "sideApps"
            Layout.fillWidth: true
            Layout.preferredHeight: Math.min(contentHeight, 300)
            clip: true
            model: side.presenter.apps
            Accessible.role: Accessible.List
            Accessible.name: qsTr("Apps")
            delegate: RowLayout {
                id: appRow
                required property var modelData
                width: ListView.view.width
                height: 30
                Image {
                    source: appRow.modelData.iconSource
                    sourceSize.width: 18
                        sourceSize.height: 18
                    Layout.preferredWidth: 18
                    Layout.preferredHeight: 18
                }
                PlainLabel {
                    text: appRow.modelData.name
                    opacity: appRow.modelData.running ? 1 : 0.55
                    elide: Text.ElideRight
                    Layout.fillWidth: true
                }
                Button {
                    objectName: "toggle:" + appRow.modelData.owner
                    text: appRow.modelData.actionTitle
                    flat: true
                    Accessible.name: appRow.modelData.actionTitle + " " + appRow.modelData.name
                    Accessible.onPressAction: side.presenter.toggleRunning(appRow.modelData.owner)
                    onClicked: side.presenter.toggleRunning(appRow.modelData.owner)
                }
            }
        }

        PlainLabel { text: qsTr("Appearance"); font.weight: Font.DemiBold; font.pixelSize: 14 }
        RowLayout {
            RadioButton {
                objectName: "appearanceLight"
                text: qsTr("Light")
                checked: !side.presenter.dark
                Accessible.name: text
                Accessible.onPressAction: side.presenter.setDark(false)
                onClicked: side.presenter.setDark(false)
            }
            RadioButton {
                objectName: "appearanceDark"
                text: qsTr("Dark")
                checked: side.presenter.dark
                Accessible.name: text
                Accessible.onPressAction: side.presenter.setDark(true)
                onClicked: side.presenter.setDark(true)
            }
        }

        Button {
            objectName: "openSystemSettings"
            text: qsTr("System Settings…")
            Accessible.name: text
            Accessible.onPressAction: side.settings.openPane(0)
            onClicked: side.settings.openPane(0)
        }

        PlainLabel { text: qsTr("defaults runs"); font.weight: Font.DemiBold; font.pixelSize: 14 }
        ListView {
            objectName: "defaultsLog"
            Layout.fillWidth: true
            Layout.fillHeight: true
            clip: true
            model: side.presenter.defaultsRuns
            Accessible.role: Accessible.List
            Accessible.name: qsTr("defaults runs")
            delegate: Column {
                id: run
                required property var modelData
                width: ListView.view.width
                bottomPadding: 6
                Accessible.role: Accessible.ListItem
                Accessible.name: modelData.command + " " + modelData.domain + ", " + modelData.status
                PlainLabel {
                    width: parent.width
                    text: run.modelData.command + "  " + run.modelData.domain
                    font.family: "monospace"
                    font.pixelSize: 11
                    elide: Text.ElideMiddle
                }
                PlainLabel {
                    text: run.modelData.status + (run.modelData.duration !== "" ? " · " + run.modelData.duration : "")
                    font.pixelSize: 11
                    color: run.modelData.failed ? "#c0392b" : palette.placeholderText
                }
            }
            PlainLabel {
                anchors.centerIn: parent
                visible: parent.count === 0
                text: side.presenter.logEmptyText
                opacity: 0.6
            }
        }
    }
}
