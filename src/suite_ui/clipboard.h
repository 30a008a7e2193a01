#pragma once

#include <QString>

namespace velmor {

// The general pasteboard, as far as the suite writes to it.
class Clipboard {
public:
    virtual ~Clipboard() = default;

    // Replaces everything on the clipboard with `text` as plain text.
    virtual void setPlainText(const QString& text) = 0;
};

} // namespace velmor
