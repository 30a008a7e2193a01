#pragma once

#include <functional>
#include <optional>

namespace velmor::test {

// The case of the E that `operation` throws; absent when it throws nothing (any other exception
// passes through, so a test sees it).
template <class E> std::optional<typename E::Case> errorCase(const std::function<void()>& operation)
{
    try {
        operation();
    } catch (const E& error) {
        return error.kind();
    }
    return std::nullopt;
}

} // namespace velmor::test
