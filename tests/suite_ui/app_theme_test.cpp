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

TEST(AppThemeTest, ColoursFollowTheAppearance)
{
    const DynamicColor control = AppTheme::controlAccent(Product::tray);
    EXPECT_EQ(control.resolve(false), QColor(0x69, 0x40, 0xA5));
    EXPECT_EQ(control.resolve(true), QColor(0x76, 0x52, 0xB8));
    EXPECT_EQ(AppTheme::accent(Product::tray, false), QColor(0x69, 0x40, 0xA5));
    EXPECT_EQ(AppTheme::accent(Product::tray, true), QColor(0xC3, 0xA5, 0xF1));
    EXPECT_NEAR(AppTheme::warning().light.redF(), 0.58, 1e-4);
    EXPECT_NEAR(AppTheme::warning().dark.greenF(), 0.65, 1e-4);
    EXPECT_NEAR(AppTheme::canvas(Product::tray).light.redF(), 0.985, 1e-4);
    EXPECT_NEAR(AppTheme::canvas(Product::tray).dark.blueF(), 0.11, 1e-4);

    int cooler = 0;
    for (const Product product : AppTheme::allProducts())
        cooler += AppTheme::canvas(product) != AppTheme::canvas(Product::tray) ? 1 : 0;
    EXPECT_EQ(cooler, 2);
}

TEST(AppThemeTest, OnlyExactLightOrDarkPicksAScheme)
{
    EXPECT_EQ(AppTheme::scheme(QStringLiteral("light")), AppTheme::ColorScheme::light);
    EXPECT_EQ(AppTheme::scheme(QStringLiteral("dark")), AppTheme::ColorScheme::dark);
    EXPECT_FALSE(AppTheme::scheme(QStringLiteral("system")));
    EXPECT_FALSE(AppTheme::scheme(QStringLiteral("Dark")));
    EXPECT_FALSE(AppTheme::scheme(QString()));
}

} // namespace
} // namespace velmor
