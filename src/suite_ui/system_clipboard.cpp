#include "suite_ui/system_clipboard.h"

#include <QClipboard>
#include <QGuiApplication>

namespace velmor {

void SystemClipboard::setPlainText(const QString& text)
{
    // A run without a window system (the headless runner) has no clipboard to write to.
    if (!qobject_cast<QGuiApplication*>(QCoreApplication::instance()))
        return;
    if (QClipboard* clipboard = QGuiApplication::clipboard())
        clipboard->setText(text);
}

} // namespace velmor
