#include "suite_ui/app_theme.h"

#include "platform/main_bundle.h"

namespace velmor {
namespace {

struct ProductTraits {
    const char* rawValue;
    const char* bundleIdentifier;
    QRgb lightAccent; // both accents in light appearances
    QRgb darkControlAccent;
    QRgb darkAccent;
    bool coolCanvas;
};

// Indexed by Product; also the order in which identifiers are matched.
constexpr std::array<ProductTraits, AppTheme::productCount> traits = {{
    {"mic", "local.velmor.mic", 0xC2410C, 0xD9531E, 0xFDBA8C, false},
    {"scribe", "local.velmor.scribe", 0x1D4ED8, 0x3563E9, 0xA5BFFC, true},
    {"dictate", "local.velmor.dictate", 0x0F766E, 0x13877E, 0x7EDBCF, false},
    {"clip", "local.velmor.clip", 0xB91C5C, 0xCF2E6E, 0xF9A8C9, false},
    {"console", "local.velmor.console", 0x3F6212, 0x4D7A16, 0xB5DC7F, true},
    {"tray", "local.velmor.tray", 0x6940A5, 0x7652B8, 0xC3A5F1, false},
    {"tiles", "local.velmor.tiles", 0x0E7490, 0x1287A6, 0x8BD8EE, false},
    {"focus", "local.velmor.focus", 0xA16207, 0xB8730B, 0xF5CF7A, false},
    {"keys", "local.velmor.keys", 0x4B5563, 0x5B6675, 0xC7CDD6, false},
}};

const ProductTraits& traitsOf(AppTheme::Product product)
{
    return traits.at(static_cast<std::size_t>(product));
}

QColor rgb(QRgb value)
{
    return QColor::fromRgb(value);
}

QColor fractions(float red, float green, float blue)
{
    return QColor::fromRgbF(red, green, blue);
}

} // namespace

const std::array<AppTheme::Product, AppTheme::productCount>& AppTheme::allProducts()
{
    static const auto products = [] {
        std::array<Product, productCount> all{};
        for (std::size_t i = 0; i < productCount; ++i)
            all[i] = static_cast<Product>(i);
        return all;
    }();
    return products;
}

QString AppTheme::rawValue(Product product)
{
    return QString::fromLatin1(traitsOf(product).rawValue);
}

QString AppTheme::bundleIdentifier(Product product)
{
    return QString::fromLatin1(traitsOf(product).bundleIdentifier);
}

AppTheme::Product AppTheme::resolve(const std::optional<QString>& bundleIdentifier)
{
    const QString identifier = bundleIdentifier.value_or(QString());
    for (const Product product : allProducts()) {
        const QString own = AppTheme::bundleIdentifier(product);
        if (identifier == own || identifier.startsWith(own + u'.'))
            return product;
    }
    return allProducts().front();
}

AppTheme::Product AppTheme::product()
{
    static const Product running = resolve(platform::MainBundle::embedded(QString()).identifier());
    return running;
}

DynamicColor AppTheme::accent(Product product)
{
    const ProductTraits& t = traitsOf(product);
    return {rgb(t.lightAccent), rgb(t.darkAccent)};
}

DynamicColor AppTheme::controlAccent(Product product)
{
    const ProductTraits& t = traitsOf(product);
    return {rgb(t.lightAccent), rgb(t.darkControlAccent)};
}

DynamicColor AppTheme::warning()
{
    return {fractions(0.58f, 0.28f, 0.04f), fractions(1.0f, 0.65f, 0.3f)};
}

DynamicColor AppTheme::canvas(Product product)
{
    if (traitsOf(product).coolCanvas)
        return {fractions(0.965f, 0.973f, 0.98f), fractions(0.102f, 0.11f, 0.122f)};
    return {fractions(0.985f, 0.978f, 0.96f), fractions(0.12f, 0.115f, 0.11f)};
}

std::optional<AppTheme::ColorScheme> AppTheme::scheme(const QString& appearance)
{
    if (appearance == QLatin1String(AppTheme::lightAppearance))
        return ColorScheme::light;
    if (appearance == QLatin1String(AppTheme::darkAppearance))
        return ColorScheme::dark;
    return std::nullopt;
}

} // namespace velmor
