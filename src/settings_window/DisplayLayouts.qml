pragma ComponentBehavior: Bound

import QtQuick
import QtQuick.Controls
import QtQuick.Layouts
import Velmor.Controls
import Velmor.SuiteUi
import Velmor.SettingsWindow

// The layouts saved for display setups: the displays connected now with the action that saves the
// arrangement for them, then one row per saved layout, the one in use marked, each with Delete.
ColumnLayout {
    id: section

    required property TrayLayoutSettings settings

    objectName: "displayLayouts"
    visible: settings.available
    spacing: 6

    RowLayout {
        Layout.fillWidth: true
        spacing: 8
        PlainLabel {
            objectName: "displayLayoutsTitle"
            text: section.settings.title
            font.pixelSize: 15
            font.weight: Font.DemiBold
            color: Appearance.text
        }
        PlainLabel {
            objectName: "currentSetup"
            Layout.fillWidth: true
            // Display names come from the system: plain text.
            text: section.settings.setup
            font.pixelSize: 12
            elide: Text.ElideRight
            color: Appearance.secondaryText
        }
        SuiteButton {
            objectName: "saveLayoutButton"
            text: section.settings.saveTitle
            Accessible.description: section.settings.saveHint
            onClicked: section.settings.save()
        }
    }
    PlainLabel {
        objectName: "layoutProblem"
        visible: text !== ""
        Layout.fillWidth: true
        text: section.settings.problem
        font.pixelSize: 12
        wrapMode: Text.WordWrap
        color: Appearance.warning
    }
    PlainLabel {
        objectName: "layoutHint"
        visible: section.settings.layouts.length === 0
        Layout.fillWidth: true
        text: section.settings.saveHint
        font.pixelSize: 12
        wrapMode: Text.WordWrap
        color: Appearance.secondaryText
    }
    Repeater {
        model: section.settings.layouts
        delegate: RowLayout {
            id: row
            required property string modelData
            objectName: "layout:" + modelData
            Layout.fillWidth: true
            Layout.leftMargin: 4
            spacing: 8
            Accessible.role: Accessible.ListItem
            Accessible.name: modelData
            SymbolIcon {
                symbol: "desktopcomputer"
                size: 14
                color: Appearance.secondaryText
            }
            PlainLabel {
                Layout.fillWidth: true
                text: row.modelData
                elide: Text.ElideRight
                color: Appearance.text
            }
            PlainLabel {
                objectName: "layoutInUse:" + row.modelData
                visible: section.settings.inForce === row.modelData
                text: section.settings.inForceText
                font.pixelSize: 11
                color: Appearance.accent
            }
            SuiteButton {
                objectName: "deleteLayout:" + row.modelData
                text: section.settings.deleteTitle
                Accessible.name: section.settings.deleteLabel(row.modelData)
                onClicked: section.settings.remove(row.modelData)
            }
        }
    }
}
