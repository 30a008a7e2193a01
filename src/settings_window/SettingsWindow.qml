pragma ComponentBehavior: Bound

import QtQuick
import QtQuick.Controls
import QtQuick.Layouts
import Velmor.Controls
import Velmor.SuiteUi
import Velmor.SettingsWindow

// The organizer: the tray's one settings window. Every decision is the presenter's; this file
// lays the blocks out in their order and binds them.
ApplicationWindow {
    id: window

    required property TraySettingsPresenter presenter
    property bool dark: false
    Appearance.dark: dark

    component Headline: PlainLabel {
        font.pixelSize: 15
        font.weight: Font.DemiBold
        color: Theme.text(window.dark)
    }
    component Note: PlainLabel {
        font.pixelSize: 12
        color: Theme.secondaryText(window.dark)
        wrapMode: Text.WordWrap
    }
    component Divider: Rectangle {
        Layout.fillWidth: true
        implicitHeight: 1
        color: Theme.separator(window.dark)
    }
    component IconButton: SuiteToolButton {
        id: iconButton
        property string symbol
        contentItem: SymbolIcon {
            symbol: iconButton.symbol
            size: 17
            color: Theme.secondaryText(window.dark)
        }
    }

    title: presenter.title
    color: Theme.canvas(dark)
    // Back from System Settings: the login item may have changed there.
    onActiveChanged: {
        if (active)
            presenter.refreshLaunchAtLogin()
    }
    palette.window: Theme.canvas(dark)
    palette.windowText: Theme.text(dark)
    palette.text: Theme.text(dark)
    palette.base: Theme.controlBackground(dark)
    palette.button: Theme.controlBackground(dark)
    palette.buttonText: Theme.text(dark)
    palette.highlight: Theme.controlAccent(dark)
    palette.highlightedText: "white"
    palette.mid: Theme.separator(dark)
    palette.placeholderText: Theme.secondaryText(dark)
    palette.toolTipBase: Theme.controlBackground(dark)
    palette.toolTipText: Theme.text(dark)

    ColumnLayout {
        anchors.fill: parent
        spacing: 0

        // 1. Header.
        RowLayout {
            Layout.margins: 20
            Layout.bottomMargin: 14
            spacing: 14
            TrayBrandIcon {
                objectName: "brandIcon"
                source: window.presenter.brandIconSource
                implicitWidth: 48
                implicitHeight: 48
            }
            ColumnLayout {
                spacing: 2
                PlainLabel {
                    objectName: "settingsTitle"
                    text: window.presenter.title
                    font.pixelSize: 24
                    font.weight: Font.DemiBold
                    color: Theme.text(window.dark)
                }
                PlainLabel {
                    text: window.presenter.tagline
                    color: Theme.secondaryText(window.dark)
                }
            }
            Item { Layout.fillWidth: true }
            IconButton {
                objectName: "helpButton"
                symbol: window.presenter.symbols.help
                Accessible.name: window.presenter.helpLabel
                onClicked: window.presenter.helpTopic = "grouping"
            }
            SymbolButton {
                objectName: "permissionsButton"
                text: window.presenter.permissionsTitle
                symbol: window.presenter.symbols.permissions
                onClicked: window.presenter.openAccessGuide()
            }
        }
        // 2.
        Divider {}

        ScrollView {
            id: scroller
            objectName: "organizerScroll"
            Layout.fillWidth: true
            Layout.fillHeight: true
            contentWidth: availableWidth

            ColumnLayout {
                width: scroller.availableWidth - 40
                x: 20
                spacing: 16

                Item { implicitHeight: 2 }

                // 3. Setup card.
                Rectangle {
                    objectName: "setupCard"
                    visible: window.presenter.showsSetupCard
                    Layout.fillWidth: true
                    implicitHeight: setup.implicitHeight + 28
                    radius: 12
                    color: Qt.alpha(Theme.accent(window.dark), 0.10)
                    border.color: Qt.alpha(Theme.accent(window.dark), 0.35)
                    RowLayout {
                        id: setup
                        anchors.fill: parent
                        anchors.margins: 14
                        spacing: 12
                        SymbolIcon {
                            symbol: window.presenter.symbols.setup
                            size: 27
                            color: Theme.accent(window.dark)
                        }
                        ColumnLayout {
                            Layout.fillWidth: true
                            spacing: 3
                            PlainLabel {
                                text: window.presenter.setupHeadline
                                font.pixelSize: 14
                                font.weight: Font.DemiBold
                                color: Theme.text(window.dark)
                            }
                            Note {
                                Layout.fillWidth: true
                                text: window.presenter.setupText
                            }
                        }
                        ProminentButton {
                            objectName: "setupButton"
                            text: window.presenter.setupButtonTitle
                            onClicked: window.presenter.openAccessGuide()
                        }
                    }
                }

                // 4. Grouping status.
                RowLayout {
                    Layout.fillWidth: true
                    spacing: 8
                    Rectangle {
                        objectName: "statusDot"
                        implicitWidth: 7
                        implicitHeight: 7
                        radius: 3.5
                        color: window.presenter.groupingActive ? "#34a853" : Theme.secondaryText(window.dark)
                    }
                    PlainLabel {
                        objectName: "statusText"
                        text: window.presenter.statusText
                        font.pixelSize: 12
                        color: Theme.secondaryText(window.dark)
                    }
                    Item { Layout.fillWidth: true }
                    SymbolButton {
                        id: orderButton
                        objectName: "orderButton"
                        text: window.presenter.orderTitle
                        symbol: window.presenter.symbols.order
                        enabled: window.presenter.orderEnabled
                        onClicked: orderMenu.popup(orderButton, 0, orderButton.height)
                        Menu {
                            id: orderMenu
                            objectName: "orderMenu"
                            SuiteMenuItem {
                                objectName: "organizeAutomatically"
                                text: window.presenter.organizeTitle
                                onTriggered: window.presenter.organizeAutomatically()
                            }
                            SuiteMenuItem {
                                objectName: "restorePreviousOrder"
                                text: window.presenter.restoreTitle
                                onTriggered: window.presenter.restorePreviousOrder()
                            }
                            MenuSeparator {}
                            SuiteMenuItem {
                                objectName: "aboutOrder"
                                text: window.presenter.aboutOrderTitle
                                onTriggered: window.presenter.helpTopic = "ordering"
                            }
                        }
                    }
                    SuiteButton {
                        objectName: "revealAllButton"
                        text: window.presenter.revealTitle
                        enabled: window.presenter.revealEnabled
                        onClicked: window.presenter.revealAll()
                    }
                    ProminentButton {
                        objectName: "primaryButton"
                        text: window.presenter.primaryTitle
                        enabled: window.presenter.primaryEnabled
                        onClicked: window.presenter.primaryAction()
                    }
                }

                // 5. Notices.
                RowLayout {
                    objectName: "warningRow"
                    visible: window.presenter.warningText !== ""
                    Layout.fillWidth: true
                    spacing: 8
                    SymbolIcon {
                        symbol: window.presenter.symbols.warning
                        size: 15
                        color: Theme.warning(window.dark)
                    }
                    PlainLabel {
                        objectName: "warningText"
                        Layout.fillWidth: true
                        text: window.presenter.warningText
                        font.pixelSize: 12
                        wrapMode: Text.WordWrap
                        color: Theme.warning(window.dark)
                    }
                    SuiteButton {
                        objectName: "accessSetupButton"
                        visible: window.presenter.showsAccessSetup
                        text: window.presenter.accessSetupTitle
                        onClicked: window.presenter.openAccessGuide()
                    }
                }
                BelowBarNotice {
                    Layout.fillWidth: true
                    settings: window.presenter.belowBar
                }
                OwnItemsNotice {
                    Layout.fillWidth: true
                    settings: window.presenter.belowBar
                }
                // The display setup changed and its layout took over.
                RowLayout {
                    objectName: "layoutNoticeRow"
                    visible: window.presenter.layout.notice !== ""
                    Layout.fillWidth: true
                    spacing: 8
                    SymbolIcon {
                        symbol: "desktopcomputer"
                        size: 15
                        color: Theme.accent(window.dark)
                    }
                    PlainLabel {
                        objectName: "layoutNotice"
                        Layout.fillWidth: true
                        // Display names come from the system: plain text.
                        text: window.presenter.layout.notice
                        font.pixelSize: 12
                        wrapMode: Text.WordWrap
                        color: Theme.text(window.dark)
                    }
                }
                PlainLabel {
                    objectName: "messageText"
                    visible: window.presenter.message !== ""
                    Layout.fillWidth: true
                    text: window.presenter.message
                    wrapMode: Text.WordWrap
                    color: Theme.text(window.dark)
                }

                // 6. "Menu bar apps".
                RowLayout {
                    Layout.fillWidth: true
                    spacing: 6
                    // The hint reads on the headline's line, however many lines it takes.
                    Headline {
                        objectName: "appsTitle"
                        text: window.presenter.appsTitle
                        Layout.alignment: Qt.AlignBaseline
                    }
                    IconButton {
                        objectName: "appsInfoButton"
                        symbol: window.presenter.symbols.appsInfo
                        Accessible.name: window.presenter.appsInfoLabel
                        onClicked: window.presenter.helpTopic = "icons"
                    }
                    Note {
                        objectName: "appsHint"
                        Layout.fillWidth: true
                        Layout.alignment: Qt.AlignBaseline
                        text: window.presenter.appsHint
                    }
                    SymbolButton {
                        objectName: "refreshButton"
                        text: window.presenter.refreshTitle
                        symbol: window.presenter.symbols.refresh
                        onClicked: window.presenter.refresh()
                    }
                }

                // 7. The organizer in per-app mode.
                RowLayout {
                    objectName: "sectionAreas"
                    visible: window.presenter.perApp
                    Layout.fillWidth: true
                    spacing: 10
                    Repeater {
                        model: window.presenter.sectionAreas
                        delegate: AreaView {
                            presenter: window.presenter
                            Layout.fillWidth: true
                            Layout.preferredWidth: 100
                            Layout.alignment: Qt.AlignTop
                        }
                    }
                }
                RowLayout {
                    visible: window.presenter.perApp
                    Layout.fillWidth: true
                    Layout.topMargin: 4
                    spacing: 8
                    Headline { text: window.presenter.customGroupsTitle }
                    SymbolButton {
                        objectName: "addGroupButton"
                        text: window.presenter.addGroupTitle
                        symbol: window.presenter.symbols.addGroup
                        onClicked: window.presenter.openNewGroup()
                    }
                    Note {
                        Layout.fillWidth: true
                        text: window.presenter.groupsNote
                    }
                }
                GridLayout {
                    objectName: "groupAreas"
                    visible: window.presenter.perApp && window.presenter.hasGroups
                    Layout.fillWidth: true
                    columns: 2
                    columnSpacing: 10
                    rowSpacing: 10
                    Repeater {
                        model: window.presenter.groupAreas
                        delegate: AreaView {
                            presenter: window.presenter
                            Layout.fillWidth: true
                            Layout.preferredWidth: 100
                            Layout.alignment: Qt.AlignTop
                        }
                    }
                }
                SymbolButton {
                    objectName: "createFirstGroupButton"
                    visible: window.presenter.perApp && !window.presenter.hasGroups
                    text: window.presenter.createFirstGroupTitle
                    symbol: window.presenter.symbols.createFirstGroup
                    onClicked: window.presenter.openNewGroup()
                }
                DisplayLayouts {
                    Layout.fillWidth: true
                    Layout.topMargin: 4
                    settings: window.presenter.layout
                }

                // 8. Marker mode.
                RowLayout {
                    objectName: "markerAreas"
                    visible: !window.presenter.perApp
                    Layout.fillWidth: true
                    spacing: 10
                    Repeater {
                        model: window.presenter.markerAreas
                        delegate: Rectangle {
                            id: markerArea
                            required property string section
                            required property string title
                            required property string symbol
                            required property int count
                            required property var items
                            objectName: "markerArea:" + section
                            Layout.fillWidth: true
                            Layout.preferredWidth: 100
                            Layout.alignment: Qt.AlignTop
                            implicitHeight: markerContent.implicitHeight + 24
                            radius: 10
                            color: Theme.controlBackground(window.dark)
                            border.color: Theme.separator(window.dark)
                            Accessible.role: Accessible.Grouping
                            Accessible.name: title
                            ColumnLayout {
                                id: markerContent
                                anchors.fill: parent
                                anchors.margins: 12
                                spacing: 8
                                RowLayout {
                                    spacing: 6
                                    SymbolIcon {
                                        symbol: markerArea.symbol
                                        size: 16
                                        color: Theme.accent(window.dark)
                                    }
                                    PlainLabel {
                                        text: markerArea.title
                                        font.pixelSize: 13
                                        font.weight: Font.DemiBold
                                        color: Theme.text(window.dark)
                                    }
                                }
                                Flow {
                                    Layout.fillWidth: true
                                    spacing: 6
                                    visible: markerArea.count > 0
                                    Repeater {
                                        model: markerArea.items
                                        delegate: TrayGlyphView {}
                                    }
                                }
                                Note {
                                    objectName: "noItems:" + markerArea.section
                                    visible: markerArea.count === 0
                                    text: window.presenter.noItemsText
                                }
                            }
                        }
                    }
                }

                // 9. Preferences.
                ColumnLayout {
                    Layout.fillWidth: true
                    spacing: 8
                    SuiteToolButton {
                        id: disclosure
                        objectName: "preferencesDisclosure"
                        text: window.presenter.preferencesTitle
                        checkable: true
                        checked: window.presenter.showPreferences
                        Accessible.role: Accessible.Button
                        Accessible.name: window.presenter.preferencesTitle
                        onToggled: window.presenter.showPreferences = checked
                        // A disclosure, not a toggle button: no pressed look, a ring for the keyboard.
                        background: Rectangle {
                            radius: 4
                            color: "transparent"
                            border.width: disclosure.visualFocus ? 2 : 0
                            border.color: Theme.controlAccent(window.dark)
                        }
                        contentItem: RowLayout {
                            spacing: 4
                            // One chevron that turns down while the group is open.
                            SymbolIcon {
                                objectName: "preferencesChevron"
                                symbol: window.presenter.symbols.disclosure
                                rotation: window.presenter.showPreferences ? 90 : 0
                                size: 14
                                color: Theme.secondaryText(window.dark)
                            }
                            Headline { text: disclosure.text }
                        }
                    }
                    ColumnLayout {
                        objectName: "preferences"
                        visible: window.presenter.showPreferences
                        Layout.fillWidth: true
                        Layout.leftMargin: 20
                        spacing: 8
                        SuiteSwitch {
                            id: launchAtLogin
                            objectName: "launchAtLoginSwitch"
                            text: window.presenter.launchAtLoginTitle
                            checked: window.presenter.launchAtLogin
                            enabled: window.presenter.launchAtLoginAvailable
                            focusPolicy: Qt.StrongFocus
                            onToggled: {
                                window.presenter.setLaunchAtLogin(checked)
                                // What the login item really says wins over the click.
                                checked = Qt.binding(() => window.presenter.launchAtLogin)
                            }
                        }
                        // Why this copy of the app cannot launch at login.
                        Note {
                            objectName: "launchAtLoginNote"
                            visible: text !== ""
                            Layout.fillWidth: true
                            text: window.presenter.launchAtLoginNote
                        }
                        LayoutPreferences {
                            Layout.fillWidth: true
                            settings: window.presenter.layout
                        }
                        AppearancePicker {
                            Layout.fillWidth: true
                            selection: window.presenter.appearance
                            labelColor: Theme.text(window.dark)
                            onChosen: value => window.presenter.appearance = value
                        }
                        BelowBarPreference {
                            Layout.fillWidth: true
                            settings: window.presenter.belowBar
                        }
                        RevealPreferences { Layout.fillWidth: true; settings: window.presenter.reveal }
                        // The suite's support footer is placed here by the suite shell.
                        Item {
                            objectName: "supportFooterSlot"
                            Layout.fillWidth: true
                        }
                    }
                }

                Divider {}

                // 10. Footer.
                RowLayout {
                    Layout.fillWidth: true
                    Layout.bottomMargin: 20
                    spacing: 6
                    SymbolIcon {
                        symbol: window.presenter.symbols.footer
                        size: 13
                        color: Theme.secondaryText(window.dark)
                    }
                    PlainLabel {
                        objectName: "footerText"
                        text: window.presenter.footerText
                        color: Theme.secondaryText(window.dark)
                    }
                    Item { Layout.fillWidth: true }
                    SuiteButton {
                        objectName: "quitButton"
                        text: window.presenter.quitTitle
                        onClicked: window.presenter.quit()
                    }
                }
            }
        }
    }

    Popup {
        id: helpPopover
        objectName: "helpPopover"
        focus: true
        anchors.centerIn: Overlay.overlay
        width: 360
        padding: 16
        closePolicy: Popup.CloseOnEscape | Popup.CloseOnPressOutside
        onClosed: window.presenter.helpTopic = ""
        background: Rectangle {
            radius: 10
            color: Theme.controlBackground(window.dark)
            border.color: Theme.separator(window.dark)
        }
        ColumnLayout {
            width: 328
            spacing: 8
            Headline {
                objectName: "helpTitle"
                text: window.presenter.helpTitle
            }
            PlainLabel {
                objectName: "helpText"
                Layout.fillWidth: true
                text: window.presenter.helpText
                font.pixelSize: 13
                wrapMode: Text.WordWrap
                color: Theme.text(window.dark)
            }
        }
        Connections {
            target: window.presenter
            function onHelpChanged() {
                if (window.presenter.helpTopic !== "" && !helpPopover.visible)
                    helpPopover.open()
                else if (window.presenter.helpTopic === "" && helpPopover.visible)
                    helpPopover.close()
            }
        }
    }

    GroupEditorSheet {
        editor: window.presenter.groupEditor
    }
    AccessGuideSheet {
        guide: window.presenter.accessGuide
        brandIconSource: window.presenter.brandIconSource
    }
}
