#pragma once

#include "platform/accessibility.h"

#include <ApplicationServices/ApplicationServices.h>

#include <map>

namespace velmor::platform::mac {

// The Accessibility interface of the Mac (AXUIElement). Every failing call answers absent.
// Menu observers are AXObservers on the main run loop. Main thread only.
class MacAccessibility final : public Accessibility {
public:
    // How long registering or removing a menu observer may wait for its app: a hung app must not
    // hold the main thread for the system's default of several seconds.
    static constexpr float menuObserverTimeoutSeconds = 0.25f;

    MacAccessibility() = default;
    ~MacAccessibility() override;
    MacAccessibility(const MacAccessibility&) = delete;
    MacAccessibility& operator=(const MacAccessibility&) = delete;

    bool isProcessTrusted() const override;
    bool requestTrust() override;

    AccessibilityElement applicationElement(qint32 processIdentifier) override;
    AccessibilityElement systemWideElement() override;

    std::optional<AccessibilityValue> attribute(const AccessibilityElement& element,
                                                const QString& name) override;
    std::optional<int> attributeValueCount(const AccessibilityElement& element, const QString& name) override;
    std::optional<std::vector<AccessibilityValue>> attributeValues(const AccessibilityElement& element,
                                                                   const QString& name, int index,
                                                                   int maximum) override;
    std::optional<QStringList> actionNames(const AccessibilityElement& element) override;
    bool performAction(const AccessibilityElement& element, const QString& action) override;

    void setMessagingTimeout(const AccessibilityElement& element, double seconds) override;
    std::optional<AccessibilityElement> elementAtPosition(const AccessibilityElement& systemWide,
                                                          QPointF point) override;
    std::optional<qint32> processIdentifier(const AccessibilityElement& element) override;
    MenuObserverId observeMenus(qint32 processIdentifier, MenuHandler handler) override;
    void removeMenuObserver(MenuObserverId observer) override;

    // From an observer's callback: its app posted that a menu opened or closed.
    void menuNotified(AXObserverRef observer, CFStringRef notification);

private:
    struct MenuObserver {
        AXObserverRef observer = nullptr;
        AXUIElementRef application = nullptr;
        MenuHandler handler;
    };

    // Stops the notifications; the observer itself is released at once or, from inside its own
    // callback, once the callback has returned.
    static void stop(const MenuObserver& observer, bool releaseLater);

    std::map<MenuObserverId, MenuObserver> m_menuObservers;
    MenuObserverId m_nextMenuObserver = 1;
};

} // namespace velmor::platform::mac
