#pragma once

#include "suite_ui/clipboard.h"

namespace velmor {

// The window system's clipboard (needs the GUI application object).
class SystemClipboard final : public Clipboard {
public:
    void setPlainText(const QString& text) override;
};

} // namespace velmor
