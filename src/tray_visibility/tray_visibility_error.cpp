#include "tray_visibility/tray_visibility_error.h"

namespace velmor {

namespace {

constexpr QStringView kUnavailable = u"Menu bar visibility is unavailable on this macOS version.";
constexpr QStringView kTimedOut = u"macOS did not confirm the visibility change. Tray cancelled its request.";
constexpr QStringView kCancelled = u"The visibility change was cancelled.";

} // namespace

QString TrayVisibilityError::description(Case errorCase)
{
    switch (errorCase) {
    case Case::unavailable:
        return kUnavailable.toString();
    case Case::timedOut:
        return kTimedOut.toString();
    case Case::cancelled:
        return kCancelled.toString();
    }
    return {};
}

TrayVisibilityFailure TrayVisibilityFailure::systemError(QString description)
{
    TrayVisibilityFailure failure;
    failure.m_systemDescription = std::move(description);
    return failure;
}

QString TrayVisibilityFailure::description() const
{
    return m_case ? TrayVisibilityError::description(*m_case) : m_systemDescription;
}

} // namespace velmor
