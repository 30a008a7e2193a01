#include "platform/simulated/simulated_status_button.h"

#include <QSet>

namespace velmor::platform {
namespace {

// The part of the system's symbol catalogue the simulated Mac draws.
const QSet<QString>& knownSymbols()
{
    static const QSet<QString> symbols{
        QStringLiteral("chevron.left"),
        QStringLiteral("chevron.right"),
        QStringLiteral("sparkles"),
        QStringLiteral("brain"),
        QStringLiteral("bubble.left.and.bubble.right"),
        QStringLiteral("hammer"),
        QStringLiteral("terminal"),
        QStringLiteral("network"),
        QStringLiteral("music.note"),
        QStringLiteral("briefcase"),
        QStringLiteral("folder"),
        QStringLiteral("star"),
        QStringLiteral("square.grid.2x2"),
        QStringLiteral("ellipsis.circle"),
        QStringLiteral("ellipsis"),
        QStringLiteral("gearshape"),
        QStringLiteral("info.circle"),
        QStringLiteral("questionmark.circle"),
        QStringLiteral("lock.shield"),
        QStringLiteral("hand.draw"),
        QStringLiteral("hand.raised.circle"),
        QStringLiteral("menubar.rectangle"),
        QStringLiteral("app.dashed"),
        QStringLiteral("square.dashed"),
        QStringLiteral("plus"),
        QStringLiteral("plus.circle"),
        QStringLiteral("arrow.clockwise"),
        QStringLiteral("arrow.left.arrow.right"),
        QStringLiteral("arrow.down.circle"),
    };
    return symbols;
}

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
    if (m_imagePosition == ImagePosition::NoImage)
        m_imagePosition = ImagePosition::ImageOnly;
    m_changed();
}

void SimulatedStatusButton::setImagePosition(ImagePosition position)
{
    m_imagePosition = position;
    m_changed();
}

void SimulatedStatusButton::setAction(std::function<void()> action, ButtonTrigger trigger)
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
    return m_imagePosition != ImagePosition::NoImage && knownSymbols().contains(m_symbolName);
}

double SimulatedStatusButton::naturalWidth() const
{
    const bool showsTitle = m_imagePosition != ImagePosition::ImageOnly && !m_title.isEmpty();
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

} // namespace velmor::platform
