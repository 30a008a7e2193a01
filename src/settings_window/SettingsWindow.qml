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
    Appearance.palette: SuitePalette

    component Headline: PlainLabel {
        font.pixelSize: 15
        font.weight: Font.DemiBold
        color: Appearance.text
    }
    component Note: PlainLabel {
        font.pixelSize: 12
        color: Appearance.secondaryText
        wrapMode: Text.WordWrap
    }
    component Divider: Rectangle {
        Layout.fillWidth: true
        implicitHeight: 1
        color: Appearance.separator
    }
    component IconButton: SuiteToolButton {
        id: iconButton
        property string symbol
        contentItem: SymbolIcon {
            symbol: iconButton.symbol
            size: 17
            color: Appearance.secondaryText
        }
    }

    title: presenter.title
    color: Appearance.canvas
    // Back from System Settings: the login item may have changed there.
    onActiveChanged: {
        if (active)
            presenter.preferences.refreshLaunchAtLogin()
    }
    palette.window: Appearance.canvas
    palette.windowText: Appearance.text
    palette.text: Appearance.text
    palette.base: Appearance.controlBackground
    palette.button: Appearance.controlBackground
    palette.buttonText: Appearance.text
    palette.highlight: Appearance.controlAccent
    palette.highlightedText: "white"
    palette.mid: Appearance.separator
    palette.placeholderText: Appearance.secondaryText
    palette.toolTipBase: Appearance.controlBackground
    palette.toolTipText: Appearance.text

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
                source: window.presenter.status.brandIconSource
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
                    color: Appearance.text
                }
                PlainLabel {
                    text: window.presenter.status.tagline
                    color: Appearance.secondaryText
                }
            }
            Item { Layout.fillWidth: true }
            IconButton {
                objectName: "helpButton"
                symbol: window.presenter.symbols.help
                Accessible.name: window.presenter.status.helpLabel
                onClicked: window.presenter.helpTopic = "grouping"
            }
            SymbolButton {
                objectName: "permissionsButton"
                text: window.presenter.status.permissionsTitle
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
                    visible: window.presenter.status.showsSetupCard
                    Layout.fillWidth: true
                    implicitHeight: setup.implicitHeight + 28
                    radius: 12
                    color: Qt.alpha(Appearance.accent, 0.10)
                    border.color: Qt.alpha(Appearance.accent, 0.35)
                    RowLayout {
                        id: setup
                        anchors.fill: parent
                        anchors.margins: 14
                        spacing: 12
                        SymbolIcon {
                            symbol: window.presenter.symbols.setup
                            size: 27
                            color: Appearance.accent
                        }
                        ColumnLayout {
                            Layout.fillWidth: true
                            spacing: 3
                            PlainLabel {
                                text: window.presenter.status.setupHeadline
                                font.pixelSize: 14
                                font.weight: Font.DemiBold
                                color: Appearance.text
                            }
                            Note {
                                Layout.fillWidth: true
                                text: window.presenter.status.setupText
                            }
                        }
                        ProminentButton {
                            objectName: "setupButton"
                            text: window.presenter.status.setupButtonTitle
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
                        color: window.presenter.status.groupingActive ? "#34a853" : Appearance.secondaryText
                    }
                    PlainLabel {
                        objectName: "statusText"
                        text: window.presenter.status.statusText
                        font.pixelSize: 12
                        color: Appearance.secondaryText
                    }
                    Item { Layout.fillWidth: true }
                    SymbolButton {
                        id: orderButton
                        objectName: "orderButton"
                        text: window.presenter.status.orderTitle
                        symbol: window.presenter.symbols.order
                        enabled: window.presenter.status.orderEnabled
                        onClicked: orderMenu.popup(orderButton, 0, orderButton.height)
                        Menu {
                            id: orderMenu
                            objectName: "orderMenu"
                            SuiteMenuItem {
                                objectName: "organizeAutomatically"
                                text: window.presenter.status.organizeTitle
                                onTriggered: window.presenter.status.organizeAutomatically()
                            }
                            SuiteMenuItem {
                                objectName: "restorePreviousOrder"
                                text: window.presenter.status.restoreTitle
                                onTriggered: window.presenter.status.restorePreviousOrder()
                            }
                            MenuSeparator {}
                            SuiteMenuItem {
                                objectName: "aboutOrder"
                                text: window.presenter.status.aboutOrderTitle
                                onTriggered: window.presenter.helpTopic = "ordering"
                            }
                        }
                    }
                    SuiteButton {
                        objectName: "revealAllButton"
                        text: window.presenter.status.revealTitle
                        enabled: window.presenter.status.revealEnabled
                        onClicked: window.presenter.status.revealAll()
                    }
                    ProminentButton {
                        objectName: "primaryButton"
                        text: window.presenter.status.primaryTitle
                        enabled: window.presenter.status.primaryEnabled
                        onClicked: window.presenter.status.primaryAction()
                    }
                }

                // 5. Notices.
                RowLayout {
                    objectName: "warningRow"
                    visible: window.presenter.notices.warningText !== ""
                    Layout.fillWidth: true
                    spacing: 8
                    SymbolIcon {
                        symbol: window.presenter.symbols.warning
                        size: 15
                        color: Appearance.warning
                    }
                    PlainLabel {
                        objectName: "warningText"
                        Layout.fillWidth: true
                        text: window.presenter.notices.warningText
                        font.pixelSize: 12
                        wrapMode: Text.WordWrap
                        color: Appearance.warning
                    }
                    SuiteButton {
                        objectName: "accessSetupButton"
                        visible: window.presenter.notices.showsAccessSetup
                        text: window.presenter.notices.accessSetupTitle
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
                        color: Appearance.accent
                    }
                    PlainLabel {
                        objectName: "layoutNotice"
                        Layout.fillWidth: true
                        // Display names come from the system: plain text.
                        text: window.presenter.layout.notice
                        font.pixelSize: 12
                        wrapMode: Text.WordWrap
                        color: Appearance.text
                    }
                }
                PlainLabel {
                    objectName: "messageText"
                    visible: window.presenter.notices.message !== ""
                    Layout.fillWidth: true
                    text: window.presenter.notices.message
                    wrapMode: Text.WordWrap
                    color: Appearance.text
                }

                // 6. "Menu bar apps".
                RowLayout {
                    Layout.fillWidth: true
                    spacing: 6
                    // The hint reads on the headline's line, however many lines it takes.
                    Headline {
                        objectName: "appsTitle"
                        text: window.presenter.areas.appsTitle
                        Layout.alignment: Qt.AlignBaseline
                    }
                    IconButton {
                        objectName: "appsInfoButton"
                        symbol: window.presenter.symbols.appsInfo
                        Accessible.name: window.presenter.areas.appsInfoLabel
                        onClicked: window.presenter.helpTopic = "icons"
                    }
                    Note {
                        objectName: "appsHint"
                        Layout.fillWidth: true
                        Layout.alignment: Qt.AlignBaseline
                        text: window.presenter.areas.appsHint
                    }
                    SymbolButton {
                        objectName: "refreshButton"
                        text: window.presenter.areas.refreshTitle
                        symbol: window.presenter.symbols.refresh
                        onClicked: window.presenter.areas.refresh()
                    }
                }

                // 7. The organizer in per-app mode.
                RowLayout {
                    objectName: "sectionAreas"
                    visible: window.presenter.areas.perApp
                    Layout.fillWidth: true
                    spacing: 10
                    Repeater {
                        model: window.presenter.areas.sectionAreas
                        delegate: AreaView {
                            presenter: window.presenter
                            Layout.fillWidth: true
                            Layout.preferredWidth: 100
                            Layout.alignment: Qt.AlignTop
                        }
                    }
                }
                RowLayout {
                    visible: window.presenter.areas.perApp
                    Layout.fillWidth: true
                    Layout.topMargin: 4
                    spacing: 8
                    Headline { text: window.presenter.groups.customGroupsTitle }
                    SymbolButton {
                        objectName: "addGroupButton"
                        text: window.presenter.groups.addGroupTitle
                        symbol: window.presenter.symbols.addGroup
                        onClicked: window.presenter.groups.openNewGroup()
                    }
                    Note {
                        Layout.fillWidth: true
                        text: window.presenter.groups.groupsNote
                    }
                }
                GridLayout {
                    objectName: "groupAreas"
                    visible: window.presenter.areas.perApp && window.presenter.groups.hasGroups
                    Layout.fillWidth: true
                    columns: 2
                    columnSpacing: 10
                    rowSpacing: 10
                    Repeater {
                        model: window.presenter.areas.groupAreas
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
                    visible: window.presenter.areas.perApp && !window.presenter.groups.hasGroups
                    text: window.presenter.groups.createFirstGroupTitle
                    symbol: window.presenter.symbols.createFirstGroup
                    onClicked: window.presenter.groups.openNewGroup()
                }
                DisplayLayouts {
                    Layout.fillWidth: true
                    Layout.topMargin: 4
                    settings: window.presenter.layout
                }

                // 8. Marker mode.
                RowLayout {
                    objectName: "markerAreas"
                    visible: !window.presenter.areas.perApp
                    Layout.fillWidth: true
                    spacing: 10
                    Repeater {
                        model: window.presenter.areas.markerAreas
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
                            color: Appearance.controlBackground
                            border.color: Appearance.separator
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
                                        color: Appearance.accent
                                    }
                                    PlainLabel {
                                        text: markerArea.title
                                        font.pixelSize: 13
                                        font.weight: Font.DemiBold
                                        color: Appearance.text
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
                                    text: window.presenter.areas.noItemsText
                                }
                            }
                        }
                    }
                }

                // 9. Preferences.
                ColumnLayout {
                    id: preferencesSection
                    Layout.fillWidth: true
                    spacing: 8
                    SuiteToolButton {
                        id: disclosure
                        objectName: "preferencesDisclosure"
                        text: window.presenter.preferences.preferencesTitle
                        checkable: true
                        checked: window.presenter.preferences.shown
                        Accessible.role: Accessible.Button
                        Accessible.name: window.presenter.preferences.preferencesTitle
                        onToggled: window.presenter.preferences.shown = checked
                        // A disclosure, not a toggle button: no pressed look, a ring for the keyboard.
                        background: Rectangle {
                            radius: 4
                            color: "transparent"
                            border.width: disclosure.visualFocus ? 2 : 0
                            border.color: Appearance.controlAccent
                        }
                        contentItem: RowLayout {
                            spacing: 4
                            // One chevron that turns down while the group is open.
                            SymbolIcon {
                                objectName: "preferencesChevron"
                                symbol: window.presenter.symbols.disclosure
                                rotation: window.presenter.preferences.shown ? 90 : 0
                                size: 14
                                color: Appearance.secondaryText
                            }
                            Headline { text: disclosure.text }
                        }
                    }
                    // Built by buildWanted() below the first time they are shown.
                    Component {
                        id: preferencesBody
                        ColumnLayout {
                            objectName: "preferences"
                            visible: window.presenter.preferences.shown
                            Layout.fillWidth: true
                            Layout.leftMargin: 20
                            spacing: 8
                            SuiteSwitch {
                                id: launchAtLogin
                                objectName: "launchAtLoginSwitch"
                                text: window.presenter.preferences.launchAtLoginTitle
                                checked: window.presenter.preferences.launchAtLogin
                                enabled: window.presenter.preferences.launchAtLoginAvailable
                                focusPolicy: Qt.StrongFocus
                                onToggled: {
                                    window.presenter.preferences.setLaunchAtLogin(checked)
                                    // What the login item really says wins over the click.
                                    checked = Qt.binding(() => window.presenter.preferences.launchAtLogin)
                                }
                            }
                            // Why this copy of the app cannot launch at login.
                            Note {
                                objectName: "launchAtLoginNote"
                                visible: text !== ""
                                Layout.fillWidth: true
                                text: window.presenter.preferences.launchAtLoginNote
                            }
                            LayoutPreferences {
                                Layout.fillWidth: true
                                settings: window.presenter.layout
                            }
                            AppearancePicker {
                                Layout.fillWidth: true
                                selection: window.presenter.preferences.appearance
                                labelColor: Appearance.text
                                onChosen: value => window.presenter.preferences.appearance = value
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
                        color: Appearance.secondaryText
                    }
                    PlainLabel {
                        objectName: "footerText"
                        text: window.presenter.status.footerText
                        color: Appearance.secondaryText
                    }
                    Item { Layout.fillWidth: true }
                    SuiteButton {
                        objectName: "quitButton"
                        text: window.presenter.status.quitTitle
                        onClicked: window.presenter.status.quit()
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
            color: Appearance.controlBackground
            border.color: Appearance.separator
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
                color: Appearance.text
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

    Component {
        id: groupEditorSheet
        GroupEditorSheet {
            editor: window.presenter.groups.editor
        }
    }
    Component {
        id: accessGuideSheet
        AccessGuideSheet {
            guide: window.presenter.accessGuide
            brandIconSource: window.presenter.status.brandIconSource
        }
    }

    // The preferences and the sheets are built the first time they are wanted, then kept: most
    // starts show none of them, and building them took half of the window's start. (Not with a
    // Loader: Qt 6.4's Loader refuses a component bound to this file.)
    property Item builtPreferences: null
    property Popup builtGroupEditor: null
    property Popup builtAccessGuide: null
    function buildWanted() {
        if (presenter.preferences.shown && !builtPreferences)
            builtPreferences = preferencesBody.createObject(preferencesSection)
        if (presenter.groups.editor.open && !builtGroupEditor)
            builtGroupEditor = groupEditorSheet.createObject(window)
        if (presenter.accessGuide.open && !builtAccessGuide)
            builtAccessGuide = accessGuideSheet.createObject(window)
    }
    Component.onCompleted: buildWanted()
    Connections {
        target: window.presenter.preferences
        function onShownChanged() { window.buildWanted() }
    }
    Connections {
        target: window.presenter.groups.editor
        function onOpenChanged() { window.buildWanted() }
    }
    Connections {
        target: window.presenter.accessGuide
        function onOpenChanged() { window.buildWanted() }
    }
}
