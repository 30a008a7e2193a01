pragma ComponentBehavior: Bound

import QtQuick
import Velmor.SimulatedMac
import QtQuick.Controls
import QtQuick.Layouts
import Velmor.Controls

// The simulated Mac on screen: its screens scaled to fit, each with its menu bar, the Dock and
// System Settings on the primary one, and the side panel.
ApplicationWindow {
    id: window

    required property SimulatedMacPresenter mac

    // The screens fill the drawing: the window takes the desktop's shape (no band below it), and
    // grows wider for a desktop too wide to show at a readable height.
    readonly property real sidePanelWidth: 320
    readonly property real desktopAspect: mac.desktopWidth / Math.max(1, mac.desktopHeight)

    title: mac.title
    width: Math.max(1400, Math.round(sidePanelWidth + 24 + 560 * desktopAspect))
    height: Math.round((width - sidePanelWidth - 24) / desktopAspect) + 24
    readonly property bool dark: mac.dark
    Appearance.dark: dark
    color: dark ? "#1b1a19" : "#e9e7e3"
    palette.window: dark ? "#242322" : "#f6f5f3"
    palette.windowText: dark ? "#f4f3f1" : "#1d1c1a"
    palette.text: dark ? "#f4f3f1" : "#1d1c1a"
    palette.base: dark ? "#2c2b2a" : "#ffffff"
    palette.button: dark ? "#34322f" : "#ffffff"
    palette.buttonText: dark ? "#f4f3f1" : "#1d1c1a"
    palette.highlight: "#6940a5"
    palette.placeholderText: dark ? "#a8a5a0" : "#6b6863"

    RowLayout {
        anchors.fill: parent
        spacing: 0
        // The Mac's keyboard: what no control took goes to its global shortcuts.
        focus: true
        Keys.onPressed: event => {
            event.accepted = window.mac.keyPressed(event.key, event.modifiers)
        }

        Item {
            id: area
            Layout.fillWidth: true
            Layout.fillHeight: true

            readonly property real fit: Math.min((width - 24) / window.mac.desktopWidth,
                                                 (height - 24) / window.mac.desktopHeight)

            Item {
                id: desktop
                objectName: "desktop"
                width: window.mac.desktopWidth
                height: window.mac.desktopHeight
                x: (area.width - width * scale) / 2
                y: 12
                scale: area.fit
                transformOrigin: Item.TopLeft

                // The Mac's pointer follows the real one across the drawing.
                HoverHandler {
                    onPointChanged: window.mac.pointerMoved(point.position.x, point.position.y)
                }

                Repeater {
                    model: window.mac.screens
                    delegate: Rectangle {
                        id: screen
                        required property real screenX
                        required property real screenY
                        required property real screenWidth
                        required property real screenHeight
                        required property bool primary
                        required property real housingX
                        required property real housingWidth
                        required property string screenName
                        required property bool hasBar
                        required property bool inUse
                        required property var likeness
                        required property int index
                        objectName: primary ? "primaryScreen" : "screen"
                        x: screenX
                        y: screenY
                        width: screenWidth
                        height: screenHeight
                        clip: true
                        gradient: Gradient {
                            GradientStop { position: 0; color: window.dark ? "#27324a" : "#9fb8d9" }
                            GradientStop { position: 1; color: window.dark ? "#402d4f" : "#d6c2e6" }
                        }

                        MenuBarView {
                            objectName: screen.inUse ? "menuBar" : "secondaryMenuBar"
                            visible: screen.hasBar
                            width: parent.width
                            presenter: window.mac.menuBar
                            inUse: screen.inUse
                            likeness: screen.likeness
                            onOtherBarClicked: x => window.mac.clickScreenBar(screen.index, x)
                            symbolFont: window.mac.symbolFont
                            appleGlyph: window.mac.appleGlyph
                            housingX: screen.housingX
                            housingWidth: screen.housingWidth
                        }

                        DockStrip {
                            visible: screen.primary
                            anchors.bottom: parent.bottom
                            anchors.bottomMargin: 8
                            anchors.horizontalCenter: parent.horizontalCenter
                            presenter: window.mac.dock
                        }

                        SystemSettingsPanel {
                            visible: screen.primary && window.mac.systemSettings.open
                            x: (parent.width - width) / 2
                            y: 120
                            presenter: window.mac.systemSettings
                            symbolFont: window.mac.symbolFont
                        }

                        AboutPanel {
                            visible: screen.primary && window.mac.aboutTitle !== ""
                            x: (parent.width - width) / 2
                            y: 200
                            mac: window.mac
                        }

                        UpdaterAlertView {
                            model: window.mac.updaterAlert
                            visible: screen.primary && asking
                            x: (parent.width - width) / 2
                            y: 160
                        }

                        // A click anywhere else closes the bar below the menu bar, and still
                        // reaches what it was meant for.
                        MouseArea {
                            anchors.fill: parent
                            visible: screen.inUse && window.mac.belowBar.shown
                            onPressed: mouse => {
                                window.mac.belowBar.dismiss()
                                mouse.accepted = false
                            }
                        }

                        BelowBarView {
                            inUse: screen.inUse
                            presenter: window.mac.belowBar
                        }
                    }
                }
            }
        }

        SidePanel {
            Layout.preferredWidth: window.sidePanelWidth
            Layout.fillHeight: true
            presenter: window.mac.sidePanel
            settings: window.mac.systemSettings
        }
    }
}
