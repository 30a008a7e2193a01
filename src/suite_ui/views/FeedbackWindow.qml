import QtQuick
import QtQuick.Controls
import Velmor.SuiteUi

// The one "Feedback" window: the form in a vertical scroll view. The app fixes its size when it
// makes the window and never changes it.
SuiteWindow {
    id: window

    required property BetaSupportViewPresenter presenter

    objectName: "feedbackWindow"

    ScrollView {
        id: scroll
        objectName: "feedbackScroll"
        anchors.fill: parent
        contentWidth: availableWidth
        contentHeight: form.implicitHeight + 2 * form.x

        BetaSupportView {
            id: form
            x: 22
            y: 22
            width: scroll.availableWidth - 2 * x
            presenter: window.presenter
        }
    }
}
