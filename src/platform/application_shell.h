#pragma once

#include <QList>
#include <QString>

namespace velmor::platform {

enum class ActivationPolicy { Regular, Accessory, Prohibited };

struct WindowInfo {
    QString title;
    bool visible = false;
    bool miniaturized = false;
    // "settings", "about", "panel" … as the app names its windows.
    QString kind;
};

// This application as the window server sees it.
class ApplicationShell {
public:
    virtual ~ApplicationShell() = default;

    virtual ActivationPolicy activationPolicy() const = 0;
    virtual void setActivationPolicy(ActivationPolicy policy) = 0;
    virtual bool isHidden() const = 0;
    virtual void activate(bool ignoringOtherApps) = 0;
    virtual void terminate() = 0;
    virtual QList<WindowInfo> windows() const = 0;
};

} // namespace velmor::platform
