#pragma once

#include "platform/menu.h"

#include <QRectF>
#include <QString>

#include <functional>
#include <memory>
#include <optional>

namespace velmor::platform {

enum class ImagePosition { NoImage, ImageOnly, ImageLeft, ImageRight };

// Which mouse-up events send a button's action.
enum class ButtonTrigger { LeftMouseUp = 1, RightMouseUp = 2, LeftAndRightMouseUp = 3 };

// The button of a status item.
class StatusButton {
public:
    virtual ~StatusButton() = default;

    virtual void setTitle(const QString& title) = 0;
    virtual QString title() const = 0;
    // A system symbol by name, with its accessibility description; drawn as a template image.
    // An unknown symbol name shows no image.
    virtual void setSymbolImage(const QString& symbolName, const QString& accessibilityDescription) = 0;
    virtual QString symbolName() const = 0;
    virtual void setImagePosition(ImagePosition position) = 0;
    virtual void setToolTip(const QString& toolTip) = 0;
    virtual QString toolTip() const = 0;
    virtual void setEnabled(bool enabled) = 0;
    virtual bool isEnabled() const = 0;
    virtual void setAppearsDisabled(bool disabled) = 0;
    virtual void setAccessibilityLabel(const QString& label) = 0;
    virtual QString accessibilityLabel() const = 0;
    virtual void setAction(std::function<void()> action, ButtonTrigger trigger) = 0;
    // Clicks the button: opens the attached menu, else sends the action.
    virtual void performClick() = 0;
};

// One status item in the system menu bar.
class StatusItem {
public:
    virtual ~StatusItem() = default;

    virtual void setLength(double points) = 0;
    virtual double length() const = 0;
    // The name under which the system remembers the item's place; empty for none.
    virtual void setAutosaveName(const QString& name) = 0;
    virtual QString autosaveName() const = 0;
    virtual void setVisible(bool visible) = 0;
    virtual bool isVisible() const = 0;
    virtual StatusButton* button() = 0;
    // The frame of the button's window in screen coordinates (origin bottom left); absent while
    // the item is not laid out on a screen.
    virtual std::optional<QRectF> buttonWindowFrame() const = 0;
    virtual void setMenu(std::optional<Menu> menu) = 0;
};

class StatusBar {
public:
    // The key of the app's own user defaults under which the system remembers where a status
    // item with this autosave name goes (points from the right end of the bar; larger is further
    // left). Read when the item is made, or given its autosave name.
    static QString preferredPositionKey(const QString& autosaveName)
    {
        return QStringLiteral("NSStatusItem Preferred Position ") + autosaveName;
    }

    virtual ~StatusBar() = default;

    virtual std::shared_ptr<StatusItem> createItem(double length) = 0;
    virtual void removeItem(const std::shared_ptr<StatusItem>& item) = 0;
};

} // namespace velmor::platform
