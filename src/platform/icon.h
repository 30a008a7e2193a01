#pragma once

#include <QImage>

namespace velmor::platform {

// An application's icon. Implicitly shared: copies retain the same pixels.
using Icon = QImage;

} // namespace velmor::platform
