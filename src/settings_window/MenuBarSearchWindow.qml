pragma ComponentBehavior: Bound

import QtQuick
import QtQuick.Controls
import QtQuick.Layouts
import Velmor.Controls
import Velmor.SuiteUi
import Velmor.SettingsWindow

// The search of every menu bar item: a field, the matching items as a person types (their apps'
// icons, names, titles and where each is), the arrows to choose and Return to open, Escape to
// close. Every decision is the presenter's.
SuiteWindow {
    id: window

    required property TraySearchPresenter presenter

    objectName: "searchWindow"
    title: presenter.title

    Connections {
        target: window.presenter
        function onCloseRequested() {
            window.close()
        }
    }
    onVisibleChanged: {
        if (visible)
            field.forceActiveFocus()
    }

    ColumnLayout {
        anchors.fill: parent
        anchors.margins: 12
        spacing: 8

        TextField {
            id: field
            objectName: "searchField"
            Layout.fillWidth: true
            focus: true
            // Room for the magnifier on the left and the clear button on the right, so the caret
            // never touches either.
            leftPadding: 30
            rightPadding: clearButton.visible ? 30 : 10
            topPadding: 7
            bottomPadding: 7
            placeholderText: window.presenter.fieldName
            text: window.presenter.query
            Accessible.name: window.presenter.fieldName
            // What a screen reader says as the results change under the person's typing.
            Accessible.description: window.presenter.countText
            onTextEdited: window.presenter.query = text
            onAccepted: window.presenter.activateCurrent()
            Keys.onUpPressed: window.presenter.moveSelection(-1)
            Keys.onDownPressed: window.presenter.moveSelection(1)
            Keys.onEscapePressed: window.presenter.close()
            background: Rectangle {
                implicitHeight: 32
                radius: 8
                color: Appearance.controlBackground
                border.width: field.activeFocus ? 2 : 1
                border.color: field.activeFocus ? Appearance.controlAccent : Appearance.separator
            }

            SymbolIcon {
                objectName: "searchMagnifier"
                anchors.left: parent.left
                anchors.leftMargin: 9
                anchors.verticalCenter: parent.verticalCenter
                symbol: "magnifyingglass"
                size: 16
                color: Appearance.secondaryText
            }
            SuiteToolButton {
                id: clearButton
                objectName: "searchClear"
                anchors.right: parent.right
                anchors.rightMargin: 5
                anchors.verticalCenter: parent.verticalCenter
                width: 22
                height: 22
                padding: 0
                visible: field.text !== ""
                focusPolicy: Qt.NoFocus
                text: window.presenter.clearName
                onClicked: {
                    window.presenter.query = ""
                    field.forceActiveFocus()
                }
                contentItem: SymbolIcon {
                    symbol: "xmark.circle.fill"
                    size: 15
                    color: Appearance.secondaryText
                }
            }
        }
        PlainLabel {
            objectName: "searchCount"
            Layout.fillWidth: true
            text: window.presenter.countText
            font.pixelSize: 11
            color: Appearance.secondaryText
        }
        PlainLabel {
            objectName: "searchStatus"
            visible: text !== ""
            Layout.fillWidth: true
            text: window.presenter.statusText
            font.pixelSize: 12
            color: Appearance.warning
            wrapMode: Text.WordWrap
        }
        // The list shows whole rows only: the last one is never cut through its second line.
        Item {
            id: resultsArea
            readonly property real rowPitch: 42
            Layout.fillWidth: true
            Layout.fillHeight: true
            visible: window.presenter.emptyText === ""

            ListView {
                id: results
                objectName: "searchResults"
                width: parent.width
                height: Math.min(contentHeight,
                                 Math.floor((parent.height + spacing) / resultsArea.rowPitch) * resultsArea.rowPitch - spacing)
                clip: true
                spacing: 2
                // More results than rows: the bar says so, also before anyone scrolls.
                ScrollBar.vertical: ScrollBar {
                    objectName: "searchScrollBar"
                    policy: results.contentHeight > results.height ? ScrollBar.AlwaysOn : ScrollBar.AsNeeded
                }
                model: window.presenter.results
                currentIndex: window.presenter.currentIndex
                highlightMoveDuration: 0
                Accessible.role: Accessible.List
                Accessible.name: window.presenter.resultsName

                delegate: SuiteButton {
                    id: result
                    required property int index
                    required property string itemID
                    required property string appName
                    required property string title
                    required property string placement
                    required property string iconSource
                    required property string accessibleName

                    objectName: "searchResult:" + itemID
                    width: ListView.view.width - (results.ScrollBar.vertical.visible ? results.ScrollBar.vertical.width + 2 : 0)
                    height: resultsArea.rowPitch - results.spacing
                    focusPolicy: Qt.NoFocus
                    highlighted: ListView.isCurrentItem
                    Accessible.name: accessibleName
                    onClicked: window.presenter.activate(index)
                    background: Rectangle {
                        radius: 6
                        color: result.highlighted ? Appearance.controlAccent
                                                  : (result.hovered ? Appearance.separator : "transparent")
                    }
                    contentItem: RowLayout {
                        spacing: 10
                        Item {
                            Layout.preferredWidth: 24
                            Layout.preferredHeight: 24
                            Image {
                                anchors.fill: parent
                                visible: result.iconSource !== ""
                                source: result.iconSource
                                sourceSize.width: 48
                                sourceSize.height: 48
                            }
                            SymbolIcon {
                                anchors.fill: parent
                                visible: result.iconSource === ""
                                symbol: "app.dashed"
                                size: 20
                                color: Appearance.secondaryText
                            }
                        }
                        ColumnLayout {
                            Layout.fillWidth: true
                            spacing: 0
                            PlainLabel {
                                Layout.fillWidth: true
                                text: result.title
                                elide: Text.ElideRight
                                color: result.highlighted ? "white" : Appearance.text
                            }
                            PlainLabel {
                                Layout.fillWidth: true
                                text: result.appName
                                elide: Text.ElideRight
                                font.pixelSize: 11
                                color: result.highlighted ? "white" : Appearance.secondaryText
                            }
                        }
                        PlainLabel {
                            text: result.placement
                            font.pixelSize: 11
                            color: result.highlighted ? "white" : Appearance.secondaryText
                        }
                    }
                }
            }
        }
        PlainLabel {
            objectName: "searchEmpty"
            visible: text !== ""
            Layout.fillWidth: true
            Layout.fillHeight: true
            text: window.presenter.emptyText
            horizontalAlignment: Text.AlignHCenter
            verticalAlignment: Text.AlignVCenter
            wrapMode: Text.Wrap
            color: Appearance.secondaryText
        }
    }
}
