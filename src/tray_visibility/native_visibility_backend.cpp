#include "tray_visibility/native_visibility_backend.h"

namespace velmor {

// The service is private to macOS 27 and later and reached only through the Mac backends; a
// build without them has no way to hold such a request, which callers already handle as
// "unavailable".

bool NativeVisibilityBackend::isAvailable() const
{
    return false;
}

std::shared_ptr<TrayVisibilityToken> NativeVisibilityBackend::activate(const QSet<QString>&,
                                                                       TrayVisibilityCompletion)
{
    return nullptr;
}

void NativeVisibilityBackend::invalidate(TrayVisibilityToken&) {}

} // namespace velmor
