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

    // One row of the presenter's areas; its cards are a list of their own, so an area whose
    // cards did not change keeps them as they are.
    required property string destination
    required property string title
    required property string subtitle
    required property string symbol
    required property int count
    required property string countText
    required property string accessibleName
    required property bool isGroup
    required property string groupID
    required property string optionsLabel
    required property string toggleTitle
    required property var moves
    required property var cards
    required property TraySettingsPresenter presenter
    // From the area's own width, not the grid's: the grid's width follows its cards.
    readonly property real gridWidth: width - 2 * content.anchors.margins
    readonly property int columns: Math.max(1, Math.floor((gridWidth + cards.columnSpacing)
                                                          / (minimumColumnWidth + cards.columnSpacing)))
    readonly property int minimumColumnWidth: 76

    objectName: "area:" + destination
    implicitHeight: content.implicitHeight + 24
    radius: 10
    color: presenter.areas.dropTarget === destination ? Qt.alpha(Appearance.accent, 0.12) : Appearance.controlBackground
    border.width: 1
    border.color: presenter.areas.dropTarget === destination ? Appearance.accent : Appearance.separator
    Accessible.role: Accessible.Grouping
    Accessible.name: accessibleName
    Accessible.description: subtitle

    ColumnLayout {
        id: content
        anchors.fill: parent
        anchors.margins: 12
        spacing: 6

        RowLayout {
            spacing: 6
            Layout.fillWidth: true
            SymbolIcon {
                symbol: area.symbol
                size: 16
                color: Appearance.accent
            }
            PlainLabel {
                objectName: "areaTitle:" + area.destination
                text: area.title
                font.pixelSize: 13
                font.weight: Font.DemiBold
                color: Appearance.text
                elide: Text.ElideRight
                Layout.fillWidth: true
                // A long group name is cut: the whole of it shows on hover.
                ToolTip.visible: truncated && titleHover.hovered
                ToolTip.text: text
                ToolTip.delay: 600
                HoverHandler { id: titleHover }
            }
            PlainLabel {
                objectName: "areaCount:" + area.destination
                text: area.countText
                font.pixelSize: 12
                color: Appearance.secondaryText
            }
            SuiteToolButton {
                id: options
                objectName: "groupOptions:" + area.groupID
                visible: area.isGroup
                Accessible.name: area.optionsLabel
                onClicked: optionsMenu.popup(options, 0, options.height)
                contentItem: SymbolIcon {
                    symbol: area.presenter.symbols.options
                    size: 16
                    color: Appearance.text
                }
                Menu {
                    id: optionsMenu
                    objectName: "groupOptionsMenu:" + area.groupID
                    SuiteMenuItem {
                        objectName: "editGroup:" + area.groupID
                        text: area.presenter.groups.editGroupTitle
                        onTriggered: area.presenter.groups.editGroup(area.groupID)
                    }
                    // Only while grouping is configured: a hidden entry would still take a row.
                    Repeater {
                        model: area.toggleTitle !== "" ? [area.toggleTitle] : []
                        delegate: SuiteMenuItem {
                            required property string modelData
                            objectName: "toggleGroup:" + area.groupID
                            text: modelData
                            onTriggered: area.presenter.groups.toggleGroup(area.groupID)
                        }
                    }
                    SuiteMenuItem {
                        objectName: "deleteGroup:" + area.groupID
                        text: area.presenter.groups.deleteGroupTitle
                        palette.windowText: Appearance.warning
                        onTriggered: area.presenter.groups.deleteGroup(area.groupID)
                    }
                }
            }
        }
        PlainLabel {
            text: area.subtitle
            font.pixelSize: 12
            color: Appearance.secondaryText
            elide: Text.ElideRight
            Layout.fillWidth: true
        }

        // A positioner, not a layout: it places the cards once per frame, where a grid layout asked
        // for its size after every card added would lay all of them out again each time.
        Grid {
            id: cards
            Layout.fillWidth: true
            visible: area.count > 0
            columns: area.columns
            columnSpacing: 6
            rowSpacing: 6
            readonly property real cardWidth: (area.gridWidth - (area.columns - 1) * columnSpacing) / area.columns
            Repeater {
                model: area.cards
                delegate: AppCard {
                    presenter: area.presenter
                    moves: area.moves
                    width: Math.max(area.minimumColumnWidth, cards.cardWidth)
                }
            }
        }
        ColumnLayout {
            objectName: "emptyArea:" + area.destination
            visible: area.count === 0
            Layout.fillWidth: true
            Layout.topMargin: 6
            Layout.bottomMargin: 6
            spacing: 4
            // The "square.dashed" symbol at 25 points. The icon font has no dashed square (its
            // nearest is an unchecked checkbox), so the dashes are drawn: three to a side, the
            // corner ones meeting.
            Item {
                id: dashedSquare
                objectName: "emptyAreaSymbol:" + area.destination
                readonly property real inset: 3
                readonly property real side: width - 2 * inset
                readonly property real stroke: 2
                readonly property real dash: 4
                Layout.alignment: Qt.AlignHCenter
                implicitWidth: 25
                implicitHeight: 25
                Accessible.ignored: true

                Repeater {
                    model: 12
                    delegate: Rectangle {
                        required property int index
                        readonly property int edge: Math.floor(index / 3)
                        readonly property real along: (index % 3) * (dashedSquare.side - dashedSquare.dash) / 2
                        readonly property bool across: edge < 2
                        readonly property real far: dashedSquare.inset + dashedSquare.side - dashedSquare.stroke
                        x: across ? dashedSquare.inset + along : (edge === 2 ? dashedSquare.inset : far)
                        y: across ? (edge === 0 ? dashedSquare.inset : far) : dashedSquare.inset + along
                        width: across ? dashedSquare.dash : dashedSquare.stroke
                        height: across ? dashedSquare.stroke : dashedSquare.dash
                        radius: 1
                        color: Appearance.secondaryText
                    }
                }
            }
            // Filling the row lets the column, and so the symbol, span the area.
            PlainLabel {
                objectName: "emptyAreaText:" + area.destination
                Layout.fillWidth: true
                horizontalAlignment: Text.AlignHCenter
                wrapMode: Text.WordWrap
                text: area.presenter.areas.emptyAreaText
                font.pixelSize: 12
                color: Appearance.secondaryText
            }
        }
    }

    DropArea {
        objectName: "drop:" + area.destination
        anchors.fill: parent
        onEntered: area.presenter.areas.dragEntered(area.destination)
        onExited: area.presenter.areas.dragExited(area.destination)
        onDropped: drop => {
            if (area.presenter.areas.drop(area.destination, drop.urls, drop.hasText, drop.text))
                drop.acceptProposedAction()
            else
                drop.accepted = false
        }
    }
}
