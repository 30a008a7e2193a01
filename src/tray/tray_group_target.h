#pragma once

#include <functional>

namespace velmor {

// The click target of one group button. The controller keeps it alive because a button holds
// its target only weakly.
class TrayGroupTarget final {
public:
    explicit TrayGroupTarget(std::function<void()> action) : m_action(std::move(action)) {}

    void clicked() const
    {
        if (m_action)
            m_action();
    }

private:
    std::function<void()> m_action;
};

} // namespace velmor
