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
