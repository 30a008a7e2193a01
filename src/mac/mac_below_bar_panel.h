#pragma once

#include "platform/below_bar_panel.h"

#include <ApplicationServices/ApplicationServices.h>

@class VMBBelowBarPanel;

namespace velmor::platform::mac {

// The bar below the menu bar on the Mac: a borderless, non-activating NSPanel at the status window
// level, one button per entry with its app's icon (NSRunningApplication's, so no screen capture
// and no Screen Recording permission). It becomes key without activating the app, so the arrows,
// Return and Escape reach it while the app in front stays in front. A global and a local mouse
// monitor close it on a click elsewhere; an Accessibility observer on the app whose menu an entry
// opened closes it when that menu closes. AppKit: main thread only.
class MacBelowBarPanel final : public BelowBarPanel {
public:
    static constexpr double iconPoints = 22;
    static constexpr double entryPoints = 30;
    // An entry's title is cut with an ellipsis past this width beside its icon.
    static constexpr double widestLabel = 96;
    static constexpr double padding = 6;
    // Room between the menu bar and the panel, and between the panel and the display's edges.
    static constexpr double gap = 4;

    MacBelowBarPanel();
    ~MacBelowBarPanel() override;
    MacBelowBarPanel(const MacBelowBarPanel&) = delete;
    MacBelowBarPanel& operator=(const MacBelowBarPanel&) = delete;

    void show(const QList<Entry>& entries, const QRectF& anchor) override;
    void close() override;
    bool isShown() const override;
    std::optional<QRectF> frame() const override;
    void closeWhenMenuCloses(qint32 processIdentifier) override;
    void setHandlers(Handlers handlers) override { m_handlers = std::move(handlers); }

    // From the panel's own events.
    void select(int index);
    void moveSelection(int delta);
    void activateSelection();
    void activate(int index);
    // The observed app posted that its menu closed.
    void menuClosed();

private:
    void build(const QList<Entry>& entries);
    void watchClicks();
    void stopWatching();
    void stopObservingMenu();

    VMBBelowBarPanel* m_panel = nil;
    NSMutableArray* m_buttons = nil;
    NSMutableArray* m_targets = nil;
    id m_globalClicks = nil;
    id m_localClicks = nil;
    AXObserverRef m_menuObserver = nullptr;
    AXUIElementRef m_observedApplication = nullptr;
    int m_selected = -1;
    Handlers m_handlers;
};

} // namespace velmor::platform::mac
