pragma ComponentBehavior: Bound

import QtQuick
import QtQuick.Controls
import QtQuick.Layouts
import Velmor.Controls
import Velmor.SuiteUi
import Velmor.SettingsWindow

// A section or group area: its header, its cards in an adaptive grid, and a drop target whose
// rules the presenter applies.
Rectangle {
    id: area

    // The area's destination: the area follows its own entry of the presenter's areas, so an
    // area whose cards did not change keeps them as they are.
    required property string modelData
    required property TraySettingsPresenter presenter
    property bool dark: false
    readonly property string destination: modelData
    readonly property var info: presenter.areas[modelData] ?? ({})
    // From the area's own width, not the grid's: the grid's width follows its cards.
    readonly property real gridWidth: width - 2 * content.anchors.margins
    readonly property int columns: Math.max(1, Math.floor((gridWidth + cards.columnSpacing)
                                                          / (minimumColumnWidth + cards.columnSpacing)))
    readonly property int minimumColumnWidth: 76

    objectName: "area:" + destination
    implicitHeight: content.implicitHeight + 24
    radius: 10
    color: presenter.dropTarget === destination ? Qt.alpha(Theme.accent(dark), 0.12) : Theme.controlBackground(dark)
    border.width: 1
    border.color: presenter.dropTarget === destination ? Theme.accent(dark) : Theme.separator(dark)
    Accessible.role: Accessible.Grouping
    Accessible.name: info.accessibleName ?? ""
    Accessible.description: info.subtitle ?? ""

    ColumnLayout {
        id: content
        anchors.fill: parent
        anchors.margins: 12
        spacing: 6

        RowLayout {
            spacing: 6
            Layout.fillWidth: true
            SymbolIcon {
                symbol: area.info.symbol
                size: 16
                color: Theme.accent(area.dark)
            }
            PlainLabel {
                objectName: "areaTitle:" + area.destination
                text: area.info.title
                font.pixelSize: 13
                font.weight: Font.DemiBold
                color: Theme.text(area.dark)
                elide: Text.ElideRight
                Layout.fillWidth: true
            }
            PlainLabel {
                objectName: "areaCount:" + area.destination
                text: area.info.countText
                font.pixelSize: 12
                color: Theme.secondaryText(area.dark)
            }
            ToolButton {
                id: options
                objectName: "groupOptions:" + area.info.groupID
                visible: area.info.isGroup
                focusPolicy: Qt.StrongFocus
                Accessible.name: area.info.optionsLabel
                onClicked: optionsMenu.popup(options, 0, options.height)
                contentItem: SymbolIcon {
                    symbol: area.presenter.symbols.options
                    size: 16
                    color: Theme.text(area.dark)
                }
                Menu {
                    id: optionsMenu
                    objectName: "groupOptionsMenu:" + area.info.groupID
                    MenuItem {
                        objectName: "editGroup:" + area.info.groupID
                        text: area.presenter.editGroupTitle
                        onTriggered: area.presenter.editGroup(area.info.groupID)
                    }
                    // Only while grouping is configured: a hidden entry would still take a row.
                    Repeater {
                        model: area.info.toggleTitle !== "" ? [area.info.toggleTitle] : []
                        delegate: MenuItem {
                            required property string modelData
                            objectName: "toggleGroup:" + area.info.groupID
                            text: modelData
                            onTriggered: area.presenter.toggleGroup(area.info.groupID)
                        }
                    }
                    MenuItem {
                        objectName: "deleteGroup:" + area.info.groupID
                        text: area.presenter.deleteGroupTitle
                        palette.windowText: Theme.warning(area.dark)
                        onTriggered: area.presenter.deleteGroup(area.info.groupID)
                    }
                }
            }
        }
        PlainLabel {
            text: area.info.subtitle
            font.pixelSize: 12
            color: Theme.secondaryText(area.dark)
            elide: Text.ElideRight
            Layout.fillWidth: true
        }

        GridLayout {
            id: cards
            Layout.fillWidth: true
            visible: area.info.count > 0
            columns: area.columns
            columnSpacing: 6
            rowSpacing: 6
            Repeater {
                model: area.info.cards
                delegate: AppCard {
                    presenter: area.presenter
                    dark: area.dark
                    Layout.minimumWidth: area.minimumColumnWidth
                    Layout.preferredWidth: (area.gridWidth - (area.columns - 1) * cards.columnSpacing) / area.columns
                }
            }
        }
        ColumnLayout {
            objectName: "emptyArea:" + area.destination
            visible: area.info.count === 0
            Layout.fillWidth: true
            Layout.topMargin: 6
            Layout.bottomMargin: 6
            spacing: 4
            SymbolIcon {
                Layout.alignment: Qt.AlignHCenter
                symbol: area.presenter.symbols.emptyArea
                size: 25
                color: Theme.secondaryText(area.dark)
            }
            PlainLabel {
                Layout.alignment: Qt.AlignHCenter
                text: area.presenter.emptyAreaText
                font.pixelSize: 12
                color: Theme.secondaryText(area.dark)
            }
        }
    }

    DropArea {
        objectName: "drop:" + area.destination
        anchors.fill: parent
        onEntered: area.presenter.dragEntered(area.destination)
        onExited: area.presenter.dragExited(area.destination)
        onDropped: drop => {
            if (area.presenter.drop(area.destination, drop.urls, drop.hasText, drop.text))
                drop.acceptProposedAction()
            else
                drop.accepted = false
        }
    }
}
