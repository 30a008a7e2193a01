pragma ComponentBehavior: Bound

import QtQuick
import QtQuick.Controls
import Velmor.Controls
import Velmor.SimulatedMac

// The Dock: running apps (this app only while it is a regular app) and minimized windows.
Rectangle {
    id: dock

    required property DockPresenter presenter

    width: row.width + 20
    height: 62
    radius: 16
    color: Appearance.dark ? "#cc2a2927" : "#ccf4f3f0"
    border.color: Appearance.dark ? "#55ffffff" : "#33000000"
    Accessible.role: Accessible.ToolBar
    Accessible.name: qsTr("Dock")

    Row {
        id: row
        anchors.centerIn: parent
        spacing: 8

        Repeater {
            model: dock.presenter.apps
            delegate: Item {
                id: tile
                required property string owner
                required property string name
                required property string iconSource
                required property bool frontmost
                objectName: "dockApp:" + owner
                width: 46
                height: 52
                Accessible.role: Accessible.Button
                Accessible.name: name
                Accessible.onPressAction: dock.presenter.activate(owner)

                Rectangle {
                    id: icon
                    width: 42
                    height: 42
                    radius: 10
                    anchors.horizontalCenter: parent.horizontalCenter
                    clip: true
                    color: "transparent"
                    Image {
                        anchors.fill: parent
                        source: tile.iconSource
                        sourceSize.width: 42
                        sourceSize.height: 42
                    }
                    PlainText {
                        anchors.centerIn: parent
                        text: tile.name.charAt(0).toUpperCase()
                        font.pixelSize: 20
                        font.weight: Font.DemiBold
                        color: "white"
                    }
                }
                Rectangle {
                    visible: tile.frontmost
                    width: 4
                    height: 4
                    radius: 2
                    anchors.bottom: parent.bottom
                    anchors.horizontalCenter: parent.horizontalCenter
                    color: Appearance.dark ? "#f4f3f1" : "#1d1c1a"
                }
                ToolTip.visible: area.containsMouse
                ToolTip.text: name
                MouseArea {
                    id: area
                    anchors.fill: parent
                    hoverEnabled: true
                    onClicked: dock.presenter.activate(tile.owner)
                }
            }
        }

        Rectangle {
            visible: minimized.count > 0
            width: 1
            height: 42
            color: Appearance.dark ? "#66ffffff" : "#44000000"
        }

        Repeater {
            id: minimized
            model: dock.presenter.minimizedWindows
            delegate: Button {
                required property real windowId
                required property string title
                objectName: "dockWindow:" + title
                width: 76
                height: 42
                text: title
                font.pixelSize: 10
                Accessible.name: title
                Accessible.onPressAction: dock.presenter.restore(windowId)
                onClicked: dock.presenter.restore(windowId)
            }
        }
    }
}
