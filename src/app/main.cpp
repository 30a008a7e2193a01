#include "platform/main_bundle.h"

#include <QCoreApplication>
#include <QTextStream>

namespace {

// What the app can do on this machine so far; the simulated desktop replaces this tour.
constexpr const char* description = R"(Velmor Tray — a menu bar organizer for macOS.

It sorts other apps' menu bar icons into sections and named groups, hides and shows them on
demand, and can rewrite their order so that everything that hides sits behind its chevron.
On Linux it runs against a simulated macOS desktop.

Built so far: property lists, the platform seam with virtual time, the user defaults store and
the tray's data types (sections, layouts, named groups and the hiding rule).
)";

} // namespace

int main(int argc, char* argv[])
{
    QCoreApplication application(argc, argv);
    const auto bundle = velmor::platform::MainBundle::embedded(QCoreApplication::applicationFilePath());
    QTextStream out(stdout);
    out << QString::fromUtf8(description);
    out << "Bundle: " << bundle.identifier().value_or(QStringLiteral("(none)")) << ", version "
        << bundle.infoString(QStringLiteral("CFBundleShortVersionString")).value_or(QStringLiteral("?"))
        << "\n";
    return 0;
}
