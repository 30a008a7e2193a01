#pragma once

#include "platform/accessibility.h"
#include "platform/scheduler.h"

#include <QHash>
#include <QList>
#include <QRectF>

#include <functional>
#include <map>

namespace velmor::simulated_mac {

class SimulatedAccessibilityElement;
class SimulatedMenuBar;
class SimulatedWorkspace;
struct MenuBarEntry;
struct SimulatedApplication;

// The Accessibility interface of the simulated Mac. Every call on an app's elements is a message
// to that app: it costs the app's latency on the scheduler's clock, and an unresponsive app's
// calls cost the element's messaging time-out and fail. Without trust every element call fails.
class SimulatedAccessibility final : public platform::Accessibility {
public:
    static constexpr double defaultMessagingTimeout = 6;

    // The menus an app shows in the menu bar while it is in front: how many, and the stretch of
    // the bar they fill (Accessibility coordinates), each an equal share of it.
    struct ApplicationMenus {
        int count = 0;
        QRectF span;
    };

    struct PerformedAction {
        // The preferred-position key of the item.
        QString key;
        QString action;
    };

    // `spendTime` moves the virtual clock (nothing with real time); `beforeQuery` lets the world
    // notice edits before it answers.
    SimulatedAccessibility(SimulatedWorkspace& workspace, SimulatedMenuBar& menuBar, qint32 systemMenuBarPid,
                           std::function<void(platform::Duration)> spendTime, std::function<void()> beforeQuery);

    bool isProcessTrusted() const override
    {
        ++m_calls;
        return m_trusted;
    }
    // Without trust the desktop's prompt handler runs, as the system's prompt would appear.
    bool requestTrust() override;
    platform::AccessibilityElement applicationElement(qint32 processIdentifier) override;
    platform::AccessibilityElement systemWideElement() override;
    std::optional<platform::AccessibilityValue> attribute(const platform::AccessibilityElement& element,
                                                const QString& name) override;
    std::optional<int> attributeValueCount(const platform::AccessibilityElement& element, const QString& name) override;
    std::optional<std::vector<platform::AccessibilityValue>> attributeValues(const platform::AccessibilityElement& element,
                                                                   const QString& name, int index,
                                                                   int maximum) override;
    std::optional<QStringList> actionNames(const platform::AccessibilityElement& element) override;
    bool performAction(const platform::AccessibilityElement& element, const QString& action) override;
    void setMessagingTimeout(const platform::AccessibilityElement& element, double seconds) override;
    std::optional<platform::AccessibilityElement> elementAtPosition(const platform::AccessibilityElement& systemWide,
                                                          QPointF point) override;
    std::optional<qint32> processIdentifier(const platform::AccessibilityElement& element) override;
    MenuObserverId observeMenus(qint32 processIdentifier, MenuHandler handler) override;
    void removeMenuObserver(MenuObserverId observer) override;

    void setTrusted(bool trusted) { m_trusted = trusted; }
    // Told when an action is performed on another app's extra: the app opens its menu.
    void setPressHandler(std::function<void(quint64 entryId)> handler) { m_pressed = std::move(handler); }
    void setPromptHandler(std::function<void()> handler) { m_prompt = std::move(handler); }
    // The menus of an app's own menu bar; absent for an app whose menu bar is not shown.
    void setApplicationMenus(std::function<std::optional<ApplicationMenus>(qint32 pid)> menus)
    {
        m_applicationMenus = std::move(menus);
    }
    // The desktop: a menu of this process opened or closed; its observers hear of it now.
    void menuChanged(qint32 pid, bool open);
    // The app's process ended: its observers go with it.
    void removeAllMenuObservers() { m_menuObservers.clear(); }
    // How often the process asked for trust with the prompt.
    int promptCount() const { return m_prompts; }
    // Makes the element report another owning process, as when an item changes hands.
    void reassignOwner(const platform::AccessibilityElement& element, qint32 pid);
    // The actions performed on items, in order.
    const QList<PerformedAction>& performedActions() const { return m_performed; }
    // Calls made through the interface, and those of them that message another process (on a Mac
    // creating a handle, setting a time-out and reading the owner stay in this process).
    quint64 callCount() const { return m_calls; }
    quint64 messageCount() const { return m_messages; }
    // The element of a shown item, or a null handle.
    platform::AccessibilityElement itemElement(quint64 entryId) const;

private:
    // Resolves a handle to the world; null when it does not (or no longer) refer to anything.
    const SimulatedAccessibilityElement* resolve(const platform::AccessibilityElement& element) const;
    // Messages the owning app: spends its latency, or its time-out when it does not answer.
    bool message(const platform::AccessibilityElement& element, const SimulatedAccessibilityElement& reference);
    const SimulatedAccessibilityElement* begin(const platform::AccessibilityElement& element);

    QList<const MenuBarEntry*> shownEntries(qint32 pid) const;
    QList<const MenuBarEntry*> groupMembers(qint32 pid, const QString& group) const;
    std::vector<platform::AccessibilityElement> children(const SimulatedAccessibilityElement& reference) const;
    const MenuBarEntry* itemEntry(const SimulatedAccessibilityElement& reference) const;
    platform::AccessibilityElement parentOf(const MenuBarEntry& entry) const;
    std::optional<platform::AccessibilityValue> itemAttribute(const MenuBarEntry& entry, const QString& name) const;
    std::optional<QRectF> groupFrame(const SimulatedAccessibilityElement& reference) const;
    std::optional<platform::AccessibilityValue> applicationMenuAttribute(const SimulatedAccessibilityElement& reference,
                                                               const QString& name) const;
    void forgetStaleTimeouts();

    SimulatedWorkspace& m_workspace;
    SimulatedMenuBar& m_menuBar;
    qint32 m_systemMenuBarPid;
    std::function<void(platform::Duration)> m_spendTime;
    std::function<void()> m_beforeQuery;
    std::function<void(quint64)> m_pressed;
    std::function<void()> m_prompt;
    std::function<std::optional<ApplicationMenus>(qint32)> m_applicationMenus;
    struct MenuObserver {
        qint32 pid = 0;
        MenuHandler handler;
    };
    std::map<MenuObserverId, MenuObserver> m_menuObservers;
    MenuObserverId m_nextMenuObserver = 1;
    bool m_trusted = true;
    int m_prompts = 0;
    double m_globalTimeout = defaultMessagingTimeout;
    QHash<platform::AccessibilityElement, double> m_timeouts;
    QHash<platform::AccessibilityElement, qint32> m_owners;
    QList<PerformedAction> m_performed;
    mutable quint64 m_calls = 0;
    quint64 m_messages = 0;
};

} // namespace velmor::simulated_mac
