pragma ComponentBehavior: Bound

import QtQuick
import QtQuick.Controls
import QtQuick.Layouts
import Velmor.Controls
import Velmor.SuiteUi
import Velmor.SettingsWindow

// The group editor: a name and one of the twelve symbols. Return saves (when a name is given),
// Escape cancels.
Popup {
    id: sheet

    required property TrayGroupEditor editor

    objectName: "groupEditorSheet"
    modal: true
    focus: true
    anchors.centerIn: Overlay.overlay
    width: 380
    padding: 20
    closePolicy: Popup.CloseOnEscape
    Overlay.modal: Rectangle {
        color: Appearance.dimming
    }
    background: Rectangle {
        radius: 12
        color: Appearance.canvas
        border.color: Appearance.separator
    }
    onClosed: editor.cancel()
    onOpened: nameField.forceActiveFocus()

    // Built when first asked for: the request that built it is already made.
    Component.onCompleted: if (sheet.editor.open) sheet.open()
    Connections {
        target: sheet.editor
        function onOpenChanged() {
            if (sheet.editor.open)
                sheet.open()
            else
                sheet.close()
        }
    }

    Shortcut {
        sequences: ["Return", "Enter"]
        enabled: sheet.opened
        onActivated: sheet.editor.save()
    }

    ColumnLayout {
        width: sheet.availableWidth
        spacing: 12
        PlainLabel {
            objectName: "groupEditorTitle"
            text: sheet.editor.title
            font.pixelSize: 17
            font.weight: Font.DemiBold
            color: Appearance.text
        }
        TextField {
            id: nameField
            objectName: "groupNameField"
            Layout.fillWidth: true
            placeholderText: sheet.editor.nameLabel
            text: sheet.editor.name
            Accessible.name: sheet.editor.nameLabel
            onTextEdited: sheet.editor.name = text
            onAccepted: sheet.editor.save()
        }
        PlainLabel {
            text: sheet.editor.iconLabel
            color: Appearance.secondaryText
        }
        GridLayout {
            columns: 6
            columnSpacing: 6
            rowSpacing: 6
            Repeater {
                model: sheet.editor.symbols
                delegate: SuiteToolButton {
                    id: choice
                    required property string modelData
                    objectName: "groupSymbol:" + modelData
                    implicitWidth: 44
                    implicitHeight: 36
                    Accessible.name: modelData
                    Accessible.role: Accessible.RadioButton
                    Accessible.checkable: true
                    Accessible.checked: sheet.editor.symbol === modelData
                    ToolTip.visible: hovered
                    ToolTip.delay: 600
                    ToolTip.text: modelData
                    onClicked: sheet.editor.symbol = modelData
                    background: Rectangle {
                        radius: 7
                        color: sheet.editor.symbol === choice.modelData ? Qt.alpha(Appearance.accent, 0.22)
                                                                        : "transparent"
                        border.width: choice.activeFocus || sheet.editor.symbol === choice.modelData ? 1 : 0
                        border.color: Appearance.controlAccent
                    }
                    contentItem: SymbolIcon {
                        symbol: choice.modelData
                        size: 18
                        color: Appearance.text
                    }
                }
            }
        }
        RowLayout {
            Layout.fillWidth: true
            Layout.topMargin: 6
            Item { Layout.fillWidth: true }
            SuiteButton {
                objectName: "groupEditorCancel"
                text: sheet.editor.cancelTitle
                onClicked: sheet.editor.cancel()
            }
            ProminentButton {
                objectName: "groupEditorSave"
                text: sheet.editor.saveTitle
                enabled: sheet.editor.canSave
                onClicked: sheet.editor.save()
            }
        }
    }
}
