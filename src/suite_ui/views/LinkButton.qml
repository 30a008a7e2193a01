import QtQuick
import QtQuick.Controls
import Velmor.Controls
import Velmor.SuiteUi

// A text link: opens what it names when clicked, or pressed by keyboard or assistive technology.
AbstractButton {
    id: link


    font.pixelSize: 12
    focusPolicy: Qt.StrongFocus
    Accessible.role: Accessible.Link
    Accessible.name: text
    Accessible.onPressAction: link.clicked()

    contentItem: PlainText {
        text: link.text
        font.pixelSize: link.font.pixelSize
        font.underline: link.hovered || link.visualFocus
        color: Appearance.accent
    }
    HoverHandler {
        cursorShape: Qt.PointingHandCursor
    }
}
