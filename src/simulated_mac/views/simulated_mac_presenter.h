#pragma once

#include "foundation/keyed_list_model.h"
#include "platform/task_handle.h"
#include "simulated_mac/updater/updater_alert.h"
#include "simulated_mac/views/below_bar_presenter.h"
#include "simulated_mac/views/dock_presenter.h"
#include "simulated_mac/views/menu_bar_presenter.h"
#include "simulated_mac/views/side_panel_presenter.h"
#include "simulated_mac/views/system_settings_presenter.h"

#include <QObject>
#include <QPointer>
#include <QRectF>
#include <QtQml/qqmlregistration.h>

namespace velmor::simulated_mac {

class SimulatedDesktop;

// A display, from the top-left corner of all displays, in points.
struct ScreenRow {
    Q_GADGET

public:
    enum Role : int {
        ScreenXRole = Qt::UserRole + 1,
        ScreenYRole,
        ScreenWidthRole,
        ScreenHeightRole,
        PrimaryRole,
        HousingXRole,
        HousingWidthRole,
        ScreenNameRole,
        HasBarRole,
        InUseRole,
        LikenessRole,
    };
    Q_ENUM(Role)

    // The display's index.
    QString key;
    double screenX = 0;
    double screenY = 0;
    double screenWidth = 0;
    double screenHeight = 0;
    bool primary = false;
    // The camera housing from the screen's left edge; width 0 without one.
    double housingX = 0;
    double housingWidth = 0;
    QString screenName;
    bool hasBar = false;
    bool inUse = false;
    // What a bar not in use shows (MenuBarPresenter::likeness); empty on the bar in use.
    QVariantList likeness;

    QVariant data(Role role) const;
};

// The simulated Mac's window: its title, the screens' geometry, the appearance, the standard
// About panel, and the presenters of its parts. It follows the desktop and gathers a burst of
// changes into one redraw on the event loop.
class SimulatedMacPresenter final : public QObject {
    Q_OBJECT
    QML_ELEMENT
    QML_UNCREATABLE("Made by the app for its simulated Mac")
    Q_PROPERTY(QString title READ title CONSTANT)
    Q_PROPERTY(bool dark READ dark NOTIFY darkChanged)
    Q_PROPERTY(QObject* screens READ screens CONSTANT)
    Q_PROPERTY(double desktopWidth READ desktopWidth NOTIFY boundsChanged)
    Q_PROPERTY(double desktopHeight READ desktopHeight NOTIFY boundsChanged)
    Q_PROPERTY(QString symbolFont READ symbolFont CONSTANT)
    Q_PROPERTY(QString appleGlyph READ appleGlyph CONSTANT)
    Q_PROPERTY(QString aboutTitle READ aboutTitle NOTIFY aboutChanged)
    Q_PROPERTY(QString aboutText READ aboutText NOTIFY aboutChanged)
    Q_PROPERTY(QString aboutIconSource READ aboutIconSource NOTIFY aboutChanged)
    Q_PROPERTY(velmor::simulated_mac::MenuBarPresenter* menuBar READ menuBar CONSTANT)
    Q_PROPERTY(velmor::simulated_mac::DockPresenter* dock READ dock CONSTANT)
    Q_PROPERTY(velmor::simulated_mac::SystemSettingsPresenter* systemSettings READ systemSettings CONSTANT)
    Q_PROPERTY(velmor::simulated_mac::SidePanelPresenter* sidePanel READ sidePanel CONSTANT)
    Q_PROPERTY(velmor::simulated_mac::BelowBarPresenter* belowBar READ belowBar CONSTANT)
    Q_PROPERTY(QObject* updaterAlert READ updaterAlertObject NOTIFY updaterAlertChanged)

public:
    static constexpr const char* titleFormat = "Simulated Mac — %1";
    static constexpr const char* versionFormat = "Version %1 (%2)";

    // `scenarioName` is the scenario file's name.
    SimulatedMacPresenter(SimulatedDesktop& desktop, const QString& scenarioName, QObject* parent = nullptr);
    ~SimulatedMacPresenter() override;

    QString title() const { return m_title; }
    bool dark() const { return m_dark; }
    KeyedListModelOf<ScreenRow>* screens() { return &m_screens; }
    double desktopWidth() const { return m_bounds.width(); }
    double desktopHeight() const { return m_bounds.height(); }
    static QString symbolFont();
    static QString appleGlyph();
    // Empty while no About panel is open.
    QString aboutTitle() const { return m_aboutTitle; }
    QString aboutText() const { return m_aboutText; }
    QString aboutIconSource() const { return m_aboutIconSource; }

    MenuBarPresenter* menuBar() { return &m_menuBar; }
    DockPresenter* dock() { return &m_dock; }
    SystemSettingsPresenter* systemSettings() { return &m_systemSettings; }
    SidePanelPresenter* sidePanel() { return &m_sidePanel; }
    BelowBarPresenter* belowBar() { return &m_belowBar; }
    // The running app's update framework dialog, drawn over the desktop while it asks something;
    // null while the app does not run.
    UpdaterAlert* updaterAlert() const { return m_updaterAlert; }
    QObject* updaterAlertObject() const { return m_updaterAlert; }
    void setUpdaterAlert(UpdaterAlert* alert);

    // The keyboard of the window that shows the Mac, while it has the focus: a key press goes to
    // the Mac's global shortcuts (Control is ⌃, Alt ⌥, the Super key ⌘). True when one took it.
    Q_INVOKABLE bool keyPressed(int key, int modifiers);
    // The pointer over the drawing of the desktop, in points from its top left corner.
    Q_INVOKABLE void pointerMoved(double x, double y);
    // A click on the bar of the display at `index`, `x` points from its left edge: that bar
    // becomes the one in use, and the click lands there.
    Q_INVOKABLE bool clickScreenBar(int index, double x);
    Q_INVOKABLE void closeAbout();
    // Redraws now instead of on the event loop (screenshots between steps, tests).
    Q_INVOKABLE void refresh();

Q_SIGNALS:
    void darkChanged();
    void boundsChanged();
    void aboutChanged();
    void updaterAlertChanged();

private:
    void scheduleRefresh();
    void scheduleClockTick();
    // The displays can change while the Mac runs.
    void layOutScreens();
    void refreshAbout();

    SimulatedDesktop& m_desktop;
    QString m_title;
    KeyedListModelOf<ScreenRow> m_screens;
    QRectF m_bounds;
    bool m_dark = false;
    QString m_aboutTitle;
    QString m_aboutText;
    QString m_aboutIconSource;
    MenuBarPresenter m_menuBar;
    DockPresenter m_dock;
    SystemSettingsPresenter m_systemSettings;
    SidePanelPresenter m_sidePanel;
    BelowBarPresenter m_belowBar;
    QPointer<UpdaterAlert> m_updaterAlert;
    quint64 m_observer = 0;
    bool m_refreshPending = false;
    // The clock in the menu bar changes once a minute: the one wake-up an idle desktop has.
    platform::TaskHandle m_clockTick;
};

} // namespace velmor::simulated_mac
