#pragma once

#include "platform/status_bar.h"
#include "simulated_mac/simulated_status_button.h"

namespace velmor::simulated_mac {

class SimulatedStatusBar;

// One of this app's status items in the simulated menu bar. It is shown from creation until it
// is removed or released; after that (or once the desktop is gone) it is inert.
class SimulatedStatusItem final : public platform::StatusItem {
public:
    // The width of a square item; variable-length items take their button's natural width.
    static constexpr double squareLength = -2;
    static constexpr double variableLength = -1;

    SimulatedStatusItem(SimulatedStatusBar& bar, double length, const QString& defaultName);
    ~SimulatedStatusItem() override;

    void setLength(double points) override;
    double length() const override { return m_length; }
    void setAutosaveName(const QString& name) override;
    QString autosaveName() const override { return m_autosaveName; }
    void setVisible(bool visible) override;
    bool isVisible() const override { return m_visible; }
    platform::StatusButton* button() override { return &m_button; }
    std::optional<QRectF> buttonWindowFrame() const override;
    void setMenu(std::optional<platform::Menu> menu) override { m_menu = std::move(menu); }

    SimulatedStatusButton& simulatedButton() { return m_button; }
    const SimulatedStatusButton& simulatedButton() const { return m_button; }
    const std::optional<platform::Menu>& menu() const { return m_menu; }
    // The item in the menu bar; 0 once removed.
    quint64 entryId() const { return m_entry; }
    // The name the system files the item under: its autosave name, or the one it was given.
    QString effectiveName() const { return m_autosaveName.isEmpty() ? m_defaultName : m_autosaveName; }

    // What a mouse-up of either button on the item does: opens the menu or sends the action.
    void respondToClick(bool rightButton);
    // Taken out of the menu bar (removal, or the desktop going away).
    void detach();

private:
    double width() const;
    void updateWidth();
    void performClick();

    SimulatedStatusBar* m_bar;
    quint64 m_entry = 0;
    double m_length;
    QString m_defaultName;
    QString m_autosaveName;
    bool m_visible = true;
    SimulatedStatusButton m_button;
    std::optional<platform::Menu> m_menu;
};

} // namespace velmor::simulated_mac
