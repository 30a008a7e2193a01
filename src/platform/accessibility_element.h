#pragma once

#include <QtGlobal>

#include <cstddef>
#include <memory>

namespace velmor::platform {

// A retained reference to one element of another process's Accessibility tree. Copies retain the
// same element; equality is the system's element equality, not pointer identity.
class AccessibilityElement final {
public:
    // What a backend keeps behind the handle (a retained AXUIElementRef on the Mac).
    class Reference {
    public:
        virtual ~Reference() = default;
        virtual bool equals(const Reference& other) const = 0;
        virtual std::size_t hash() const = 0;
    };

    AccessibilityElement() = default;
    explicit AccessibilityElement(std::shared_ptr<const Reference> reference)
        : m_reference(std::move(reference))
    {}

    bool isNull() const { return !m_reference; }
    const Reference* reference() const { return m_reference.get(); }

    friend bool operator==(const AccessibilityElement& a, const AccessibilityElement& b)
    {
        if (!a.m_reference || !b.m_reference)
            return a.m_reference == b.m_reference;
        return a.m_reference->equals(*b.m_reference);
    }

    std::size_t hash() const { return m_reference ? m_reference->hash() : 0; }

private:
    std::shared_ptr<const Reference> m_reference;
};

inline std::size_t qHash(const AccessibilityElement& element, std::size_t seed = 0)
{
    return element.hash() ^ seed;
}

} // namespace velmor::platform

template <> struct std::hash<velmor::platform::AccessibilityElement> {
    std::size_t operator()(const velmor::platform::AccessibilityElement& element) const
    {
        return element.hash();
    }
};
