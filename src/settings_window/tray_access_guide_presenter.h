#pragma once

#include <QObject>
#include <QString>
#include <QUrl>
#include <QtQml/qqmlregistration.h>

#include <functional>

namespace velmor {
namespace platform {
class Workspace;
}

// The permission guide sheet: Accessibility always, and Full Disk Access as well in per-app mode,
// as numbered steps with the controls that lead to each. The guide grants nothing itself: it opens
// the system's panes, offers the app bundle to drag into the Full Disk Access list, and calls the
// closures it was given.
class TrayAccessGuidePresenter final : public QObject {
    Q_OBJECT
    QML_ELEMENT
    QML_UNCREATABLE("Part of the organizer")
    Q_PROPERTY(bool open READ isOpen NOTIFY openChanged)
    Q_PROPERTY(bool requiresFullDiskAccess READ requiresFullDiskAccess NOTIFY changed)
    Q_PROPERTY(QString title READ title CONSTANT)
    Q_PROPERTY(QString doneTitle READ doneTitle CONSTANT)
    Q_PROPERTY(QString subtitle READ subtitle NOTIFY changed)
    Q_PROPERTY(QString accessibilityTitle READ accessibilityTitle CONSTANT)
    Q_PROPERTY(QString accessibilityCaption READ accessibilityCaption CONSTANT)
    Q_PROPERTY(QString openAccessibilityTitle READ openAccessibilityTitle CONSTANT)
    Q_PROPERTY(QString fullDiskAccessTitle READ fullDiskAccessTitle CONSTANT)
    Q_PROPERTY(QString fullDiskAccessCaption READ fullDiskAccessCaption CONSTANT)
    Q_PROPERTY(QString tileName READ tileName CONSTANT)
    Q_PROPERTY(QString tileLabel READ tileLabel CONSTANT)
    Q_PROPERTY(QString tileSymbol READ tileSymbol CONSTANT)
    Q_PROPERTY(QString tileAccessibleName READ tileAccessibleName CONSTANT)
    Q_PROPERTY(QString bundleUrl READ bundleUrlText CONSTANT)
    Q_PROPERTY(QString openFullDiskAccessTitle READ openFullDiskAccessTitle CONSTANT)
    Q_PROPERTY(QString showInFinderTitle READ showInFinderTitle CONSTANT)
    Q_PROPERTY(QString lastStepNumber READ lastStepNumber NOTIFY changed)
    Q_PROPERTY(QString lastStepTitle READ lastStepTitle NOTIFY changed)
    Q_PROPERTY(QString lastStepCaption READ lastStepCaption NOTIFY changed)
    Q_PROPERTY(QString refreshTitle READ refreshTitle CONSTANT)
    Q_PROPERTY(QString footnote READ footnote CONSTANT)

public:
    static constexpr const char* titleText = "Connect Velmor Tray";
    static constexpr const char* doneText = "Done";
    static constexpr const char* bothSubtitle =
        "Two system permissions let Tray list and organize menu bar apps.";
    static constexpr const char* accessibilitySubtitle = "Allow Accessibility to list your menu bar apps.";
    static constexpr const char* accessibilityStepTitle = "Allow Accessibility";
    static constexpr const char* accessibilityStepCaption =
        "Turn on Velmor Tray in Accessibility so your app icons can appear here.";
    static constexpr const char* openAccessibilityText = "Open Accessibility Settings…";
    static constexpr const char* fullDiskAccessStepTitle = "Add Tray to Full Disk Access";
    static constexpr const char* fullDiskAccessStepCaption =
        "If Tray is missing from the list, drag this app into it — or click + in Settings and choose Velmor "
        "Tray from Applications.";
    static constexpr const char* tileNameText = "Velmor Tray.app";
    static constexpr const char* tileLabelText = "Drag to Settings";
    static constexpr const char* tileSymbolName = "hand.draw";
    static constexpr const char* tileAccessibleText =
        "Velmor Tray application. Drag to the Full Disk Access list.";
    static constexpr const char* openFullDiskAccessText = "Open Full Disk Access…";
    static constexpr const char* showInFinderText = "Show Velmor Tray in Finder";
    static constexpr const char* switchStepTitle = "Turn on its switch";
    static constexpr const char* switchStepCaption =
        "Enable Velmor Tray in the list. If macOS asks, quit and reopen Tray. Then return here and refresh.";
    static constexpr const char* refreshStepTitle = "Refresh your apps";
    static constexpr const char* refreshStepCaption =
        "After enabling Accessibility, return here and refresh the app list.";
    static constexpr const char* refreshText = "Refresh permissions and apps";
    static constexpr const char* footnoteText =
        "Tray cannot grant itself access. Screen Recording is not needed for app grouping.";
    static constexpr const char* fullDiskAccessUrl =
        "x-apple.systempreferences:com.apple.preference.security?Privacy_AllFiles";

    struct Actions {
        std::function<void()> requestAccessibility;
        std::function<void()> refresh;
    };

    // `bundleUrl` is the main bundle's location (a path or a file URL).
    TrayAccessGuidePresenter(platform::Workspace* workspace, const QString& bundleUrl, Actions actions,
                             QObject* parent = nullptr);

    bool isOpen() const { return m_open; }
    void setOpen(bool open);
    bool requiresFullDiskAccess() const { return m_requiresFullDiskAccess; }
    void setRequiresFullDiskAccess(bool required);

    QString title() const { return QString::fromUtf8(titleText); }
    QString doneTitle() const { return QString::fromUtf8(doneText); }
    QString subtitle() const;
    QString accessibilityTitle() const { return QString::fromUtf8(accessibilityStepTitle); }
    QString accessibilityCaption() const { return QString::fromUtf8(accessibilityStepCaption); }
    QString openAccessibilityTitle() const { return QString::fromUtf8(openAccessibilityText); }
    QString fullDiskAccessTitle() const { return QString::fromUtf8(fullDiskAccessStepTitle); }
    QString fullDiskAccessCaption() const { return QString::fromUtf8(fullDiskAccessStepCaption); }
    QString tileName() const { return QString::fromUtf8(tileNameText); }
    QString tileLabel() const { return QString::fromUtf8(tileLabelText); }
    QString tileSymbol() const { return QString::fromUtf8(tileSymbolName); }
    QString tileAccessibleName() const { return QString::fromUtf8(tileAccessibleText); }
    // What the drag tile carries: the app bundle as a file URL.
    QUrl bundleUrl() const { return m_bundleUrl; }
    QString bundleUrlText() const { return m_bundleUrl.toString(); }
    QString openFullDiskAccessTitle() const { return QString::fromUtf8(openFullDiskAccessText); }
    QString showInFinderTitle() const { return QString::fromUtf8(showInFinderText); }
    QString lastStepNumber() const;
    QString lastStepTitle() const;
    QString lastStepCaption() const;
    QString refreshTitle() const { return QString::fromUtf8(refreshText); }
    QString footnote() const { return QString::fromUtf8(footnoteText); }

    Q_INVOKABLE void requestAccessibility();
    Q_INVOKABLE void openFullDiskAccess();
    Q_INVOKABLE void showInFinder();
    Q_INVOKABLE void refresh();
    // "Done", or Escape.
    Q_INVOKABLE void dismiss() { setOpen(false); }

Q_SIGNALS:
    void openChanged();
    void changed();

private:
    platform::Workspace* m_workspace;
    QUrl m_bundleUrl;
    Actions m_actions;
    bool m_open = false;
    bool m_requiresFullDiskAccess = false;
};

} // namespace velmor
