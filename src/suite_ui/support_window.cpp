#include "suite_ui/support_window.h"

#include "platform/main_bundle.h"

#include <algorithm>

namespace velmor {
namespace {

constexpr auto displayNameInfoKey = "CFBundleDisplayName";
constexpr auto nameInfoKey = "CFBundleName";

} // namespace

double SupportWindow::heightFor(const std::optional<QRectF>& mainVisibleFrame)
{
    const double wanted = mainVisibleFrame
                              ? std::max(mainVisibleFrame->height() - screenMargin, minimumHeight)
                              : heightWithoutScreen;
    return std::min(wanted, maximumHeight);
}

QString SupportWindow::appNameOf(const platform::MainBundle& bundle)
{
    if (auto name = bundle.infoString(QString::fromLatin1(displayNameInfoKey)))
        return *name;
    if (auto name = bundle.infoString(QString::fromLatin1(nameInfoKey)))
        return *name;
    return QString::fromLatin1(fallbackAppName);
}

} // namespace velmor
