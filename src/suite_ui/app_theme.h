#pragma once

#include "suite_ui/appearance_color.h"
#include "suite_ui/dynamic_color.h"

#include <QString>

#include <array>
#include <optional>

namespace velmor {

// The suite's shared palette: every app has its own accent, and a few neutral colours are common.
class AppTheme final {
public:
    // One case per app of the suite. The first case is the fallback for an identifier that names
    // no app of the suite.
    enum class Product { mic, scribe, dictate, clip, console, tray, tiles, focus, keys };
    static constexpr std::size_t productCount = 9;

    enum class ColorScheme { light, dark };

    // The stored appearance values: the app's own choice, or the system's.
    static constexpr const char* lightAppearance = "light";
    static constexpr const char* darkAppearance = "dark";
    static constexpr const char* systemAppearance = "system";

    static const std::array<Product, productCount>& allProducts();
    static QString rawValue(Product product);
    static QString bundleIdentifier(Product product);

    // The product whose identifier is `bundleIdentifier` itself or a prefix of it followed by "."
    // (build variants such as ".review"); the fallback product otherwise.
    static Product resolve(const std::optional<QString>& bundleIdentifier);
    // The running app's product, resolved once from the main bundle.
    static Product product();

    static DynamicColor accent(Product product);
    static DynamicColor controlAccent(Product product);
    static DynamicColor accent() { return accent(product()); }
    static DynamicColor controlAccent() { return controlAccent(product()); }

    // The accents as colour objects that resolve themselves for the appearance they are drawn in.
    static AppearanceColor accentColor(Product product);
    static AppearanceColor controlAccentColor(Product product);

    static DynamicColor warning();
    static DynamicColor canvas(Product product);
    static DynamicColor canvas() { return canvas(product()); }

    // "light" and "dark" pick a scheme; anything else follows the system.
    static std::optional<ColorScheme> scheme(const QString& appearance);
};

} // namespace velmor
