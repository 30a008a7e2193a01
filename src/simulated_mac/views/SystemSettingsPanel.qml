pragma ComponentBehavior: Bound

import QtQuick
import QtQuick.Controls
import QtQuick.Layouts
import Velmor.Controls
import Velmor.SimulatedMac

// The System Settings stand-in: privacy and login-item panes with a switch per app. Full Disk
// Access takes app bundles dropped on its list, or chosen after "+".
Rectangle {
    id: panel

    required property SystemSettingsPresenter presenter
    property string symbolFont: ""

    readonly property color ink: Appearance.dark ? "#f4f3f1" : "#1d1c1a"
    readonly property color secondary: Appearance.dark ? "#a8a5a0" : "#6b6863"

    objectName: "systemSettings"
    width: 620
    height: 400
    radius: 10
    color: Appearance.dark ? "#242322" : "#f6f5f3"
    border.color: Appearance.dark ? "#4a4846" : "#c9c6c0"
    Accessible.role: Accessible.Window
    Accessible.name: qsTr("System Settings")

    Row {
        x: 12
        y: 12
        spacing: 7
        Rectangle {
            objectName: "systemSettingsClose"
            width: 12; height: 12; radius: 6
            color: "#ec6a5e"
            Accessible.role: Accessible.Button
            Accessible.name: qsTr("Close")
            Accessible.onPressAction: panel.presenter.close()
            MouseArea { anchors.fill: parent; onClicked: panel.presenter.close() }
        }
        Rectangle { width: 12; height: 12; radius: 6; color: Appearance.dark ? "#4a4846" : "#d6d3cd" }
        Rectangle { width: 12; height: 12; radius: 6; color: Appearance.dark ? "#4a4846" : "#d6d3cd" }
    }

    RowLayout {
        anchors.fill: parent
        anchors.topMargin: 36
        anchors.margins: 10
        spacing: 12

        ListView {
            id: sidebar
            objectName: "settingsPanes"
            Layout.preferredWidth: 170
            Layout.fillHeight: true
            model: panel.presenter.panes
            currentIndex: panel.presenter.pane
            Accessible.role: Accessible.List
            Accessible.name: qsTr("Settings")
            delegate: ItemDelegate {
                required property string title
                required property string glyph
                required property int index
                objectName: "pane:" + title
                width: ListView.view.width
                height: 30
                highlighted: ListView.isCurrentItem
                text: glyph + "  " + title
                font.pixelSize: 13
                font.family: panel.symbolFont + ", sans-serif"
                Accessible.name: title
                Accessible.onPressAction: panel.presenter.openPane(index)
                onClicked: panel.presenter.openPane(index)
            }
        }

        ColumnLayout {
            Layout.fillWidth: true
            Layout.fillHeight: true
            spacing: 8

            RowLayout {
                Layout.fillWidth: true
                PlainLabel {
                    objectName: "paneTitle"
                    text: panel.presenter.paneTitle
                    font.pixelSize: 18
                    font.weight: Font.DemiBold
                    color: panel.ink
                    Layout.fillWidth: true
                }
                Button {
                    id: plus
                    objectName: "addApp"
                    visible: panel.presenter.canAdd
                    text: "+"
                    Accessible.name: qsTr("Add an app")
                    Accessible.onPressAction: chooser.open()
                    onClicked: chooser.open()
                    Menu {
                        id: chooser
                        y: plus.height
                        Repeater {
                            model: panel.presenter.addable
                            delegate: MenuItem {
                                required property string name
                                required property string bundlePath
                                objectName: "addable:" + name
                                text: name
                                Accessible.name: name
                                Accessible.onPressAction: panel.presenter.add(bundlePath)
                                onTriggered: panel.presenter.add(bundlePath)
                            }
                        }
                    }
                }
            }
            PlainLabel {
                text: panel.presenter.paneNote
                wrapMode: Text.WordWrap
                color: panel.secondary
                Layout.fillWidth: true
            }

            Rectangle {
                Layout.fillWidth: true
                Layout.fillHeight: true
                radius: 8
                color: drop.containsDrag ? (Appearance.dark ? "#3a3550" : "#e6e0f3")
                                         : (Appearance.dark ? "#2c2b2a" : "#ffffff")
                border.color: Appearance.dark ? "#3a3836" : "#dcd8d0"

                ListView {
                    id: rows
                    objectName: "privacyList"
                    anchors.fill: parent
                    anchors.margins: 6
                    clip: true
                    model: panel.presenter.rows
                    Accessible.role: Accessible.List
                    Accessible.name: panel.presenter.paneTitle
                    delegate: RowLayout {
                        id: privacyRow
                        required property string name
                        required property string bundlePath
                        required property bool allowed
                        required property string iconSource
                        width: ListView.view.width
                        height: 38
                        spacing: 10
                        Image {
                            source: privacyRow.iconSource
                            sourceSize.width: 24
                        sourceSize.height: 24
                            Layout.preferredWidth: 24
                            Layout.preferredHeight: 24
                            Layout.leftMargin: 6
                        }
                        PlainLabel {
                            text: privacyRow.name
                            color: panel.ink
                            Layout.fillWidth: true
                        }
                        Switch {
                            objectName: "switch:" + privacyRow.name
                            checked: privacyRow.allowed
                            Accessible.name: privacyRow.name
                            Accessible.onToggleAction: panel.presenter.setSwitch(privacyRow.bundlePath, !checked)
                            Accessible.onPressAction: panel.presenter.setSwitch(privacyRow.bundlePath, !checked)
                            onToggled: panel.presenter.setSwitch(privacyRow.bundlePath, checked)
                        }
                    }
                }
                PlainLabel {
                    anchors.centerIn: parent
                    visible: panel.presenter.emptyText !== ""
                    text: panel.presenter.emptyText
                    color: panel.secondary
                    width: parent.width - 40
                    wrapMode: Text.WordWrap
                    horizontalAlignment: Text.AlignHCenter
                }
                DropArea {
                    id: drop
                    objectName: "privacyDropArea"
                    anchors.fill: parent
                    onEntered: drag => drag.accepted = panel.presenter.acceptsDrop(drag.urls)
                    onDropped: drop => {
                        if (panel.presenter.drop(drop.urls))
                            drop.acceptProposedAction()
                    }
                }
            }
        }
    }
}
