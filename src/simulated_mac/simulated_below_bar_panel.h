#pragma once

#include "platform/below_bar_panel.h"

#include <functional>
#include <optional>

namespace velmor::simulated_mac {

// The bar below the menu bar on the simulated Mac: what the app shows there, drawn on the
// simulated desktop, and what a person does with it (choose an entry, press Escape or click
// elsewhere). It closes by itself when the menu an entry opened closes.
class SimulatedBelowBarPanel final : public platform::BelowBarPanel {
public:
    static constexpr double entryPoints = 30;
    // A title beside an entry's icon: about a character's width each, cut with an ellipsis past
    // the widest.
    static constexpr double labelCharacterPoints = 9;
    static constexpr double widestLabel = 96;
    static constexpr double padding = 6;
    // Room between the menu bar and the panel, and between the panel and the screen's edges.
    static constexpr double gap = 4;

    void show(const QList<Entry>& entries, const QRectF& anchor) override;
    void close() override;
    bool isShown() const override { return m_shown; }
    // Below the bar of `menuBarScreen` (the main screen), its right edge under the anchor's, kept
    // inside the screen.
    std::optional<QRectF> frame() const override;
    void closeWhenMenuCloses(qint32 processIdentifier) override { m_menuOwner = processIdentifier; }
    void setHandlers(Handlers handlers) override { m_handlers = std::move(handlers); }

    const QList<Entry>& entries() const { return m_entries; }
    // How wide an entry is: its icon, and its title when it has one.
    static double entryWidth(const Entry& entry);
    // The status item's window frame the panel hangs under (screen coordinates).
    const QRectF& anchor() const { return m_anchor; }

    // A person chooses an entry (a click, Return, or an accessible press); false when the panel is
    // closed or has no such entry.
    bool activate(int index);
    // A click the window server queued before the panel closed or took new entries (or an
    // assistive technology's press on an entry it still holds): on the Mac it still reaches the
    // app's handler with the index it had, so the app, not the panel, must judge it.
    void deliverQueuedClick(int index);
    // Escape, or a click elsewhere.
    void dismiss() { close(); }
    // The desktop: a menu of this process closed.
    void menuClosed(qint32 processIdentifier);

    // The main screen and its menu bar's height, where the panel hangs (screen coordinates).
    void setScreen(const QRectF& screen, double menuBarHeight)
    {
        m_screen = screen;
        m_menuBarHeight = menuBarHeight;
    }

    // Told after the panel opened, closed or changed.
    void setChangeHandler(std::function<void()> handler) { m_changed = std::move(handler); }

private:
    void changed();

    bool m_shown = false;
    QList<Entry> m_entries;
    QRectF m_anchor;
    QRectF m_screen;
    double m_menuBarHeight = 0;
    std::optional<qint32> m_menuOwner;
    Handlers m_handlers;
    std::function<void()> m_changed;
};

} // namespace velmor::simulated_mac
