pragma ComponentBehavior: Bound

import QtQuick
import QtQuick.Controls
import Velmor.Controls
import Velmor.SuiteUi

// A segmented control: one segment per title, exactly one selected. `activated` reports the
// segment a person picked; `currentIndex` shows what the presenter holds.
Rectangle {
    id: picker

    property var titles: []
    property int currentIndex: 0
    signal activated(int index)

    implicitWidth: segments.implicitWidth + 4
    implicitHeight: 26
    radius: 6
    color: Appearance.separator
    opacity: enabled ? 1 : 0.55
    Accessible.role: Accessible.Grouping

    Row {
        id: segments
        anchors.fill: parent
        anchors.margins: 2

        Repeater {
            model: picker.titles
            // Radio buttons to assistive technology, drawn as segments.
            delegate: RadioButton {
                id: segment
                required property string modelData
                required property int index
                readonly property bool selected: index === picker.currentIndex

                objectName: "segment:" + modelData
                width: Math.max(segment.implicitContentWidth + 28, (picker.width - 4) / picker.titles.length)
                height: segments.height
                text: modelData
                checked: selected
                autoExclusive: false
                padding: 0
                indicator: null
                focusPolicy: Qt.StrongFocus
                Accessible.name: modelData
                // Assistive technology picks a segment as a click does (Qt Quick's own press
                // would only flip the mark).
                Accessible.onPressAction: {
                    if (segment.enabled)
                        segment.clicked()
                }
                Accessible.onToggleAction: {
                    if (segment.enabled)
                        segment.clicked()
                }
                onClicked: {
                    picker.activated(index)
                    // The presenter decides what is selected.
                    checked = Qt.binding(() => segment.selected)
                }

                background: Rectangle {
                    radius: 5
                    color: segment.selected ? Appearance.controlBackground : "transparent"
                    border.color: segment.visualFocus ? Appearance.controlAccent : "transparent"
                }
                contentItem: PlainText {
                    text: segment.text
                    font.pixelSize: 12
                    font.weight: segment.selected ? Font.DemiBold : Font.Normal
                    color: Appearance.text
                    horizontalAlignment: Text.AlignHCenter
                    verticalAlignment: Text.AlignVCenter
                }
            }
        }
    }
}
