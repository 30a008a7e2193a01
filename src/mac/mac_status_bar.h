#pragma once

#include "platform/status_bar.h"

#include <objc/objc.h>

#include <vector>

// Objective-C++ only, as every header of this folder.
@class NSMutableArray;
@class NSStatusItem;
@class NSStatusBarButton;
@class VMBActionTarget;

namespace velmor::platform::mac {

// The button of one status item (NSStatusBarButton).
class MacStatusButton final : public StatusButton {
public:
    explicit MacStatusButton(NSStatusBarButton* button);

    void setTitle(const QString& title) override;
    QString title() const override;
    void setSymbolImage(const QString& symbolName, const QString& accessibilityDescription) override;
    QString symbolName() const override { return m_symbolName; }
    void setImagePosition(ImagePosition position) override;
    void setToolTip(const QString& toolTip) override;
    QString toolTip() const override;
    void setEnabled(bool enabled) override;
    bool isEnabled() const override;
    void setAppearsDisabled(bool disabled) override;
    void setAccessibilityLabel(const QString& label) override;
    QString accessibilityLabel() const override;
    void setAction(std::function<void()> action, ButtonTrigger trigger) override;
    void performClick() override;

private:
    NSStatusBarButton* m_button;
    QString m_symbolName;
    VMBActionTarget* m_target = nil;
};

// One item in the system menu bar (NSStatusItem).
class MacStatusItem final : public StatusItem {
public:
    explicit MacStatusItem(NSStatusItem* item);
    ~MacStatusItem() override;

    void setLength(double points) override;
    double length() const override;
    void setAutosaveName(const QString& name) override;
    QString autosaveName() const override { return m_autosaveName; }
    void setVisible(bool visible) override;
    bool isVisible() const override;
    StatusButton* button() override { return &m_button; }
    std::optional<QRectF> buttonWindowFrame() const override;
    void setMenu(std::optional<Menu> menu) override;

    NSStatusItem* item() const { return m_item; }

private:
    NSStatusItem* m_item;
    MacStatusButton m_button;
    QString m_autosaveName;
    // Menu items hold their targets weakly.
    NSMutableArray* m_menuTargets;
};

// The system menu bar (NSStatusBar). AppKit: main thread only.
class MacStatusBar final : public StatusBar {
public:
    std::shared_ptr<StatusItem> createItem(double length) override;
    void removeItem(const std::shared_ptr<StatusItem>& item) override;

    // This app's items now in the menu bar: created, not removed and still owned.
    int itemCount() const;

private:
    std::vector<std::weak_ptr<StatusItem>> m_items;
};

} // namespace velmor::platform::mac
