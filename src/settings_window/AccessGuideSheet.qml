pragma ComponentBehavior: Bound

import QtQuick
import QtQuick.Controls
import QtQuick.Layouts
import Velmor.Controls
import Velmor.SuiteUi
import Velmor.SettingsWindow

// The permission guide: numbered steps towards Accessibility, and in per-app mode Full Disk
// Access, with the controls that lead there. Escape or "Done" closes it.
Popup {
    id: sheet

    required property TrayAccessGuidePresenter guide
    property string brandIconSource

    component StepNumber: Rectangle {
        property string number
        Layout.alignment: Qt.AlignTop
        implicitWidth: 26
        implicitHeight: 26
        radius: 13
        color: Qt.alpha(Appearance.accent, 0.16)
        PlainLabel {
            anchors.centerIn: parent
            text: parent.number
            font.pixelSize: 14
            font.weight: Font.DemiBold
            color: Appearance.text
        }
    }
    component StepTitle: PlainLabel {
        font.pixelSize: 14
        font.weight: Font.DemiBold
        color: Appearance.text
    }
    component Caption: PlainLabel {
        Layout.fillWidth: true
        font.pixelSize: 12
        wrapMode: Text.WordWrap
        color: Appearance.secondaryText
    }
    component Divider: Rectangle {
        Layout.fillWidth: true
        implicitHeight: 1
        color: Appearance.separator
    }

    objectName: "accessGuideSheet"
    modal: true
    focus: true
    anchors.centerIn: Overlay.overlay
    width: 570
    padding: 24
    closePolicy: Popup.CloseOnEscape
    Overlay.modal: Rectangle {
        color: Appearance.dimming
    }
    background: Rectangle {
        radius: 12
        color: Appearance.canvas
        border.color: Appearance.separator
    }
    onClosed: guide.dismiss()
    onOpened: done.forceActiveFocus()

    // Built when first asked for: the request that built it is already made.
    Component.onCompleted: if (sheet.guide.open) sheet.open()
    Connections {
        target: sheet.guide
        function onOpenChanged() {
            if (sheet.guide.open)
                sheet.open()
            else
                sheet.close()
        }
    }

    ColumnLayout {
        width: sheet.availableWidth
        spacing: 20

        RowLayout {
            Layout.fillWidth: true
            PlainLabel {
                objectName: "accessGuideTitle"
                text: sheet.guide.title
                font.pixelSize: 20
                font.weight: Font.DemiBold
                color: Appearance.text
            }
            Item { Layout.fillWidth: true }
            SuiteButton {
                id: done
                objectName: "accessGuideDone"
                text: sheet.guide.doneTitle
                onClicked: sheet.guide.dismiss()
            }
        }
        PlainLabel {
            objectName: "accessGuideSubtitle"
            Layout.fillWidth: true
            text: sheet.guide.subtitle
            font.pixelSize: 13
            wrapMode: Text.WordWrap
            color: Appearance.secondaryText
        }

        RowLayout {
            objectName: "accessibilityStep"
            spacing: 12
            StepNumber { number: "1" }
            ColumnLayout {
                Layout.fillWidth: true
                spacing: 6
                StepTitle { text: sheet.guide.accessibilityTitle }
                Caption { text: sheet.guide.accessibilityCaption }
                SuiteButton {
                    objectName: "openAccessibilitySettings"
                    text: sheet.guide.openAccessibilityTitle
                    onClicked: sheet.guide.requestAccessibility()
                }
            }
        }
        Divider { visible: sheet.guide.requiresFullDiskAccess }
        RowLayout {
            objectName: "fullDiskAccessStep"
            visible: sheet.guide.requiresFullDiskAccess
            spacing: 12
            StepNumber { number: "2" }
            ColumnLayout {
                Layout.fillWidth: true
                spacing: 6
                StepTitle { text: sheet.guide.fullDiskAccessTitle }
                Caption { text: sheet.guide.fullDiskAccessCaption }
                RowLayout {
                    spacing: 12
                    Rectangle {
                        id: tile
                        objectName: "appDragTile"
                        implicitWidth: tileRow.implicitWidth + 24
                        implicitHeight: tileRow.implicitHeight + 24
                        radius: 12
                        color: Qt.alpha(Appearance.accent, 0.08)
                        Accessible.role: Accessible.Graphic
                        Accessible.name: sheet.guide.tileAccessibleName
                        // The platform's drag hands the bundle's file URL to whichever list it lands on.
                        Drag.dragType: Drag.Automatic
                        Drag.supportedActions: Qt.CopyAction | Qt.LinkAction
                        Drag.proposedAction: Qt.CopyAction
                        Drag.mimeData: ({ "text/uri-list": sheet.guide.bundleUrl })
                        DragHandler {
                            target: null
                            onActiveChanged: {
                                if (active)
                                    tile.Drag.active = true
                            }
                        }
                        RowLayout {
                            id: tileRow
                            anchors.centerIn: parent
                            spacing: 10
                            TrayBrandIcon {
                                source: sheet.brandIconSource
                                implicitWidth: 54
                                implicitHeight: 54
                            }
                            ColumnLayout {
                                spacing: 4
                                PlainLabel {
                                    text: sheet.guide.tileName
                                    font.pixelSize: 12
                                    font.weight: Font.DemiBold
                                    color: Appearance.text
                                }
                                RowLayout {
                                    spacing: 4
                                    SymbolIcon {
                                        symbol: sheet.guide.tileSymbol
                                        size: 12
                                        color: Appearance.secondaryText
                                    }
                                    PlainLabel {
                                        text: sheet.guide.tileLabel
                                        font.pixelSize: 12
                                        color: Appearance.secondaryText
                                    }
                                }
                            }
                        }
                    }
                    ColumnLayout {
                        spacing: 6
                        ProminentButton {
                            objectName: "openFullDiskAccess"
                            text: sheet.guide.openFullDiskAccessTitle
                            onClicked: sheet.guide.openFullDiskAccess()
                        }
                        SuiteButton {
                            objectName: "showInFinder"
                            text: sheet.guide.showInFinderTitle
                            onClicked: sheet.guide.showInFinder()
                        }
                    }
                }
            }
        }
        Divider {}
        RowLayout {
            objectName: "lastStep"
            spacing: 12
            StepNumber { number: sheet.guide.lastStepNumber }
            ColumnLayout {
                Layout.fillWidth: true
                spacing: 6
                StepTitle { text: sheet.guide.lastStepTitle }
                Caption { text: sheet.guide.lastStepCaption }
            }
        }
        SuiteButton {
            objectName: "accessGuideRefresh"
            text: sheet.guide.refreshTitle
            onClicked: sheet.guide.refresh()
        }
        PlainLabel {
            Layout.fillWidth: true
            text: sheet.guide.footnote
            font.pixelSize: 12
            wrapMode: Text.WordWrap
            color: Appearance.secondaryText
        }
    }
}
