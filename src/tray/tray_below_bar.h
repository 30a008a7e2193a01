#pragma once

#include "tray/tray_item.h"

#include <QList>
#include <QObject>
#include <QPointer>
#include <QRectF>
#include <QSet>
#include <QUuid>

#include <memory>
#include <optional>

namespace velmor {
namespace platform {
struct Services;
}

class NativeTrayController;
class TrayModel;

// The bar below the menu bar: when a reveal's icons land where no one can see them (behind a
// camera housing, or off the bar's end), the platform's panel below the menu bar shows the
// revealed items as their apps' icons, under the chevron or the group's button that revealed
// them; a chosen entry opens its item's own menu with an Accessibility press, as a click on the
// item would. The user's preference opens it with every reveal, or never; the organizer opens it
// for the icons that are lost. It follows the controller through the delegate and never changes
// how the controller reveals: the icons are revealed in the menu bar all the same. Main thread
// only.
class TrayBelowBar final : public QObject {
    Q_OBJECT

public:
    // What the panel shows.
    enum class Source { Section, Group, Lost };

    TrayBelowBar(const platform::Services& services, TrayModel& model, NativeTrayController& controller,
                 QObject* parent = nullptr);
    ~TrayBelowBar() override;

    // The controller's state changed (the delegate tells after copying it into the model): a
    // reveal that settled is looked at once the work it started has run; a collapse closes the
    // panel it opened.
    void controllerChanged();
    // The organizer's action: the icons no one can see, under the chevron.
    void showLost();
    void close();
    // Opens an item's menu the way an entry does, whether or not the panel shows it (a search
    // result): a press of its element, its app allowed first when the tray hides it. False when
    // the item cannot be reached.
    bool openItem(const TrayItem& item);
    // The app shuts down: the panel goes without telling anyone.
    void shutdown();

    bool isShown() const;
    // The items the panel shows, in its order.
    const QList<TrayItem>& entries() const { return m_entries; }
    std::optional<Source> source() const { return m_source; }

private:
    struct Reveal {
        Source source = Source::Section;
        QUuid group;
    };

    void evaluate(const Reveal& reveal);
    bool stillRevealed(const Reveal& reveal) const;
    // The items a reveal shows, as the bar shows them, left to right.
    QList<TrayItem> revealedItems(const Reveal& reveal) const;
    std::optional<QRectF> anchor(const Reveal& reveal) const;
    void open(Source source, const QUuid& group, QList<TrayItem> items, const QRectF& anchor);
    void activated(int index);
    bool press(const TrayItem& item);
    // Per-app mode: the app is hidden, so its item does not exist until the system allows it;
    // reveals what holds it, and presses the item once that reveal settled.
    bool allowThenPress(const TrayItem& item);
    void panelClosed();

    const platform::Services& m_services;
    QPointer<TrayModel> m_model;
    NativeTrayController& m_controller;
    // The controller's last settled state, to tell a reveal from a collapse.
    bool m_settledConfigured = false;
    bool m_settledExpanded = true;
    QSet<QUuid> m_settledGroups;
    QSet<QString> m_settledHidden;
    bool m_haveSettled = false;
    std::optional<Source> m_source;
    QUuid m_group;
    QList<TrayItem> m_entries;
    // The item to press once the reveal that allows its app has settled.
    std::optional<TrayItem> m_pendingPress;
    std::shared_ptr<char> m_alive = std::make_shared<char>();
};

} // namespace velmor
