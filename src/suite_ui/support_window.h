#pragma once

#include <QRectF>
#include <QSizeF>
#include <QString>

#include <optional>

namespace velmor::platform {
class MainBundle;
}

namespace velmor {

// The one "Feedback" window, as the window system shows it. The signals hub creates it on first
// use through a factory the composition root installs and keeps it for the rest of the run:
// closing hides it (its form keeps what was written), and its size is never recomputed.
class SupportWindow {
public:
    static constexpr auto title = "Feedback";
    static constexpr auto fallbackAppName = "velmor";
    static constexpr double width = 520;
    static constexpr double minimumHeight = 360;
    static constexpr double maximumHeight = 520;
    static constexpr double heightWithoutScreen = 800;
    // Room left above and below the window on the main screen.
    static constexpr double screenMargin = 100;

    // What the window system needs to build the window: a titled, closable window of
    // `contentSize`, centred, holding the feedback form for `appName` in a vertical scroll view.
    struct Request {
        QString title;
        QSizeF contentSize;
        QString appName;
    };

    // The height for the main screen's visible frame (absent without a screen).
    static double heightFor(const std::optional<QRectF>& mainVisibleFrame);
    // The bundle's display name, else its name, else the suite's name.
    static QString appNameOf(const platform::MainBundle& bundle);

    virtual ~SupportWindow() = default;

    // Shows the window, in front of the app's others and with the keyboard.
    virtual void orderFrontAsKey() = 0;
};

} // namespace velmor
