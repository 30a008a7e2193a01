#pragma once

#include "foundation/json.h"
#include "platform/screens.h"
#include "platform/task_handle.h"
#include "tray/tray_display_layout.h"
#include "tray/tray_display_setup.h"

#include <QList>
#include <QObject>
#include <QString>

#include <optional>

namespace velmor {
namespace platform {
struct Services;
}

class NativeTrayController;
class TrayModel;

// The layouts the person saved for display setups, and the switch between them: when the
// displays change (a display connected or removed, the lid closed, another display made main),
// it waits for them to settle, then applies the layout saved for the new setup through the same
// journalled path as any edit, and says so once. A setup without a layout keeps the arrangement in
// force. Per-app mode only: in marker mode the places of the icons are the sections, and the
// person arranges them by hand. Main thread only.
class TrayDisplayLayouts final : public QObject {
    Q_OBJECT

public:
    // UTF-8 JSON data in the app's defaults: {"version":1,"layouts":[…]}.
    static constexpr const char* layoutsKey = "tray.displayLayouts.v1";
    // Where a stored record that could not be read is kept when a save replaces it.
    static constexpr const char* unreadableKey = "tray.displayLayouts.v1.unreadable";
    // The setup the arrangement was last used with, as its key, so a start on other displays
    // switches like a change while running.
    static constexpr const char* lastSetupKey = "tray.displaySetup.v1";
    static constexpr int version = 1;
    // More than anyone connects in a year of desks and meeting rooms; a longer stored list is read
    // that far.
    static constexpr int maximumLayouts = 32;
    // Displays report in bursts as they wake, mirror and settle; several changes in a row make one
    // switch.
    static constexpr double settleDelay = 1.0;

    static constexpr const char* usingFormat = "Using the layout for %1";
    static constexpr const char* unreadableText =
        "A saved display layout could not be read; it is ignored.";
    static constexpr const char* newerVersionText =
        "These display layouts were saved by a newer Velmor Tray; they are left as they are.";
    static constexpr const char* tooManyText = "Delete a saved layout before you save another.";
    static constexpr const char* markerModeText = "Layouts for display setups need per-app mode.";

    TrayDisplayLayouts(const platform::Services& services, TrayModel& model, NativeTrayController& controller,
                       QObject* parent = nullptr);
    ~TrayDisplayLayouts() override;

    // Reads the setup and the stored layouts; when the displays differ from those the arrangement
    // was last used with, takes the new setup's layout into the model (the start then applies it
    // or not, as it would any grouping). Then follows the displays.
    void start();

    const QList<TrayDisplayLayout>& layouts() const { return m_layouts; }
    const TrayDisplaySetup& setup() const { return m_setup; }
    // The setup whose layout is in force (last applied or saved), in words; absent when none.
    std::optional<QString> inForce() const;
    // "Using the layout for …" after a switch, until the next save or switch; empty otherwise.
    const QString& notice() const { return m_notice; }
    // Why a stored layout is ignored or a save was refused; empty when nothing is wrong.
    const QString& problem() const { return m_problem; }
    // The layout saved for this setup, if any.
    const TrayDisplayLayout* find(const TrayDisplaySetup& setup) const;
    // The open named groups a start should apply: the layout in force's, else none.
    QSet<QUuid> openGroupsAtStart() const;

    // Saves the arrangement in force as the layout for the current setup, replacing an earlier
    // one. The sentence when it was refused.
    std::optional<QString> saveCurrent();
    // Deletes the layout saved for the setup with these words; false when there is none.
    bool remove(const QString& setupWords);

Q_SIGNALS:
    void changed();

private:
    void load();
    bool write();
    void displaysChanged();
    void settle();
    void apply(const TrayDisplayLayout& layout, bool running);
    void rememberSetup();
    const TrayDisplayLayout* inForceLayout() const;

    const platform::Services& m_services;
    TrayModel& m_model;
    NativeTrayController& m_controller;
    QList<TrayDisplayLayout> m_layouts;
    // Entries this version could not read, written back as they were.
    QList<Json> m_unreadable;
    // The stored record as a whole could not be read (kept aside before a save replaces it), or
    // was written by a newer version (never replaced).
    bool m_recordUnreadable = false;
    bool m_recordNewer = false;
    TrayDisplaySetup m_setup;
    QString m_inForce;
    QString m_notice;
    QString m_problem;
    std::optional<platform::Screens::ObserverId> m_observer;
    platform::TaskHandle m_settleTask;
};

} // namespace velmor
