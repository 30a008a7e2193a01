pragma ComponentBehavior: Bound

import QtQuick
import QtQuick.Controls
import QtQuick.Layouts
import Velmor.Controls
import Velmor.SimulatedMac

// Beside the screens: the apps with Launch and Quit, the system appearance, and the `defaults`
// runs the app made, newest first.
Pane {
    id: side

    required property SidePanelPresenter presenter
    required property SystemSettingsPresenter settings

    objectName: "sidePanel"
    padding: 12

    ColumnLayout {
        anchors.fill: parent
        spacing: 8

        PlainLabel { text: qsTr("Apps"); font.weight: Font.DemiBold; font.pixelSize: 14 }
        ListView {
            id: appList
            objectName: "sideApps"
            Layout.fillWidth: true
            // Ten apps at most, never squeezed by the log below.
            Layout.preferredHeight: Math.min(contentHeight, 340)
            Layout.minimumHeight: Layout.preferredHeight
            clip: true
            // More apps than fit: the bar says so, also before anyone scrolls.
            ScrollBar.vertical: ScrollBar {
                objectName: "sideAppsScrollBar"
                policy: appList.contentHeight > appList.height ? ScrollBar.AlwaysOn : ScrollBar.AsNeeded
            }
            model: side.presenter.apps
            Accessible.role: Accessible.List
            Accessible.name: qsTr("Apps")
            delegate: RowLayout {
                id: appRow
                required property string owner
                required property string name
                required property bool running
                required property string actionTitle
                required property string iconSource
                width: ListView.view.width - (appList.ScrollBar.vertical.visible ? appList.ScrollBar.vertical.width + 4 : 0)
                height: 34
                Image {
                    source: appRow.iconSource
                    sourceSize.width: 18
                    sourceSize.height: 18
                    Layout.preferredWidth: 18
                    Layout.preferredHeight: 18
                }
                PlainLabel {
                    text: appRow.name
                    opacity: appRow.running ? 1 : 0.55
                    elide: Text.ElideRight
                    Layout.fillWidth: true
                }
                Button {
                    objectName: "toggle:" + appRow.owner
                    Layout.preferredWidth: 76
                    text: appRow.actionTitle
                    Accessible.name: appRow.actionTitle + " " + appRow.name
                    Accessible.onPressAction: side.presenter.toggleRunning(appRow.owner)
                    onClicked: side.presenter.toggleRunning(appRow.owner)
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
                required property string command
                required property string domain
                required property string status
                required property bool failed
                required property string duration
                width: ListView.view.width
                bottomPadding: 6
                Accessible.role: Accessible.ListItem
                Accessible.name: command + " " + domain + ", " + status
                PlainLabel {
                    width: parent.width
                    text: run.command + "  " + run.domain
                    font.family: "monospace"
                    font.pixelSize: 11
                    elide: Text.ElideMiddle
                }
                PlainLabel {
                    text: run.status + (run.duration !== "" ? " · " + run.duration : "")
                    font.pixelSize: 11
                    color: run.failed ? "#c0392b" : palette.placeholderText
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
