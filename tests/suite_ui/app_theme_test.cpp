#include "suite_ui/app_theme.h"

#include <QSet>

#include <gtest/gtest.h>

namespace velmor {
namespace {

using Product = AppTheme::Product;

TEST(AppThemeTest, ResolvesTheProductFromItsIdentifierOrABuildVariant)
{
    const Product fallback = AppTheme::allProducts().front();
    EXPECT_EQ(AppTheme::resolve(QStringLiteral("local.velmor.tray")), Product::tray);
    EXPECT_EQ(AppTheme::resolve(QStringLiteral("local.velmor.tray.review")), Product::tray);
    EXPECT_EQ(AppTheme::resolve(QStringLiteral("local.velmor.trays")), fallback);
    EXPECT_EQ(AppTheme::resolve(QStringLiteral("LOCAL.velmor.tray")), fallback);
    EXPECT_EQ(AppTheme::resolve(std::nullopt), fallback);
    EXPECT_EQ(AppTheme::resolve(QString()), fallback);

    QSet<QString> identifiers;
    for (const Product product : AppTheme::allProducts()) {
        EXPECT_EQ(AppTheme::resolve(AppTheme::bundleIdentifier(product)), product);
        identifiers.insert(AppTheme::bundleIdentifier(product));
    }
    EXPECT_EQ(identifiers.size(), 9);
    EXPECT_EQ(AppTheme::rawValue(Product::tray), "tray");
}

} // namespace
} // namespace velmor

namespace velmor {
namespace {

TEST(AppearanceColorTest, AnAppearanceIsDarkWhenItIsADarkAquaVariant)
{
    EXPECT_TRUE(AppearanceColor::isDark(u"NSAppearanceNameDarkAqua"));
    EXPECT_TRUE(AppearanceColor::isDark(u"NSAppearanceNameVibrantDark"));
    EXPECT_TRUE(AppearanceColor::isDark(u"NSAppearanceNameAccessibilityHighContrastDarkAqua"));
    EXPECT_FALSE(AppearanceColor::isDark(u"NSAppearanceNameAqua"));
    EXPECT_FALSE(AppearanceColor::isDark(u"NSAppearanceNameAccessibilityHighContrastVibrantLight"));
    // Neither light nor dark: light.
    EXPECT_FALSE(AppearanceColor::isDark(u"NSAppearanceNameSomethingNew"));
    EXPECT_FALSE(AppearanceColor::isDark(u""));
}

TEST(AppearanceColorTest, TheSameAccentObjectResolvesForTheWindowItIsDrawnIn)
{
    const AppearanceColor control = AppTheme::controlAccentColor(AppTheme::Product::tray);
    EXPECT_EQ(control.resolve(AppearanceColor::name(false)), QColor(0x69, 0x40, 0xA5));
    EXPECT_EQ(control.resolve(AppearanceColor::name(true)), QColor(0x76, 0x52, 0xB8));
    const AppearanceColor accent = AppTheme::accentColor(AppTheme::Product::tray);
    EXPECT_EQ(accent.resolve(u"NSAppearanceNameAqua"), QColor(0x69, 0x40, 0xA5));
    EXPECT_EQ(accent.resolve(u"NSAppearanceNameVibrantDark"), QColor(0xC3, 0xA5, 0xF1));
}

} // namespace
} // namespace velmor
