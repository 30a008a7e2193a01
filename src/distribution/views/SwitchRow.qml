import QtQuick
import QtQuick.Controls
import QtQuick.Layouts
import Velmor.Controls
import Velmor.SuiteUi

// A form row: the setting's title, and its switch at the trailing edge. The switch shows `on`;
// a click reports `toggled` and leaves the showing to whoever holds the setting.
RowLayout {
    id: row

    property string text
    property bool on: false
    signal toggled(bool checked)

    spacing: 8
    Layout.fillWidth: true

    PlainLabel {
        text: row.text
        opacity: row.enabled ? 1 : 0.5
        Layout.fillWidth: true
        Accessible.ignored: true
    }
    SuiteSwitch {
        id: toggle
        objectName: row.objectName + ":switch"
        checked: row.on
        Accessible.name: row.text
        onToggled: {
            row.toggled(checked)
            checked = Qt.binding(() => row.on)
        }
    }
}
