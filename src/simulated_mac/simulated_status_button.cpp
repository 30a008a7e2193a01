#include "simulated_mac/simulated_status_button.h"

#include "platform/system_symbols.h"

namespace velmor::simulated_mac {
namespace {

constexpr double padding = 8;
constexpr double imageWidth = 16;
constexpr double characterWidth = 7;
constexpr double imageGap = 4;

} // namespace

SimulatedStatusButton::SimulatedStatusButton(std::function<void()> changed, std::function<void()> clicked)
    : m_changed(std::move(changed)), m_clicked(std::move(clicked))
{}

void SimulatedStatusButton::setTitle(const QString& title)
{
    m_title = title;
    m_changed();
}

void SimulatedStatusButton::setSymbolImage(const QString& symbolName, const QString& accessibilityDescription)
{
    m_symbolName = symbolName;
    m_symbolDescription = accessibilityDescription;
    if (m_imagePosition == platform::ImagePosition::NoImage)
        m_imagePosition = platform::ImagePosition::ImageOnly;
    m_changed();
}

void SimulatedStatusButton::setImagePosition(platform::ImagePosition position)
{
    m_imagePosition = position;
    m_changed();
}

void SimulatedStatusButton::setToolTip(const QString& toolTip)
{
    m_toolTip = toolTip;
    m_changed();
}

void SimulatedStatusButton::setEnabled(bool enabled)
{
    m_enabled = enabled;
    m_changed();
}

void SimulatedStatusButton::setAppearsDisabled(bool disabled)
{
    m_appearsDisabled = disabled;
    m_changed();
}

void SimulatedStatusButton::setAccessibilityLabel(const QString& label)
{
    m_accessibilityLabel = label;
    m_changed();
}

void SimulatedStatusButton::setAction(std::function<void()> action, platform::ButtonTrigger trigger)
{
    m_action = std::move(action);
    m_trigger = trigger;
}

void SimulatedStatusButton::performClick()
{
    m_clicked();
}

bool SimulatedStatusButton::hasImage() const
{
    return m_imagePosition != platform::ImagePosition::NoImage && platform::SystemSymbols::contains(m_symbolName);
}

double SimulatedStatusButton::naturalWidth() const
{
    const bool showsTitle = m_imagePosition != platform::ImagePosition::ImageOnly && !m_title.isEmpty();
    double width = padding;
    if (hasImage())
        width += imageWidth;
    if (showsTitle)
        width += characterWidth * static_cast<double>(m_title.size()) + (hasImage() ? imageGap : 0);
    return width;
}

QString SimulatedStatusButton::accessibilityDescription() const
{
    if (!m_accessibilityLabel.isEmpty())
        return m_accessibilityLabel;
    return hasImage() ? m_symbolDescription : QString();
}

} // namespace velmor::simulated_mac
