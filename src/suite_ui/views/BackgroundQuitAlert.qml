pragma ComponentBehavior: Bound

import QtQuick
import QtQuick.Controls
import QtQuick.Layouts
import Velmor.Controls
import Velmor.SuiteUi

// The alert that offers to keep the app running in the background instead of quitting: the
// question, why, and the three choices stacked with the default first. Return picks the default,
// Escape cancels.
SuiteWindow {
    id: alert

    required property BackgroundQuitConfirmationPresenter presenter
    property string iconSource

    objectName: "backgroundQuitAlert"
    title: presenter.messageText
    flags: Qt.Dialog
    modality: Qt.ApplicationModal
    visible: presenter.open
    width: 280
    height: content.implicitHeight + 40
    minimumWidth: width
    maximumWidth: width
    // The window's own close button ends the request as "Cancel" does: nothing happens.
    onClosing: alert.presenter.choose(BackgroundQuitConfirmationPresenter.Cancel)

    ColumnLayout {
        id: content
        anchors.fill: parent
        anchors.margins: 20
        spacing: 10
        focus: true
        Keys.onPressed: event => event.accepted = alert.presenter.keyPressed(event.key)

        Image {
            visible: alert.iconSource !== ""
            source: alert.iconSource
            sourceSize.width: 56
            sourceSize.height: 56
            Layout.alignment: Qt.AlignHCenter
        }
        PlainLabel {
            objectName: "backgroundQuitMessage"
            text: alert.presenter.messageText
            font.pixelSize: 13
            font.weight: Font.Bold
            horizontalAlignment: Text.AlignHCenter
            wrapMode: Text.WordWrap
            Layout.fillWidth: true
        }
        PlainLabel {
            objectName: "backgroundQuitInformative"
            text: alert.presenter.informativeText
            font.pixelSize: 11
            horizontalAlignment: Text.AlignHCenter
            wrapMode: Text.WordWrap
            Layout.fillWidth: true
            Layout.bottomMargin: 6
        }
        ProminentButton {
            objectName: "keepRunningButton"
            text: alert.presenter.keepRunningTitle
            Layout.fillWidth: true
            onClicked: alert.presenter.choose(BackgroundQuitConfirmationPresenter.KeepRunning)
        }
        SuiteButton {
            objectName: "quitAppButton"
            text: alert.presenter.quitTitle
            enabled: alert.presenter.quitEnabled
            Layout.fillWidth: true
            onClicked: alert.presenter.choose(BackgroundQuitConfirmationPresenter.Quit)
        }
        SuiteButton {
            objectName: "cancelButton"
            text: alert.presenter.cancelTitle
            Layout.fillWidth: true
            onClicked: alert.presenter.choose(BackgroundQuitConfirmationPresenter.Cancel)
        }
    }
}
