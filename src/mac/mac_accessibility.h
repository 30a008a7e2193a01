#pragma once

#include "platform/accessibility.h"

namespace velmor::platform::mac {

// The Accessibility interface of the Mac (AXUIElement). Every failing call answers absent.
class MacAccessibility final : public Accessibility {
public:
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
};

} // namespace velmor::platform::mac
