pragma ComponentBehavior: Bound

import QtQuick
import QtQuick.Controls
import QtQuick.Layouts
import Velmor.Controls
import Velmor.SuiteUi
import Velmor.SettingsWindow

// How revealing behaves: the keyboard shortcuts, how soon revealed icons hide again, and
// revealing by resting the pointer on, or clicking, empty menu bar space.
ColumnLayout {
    id: section

    required property TrayRevealSettings settings

    objectName: "revealPreferences"
    spacing: 8

    RowLayout {
        Layout.fillWidth: true
        spacing: 8
        PlainLabel {
            id: rehideTitle
            text: section.settings.rehideTitle
            color: Appearance.text
        }
        Item { Layout.fillWidth: true }
        SegmentedPicker {
            objectName: "rehidePicker"
            Layout.preferredWidth: 300
            titles: section.settings.rehideTitles
            currentIndex: section.settings.rehideIndex
            Accessible.name: rehideTitle.text
            onActivated: index => section.settings.rehideIndex = index
        }
    }
    PlainLabel {
        Layout.fillWidth: true
        text: section.settings.rehideNote
        font.pixelSize: 12
        color: Appearance.secondaryText
        wrapMode: Text.WordWrap
    }
    SuiteSwitch {
        objectName: "revealOnHoverSwitch"
        text: section.settings.hoverTitle
        checked: section.settings.revealOnHover
        focusPolicy: Qt.StrongFocus
        onToggled: {
            section.settings.revealOnHover = checked
            checked = Qt.binding(() => section.settings.revealOnHover)
        }
    }
    SuiteSwitch {
        objectName: "revealOnClickSwitch"
        text: section.settings.clickTitle
        checked: section.settings.revealOnClick
        focusPolicy: Qt.StrongFocus
        onToggled: {
            section.settings.revealOnClick = checked
            checked = Qt.binding(() => section.settings.revealOnClick)
        }
    }

    PlainLabel {
        Layout.topMargin: 4
        text: section.settings.shortcutsTitle
        font.weight: Font.DemiBold
        color: Appearance.text
    }
    PlainLabel {
        objectName: "shortcutsStoredProblem"
        visible: text !== ""
        Layout.fillWidth: true
        text: section.settings.storedProblem
        font.pixelSize: 12
        color: Appearance.warning
        wrapMode: Text.WordWrap
    }
    ColumnLayout {
        Layout.fillWidth: true
        spacing: 6
        Accessible.role: Accessible.Grouping
        Accessible.name: section.settings.shortcutsTitle

        Repeater {
            model: section.settings.recorders
            delegate: ShortcutRecorder {
                required property TrayShortcutRecorder modelData
                Layout.fillWidth: true
                recorder: modelData
            }
        }
    }
}
