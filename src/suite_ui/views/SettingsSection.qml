import QtQuick
import QtQuick.Layouts
import Velmor.Controls
import Velmor.SuiteUi

// One section of a grouped settings form: an optional heading over a rounded box whose rows are
// the section's content.
ColumnLayout {
    id: section

    property string title
    default property alias content: rows.data

    spacing: 6

    PlainLabel {
        visible: section.title !== ""
        text: section.title
        font.pixelSize: 13
        font.weight: Font.DemiBold
        Layout.leftMargin: 4
        Accessible.role: Accessible.Heading
        Accessible.name: text
    }
    Rectangle {
        Layout.fillWidth: true
        implicitHeight: rows.implicitHeight + 24
        radius: 8
        color: Appearance.controlBackground
        border.color: Appearance.separator

        ColumnLayout {
            id: rows
            anchors.fill: parent
            anchors.margins: 12
            spacing: 8
        }
    }
}
