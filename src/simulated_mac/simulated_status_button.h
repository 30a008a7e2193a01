#pragma once

#include "platform/status_bar.h"

#include <functional>

namespace velmor::simulated_mac {

// The button of a simulated status item. It keeps everything the app sets so that tests and the
// runner can read it back; clicks go through its item, which knows about menus.
class SimulatedStatusButton final : public platform::StatusButton {
public:
    // `changed` is told when anything about the button changes (its natural width may have);
    // `clicked` performs a click.
    SimulatedStatusButton(std::function<void()> changed, std::function<void()> clicked);

    void setTitle(const QString& title) override;
    QString title() const override { return m_title; }
    void setSymbolImage(const QString& symbolName, const QString& accessibilityDescription) override;
    QString symbolName() const override { return m_symbolName; }
    void setImagePosition(platform::ImagePosition position) override;
    void setToolTip(const QString& toolTip) override;
    QString toolTip() const override { return m_toolTip; }
    void setEnabled(bool enabled) override;
    bool isEnabled() const override { return m_enabled; }
    void setAppearsDisabled(bool disabled) override;
    void setAccessibilityLabel(const QString& label) override;
    QString accessibilityLabel() const override { return m_accessibilityLabel; }
    void setAction(std::function<void()> action, platform::ButtonTrigger trigger) override;
    void performClick() override;

    // Whether the system knows the symbol: an unknown name draws no image.
    bool hasImage() const;
    QString symbolDescription() const { return m_symbolDescription; }
    platform::ImagePosition imagePosition() const { return m_imagePosition; }
    bool appearsDisabled() const { return m_appearsDisabled; }
    platform::ButtonTrigger trigger() const { return m_trigger; }
    const std::function<void()>& action() const { return m_action; }
    // The width of a variable-length item showing this button.
    double naturalWidth() const;
    // What Accessibility reads as the button's description.
    QString accessibilityDescription() const;

private:
    std::function<void()> m_changed;
    std::function<void()> m_clicked;
    QString m_title;
    QString m_symbolName;
    QString m_symbolDescription;
    platform::ImagePosition m_imagePosition = platform::ImagePosition::NoImage;
    QString m_toolTip;
    bool m_enabled = true;
    bool m_appearsDisabled = false;
    QString m_accessibilityLabel;
    std::function<void()> m_action;
    platform::ButtonTrigger m_trigger = platform::ButtonTrigger::LeftMouseUp;
};

} // namespace velmor::simulated_mac
