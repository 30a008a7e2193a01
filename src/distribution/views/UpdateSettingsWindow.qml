import QtQuick
import QtQuick.Controls
import Velmor.SuiteUi
import Velmor.Distribution

// The one "Update Settings" window. The app fixes its size when it makes the window.
SuiteWindow {
    id: window

    required property AppDistributionSettingsPresenter presenter

    objectName: "updateSettingsWindow"

    ScrollView {
        id: scroll
        objectName: "updateSettingsScroll"
        anchors.fill: parent
        contentWidth: availableWidth
        contentHeight: settings.implicitHeight + 2 * settings.x

        AppDistributionSettings {
            id: settings
            x: 20
            y: 20
            width: scroll.availableWidth - 2 * x
            presenter: window.presenter
        }
    }
}
