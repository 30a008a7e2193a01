#include "mac/mac_accessibility_element.h"

namespace velmor::platform::mac {

AccessibilityElement MacAccessibilityElement::adopt(AXUIElementRef element)
{
    if (element == nullptr)
        return {};
    return AccessibilityElement(std::make_shared<MacAccessibilityElement>(element));
}

AccessibilityElement MacAccessibilityElement::retain(AXUIElementRef element)
{
    if (element == nullptr)
        return {};
    CFRetain(element);
    return adopt(element);
}

AXUIElementRef MacAccessibilityElement::element(const AccessibilityElement& handle)
{
    const auto* reference = dynamic_cast<const MacAccessibilityElement*>(handle.reference());
    return reference ? reference->m_element : nullptr;
}

MacAccessibilityElement::~MacAccessibilityElement()
{
    CFRelease(m_element);
}

bool MacAccessibilityElement::equals(const Reference& other) const
{
    const auto* mac = dynamic_cast<const MacAccessibilityElement*>(&other);
    return mac && CFEqual(m_element, mac->m_element);
}

std::size_t MacAccessibilityElement::hash() const
{
    return CFHash(m_element);
}

} // namespace velmor::platform::mac
