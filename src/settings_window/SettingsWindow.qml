pragma ComponentBehavior: Bound

import QtQuick
import QtQuick.Controls
import QtQuick.Layouts
import Velmor.SuiteUi
import Velmor.SettingsWindow

// The tray's settings window. Until the organizer arrives it shows the tray model's state.
ApplicationWindow {
    id: window

    required property SettingsWindowPresenter presenter
    property bool dark: false

    title: presenter.title
    color: Theme.canvas(dark)
    palette.window: Theme.canvas(dark)
    palette.windowText: Theme.text(dark)
    palette.text: Theme.text(dark)
    palette.base: Theme.controlBackground(dark)
    palette.button: Theme.controlBackground(dark)
    palette.buttonText: Theme.text(dark)
    palette.highlight: Theme.controlAccent(dark)
    palette.placeholderText: Theme.secondaryText(dark)

    ScrollView {
        anchors.fill: parent
        contentWidth: availableWidth

        ColumnLayout {
            width: parent.width
            spacing: 16

            RowLayout {
                Layout.margins: 24
                Layout.bottomMargin: 0
                spacing: 14

                Rectangle {
                    width: 54
                    height: 54
                    radius: 10
                    color: Theme.controlAccent(window.dark)
                    SymbolIcon {
                        anchors.fill: parent
                        anchors.margins: 10
                        symbol: "menubar.rectangle"
                        size: 32
                        color: "white"
                    }
                }
                ColumnLayout {
                    spacing: 2
                    Label {
                        objectName: "settingsTitle"
                        text: window.presenter.title
                        font.pixelSize: 24
                        font.weight: Font.DemiBold
                    }
                    Label {
                        text: window.presenter.tagline
                        color: Theme.secondaryText(window.dark)
                    }
                }
            }

            GridLayout {
                Layout.leftMargin: 24
                Layout.rightMargin: 24
                columns: 2
                columnSpacing: 16
                rowSpacing: 6

                Label { text: window.presenter.modeText; font.weight: Font.DemiBold; objectName: "modeText" }
                Label { text: window.presenter.permissionText; objectName: "permissionText" }
                Label { text: window.presenter.stateText; objectName: "stateText"; Layout.columnSpan: 2 }
                Label { text: window.presenter.itemsText; objectName: "itemsText"; Layout.columnSpan: 2 }
            }

            Label {
                objectName: "warningText"
                visible: window.presenter.warning !== ""
                text: window.presenter.warning
                color: Theme.warning(window.dark)
                wrapMode: Text.WordWrap
                Layout.leftMargin: 24
                Layout.rightMargin: 24
                Layout.fillWidth: true
            }

            Rectangle {
                Layout.fillWidth: true
                Layout.leftMargin: 24
                Layout.rightMargin: 24
                implicitHeight: 1
                color: Theme.separator(window.dark)
            }

            Repeater {
                model: window.presenter.groups
                delegate: RowLayout {
                    id: groupRow
                    required property var modelData
                    Layout.leftMargin: 24
                    spacing: 8
                    SymbolIcon { symbol: groupRow.modelData.symbol; color: Theme.accent(window.dark) }
                    Label { text: groupRow.modelData.name; font.weight: Font.DemiBold }
                }
            }

            ListView {
                id: appList
                objectName: "appList"
                Layout.fillWidth: true
                Layout.leftMargin: 24
                Layout.rightMargin: 24
                implicitHeight: contentHeight
                interactive: false
                model: window.presenter.apps
                Accessible.role: Accessible.List
                Accessible.name: window.presenter.itemsText
                delegate: Item {
                    id: row
                    required property var modelData
                    width: appList.width
                    height: 44
                    Accessible.role: Accessible.ListItem
                    Accessible.name: modelData.name + ", " + modelData.place

                    Image {
                        id: icon
                        anchors.left: parent.left
                        anchors.verticalCenter: parent.verticalCenter
                        width: 30
                        height: 30
                        visible: row.modelData.iconSource !== ""
                        source: row.modelData.iconSource
                        sourceSize.width: 30
                        sourceSize.height: 30
                    }
                    SymbolIcon {
                        anchors.centerIn: icon
                        visible: row.modelData.iconSource === ""
                        symbol: "app.dashed"
                        size: 26
                        color: Theme.secondaryText(window.dark)
                    }
                    Column {
                        anchors.left: icon.right
                        anchors.leftMargin: 10
                        anchors.right: place.left
                        anchors.verticalCenter: parent.verticalCenter
                        Label { text: row.modelData.name; width: parent.width; elide: Text.ElideRight }
                        Label {
                            visible: row.modelData.status !== ""
                            text: row.modelData.status
                            font.pixelSize: 11
                            color: Theme.secondaryText(window.dark)
                        }
                    }
                    Label {
                        id: place
                        anchors.right: parent.right
                        anchors.verticalCenter: parent.verticalCenter
                        text: row.modelData.place
                        color: Theme.secondaryText(window.dark)
                    }
                }
            }

            RowLayout {
                Layout.margins: 24
                spacing: 6
                SymbolIcon { symbol: "lock.shield"; size: 13; color: Theme.secondaryText(window.dark) }
                Label { text: window.presenter.footer; color: Theme.secondaryText(window.dark) }
            }
        }
    }
}
